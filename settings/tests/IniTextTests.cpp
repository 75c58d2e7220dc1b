// The grammar of the settings file: which lines become which entries, and the
// exact bytes written back.
#include <gtest/gtest.h>

#include "IniText.h"

namespace {

IniEntry Header(const std::string& section, const std::string& comment = "", char marker = ' ') {
    return IniEntry{comment, marker, section, "", ""};
}
IniEntry Key(const std::string& section, const std::string& key, const std::string& value,
             const std::string& comment = "", char marker = ' ') {
    return IniEntry{comment, marker, section, key, value};
}

std::string RoundTrip(const std::string& bytes) { return FormatIniDocument(ParseIniDocument(bytes)); }

}  // namespace

TEST(IniText, ReadsHeadersKeysAndTheCommentsAboveThem) {
    IniEntries entries = ParseIniText("; settings\r\n[Pinchwell]\r\nEnable=TRUE\r\n\r\nMaxZoomRange=300\r\n");
    IniEntries expected{Header("Pinchwell", "; settings\n"), Key("Pinchwell", "Enable", "TRUE"),
                        Key("Pinchwell", "MaxZoomRange", "300")};
    EXPECT_EQ(entries, expected);
}

TEST(IniText, WritesCrLfAndALeadingMarkerOnEveryLine) {
    IniEntries entries{Header("Pinchwell", "; one\n# two\n"), Key("Pinchwell", "Enable", "TRUE"),
                       Key("Pinchwell", "Old", "1", "", ';')};
    EXPECT_EQ(FormatIniText(entries), "; one\r\n# two\r\n [Pinchwell]\r\n Enable=TRUE\r\n;Old=1\r\n");
    EXPECT_EQ(FormatIniText({}), "");
}

TEST(IniText, ReadsALastLineWithoutALineFeedAndDropsBlankLines) {
    EXPECT_EQ(RoundTrip("[A]\nx=1\n\n\n   \t\r\ny=2"), " [A]\r\n x=1\r\n y=2\r\n");
    EXPECT_EQ(ParseIniText("[A]"), IniEntries{Header("A")});
    EXPECT_TRUE(ParseIniText("").empty());
}

TEST(IniText, CommentLinesAfterTheLastEntryStayAtTheEnd) {
    EXPECT_EQ(RoundTrip("[A]\nx=1\n; trailing\n\n# last"), " [A]\r\n x=1\r\n; trailing\r\n# last\r\n");
    EXPECT_EQ(RoundTrip("; only a note\r\n"), "; only a note\r\n");
}

TEST(IniText, TrimsLineEndsButKeepsSpacesAroundTheEqualsSign) {
    IniEntries entries = ParseIniText("[P]\n  Enable = TRUE \t\r\nA=b=c\n\tTRIM=TRUE   \n");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[1].key, "Enable ");
    EXPECT_EQ(entries[1].value, " TRUE");
    EXPECT_EQ(entries[2].key, "A");
    EXPECT_EQ(entries[2].value, "b=c");
    EXPECT_EQ(entries[3].value, "TRUE");
}

TEST(IniText, CommentedOutEntriesKeepTheirMarkerAndSection) {
    IniEntries entries = ParseIniText("[P]\n;Enable=FALSE\nEnable=TRUE\n#[Old]\n# a comment\nk=v\n");
    IniEntries expected{Header("P"), Key("P", "Enable", "FALSE", "", ';'), Key("P", "Enable", "TRUE"),
                        Header("Old", "", '#'), Key("Old", "k", "v", "# a comment\n")};
    EXPECT_EQ(entries, expected);
    EXPECT_EQ(FormatIniText(entries), " [P]\r\n;Enable=FALSE\r\n Enable=TRUE\r\n#[Old]\r\n# a comment\r\n k=v\r\n");
    // The marker is taken off and the rest trimmed again.
    EXPECT_EQ(ParseIniText(";   Spaced = 1 \n")[0].key, "Spaced ");
}

TEST(IniText, HeaderNamesAreCutAtTheFirstClosingBracket) {
    IniEntries entries = ParseIniText("[Pinchwell] anything\n[ Pinchwell ]\n[a]b]\n[]\n");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].section, "Pinchwell");
    EXPECT_EQ(entries[1].section, " Pinchwell ");
    EXPECT_EQ(entries[2].section, "a");
    EXPECT_EQ(entries[3].section, "");
}

TEST(IniText, KeysBeforeTheFirstHeaderBelongToTheUnnamedSection) {
    IniEntries entries = ParseIniText("Top=1\n[P]\nIn=2\n");
    EXPECT_EQ(entries[0], Key("", "Top", "1"));
    EXPECT_EQ(entries[2], Key("P", "In", "2"));
}

TEST(IniText, StrayLinesBecomeEmptyEntriesUnlessACommentIsPending) {
    IniEntries entries = ParseIniText("hello\n; note\nstray\n[P]\n");
    IniEntries expected{IniEntry{}, Header("P", "; note\n")};
    EXPECT_EQ(entries, expected);
    EXPECT_EQ(FormatIniText(entries), " []\r\n; note\r\n [P]\r\n");
}

TEST(IniText, AKeyLineWithNoNameIsWrittenAsItsSectionsHeader) {
    IniEntries entries = ParseIniText("[P]\n=lost\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1], IniEntry({"", ' ', "P", "", "lost"}));
    EXPECT_EQ(FormatIniText(entries), " [P]\r\n [P]\r\n");
}

TEST(IniText, ALeadingByteOrderMarkIsSkippedAndWrittenBack) {
    EXPECT_EQ(ParseIniText("\xEF\xBB\xBF[Pinchwell]\r\n"), IniEntries{Header("Pinchwell")});
    EXPECT_EQ(RoundTrip("\xEF\xBB\xBF[Pinchwell]\r\nx=1"), "\xEF\xBB\xBF [Pinchwell]\r\n x=1\r\n");
    // Only in front of the first line is it a mark.
    EXPECT_EQ(ParseIniText("[P]\n\xEF\xBB\xBFx=1\n")[1].key, "\xEF\xBB\xBFx");
}

TEST(IniText, BracketsInsideAKeyLineDoNotMakeAHeader) {
    const std::string text = "[P]\nName=a[b\nPath=C:\\a[1]\n[x=y]\n[Next\nx=1\n";
    IniEntries entries = ParseIniText(text);
    IniEntries expected{Header("P"), Key("P", "Name", "a[b"), Key("P", "Path", "C:\\a[1]"), Key("P", "[x", "y]"),
                        Header("Next"), Key("Next", "x", "1")};
    EXPECT_EQ(entries, expected);
    std::string once = RoundTrip(text);
    EXPECT_EQ(once, " [P]\r\n Name=a[b\r\n Path=C:\\a[1]\r\n [x=y]\r\n [Next]\r\n x=1\r\n");
    EXPECT_EQ(RoundTrip(once), once);
}

TEST(IniText, WhatTheWriterProducesReadsBackToTheSameBytes) {
    const std::string written =
        "; head\r\n [Pinchwell]\r\n Enable=TRUE\r\n;Enable=FALSE\r\n#[Old]\r\n Odd key= v a l\r\n []\r\n";
    EXPECT_EQ(RoundTrip(written), written);
}
