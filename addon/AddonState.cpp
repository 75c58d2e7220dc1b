#include "AddonState.h"

#include "ProgramFolder.h"

CEventSink::CEventSink(AddonLogger& logger, const std::string& loggingConfigPath) {
    logger.Configure(loggingConfigPath);
}

AddonState::AddonState() : AddonState(GetLoggingConfigPath(), GetConfigPath()) {}

AddonState::AddonState(const std::string& loggingConfigPath, const std::string& settingsPath)
    : logger(), eventSink(logger, loggingConfigPath), settings(settingsPath) {}

AddonState& Addon() {
    static AddonState state;
    return state;
}
