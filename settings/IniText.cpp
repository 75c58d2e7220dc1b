#include "IniText.h"

#include <cstring>

namespace {

// The bytes a line is trimmed of at both ends.
bool IsTrimByte(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view Trim(std::string_view s) {
    size_t first = 0;
    size_t last = s.size();
    while (first < last && IsTrimByte(s[first])) ++first;
    while (last > first && IsTrimByte(s[last - 1])) --last;
    return s.substr(first, last - first);
}

size_t CountLineFeeds(std::string_view bytes) {
    size_t count = 0;
    if (bytes.empty()) return 0;
    for (const char* p = bytes.data(); const void* hit = std::memchr(p, '\n', bytes.data() + bytes.size() - p);
         p = static_cast<const char*>(hit) + 1)
        ++count;
    return count;
}

bool IsCommentByte(char c) { return c == '#' || c == ';'; }

}  // namespace

IniEntries ParseIniText(std::string_view bytes) {
    IniEntries entries;
    // One allocation for the whole list: at most one entry per line.
    entries.reserve(CountLineFeeds(bytes));
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

        // A line holding "[" is a header named by what follows its first byte, up to
        // the first "]" (or to the end when none follows). A name holding "=" would make
        // a header of a value with brackets in it ("Name=a[b]" would lose its first
        // letter and open a section); such a line is a key line as it stands.
        bool isHeader = false;
        if (line.find('[') != std::string_view::npos) {
            std::string_view name = line.substr(1);
            name = name.substr(0, name.find(']'));
            if (name.find('=') == std::string_view::npos) {
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
        size_t equals = isHeader ? std::string_view::npos : line.find('=');
        if (equals != std::string_view::npos) {
            entry.comment = std::move(pendingComment);
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
