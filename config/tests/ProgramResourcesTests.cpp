// The dialog template, version resource and manifest of the program, and the
// layouts of the language libraries.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "DialogTemplateReader.h"
#include "ModulesBesideTests.h"
#include "ResourceIds.h"
#include "pinchwell/GdiResources.h"

namespace {

struct Expected {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    short x, y, cx, cy;
};

// The English dialog, control by control in tab order.
const Expected kEnglish[] = {
    {IDOK, L"Button", L"OK", 0x50010001, 37, 170, 50, 14},
    {IDCANCEL, L"Button", L"Cancel", 0x50010000, 195, 170, 50, 14},
    {1002, L"Button", L"Enable browser optimizer addons", 0x50010003, 15, 22, 121, 10},
    {1003, L"Button", L"Disable/Enable", 0x50000007, 7, 7, 269, 33},
    {1032, L"Static", L"", 0x40020080, 15, 32, 254, 8},
    {1004, L"Button", L"Zoom Settings", 0x50000007, 7, 49, 269, 70},
    {1009, L"Static", L"Min zoom range : ", 0x50020000, 15, 66, 58, 8},
    {1008, L"Static", L"Max zoom range : ", 0x50020000, 15, 97, 60, 8},
    {1010, L"Button", L"Enable flash", 0x50010003, 169, 22, 55, 10},
    {-1, L"Button", L"Gesture Settings", 0x50000007, 7, 128, 269, 37},
    {1024, L"Button", L"Change the zoom to 100% when two finger tap the screen", 0x50010003, 15, 144, 204, 10},
    {1026, L"msctls_trackbar32", L"", 0x50010018, 81, 64, 100, 15},
    {1027, L"msctls_trackbar32", L"", 0x50010018, 81, 93, 100, 15},
    {1028, L"Button", L"Default", 0x50010000, 219, 66, 50, 14},
    {1029, L"Button", L"Default", 0x50010000, 219, 92, 50, 14},
    {1030, L"Static", L"100", 0x50020000, 192, 67, 13, 8},
    {1031, L"Static", L"300", 0x50020000, 192, 96, 14, 8},
    {-1, L"Static", L"%", 0x50020000, 206, 67, 8, 8},
    {-1, L"Static", L"%", 0x50020000, 206, 96, 8, 8},
};

// Window class names are matched without regard to case.
bool SameClass(const std::wstring& a, const wchar_t* b) { return ::lstrcmpiW(a.c_str(), b) == 0; }

int SignedId(int id) { return static_cast<short>(static_cast<WORD>(id)); }

INT_PTR CALLBACK HandlesNothing(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::wstring VersionString(const std::vector<BYTE>& info, const wchar_t* name) {
    std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(info.data(), query.c_str(), &value, &length) || length == 0) return {};
    return static_cast<const wchar_t*>(value);
}

}  // namespace

TEST(ProgramDialog, TemplateHoldsEveryControlAsTheDialogShowsIt) {
    auto exe = LoadAsData(L"PinchwellConfig.exe");
    DialogTemplate dialog = ReadDialogTemplate(exe.get(), IDD_PINCHWELLCONFIG_DIALOG);
    ASSERT_TRUE(dialog.found);
    EXPECT_EQ(dialog.style, 0x90CE0048u);
    EXPECT_EQ(dialog.exStyle, 0x00040000u);
    EXPECT_EQ(dialog.cx, 283);
    EXPECT_EQ(dialog.cy, 191);
    EXPECT_EQ(dialog.caption, L"Pinchwell - Configuration");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.typeface, L"MS Shell Dlg");
    ASSERT_EQ(dialog.items.size(), std::size(kEnglish));
    for (size_t i = 0; i < dialog.items.size(); ++i) {
        const DialogItem& got = dialog.items[i];
        const Expected& want = kEnglish[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(SignedId(got.id), want.id);
        EXPECT_TRUE(SameClass(got.className, want.className)) << got.className;
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(got.style, want.style);
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
    }
}

TEST(ProgramDialog, LanguageLayoutsKeepControlsStylesAndFitTheDialog) {
    for (const wchar_t* name : {L"PinchkitCHT.dll", L"PinchkitCHS.dll"}) {
        SCOPED_TRACE(name);
        auto library = LoadAsData(name);
        DialogTemplate dialog = ReadDialogTemplate(library.get(), IDD_PINCHWELLCONFIG_DIALOG);
        ASSERT_TRUE(dialog.found);
        EXPECT_EQ(dialog.style, 0x90CE0048u);
        ASSERT_EQ(dialog.items.size(), std::size(kEnglish));
        for (size_t i = 0; i < dialog.items.size(); ++i) {
            const DialogItem& got = dialog.items[i];
            SCOPED_TRACE(i);
            EXPECT_EQ(SignedId(got.id), kEnglish[i].id);
            EXPECT_TRUE(SameClass(got.className, kEnglish[i].className)) << got.className;
            EXPECT_EQ(got.style, kEnglish[i].style);
            EXPECT_EQ(got.text.empty(), std::wstring(kEnglish[i].text).empty());
            // Translated, except the numbers and signs that stand in every language.
            bool universal = got.text.empty() || got.text == L"100" || got.text == L"300" || got.text == L"%";
            if (!universal) {
                EXPECT_NE(got.text, kEnglish[i].text);
            }
            EXPECT_LE(got.x + got.cx, dialog.cx);
            EXPECT_LE(got.y + got.cy, dialog.cy);
        }
    }
}

// Each line about the add-on turned off in the browser fits the one line under the Enable
// checkbox, measured in the font of each language's dialog.
TEST(ProgramDialog, EveryAddonOffLineFitsOnItsLine) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&classes);
    for (const wchar_t* name : {L"PinchwellConfig.exe", L"PinchkitCHT.dll", L"PinchkitCHS.dll"}) {
        SCOPED_TRACE(name);
        auto module = LoadAsData(name);
        HRSRC info = ::FindResourceW(module.get(), MAKEINTRESOURCEW(IDD_PINCHWELLCONFIG_DIALOG), RT_DIALOG);
        ASSERT_NE(info, nullptr);
        const auto* bytes = static_cast<const BYTE*>(::LockResource(::LoadResource(module.get(), info)));
        std::vector<BYTE> hidden(bytes, bytes + ::SizeofResource(module.get(), info));
        hidden[15] &= ~static_cast<BYTE>(WS_VISIBLE >> 24);  // the style's high byte, after the DIALOGEX header
        pinchwell::UniqueWindow dialog(::CreateDialogIndirectParamW(
            nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(hidden.data()), nullptr,
            &HandlesNothing, 0));
        ASSERT_TRUE(dialog);
        HWND line = ::GetDlgItem(dialog.get(), IDC_ADDON_OFF);
        RECT box{};
        ::GetClientRect(line, &box);
        pinchwell::UniqueDC dc(::CreateCompatibleDC(nullptr));
        pinchwell::ScopedSelection font(dc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageW(line, WM_GETFONT, 0, 0)));
        for (UINT id : {IDS_ADDON_OFF_BY_USER, IDS_ADDON_OFF_BY_POLICY, IDS_ADDON_NOT_ON_POLICY_LIST}) {
            wchar_t text[512] = {};
            int length = ::LoadStringW(module.get(), id, text, 512);
            SIZE size{};
            ::GetTextExtentPoint32W(dc.get(), text, length, &size);
            EXPECT_GT(size.cx, 0) << id;
            EXPECT_LE(size.cx, box.right) << id;
        }
    }
}

TEST(ProgramImage, VersionResourceNamesTheProgram) {
    std::wstring exe = BesideTests(L"PinchwellConfig.exe");
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(::GetFileVersionInfoW(exe.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(VersionString(info, L"InternalName"), L"PinchwellConfig.exe");
    EXPECT_EQ(VersionString(info, L"OriginalFilename"), L"PinchwellConfig.exe");
    EXPECT_EQ(VersionString(info, L"FileDescription"), L"PinchwellConfig");
    EXPECT_EQ(VersionString(info, L"ProductName"), L"Pinchwell");
}

// The installer replaces each library of the program by its version and language.
TEST(ProgramImage, LanguageLibrariesCarryTheProgramsVersionInTheirLanguage) {
    const std::pair<const wchar_t*, WORD> libraries[] = {{L"PinchkitCHT.dll", 0x404}, {L"PinchkitCHS.dll", 0x804}};
    for (const auto& [name, language] : libraries) {
        std::wstring file = BesideTests(name);
        DWORD ignored = 0;
        DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
        ASSERT_GT(size, 0u) << name;
        std::vector<BYTE> info(size);
        ASSERT_TRUE(::GetFileVersionInfoW(file.c_str(), 0, size, info.data()));
        VS_FIXEDFILEINFO* fixed = nullptr;
        void* translation = nullptr;
        UINT length = 0;
        ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
        EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u) << name;
        EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u) << name;
        ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", &translation, &length));
        ASSERT_GE(length, 4u);
        EXPECT_EQ(*static_cast<const WORD*>(translation), language) << name;
    }
}

TEST(ProgramImage, ManifestAsksForCommonControlsSixElevationAndDpiAwareness) {
    auto exe = LoadAsData(L"PinchwellConfig.exe");
    HRSRC info = ::FindResourceW(exe.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(info, nullptr);
    const char* text = static_cast<const char*>(::LockResource(::LoadResource(exe.get(), info)));
    std::string manifest(text, ::SizeofResource(exe.get(), info));
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("level=\"highestAvailable\" uiAccess=\"false\""), std::string::npos);
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
    for (const char* system : {"{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"})
        EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"") + system + "\"/>"), std::string::npos) << system;
}
