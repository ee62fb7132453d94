#include "files/text_file.h"

#include <algorithm>
#include <climits>
#include <new>
#include <utility>
#include <vector>

#include "files/file_io.h"
#include "files/text_codec.h"
#include "resources/resource_ids.h"
#include "text/line_ends.h"
#include "text/wide.h"
#include "win32/dialogs.h"
#include "win32/holders.h"
#include "win32/messages.h"
#include "win32/process_state.h"
#include "win32/window_ops.h"

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

// The save itself: true only when the text is on disk, which marks it unchanged.
bool WriteEditorText(bool askForName)
{
    // A cancelled dialog leaves the current file as it was: nothing is written and nothing is said.
    if ((askForName || current_file[0] == L'\0') && !SaveFileDialog(current_file, kFileDialogCapacity, nullptr))
        return false;
    // The dialog has no owner, so the editor takes keys while it is open: the text is taken only
    // now, or what was typed meanwhile would be marked saved without being written.
    const std::optional<std::wstring> text = TakeWindowText(hEdit);
    if (!text) {
        ReportMessage(nullptr, IDS_OUT_OF_MEMORY);
        return false;
    }
    bool written = false;
    if (current_line_ends == LineEnds::CrLf) {
        written = SaveTextToFile(current_file, text->c_str());
    } else {
        try {
            written = SaveTextToFile(current_file, AsWide(WithLineEnds(AsUtf16View(*text), current_line_ends)));
        } catch (const std::bad_alloc&) {
            ReportMessage(nullptr, IDS_OUT_OF_MEMORY);
            return false;
        }
    }
    if (!written) {
        ReportMessage(nullptr, IDS_FILE_NOT_SAVED, MessageDetail::Path(current_file));
        return false;
    }
    SendMessageW(hEdit, EM_SETMODIFY, FALSE, 0);
    return true;
}

}  // namespace

bool LoadTextFileToEdit(HWND edit, HWND owner, const wchar_t* path)
{
    ScopedHandle file(CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        ReportMessage(owner, IDS_FILE_NOT_OPENED);
        return false;
    }

    std::vector<std::uint8_t> bytes;
    switch (ReadWholeFile(file.get(), kLargestTextFile, bytes)) {
    case ReadOutcome::Loaded:
        break;
    case ReadOutcome::TooLarge:
        ReportMessage(owner, IDS_FILE_TOO_LARGE, MessageDetail::Path(path));
        return false;
    case ReadOutcome::OutOfMemory:
        ReportMessage(owner, IDS_FILE_OUT_OF_MEMORY, MessageDetail::Path(path));
        return false;
    case ReadOutcome::ReadFailed:
        ReportMessage(owner, IDS_FILE_NOT_READ, MessageDetail::Path(path));
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
        ReportMessage(owner, IDS_FILE_OUT_OF_MEMORY, MessageDetail::Path(path));
        return false;
    case DecodeOutcome::NotConvertible:
        ReportMessage(owner, IDS_FILE_NOT_CONVERTED, MessageDetail::Path(path));
        return false;
    }
    LineEnds ends = LineEnds::CrLf;
    try {
        // The edit control breaks lines only at CR LF: a file from elsewhere would show as one line.
        ends = LineEndsOf(text);
        MakeLineEndsCrLf(text);
    } catch (const std::bad_alloc&) {
        ReportMessage(owner, IDS_FILE_OUT_OF_MEMORY, MessageDetail::Path(path));
        return false;
    }
    if (!SetWindowTextW(edit, AsWide(text))) {
        ReportMessage(owner, IDS_FILE_OUT_OF_MEMORY, MessageDetail::Path(path));
        return false;
    }
    current_line_ends = ends;
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
    if (!KeepChangesBeforeLeaving(owner)) {
        SetFocus(edit);
        return;
    }
    wchar_t path[kFileDialogCapacity] = {};
    OPENFILENAMEW record = TextFileDialogRecord(owner, path, OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST);
    // The editor, the current file and the title change together, once the text is loaded.
    if (ShowOpenFileDialog(&record) && LoadTextFileToEdit(edit, owner, path)) {
        SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
        lstrcpynW(current_file, path, kCurrentFileCapacity);
        SetWindowTextW(mHwnd, current_file);
    }
    RepaintNow(mHwnd);
    RepaintNow(edit);
    // The dialog took the keyboard; typing goes on in the editor.
    SetFocus(edit);
}

bool SaveFileDialog(wchar_t* destination, unsigned long long capacity, HWND owner)
{
    if (capacity == 0)
        return false;
    wchar_t path[kFileDialogCapacity] = {};
    OPENFILENAMEW record = TextFileDialogRecord(owner, path, OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT);
    // A cancelled dialog leaves the destination, and so the title, as they were.
    if (!ShowSaveFileDialog(&record))
        return false;
    // The chosen path has fewer than kFileDialogCapacity characters, so the count fits an int.
    const int copied = static_cast<int>(std::min<unsigned long long>(capacity, kFileDialogCapacity));
    lstrcpynW(destination, path, copied);
    SetWindowTextW(mHwnd, destination);
    destination[capacity - 1] = L'\0';
    return true;
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

bool SaveEditorText(bool askForName)
{
    const bool saved = WriteEditorText(askForName);
    // The dialog or the box took the keyboard; typing goes on in the editor.
    SetFocus(hEdit);
    return saved;
}

bool KeepChangesBeforeLeaving(HWND owner)
{
    if (!SendMessageW(hEdit, EM_GETMODIFY, 0, 0))
        return true;
    switch (ReportMessage(owner, IDS_UNSAVED_CHANGES)) {
    case IDYES:
        return WriteEditorText(false);
    case IDNO:
        return true;
    default:
        return false;
    }
}
