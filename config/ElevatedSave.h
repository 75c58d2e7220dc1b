#pragma once
// A save handed to a copy of the program that runs with an administrator's rights,
// for a user whose own rights do not reach the settings file or the browser's Flash
// key: the request travels as that copy's command line, its report as its exit code.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "SettingsForm.h"

// Whether saving needs an administrator's rights: only when something was denied to
// the user, not when it is missing or busy.
struct WriteAccessFacts {
    bool fileDenied = false;         // the settings file or its folder refused a write
    bool flashSwitchDenied = false;  // the registry refused the browser's Flash key
};
bool NeedsElevation(const WriteAccessFacts& facts);

// The user's token as the system describes it (TokenElevationType, membership of the
// Administrators group) and whether User Account Control is on.
enum class TokenElevationKind { Default, Full, Limited };
struct TokenFacts {
    TokenElevationKind elevation = TokenElevationKind::Default;
    bool administrator = false;
    bool userAccountControl = true;
};
// Whether asking for an administrator's rights ("runas") can bring more than the user
// has: an administrator's filtered token can be raised, and with User Account Control a
// standard user can give an administrator's name and password. With it off, or already
// raised, the copy would run with the same rights.
bool CanGainAdministratorRights(const TokenFacts& facts);
// A standard user who cannot gain them is told that an administrator must save.
bool AdministratorMustSave(const TokenFacts& facts);

// The command line's first argument, which makes the program save and end without a
// window.
inline constexpr const char* kSaveSwitch = "/save";

// The arguments after the program's name: the switch, each key as "key=value" in table
// order, and "Flash=allow", "Flash=block" or "Flash=keep" (left as it is).
std::vector<std::string> SaveRequestArguments(const SaveRequest& request);

// A copy running with higher rights takes nothing it is handed on trust: none unless the
// arguments are exactly what SaveRequestArguments makes of a request the dialog could
// have made (the five keys in table order, "TRUE"/"FALSE" for the checkboxes, zoom
// limits within the sliders' range with the minimum below the maximum).
std::optional<SaveRequest> ParseSaveRequest(const std::vector<std::string>& arguments);

// The report as an exit code, and back: the outcome of the settings file and of the
// Flash switch. A code that carries no report (the copy refused its request or did not
// run to its end) reads as the file and the switch failed.
inline constexpr std::uint32_t kRequestRefusedExitCode = 2;
std::uint32_t ExitCodeOf(const SaveReport& report);
bool CarriesReport(std::uint32_t code);
SaveReport ReportFromExitCode(std::uint32_t code, const std::string& path);
class CSettings;
// Whether the settings hold exactly these values.
bool SettingsHold(CSettings& settings, const IniKeyValues& values);
// A copy that ended without a report (it crashed, or was ended) may have written: the
// report then says what the file and the switch were found to hold.
SaveReport ReportFromReadBack(const std::string& path, bool fileHoldsRequest, bool switchHoldsRequest);
