#pragma once
// The add-on's logging: the logger "PinchkitBHO", configured from
// log4cxx.properties in the program folder, and the one record that the add-on writes.
//
// With log4cxx (always on the host, on Windows when CMake finds it for the target) the
// record goes through log4cxx. Without it (the MinGW build here) the record goes to the
// debugger output with OutputDebugStringW, unconditionally, since there is no threshold
// to consult; CMake warns about this at configure time.
#include <functional>
#include <memory>
#include <mutex>
#include <string>

// The record that the message hook writes when a gesture arrives while "Enable" is not "TRUE".
namespace DebugRecord {
constexpr const char* kLoggerName = "PinchkitBHO";
constexpr const wchar_t* kLoggerNameWide = L"PinchkitBHO";
constexpr const char* kMessage = "break";
constexpr const char* kFile = "EventSink";
constexpr int kLine = 218;
constexpr const char* kFunction = "GetMsgProc";
}  // namespace DebugRecord

// The logging configuration: the Program Files folder followed by
// "\Kestrune\Pinchwell\log4cxx.properties" (an ANSI string, as GetProgramFilesFolder gives it).
std::string GetLoggingConfigPath();

// The line that the fallback writes to the debugger output, ending in a line break:
// "PinchkitBHO DEBUG EventSink:218 GetMsgProc - break".
std::wstring DebugOutputRecordText();

// Which implementation this build uses: "log4cxx" or "OutputDebugStringW".
const char* LoggingBackendName();

// Whether Configure reads the configuration file. The debugger-output fallback reads
// none, so it needs no path: the shell is not asked for the program folder.
bool LoggingReadsConfiguration();

// The `logger` holder of the add-on state: empty until Configure.
class AddonLogger {
public:
    AddonLogger();
    ~AddonLogger();
    AddonLogger(const AddonLogger&) = delete;
    AddonLogger& operator=(const AddonLogger&) = delete;

    // PropertyConfigurator::configure with the file as a log4cxx::File, then the logger
    // is fetched with Logger::getLogger for the wide name "PinchkitBHO". A missing or
    // unreadable file leaves log4cxx unconfigured (it reports that on its own).
    void Configure(const std::string& propertiesPath);
    // Configure with the file that propertiesPath names, on the first call only, which
    // every other call, from any thread, waits for; later calls read nothing. Finding the
    // file may ask the shell for the program folder, which is why the path is asked for
    // only here.
    void ConfigureOnce(const std::function<std::string()>& propertiesPath);

    // The logger has been fetched.
    bool IsSet() const;
    // The logger is set and DEBUG is enabled for it.
    bool IsDebugEnabled() const;

    // When DEBUG is enabled: one record at DEBUG level, message "break", location file
    // "EventSink", line 218, function "GetMsgProc". Called by the message hook for every
    // WM_GESTURE that arrives while the add-on is switched off.
    void LogGestureWhileDisabled() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::once_flag configured_;
};
