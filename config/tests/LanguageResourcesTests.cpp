// The language libraries and the program carry every resource the program takes,
// in their languages, and the language selection makes a library the resource source.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "LanguageLibrary.h"
#include "ModulesBesideTests.h"
#include "ResourceIds.h"
#include "ResourceModule.h"

namespace {

std::wstring StringOf(HMODULE module, UINT id) {
    wchar_t buffer[512] = {};
    int n = ::LoadStringW(module, id, buffer, 512);
    return std::wstring(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

bool HasIcon(HMODULE module) {
    return ::FindResourceW(module, MAKEINTRESOURCEW(IDR_MAINFRAME), RT_GROUP_ICON) != nullptr;
}
bool HasDialog(HMODULE module) {
    return ::FindResourceW(module, MAKEINTRESOURCEW(IDD_PINCHWELLCONFIG_DIALOG), RT_DIALOG) != nullptr;
}

const UINT kProgramStrings[] = {
    IDS_RESTART_BROWSER,     IDS_CONFIG_TITLE,        IDS_CONFIG_FILE_MISSING, IDS_INTERNAL_ERROR_REINSTALL,
    IDS_CONFIG_FILE_NAME,    IDS_ERROR_CAPTION,       IDS_INTERNAL_ERROR_RESTART, IDS_PROGRAM_FOLDER,
    IDS_ZOOM_RANGE_REFUSED,  IDS_FLASH_SWITCH_FAILED, IDS_INFORMATION_CAPTION, IDS_NOT_SAVED,
    IDS_SAVE_NO_RIGHTS,      IDS_SAVE_IN_USE,         IDS_SAVE_MISSING,        IDS_SAVE_FAILED,
    IDS_ELEVATION_REFUSED,   IDS_ADDON_OFF_BY_USER,   IDS_ADDON_OFF_BY_POLICY, IDS_ADDON_NOT_ON_POLICY_LIST,
    IDS_SAVE_READ_ONLY,      IDS_SAVE_STRANDED,       IDS_ADMINISTRATOR_NEEDED, IDS_SAVE_NOT_HELD,
};

class EveryResourceModule : public ::testing::TestWithParam<const wchar_t*> {};

}  // namespace

TEST_P(EveryResourceModule, CarriesDialogIconAndEveryString) {
    auto module = LoadAsData(GetParam());
    ASSERT_TRUE(module);
    EXPECT_TRUE(HasDialog(module.get()));
    EXPECT_TRUE(HasIcon(module.get()));
    for (UINT id : kProgramStrings) EXPECT_FALSE(StringOf(module.get(), id).empty()) << id;
    // Each line about the settings file names it once.
    for (UINT id : {IDS_SAVE_NO_RIGHTS, IDS_SAVE_IN_USE, IDS_SAVE_MISSING, IDS_SAVE_FAILED, IDS_SAVE_READ_ONLY,
                    IDS_SAVE_STRANDED, IDS_SAVE_NOT_HELD}) {
        std::wstring text = StringOf(module.get(), id);
        EXPECT_NE(text.find(L"%s"), std::wstring::npos) << id;
        EXPECT_EQ(text.find(L"%s"), text.rfind(L"%")) << id;
    }
    EXPECT_EQ(StringOf(module.get(), IDS_CONFIG_FILE_NAME), L"config.ini");
    EXPECT_EQ(StringOf(module.get(), IDS_PROGRAM_FOLDER), L"C:\\Program Files\\Kestrune\\Pinchwell");
    // The line break of message 132 is a real one.
    EXPECT_NE(StringOf(module.get(), IDS_CONFIG_FILE_MISSING).find(L'\n'), std::wstring::npos);
}

INSTANTIATE_TEST_SUITE_P(Modules, EveryResourceModule,
                         ::testing::Values(L"PinchwellConfig.exe", L"PinchkitCHT.dll", L"PinchkitCHS.dll"));

TEST(EnglishResources, TextsStandAsTheProgramShowsThem) {
    auto exe = LoadAsData(L"PinchwellConfig.exe");
    ASSERT_TRUE(exe);
    EXPECT_EQ(StringOf(exe.get(), IDS_RESTART_BROWSER), L"Please restart the browser to apply the changes!");
    EXPECT_EQ(StringOf(exe.get(), IDS_CONFIG_FILE_MISSING),
              L"Cannot find the configuration file.\n Please reinstall the application.");
    EXPECT_EQ(StringOf(exe.get(), IDS_ERROR_CAPTION), L"Pinchwell - Error");
    EXPECT_EQ(StringOf(exe.get(), IDS_ZOOM_RANGE_REFUSED), L"Max value must be bigger than Min value!");
    EXPECT_EQ(StringOf(exe.get(), IDS_FLASH_SWITCH_FAILED),
              L"Failed to enable/disable flash. Please check the flash setting!");
    EXPECT_EQ(StringOf(exe.get(), IDS_INFORMATION_CAPTION), L"Pinchwell - Information");
    EXPECT_EQ(StringOf(exe.get(), IDS_SAVE_READ_ONLY), L"%s is read-only.");
}

TEST(ChineseResources, TraditionalAndSimplifiedTextsAreTheirOwn) {
    auto cht = LoadAsData(L"PinchkitCHT.dll");
    auto chs = LoadAsData(L"PinchkitCHS.dll");
    ASSERT_TRUE(cht);
    ASSERT_TRUE(chs);
    // 請重新啟動瀏覽器以套用變更！ and 请重新启动浏览器以应用更改！
    EXPECT_EQ(StringOf(cht.get(), IDS_RESTART_BROWSER),
              L"\u8acb\u91cd\u65b0\u555f\u52d5\u700f\u89bd\u5668\u4ee5\u5957\u7528\u8b8a\u66f4\uff01");
    EXPECT_EQ(StringOf(chs.get(), IDS_RESTART_BROWSER),
              L"\u8bf7\u91cd\u65b0\u542f\u52a8\u6d4f\u89c8\u5668\u4ee5\u5e94\u7528\u66f4\u6539\uff01");
    EXPECT_EQ(StringOf(cht.get(), IDS_ERROR_CAPTION), L"Pinchwell - \u932f\u8aa4");
    EXPECT_EQ(StringOf(chs.get(), IDS_ERROR_CAPTION), L"Pinchwell - \u9519\u8bef");
    EXPECT_EQ(StringOf(cht.get(), IDS_INFORMATION_CAPTION), L"Pinchwell - \u8cc7\u8a0a");
    EXPECT_EQ(StringOf(chs.get(), IDS_INFORMATION_CAPTION), L"Pinchwell - \u4fe1\u606f");
}

TEST(LanguageSelection, ChineseLcidMakesItsLibraryTheResourceSource) {
    HMODULE own = ::GetModuleHandleW(nullptr);
    {
        auto library = LoadLanguageLibraryForLcid(0x0804);
        ASSERT_TRUE(library);
        EXPECT_EQ(GetResourceModule(), library.get());
        EXPECT_EQ(LoadResourceString(IDS_ERROR_CAPTION), L"Pinchwell - \u9519\u8bef");
        SetResourceModule(nullptr);
    }
    {
        auto library = LoadLanguageLibraryForLcid(0x0C04);
        ASSERT_TRUE(library);
        EXPECT_EQ(LoadResourceString(IDS_ERROR_CAPTION), L"Pinchwell - \u932f\u8aa4");
        SetResourceModule(nullptr);
    }
    EXPECT_FALSE(LoadLanguageLibraryForLcid(0x0409));
    EXPECT_FALSE(LoadLanguageLibraryForLcid(0x1404));
    EXPECT_EQ(GetResourceModule(), own);
}

// The program may run with an administrator's rights: a library is taken from its own
// folder only, and only one that holds the dialog.
TEST(LanguageSelection, OnlyALibraryWithTheDialogInTheProgramsFolderIsUsed) {
    HMODULE own = ::GetModuleHandleW(nullptr);
    std::wstring stale = BesideTests(L"stale\\");
    ASSERT_NE(::GetFileAttributesW((stale + L"PinchkitCHT.dll").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(LoadLanguageLibraryFrom(stale, 0x0404));

    // A library of the right name on the search path, none in the folder.
    wchar_t path[4096] = {};
    ::GetEnvironmentVariableW(L"PATH", path, 4096);
    std::wstring saved = path;
    ::SetEnvironmentVariableW(L"PATH", (BesideTests(L"") + L";" + saved).c_str());
    EXPECT_FALSE(LoadLanguageLibraryFrom(stale, 0x0804));
    ::SetEnvironmentVariableW(L"PATH", saved.c_str());
    EXPECT_EQ(GetResourceModule(), own);
}
