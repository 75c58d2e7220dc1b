#pragma once
// Logging helpers for the tests: which backend the build uses, and a reset of log4cxx's
// process-wide configuration between tests.
#include <string>

// True when the add-on logs through log4cxx in this build.
bool LogsThroughLog4cxx();
// Forgets every logger level and appender that a test configured (log4cxx only).
void ResetLogging();
// A log4cxx.properties text: the logger "PinchkitBHO" at level, written to logFile with
// the layout "%p|%c|%F|%L|%M|%m%n", nothing else logged.
std::string FileLoggingProperties(const std::string& level, const std::string& logFile);
