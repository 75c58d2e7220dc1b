// The Flash switch on the real registry of the Wine prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FlashSwitch.h"
#include "RegistryFixtures.h"

namespace {

// The switch in the process's own registry view, with the other browser's view (on
// 64-bit Windows) put back as it was too.
class BrowserFlashSwitch : public ::testing::Test {
protected:
    void SetUp() override {
        for (REGSAM view : kViews) {
            saved_.push_back(ReadDword(root, subkey, kFlagsValue, view));
            hadSubkey_.push_back(KeyExists(root, subkey, view));
            ASSERT_TRUE(KeyExists(root, parent, view)) << "the prefix lacks the browser's key";
            DeleteTree(root, subkey, view);
        }
    }
    void TearDown() override {
        for (size_t i = 0; i < saved_.size(); ++i) {
            DeleteTree(root, subkey, kViews[i]);
            if (hadSubkey_[i]) CreateEmptyKey(root, subkey, kViews[i]);
            if (saved_[i]) WriteDword(root, subkey, kFlagsValue, *saved_[i], kViews[i]);
        }
    }

    static constexpr REGSAM kViews[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};
    FlashSwitchLocation location = ::BrowserFlashSwitch();
    HKEY root = location.root;
    std::wstring parent = location.parentPath;
    std::wstring subkey = parent + L"\\" + location.subkeyName;

private:
    std::vector<std::optional<DWORD>> saved_;
    std::vector<bool> hadSubkey_;
};

}  // namespace

// Reading needs no more than the right to read: the subkey is created only by a write.
TEST_F(BrowserFlashSwitch, QueryOfAnAbsentSubkeyReadsAllowedAndCreatesNothing) {
    ASSERT_FALSE(KeyExists(root, subkey));
    EXPECT_TRUE(QueryFlashEnabled());
    EXPECT_FALSE(KeyExists(root, subkey));
}

TEST(RegistryProbe, VolatileKeysRefusePersistentChildren) {
    // Shows that the persistence probe above can fail at all.
    std::wstring path = L"SOFTWARE\\PinchwellTests\\VolatileProbe";
    DeleteTree(HKEY_CURRENT_USER, path);
    pinchwell::UniqueRegKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    key.reset();
    EXPECT_FALSE(AcceptsPersistentChild(HKEY_CURRENT_USER, path));
    DeleteTree(HKEY_CURRENT_USER, L"SOFTWARE\\PinchwellTests");
}

TEST_F(BrowserFlashSwitch, AnExistingSubkeyIsUsedAsItIs) {
    CreateEmptyKey(root, subkey);
    // A value that is absent counts as allowed, and the query writes nothing then.
    EXPECT_TRUE(QueryFlashEnabled());
    EXPECT_EQ(ReadDword(root, subkey, kFlagsValue), std::nullopt);
}

TEST_F(BrowserFlashSwitch, AnyNonZeroFlagsReadAsBlockedAndStayUntouched) {
    for (DWORD flags : {0x400u, 0x401u, 0x1u}) {
        WriteDword(root, subkey, kFlagsValue, flags);
        EXPECT_FALSE(QueryFlashEnabled()) << std::hex << flags;
        EXPECT_EQ(ReadDword(root, subkey, kFlagsValue), std::optional<DWORD>(flags));
    }
    WriteDword(root, subkey, kFlagsValue, 0);
    EXPECT_TRUE(QueryFlashEnabled());
}

TEST_F(BrowserFlashSwitch, BlockWritesExactlyTheKillBitAndAllowWritesZero) {
    WriteDword(root, subkey, kFlagsValue, 0x401);
    EXPECT_TRUE(ApplyFlashEnabled(false));
    EXPECT_EQ(ReadDword(root, subkey, kFlagsValue), std::optional<DWORD>(0x400));
    EXPECT_FALSE(QueryFlashEnabled());
    EXPECT_TRUE(ApplyFlashEnabled(true));
    EXPECT_EQ(ReadDword(root, subkey, kFlagsValue), std::optional<DWORD>(0));
    EXPECT_TRUE(QueryFlashEnabled());
}

TEST_F(BrowserFlashSwitch, ApplyCreatesAnAbsentSubkeyPersistently) {
    EXPECT_TRUE(ApplyFlashEnabled(true));
    EXPECT_EQ(ReadDword(root, subkey, kFlagsValue), std::optional<DWORD>(0));
    EXPECT_TRUE(AcceptsPersistentChild(root, subkey));
    DeleteTree(root, subkey);
    EXPECT_TRUE(ApplyFlashEnabled(false));
    EXPECT_EQ(ReadDword(root, subkey, kFlagsValue), std::optional<DWORD>(0x400));
}


// Each browser reads its own registry view: both get the switch, and one that blocks
// Flash shows it blocked.
TEST_F(BrowserFlashSwitch, EveryBrowsersViewIsSetAndEitherOneBlocking) {
    EXPECT_TRUE(ApplyFlashEnabled(false));
    for (REGSAM view : kViews) EXPECT_EQ(ReadDword(root, subkey, kFlagsValue, view), std::optional<DWORD>(0x400));
    EXPECT_TRUE(ApplyFlashEnabled(true));
    EXPECT_TRUE(QueryFlashEnabled());
    for (REGSAM view : kViews) {
        WriteDword(root, subkey, kFlagsValue, 0x400, view);
        EXPECT_FALSE(QueryFlashEnabled()) << view;
        WriteDword(root, subkey, kFlagsValue, 0, view);
    }
}

TEST_F(BrowserFlashSwitch, WithoutWriteAccessNothingChangesAndTheApplyFails) {
    WriteDword(root, subkey, kFlagsValue, 0x400);
    {
        // Everyone, administrators included, may only read the browser's key.
        KeyAccessList readOnly(root, parent, L"D:P(A;OICI;KR;;;WD)");
        ASSERT_TRUE(readOnly.applied());
        ASSERT_FALSE(OpenForTest(root, parent, KEY_ALL_ACCESS)) << "the access list is not enforced";
        EXPECT_EQ(QueryFlashState(), FlashState::Blocked);  // a standard user reads what is there
        EXPECT_FALSE(MayApplyFlashSwitch());
        EXPECT_FALSE(ApplyFlashEnabled(true));
        EXPECT_FALSE(ApplyFlashEnabled(false));
    }
    EXPECT_TRUE(MayApplyFlashSwitch());
    EXPECT_EQ(ReadDword(root, subkey, kFlagsValue), std::optional<DWORD>(0x400));
    EXPECT_TRUE(static_cast<bool>(OpenForTest(root, parent, KEY_ALL_ACCESS)));
}

TEST_F(BrowserFlashSwitch, ASwitchThatCannotBeReadIsUnknown) {
    WriteDword(root, subkey, kFlagsValue, 0x400);
    KeyAccessList unreadable(root, subkey, L"D:P");
    ASSERT_TRUE(unreadable.applied());
    ASSERT_FALSE(OpenForTest(root, subkey, KEY_QUERY_VALUE)) << "the access list is not enforced";
    EXPECT_EQ(QueryFlashState(), FlashState::Unknown);
}

// The browser whose view refuses the write keeps its switch; the other still gets it.
TEST_F(BrowserFlashSwitch, AViewThatRefusesTheWriteLeavesTheOtherWrittenAndFails) {
    for (REGSAM view : kViews) WriteDword(root, subkey, kFlagsValue, 0, view);
    KeyAccessList readOnly(root, subkey, L"D:P(A;OICI;KR;;;WD)", kViews[0]);
    ASSERT_TRUE(readOnly.applied());
    EXPECT_FALSE(MayApplyFlashSwitch());
    EXPECT_FALSE(ApplyFlashEnabled(false));
    EXPECT_EQ(ReadDword(root, subkey, kFlagsValue, kViews[0]), std::optional<DWORD>(0));
    EXPECT_EQ(ReadDword(root, subkey, kFlagsValue, kViews[1]), std::optional<DWORD>(0x400));
}

TEST(FlashSwitchElsewhere, MissingParentKeyCreatesNothing) {
    FlashSwitchLocation nowhere{HKEY_CURRENT_USER, L"SOFTWARE\\PinchwellTests\\NoSuchParent", L"{D27CDB6E-AE6D-11CF-96B8-444553540000}"};
    DeleteTree(HKEY_CURRENT_USER, L"SOFTWARE\\PinchwellTests");
    EXPECT_TRUE(QueryFlashEnabledAt(nowhere));
    EXPECT_FALSE(ApplyFlashEnabledAt(nowhere, false));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, nowhere.parentPath));
}
