#pragma once
// The platform's file access for the settings file, behind two calls.
#include <string>

// What became of a read or a replacement of a file: the settings program tells the
// user which, so each failure a user can act on has its own value.
// The values are fixed: an elevated copy of the settings program reports them in its
// exit code.
enum class FileOutcome {
    Done = 0,
    Missing = 1,   // the file or its folder does not exist
    NoRights = 2,  // the user may not change it
    InUse = 3,     // another program holds it and did not let go in time
    Failed = 4,    // anything else (a folder in its place, a full disk, ...)
    ReadOnly = 5,  // it has the read-only attribute, which no one's rights overcome
    Stranded = 6,  // the old file is gone and the new bytes stayed in the temporary file
};
inline constexpr FileOutcome kLastFileOutcome = FileOutcome::Stranded;

// Reads the whole file as bytes, without locking it against other readers or writers.
FileOutcome ReadFileBytes(const std::string& path, std::string& bytes);

// Writes the bytes to a temporary file in the same folder, flushes it to disk and puts
// it in place of the file in one step; an existing file keeps its permissions. On any
// failure the file keeps its old bytes and the temporary file is removed, except when
// the old file is gone already: then the temporary file, which alone holds the bytes,
// stays (Stranded).
FileOutcome ReplaceFileBytes(const std::string& path, const std::string& bytes);

// Whether the user's own rights keep ReplaceFileBytes from replacing the file: tried, not
// guessed, with the folder opened to add a file (nothing is created) and the file opened
// as the replacement opens it. A missing, busy or read-only file is no matter of rights.
bool ReplaceDenied(const std::string& path);
