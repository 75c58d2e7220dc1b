// SaveZoomFactor writes the browser's zoom factor under HKEY_CURRENT_USER.
// Each test has a private HKEY_CURRENT_USER (StoredZoomTest).
#include <gtest/gtest.h>

#include <windows.h>

#include "TestFiles.h"
#include "ZoomCommands.h"

namespace {

class SaveZoomFactorTest : public StoredZoomTest {
protected:
    // Whether the Zoom key refuses a non-volatile subkey, which only a volatile key does.
    static LONG ProbeNonVolatileChild() {
        HKEY child = nullptr;
        std::wstring path = std::wstring(kZoomKeyPath) + L"\\probe";
        LONG status = ::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_ALL_ACCESS, nullptr, &child, nullptr);
        if (child) {
            ::RegCloseKey(child);
            ::RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
        }
        return status;
    }
};

}  // namespace

TEST_F(SaveZoomFactorTest, WritesADwordOfPercentTimesAThousand) {
    EXPECT_TRUE(SaveZoomFactor(100));
    DWORD type = 0, data = 0, size = sizeof(data);
    ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\Zoom", L"ZoomFactor",
                             RRF_RT_ANY, &type, &data, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(data, 100000u);
    EXPECT_TRUE(SaveZoomFactor(250));
    EXPECT_EQ(StoredZoomFactor(), 250000u);
}

TEST_F(SaveZoomFactorTest, CreatesAMissingZoomKeyAsAVolatileKeyAndWrites100000Then250000) {
    ASSERT_EQ(StoredZoomFactor(), std::nullopt);
    EXPECT_TRUE(SaveZoomFactor(100));
    EXPECT_EQ(ProbeNonVolatileChild(), ERROR_CHILD_MUST_BE_VOLATILE);
    EXPECT_EQ(StoredZoomFactor(), 100000u);
    EXPECT_TRUE(SaveZoomFactor(250));
    EXPECT_EQ(StoredZoomFactor(), 250000u);
    EXPECT_EQ(ProbeNonVolatileChild(), ERROR_CHILD_MUST_BE_VOLATILE);  // the same key, still volatile
}

TEST_F(SaveZoomFactorTest, WritesIntoAnExistingKeyAsItIs) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kZoomKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
    EXPECT_TRUE(SaveZoomFactor(90));
    EXPECT_EQ(StoredZoomFactor(), 90000u);
    EXPECT_EQ(ProbeNonVolatileChild(), ERROR_SUCCESS);  // still the non-volatile key
}

TEST_F(SaveZoomFactorTest, AKeyThatCanNeitherBeOpenedNorCreatedGivesFalse) {
    // "Internet Explorer" made a registry link to a key that does not exist: the Zoom key
    // below it can be neither opened nor created.
    HKEY link = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer", 0, nullptr,
                                REG_OPTION_NON_VOLATILE | REG_OPTION_CREATE_LINK, KEY_ALL_ACCESS, nullptr, &link,
                                nullptr),
              ERROR_SUCCESS);
    const wchar_t target[] = L"\\Registry\\Machine\\Software\\Kestrune\\PinchwellTests\\Nowhere";
    ASSERT_EQ(::RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(target),
                               sizeof(target) - sizeof(wchar_t)),
              ERROR_SUCCESS);
    ::RegCloseKey(link);
    EXPECT_FALSE(SaveZoomFactor(100));
    EXPECT_EQ(StoredZoomFactor(), std::nullopt);

    // The link itself has to be deleted through a handle to it: deleting by name follows it.
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer", REG_OPTION_OPEN_LINK,
                              KEY_ALL_ACCESS, &link),
              ERROR_SUCCESS);
    EXPECT_EQ(::RegDeleteKeyW(link, L""), ERROR_SUCCESS);
    ::RegCloseKey(link);
}
