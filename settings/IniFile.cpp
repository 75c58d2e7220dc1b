#include "IniFile.h"

#include <algorithm>

#include "FileBytes.h"
#include "IniText.h"

namespace {

bool InSection(const IniEntry& entry, const std::string& section) { return entry.section == section; }

// A line commented out with "#" or ";" is kept as the user wrote it but is no setting: it is
// neither read nor changed, as Windows' own profile functions (and the package's IniFile
// rows, which use them) pass it over.
bool IsSetting(const IniEntry& entry) { return entry.marker == ' ' && !entry.key.empty(); }

bool IsKeyOf(const IniEntry& entry, const std::string& key, const std::string& section) {
    return IsSetting(entry) && entry.section == section && entry.key == key;
}

// Changes the first matching key, or inserts it right after the section's first
// entry, or appends the section with the key.
void SetEntryValue(IniDocument& document, const std::string& key, const std::string& value,
                   const std::string& section) {
    IniEntries& entries = document.entries;
    // The section and key checks are answered from the list in hand: the same answers as
    // reading the file again, without the race of reading it twice.
    auto existing = std::find_if(entries.begin(), entries.end(),
                                 [&](const IniEntry& e) { return IsKeyOf(e, key, section); });
    if (existing != entries.end()) {
        existing->value = value;
        return;
    }
    auto first = std::find_if(entries.begin(), entries.end(), [&](const IniEntry& e) { return InSection(e, section); });
    IniEntry added{"", ' ', section, key, value};
    if (first != entries.end()) {
        entries.insert(first + 1, std::move(added));
    } else {
        // The comment lines at the end stay where the user put them, above the new section.
        entries.push_back(IniEntry{std::move(document.trailingComment), ' ', section, "", ""});
        document.trailingComment.clear();
        entries.push_back(std::move(added));
    }
}

}  // namespace

bool CIniFile::Load(const std::string& path, IniEntries& entries) {
    std::string bytes;
    if (ReadFileBytes(path, bytes) != FileOutcome::Done) return false;
    entries = ParseIniText(bytes);
    return true;
}

bool CIniFile::Save(const std::string& path, const IniEntries& entries) {
    return ReplaceFileBytes(path, FormatIniText(entries)) == FileOutcome::Done;
}

IniEntries CIniFile::GetSectionEntries(const std::string& section, const std::string& path) {
    IniEntries all;
    IniEntries keys;
    if (!Load(path, all)) return keys;
    for (IniEntry& entry : all) {
        if (IsSetting(entry) && InSection(entry, section)) keys.push_back(std::move(entry));
    }
    return keys;
}

bool CIniFile::SectionExists(const std::string& section, const std::string& path) {
    IniEntries all;
    return Load(path, all) &&
           std::any_of(all.begin(), all.end(), [&](const IniEntry& e) { return InSection(e, section); });
}

bool CIniFile::KeyExists(const std::string& key, const std::string& section, const std::string& path) {
    IniEntries all;
    return Load(path, all) &&
           std::any_of(all.begin(), all.end(), [&](const IniEntry& e) { return IsKeyOf(e, key, section); });
}

bool CIniFile::SetValue(const std::string& key, const std::string& value, const std::string& section,
                        const std::string& path) {
    return SetValues({{key, value}}, section, path) == FileOutcome::Done;
}

FileOutcome CIniFile::SetValues(const IniKeyValues& values, const std::string& section, const std::string& path) {
    std::string bytes;
    // A file that cannot be read is neither written nor created.
    if (FileOutcome read = ReadFileBytes(path, bytes); read != FileOutcome::Done) return read;
    IniDocument document = ParseIniDocument(bytes);
    for (const auto& [key, value] : values) SetEntryValue(document, key, value, section);
    return ReplaceFileBytes(path, FormatIniDocument(document));
}
