#pragma once
// Drives PinchwellConfig.exe from a second process, as a user would: lays out the
// program folder, starts the program, finds its windows and answers its message boxes.
#include <windows.h>

#include <string>
#include <vector>

#include "pinchwell/UniqueHandle.h"

// The program folder inside the Wine prefix, laid out for one test and removed after it:
// by default that of the Program Files folder with the program and its libraries;
// otherwise that of another Program Files folder (the 32-bit one), with what is written.
class ProgramFolder {
public:
    ProgramFolder();
    explicit ProgramFolder(const std::string& programFiles);
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    std::wstring Path() const { return folder_; }
    std::wstring ConfigFile() const { return folder_ + L"\\config.ini"; }
    void WriteConfig(const std::string& bytes) const;
    std::string ReadConfig() const;  // "<missing>" when there is no file
    void RemoveConfig() const;
    void SetConfigReadOnly(bool readOnly) const;
    // Dates the file as a package lays it down, long before any save.
    void StampConfigAsShipped() const;

private:
    std::wstring folder_;
};

// The whole file, or "<missing>".
std::string ReadWholeFile(const std::wstring& path);
// A string of the resources the program takes for the user's locale: those of a
// language library or its own.
std::wstring ProgramString(UINT id);
// A file in the driver's own folder.
std::wstring BesideDriver(const std::wstring& name);

// A message box of the program: its owner, caption and text.
struct MessageBoxSeen {
    HWND window = nullptr;
    HWND owner = nullptr;
    std::wstring caption;
    std::wstring text;
};

class ProgramUnderTest {
public:
    explicit ProgramUnderTest(const ProgramFolder& folder);
    // The program of a folder laid out by someone else, an installer for one.
    explicit ProgramUnderTest(const std::wstring& folderPath, const std::wstring& arguments = L"");
    ~ProgramUnderTest();  // ends a program that is still running
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    bool Started() const { return static_cast<bool>(process_); }
    // The dialog: a top-level window of this process with the property "Pinchwell" = 1.
    HWND WaitForDialog(DWORD timeoutMs = 15000) const;
    HWND FindDialog() const;
    // The next message box of this process (class "#32770" without the property).
    MessageBoxSeen WaitForMessageBox(DWORD timeoutMs = 15000) const;
    static void Answer(const MessageBoxSeen& box);
    bool WaitForExit(DWORD timeoutMs = 15000) const;
    DWORD ExitCode() const;
    DWORD ProcessId() const { return processId_; }

private:
    pinchwell::UniqueHandle process_;
    DWORD processId_ = 0;
};

// A small window of the driver's own that holds the foreground while it lives.
class ForegroundWindow {
public:
    ForegroundWindow();
    HWND get() const { return window_.get(); }

private:
    pinchwell::UniqueWindow window_;
};

// How many processes of the settings program run in the prefix.
int RunningSettingsPrograms();

// Control helpers over another process's dialog.
int CheckOf(HWND dialog, int id);
int PositionOf(HWND dialog, int id);
void SetPosition(HWND dialog, int id, int position);
bool IsControlEnabled(HWND dialog, int id);
std::wstring TextOf(HWND window);
// Clicks that open no message box are sent; ones that may are posted.
void Click(HWND dialog, int id);
void PostClick(HWND dialog, int id);
// Polls until the condition holds or the time is up; true when it held.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = 10000) {
    DWORD start = ::GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount() - start > timeoutMs) return false;
        ::Sleep(20);
    }
}
