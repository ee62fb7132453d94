#include "files/file_io.h"

#include <algorithm>
#include <new>
#include <string>

#include "win32/holders.h"

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

enum class BesideOutcome { Replaced, NoFileBeside, WriteFailed, ReplaceFailed };

// The new bytes go into a file beside the target, which then takes the target's place, with
// the target's attributes and creation time. Whatever fails, the file beside is gone again and
// the target is as it was.
BesideOutcome WriteBesideAndReplace(const wchar_t* path, const WIN32_FILE_ATTRIBUTE_DATA* old,
                                    std::span<const std::uint8_t> bytes, const WriteFaults& faults)
{
    const DWORD kept = old ? (old->dwFileAttributes & kKeptAttributes) : 0;
    std::wstring besidePath;
    ScopedHandle beside;
    if (!faults.noFileBeside)
        beside = CreateFileBeside(path, kept ? kept : FILE_ATTRIBUTE_NORMAL, besidePath);
    if (!beside.valid())
        return BesideOutcome::NoFileBeside;

    const bool written = WriteAll(beside.get(), bytes, faults.failAfterBytes) && FlushFileBuffers(beside.get());
    if (written && old)
        SetFileTime(beside.get(), &old->ftCreationTime, nullptr, nullptr);
    beside.reset();
    const DWORD replace = old ? MOVEFILE_REPLACE_EXISTING : 0;
    if (written && MoveFileExW(besidePath.c_str(), path, replace | MOVEFILE_WRITE_THROUGH))
        return BesideOutcome::Replaced;
    DeleteFileW(besidePath.c_str());
    return written ? BesideOutcome::ReplaceFailed : BesideOutcome::WriteFailed;
}

bool RewriteInPlace(const wchar_t* path, std::span<const std::uint8_t> bytes, const WriteFaults& faults)
{
    // Shared as a plain overwrite always was, so a file that another program has open still saves.
    ScopedHandle file(CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
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
    WIN32_FILE_ATTRIBUTE_DATA old = {};
    const bool exists = GetFileAttributesExW(path, GetFileExInfoStandard, &old) != FALSE;
    // Replacing a read-only file would succeed where the file system does not enforce the flag
    // (a privileged user), so it is refused here as the system refuses it elsewhere.
    if (exists && (old.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;

    try {
        switch (WriteBesideAndReplace(path, exists ? &old : nullptr, bytes, faults)) {
        case BesideOutcome::Replaced:
            return true;
        case BesideOutcome::WriteFailed:
            return false;
        case BesideOutcome::NoFileBeside:
        case BesideOutcome::ReplaceFailed:
            // The target cannot be replaced (another program holds it open, say), but it may
            // still be writable.
            return exists && RewriteInPlace(path, bytes, faults);
        }
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
