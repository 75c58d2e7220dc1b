#include "AddonState.h"

#include "ProgramFolder.h"

CEventSink::CEventSink(AddonLogger& logger, const std::string& loggingConfigPath) {
    logger.Configure(loggingConfigPath);
}

// The settings file is found at its first read, when a tab needs it.
AddonState::AddonState()
    : logger(), eventSink(logger, LoggingReadsConfiguration() ? GetLoggingConfigPath() : std::string()), settings() {}

AddonState::AddonState(const std::string& loggingConfigPath, const std::string& settingsPath)
    : logger(), eventSink(logger, loggingConfigPath), settings(settingsPath) {}

AddonState& Addon() {
    static AddonState state;
    return state;
}
