#include "PinchwellConfigDlg.h"

#include <commctrl.h>

#include <exception>

#include "BrowserAddonSwitch.h"
#include "ElevatedSave.h"
#include "FileBytes.h"
#include "FlashSwitch.h"
#include "LanguageLibrary.h"
#include "MinimizedIcon.h"
#include "ProgramFolder.h"
#include "ResourceIds.h"
#include "ResourceModule.h"
#include "Settings.h"
#include "SettingsFileAccess.h"
#include "Startup.h"
#include "Win32DialogControls.h"
#include "ZoomRange.h"
#include "pinchwell/AnsiText.h"

namespace {

// Painting of the minimised dialog, ended however the handler leaves.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window) { dc_ = ::BeginPaint(window_, &paint_); }
    ~PaintScope() { ::EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

UINT MessageBoxType(MessageIcon icon) { return icon == MessageIcon::Error ? MB_ICONERROR : MB_ICONINFORMATION; }

// A line's text in the program's language, its "%s" replaced by the argument.
std::wstring LineText(const MessageLine& line) {
    std::wstring text = LoadResourceString(line.textId);
    size_t at = text.find(L"%s");
    if (at != std::wstring::npos) text.replace(at, 2, pinchwell::AnsiToWide(line.argument));
    return text;
}

// Whether the user's own rights fall short anywhere a save writes.
bool SaveNeedsElevation() {
    WriteAccessFacts facts;
    facts.fileDenied = ReplaceDenied(GetConfigPath());
    facts.flashSwitchDenied = !MayApplyFlashSwitch();
    return NeedsElevation(facts);
}

}  // namespace

const MessageMapEntry<CPinchwellConfigDlg> CPinchwellConfigDlg::kMessageMap[] = {
    {WM_PAINT, 0, 0, &CPinchwellConfigDlg::OnPaint},
    {WM_QUERYDRAGICON, 0, 0, &CPinchwellConfigDlg::OnQueryDragIcon},
    {WM_COMMAND, IDC_ENABLE, BN_CLICKED, &CPinchwellConfigDlg::OnEnableClicked},
    {WM_COMMAND, IDOK, BN_CLICKED, &CPinchwellConfigDlg::OnOkClicked},
    {WM_NOTIFY, IDC_MIN_ZOOM, static_cast<int>(NM_CUSTOMDRAW), &CPinchwellConfigDlg::OnSliderCustomDraw},
    {WM_NOTIFY, IDC_MAX_ZOOM, static_cast<int>(NM_CUSTOMDRAW), &CPinchwellConfigDlg::OnSliderCustomDraw},
    {WM_COMMAND, IDC_MIN_DEFAULT, BN_CLICKED, &CPinchwellConfigDlg::OnMinDefaultClicked},
    {WM_COMMAND, IDC_MAX_DEFAULT, BN_CLICKED, &CPinchwellConfigDlg::OnMaxDefaultClicked},
    {WM_COMMAND, IDC_ENABLE_FLASH, BN_CLICKED, &CPinchwellConfigDlg::OnFlashClicked},
    {WM_DESTROY, 0, 0, &CPinchwellConfigDlg::OnDestroy},
};

CPinchwellConfigDlg::CPinchwellConfigDlg() : CDialog(IDD_PINCHWELLCONFIG_DIALOG) {
    resourcesBefore_ = GetResourceModule();
    languageLibrary_ = LoadLanguageLibrary();
    icon_ = ::LoadIconW(GetResourceModule(), MAKEINTRESOURCEW(IDR_MAINFRAME));
    if (!icon_) icon_ = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    bindings_ = MakeControlBindings();
}

bool CPinchwellConfigDlg::Dispatch(UINT message, MessageArgs& args) {
    return DispatchMessageMap(*this, kMessageMap, message, args);
}

BOOL CPinchwellConfigDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ::SendMessageW(GetSafeHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    ::SendMessageW(GetSafeHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    try {
        LoadSettingsIntoControls();
        Win32DialogControls controls(GetSafeHwnd());
        FollowEnableCheckbox(controls);
    } catch (const std::exception&) {
        // Memory ran out while loading: the dialog still opens with what was loaded.
        MessageBox(LoadResourceString(IDS_INTERNAL_ERROR_REINSTALL), LoadResourceString(IDS_ERROR_CAPTION),
                   MB_ICONERROR);
    }
    ShowWhyBrowserKeepsAddonOff();
    if (SaveNeedsElevation()) RightsFallShort();
    ::SetPropW(GetSafeHwnd(), pinchwell::AnsiToWide(kInstanceProperty).c_str(),
               reinterpret_cast<HANDLE>(kInstancePropertyValue));
    ModifyStyle(WS_THICKFRAME, 0);
    ModifyStyle(WS_MAXIMIZEBOX, 0);
    return TRUE;
}

bool CPinchwellConfigDlg::LoadSettingsIntoControls() {
    Win32DialogControls controls(GetSafeHwnd());
    CSettings settings;
    bool loaded = ::LoadSettingsIntoControls(bindings_, settings, controls, [this] {
        flashShown_ = QueryFlashState();
        return flashShown_ != FlashState::Blocked;
    });
    flashCheckAtLoad_ = controls.GetCheck(IDC_ENABLE_FLASH);
    return loaded;
}

bool CPinchwellConfigDlg::ValidateZoomRange() {
    Win32DialogControls controls(GetSafeHwnd());
    if (IsZoomRangeValid(controls.GetPos(IDC_MIN_ZOOM), controls.GetPos(IDC_MAX_ZOOM))) return true;
    ShowMessage({{{IDS_ZOOM_RANGE_REFUSED, ""}}, IDS_INFORMATION_CAPTION, MessageIcon::Information});
    return false;
}

bool CPinchwellConfigDlg::SaveControlsToSettings() {
    if (!ValidateZoomRange()) return false;
    Win32DialogControls controls(GetSafeHwnd());
    SaveRequest request = RequestFromControls(bindings_, controls);
    request.writeFlash = FlashSwitchToBeWritten(flashShown_, flashCheckAtLoad_, controls.GetCheck(IDC_ENABLE_FLASH));
    const std::string path = GetConfigPath();
    SaveReport report = elevate_ ? SaveSettingsElevated(GetSafeHwnd(), request, path) : SaveSettingsHere(request, path);
    report.administratorNeeded = administratorMustSave_ && !report.Saved();
    ShowMessage(MessageAfterSave(report));
    if (report.Saved()) return true;
    // Rights that fell short without the probe noticing (they changed, or the probe
    // could not tell): the next OK asks for an administrator's.
    if (report.file.outcome == FileOutcome::NoRights) RightsFallShort();
    return false;
}

void CPinchwellConfigDlg::ShowWhyBrowserKeepsAddonOff() {
    int line = AddonOffLine(WhyBrowserKeepsAddonOff(GatherBrowserAddonFacts()));
    if (line == 0) return;  // the template has the line hidden
    HWND label = GetDlgItem(IDC_ADDON_OFF);
    ::SetWindowTextW(label, LoadResourceString(line).c_str());
    ::ShowWindow(label, SW_SHOWNA);
}

void CPinchwellConfigDlg::RightsFallShort() {
    TokenFacts token = GatherTokenFacts();
    administratorMustSave_ = AdministratorMustSave(token);
    RequireElevation(CanGainAdministratorRights(token));
}

void CPinchwellConfigDlg::RequireElevation(bool required) {
    elevate_ = required;
    ::SendMessageW(GetDlgItem(IDOK), BCM_SETSHIELD, 0, required ? TRUE : FALSE);
}

void CPinchwellConfigDlg::ShowMessage(const UserMessage& message) {
    std::wstring text;
    for (const MessageLine& line : message.lines) {
        if (!text.empty()) text += L"\n";
        text += LineText(line);
    }
    MessageBox(text, LoadResourceString(message.captionId), MessageBoxType(message.icon));
}

// A save that did not write everything leaves the dialog open with the user's edits,
// so that nothing is lost and OK can be tried again.
void CPinchwellConfigDlg::OnOkClicked(MessageArgs&) {
    try {
        if (!SaveControlsToSettings()) return;
        // A library loaded as resources is a mapping of its own for each load: the
        // resources go back to the application's before this one is unmapped.
        SetResourceModule(resourcesBefore_);
        languageLibrary_.reset();
    } catch (const std::exception&) {
        // Memory ran out while saving: the user is told, and the edits stay.
        ShowMessage({{{IDS_NOT_SAVED, ""}}, IDS_ERROR_CAPTION, MessageIcon::Error});
        return;
    }
    OnOK();
}

void CPinchwellConfigDlg::OnEnableClicked(MessageArgs&) {
    Win32DialogControls controls(GetSafeHwnd());
    FollowEnableCheckbox(controls);
}

void CPinchwellConfigDlg::OnSliderCustomDraw(MessageArgs& args) {
    const auto* header = reinterpret_cast<const NMHDR*>(args.lParam);
    Win32DialogControls controls(GetSafeHwnd());
    ShowSliderValue(controls, static_cast<int>(header->idFrom));
    args.result = CDRF_DODEFAULT;
}

void CPinchwellConfigDlg::OnMinDefaultClicked(MessageArgs&) {
    Win32DialogControls controls(GetSafeHwnd());
    RestoreDefaultMinZoom(controls);
}

void CPinchwellConfigDlg::OnMaxDefaultClicked(MessageArgs&) {
    Win32DialogControls controls(GetSafeHwnd());
    RestoreDefaultMaxZoom(controls);
}

void CPinchwellConfigDlg::OnFlashClicked(MessageArgs&) {}

// A window's properties are removed before it is destroyed.
void CPinchwellConfigDlg::OnDestroy(MessageArgs&) {
    ::RemovePropW(GetSafeHwnd(), pinchwell::AnsiToWide(kInstanceProperty).c_str());
}

void CPinchwellConfigDlg::OnQueryDragIcon(MessageArgs& args) { args.result = reinterpret_cast<LRESULT>(icon_); }

void CPinchwellConfigDlg::OnPaint(MessageArgs&) {
    HWND hwnd = GetSafeHwnd();
    PaintScope paint(hwnd);
    // Restored, the dialog has nothing of its own to draw: its controls paint themselves.
    if (!::IsIconic(hwnd)) return;
    ::SendMessageW(hwnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.dc()), 0);
    RECT client{};
    ::GetClientRect(hwnd, &client);
    IconOrigin at = MinimizedIconOrigin(client.right - client.left, client.bottom - client.top,
                                        ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON));
    ::DrawIcon(paint.dc(), at.x, at.y, icon_);
}
