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

namespace {

// Built on first use and never destroyed by the static objects' destruction, which runs at
// every DLL_PROCESS_DETACH, also at process end: other threads may then have stopped
// anywhere, inside the hook or holding a table's lock.
AddonState*& TheState() {
    static AddonState* state = new AddonState();
    return state;
}

}  // namespace

AddonState& Addon() { return *TheState(); }

void DestroyAddon() {
    AddonState*& state = TheState();
    delete state;
    state = nullptr;
}
