#include "ControlBinding.h"

#include "ResourceIds.h"
#include "Settings.h"

std::vector<ControlBinding> MakeControlBindings() {
    return {
        {SettingKey::Enable, IDC_ENABLE, BindingKind::Button},
        {SettingKey::MaxZoomRange, IDC_MAX_ZOOM, BindingKind::Slider},
        {SettingKey::MinZoomRange, IDC_MIN_ZOOM, BindingKind::Slider},
        {SettingKey::EnableFlash, IDC_ENABLE_FLASH, BindingKind::Button},
        {SettingKey::TwoFingerTap2Zoom100, IDC_TWO_FINGER_TAP, BindingKind::Button},
    };
}
