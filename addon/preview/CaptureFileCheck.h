#pragma once
// Whether an opened capture file is one the add-on may write over or delete: a plain file
// under its own name. A link planted where "temp.png" goes (a symbolic link, a junction, a
// second hard link to another file) would otherwise make a capture write over, or a
// teardown delete, a file of someone else's choosing.
#include <cstdint>
#include <string>

// What the platform says about the file opened at a path (without following a link).
struct OpenedFileFacts {
    bool reparsePoint = false;    // FILE_ATTRIBUTE_REPARSE_POINT: the link itself was opened
    bool directory = false;
    std::uint32_t links = 0;      // the file's names (hard links)
    std::wstring finalPath;       // where the opened file really is (GetFinalPathNameByHandleW)
    std::wstring folderFinalPath; // where the folder it was opened in really is
    std::wstring name;            // the name it was opened under, "temp.png"
};

// A plain file (no reparse point, no folder) with exactly one name, which lies in the
// folder it was opened in under the name it was opened under. The last rule catches a link
// that the platform followed although asked not to (Wine follows a Unix symbolic link and
// reports a plain file), whatever the folder's own path goes through: the folder's real
// path is compared, not the path as written. Case of ASCII letters is not significant.
// Where the platform gives neither real path (a file system that names none), the
// attributes decide alone: on Windows a link opened as itself is a reparse point already.
bool IsOwnCaptureFile(const OpenedFileFacts& facts);
