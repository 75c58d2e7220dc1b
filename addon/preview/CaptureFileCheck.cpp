#include "CaptureFileCheck.h"

#include <algorithm>

namespace {

wchar_t Fold(wchar_t c) {
    if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c - L'A' + L'a');
    return c == L'/' ? L'\\' : c;
}

bool SameNoCase(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return Fold(x) == Fold(y); });
}

}  // namespace

bool IsOwnCaptureFile(const OpenedFileFacts& facts) {
    if (facts.reparsePoint || facts.directory || facts.links != 1) return false;
    if (facts.name.empty() || facts.name.find_first_of(L"\\/") != std::wstring::npos) return false;
    // A file system that names no final paths at all leaves the attributes to decide.
    if (facts.finalPath.empty() && facts.folderFinalPath.empty()) return true;
    if (facts.finalPath.empty() || facts.folderFinalPath.empty()) return false;
    std::wstring expected = facts.folderFinalPath;
    if (expected.back() != L'\\' && expected.back() != L'/') expected += L'\\';
    return SameNoCase(facts.finalPath, expected + facts.name);
}
