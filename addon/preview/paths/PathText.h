#pragma once
// The few rules of Windows path and URL text that the capture's URL, the capture file's
// check and the template page's security decisions share. ASCII only: case folding
// beyond A-Z is the file system's business, and none of these texts needs it.
#include <string>

inline bool IsPathSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

inline wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// A drive ("C:") at position at of text.
inline bool IsDriveSpec(const std::wstring& text, std::size_t at = 0) {
    return text.size() >= at + 2 && FoldAscii(text[at]) >= L'a' && FoldAscii(text[at]) <= L'z' && text[at + 1] == L':';
}

// A URL scheme as the platform's URL parser takes one: two characters or more of letters,
// digits, '+', '-' and '.' before a colon ("res:", "http:"); a drive's one letter is not one.
bool HasUrlScheme(const std::wstring& text);

// The same path: equal but for the case of ASCII letters and the kind of separator.
bool SamePathText(const std::wstring& a, const std::wstring& b);
