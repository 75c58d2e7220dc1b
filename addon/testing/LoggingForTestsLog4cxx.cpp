#include <log4cxx/logmanager.h>

#include "LoggingForTests.h"

bool LogsThroughLog4cxx() { return true; }

void ResetLogging() { log4cxx::LogManager::resetConfiguration(); }
