#pragma once
// The settings dialog: the five settings of config.ini and the browser's Flash switch.
#include <windows.h>

#include <vector>

#include "ControlBinding.h"
#include "FlashFlags.h"
#include "Dialog.h"
#include "MessageMap.h"
#include "SettingsForm.h"
#include "pinchwell/UniqueHandle.h"

class CPinchwellConfigDlg : public CDialog {
public:
    CPinchwellConfigDlg();

    bool LoadSettingsIntoControls();
    // False when the zoom range was refused and nothing was written, or when the save
    // did not write everything (the user has been told what and why).
    bool SaveControlsToSettings();
    bool ValidateZoomRange();

protected:
    BOOL OnInitDialog() override;
    bool Dispatch(UINT message, MessageArgs& args) override;

private:
    void OnPaint(MessageArgs& args);
    void OnQueryDragIcon(MessageArgs& args);
    void OnEnableClicked(MessageArgs& args);
    void OnOkClicked(MessageArgs& args);
    void OnSliderCustomDraw(MessageArgs& args);
    void OnMinDefaultClicked(MessageArgs& args);
    void OnMaxDefaultClicked(MessageArgs& args);
    void OnFlashClicked(MessageArgs& args);
    void OnDestroy(MessageArgs& args);

    void ShowMessage(const UserMessage& message);
    // The line under the Enable checkbox: shown only while the browser keeps the add-on
    // off, which no setting of this dialog changes.
    void ShowWhyBrowserKeepsAddonOff();
    // Whether a save must run with an administrator's rights; the OK button then
    // carries the shield.
    void RequireElevation(bool required);

    // Rights that fall short: elevated through the shield where the user can gain an
    // administrator's, otherwise told that an administrator must save.
    void RightsFallShort();

    static const MessageMapEntry<CPinchwellConfigDlg> kMessageMap[];

    HICON icon_ = nullptr;  // shared icon from LoadIcon: the system owns it
    std::vector<ControlBinding> bindings_;
    HMODULE resourcesBefore_ = nullptr;  // the application's resources, kept loaded by it
    pinchwell::UniqueModule languageLibrary_;
    bool elevate_ = false;
    bool administratorMustSave_ = false;
    FlashState flashShown_ = FlashState::Allowed;
    int flashCheckAtLoad_ = 0;
};
