#pragma once
// Which settings file the dialog shows and where a save goes, when the add-on lies in
// more than one program folder (on 64-bit Windows one for each browser, each reading
// the config.ini beside it).
#include <cstdint>
#include <string>
#include <vector>

struct SettingsFileFacts {
    std::string path;
    bool folderExists = false;
    bool exists = false;
    std::uint64_t lastWrite = 0;  // any clock that orders writes
};

// The file the dialog shows, as an index: of those that exist, the one written last.
// A package lays its config.ini down with an old date, so after an upgrade the file a
// user changed wins over a fresh one beside it. On a tie the first (the program's own
// folder). -1 when none exists.
int FileToShow(const std::vector<SettingsFileFacts>& files);

// Where a save goes: the settings file of every program folder there is, in order.
// A file missing from a folder that exists is a target too: the save reports it.
std::vector<std::string> SaveTargets(const std::vector<SettingsFileFacts>& files);

// Whether saving needs an administrator's rights: only when something was denied to
// the user, not when it is missing or busy.
struct WriteAccessFacts {
    bool filesDenied = false;      // a settings file or its folder refused a write
    bool flashSwitchDenied = false;  // the registry refused the browser's Flash key
};
bool NeedsElevation(const WriteAccessFacts& facts);
