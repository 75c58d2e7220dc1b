#include "AddonLog.h"

#include "ProgramFolder.h"

std::string GetLoggingConfigPath() {
    return GetProgramFilesFolder() + "\\Kestrune\\Pinchwell\\log4cxx.properties";
}

std::wstring DebugOutputRecordText() {
    auto widen = [](const char* text) { return std::wstring(text, text + std::char_traits<char>::length(text)); };
    return widen(DebugRecord::kLoggerName) + L" DEBUG " + widen(DebugRecord::kFile) + L":" +
           std::to_wstring(DebugRecord::kLine) + L" " + widen(DebugRecord::kFunction) + L" - " +
           widen(DebugRecord::kMessage) + L"\n";
}

void AddonLogger::ConfigureOnce(const std::function<std::string()>& propertiesPath) {
    std::call_once(configured_, [&] { Configure(propertiesPath()); });
}
