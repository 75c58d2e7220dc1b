#include "SettingsForm.h"

#include "ResourceIds.h"
#include "Settings.h"
#include "ZoomRange.h"

namespace {
constexpr int kUnchecked = 0;
constexpr int kChecked = 1;
}  // namespace

bool LoadSettingsIntoControls(const std::vector<ControlBinding>& bindings, CSettings& settings,
                              DialogControls& controls, const QueryFlashFn& queryFlashEnabled) {
    controls.SetRange(IDC_MAX_ZOOM, kZoomSliderLow, kZoomSliderHigh);
    controls.SetRange(IDC_MIN_ZOOM, kZoomSliderLow, kZoomSliderHigh);
    for (const ControlBinding& row : bindings) {
        if (row.kind == BindingKind::Button)
            controls.SetCheck(row.controlId, settings.GetBool(row.key) ? kChecked : kUnchecked);
        else if (row.kind == BindingKind::Slider)
            controls.SetPos(row.controlId, settings.GetInt(row.key));
    }
    controls.SetCheck(IDC_ENABLE_FLASH, queryFlashEnabled() ? kChecked : kUnchecked);
    return true;
}

void FollowEnableCheckbox(DialogControls& controls) {
    controls.Enable(IDC_ENABLE_FLASH, controls.GetCheck(IDC_ENABLE) != 0);
}

std::string ValueTextForControl(const ControlBinding& binding, const DialogControls& controls) {
    if (binding.kind == BindingKind::Button) return BoolText(controls.GetCheck(binding.controlId) == kChecked);
    if (binding.kind == BindingKind::Slider) return IntText(controls.GetPos(binding.controlId));
    return {};
}

bool FlashAllowedOnSave(bool flashCheckboxEnabled, int flashCheckState) {
    return flashCheckboxEnabled ? flashCheckState != 0 : true;
}

SaveRequest RequestFromControls(const std::vector<ControlBinding>& bindings, const DialogControls& controls) {
    SaveRequest request;
    for (const ControlBinding& row : bindings) request.values.emplace_back(row.key, ValueTextForControl(row, controls));
    request.allowFlash = FlashAllowedOnSave(controls.IsEnabled(IDC_ENABLE_FLASH), controls.GetCheck(IDC_ENABLE_FLASH));
    return request;
}

bool SaveReport::Saved() const { return file.outcome == FileOutcome::Done && flashApplied && !elevationRefused; }

SaveReport SaveSettingsTo(const std::string& path, const SaveRequest& request, const WriteFileFn& writeFile,
                          const ApplyFlashFn& applyFlashEnabled) {
    SaveReport report;
    report.file = {path, writeFile(path, request.values)};
    report.flashApplied = !request.writeFlash || applyFlashEnabled(request.allowFlash);
    return report;
}

namespace {

MessageLine ReasonLine(const FileSave& file) {
    switch (file.outcome) {
        case FileOutcome::NoRights: return {IDS_SAVE_NO_RIGHTS, file.path};
        case FileOutcome::InUse: return {IDS_SAVE_IN_USE, file.path};
        case FileOutcome::Missing: return {IDS_SAVE_MISSING, file.path};
        case FileOutcome::ReadOnly: return {IDS_SAVE_READ_ONLY, file.path};
        case FileOutcome::Stranded: return {IDS_SAVE_STRANDED, file.keptIn};
        default: return {IDS_SAVE_FAILED, file.path};
    }
}

}  // namespace

UserMessage MessageAfterSave(const SaveReport& report) {
    if (report.Saved()) return {{{IDS_RESTART_BROWSER, ""}}, IDS_INFORMATION_CAPTION, MessageIcon::Information};
    UserMessage message{{}, IDS_ERROR_CAPTION, MessageIcon::Error};
    if (report.elevationRefused) {
        message.lines.push_back({IDS_ELEVATION_REFUSED, ""});
        return message;
    }
    if (report.file.outcome != FileOutcome::Done && report.readBack) {
        message.lines.push_back({IDS_SAVE_NOT_HELD, report.file.path});
    } else if (report.file.outcome != FileOutcome::Done) {
        message.lines.push_back({IDS_NOT_SAVED, ""});
        message.lines.push_back(ReasonLine(report.file));
    }
    if (!report.flashApplied) message.lines.push_back({IDS_FLASH_SWITCH_FAILED, ""});
    if (report.administratorNeeded) message.lines.push_back({IDS_ADMINISTRATOR_NEEDED, ""});
    return message;
}

void RestoreDefaultMinZoom(DialogControls& controls) {
    controls.SetPos(IDC_MIN_ZOOM, kDefaultMinZoom);
    controls.SetText(IDC_MIN_VALUE, IntText(kDefaultMinZoom));
}

void RestoreDefaultMaxZoom(DialogControls& controls) {
    controls.SetPos(IDC_MAX_ZOOM, kDefaultMaxZoom);
    controls.SetText(IDC_MAX_VALUE, IntText(kDefaultMaxZoom));
}

int ValueLabelForSlider(int sliderId) {
    switch (sliderId) {
        case IDC_MIN_ZOOM: return IDC_MIN_VALUE;
        case IDC_MAX_ZOOM: return IDC_MAX_VALUE;
        default: return 0;
    }
}

void ShowSliderValue(DialogControls& controls, int sliderId) {
    int label = ValueLabelForSlider(sliderId);
    if (label != 0) controls.SetText(label, IntText(controls.GetPos(sliderId)));
}
