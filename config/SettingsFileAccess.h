#pragma once
// The settings files as the file system shows them to the settings program, and the
// save that runs with an administrator's rights when the user's own do not reach.
#include <windows.h>

#include <string>
#include <vector>

#include "SettingsFiles.h"
#include "SettingsForm.h"

// The settings files of every program folder (GetConfigPaths), with what the file
// system says of each.
std::vector<SettingsFileFacts> GatherSettingsFiles();

// The save a dialog makes itself: every target written whole, then the Flash switch.
SaveReport SaveSettingsHere(const SaveRequest& request, const std::vector<std::string>& targets);

// Starts the program again with an administrator's rights (the system asks the user
// for them) to make the save, and waits for its report with the owner disabled. When
// the user refuses, the report says so and nothing was written.
SaveReport SaveSettingsElevated(HWND owner, const SaveRequest& request, const std::vector<std::string>& targets);

// The elevated side: saves what the command line asks, if it is a request the dialog
// could have made, and returns the exit code that carries the report.
DWORD SaveAsRequested(const std::vector<std::string>& arguments);

// The program's command line after its name, as ANSI strings.
std::vector<std::string> CommandLineArguments();
