#include "Dialog.h"

#include "ResourceModule.h"

CDialog::CDialog(int templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal() {
    return ::DialogBoxParamW(GetResourceModule(), MAKEINTRESOURCEW(templateId_), parent_, &CDialog::DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

int CDialog::MessageBox(const std::wstring& text, const std::wstring& caption, UINT type) const {
    return ::MessageBoxW(hwnd_, text.c_str(), caption.c_str(), type);
}

void CDialog::ModifyStyle(DWORD remove, DWORD add) {
    LONG_PTR style = ::GetWindowLongPtrW(hwnd_, GWL_STYLE);
    ::SetWindowLongPtrW(hwnd_, GWL_STYLE, (style & ~static_cast<LONG_PTR>(remove)) | add);
}

void CDialog::OnOK() { ::EndDialog(hwnd_, IDOK); }

void CDialog::OnCancel() { ::EndDialog(hwnd_, IDCANCEL); }

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // No exception may unwind through the system's dialog manager: a handler that
    // throws leaves the message unhandled.
    try {
        return Route(hwnd, message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}

INT_PTR CDialog::Route(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        self->hwnd_ = hwnd;
        return self->OnInitDialog();
    }
    auto* self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self) return FALSE;
    INT_PTR handled = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) self->hwnd_ = nullptr;
    return handled;
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    MessageArgs args{wParam, lParam};
    if (Dispatch(message, args)) {
        // WM_QUERYDRAGICON returns its result directly; the others through DWLP_MSGRESULT.
        if (message == WM_QUERYDRAGICON) return static_cast<INT_PTR>(args.result);
        ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, args.result);
        return TRUE;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
            case IDOK: OnOK(); return TRUE;
            case IDCANCEL: OnCancel(); return TRUE;
        }
    }
    return FALSE;
}
