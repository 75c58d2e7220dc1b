// The extension a path names and the image encoder it asks for.
#include <gtest/gtest.h>

#include "FileExtension.h"

TEST(PathExtension, FollowsTheShellsRule) {
    EXPECT_EQ(PathExtension(L"C:\\Temp\\temp.png"), L".png");
    EXPECT_EQ(PathExtension(L"archive.tar.gz"), L".gz");
    EXPECT_EQ(PathExtension(L"C:\\a.folder\\file"), L"");
    EXPECT_EQ(PathExtension(L"name. png"), L"");
    EXPECT_EQ(PathExtension(L"*.PNG"), L".PNG");
    EXPECT_EQ(PathExtension(L"noextension"), L"");
    EXPECT_EQ(PathExtension(L"trailing."), L".");
}

namespace {
// The encoders of GDI+, in its order.
const std::vector<std::wstring> kEncoders = {
    L"*.BMP;*.DIB;*.RLE", L"*.JPG;*.JPEG;*.JPE;*.JFIF", L"*.GIF", L"*.TIF;*.TIFF", L"*.PNG"};
}  // namespace

TEST(FindEncoderForPath, TempPngGivesThePngEncoder) {
    EXPECT_EQ(FindEncoderForPath(kEncoders, L"C:\\Users\\me\\Temp\\temp.png"), 4u);
}

TEST(FindEncoderForPath, ComparesWithoutRegardToCaseAndLooksAtEveryPattern) {
    EXPECT_EQ(FindEncoderForPath(kEncoders, L"x.JPEG"), 1u);
    EXPECT_EQ(FindEncoderForPath(kEncoders, L"x.jfif"), 1u);
    EXPECT_EQ(FindEncoderForPath(kEncoders, L"x.Dib"), 0u);
    EXPECT_EQ(FindEncoderForPath(kEncoders, L"x.tiff"), 3u);
}

TEST(FindEncoderForPath, AnUnknownOrMissingExtensionFindsNone) {
    EXPECT_EQ(FindEncoderForPath(kEncoders, L"x.webp"), std::nullopt);
    EXPECT_EQ(FindEncoderForPath(kEncoders, L"C:\\Temp\\temp"), std::nullopt);
    EXPECT_EQ(FindEncoderForPath(kEncoders, L"x.pn"), std::nullopt);
    EXPECT_EQ(FindEncoderForPath({}, L"x.png"), std::nullopt);
    EXPECT_EQ(FindEncoderForPath({L"*.PNG;"}, L"C:\\Temp\\temp"), std::nullopt);  // the empty pattern names nothing
}

TEST(FindEncoderForPath, TheFirstEncoderThatNamesTheExtensionWins) {
    EXPECT_EQ(FindEncoderForPath({L"*.GIF", L"*.PNG;*.X", L"*.PNG"}, L"a.png"), 1u);
    EXPECT_EQ(FindEncoderForPath({L";;*.PNG;"}, L"a.png"), 0u);
}
