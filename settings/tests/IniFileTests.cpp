// The engine on real files: reading, changing one key, and rewriting the file whole
// or not at all.
#include <gtest/gtest.h>

#include "IniFile.h"
#include "TempFolder.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#else
#include <windows.h>

#include <thread>
#endif

namespace {

class IniFileTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::string path = folder.File("config.ini");
};

}  // namespace

TEST_F(IniFileTest, SetValueInsertsANewKeyRightAfterTheSectionHeader) {
    WriteAll(path, "; settings\r\n[Pinchwell]\r\nEnable=TRUE\r\n\r\nMaxZoomRange=300\r\n");
    ASSERT_TRUE(CIniFile::SetValue("TwoFingerTap2Zoom100", "TRUE", "Pinchwell", path));
    EXPECT_EQ(ReadAll(path),
              "; settings\r\n [Pinchwell]\r\n TwoFingerTap2Zoom100=TRUE\r\n Enable=TRUE\r\n MaxZoomRange=300\r\n");
}

TEST_F(IniFileTest, SetValueOnAnEmptyFileAppendsTheSectionAndKey) {
    WriteAll(path, "");
    ASSERT_TRUE(CIniFile::SetValue("Enable", "TRUE", "Pinchwell", path));
    EXPECT_EQ(ReadAll(path), " [Pinchwell]\r\n Enable=TRUE\r\n");
}

// Notepad's UTF-8: a byte-order mark in front and no line feed after the last line.
TEST_F(IniFileTest, AFileSavedByNotepadIsReadWholeAndChangedInPlace) {
    WriteAll(path, "\xEF\xBB\xBF[Pinchwell]\r\nMaxZoomRange=300\r\nEnable=FALSE");
    IniEntries keys = CIniFile::GetSectionEntries("Pinchwell", path);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[1].value, "FALSE");
    ASSERT_TRUE(CIniFile::SetValue("Enable", "TRUE", "Pinchwell", path));
    EXPECT_EQ(ReadAll(path), "\xEF\xBB\xBF [Pinchwell]\r\n MaxZoomRange=300\r\n Enable=TRUE\r\n");
}

TEST_F(IniFileTest, CommentLinesAtTheEndStayBelowAnInsertedKeyAndAboveAnAppendedSection) {
    WriteAll(path, "[Pinchwell]\r\nx=1\r\n; the end\r\n");
    ASSERT_TRUE(CIniFile::SetValue("Enable", "TRUE", "Pinchwell", path));
    EXPECT_EQ(ReadAll(path), " [Pinchwell]\r\n Enable=TRUE\r\n x=1\r\n; the end\r\n");
    ASSERT_TRUE(CIniFile::SetValue("y", "2", "Other", path));
    EXPECT_EQ(ReadAll(path), " [Pinchwell]\r\n Enable=TRUE\r\n x=1\r\n; the end\r\n [Other]\r\n y=2\r\n");
}

TEST_F(IniFileTest, SetValueOnAMissingFileFailsAndCreatesNothing) {
    EXPECT_FALSE(CIniFile::SetValue("Enable", "TRUE", "Pinchwell", path));
    EXPECT_FALSE(Exists(path));
    EXPECT_EQ(folder.Listing(), "");
}

TEST_F(IniFileTest, SetValueChangesOnlyTheFirstLineOfAKeyThatIsNotCommentedOut) {
    WriteAll(path, "[P]\n# why\n;Enable=FALSE\n# now\nEnable=TRUE\nEnable=again\n;Max=1\n");
    ASSERT_TRUE(CIniFile::SetValue("Enable", "NEW", "P", path));
    ASSERT_TRUE(CIniFile::SetValue("Max", "2", "P", path));
    EXPECT_EQ(ReadAll(path),
              " [P]\r\n Max=2\r\n# why\r\n;Enable=FALSE\r\n# now\r\n Enable=NEW\r\n Enable=again\r\n;Max=1\r\n");
}

TEST_F(IniFileTest, AKeyIsInsertedAfterTheFirstOfTwoHeadersOfItsSection) {
    WriteAll(path, "[P]\na=1\n[Q]\n[P]\nb=2\n");
    EXPECT_EQ(CIniFile::GetSectionEntries("P", path).size(), 2u);
    ASSERT_TRUE(CIniFile::SetValue("c", "3", "P", path));
    EXPECT_EQ(ReadAll(path), " [P]\r\n c=3\r\n a=1\r\n [Q]\r\n [P]\r\n b=2\r\n");
}

TEST_F(IniFileTest, SetValuesWritesEveryKeyInOneRewriteAsSetValueWouldOneByOne) {
    const IniKeyValues values{{"Enable", "TRUE"}, {"MaxZoomRange", "300"}, {"Enable", "FALSE"}};
    std::string oneByOne = folder.File("one.ini");
    for (const std::string& file : {path, oneByOne}) WriteAll(file, "; c\r\n[Other]\r\nx=1\r\n");
    for (const auto& [key, value] : values) ASSERT_TRUE(CIniFile::SetValue(key, value, "Pinchwell", oneByOne));
    EXPECT_EQ(CIniFile::SetValues(values, "Pinchwell", path), FileOutcome::Done);
    EXPECT_EQ(ReadAll(path), ReadAll(oneByOne));
    EXPECT_EQ(ReadAll(path), "; c\r\n [Other]\r\n x=1\r\n [Pinchwell]\r\n MaxZoomRange=300\r\n Enable=FALSE\r\n");
}

TEST_F(IniFileTest, SetValuesSaysWhyAFileWasNotWritten) {
    EXPECT_EQ(CIniFile::SetValues({{"a", "1"}}, "P", path), FileOutcome::Missing);
    EXPECT_EQ(CIniFile::SetValues({{"a", "1"}}, "P", folder.File("none") + "/config.ini"), FileOutcome::Missing);
    EXPECT_EQ(CIniFile::SetValues({{"a", "1"}}, "P", folder.Path().string()), FileOutcome::Failed);
    EXPECT_EQ(folder.Listing(), "");
}

TEST_F(IniFileTest, SectionAndKeyQueriesMatchExactly) {
    WriteAll(path, "Top=0\n[Pinchwell]\nEnable = TRUE\n;Off=1\n[pinchwell]\nLower=1\n");
    EXPECT_TRUE(CIniFile::SectionExists("Pinchwell", path));
    EXPECT_TRUE(CIniFile::SectionExists("", path));
    EXPECT_FALSE(CIniFile::SectionExists("PINCHWELL", path));
    EXPECT_TRUE(CIniFile::KeyExists("Enable ", "Pinchwell", path));
    EXPECT_FALSE(CIniFile::KeyExists("Enable", "Pinchwell", path));
    EXPECT_FALSE(CIniFile::KeyExists("Off", "Pinchwell", path));  // commented out
    EXPECT_FALSE(CIniFile::KeyExists("Lower", "Pinchwell", path));

    IniEntries keys = CIniFile::GetSectionEntries("Pinchwell", path);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].key, "Enable ");

    EXPECT_FALSE(CIniFile::SectionExists("Pinchwell", folder.File("none.ini")));
    EXPECT_FALSE(CIniFile::KeyExists("Enable", "Pinchwell", folder.File("none.ini")));
    EXPECT_TRUE(CIniFile::GetSectionEntries("Pinchwell", folder.File("none.ini")).empty());
}

TEST_F(IniFileTest, LoadLeavesTheListAloneWhenTheFileCannotBeRead) {
    IniEntries entries{IniEntry{"", ' ', "keep", "", ""}};
    EXPECT_FALSE(CIniFile::Load(folder.File("none.ini"), entries));
    EXPECT_FALSE(CIniFile::Load(folder.Path().string(), entries));  // a folder is not a file
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].section, "keep");
}

TEST_F(IniFileTest, LoadAndSaveReproduceAWrittenFileByteForByte) {
    const std::string written = "; c\r\n [Pinchwell]\r\n Enable=TRUE\r\n#[Old]\r\n x=1\r\n";
    WriteAll(path, written);
    IniEntries entries;
    ASSERT_TRUE(CIniFile::Load(path, entries));
    ASSERT_TRUE(CIniFile::Save(path, entries));
    EXPECT_EQ(ReadAll(path), written);
    EXPECT_EQ(folder.Listing(), "config.ini;");
}

TEST_F(IniFileTest, SaveCreatesANewFile) {
    ASSERT_TRUE(CIniFile::Save(path, {IniEntry{"", ' ', "P", "", ""}}));
    EXPECT_EQ(ReadAll(path), " [P]\r\n");
}

TEST_F(IniFileTest, AFailedSaveLeavesTheOldFileAndNoTemporaryFile) {
    const std::string old = " [P]\r\n a=1\r\n";
    // A folder where the file should be.
    std::string folderPath = folder.File("sub");
    std::filesystem::create_directories(folderPath);
    EXPECT_FALSE(CIniFile::Save(folderPath, {IniEntry{}}));
    EXPECT_TRUE(std::filesystem::is_directory(folderPath));
    // A folder that does not exist.
    EXPECT_FALSE(CIniFile::Save(folder.File("missing") + "/config.ini", {IniEntry{}}));
    EXPECT_FALSE(Exists(folder.File("missing")));
    WriteAll(path, old);
    EXPECT_EQ(folder.Listing(), "config.ini;sub;");
    EXPECT_EQ(ReadAll(path), old);
}

#ifndef _WIN32
// A write that runs out of room part way: the file size limit makes write() fail
// just as a full disk would, even for root.
TEST_F(IniFileTest, AWriteThatFailsPartWayKeepsTheOldBytes) {
    std::string old = "[P]\r\n";
    for (int i = 0; i < 2000; ++i) old += " k" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    WriteAll(path, old);

    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 1024;
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool changed = CIniFile::SetValue("k5", "changed", "P", path);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(changed);
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_EQ(folder.Listing(), "config.ini;");
}
#else
// A read-only settings file is not replaced.
TEST_F(IniFileTest, AReadOnlyFileIsNotReplaced) {
    const std::string old = " [P]\r\n a=1\r\n";
    WriteAll(path, old);
    std::wstring wide(path.begin(), path.end());
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(CIniFile::SetValue("a", "2", "P", path));
    EXPECT_EQ(CIniFile::SetValues({{"a", "2"}}, "P", path), FileOutcome::ReadOnly);
    EXPECT_FALSE(ReplaceDenied(path));  // an administrator is refused alike
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_FALSE(ReplaceDenied(path));
    EXPECT_FALSE(ReplaceDenied(folder.File("none.ini")));  // missing is no matter of rights
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_EQ(folder.Listing(), "config.ini;");
}

// What an administrator set on the file stays: it is replaced, not moved over.
TEST_F(IniFileTest, AReplacedFileKeepsItsAttributes) {
    WriteAll(path, " [P]\r\n a=1\r\n");
    std::wstring wide(path.begin(), path.end());
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(CIniFile::SetValue("a", "2", "P", path));
    EXPECT_EQ(ReadAll(path), " [P]\r\n a=2\r\n");
    EXPECT_NE(GetFileAttributesW(wide.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A scanner or indexer holds the file open without delete sharing: the save waits
// for it about half a second, then gives up with the old file whole.
TEST_F(IniFileTest, AFileHeldOpenIsReplacedOnceReleasedOrLeftWholeWhenHeldLonger) {
    const std::string old = " [P]\r\n a=1\r\n";
    std::wstring wide(path.begin(), path.end());
    for (DWORD holdMs : {200u, 1500u}) {
        WriteAll(path, old);
        HANDLE held = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        std::thread release([&] {
            Sleep(holdMs);
            CloseHandle(held);
        });
        FileOutcome outcome = CIniFile::SetValues({{"a", "2"}}, "P", path);
        release.join();
        if (holdMs == 200u) {
            EXPECT_EQ(outcome, FileOutcome::Done);
            EXPECT_EQ(ReadAll(path), " [P]\r\n a=2\r\n");
        } else {
            EXPECT_EQ(outcome, FileOutcome::InUse);
            EXPECT_EQ(ReadAll(path), old);
        }
        EXPECT_EQ(folder.Listing(), "config.ini;");
    }
}
#endif
