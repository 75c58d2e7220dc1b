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

SaveReport SaveControlValues(const std::vector<ControlBinding>& bindings, const DialogControls& controls,
                             const WriteKeyFn& writeKey, const ApplyFlashFn& applyFlashEnabled) {
    SaveReport report;
    for (const ControlBinding& row : bindings) {
        // Later keys are still tried: one unwritable key must not cost the others.
        if (!writeKey(row.key, ValueTextForControl(row, controls))) report.allKeysWritten = false;
    }
    bool allow = FlashAllowedOnSave(controls.IsEnabled(IDC_ENABLE_FLASH), controls.GetCheck(IDC_ENABLE_FLASH));
    report.flashApplied = applyFlashEnabled(allow);
    return report;
}

std::vector<UserMessage> MessagesAfterSave(const SaveReport& report) {
    std::vector<UserMessage> messages;
    if (!report.allKeysWritten)
        messages.push_back({IDS_CONFIG_FILE_MISSING, IDS_ERROR_CAPTION, MessageIcon::Error});
    if (!report.flashApplied)
        messages.push_back({IDS_FLASH_SWITCH_FAILED, IDS_ERROR_CAPTION, MessageIcon::Error});
    // The file was saved even when the Flash switch was not: the browser still has to
    // be restarted to take the new settings.
    if (report.allKeysWritten)
        messages.push_back({IDS_RESTART_BROWSER, IDS_INFORMATION_CAPTION, MessageIcon::Information});
    return messages;
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
