#pragma once
#include <string>
#include <vector>

// One header or key line of the settings file, with the comment lines that stood
// directly above it. An entry with an empty key counts as a header everywhere.
struct IniEntry {
    std::string comment;  // each comment line trimmed and followed by "\n"
    char marker = ' ';    // ' ' for an ordinary line, '#' or ';' when commented out
    std::string section;  // the header's name, or the section in force for a key
    std::string key;
    std::string value;

    bool operator==(const IniEntry& other) const {
        return comment == other.comment && marker == other.marker && section == other.section &&
               key == other.key && value == other.value;
    }
};

using IniEntries = std::vector<IniEntry>;
