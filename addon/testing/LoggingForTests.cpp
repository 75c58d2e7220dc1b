#include "LoggingForTests.h"

std::string FileLoggingProperties(const std::string& level, const std::string& logFile) {
    std::string path;
    for (char c : logFile) path += c == '\\' ? '/' : c;  // a backslash is an escape in the file
    return "log4j.rootLogger=OFF\n"
           "log4j.logger.PinchkitBHO=" + level + ", F\n"
           "log4j.appender.F=org.apache.log4j.FileAppender\n"
           "log4j.appender.F.File=" + path + "\n"
           "log4j.appender.F.Append=false\n"
           "log4j.appender.F.layout=org.apache.log4j.PatternLayout\n"
           "log4j.appender.F.layout.ConversionPattern=%p|%c|%F|%L|%M|%m%n\n";
}
