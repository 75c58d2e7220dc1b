// The logger where log4cxx is missing for the target: the one record goes to the
// debugger output. A vectored exception handler sees what OutputDebugString raises.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "AddonLog.h"
#include "LoggingForTests.h"

namespace {

constexpr DWORD kPrintException = 0x40010006;      // DBG_PRINTEXCEPTION_C
constexpr DWORD kPrintWideException = 0x4001000A;  // DBG_PRINTEXCEPTION_WIDE_C

std::vector<std::wstring> captured;

LONG CALLBACK CatchDebugOutput(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode == kPrintWideException && record->NumberParameters >= 2) {
        captured.emplace_back(reinterpret_cast<const wchar_t*>(record->ExceptionInformation[1]));
    } else if (record->ExceptionCode == kPrintException && record->NumberParameters >= 2) {
        std::string text(reinterpret_cast<const char*>(record->ExceptionInformation[1]));
        captured.emplace_back(text.begin(), text.end());
    }
    return EXCEPTION_CONTINUE_SEARCH;  // the platform's own handler ends the raise
}

class DebugOutputLog : public ::testing::Test {
protected:
    void SetUp() override {
        if (LogsThroughLog4cxx()) GTEST_SKIP() << "this build logs through log4cxx";
        captured.clear();
        handler_ = ::AddVectoredExceptionHandler(1, CatchDebugOutput);
    }
    void TearDown() override {
        if (handler_) ::RemoveVectoredExceptionHandler(handler_);
    }
    // What the record produced; a wide raise may be followed by the narrow one.
    static std::vector<std::wstring> Records() {
        std::vector<std::wstring> records;
        for (const auto& text : captured)
            if (records.empty() || records.back() != text) records.push_back(text);
        return records;
    }

private:
    void* handler_ = nullptr;
};

}  // namespace

TEST_F(DebugOutputLog, WritesTheRecordOnceConfigured) {
    AddonLogger logger;
    logger.Configure("C:\\nowhere\\log4cxx.properties");  // not read: there is no log4cxx
    EXPECT_TRUE(logger.IsSet());
    EXPECT_TRUE(logger.IsDebugEnabled());
    logger.LogGestureWhileDisabled();
    EXPECT_EQ(Records(), std::vector<std::wstring>{L"PinchkitBHO DEBUG EventSink:218 GetMsgProc - break\n"});
}

TEST_F(DebugOutputLog, WritesNothingBeforeTheLoggerIsSet) {
    AddonLogger logger;
    logger.LogGestureWhileDisabled();
    EXPECT_TRUE(Records().empty());
}
