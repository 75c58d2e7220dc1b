#pragma once
// Where the program's files lie.
#include <string>

// What the platform says about the Program Files folders of a process.
struct ProgramFilesFacts {
    std::string ownFolder;     // the one of the process's own bitness
    bool underWow64 = false;   // a 32-bit process on 64-bit Windows
    std::string nativeFolder;  // that of 64-bit programs, when known
};

// The Program Files folder whose "\Kestrune\Pinchwell" holds the data files (config.ini,
// Template.html, log4cxx.properties). Both browsers of 64-bit Windows read one set, the
// 64-bit folder's, so a process under WoW64 takes the native folder; without one, and
// everywhere else, it takes its own.
std::string ProgramFilesFolderOf(const ProgramFilesFacts& facts);

// That folder for this process, as a narrow ANSI string, empty when it cannot be found.
// On Windows the shell's CSIDL_PROGRAM_FILES, and under WoW64 (where the shell gives the
// "(x86)" folder) the environment's ProgramW6432; on the host build the folder named by
// the environment variable PINCHWELL_PROGRAM_FILES (empty when unset).
std::string GetProgramFilesFolder();

// The settings file: the Program Files folder followed by "\Kestrune\Pinchwell\config.ini".
std::string GetConfigPath();

// The one section that holds the product's keys: "Pinchwell".
std::string GetProductSection();
