#include "files/text_file.h"

#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <new>
#include <vector>

#include "app/gdi_holders.h"
#include "app/main_window.h"
#include "app/wide.h"
#include "app/window_ops.h"
#include "app/window_text.h"
#include "files/text_codec.h"

wchar_t current_file[kCurrentFileCapacity] = {};

namespace {

constexpr wchar_t kTextFilter[] = L"All Files\0*.*\0Text Files\0*.TXT\0";

OPENFILENAMEW TextFileDialogRecord(HWND owner, wchar_t* path, DWORD flags)
{
    OPENFILENAMEW record = {};
    record.lStructSize = sizeof record;
    record.hwndOwner = owner;
    record.lpstrFilter = kTextFilter;
    record.nFilterIndex = 0;
    record.lpstrFile = path;
    record.nMaxFile = kFileDialogCapacity;
    record.Flags = flags;
    record.lpstrDefExt = L"txt";
    return record;
}

void ShowFileError(HWND owner, const wchar_t* what, const wchar_t* path)
{
    std::wstring text = what;
    text += L"\n\n";
    text += path;
    MessageBoxW(owner, text.c_str(), L"Error", MB_ICONERROR);
}

enum class ReadOutcome { Loaded, ReadFailed, TooLarge, OutOfMemory };

ReadOutcome ReadWholeFile(HANDLE file, std::vector<std::uint8_t>& bytes)
{
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file, &size))
        return ReadOutcome::ReadFailed;
    // Sizes are 32-bit counts everywhere below; 4 GiB and more cannot be held.
    if (size.QuadPart >= 0x100000000LL)
        return ReadOutcome::TooLarge;
    try {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return ReadOutcome::OutOfMemory;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(file, bytes.data() + done, wanted, &got, nullptr) || got == 0)
            return ReadOutcome::ReadFailed;
        done += got;
    }
    return ReadOutcome::Loaded;
}

std::optional<std::wstring> DecodeAnsi(std::span<const std::uint8_t> bytes)
{
    if (bytes.empty())
        return std::wstring();
    const char* source = reinterpret_cast<const char*>(bytes.data());
    const int sourceLength = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, source, sourceLength, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, source, sourceLength, text.data(), length);
    return text;
}

// Loads the chosen file into the editor; false when it could not be read (already reported).
bool LoadChosenFile(HWND edit, HWND owner, const wchar_t* path)
{
    ScopedHandle file(CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        MessageBoxW(owner, L"Nie można otworzyć pliku!", L"Błąd", MB_ICONERROR);
        return false;
    }

    std::vector<std::uint8_t> bytes;
    switch (ReadWholeFile(file.get(), bytes)) {
    case ReadOutcome::Loaded:
        break;
    case ReadOutcome::TooLarge:
        ShowFileError(owner, L"The file is too large to open (4 GiB or more):", path);
        return false;
    case ReadOutcome::OutOfMemory:
        ShowFileError(owner, L"There is not enough memory to open the file:", path);
        return false;
    case ReadOutcome::ReadFailed:
        ShowFileError(owner, L"The file could not be read:", path);
        return false;
    }
    file.reset();

    const std::optional<std::wstring> text = DecodeTextFileBytes(bytes);
    if (!text || !SetWindowTextW(edit, text->c_str())) {
        ShowFileError(owner, L"There is not enough memory to open the file:", path);
        return false;
    }
    return true;
}

}  // namespace

std::optional<std::wstring> DecodeTextFileBytes(std::span<const std::uint8_t> bytes)
{
    try {
        const ClassifiedText classified = ClassifyTextFile(bytes);
        switch (classified.encoding) {
        case TextEncoding::Utf16LeWithMark:
            return AsWideString(DecodeUtf16Le(classified.payload));
        case TextEncoding::Utf8WithMark:
        case TextEncoding::Utf8:
            return AsWideString(DecodeUtf8(classified.payload));
        case TextEncoding::Ansi:
            return DecodeAnsi(classified.payload);
        }
    } catch (const std::bad_alloc&) {
    }
    return std::nullopt;
}

void OpenFileAndLoadToEdit(HWND edit, HWND owner)
{
    wchar_t path[kFileDialogCapacity] = {};
    OPENFILENAMEW record = TextFileDialogRecord(owner, path, OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST);
    // The editor, the current file and the title change together, once the text is loaded.
    if (GetOpenFileNameW(&record) && LoadChosenFile(edit, owner, path)) {
        lstrcpynW(current_file, path, kCurrentFileCapacity);
        SetWindowTextW(mHwnd, current_file);
    }
    RepaintNow(mHwnd);
    RepaintNow(edit);
}

void SaveFileDialog(wchar_t* destination, unsigned long long capacity, HWND owner)
{
    if (capacity == 0)
        return;
    wchar_t path[kFileDialogCapacity] = {};
    OPENFILENAMEW record = TextFileDialogRecord(owner, path, OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT);
    if (GetSaveFileNameW(&record)) {
        lstrcpynW(destination, path, static_cast<int>(capacity));
        SetWindowTextW(mHwnd, destination);
        destination[capacity - 1] = L'\0';
    } else {
        destination[0] = L'\0';
    }
}

bool SaveTextToFile(const wchar_t* path, const wchar_t* text)
{
    if (!path || !text || !*path)
        return false;

    // Encode everything before the file is touched, so a failure cannot leave it half written.
    std::string bytes;
    try {
        bytes = EncodeUtf8(AsUtf16(text));
    } catch (const std::bad_alloc&) {
        return false;
    }

    // Opening for writing would fail on a read-only file anyway; asking first keeps that
    // true where the file system does not enforce it (a privileged user).
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;

    FILE* file = _wfopen(path, L"wb");
    if (!file)
        return false;
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool flushed = std::fflush(file) == 0;
    const bool closed = std::fclose(file) == 0;
    return written && flushed && closed;
}

void SaveEditorText(bool askForName)
{
    const std::optional<std::wstring> text = TakeWindowText(hEdit);
    if (!text) {
        MessageBoxW(nullptr, L"Memory allocation failed.", L"Error", MB_ICONERROR);
        return;
    }
    if (askForName || current_file[0] == L'\0')
        SaveFileDialog(current_file, kFileDialogCapacity, nullptr);
    // A cancelled dialog leaves no name: nothing is written and nothing is said.
    if (current_file[0] == L'\0')
        return;
    if (!SaveTextToFile(current_file, text->c_str()))
        ShowFileError(nullptr, L"The file could not be saved:", current_file);
}
