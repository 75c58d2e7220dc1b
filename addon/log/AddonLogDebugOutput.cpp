// The add-on's logger where log4cxx is not available for the target: the one record
// goes to the debugger output. There is no configuration to read and no threshold.
#include <windows.h>

#include "AddonLog.h"

struct AddonLogger::Impl {
    bool set = false;
};

AddonLogger::AddonLogger() : impl_(std::make_unique<Impl>()) {}
AddonLogger::~AddonLogger() = default;

const char* LoggingBackendName() { return "OutputDebugStringW"; }

bool LoggingReadsConfiguration() { return false; }

void AddonLogger::Configure(const std::string&) { impl_->set = true; }

bool AddonLogger::IsSet() const { return impl_->set; }

bool AddonLogger::IsDebugEnabled() const { return impl_->set; }

void AddonLogger::LogGestureWhileDisabled() const {
    if (!IsDebugEnabled()) return;
    ::OutputDebugStringW(DebugOutputRecordText().c_str());
}
