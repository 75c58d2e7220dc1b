#pragma once
// The application object: one global instance whose InitInstance runs the program.
// The program's entry point finds it and hands over control.
#include <windows.h>

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Runs the program. A dialog program does all its work here and returns FALSE,
    // so no message loop of the application's own follows.
    virtual BOOL InitInstance() = 0;

    static CWinApp* Current();
    // The process's exit code once InitInstance has returned.
    int ExitCode() const { return exitCode_; }

protected:
    void SetExitCode(int code) { exitCode_ = code; }

private:
    int exitCode_ = 0;
};
