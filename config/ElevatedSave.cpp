#include "ElevatedSave.h"

#include "ControlBinding.h"
#include "Settings.h"
#include "ZoomRange.h"

namespace {

const char kFlashAllow[] = "Flash=allow";
const char kFlashBlock[] = "Flash=block";
const char kFlashKeep[] = "Flash=keep";

// The exit code: a marker bit, one bit for the Flash switch and three bits of the
// file's outcome. Process exit codes with the top bits set are the system's (crashes),
// so the marker stays below them.
constexpr std::uint32_t kReportMarker = 0x20000000;
constexpr std::uint32_t kFlashFailedBit = 0x10000000;
constexpr std::uint32_t kOutcomeMask = 0x7;
constexpr std::uint32_t kReportBits = kReportMarker | kFlashFailedBit | kOutcomeMask;

// A slider's value exactly as IntText writes it (no sign, space or leading zero) and
// within the sliders' range; a checkbox's "TRUE" or "FALSE".
bool IsValueFor(const ControlBinding& row, const std::string& value) {
    if (row.kind == BindingKind::Button) return value == BoolText(true) || value == BoolText(false);
    int number = ParseInt(value);
    return IntText(number) == value && number >= kZoomSliderLow && number <= kZoomSliderHigh;
}

}  // namespace

bool NeedsElevation(const WriteAccessFacts& facts) { return facts.fileDenied || facts.flashSwitchDenied; }

bool CanGainAdministratorRights(const TokenFacts& facts) {
    switch (facts.elevation) {
        case TokenElevationKind::Limited: return true;
        case TokenElevationKind::Full: return false;
        case TokenElevationKind::Default: return facts.userAccountControl && !facts.administrator;
    }
    return false;
}

bool AdministratorMustSave(const TokenFacts& facts) {
    return !facts.administrator && !CanGainAdministratorRights(facts);
}

std::vector<std::string> SaveRequestArguments(const SaveRequest& request) {
    std::vector<std::string> arguments{kSaveSwitch};
    for (const auto& [key, value] : request.values) arguments.push_back(key + "=" + value);
    arguments.push_back(!request.writeFlash ? kFlashKeep : request.allowFlash ? kFlashAllow : kFlashBlock);
    return arguments;
}

std::optional<SaveRequest> ParseSaveRequest(const std::vector<std::string>& arguments) {
    const std::vector<ControlBinding> rows = MakeControlBindings();
    if (arguments.size() != rows.size() + 2 || arguments.front() != kSaveSwitch) return std::nullopt;
    SaveRequest request;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string& argument = arguments[i + 1];
        const std::string prefix = rows[i].key + "=";
        if (argument.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
        std::string value = argument.substr(prefix.size());
        if (!IsValueFor(rows[i], value)) return std::nullopt;
        request.values.emplace_back(rows[i].key, value);
    }
    const std::string& flash = arguments.back();
    if (flash != kFlashAllow && flash != kFlashBlock && flash != kFlashKeep) return std::nullopt;
    request.allowFlash = flash == kFlashAllow;
    request.writeFlash = flash != kFlashKeep;
    int minZoom = 0;
    int maxZoom = 0;
    for (const auto& [key, value] : request.values) {
        if (key == SettingKey::MinZoomRange) minZoom = ParseInt(value);
        if (key == SettingKey::MaxZoomRange) maxZoom = ParseInt(value);
    }
    if (!IsZoomRangeValid(minZoom, maxZoom)) return std::nullopt;
    return request;
}

std::uint32_t ExitCodeOf(const SaveReport& report) {
    std::uint32_t code = kReportMarker | static_cast<std::uint32_t>(report.file.outcome);
    if (!report.flashApplied) code |= kFlashFailedBit;
    return code;
}

bool CarriesReport(std::uint32_t code) {
    return (code & kReportMarker) && (code & ~kReportBits) == 0 &&
           (code & kOutcomeMask) <= static_cast<std::uint32_t>(kLastFileOutcome);
}

SaveReport ReportFromExitCode(std::uint32_t code, const std::string& path) {
    const std::uint32_t outcome = code & kOutcomeMask;
    const bool carriesReport = CarriesReport(code);
    SaveReport report;
    report.file = {path, carriesReport ? static_cast<FileOutcome>(outcome) : FileOutcome::Failed};
    report.flashApplied = carriesReport && (code & kFlashFailedBit) == 0;
    return report;
}

bool SettingsHold(CSettings& settings, const IniKeyValues& values) {
    for (const auto& [key, value] : values)
        if (settings.GetString(key) != value) return false;
    return true;
}

SaveReport ReportFromReadBack(const std::string& path, bool fileHoldsRequest, bool switchHoldsRequest) {
    SaveReport report;
    report.file = {path, fileHoldsRequest ? FileOutcome::Done : FileOutcome::Failed};
    report.flashApplied = switchHoldsRequest;
    report.readBack = true;
    return report;
}
