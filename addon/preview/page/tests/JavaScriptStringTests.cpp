// The capture file's URL as the text of a single-quoted JavaScript string literal.
#include <gtest/gtest.h>

#include "JavaScriptString.h"

TEST(JavaScriptStringText, LeavesPlainPathsAndUrlsAsTheyAre) {
    for (const std::wstring& plain :
         {std::wstring(L"file:///C:/Temp/temp.png"), std::wstring(L"file:///C:/Users/Ana Lee/AppData/Local/Temp/temp.png"),
          std::wstring(L"file:///C:/%E4%B8%AD/temp.png"), std::wstring(L"file:///D:/T\u00e9mp/\u4e2d\u6587/temp.png"),
          std::wstring()})
        EXPECT_EQ(JavaScriptStringText(plain), plain);
}

TEST(JavaScriptStringText, EscapesTheCharactersThatEndOrBendTheLiteral) {
    EXPECT_EQ(JavaScriptStringText(L"O'Brien"), L"O\\'Brien");
    EXPECT_EQ(JavaScriptStringText(L"a\\b"), L"a\\\\b");
    EXPECT_EQ(JavaScriptStringText(L"say \"hi\""), L"say \\\"hi\\\"");
    EXPECT_EQ(JavaScriptStringText(L"a\nb\rc\td"), L"a\\nb\\rc\\td");
}

TEST(JavaScriptStringText, EscapesTheSeparatorsAndOtherControlCharactersAsUnicode) {
    EXPECT_EQ(JavaScriptStringText(L"a\u2028b\u2029c"), L"a\\u2028b\\u2029c");
    EXPECT_EQ(JavaScriptStringText(std::wstring(1, L'\0')), L"\\u0000");
    EXPECT_EQ(JavaScriptStringText(L"\x01\x1f\x7f"), L"\\u0001\\u001F\\u007F");
    EXPECT_EQ(JavaScriptStringText(L"\x20\x7e"), L" ~");  // the printable edges stay
}

TEST(JavaScriptStringText, ABackslashBeforeAQuoteCannotUndoTheQuotesEscape) {
    // "\'" in the input must not become "\\'" followed by a bare quote.
    EXPECT_EQ(JavaScriptStringText(L"\\'"), L"\\\\\\'");
    EXPECT_EQ(JavaScriptStringText(L"x\\');alert(1);//"), L"x\\\\\\');alert(1);//");
}
