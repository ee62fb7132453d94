#include "files/file_io.h"

#include <algorithm>
#include <new>
#include <string>

#include "app/gdi_holders.h"

namespace {

// A read or write of one block never asks for more than a DWORD can count.
constexpr DWORD kBlockBytes = 1u << 20;

// What a replacement keeps of the old file's attributes; read-only targets are refused earlier.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Tries a handful of names, in case an earlier save left its new file behind.
constexpr int kNameAttempts = 16;

bool WriteAll(HANDLE file, std::span<const std::uint8_t> bytes, std::uint64_t failAfter = UINT64_MAX)
{
    std::uint64_t done = 0;
    while (done < bytes.size()) {
        std::uint64_t wanted = std::min<std::uint64_t>(bytes.size() - done, kBlockBytes);
        const bool cutShort = done + wanted > failAfter;
        if (cutShort)
            wanted = failAfter - done;
        DWORD written = 0;
        if (wanted > 0 && (!WriteFile(file, bytes.data() + done, static_cast<DWORD>(wanted), &written, nullptr) ||
                           written != wanted))
            return false;
        if (cutShort) {
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        done += wanted;
    }
    return true;
}

bool Rewind(HANDLE file)
{
    LARGE_INTEGER start = {};
    return SetFilePointerEx(file, start, nullptr, FILE_BEGIN) != FALSE;
}

// A new, empty file in the target's folder under a name that no file has yet.
ScopedHandle CreateFileBeside(const std::wstring& target, DWORD attributes, std::wstring& created)
{
    const unsigned long long seed = GetTickCount64() ^ (static_cast<unsigned long long>(GetCurrentProcessId()) << 20);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        created = target + L"." + std::to_wstring((seed + static_cast<unsigned>(attempt)) % 1000000) + L".tmp";
        HANDLE file = CreateFileW(created.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            return ScopedHandle(file);
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            break;
    }
    created.clear();
    return ScopedHandle();
}

// The new bytes go into a file beside the target, which then takes the target's place.
// Returns false with nothing changed; `besideMade` tells whether that file could be made at all.
bool WriteBesideAndReplace(const wchar_t* path, DWORD oldAttributes, std::span<const std::uint8_t> bytes,
                           const WriteFaults& faults, bool& besideMade)
{
    const bool targetExists = oldAttributes != INVALID_FILE_ATTRIBUTES;
    const DWORD kept = targetExists ? (oldAttributes & kKeptAttributes) : 0;
    std::wstring besidePath;
    ScopedHandle beside;
    if (!faults.noFileBeside)
        beside = CreateFileBeside(path, kept ? kept : FILE_ATTRIBUTE_NORMAL, besidePath);
    besideMade = beside.valid();
    if (!besideMade)
        return false;

    bool complete = WriteAll(beside.get(), bytes, faults.failAfterBytes) && FlushFileBuffers(beside.get());
    beside.reset();
    if (complete) {
        complete = targetExists ? ReplaceFileW(path, besidePath.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                               nullptr, nullptr) != FALSE
                                : MoveFileExW(besidePath.c_str(), path, MOVEFILE_WRITE_THROUGH) != FALSE;
    }
    if (!complete)
        DeleteFileW(besidePath.c_str());
    return complete;
}

bool RewriteInPlace(const wchar_t* path, std::span<const std::uint8_t> bytes, const WriteFaults& faults)
{
    ScopedHandle file(
        CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return false;
    // Without a copy of the old bytes a failed write could not be undone, so nothing is written.
    std::vector<std::uint8_t> old;
    if (ReadWholeFile(file.get(), UINT64_MAX, old) != ReadOutcome::Loaded)
        return false;

    if (Rewind(file.get()) && WriteAll(file.get(), bytes, faults.failAfterBytes) && SetEndOfFile(file.get()) &&
        FlushFileBuffers(file.get()))
        return true;

    // The old bytes fit where they stood before, so putting them back needs no new space.
    const DWORD error = GetLastError();
    if (Rewind(file.get()) && WriteAll(file.get(), old))
        SetEndOfFile(file.get());
    FlushFileBuffers(file.get());
    SetLastError(error);
    return false;
}

}  // namespace

ReadOutcome ReadWholeFile(HANDLE file, std::uint64_t largest, std::vector<std::uint8_t>& bytes)
{
    LARGE_INTEGER size = {};
    LARGE_INTEGER position = {};
    if (!GetFileSizeEx(file, &size) || !SetFilePointerEx(file, {}, &position, FILE_CURRENT))
        return ReadOutcome::ReadFailed;
    const std::uint64_t remaining =
        size.QuadPart > position.QuadPart ? static_cast<std::uint64_t>(size.QuadPart - position.QuadPart) : 0;
    if (remaining > largest || remaining > bytes.max_size())
        return ReadOutcome::TooLarge;
    try {
        bytes.resize(static_cast<std::size_t>(remaining));
    } catch (const std::bad_alloc&) {
        return ReadOutcome::OutOfMemory;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, kBlockBytes));
        DWORD got = 0;
        if (!ReadFile(file, bytes.data() + done, wanted, &got, nullptr) || got == 0)
            return ReadOutcome::ReadFailed;
        done += got;
    }
    return ReadOutcome::Loaded;
}

bool WriteFileSafely(const wchar_t* path, std::span<const std::uint8_t> bytes, const WriteFaults& faults)
{
    if (!path || !*path)
        return false;
    const DWORD attributes = GetFileAttributesW(path);
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    // Replacing a read-only file would succeed where the file system does not enforce the flag
    // (a privileged user), so it is refused here as the system refuses it elsewhere.
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;

    try {
        bool besideMade = false;
        if (WriteBesideAndReplace(path, attributes, bytes, faults, besideMade))
            return true;
        return !besideMade && exists && RewriteInPlace(path, bytes, faults);
    } catch (const std::bad_alloc&) {
        return false;
    }
}
