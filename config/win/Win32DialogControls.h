#pragma once
// The settings logic's view of a live dialog: each call is one message to a control.
#include <windows.h>

#include "DialogControls.h"

class Win32DialogControls : public DialogControls {
public:
    explicit Win32DialogControls(HWND dialog) : dialog_(dialog) {}
    int GetCheck(int id) const override;
    void SetCheck(int id, int state) override;
    int GetPos(int id) const override;
    void SetPos(int id, int position) override;
    void SetRange(int id, int low, int high) override;
    bool IsEnabled(int id) const override;
    void Enable(int id, bool enable) override;
    void SetText(int id, const std::string& ansiText) override;

private:
    HWND dialog_;
};
