#include "ElevatedSave.h"

#include "ControlBinding.h"
#include "Settings.h"
#include "ZoomRange.h"

namespace {

const char kFlashAllow[] = "Flash=allow";
const char kFlashBlock[] = "Flash=block";

// The exit code: a marker bit, the number of files, three bits of outcome per file
// and one for the Flash switch. Process exit codes with the top bits set are the
// system's (crashes), so the marker stays below them.
constexpr std::uint32_t kReportMarker = 0x20000000;
constexpr std::uint32_t kFlashFailedBit = 0x10000000;
constexpr int kCountShift = 24;
constexpr std::uint32_t kCountMask = 0xF;
constexpr int kOutcomeBits = 3;
constexpr std::uint32_t kOutcomeMask = 0x7;
constexpr std::size_t kMostFiles = 8;  // 8 x 3 bits below the count
constexpr std::uint32_t kReportBits =
    kReportMarker | kFlashFailedBit | (kCountMask << kCountShift) | ((1u << (kOutcomeBits * kMostFiles)) - 1);

// A slider's value exactly as IntText writes it (no sign, space or leading zero) and
// within the sliders' range; a checkbox's "TRUE" or "FALSE".
bool IsValueFor(const ControlBinding& row, const std::string& value) {
    if (row.kind == BindingKind::Button) return value == BoolText(true) || value == BoolText(false);
    int number = ParseInt(value);
    return IntText(number) == value && number >= kZoomSliderLow && number <= kZoomSliderHigh;
}

}  // namespace

std::vector<std::string> SaveRequestArguments(const SaveRequest& request) {
    std::vector<std::string> arguments{kSaveSwitch};
    for (const auto& [key, value] : request.values) arguments.push_back(key + "=" + value);
    arguments.push_back(request.allowFlash ? kFlashAllow : kFlashBlock);
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
    if (flash != kFlashAllow && flash != kFlashBlock) return std::nullopt;
    request.allowFlash = flash == kFlashAllow;
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
    if (report.files.size() > kMostFiles) return kRequestRefusedExitCode;
    std::uint32_t code = kReportMarker | (static_cast<std::uint32_t>(report.files.size()) << kCountShift);
    for (std::size_t i = 0; i < report.files.size(); ++i)
        code |= static_cast<std::uint32_t>(report.files[i].outcome) << (kOutcomeBits * i);
    if (!report.flashApplied) code |= kFlashFailedBit;
    return code;
}

SaveReport ReportFromExitCode(std::uint32_t code, const std::vector<std::string>& targets) {
    SaveReport report;
    const bool carriesReport = (code & kReportMarker) && (code & ~kReportBits) == 0 &&
                               ((code >> kCountShift) & kCountMask) == targets.size();
    for (std::size_t i = 0; i < targets.size(); ++i) {
        FileOutcome outcome = FileOutcome::Failed;
        const std::uint32_t bits = (code >> (kOutcomeBits * i)) & kOutcomeMask;
        if (carriesReport && bits <= static_cast<std::uint32_t>(FileOutcome::Failed))
            outcome = static_cast<FileOutcome>(bits);
        report.files.push_back({targets[i], outcome});
    }
    report.flashApplied = carriesReport && (code & kFlashFailedBit) == 0;
    return report;
}
