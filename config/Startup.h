#pragma once
// The start-up decisions of the settings program.
#include <cstdint>

enum class StartupAction {
    ReportMissingSettingsFile,  // message 132, no dialog
    ActivateRunningInstance,    // bring the first instance forward and end
    RunDialog,
};

// The settings file is checked before a running instance is looked for.
StartupAction DecideStartup(bool settingsFileExists, bool runningInstanceFound);

// The dialog marks itself with the window property "Pinchwell" = 1; any other value
// is someone else's.
inline constexpr const char* kInstanceProperty = "Pinchwell";
inline constexpr std::uintptr_t kInstancePropertyValue = 1;
bool IsInstanceMarker(std::uintptr_t propertyValue);
