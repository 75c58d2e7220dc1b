#include "PathText.h"

#include <algorithm>

bool HasUrlScheme(const std::wstring& text) {
    std::size_t colon = text.find(L':');
    if (colon == std::wstring::npos || colon < 2) return false;
    return std::all_of(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(colon), [](wchar_t c) {
        wchar_t f = FoldAscii(c);
        return (f >= L'a' && f <= L'z') || (c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == L'.';
    });
}

bool SamePathText(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
               return (IsPathSeparator(x) && IsPathSeparator(y)) || FoldAscii(x) == FoldAscii(y);
           });
}
