#include "CaptureFileCheck.h"

#include <algorithm>
#include <cstring>

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

std::optional<CaptureFileStamp> StampOfCaptureFile(const std::uint8_t* head, std::size_t size) {
    CaptureFileStamp stamp;
    if (size == 0) {
        stamp.emptied = true;
        return stamp;
    }
    // Each chunk's length and type, where the writer puts them.
    const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const std::uint8_t header[8] = {0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    const std::uint8_t id[8] = {0, 0, 0, kWriteIdBytes, kWriteIdChunk[0], kWriteIdChunk[1], kWriteIdChunk[2],
                                kWriteIdChunk[3]};
    if (size < kCaptureFileHeadBytes || std::memcmp(head, signature, 8) != 0 ||
        std::memcmp(head + 8, header, 8) != 0 || std::memcmp(head + 33, id, 8) != 0)
        return std::nullopt;
    std::copy(head + 41, head + 41 + kWriteIdBytes, stamp.writeId.begin());
    return stamp;
}
