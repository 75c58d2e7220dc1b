#include "Win32DialogControls.h"

#include <commctrl.h>

#include "pinchwell/AnsiText.h"

int Win32DialogControls::GetCheck(int id) const {
    return static_cast<int>(::SendDlgItemMessageW(dialog_, id, BM_GETCHECK, 0, 0));
}

void Win32DialogControls::SetCheck(int id, int state) {
    ::SendDlgItemMessageW(dialog_, id, BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

int Win32DialogControls::GetPos(int id) const {
    return static_cast<int>(::SendDlgItemMessageW(dialog_, id, TBM_GETPOS, 0, 0));
}

void Win32DialogControls::SetPos(int id, int position) {
    ::SendDlgItemMessageW(dialog_, id, TBM_SETPOS, TRUE, position);
}

void Win32DialogControls::SetRange(int id, int low, int high) {
    ::SendDlgItemMessageW(dialog_, id, TBM_SETRANGEMIN, FALSE, low);
    ::SendDlgItemMessageW(dialog_, id, TBM_SETRANGEMAX, FALSE, high);
}

bool Win32DialogControls::IsEnabled(int id) const { return ::IsWindowEnabled(::GetDlgItem(dialog_, id)) != FALSE; }

void Win32DialogControls::Enable(int id, bool enable) { ::EnableWindow(::GetDlgItem(dialog_, id), enable); }

void Win32DialogControls::SetText(int id, const std::string& ansiText) {
    ::SetDlgItemTextW(dialog_, id, pinchwell::AnsiToWide(ansiText).c_str());
}
