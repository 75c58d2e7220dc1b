#pragma once
// Files for the add-on's tests: a fresh folder per test, whole-file reads and writes,
// and the zoom factor record as SaveZoomFactor left it (the registry on Windows, the
// in-memory record on the host).
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>

class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // The narrow path of a file in the folder.
    std::string File(const std::string& name) const;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// Tests that read the stored zoom factor derive their fixture from this. On Windows it
// gives the test process a private HKEY_CURRENT_USER (RegOverridePredefKey onto a fresh
// key, deleted afterwards), so that test processes running side by side in one Wine
// prefix do not see each other's writes; on the host it clears the in-memory record.
class StoredZoomTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// The stored zoom factor data, none when there is none.
std::optional<std::uint32_t> StoredZoomFactor();
// Removes the stored zoom factor (on Windows: deletes the Zoom key).
void ClearStoredZoomFactor();
