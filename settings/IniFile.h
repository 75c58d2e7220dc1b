#pragma once
// Static operations on a settings file named by its narrow (ANSI) path. Every call
// reads the whole file; a change rewrites it whole, or leaves it exactly as it was.
// A rewrite keeps a leading UTF-8 byte-order mark and the comment lines below the last
// entry; blank lines go.
#include <string>
#include <utility>
#include <vector>

#include "FileBytes.h"
#include "IniEntry.h"

// Keys and their value texts, in the order they are set.
using IniKeyValues = std::vector<std::pair<std::string, std::string>>;

class CIniFile {
public:
    // False when the file cannot be read; the list is then left as it was.
    static bool Load(const std::string& path, IniEntries& entries);
    // Replaces the file with exactly these entries in one step. False (and the old
    // file untouched, no temporary file left) when any part of the write fails.
    static bool Save(const std::string& path, const IniEntries& entries);

    // The key entries of the section that are not commented out, in file order.
    static IniEntries GetSectionEntries(const std::string& section, const std::string& path);
    static bool SectionExists(const std::string& section, const std::string& path);
    static bool KeyExists(const std::string& key, const std::string& section, const std::string& path);

    // Changes the first matching key, or inserts it right after the section's first
    // entry, or appends the section with the key. False when the file cannot be read
    // (nothing is then written or created) or when the rewrite fails.
    static bool SetValue(const std::string& key, const std::string& value, const std::string& section,
                         const std::string& path);
    // Sets each key as SetValue would, in order, with one read and one rewrite: the
    // file gets all of them or none. Says why when it could not.
    static FileOutcome SetValues(const IniKeyValues& values, const std::string& section, const std::string& path);
};
