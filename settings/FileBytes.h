#pragma once
// The platform's file access for the settings file, behind two calls.
#include <string>

// Reads the whole file as bytes, without locking it against other readers or writers.
bool ReadFileBytes(const std::string& path, std::string& bytes);

// Writes the bytes to a temporary file in the same folder, flushes it to disk and
// moves it over the file in one step. On any failure the file keeps its old bytes
// and the temporary file is removed.
bool ReplaceFileBytes(const std::string& path, const std::string& bytes);
