// The capture's PNG file: written over in place, cut to its length, and never left as
// part of a picture.
#include <gtest/gtest.h>

#include <windows.h>

#include <pinchwell/AnsiText.h>
#include <pinchwell/UniqueHandle.h>

#include <optional>
#include <vector>

#include "ImageFiles.h"
#include "PngFile.h"
#include "TestFiles.h"

namespace {

class PngFileTest : public ::testing::Test {
protected:
    PngFileTest() : path(pinchwell::AnsiToWide(folder.File("temp.png"))) {
        for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<DWORD>(0x10203 * (i + 1));
    }
    BgrxPixels Pixels(std::uint32_t width = 5, std::uint32_t height = 3) const {
        return {reinterpret_cast<const std::uint8_t*>(rows.data()), width, height, 4 * std::size_t{width}, false};
    }
    // The file of the pixels as the write that stamped it writes them.
    std::string Expected(const BgrxPixels& pixels, const std::optional<CaptureFileStamp>& stamp = {}) const {
        std::string bytes;
        PngOptions options;
        if (stamp) options.writeId = stamp->writeId.data();
        WritePng(
            pixels, PngCompression::Stored,
            [&](const std::uint8_t* data, std::size_t size) {
                bytes.append(reinterpret_cast<const char*>(data), size);
                return true;
            },
            options);
        return bytes;
    }

    TestFolder folder;
    std::wstring path;
    std::vector<DWORD> rows = std::vector<DWORD>(15);
};

}  // namespace

TEST_F(PngFileTest, ALongerPreviousFileIsWrittenOverAndCutToTheNewLength) {
    WriteFileBytes(folder.File("temp.png"), std::string(5000, 'x'));
    std::optional<CaptureFileStamp> stamp;
    EXPECT_EQ(SavePngFile(Pixels(), path, &stamp), S_OK);
    ASSERT_TRUE(stamp);
    EXPECT_EQ(FileBytes(path), Expected(Pixels(), stamp));
    ImageFile file = ReadImageFile(path);
    EXPECT_TRUE(file.loaded);
    EXPECT_EQ(file.width, 5u);
    EXPECT_EQ(ImagePixel(path, 1, 0), 0x020406u);
}

TEST_F(PngFileTest, ANewFileIsCreated) {
    std::optional<CaptureFileStamp> stamp;
    EXPECT_EQ(SavePngFile(Pixels(2, 2), path, &stamp), S_OK);
    ASSERT_TRUE(stamp);
    EXPECT_EQ(FileBytes(path), Expected(Pixels(2, 2), stamp));
}

TEST_F(PngFileTest, AFileThatCannotBeOpenedKeepsItsContent) {
    WriteFileBytes(folder.File("temp.png"), "previous");
    {
        pinchwell::UniqueFile held(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
            std::optional<CaptureFileStamp> stamp;
        EXPECT_EQ(SavePngFile(Pixels(), path, &stamp), HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION));
        EXPECT_FALSE(stamp) << "no write of ours";
    }
    EXPECT_EQ(FileBytes(path), "previous");
    std::wstring missingFolder = pinchwell::AnsiToWide(folder.File("missing\\temp.png"));
    EXPECT_TRUE(FAILED(SavePngFile(Pixels(), missingFolder)));
    EXPECT_FALSE(FileExists(missingFolder));
}

TEST_F(PngFileTest, AFailedWriteLeavesAnEmptyFileNeverPartOfAPicture) {
    WriteFileBytes(folder.File("temp.png"), Expected(Pixels()));
    BgrxPixels unreadable = Pixels();
    unreadable.stride = 3;  // shorter than a row: the writer refuses it
    std::optional<CaptureFileStamp> stamp;
    EXPECT_EQ(SavePngFile(unreadable, path, &stamp), E_FAIL);
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(FileBytes(path), "");
    ASSERT_TRUE(stamp);
    EXPECT_EQ(DeleteCaptureFile(path, &*stamp), S_OK) << "the emptied file is still this write's";
}

// A link made by the platform is opened as itself, never followed: here the link's target
// is read-only, so following it would fail with "access denied" instead of refusing the
// link. Wine 8's CreateSymbolicLinkW makes nothing (it returns TRUE), its
// FSCTL_SET_REPARSE_POINT answers ERROR_NOT_SUPPORTED, and it opens a Unix link as its
// target whatever the flags say, so only Windows runs this test; under Wine the links
// that CaptureFileLinkTest.sh plants from the Unix side are refused by their final path.
TEST_F(PngFileTest, ASymbolicLinkIsOpenedAsItselfNeverFollowed) {
    const std::wstring target = pinchwell::AnsiToWide(folder.File("target.txt"));
    WriteFileBytes(folder.File("target.txt"), "someone else's file");
    ASSERT_TRUE(::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    // Without the right to make links, Windows 10 makes them in developer mode; Windows 7
    // knows no such flag.
    if (!::CreateSymbolicLinkW(path.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE))
        ::CreateSymbolicLinkW(path.c_str(), target.c_str(), 0);
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
        GTEST_SKIP() << "the platform made no symbolic link (Wine makes none; Windows needs the right to)";
    }
    EXPECT_EQ(SavePngFile(Pixels(), path), HRESULT_FROM_WIN32(ERROR_CANT_ACCESS_FILE));
    EXPECT_EQ(DeleteCaptureFile(path), HRESULT_FROM_WIN32(ERROR_CANT_ACCESS_FILE));
    EXPECT_TRUE(::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
    ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(FileBytes(target), "someone else's file");
    ::DeleteFileW(path.c_str());  // the link, not its target
}

// A second name.
TEST_F(PngFileTest, AFileWithAnotherNameIsLeftAsItIs) {
    const std::wstring other = pinchwell::AnsiToWide(folder.File("other.txt"));
    WriteFileBytes(folder.File("other.txt"), "another name");
    ASSERT_TRUE(::CreateHardLinkW(path.c_str(), other.c_str(), nullptr));
    EXPECT_EQ(SavePngFile(Pixels(), path), HRESULT_FROM_WIN32(ERROR_CANT_ACCESS_FILE));
    EXPECT_EQ(DeleteCaptureFile(path), HRESULT_FROM_WIN32(ERROR_CANT_ACCESS_FILE));
    EXPECT_EQ(FileBytes(other), "another name");
    EXPECT_EQ(FileBytes(path), "another name");
}

TEST_F(PngFileTest, AReaderThatLetsWritersInDoesNotStopACapture) {
    WriteFileBytes(folder.File("temp.png"), "previous");
    pinchwell::UniqueFile reader(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(reader);
    std::optional<CaptureFileStamp> stamp;
    EXPECT_EQ(SavePngFile(Pixels(), path, &stamp), S_OK);
    EXPECT_EQ(FileBytes(path), Expected(Pixels(), stamp));
}

TEST_F(PngFileTest, DeletingRemovesOurFileOnly) {
    EXPECT_EQ(DeleteCaptureFile(path), S_FALSE);  // none yet
    EXPECT_EQ(DeleteCaptureFile(L""), S_FALSE);   // no capture path
    ASSERT_EQ(SavePngFile(Pixels(), path), S_OK);
    EXPECT_EQ(DeleteCaptureFile(path), S_OK);
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(DeleteCaptureFile(path), S_FALSE);
}

TEST_F(PngFileTest, ATeardownLeavesALaterWriteThoughTheirTimesAreEqual) {
    // Two browser processes writing within one step of the clock, or a FAT32 folder,
    // leave two writes of one picture with one last-write time.
    std::optional<CaptureFileStamp> older, newer;
    ASSERT_EQ(SavePngFile(Pixels(), path, &older), S_OK);
    FILETIME olderTime = {};
    {
        pinchwell::UniqueFile file(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                                 OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(::GetFileTime(file.get(), nullptr, nullptr, &olderTime));
    }
    ASSERT_EQ(SavePngFile(Pixels(), path, &newer), S_OK);
    {
        pinchwell::UniqueFile file(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                                 OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(::SetFileTime(file.get(), nullptr, nullptr, &olderTime));
    }
    ASSERT_TRUE(older && newer);
    EXPECT_EQ(DeleteCaptureFile(path, &*older), S_FALSE);
    EXPECT_EQ(FileBytes(path), Expected(Pixels(), newer));
    EXPECT_EQ(DeleteCaptureFile(path, &*newer), S_OK);
    EXPECT_FALSE(FileExists(path));
}

TEST_F(PngFileTest, AReaderThatLetsDeletionInDoesNotKeepTheFile) {
    ASSERT_EQ(SavePngFile(Pixels(), path), S_OK);
    {
        pinchwell::UniqueFile reader(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(reader);
        EXPECT_EQ(DeleteCaptureFile(path), S_OK);
    }
    EXPECT_FALSE(FileExists(path));
}

namespace {
// Sets TMP for one test (GetTempPathW reads it first) and puts back what was there.
class TemporaryFolderSetting {
public:
    explicit TemporaryFolderSetting(const std::wstring& value) {
        DWORD length = ::GetEnvironmentVariableW(L"TMP", nullptr, 0);
        if (length > 0) {
            previous_.resize(length);
            previous_.resize(::GetEnvironmentVariableW(L"TMP", &previous_[0], length));
            hadValue_ = true;
        }
        ::SetEnvironmentVariableW(L"TMP", value.c_str());
    }
    ~TemporaryFolderSetting() { ::SetEnvironmentVariableW(L"TMP", hadValue_ ? previous_.c_str() : nullptr); }
    TemporaryFolderSetting(const TemporaryFolderSetting&) = delete;
    TemporaryFolderSetting& operator=(const TemporaryFolderSetting&) = delete;

private:
    std::wstring previous_;
    bool hadValue_ = false;
};
}  // namespace

TEST(CaptureFilePath, IsTheTemporaryFolderWithTempPngOrNothingWhenItDoesNotFit) {
    struct Case {
        const char* what;
        std::wstring folder;
        std::wstring path;
    };
    const std::wstring fits = L"C:\\" + std::wstring(247, L'a') + L"\\";  // + "temp.png": 259 characters
    const Case cases[] = {
        {"a plain folder", L"C:\\Temp", L"C:\\Temp\\temp.png"},
        {"the longest that fits", fits, fits + L"temp.png"},
        {"one longer than fits", L"C:\\b" + fits.substr(3), L""},
        {"longer than MAX_PATH", L"C:\\" + std::wstring(300, L'a'), L""},
    };
    for (const Case& c : cases) {
        TemporaryFolderSetting setting(c.folder);
        EXPECT_EQ(CaptureFilePath(), c.path) << c.what;
    }
}
