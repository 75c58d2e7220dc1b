#include "Startup.h"

StartupAction DecideStartup(bool settingsFileExists, bool runningInstanceFound) {
    if (!settingsFileExists) return StartupAction::ReportMissingSettingsFile;
    if (runningInstanceFound) return StartupAction::ActivateRunningInstance;
    return StartupAction::RunDialog;
}

bool IsInstanceMarker(std::uintptr_t propertyValue) { return propertyValue == kInstancePropertyValue; }
