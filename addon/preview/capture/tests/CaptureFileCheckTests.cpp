// Which opened capture files the add-on writes over or deletes.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <vector>

#include "CaptureFileCheck.h"

namespace {
OpenedFileFacts PlainFile() {
    OpenedFileFacts facts;
    facts.links = 1;
    facts.finalPath = L"\\\\?\\C:\\Users\\Ann\\AppData\\Local\\Temp\\temp.png";
    facts.folderFinalPath = L"\\\\?\\C:\\Users\\Ann\\AppData\\Local\\Temp";
    facts.name = L"temp.png";
    return facts;
}
}  // namespace

TEST(CaptureFileCheck, OnlyAPlainFileUnderItsOwnNameInItsFolderIsOurs) {
    struct Case {
        const char* what;
        void (*change)(OpenedFileFacts&);
        bool ours;
    };
    const Case cases[] = {
        {"a plain file", [](OpenedFileFacts&) {}, true},
        {"the folder's path with its separator", [](OpenedFileFacts& f) { f.folderFinalPath += L"\\"; }, true},
        {"a drive's root", [](OpenedFileFacts& f) { f.folderFinalPath = L"\\\\?\\D:\\"; f.finalPath = L"\\\\?\\D:\\temp.png"; }, true},
        {"another case of ASCII letters",
         [](OpenedFileFacts& f) { f.finalPath = L"\\\\?\\c:\\USERS\\ann\\AppData\\Local\\Temp\\TEMP.PNG"; }, true},
        {"a link opened as itself", [](OpenedFileFacts& f) { f.reparsePoint = true; }, false},
        {"a folder", [](OpenedFileFacts& f) { f.directory = true; }, false},
        {"a second hard link", [](OpenedFileFacts& f) { f.links = 2; }, false},
        {"no name count", [](OpenedFileFacts& f) { f.links = 0; }, false},
        {"a followed link to another name",
         [](OpenedFileFacts& f) { f.finalPath = L"\\\\?\\C:\\Users\\Ann\\AppData\\Local\\Temp\\target.txt"; }, false},
        {"a followed link to temp.png elsewhere",
         [](OpenedFileFacts& f) { f.finalPath = L"\\\\?\\C:\\Users\\Ann\\Documents\\temp.png"; }, false},
        {"a followed link into a folder below", 
         [](OpenedFileFacts& f) { f.finalPath = L"\\\\?\\C:\\Users\\Ann\\AppData\\Local\\Temp\\x\\temp.png"; }, false},
        {"no final path", [](OpenedFileFacts& f) { f.finalPath.clear(); }, false},
        {"no folder path", [](OpenedFileFacts& f) { f.folderFinalPath.clear(); }, false},
        {"no real paths at all", [](OpenedFileFacts& f) { f.finalPath.clear(); f.folderFinalPath.clear(); }, true},
        {"no real paths, a link opened as itself",
         [](OpenedFileFacts& f) { f.finalPath.clear(); f.folderFinalPath.clear(); f.reparsePoint = true; }, false},
        {"no real paths, a second name",
         [](OpenedFileFacts& f) { f.finalPath.clear(); f.folderFinalPath.clear(); f.links = 2; }, false},
        {"no name", [](OpenedFileFacts& f) { f.name.clear(); f.finalPath = f.folderFinalPath + L"\\"; }, false},
        {"a name with a folder", [](OpenedFileFacts& f) { f.name = L"Local\\Temp\\temp.png"; f.folderFinalPath = L"\\\\?\\C:\\Users\\Ann\\AppData"; }, false},
    };
    for (const Case& c : cases) {
        OpenedFileFacts facts = PlainFile();
        c.change(facts);
        EXPECT_EQ(IsOwnCaptureFile(facts), c.ours) << c.what;
    }
}

TEST(CaptureFileStamp, IsTheWriteIdAfterTheHeaderOrTheMarkOfAnEmptiedFile) {
    const std::uint32_t pixel = 0x336699;
    const BgrxPixels pixels = {reinterpret_cast<const std::uint8_t*>(&pixel), 1, 1, 4, false};
    std::array<std::uint8_t, kWriteIdBytes> id{};
    for (std::size_t i = 0; i < id.size(); ++i) id[i] = static_cast<std::uint8_t>(7 * i + 1);
    auto file = [&](const std::uint8_t* writeId) {
        std::vector<std::uint8_t> bytes;
        PngOptions options;
        options.writeId = writeId;
        WritePng(
            pixels, PngCompression::Stored,
            [&](const std::uint8_t* data, std::size_t size) {
                bytes.insert(bytes.end(), data, data + size);
                return true;
            },
            options);
        return bytes;
    };
    const std::vector<std::uint8_t> stamped = file(id.data());
    CaptureFileStamp written;
    written.writeId = id;
    CaptureFileStamp emptied;
    emptied.emptied = true;

    struct Case {
        const char* what;
        std::vector<std::uint8_t> head;
        std::optional<CaptureFileStamp> stamp;
    };
    const Case cases[] = {
        {"a write with its id", stamped, written},
        {"its first bytes only", {stamped.begin(), stamped.begin() + kCaptureFileHeadBytes}, written},
        {"cut short within the id", {stamped.begin(), stamped.begin() + kCaptureFileHeadBytes - 1}, std::nullopt},
        {"a PNG without an id", file(nullptr), std::nullopt},
        {"not a PNG", std::vector<std::uint8_t>(100, 'x'), std::nullopt},
        {"an empty file", {}, emptied},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(StampOfCaptureFile(c.head.data(), c.head.size()) == c.stamp) << c.what;
    }
}
