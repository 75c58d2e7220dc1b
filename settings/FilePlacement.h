#pragma once
// The three platform calls that put a new settings file in place, replaceable for tests
// that must meet what the system does rarely: a replacement that removed the old file
// but could not rename the new one, a move that keeps failing.
#include <windows.h>

#include <functional>
#include <string>

#include "FileBytes.h"

struct FilePlacementCalls {
    // As ReplaceFileW without a backup, MoveFileExW and DeleteFileW: false with the
    // last error set on failure.
    std::function<bool(const std::wstring& target, const std::wstring& replacement)> replace;
    std::function<bool(const std::wstring& from, const std::wstring& to)> move;
    std::function<bool(const std::wstring& path)> remove;
};

FilePlacementCalls SystemFilePlacement();

// ReplaceFileBytes through the given calls.
FileOutcome ReplaceFileBytesWith(const std::string& path, const std::string& bytes, const FilePlacementCalls& calls);
