#pragma once
// The dialog's controls as the settings logic sees them: checkboxes, trackbars and
// labels addressed by control id. The window adapter sends the real messages; tests
// use a recording substitute.
#include <string>

class DialogControls {
public:
    virtual ~DialogControls() = default;
    virtual int GetCheck(int id) const = 0;           // BM_GETCHECK
    virtual void SetCheck(int id, int state) = 0;     // BM_SETCHECK
    virtual int GetPos(int id) const = 0;             // TBM_GETPOS
    virtual void SetPos(int id, int position) = 0;    // TBM_SETPOS, redrawn
    virtual void SetRange(int id, int low, int high) = 0;  // not redrawn
    virtual bool IsEnabled(int id) const = 0;
    virtual void Enable(int id, bool enable) = 0;
    virtual void SetText(int id, const std::string& ansiText) = 0;
};
