// The capture file where someone planted a symbolic link in its place. The links are made
// from the Unix side by CaptureFileLinkTest.sh (Wine's CreateSymbolicLinkW makes nothing),
// which runs this program with PINCHWELL_LINK_FOLDER naming a folder that holds:
//   target.txt          "someone else's file"
//   link\temp.png       -> ..\target.txt
//   dangling\temp.png   -> ..\missing.txt (which does not exist)
//   folder\temp.png     -> ..\elsewhere (an empty folder)
// and checks the same from the Unix side afterwards. Wine follows a Unix link whatever
// the flags say and reports a plain file: what refuses it there is that the opened file
// does not lie at the path it was opened under (see CaptureFileCheck.h).
#include <gtest/gtest.h>

#include <windows.h>

#include <pinchwell/AnsiText.h>

#include <cstdlib>
#include <string>

#include "ImageFiles.h"
#include "PngFile.h"

namespace {

const HRESULT kNotOurFile = HRESULT_FROM_WIN32(ERROR_CANT_ACCESS_FILE);

class CaptureFileLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* folder = std::getenv("PINCHWELL_LINK_FOLDER");
        ASSERT_TRUE(folder && *folder) << "run by CaptureFileLinkTest.sh, which plants the links";
        root = pinchwell::AnsiToWide(folder);
        if (root.back() != L'\\') root += L'\\';
        ASSERT_EQ(FileBytes(root + L"target.txt"), "someone else's file\n");
    }
    BgrxPixels Pixels() const { return {reinterpret_cast<const std::uint8_t*>(rows), 2, 2, 8, false}; }

    std::wstring root;
    const DWORD rows[4] = {0x102030, 0x405060, 0x708090, 0xA0B0C0};
};

}  // namespace

TEST_F(CaptureFileLinkTest, ALinkToAFileIsNotFollowedAndNotDeleted) {
    const std::wstring path = root + L"link\\temp.png";
    ASSERT_EQ(FileBytes(path), "someone else's file\n");  // the link leads to the target
    EXPECT_EQ(SavePngFile(Pixels(), path), kNotOurFile);
    EXPECT_EQ(FileBytes(root + L"target.txt"), "someone else's file\n");
    EXPECT_EQ(DeleteCaptureFile(path), kNotOurFile);
    EXPECT_EQ(FileBytes(root + L"target.txt"), "someone else's file\n");
    EXPECT_EQ(FileBytes(path), "someone else's file\n");
}

TEST_F(CaptureFileLinkTest, ALinkToAMissingFileCreatesNothing) {
    EXPECT_TRUE(FAILED(SavePngFile(Pixels(), root + L"dangling\\temp.png")));
    EXPECT_FALSE(FileExists(root + L"missing.txt"));
    EXPECT_EQ(DeleteCaptureFile(root + L"dangling\\temp.png"), S_FALSE);  // nothing there to delete
    EXPECT_FALSE(FileExists(root + L"missing.txt"));
}

TEST_F(CaptureFileLinkTest, ALinkToAFolderWritesNothingIntoIt) {
    EXPECT_TRUE(FAILED(SavePngFile(Pixels(), root + L"folder\\temp.png")));
    EXPECT_TRUE(FAILED(DeleteCaptureFile(root + L"folder\\temp.png")));
    WIN32_FIND_DATAW found = {};
    HANDLE search = ::FindFirstFileW((root + L"elsewhere\\*.png").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE);
    if (search != INVALID_HANDLE_VALUE) ::FindClose(search);
}
