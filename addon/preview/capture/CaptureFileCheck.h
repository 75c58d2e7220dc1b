#pragma once
// Whether an opened capture file is one the add-on may write over or delete: a plain file
// under its own name. A link planted where "temp.png" goes (a symbolic link, a junction, a
// second hard link to another file) would otherwise make a capture write over, or a
// teardown delete, a file of someone else's choosing.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "PngWriter.h"

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

// Which write of the capture file a tab made. Every tab of the user, in every browser
// process, writes the one "temp.png" over in place, so neither the file's identity nor
// its last-write time tells their writes apart (two processes may write within one step
// of the clock, and FAT32 keeps times to 2 s). Each write puts an id of its own into the
// file instead (kWriteIdChunk, right after the header), read back through the handle
// that deletes it.
struct CaptureFileStamp {
    std::array<std::uint8_t, kWriteIdBytes> writeId{};
    // The write failed and left the file empty. An empty file holds no one's picture, so
    // whoever emptied it last, it is this write's to delete.
    bool emptied = false;

    bool operator==(const CaptureFileStamp& other) const {
        return emptied == other.emptied && (emptied || writeId == other.writeId);
    }
};

// How much of the start of a capture file holds its write's id: the PNG signature, IHDR,
// and the id chunk up to its CRC.
constexpr std::size_t kCaptureFileHeadBytes = 8 + 25 + 8 + kWriteIdBytes;

// The stamp of the write whose file starts with the size bytes at head (all of the file
// where it is shorter than kCaptureFileHeadBytes): emptied for an empty file, the id for
// a PNG that carries one right after its header, none for anything else (a file of an
// earlier version, or not a capture at all).
std::optional<CaptureFileStamp> StampOfCaptureFile(const std::uint8_t* head, std::size_t size);
