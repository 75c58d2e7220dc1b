#include "CaptureFileCheck.h"

#include "PathText.h"

bool IsOwnCaptureFile(const OpenedFileFacts& facts) {
    if (facts.reparsePoint || facts.directory || facts.links != 1) return false;
    if (facts.name.empty() || facts.name.find_first_of(L"\\/") != std::wstring::npos) return false;
    // A file system that names no final paths at all leaves the attributes to decide.
    if (facts.finalPath.empty() && facts.folderFinalPath.empty()) return true;
    if (facts.finalPath.empty() || facts.folderFinalPath.empty()) return false;
    std::wstring expected = facts.folderFinalPath;
    if (!IsPathSeparator(expected.back())) expected += L'\\';
    return SamePathText(facts.finalPath, expected + facts.name);
}
