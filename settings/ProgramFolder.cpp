#include "ProgramFolder.h"

std::string GetConfigPath() { return GetProgramFilesFolder() + "\\Kestrune\\Pinchwell\\config.ini"; }

std::string GetProductSection() { return "Pinchwell"; }
