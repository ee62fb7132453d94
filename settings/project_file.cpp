#include "settings/project_file.h"

#include <commdlg.h>

#include <cstdint>
#include <string>

#include "app/common_dialogs.h"
#include "app/gdi_holders.h"
#include "app/message_box.h"
#include "app/output_pane.h"
#include "app/wide.h"
#include "files/file_dialog.h"
#include "files/file_io.h"
#include "resources/resource_ids.h"
#include "settings/apply_settings.h"
#include "settings/settings_dialog.h"
#include "settings/settings_state.h"
#include "settings/topmost_holder.h"

namespace {

constexpr wchar_t kProjectFilter[] = L"All Files\0*.*\0Binary project\0*.bin\0All\0*.lumo\0";

// Runs a project file dialog; true when the user chose a file, whose path is then in `path`.
bool AskForProjectFile(HWND dialog, wchar_t (&path)[kProjectNameCapacity], bool save, const wchar_t* extension)
{
    path[0] = L'\0';
    OPENFILENAMEW record = FileDialogRecord({
        .owner = dialog,
        .buffer = path,
        .capacity = kProjectNameCapacity,
        .filter = kProjectFilter,
        .flags = save ? DWORD{OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST} : DWORD{OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST},
        .defaultExtension = extension,
        .title = save ? nullptr : L"Select a File to Open",
    });
    ScopedTopmostOff topmostOff(dialog);
    return save ? ShowSaveFileDialog(&record) : ShowOpenFileDialog(&record);
}

void BecomeProjectPath(const wchar_t* path)
{
    lstrcpynW(project_name, path, kProjectNameCapacity);
}

// The old file stays whole unless every byte of the new one is on disk.
void WriteProject(HWND dialog)
{
    const SettingsImage image = SettingsToImage(ustawienia);
    if (!WriteFileSafely(project_name, image))
        ShowFileError(dialog, L"The project could not be saved:", project_name);
}

enum class ProjectRead { Read, NotOpened, TooShort };

// The file's first 1702 bytes; a longer file is read no further.
ProjectRead ReadProjectImage(const wchar_t* path, SettingsImage& image)
{
    ScopedHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return ProjectRead::NotOpened;
    DWORD total = 0;
    while (total < image.size()) {
        DWORD got = 0;
        if (!ReadFile(file.get(), image.data() + total, static_cast<DWORD>(image.size() - total), &got, nullptr) ||
            got == 0)
            return ProjectRead::TooShort;
        total += got;
    }
    return ProjectRead::Read;
}

// Puts a loaded record on the screen: editor font and colours, jump captions, the dialog's
// fields and the directive in the output pane.
void ShowLoadedProject(HWND dialog)
{
    const std::wstring directive = AsWideString(std::u16string(ReadTextField(ustawienia.compileDirective)));
    const std::wstring firstCaption = AsWideString(std::u16string(ReadTextField(ustawienia.jumpCaptions[0])));
    SetWindowTextW(GetDlgItem(dialog, IDC_SETTINGS_LABEL), firstCaption.c_str());
    SendMessageW(GetDlgItem(dialog, IDC_SETTINGS_JUMP_LIST), CB_SETCURSEL, 0, 0);
    SetOutputText(directive);
    InvalidateRect(hOutput, nullptr, TRUE);
    updateDialog(dialog);
    ApplySettings();
}

}  // namespace

void save_project(HWND dialog)
{
    StoreDirective(dialog);
    if (project_name[0] == L'\0') {
        wchar_t chosen[kProjectNameCapacity];
        if (!AskForProjectFile(dialog, chosen, true, L"lumo"))
            return;
        BecomeProjectPath(chosen);
    }
    WriteProject(dialog);
}

int save_project_as(HWND dialog)
{
    StoreDirective(dialog);
    wchar_t chosen[kProjectNameCapacity];
    if (!AskForProjectFile(dialog, chosen, true, L"bin")) {
        // The next Save project asks for a name again.
        project_name[0] = L'\0';
        return 0;
    }
    BecomeProjectPath(chosen);
    WriteProject(dialog);
    return 0;
}

int open_project(HWND dialog)
{
    wchar_t chosen[kProjectNameCapacity];
    if (!AskForProjectFile(dialog, chosen, false, nullptr)) {
        ShowMessage(dialog, L"No file selected.", L"Info", MB_ICONINFORMATION);
        return 0;
    }

    // A file that does not load leaves the record, the dialog and the project path as they were,
    // so a later Save project cannot overwrite it.
    SettingsImage image{};
    switch (ReadProjectImage(chosen, image)) {
    case ProjectRead::Read:
        break;
    case ProjectRead::NotOpened:
        ShowMessage(dialog, L"Could not open the file.", L"Error", MB_ICONERROR);
        return -1;
    case ProjectRead::TooShort:
        ShowMessage(dialog, L"Error reading file.", L"Error", MB_ICONERROR);
        return -1;
    }
    ustawienia = *SettingsFromImage(image);
    BecomeProjectPath(chosen);
    ShowLoadedProject(dialog);
    return 1;
}
