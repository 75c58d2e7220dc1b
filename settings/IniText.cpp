#include "IniText.h"

namespace {

constexpr std::string_view kTrimBytes = " \t\n\r";

std::string_view Trim(std::string_view s) {
    size_t first = s.find_first_not_of(kTrimBytes);
    if (first == std::string_view::npos) return {};
    size_t last = s.find_last_not_of(kTrimBytes);
    return s.substr(first, last - first + 1);
}

bool IsCommentByte(char c) { return c == '#' || c == ';'; }

}  // namespace

IniEntries ParseIniText(std::string_view bytes) {
    IniEntries entries;
    std::string pendingComment;
    std::string currentSection;

    size_t pos = 0;
    for (;;) {
        size_t lineFeed = bytes.find('\n', pos);
        if (lineFeed == std::string_view::npos) break;  // an unterminated last line is not read
        std::string_view line = Trim(bytes.substr(pos, lineFeed - pos));
        pos = lineFeed + 1;
        if (line.empty()) continue;

        IniEntry entry;
        if (IsCommentByte(line.front())) {
            if (line.find_first_of("[=") == std::string_view::npos) {
                pendingComment.append(line);
                pendingComment.push_back('\n');
                continue;
            }
            entry.marker = line.front();
            line = Trim(line.substr(1));
        }

        // A "[" that no "]" follows (after the first byte) does not make a header:
        // "Name=a[b" stays a key whose value holds the bracket, and "[Pinchwell",
        // with no "=", is read as the header its writer meant.
        bool isHeader = false;
        if (line.find('[') != std::string_view::npos) {
            std::string_view name = line.substr(1);
            size_t close = name.find(']');
            if (close != std::string_view::npos) {
                line = name.substr(0, close);
                isHeader = true;
            } else if (line.find('=') == std::string_view::npos) {
                line = name;
                isHeader = true;
            }
        }
        if (isHeader) {
            entry.comment = std::move(pendingComment);
            pendingComment.clear();
            entry.section = std::string(line);
            currentSection = entry.section;
        }
        size_t equals = line.find('=');
        if (equals != std::string_view::npos) {
            entry.comment += pendingComment;
            pendingComment.clear();
            entry.section = currentSection;
            entry.key = std::string(line.substr(0, equals));
            entry.value = std::string(line.substr(equals + 1));
        }
        if (pendingComment.empty()) entries.push_back(std::move(entry));
    }
    return entries;
}

std::string FormatIniText(const IniEntries& entries) {
    std::string out;
    auto appendWithCrLf = [&out](const std::string& text) {
        for (char c : text) {
            if (c == '\n') out.push_back('\r');
            out.push_back(c);
        }
    };
    for (const IniEntry& entry : entries) {
        appendWithCrLf(entry.comment);
        out.push_back(entry.marker);
        if (entry.key.empty()) {
            out.push_back('[');
            appendWithCrLf(entry.section);
            out.push_back(']');
        } else {
            appendWithCrLf(entry.key);
            out.push_back('=');
            appendWithCrLf(entry.value);
        }
        out += "\r\n";
    }
    return out;
}
