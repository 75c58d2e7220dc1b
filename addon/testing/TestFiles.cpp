#include "TestFiles.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include "ZoomCommands.h"
#else
#include "ZoomFactorHost.h"
#endif

namespace fs = std::filesystem;

TestFolder::TestFolder() {
    static std::atomic<int> counter{0};
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::ostringstream name;
    name << "pinchwell-addon-" << (test ? test->name() : "test") << "-" << counter++ << "-" << std::random_device{}();
    path_ = fs::temp_directory_path() / name.str();
    fs::remove_all(path_);
    fs::create_directories(path_);
}

TestFolder::~TestFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string TestFolder::File(const std::string& name) const { return (path_ / name).string(); }

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

#ifdef _WIN32
std::optional<std::uint32_t> StoredZoomFactor() {
    DWORD data = 0;
    DWORD size = sizeof(data);
    DWORD type = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, kZoomKeyPath, kZoomFactorValue, RRF_RT_ANY, &type, &data, &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(data))
        return std::nullopt;
    return data;
}

void ClearStoredZoomFactor() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kZoomKeyPath);
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kZoomKeyPath);
}

namespace {
const wchar_t kPrivateRoot[] = L"Software\\Kestrune\\PinchwellTests";
std::wstring privateUser;
}  // namespace

void StoredZoomTest::SetUp() {
    privateUser = std::wstring(kPrivateRoot) + L"\\" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                  std::to_wstring(::GetTickCount());
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, privateUser.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegOverridePredefKey(HKEY_CURRENT_USER, key), ERROR_SUCCESS);
    ::RegCloseKey(key);
}

void StoredZoomTest::TearDown() {
    ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, privateUser.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, privateUser.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kPrivateRoot);  // only goes when no other test uses it
}
#else
std::optional<std::uint32_t> StoredZoomFactor() { return HostZoomFactor(); }

void ClearStoredZoomFactor() { ResetHostZoomFactor(); }

void StoredZoomTest::SetUp() { ResetHostZoomFactor(); }

void StoredZoomTest::TearDown() { ResetHostZoomFactor(); }
#endif
