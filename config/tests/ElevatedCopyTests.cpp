// The save handed to a copy of the program: the dialog takes no input while it runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "ModulesBesideTests.h"
#include "SettingsFileAccess.h"

namespace {

std::vector<BOOL> enabledSeen;

void CALLBACK RecordEnabled(HWND window, UINT, UINT_PTR, DWORD) { enabledSeen.push_back(::IsWindowEnabled(window)); }

}  // namespace

TEST(ElevatedCopy, TheOwnerIsDisabledUntilTheCopyHasEnded) {
    pinchwell::UniqueWindow owner(::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                                    nullptr, nullptr));
    ASSERT_TRUE(owner);
    enabledSeen.clear();
    ::SetTimer(owner.get(), 1, 10, &RecordEnabled);
    // A request the copy refuses: it ends at once and writes nothing.
    SaveRequest refused{{{"Enable", "maybe"}}, true, true};
    SaveReport report = SaveSettingsElevatedBy(BesideTests(L"PinchwellConfig.exe"), owner.get(), refused,
                                               "C:\\nowhere\\config.ini");
    ::KillTimer(owner.get(), 1);
    EXPECT_FALSE(report.Saved());
    ASSERT_FALSE(enabledSeen.empty()) << "the wait dispatched no timer";
    for (BOOL enabled : enabledSeen) EXPECT_FALSE(enabled);
    EXPECT_TRUE(::IsWindowEnabled(owner.get()));
}
