#pragma once
// The settings file's grammar: bytes to entries and entries to bytes. No I/O.
#include <string>
#include <string_view>

#include "IniEntry.h"

// Reads every complete line (ended by a line feed) of the file's bytes; text after
// the last line feed is not read.
IniEntries ParseIniText(std::string_view bytes);

// The exact bytes the settings file holds for these entries: CR LF line ends, a
// leading marker byte on every header and key line.
std::string FormatIniText(const IniEntries& entries);
