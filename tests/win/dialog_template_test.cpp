// The two dialog templates as the resource compiler stored them in the executable.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "resources/resource_ids.h"

namespace {

struct TemplateItem {
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    DWORD id;
    std::wstring className;
    std::wstring text;
};

struct DialogTemplate {
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    std::wstring menu;
    std::wstring className;
    std::wstring title;
    WORD pointSize;
    WORD weight;
    BYTE italic;
    BYTE charSet;
    std::wstring face;
    std::vector<TemplateItem> items;
};

class TemplateReader {
public:
    explicit TemplateReader(const BYTE* data) : base_(data), at_(data) {}

    template <typename T>
    T Read()
    {
        T value;
        std::memcpy(&value, at_, sizeof value);
        at_ += sizeof value;
        return value;
    }

    std::wstring String()
    {
        std::wstring text;
        for (wchar_t unit = Read<wchar_t>(); unit != 0; unit = Read<wchar_t>())
            text += unit;
        return text;
    }

    // A name or a number; numbered window classes are the predefined controls.
    std::wstring StringOrOrdinal(bool isClass)
    {
        WORD first;
        std::memcpy(&first, at_, sizeof first);
        if (first == 0x0000) {
            at_ += 2;
            return L"";
        }
        if (first == 0xFFFF) {
            at_ += 2;
            const WORD ordinal = Read<WORD>();
            if (isClass) {
                static const wchar_t* const kClasses[] = {L"BUTTON", L"EDIT", L"STATIC", L"LISTBOX", L"SCROLLBAR",
                                                          L"COMBOBOX"};
                if (ordinal >= 0x80 && ordinal <= 0x85)
                    return kClasses[ordinal - 0x80];
            }
            return L"#" + std::to_wstring(ordinal);
        }
        return String();
    }

    void AlignTo4()
    {
        while ((at_ - base_) % 4 != 0)
            ++at_;
    }

private:
    const BYTE* base_;
    const BYTE* at_;
};

DialogTemplate LoadDialogTemplate(int id)
{
    HRSRC resource = FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
    EXPECT_TRUE(resource) << "dialog " << id;
    if (!resource)
        return {};
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(GetModuleHandleW(nullptr), resource)));
    TemplateReader in(data);

    DialogTemplate dialog = {};
    EXPECT_EQ(in.Read<WORD>(), 1) << "extended template version";
    EXPECT_EQ(in.Read<WORD>(), 0xFFFF) << "extended template signature";
    in.Read<DWORD>();  // help id
    dialog.exStyle = in.Read<DWORD>();
    dialog.style = in.Read<DWORD>();
    const WORD count = in.Read<WORD>();
    dialog.x = in.Read<short>();
    dialog.y = in.Read<short>();
    dialog.cx = in.Read<short>();
    dialog.cy = in.Read<short>();
    dialog.menu = in.StringOrOrdinal(false);
    dialog.className = in.StringOrOrdinal(false);
    dialog.title = in.String();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = in.Read<WORD>();
        dialog.weight = in.Read<WORD>();
        dialog.italic = in.Read<BYTE>();
        dialog.charSet = in.Read<BYTE>();
        dialog.face = in.String();
    }
    for (WORD i = 0; i < count; ++i) {
        in.AlignTo4();
        TemplateItem item = {};
        in.Read<DWORD>();  // help id
        item.exStyle = in.Read<DWORD>();
        item.style = in.Read<DWORD>();
        item.x = in.Read<short>();
        item.y = in.Read<short>();
        item.cx = in.Read<short>();
        item.cy = in.Read<short>();
        item.id = in.Read<DWORD>();
        item.className = in.StringOrOrdinal(true);
        item.text = in.StringOrOrdinal(false);
        const WORD extra = in.Read<WORD>();
        for (WORD b = 0; b < extra; ++b)
            in.Read<BYTE>();
        dialog.items.push_back(item);
    }
    return dialog;
}

void ExpectFrame(const DialogTemplate& dialog, const wchar_t* title, short cx, short cy)
{
    EXPECT_EQ(dialog.style, 0x80C800C0u);
    EXPECT_EQ(dialog.exStyle, 0u);
    EXPECT_EQ(dialog.x, 0);
    EXPECT_EQ(dialog.y, 0);
    EXPECT_EQ(dialog.cx, cx);
    EXPECT_EQ(dialog.cy, cy);
    EXPECT_EQ(dialog.menu, L"");
    EXPECT_EQ(dialog.className, L"");
    EXPECT_EQ(dialog.title, title);
    EXPECT_EQ(dialog.pointSize, 9);
    EXPECT_EQ(dialog.weight, 0);
    EXPECT_EQ(dialog.italic, 0);
    EXPECT_EQ(dialog.charSet, 1);
    EXPECT_EQ(dialog.face, L"MS Sans Serif");
}

void ExpectItems(const DialogTemplate& dialog, const std::vector<TemplateItem>& expected)
{
    ASSERT_EQ(dialog.items.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const TemplateItem& got = dialog.items[i];
        const TemplateItem& want = expected[i];
        SCOPED_TRACE(want.id);
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(_wcsicmp(got.className.c_str(), want.className.c_str()), 0) << got.className.c_str();
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(got.style, want.style);
        EXPECT_EQ(got.exStyle, 0u);
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
    }
}

TEST(DialogTemplates, Settings)
{
    const DialogTemplate dialog = LoadDialogTemplate(IDD_SETTINGS);
    ExpectFrame(dialog, L"Ustawienia", 520, 380);
    ExpectItems(dialog, {
        {0x50210003, 0, 20, 70, 180, 100, 508, L"COMBOBOX", L""},
        {0x50810080, 0, 210, 70, 80, 20, 509, L"EDIT", L""},
        {0x50010000, 0, 300, 70, 50, 20, 515, L"BUTTON", L"Set"},
        {0x50020000, 0, 20, 150, 150, 14, 511, L"STATIC", L"Compiler directive:"},
        {0x50A10044, 0, 20, 170, 480, 60, 510, L"EDIT", L""},
        {0x50010000, 0, 20, 250, 140, 20, 504, L"BUTTON", L"Background color"},
        {0x50010000, 0, 170, 250, 140, 20, 505, L"BUTTON", L"Text color"},
        {0x50010000, 0, 320, 250, 140, 20, 506, L"BUTTON", L"Change font"},
        {0x50010000, 0, 20, 290, 140, 20, 512, L"BUTTON", L"Open project"},
        {0x50010000, 0, 170, 290, 140, 20, 513, L"BUTTON", L"Save project"},
        {0x50010000, 0, 320, 290, 140, 20, 514, L"BUTTON", L"Save as"},
        {0x50010000, 0, 400, 330, 80, 20, 2, L"BUTTON", L"Ok"},
    });
}

TEST(DialogTemplates, SearchReplace)
{
    const DialogTemplate dialog = LoadDialogTemplate(IDD_SEARCH_REPLACE);
    ExpectFrame(dialog, L"Search/Replace", 300, 200);
    ExpectItems(dialog, {
        {0x50020000, 0, 10, 10, 50, 14, 601, L"STATIC", L"Search:"},
        {0x50810080, 0, 70, 10, 150, 14, 602, L"EDIT", L""},
        {0x50010000, 0, 10, 40, 100, 20, 604, L"BUTTON", L"Szukaj"},
        {0x50020000, 0, 10, 80, 50, 14, 605, L"STATIC", L"From:"},
        {0x50810080, 0, 70, 80, 150, 14, 606, L"EDIT", L""},
        {0x50020000, 0, 10, 110, 50, 14, 607, L"STATIC", L"To:"},
        {0x50810080, 0, 70, 110, 150, 14, 608, L"EDIT", L""},
        {0x50010000, 0, 10, 140, 100, 20, 609, L"BUTTON", L"Replace"},
        {0x50010000, 0, 200, 160, 80, 20, 610, L"BUTTON", L"OK"},
    });
}

TEST(DialogTemplates, ManifestAsksForCommonControls6)
{
    HRSRC resource = FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_TRUE(resource);
    const DWORD size = SizeofResource(GetModuleHandleW(nullptr), resource);
    const char* text = static_cast<const char*>(LockResource(LoadResource(GetModuleHandleW(nullptr), resource)));
    const std::string manifest(text, size);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_EQ(manifest.find("dpiAware"), std::string::npos);
}

}  // namespace
