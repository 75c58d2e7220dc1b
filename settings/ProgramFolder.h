#pragma once
// Where the program's files lie.
#include <string>

// The Program Files folder as a narrow ANSI string, empty when it cannot be found.
// On Windows the shell's CSIDL_PROGRAM_FILES; on the host build the folder named by
// the environment variable PINCHWELL_PROGRAM_FILES (empty when unset).
std::string GetProgramFilesFolder();

// The settings file: the Program Files folder followed by "\Kestrune\Pinchwell\config.ini".
std::string GetConfigPath();

// The one section that holds the product's keys: "Pinchwell".
std::string GetProductSection();
