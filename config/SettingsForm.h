#pragma once
// What the settings dialog does with its controls: fill them from the settings
// file and the browser's Flash switch, keep the Flash checkbox following the Enable
// checkbox, restore defaults, turn the controls back into key texts and save them to
// the settings file.
#include <functional>
#include <string>
#include <vector>

#include "ControlBinding.h"
#include "DialogControls.h"
#include "IniFile.h"

class CSettings;

using QueryFlashFn = std::function<bool()>;                // true: Flash allowed
using ApplyFlashFn = std::function<bool(bool allow)>;      // true: switch written

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

// Everything a save writes: the five rows' texts in table order, and the Flash switch
// unless it is to be left as it is.
struct SaveRequest {
    IniKeyValues values;
    bool allowFlash = true;
    bool writeFlash = true;
};
SaveRequest RequestFromControls(const std::vector<ControlBinding>& bindings, const DialogControls& controls);

struct FileSave {
    std::string path;
    FileOutcome outcome = FileOutcome::Failed;
    std::string keptIn = {};  // Stranded: the temporary file that holds the new settings
};

struct SaveReport {
    FileSave file;
    bool flashApplied = true;
    bool elevationRefused = false;  // the user did not give an administrator's rights
    bool administratorNeeded = false;  // rights fell short and the user cannot gain them
    bool readBack = false;  // the save gave no report: the file and the switch were looked at
    // The file and the Flash switch written: only then is the save reported done.
    bool Saved() const;
};

using WriteFileFn = std::function<FileOutcome(const std::string& path, const IniKeyValues& values)>;

// Writes the keys into the settings file, whole or not at all, then sets the Flash
// switch unless it is left as it is. The range must have been checked before.
SaveReport SaveSettingsTo(const std::string& path, const SaveRequest& request, const WriteFileFn& writeFile,
                          const ApplyFlashFn& applyFlashEnabled);

enum class MessageIcon { Error, Information };

// One line of a message: a string of the program's resources, whose "%s" (if any)
// stands for the argument, the settings file's path.
struct MessageLine {
    int textId;
    std::string argument;
};

struct UserMessage {
    std::vector<MessageLine> lines;
    int captionId;
    MessageIcon icon;
};

// What the user is told after a save: the restart hint only when everything was
// written; otherwise that the file was not saved and why, and whether the Flash switch
// failed. Nothing is said to be saved that was not.
UserMessage MessageAfterSave(const SaveReport& report);

// The Default buttons: the slider's default position and the matching label text.
void RestoreDefaultMinZoom(DialogControls& controls);
void RestoreDefaultMaxZoom(DialogControls& controls);

// The value label beside a slider shows its position; 0 for an unknown slider.
int ValueLabelForSlider(int sliderId);
void ShowSliderValue(DialogControls& controls, int sliderId);
