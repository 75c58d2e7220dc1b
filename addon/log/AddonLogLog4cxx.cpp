// The add-on's logger on Apache log4cxx.
#include <log4cxx/file.h>
#include <log4cxx/level.h>
#include <log4cxx/logger.h>
#include <log4cxx/propertyconfigurator.h>
#include <log4cxx/spi/location/locationinfo.h>

#include "AddonLog.h"

struct AddonLogger::Impl {
    log4cxx::LoggerPtr logger;
};

AddonLogger::AddonLogger() : impl_(std::make_unique<Impl>()) {}
AddonLogger::~AddonLogger() = default;

const char* LoggingBackendName() { return "log4cxx"; }

bool LoggingReadsConfiguration() { return true; }

void AddonLogger::Configure(const std::string& propertiesPath) {
    log4cxx::PropertyConfigurator::configure(log4cxx::File(propertiesPath));
    impl_->logger = log4cxx::Logger::getLogger(std::wstring(DebugRecord::kLoggerNameWide));
}

bool AddonLogger::IsSet() const { return impl_->logger != nullptr; }

bool AddonLogger::IsDebugEnabled() const { return impl_->logger && impl_->logger->isDebugEnabled(); }

void AddonLogger::LogGestureWhileDisabled() const {
    if (!IsDebugEnabled()) return;
    impl_->logger->forcedLog(
        log4cxx::Level::getDebug(), std::string(DebugRecord::kMessage),
        log4cxx::spi::LocationInfo(DebugRecord::kFile, DebugRecord::kFile, DebugRecord::kFunction,
                                   DebugRecord::kLine));
}
