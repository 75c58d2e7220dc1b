// Saving a captured bitmap in the format that the file name asks for, as ATL's
// CImage::Save does, on Wine's GDI+.
#include <gtest/gtest.h>

#include <windows.h>

#include <pinchwell/AnsiText.h>
#include <pinchwell/GdiResources.h>
#include <pinchwell/UniqueHandle.h>

#include "GdiplusImage.h"
#include "ImageFiles.h"
#include "TestFiles.h"

namespace {

// A bitmap compatible with the display, as the screen capture makes them, filled with
// one colour and one differently coloured pixel at (1, 1).
HBITMAP MakeBitmap(int width, int height, COLORREF fill, COLORREF dot) {
    pinchwell::WindowDC screen(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen.get(), width, height);
    pinchwell::UniqueDC memory(::CreateCompatibleDC(screen.get()));
    pinchwell::ScopedSelection selected(memory.get(), bitmap);
    pinchwell::UniqueGdiObject brush(::CreateSolidBrush(fill));
    RECT all = {0, 0, width, height};
    ::FillRect(memory.get(), &all, static_cast<HBRUSH>(brush.get()));
    ::SetPixel(memory.get(), 1, 1, dot);
    return bitmap;
}

class SaveBitmapFileTest : public ::testing::Test {
protected:
    std::wstring Path(const std::string& name) { return pinchwell::AnsiToWide(folder.File(name)); }
    TestFolder folder;
    pinchwell::UniqueGdiObject bitmap{MakeBitmap(30, 20, RGB(200, 30, 10), RGB(0, 0, 255))};
    HBITMAP Bitmap() { return static_cast<HBITMAP>(bitmap.get()); }
};

}  // namespace

TEST(ImageEncoders, GdiplusOffersPngAndBmp) {
    auto lists = ImageEncoderExtensions();
    bool png = false, bmp = false;
    for (const auto& list : lists) {
        png = png || list.find(L"*.PNG") != std::wstring::npos;
        bmp = bmp || list.find(L"*.BMP") != std::wstring::npos;
    }
    EXPECT_TRUE(png);
    EXPECT_TRUE(bmp);
}

TEST_F(SaveBitmapFileTest, APngNameGivesAPngFileOfTheBitmap) {
    std::wstring path = Path("temp.png");
    ASSERT_EQ(SaveBitmapFile(Bitmap(), path), S_OK);
    ImageFile file = ReadImageFile(path);
    EXPECT_EQ(file.format, "png");
    EXPECT_TRUE(file.loaded);
    EXPECT_EQ(file.width, 30u);
    EXPECT_EQ(file.height, 20u);
    EXPECT_EQ(ImagePixel(path, 0, 0), 0xC81E0Au);
    EXPECT_EQ(ImagePixel(path, 1, 1), 0x0000FFu);
}

TEST_F(SaveBitmapFileTest, TheExtensionIsComparedWithoutRegardToCase) {
    std::wstring path = Path("TEMP.PNG");
    ASSERT_EQ(SaveBitmapFile(Bitmap(), path), S_OK);
    EXPECT_EQ(ReadImageFile(path).format, "png");
}

TEST_F(SaveBitmapFileTest, ABmpNameGivesABmpFile) {
    std::wstring path = Path("temp.bmp");
    ASSERT_EQ(SaveBitmapFile(Bitmap(), path), S_OK);
    EXPECT_EQ(ReadImageFile(path).format, "bmp");
}

TEST_F(SaveBitmapFileTest, AnUnknownOrMissingExtensionWritesNothing) {
    EXPECT_EQ(SaveBitmapFile(Bitmap(), Path("temp.webp")), E_FAIL);
    EXPECT_FALSE(FileExists(Path("temp.webp")));
    EXPECT_EQ(SaveBitmapFile(Bitmap(), Path("temp")), E_FAIL);
    EXPECT_FALSE(FileExists(Path("temp")));
}

TEST_F(SaveBitmapFileTest, NoBitmapOrNoFolderWritesNothing) {
    EXPECT_EQ(SaveBitmapFile(nullptr, Path("temp.png")), E_FAIL);
    EXPECT_FALSE(FileExists(Path("temp.png")));
    EXPECT_EQ(SaveBitmapFile(Bitmap(), Path("missing\\temp.png")), E_FAIL);
}

TEST_F(SaveBitmapFileTest, EachSaveStartsAndStopsGdiplus) {
    // Saving repeatedly works without GDI+ kept running in between, as with CImage.
    for (int i = 0; i < 3; ++i) EXPECT_EQ(SaveBitmapFile(Bitmap(), Path("temp.png")), S_OK);
}

TEST_F(SaveBitmapFileTest, WithGdiplusKeptRunningTheSameFileIsWritten) {
    GdiplusSession running;
    ASSERT_TRUE(running.ok());
    std::wstring path = Path("kept.png");
    for (int i = 0; i < 2; ++i) ASSERT_EQ(SaveBitmapFile(running, Bitmap(), path), S_OK);
    ImageFile file = ReadImageFile(path);
    EXPECT_EQ(file.format, "png");
    EXPECT_EQ(file.width, 30u);
    EXPECT_EQ(ImagePixel(path, 1, 1), 0x0000FFu);
    EXPECT_EQ(SaveBitmapFile(running, Bitmap(), Path("temp.webp")), E_FAIL);
    EXPECT_FALSE(FileExists(Path("temp.webp")));
}
