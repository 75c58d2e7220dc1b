#include "Settings.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "IniFile.h"
#include "ProgramFolder.h"

CSettings::CSettings(std::string path) : path_(std::move(path)) {}

const IniEntries* CSettings::Section() {
    // Once filled the cache never changes, so readers after that take no lock.
    if (!filled_.load(std::memory_order_acquire)) {
        std::lock_guard<std::mutex> lock(fillLock_);
        if (!filled_.load(std::memory_order_relaxed)) {
            IniEntries entries = CIniFile::GetSectionEntries(GetProductSection(), path_ ? *path_ : GetConfigPath());
            if (entries.empty()) return nullptr;  // read the file again next time
            cache_ = std::move(entries);
            filled_.store(true, std::memory_order_release);
        }
    }
    return &cache_;
}

std::string CSettings::GetString(const std::string& key) {
    const IniEntries* section = Section();
    if (!section) return {};
    for (const IniEntry& entry : *section) {
        if (entry.key == key) return entry.value;
    }
    return {};
}

int CSettings::GetInt(const std::string& key) { return ParseInt(GetString(key)); }

bool CSettings::GetBool(const std::string& key) { return ParseBool(GetString(key)); }

bool CSettings::SetString(const std::string& key, const std::string& value) {
    return CIniFile::SetValue(key, value, GetProductSection(), GetConfigPath());
}

FileOutcome CSettings::SetStrings(const std::string& path, const IniKeyValues& values) {
    return CIniFile::SetValues(values, GetProductSection(), path);
}

const char* BoolText(bool value) { return value ? "TRUE" : "FALSE"; }

std::string IntText(int value) { return std::to_string(value); }

bool ParseBool(const std::string& text) { return text == "TRUE"; }

// As atol reads it, with values beyond 32 bits held at the nearest bound: the same
// answer where long has 32 bits (Windows) and where it has 64 (the host).
int ParseInt(const std::string& text) {
    long long value = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}
