#include "ProgramFolder.h"

#include <algorithm>

namespace {

const char kConfigTail[] = "\\Kestrune\\Pinchwell\\config.ini";

// Windows compares paths without case; ASCII case is what its folder names differ in.
std::string Comparable(const std::string& path) {
    std::string out = path;
    for (char& c : out) {
        if (c == '/') c = '\\';
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    while (out.size() > 1 && out.back() == '\\') out.pop_back();
    return out;
}

}  // namespace

std::string GetConfigPath() { return GetProgramFilesFolder() + kConfigTail; }

std::vector<std::string> GetConfigPaths() { return ConfigPathsOf({GetProgramFilesFolder(), GetProgramFilesX86Folder()}); }

std::vector<std::string> ConfigPathsOf(const std::vector<std::string>& programFilesFolders) {
    std::vector<std::string> paths;
    std::vector<std::string> seen;
    for (const std::string& folder : programFilesFolders) {
        if (folder.empty()) continue;
        std::string key = Comparable(folder);
        if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
        seen.push_back(key);
        paths.push_back(folder + kConfigTail);
    }
    return paths;
}

std::string GetProductSection() { return "Pinchwell"; }
