#pragma once
// Where the program's files lie.
#include <string>
#include <vector>

// The Program Files folder as a narrow ANSI string, empty when it cannot be found.
// On Windows the shell's CSIDL_PROGRAM_FILES; on the host build the folder named by
// the environment variable PINCHWELL_PROGRAM_FILES (empty when unset).
std::string GetProgramFilesFolder();

// The Program Files folder of 32-bit programs, where the add-on of the default (32-bit)
// browser lies on 64-bit Windows: CSIDL_PROGRAM_FILESX86, which is the one Program
// Files folder on 32-bit Windows and for a 32-bit process. On the host build the
// variable PINCHWELL_PROGRAM_FILES_X86.
std::string GetProgramFilesX86Folder();

// The settings file: the Program Files folder followed by "\Kestrune\Pinchwell\config.ini".
std::string GetConfigPath();

// The settings files of every program folder, each once, the process's own first: on
// 64-bit Windows that of the 64-bit add-on and that of the 32-bit one.
std::vector<std::string> GetConfigPaths();
// The same for the given Program Files folders: an empty folder names none, and folders
// that differ only in case or in the kind of separator are one.
std::vector<std::string> ConfigPathsOf(const std::vector<std::string>& programFilesFolders);

// The one section that holds the product's keys: "Pinchwell".
std::string GetProductSection();
