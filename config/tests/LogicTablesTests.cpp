// The fixed tables of the settings program: bindings, Flash flags, languages.
#include <gtest/gtest.h>

#include <string>

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
