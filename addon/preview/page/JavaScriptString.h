#pragma once
// Text placed between the single quotes of a JavaScript string literal. The capture
// file's URL comes from the user's temporary folder, whose name the user (or anyone who
// can name a folder) chooses: a quote or a line break in it must not end the literal
// and turn the rest into script that runs in the preview page.
#include <string>

// The text with every character that could end or bend a single-quoted literal written
// as an escape: \ as \\, ' as \', " as \", line feed as \n, carriage return as \r, tab
// as \t, the line and paragraph separators U+2028 and U+2029 and every other control
// character (below U+0020, and U+007F) as \uXXXX. Everything else, a plain path among
// it, comes out unchanged.
std::wstring JavaScriptStringText(const std::wstring& text);
