#include <cstdlib>

#include "ProgramFolder.h"

std::string GetProgramFilesFolder() {
    const char* folder = std::getenv("PINCHWELL_PROGRAM_FILES");
    return folder ? folder : "";
}
