#pragma once
// A modal dialog built on a dialog template of the current resource module. Derived
// dialogs route messages to their handlers through a message map (MessageMap.h);
// OK and Cancel end the dialog unless the map handles them.
#include <windows.h>

#include <string>

struct MessageArgs {
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;  // the message's result where the message has one
};

class CDialog {
public:
    explicit CDialog(int templateId, HWND parent = nullptr);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the modal loop; IDOK, IDCANCEL, or -1 when the template cannot be loaded.
    INT_PTR DoModal();

    HWND GetSafeHwnd() const { return hwnd_; }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(hwnd_, id); }
    int MessageBox(const std::wstring& text, const std::wstring& caption, UINT type) const;
    void ModifyStyle(DWORD remove, DWORD add);

protected:
    // Called when the controls exist; TRUE lets the system set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK();
    virtual void OnCancel();
    // The derived dialog's message map: true when it handled the message.
    virtual bool Dispatch(UINT message, MessageArgs& args) = 0;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR Route(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    int templateId_;
    HWND parent_;
    HWND hwnd_ = nullptr;
};
