#pragma once
// The settings file as the file system shows it to the settings program, and the save
// that runs with an administrator's rights when the user's own do not reach.
#include <windows.h>

#include <string>
#include <vector>

#include "ElevatedSave.h"
#include "SettingsForm.h"

// Whether the settings file is there to be shown and saved to.
bool SettingsFileExists(const std::string& path);

// The save a dialog makes itself: the file written whole, then the Flash switch.
SaveReport SaveSettingsHere(const SaveRequest& request, const std::string& path);

// What the user's token allows: whether asking for an administrator's rights can bring
// more than the user has.
TokenFacts GatherTokenFacts();

// Starts the program again with an administrator's rights (the system asks the user
// for them) to make the save, and waits for its report with the owner disabled from
// before the request on, so that no click reaches it while the system asks. When the
// user refuses, the report says so and nothing was written.
SaveReport SaveSettingsElevated(HWND owner, const SaveRequest& request, const std::string& path);
// The same with another program in this one's place, for tests.
SaveReport SaveSettingsElevatedBy(const std::wstring& program, HWND owner, const SaveRequest& request,
                                  const std::string& path);

// The elevated side: saves what the command line asks, if it is a request the dialog
// could have made, and returns the exit code that carries the report.
DWORD SaveAsRequested(const std::vector<std::string>& arguments);

// The program's command line after its name, as ANSI strings.
std::vector<std::string> CommandLineArguments();
