#include "AddonState.h"

#include "ProgramFolder.h"

// The settings file is found at its first read, when a tab needs it.
AddonState::AddonState() : logger(), eventSink(), settings() {}

AddonState::AddonState(const std::string& loggingConfigPath, const std::string& settingsPath)
    : logger(), eventSink(), settings(settingsPath), loggingConfigPath_(loggingConfigPath) {}

void AddonState::ConfigureLogging() {
    logger.ConfigureOnce([this] {
        if (loggingConfigPath_) return *loggingConfigPath_;
        return LoggingReadsConfiguration() ? GetLoggingConfigPath() : std::string();
    });
}

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
