#pragma once
// The settings file's grammar: bytes to entries and entries to bytes. No I/O.
#include <string>
#include <string_view>

#include "IniEntry.h"

// A whole settings file: its entries and what stands outside them, so that a rewrite
// keeps what a user put there by hand (blank lines excepted).
struct IniDocument {
    bool byteOrderMark = false;   // the file began with a UTF-8 byte-order mark
    IniEntries entries;
    std::string trailingComment;  // comment lines after the last entry, as IniEntry::comment holds them
};

// Reads every line of the file's bytes, the last one with or without its line feed; a
// leading UTF-8 byte-order mark is no part of the first line.
IniDocument ParseIniDocument(std::string_view bytes);
// The exact bytes of the file: the byte-order mark when it had one (the bytes are never
// re-encoded, so what it announces stays true), the entries, then the trailing comment
// lines.
std::string FormatIniDocument(const IniDocument& document);

// The entries alone, read as ParseIniDocument reads them.
IniEntries ParseIniText(std::string_view bytes);

// The exact bytes the settings file holds for these entries: CR LF line ends, a
// leading marker byte on every header and key line.
std::string FormatIniText(const IniEntries& entries);
