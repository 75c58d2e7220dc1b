// Putting a new settings file in place: the rights probe, and on Windows the paths of a
// replacement that loses the old file, through substitutes for the platform's calls.
#include <gtest/gtest.h>

#include "FileBytes.h"
#include "TempFolder.h"

#ifdef _WIN32
#include "FilePlacement.h"
#endif

namespace {

class FileBytesTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::string path = folder.File("config.ini");
};

}  // namespace

TEST_F(FileBytesTest, AMissingFileIsNoMatterOfRights) {
    EXPECT_FALSE(ReplaceDenied(path));
}

#ifdef _WIN32
namespace {

// The system's calls, except that the replacement removes the old file and then fails
// as it does when it cannot rename the new one, on the given try; moves fail as often
// as asked first.
struct LosingReplacement {
    int failingTry = 1;
    int failingMoves = 0;
    int replaces = 0;
    int moves = 0;
    FilePlacementCalls Calls() {
        FilePlacementCalls calls = SystemFilePlacement();
        calls.replace = [this](const std::wstring& target, const std::wstring&) {
            ++replaces;
            if (replaces < failingTry) {
                ::SetLastError(ERROR_UNABLE_TO_REMOVE_REPLACED);
                return false;
            }
            ::DeleteFileW(target.c_str());
            ::SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT);
            return false;
        };
        FilePlacementCalls system = SystemFilePlacement();
        calls.move = [this, system](const std::wstring& from, const std::wstring& to) {
            if (++moves <= failingMoves) {
                ::SetLastError(ERROR_ACCESS_DENIED);
                return false;
            }
            return system.move(from, to);
        };
        return calls;
    }
};

const std::string kOld = " [P]\r\n a=1\r\n";
const std::string kNew = " [P]\r\n a=2\r\n";

}  // namespace

TEST_F(FileBytesTest, ARemovedOldFileIsFollowedByTheNewOneEvenOnTheLastTry) {
    for (int failingTry : {1, 11}) {
        WriteAll(path, kOld);
        LosingReplacement losing{failingTry, 3};
        EXPECT_EQ(ReplaceFileBytesWith(path, kNew, losing.Calls()), FileOutcome::Done) << failingTry;
        EXPECT_EQ(losing.replaces, failingTry);
        EXPECT_EQ(ReadAll(path), kNew);
        EXPECT_EQ(folder.Listing(), "config.ini;");
    }
}

TEST_F(FileBytesTest, NewBytesThatCannotBeMovedInStayInTheTemporaryFile) {
    WriteAll(path, kOld);
    LosingReplacement losing{1, 1000};
    EXPECT_EQ(ReplaceFileBytesWith(path, kNew, losing.Calls()), FileOutcome::Stranded);
    EXPECT_FALSE(Exists(path));
    std::string listing = folder.Listing();
    ASSERT_EQ(listing.rfind("pwl", 0), 0u) << listing;
    EXPECT_EQ(ReadAll(folder.File(listing.substr(0, listing.find(';')))), kNew);
}

// The probe creates nothing: a file it could not remove would stay in the program folder.
TEST_F(FileBytesTest, TheRightsProbeLeavesTheFolderAsItWas) {
    WriteAll(path, kOld);
    EXPECT_FALSE(ReplaceDenied(path));
    EXPECT_EQ(folder.Listing(), "config.ini;");
}
#endif
