#include "IniText.h"

#include <algorithm>
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

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

void AppendWithCrLf(std::string& out, const std::string& text) {
    for (char c : text) {
        if (c == '\n') out.push_back('\r');
        out.push_back(c);
    }
}

}  // namespace

IniDocument ParseIniDocument(std::string_view bytes) {
    IniDocument document;
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        document.byteOrderMark = true;
        bytes.remove_prefix(kByteOrderMark.size());
    }
    IniEntries& entries = document.entries;
    // One allocation for the whole list: at most one entry per line.
    entries.reserve(CountLineFeeds(bytes) + 1);
    std::string pendingComment;
    std::string currentSection;

    size_t pos = 0;
    while (pos < bytes.size()) {
        // Notepad ends the last line without a line feed: it is a line all the same.
        size_t lineEnd = std::min(bytes.find('\n', pos), bytes.size());
        std::string_view line = Trim(bytes.substr(pos, lineEnd - pos));
        pos = lineEnd + 1;
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
    document.trailingComment = std::move(pendingComment);
    return document;
}

IniEntries ParseIniText(std::string_view bytes) { return ParseIniDocument(bytes).entries; }

std::string FormatIniDocument(const IniDocument& document) {
    std::string out = document.byteOrderMark ? std::string(kByteOrderMark) : std::string();
    out += FormatIniText(document.entries);
    AppendWithCrLf(out, document.trailingComment);
    return out;
}

std::string FormatIniText(const IniEntries& entries) {
    std::string out;
    for (const IniEntry& entry : entries) {
        AppendWithCrLf(out, entry.comment);
        out.push_back(entry.marker);
        if (entry.key.empty()) {
            out.push_back('[');
            AppendWithCrLf(out, entry.section);
            out.push_back(']');
        } else {
            AppendWithCrLf(out, entry.key);
            out.push_back('=');
            AppendWithCrLf(out, entry.value);
        }
        out += "\r\n";
    }
    return out;
}
