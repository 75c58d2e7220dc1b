#include "LoggingForTests.h"

bool LogsThroughLog4cxx() { return false; }

void ResetLogging() {}
