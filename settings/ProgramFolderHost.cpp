#include <cstdlib>

#include "ProgramFolder.h"

namespace {
std::string FromEnvironment(const char* name) {
    const char* folder = std::getenv(name);
    return folder ? folder : "";
}
}  // namespace

std::string GetProgramFilesFolder() { return FromEnvironment("PINCHWELL_PROGRAM_FILES"); }

std::string GetProgramFilesX86Folder() { return FromEnvironment("PINCHWELL_PROGRAM_FILES_X86"); }
