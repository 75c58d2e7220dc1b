#include "SettingsFiles.h"

int FileToShow(const std::vector<SettingsFileFacts>& files) {
    int shown = -1;
    for (size_t i = 0; i < files.size(); ++i) {
        if (!files[i].exists) continue;
        if (shown < 0 || files[i].lastWrite > files[static_cast<size_t>(shown)].lastWrite) shown = static_cast<int>(i);
    }
    return shown;
}

std::vector<std::string> SaveTargets(const std::vector<SettingsFileFacts>& files) {
    std::vector<std::string> targets;
    for (const SettingsFileFacts& file : files) {
        if (file.folderExists || file.exists) targets.push_back(file.path);
    }
    return targets;
}

bool NeedsElevation(const WriteAccessFacts& facts) { return facts.filesDenied || facts.flashSwitchDenied; }
