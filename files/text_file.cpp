#include "files/text_file.h"

#include <algorithm>
#include <climits>
#include <new>
#include <utility>
#include <vector>

#include "app/common_dialogs.h"
#include "app/gdi_holders.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/wide.h"
#include "app/window_ops.h"
#include "app/window_text.h"
#include "files/file_dialog.h"
#include "files/file_io.h"
#include "files/text_codec.h"

wchar_t current_file[kCurrentFileCapacity] = {};

namespace {

constexpr wchar_t kTextFilter[] = L"All Files\0*.*\0Text Files\0*.TXT\0";

// Every length below is handed to the system as an int; larger files are refused whole.
constexpr std::uint64_t kLargestTextFile = INT_MAX;

OPENFILENAMEW TextFileDialogRecord(HWND owner, wchar_t* path, DWORD flags)
{
    return FileDialogRecord({.owner = owner,
                             .buffer = path,
                             .capacity = kFileDialogCapacity,
                             .filter = kTextFilter,
                             .flags = flags,
                             .defaultExtension = L"txt"});
}

DecodeOutcome DecodeAnsi(std::span<const std::uint8_t> bytes, std::u16string& text)
{
    text.clear();
    if (bytes.empty())
        return DecodeOutcome::Decoded;
    if (bytes.size() > kLargestTextFile)
        return DecodeOutcome::NotConvertible;
    const char* source = reinterpret_cast<const char*>(bytes.data());
    const int sourceLength = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, source, sourceLength, nullptr, 0);
    if (length <= 0)
        return DecodeOutcome::NotConvertible;
    text.resize(static_cast<std::size_t>(length));
    const int converted = MultiByteToWideChar(CP_ACP, 0, source, sourceLength, AsWide(text.data()), length);
    if (converted <= 0) {
        text.clear();
        return DecodeOutcome::NotConvertible;
    }
    text.resize(static_cast<std::size_t>(converted));
    return DecodeOutcome::Decoded;
}

}  // namespace

bool LoadTextFileToEdit(HWND edit, HWND owner, const wchar_t* path)
{
    ScopedHandle file(CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        ShowMessage(owner, L"Nie można otworzyć pliku!", L"Błąd", MB_ICONERROR);
        return false;
    }

    std::vector<std::uint8_t> bytes;
    switch (ReadWholeFile(file.get(), kLargestTextFile, bytes)) {
    case ReadOutcome::Loaded:
        break;
    case ReadOutcome::TooLarge:
        ShowFileError(owner, L"The file is too large to open (2 GiB or more):", path);
        return false;
    case ReadOutcome::OutOfMemory:
        ShowFileError(owner, L"There is not enough memory to open the file:", path);
        return false;
    case ReadOutcome::ReadFailed:
        ShowFileError(owner, L"The file could not be read:", path);
        return false;
    }
    file.reset();

    std::u16string text;
    const DecodeOutcome decoded = DecodeTextFileBytes(bytes, text);
    // The file's bytes are not needed once decoded; the edit control is about to make a copy
    // of its own of the text.
    std::vector<std::uint8_t>().swap(bytes);
    switch (decoded) {
    case DecodeOutcome::Decoded:
        break;
    case DecodeOutcome::OutOfMemory:
        ShowFileError(owner, L"There is not enough memory to open the file:", path);
        return false;
    case DecodeOutcome::NotConvertible:
        ShowFileError(owner, L"The file's text could not be converted:", path);
        return false;
    }
    if (!SetWindowTextW(edit, AsWide(text))) {
        ShowFileError(owner, L"There is not enough memory to open the file:", path);
        return false;
    }
    return true;
}

DecodeOutcome DecodeTextFileBytes(std::span<const std::uint8_t> bytes, std::u16string& text)
{
    try {
        DecodedTextFile file = DecodeTextFile(bytes);
        if (file.classified.encoding == TextEncoding::Ansi)
            return DecodeAnsi(file.classified.payload, text);
        text = std::move(file.text);
        return DecodeOutcome::Decoded;
    } catch (const std::bad_alloc&) {
    }
    text.clear();
    return DecodeOutcome::OutOfMemory;
}

void OpenFileAndLoadToEdit(HWND edit, HWND owner)
{
    wchar_t path[kFileDialogCapacity] = {};
    OPENFILENAMEW record = TextFileDialogRecord(owner, path, OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST);
    // The editor, the current file and the title change together, once the text is loaded.
    if (ShowOpenFileDialog(&record) && LoadTextFileToEdit(edit, owner, path)) {
        lstrcpynW(current_file, path, kCurrentFileCapacity);
        SetWindowTextW(mHwnd, current_file);
    }
    RepaintNow(mHwnd);
    RepaintNow(edit);
    // The dialog took the keyboard; typing goes on in the editor.
    SetFocus(edit);
}

void SaveFileDialog(wchar_t* destination, unsigned long long capacity, HWND owner)
{
    if (capacity == 0)
        return;
    wchar_t path[kFileDialogCapacity] = {};
    OPENFILENAMEW record = TextFileDialogRecord(owner, path, OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT);
    if (ShowSaveFileDialog(&record)) {
        // The chosen path has fewer than kFileDialogCapacity characters, so the count fits an int.
        const int copied = static_cast<int>(std::min<unsigned long long>(capacity, kFileDialogCapacity));
        lstrcpynW(destination, path, copied);
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
    return WriteFileSafely(path, {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

void SaveEditorText(bool askForName)
{
    const std::optional<std::wstring> text = TakeWindowText(hEdit);
    if (!text) {
        ShowMessage(nullptr, L"Memory allocation failed.", L"Error", MB_ICONERROR);
        return;
    }
    if (askForName || current_file[0] == L'\0')
        SaveFileDialog(current_file, kFileDialogCapacity, nullptr);
    // A cancelled dialog leaves no name: nothing is written and nothing is said.
    if (current_file[0] != L'\0' && !SaveTextToFile(current_file, text->c_str()))
        ShowFileError(nullptr, L"The file could not be saved:", current_file);
    // The dialog or the box took the keyboard; typing goes on in the editor.
    SetFocus(hEdit);
}
