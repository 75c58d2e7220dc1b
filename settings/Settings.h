#pragma once
// Typed access to the keys of the product section, through a cache of the section.
#include <atomic>
#include <mutex>
#include <optional>
#include <string>

#include "IniEntry.h"
#include "IniFile.h"

class CSettings {
public:
    // Reads the settings file at GetConfigPath(), found when it is first read: the
    // add-on's instance is built while the library loads, when the shell must not be asked.
    CSettings() = default;
    // Reads another file (tests, tools).
    explicit CSettings(std::string path);
    CSettings(const CSettings&) = delete;
    CSettings& operator=(const CSettings&) = delete;

    // The value of the first line of the key in the product section, or "". The
    // section is read once it holds keys and never again; until then every call
    // reads the file anew. Safe to call from several threads at once.
    std::string GetString(const std::string& key);
    int GetInt(const std::string& key);    // the value read as atol reads it
    bool GetBool(const std::string& key);  // exactly "TRUE"

    // Writes one key of the product section in the settings file. True when the
    // file was read and rewritten; false leaves the file as it was.
    static bool SetString(const std::string& key, const std::string& value);
    // Writes keys of the product section into the settings file at path, all of them
    // in one rewrite or none; says why when none.
    static FileOutcome SetStrings(const std::string& path, const IniKeyValues& values);

private:
    const IniEntries* Section();  // null while the file yields no keys

    std::optional<std::string> path_;  // none: the product's settings file
    std::mutex fillLock_;
    std::atomic<bool> filled_{false};
    IniEntries cache_;  // written once, under fillLock_, before filled_ is set
};

// The text forms of values in the settings file.
const char* BoolText(bool value);   // "TRUE" or "FALSE"
std::string IntText(int value);     // "%d"
bool ParseBool(const std::string& text);
int ParseInt(const std::string& text);

// The names of the five keys.
namespace SettingKey {
inline constexpr const char* Enable = "Enable";
inline constexpr const char* MaxZoomRange = "MaxZoomRange";
inline constexpr const char* MinZoomRange = "MinZoomRange";
inline constexpr const char* EnableFlash = "EnableFlash";
inline constexpr const char* TwoFingerTap2Zoom100 = "TwoFingerTap2Zoom100";
}  // namespace SettingKey

// The values MinZoomRange and MaxZoomRange take, in percent: the settings program's
// sliders offer no others, and the add-on takes each bound within them, so that the two
// deliverables agree whatever the file holds.
inline constexpr int kZoomBoundLowest = 100;
inline constexpr int kZoomBoundHighest = 500;
