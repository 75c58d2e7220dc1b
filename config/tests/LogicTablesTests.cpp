// The fixed tables of the settings program: bindings, Flash flags, languages, and what
// the browser's records of the add-on mean.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "BrowserAddonState.h"
#include "ControlBinding.h"
#include "FlashFlags.h"
#include "LanguageTable.h"
#include "ResourceIds.h"

TEST(ControlBindings, FiveRowsInTheOrderOfLoadingAndWriting) {
    auto rows = MakeControlBindings();
    ASSERT_EQ(rows.size(), 5u);
    const char* keys[] = {"Enable", "MaxZoomRange", "MinZoomRange", "EnableFlash", "TwoFingerTap2Zoom100"};
    const int ids[] = {1002, 1027, 1026, 1010, 1024};
    const char* kinds[] = {"BUTTON", "SLIDER", "SLIDER", "BUTTON", "BUTTON"};
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].key, keys[i]) << i;
        EXPECT_EQ(rows[i].controlId, ids[i]) << i;
        EXPECT_EQ(rows[i].kind, kinds[i]) << i;
    }
}

TEST(FlashFlags, OnlyZeroAllowsFlash) {
    EXPECT_TRUE(IsFlashAllowedByFlags(0));
    for (std::uint32_t flags : {0x400u, 0x401u, 0x1u, 0x800u, 0xFFFFFFFFu})
        EXPECT_FALSE(IsFlashAllowedByFlags(flags)) << std::hex << flags;
}

TEST(FlashFlags, WritesZeroOrExactlyTheKillBit) {
    EXPECT_EQ(FlagsForFlashAllowed(true), 0u);
    EXPECT_EQ(FlagsForFlashAllowed(false), 0x400u);
    EXPECT_FALSE(IsFlashAllowedByFlags(FlagsForFlashAllowed(false)));
    EXPECT_TRUE(IsFlashAllowedByFlags(FlagsForFlashAllowed(true)));
}

TEST(FlashFlags, EveryBrowserMustAllowAndAnUnreadableSwitchIsUnknown) {
    using S = FlashState;
    EXPECT_EQ(FlashStateOf(FlashRead::Absent, 0x400), S::Allowed);
    EXPECT_EQ(FlashStateOf(FlashRead::Flags, 0), S::Allowed);
    EXPECT_EQ(FlashStateOf(FlashRead::Flags, 0x401), S::Blocked);
    EXPECT_EQ(FlashStateOf(FlashRead::Unreadable, 0), S::Unknown);
    const std::vector<std::pair<std::vector<S>, S>> combined = {
        {{S::Allowed, S::Allowed}, S::Allowed}, {{S::Unknown, S::Allowed}, S::Unknown},
        {{S::Unknown, S::Blocked}, S::Blocked}, {{S::Allowed, S::Blocked}, S::Blocked},
    };
    for (const auto& [states, expected] : combined) EXPECT_EQ(CombinedFlashState(states), expected);
}

TEST(FlashFlags, AnUnknownSwitchIsWrittenOnlyWhenTheUserChangedTheBox) {
    EXPECT_FALSE(FlashSwitchToBeWritten(FlashState::Unknown, 1, 1));
    EXPECT_TRUE(FlashSwitchToBeWritten(FlashState::Unknown, 1, 0));
    EXPECT_TRUE(FlashSwitchToBeWritten(FlashState::Blocked, 0, 0));
    EXPECT_TRUE(FlashSwitchToBeWritten(FlashState::Allowed, 1, 1));
}

TEST(LanguageTable, ChineseLocalesPickTheirLibraryByWholeLcid) {
    EXPECT_STREQ(LanguageLibraryForLcid(0x0404), "PinchkitCHT.dll");
    EXPECT_STREQ(LanguageLibraryForLcid(0x0C04), "PinchkitCHT.dll");
    EXPECT_STREQ(LanguageLibraryForLcid(0x1004), "PinchkitCHT.dll");
    EXPECT_STREQ(LanguageLibraryForLcid(0x0804), "PinchkitCHS.dll");
}

TEST(LanguageTable, OtherLocalesKeepTheEnglishResources) {
    // Macao, US English, bare Chinese, and Chinese with another sort id.
    for (std::uint32_t lcid : {0x1404u, 0x0409u, 0x0004u, 0x00020804u, 0x00010404u, 0u})
        EXPECT_EQ(LanguageLibraryForLcid(lcid), nullptr) << std::hex << lcid;
}

namespace {

using Text = std::optional<std::string>;
using Dword = std::optional<std::uint32_t>;
BrowserAddonFacts Facts(Text userList, Text machineList, Dword userOnlyListed, Dword machineOnlyListed, Dword flags) {
    return {userList, machineList, userOnlyListed, machineOnlyListed, flags};
}

}  // namespace

TEST(BrowserAddonState, EachRecordOfTheBrowserKeepsTheAddonOffOrNot) {
    const std::nullopt_t none = std::nullopt;
    struct Case {
        const char* what;
        BrowserAddonFacts facts;
        AddonOff expected;
    } cases[] = {
        {"nothing recorded", Facts(none, none, none, none, none), AddonOff::No},
        {"turned off in Manage Add-ons", Facts(none, none, none, none, 1u), AddonOff::ByUser},
        {"denied by the machine's list", Facts(none, "0", none, none, none), AddonOff::ByPolicy},
        {"denied by the user's list", Facts("0", none, none, none, none), AddonOff::ByPolicy},
        {"the user's list comes first", Facts("1", "0", none, none, none), AddonOff::No},
        {"allowed by policy: the user cannot turn it off", Facts(none, "1", none, none, 1u), AddonOff::No},
        {"allowed and left to the user", Facts(none, "2", none, none, 1u), AddonOff::ByUser},
        {"only listed add-ons, by the machine", Facts(none, none, none, 1u, none), AddonOff::NotOnPolicyList},
        {"only listed add-ons, by the user", Facts(none, none, 1u, none, none), AddonOff::NotOnPolicyList},
        {"only listed add-ons, switched off", Facts(none, none, 0u, 0u, none), AddonOff::No},
        {"only listed add-ons, and listed", Facts(none, "1", none, 1u, none), AddonOff::No},
        {"only listed add-ons, listed for the user", Facts(none, "2", none, 1u, 1u), AddonOff::ByUser},
        {"only listed add-ons, a value the list does not know", Facts(none, "3", none, 1u, none),
         AddonOff::NotOnPolicyList},
    };
    for (const Case& c : cases) EXPECT_EQ(WhyBrowserKeepsAddonOff(c.facts), c.expected) << c.what;
}
