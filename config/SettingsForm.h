#pragma once
// What the settings dialog does with its controls: fill them from the settings
// file and the browser's Flash switch, keep the Flash checkbox following the Enable
// checkbox, restore defaults, and turn the controls back into key texts on save.
#include <functional>
#include <string>
#include <vector>

#include "ControlBinding.h"
#include "DialogControls.h"

class CSettings;

using QueryFlashFn = std::function<bool()>;                // true: Flash allowed
using ApplyFlashFn = std::function<bool(bool allow)>;      // true: switch written
using WriteKeyFn = std::function<bool(const std::string& key, const std::string& value)>;

// Sets both slider ranges, then each row's control from its key in table order,
// then the Flash checkbox from the browser's switch (it always shows the switch,
// not the file's "EnableFlash"). Returns true.
bool LoadSettingsIntoControls(const std::vector<ControlBinding>& bindings, CSettings& settings,
                              DialogControls& controls, const QueryFlashFn& queryFlashEnabled);

// The Flash checkbox is usable only while the add-on is switched on.
void FollowEnableCheckbox(DialogControls& controls);

// The text written for a row: "TRUE"/"FALSE" for a checkbox (checked means exactly
// BST_CHECKED), "%d" of the position for a slider.
std::string ValueTextForControl(const ControlBinding& binding, const DialogControls& controls);

// With the add-on switched off the browser always allows Flash, whatever the
// disabled checkbox shows.
bool FlashAllowedOnSave(bool flashCheckboxEnabled, int flashCheckState);

struct SaveReport {
    bool allKeysWritten = true;
    bool flashApplied = true;
};

// Writes every row in table order (each a write of its own), then sets the Flash
// switch. The range must have been checked before.
SaveReport SaveControlValues(const std::vector<ControlBinding>& bindings, const DialogControls& controls,
                             const WriteKeyFn& writeKey, const ApplyFlashFn& applyFlashEnabled);

enum class MessageIcon { Error, Information };

struct UserMessage {
    int textId;
    int captionId;
    MessageIcon icon;
};

// What the user is told after a save: the restart hint only when everything was
// written; otherwise what failed, the settings file first.
std::vector<UserMessage> MessagesAfterSave(const SaveReport& report);

// The Default buttons: the slider's default position and the matching label text.
void RestoreDefaultMinZoom(DialogControls& controls);
void RestoreDefaultMaxZoom(DialogControls& controls);

// The value label beside a slider shows its position; 0 for an unknown slider.
int ValueLabelForSlider(int sliderId);
void ShowSliderValue(DialogControls& controls, int sliderId);
