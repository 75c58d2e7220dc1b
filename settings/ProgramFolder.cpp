#include "ProgramFolder.h"

std::string ProgramFilesFolderOf(const ProgramFilesFacts& facts) {
    if (!facts.underWow64 || facts.nativeFolder.empty()) return facts.ownFolder;
    std::string folder = facts.nativeFolder;
    // The tail brings its own separator.
    while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    return folder;
}

std::string GetConfigPath() { return GetProgramFilesFolder() + "\\Kestrune\\Pinchwell\\config.ini"; }

std::string GetProductSection() { return "Pinchwell"; }
