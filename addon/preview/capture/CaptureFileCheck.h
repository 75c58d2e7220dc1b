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

// Which file a capture wrote, and which write of it: the file's identity on its volume
// and the last-write time its writer stamped on it. Every tab of the user writes the one
// "temp.png" over in place, so its identity stays from one capture to the next, another
// tab's included; the stamp tells the writes apart.
struct CaptureFileStamp {
    std::uint32_t volume = 0;
    std::uint64_t fileIndex = 0;
    std::uint64_t lastWrite = 0;  // in 100 ns units, as a FILETIME

    bool operator==(const CaptureFileStamp& other) const {
        return volume == other.volume && fileIndex == other.fileIndex && lastWrite == other.lastWrite;
    }
};

// The last-write time for a capture written at now, given the last one the process
// stamped: now, or just after that one where the clock has not moved past it (the system
// time moves in steps of about 15 ms, and two tabs may capture within one).
inline std::uint64_t NextWriteStamp(std::uint64_t now, std::uint64_t last) { return now > last ? now : last + 1; }
