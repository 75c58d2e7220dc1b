#include "ControlHost.h"

#include <mshtmhst.h>
#include <ocidl.h>
#include <oleidl.h>
#include <servprov.h>
#include <urlmon.h>

#include <new>

#include <pinchwell/ComBoundary.h>

#include "PreviewSecurityManager.h"

using pinchwell::ComPtr;

const wchar_t kControlHostClass[] = L"PinchwellControlHost";

namespace {

// The site of the one control in a host window, and the window's state: the window holds
// one reference from its creation to its last message; the control holds others while it
// is embedded. It deletes itself when the last reference goes.
class ControlSite final : public IOleClientSite,
                          public IOleInPlaceSite,
                          public IOleInPlaceFrame,
                          public IDocHostUIHandler,
                          public IServiceProvider {
public:
    explicit ControlSite(HWND window) : window_(window) {}
    ControlSite(const ControlSite&) = delete;
    ControlSite& operator=(const ControlSite&) = delete;

    HRESULT Embed(const wchar_t* clsid, IUnknown** control) {
        *control = nullptr;
        if (control_ || !window_) return E_UNEXPECTED;
        CLSID id = {};
        HRESULT hr = ::CLSIDFromString(clsid, &id);
        if (FAILED(hr)) return hr;
        ComPtr<IOleObject> object;
        hr = ::CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, object.put_void());
        if (FAILED(hr)) return hr;
        if (!object) return E_NOINTERFACE;
        object->SetClientSite(this);
        if (auto persist = object.As<IPersistStreamInit>(IID_IPersistStreamInit)) persist->InitNew();
        RECT area = {};
        ::GetClientRect(window_, &area);
        hr = object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, window_, &area);
        if (FAILED(hr)) {
            Close(object.get());
            return hr;
        }
        control_ = object;
        return object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(control));
    }

    // The window's client area changed: the control follows it.
    void Resize() {
        auto inPlace = control_.As<IOleInPlaceObject>(IID_IOleInPlaceObject);
        if (!inPlace) return;
        RECT area = {};
        ::GetClientRect(window_, &area);
        inPlace->SetObjectRects(&area, &area);
    }

    // The control may run this page's script (empty: none).
    void Trust(const std::wstring& templatePath) { trustedPage_ = templatePath; }

    // The window is going: the control is closed and let go; the site forgets the window.
    void Detach() {
        ComPtr<IOleObject> object = std::move(control_);
        if (object) Close(object.get());
        window_ = nullptr;
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite)
            *out = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
            *out = static_cast<IOleInPlaceSite*>(this);
        else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
            *out = static_cast<IOleInPlaceFrame*>(this);
        else if (iid == __uuidof(IDocHostUIHandler))
            *out = static_cast<IDocHostUIHandler*>(this);
        else if (iid == __uuidof(IServiceProvider))
            *out = static_cast<IServiceProvider*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        if (moniker) *moniker = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
        if (container) *container = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (of the in-place site and the frame)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window) return E_POINTER;
        *window = window_;
        return window_ ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return window_ ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                               LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
        if (!frame || !document || !position || !clip || !info) return E_POINTER;
        *frame = nullptr;
        *document = nullptr;
        if (!window_) return E_UNEXPECTED;  // the window has gone: there is no place for the control
        *frame = this;
        AddRef();
        ::GetClientRect(window_, position);
        *clip = *position;
        info->fMDIApp = FALSE;
        info->hwndFrame = window_;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }

    // IOleInPlaceFrame
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDocHostUIHandler. S_FALSE and E_NOTIMPL, as the interface documents them, let the
    // control go on as it does without a handler. (EnableModeless is the frame's: S_OK.)
    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override {
        return S_OK;  // shown by the host, that is: no menu at all
    }
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override {
        if (!info) return E_POINTER;
        if (info->cbSize < sizeof(DOCHOSTUIINFO)) return E_INVALIDARG;
        info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO;
        info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
        info->pchHostCss = nullptr;
        info->pchHostNS = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                     IOleInPlaceUIWindow*) override {
        return S_FALSE;  // the control shows its own
    }
    HRESULT STDMETHODCALLTYPE HideUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UpdateUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD) override {
        if (key) *key = nullptr;
        return S_FALSE;  // the control's own settings
    }
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget*, IDropTarget** target) override {
        if (target) *target = nullptr;
        return E_NOTIMPL;  // the control's own
    }
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** external) override {
        if (external) *external = nullptr;
        return E_NOTIMPL;  // no window.external
    }
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) override {
        if (translated) *translated = nullptr;
        return S_FALSE;  // not translated
    }
    HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject*, IDataObject** filtered) override {
        if (filtered) *filtered = nullptr;
        return S_FALSE;  // not replaced
    }

    // IServiceProvider: the security manager, once a template page is trusted; no other
    // service.
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (service != SID_SInternetSecurityManager) return SVC_E_UNKNOWNSERVICE;
        if (trustedPage_.empty()) return E_NOINTERFACE;
        return pinchwell::ComBoundary([&] { return CreatePreviewSecurityManager(trustedPage_, iid, out); });
    }

private:
    ~ControlSite() = default;  // only through Release

    void Close(IOleObject* object) {
        if (auto inPlace = ComPtr<IOleObject>(object).As<IOleInPlaceObject>(IID_IOleInPlaceObject))
            inPlace->InPlaceDeactivate();
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
    }

    ULONG refs_ = 1;  // the window's
    HWND window_;
    ComPtr<IOleObject> control_;
    std::wstring trustedPage_;
};

ControlSite* SiteOf(HWND window) {
    return reinterpret_cast<ControlSite*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT HandleHostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: {
        auto* site = new (std::nothrow) ControlSite(window);
        if (!site) return FALSE;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(site));  // the window's reference
        break;
    }
    case WM_SIZE:
        if (ControlSite* site = SiteOf(window)) site->Resize();
        break;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;  // a click leaves the active window and its focus as they are
    case WM_DESTROY:
        if (ControlSite* site = SiteOf(window)) site->Detach();
        break;
    case WM_NCDESTROY: {
        ComPtr<ControlSite> windowReference;
        *windowReference.put() = SiteOf(window);  // taken over, released on leaving
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    }
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK ControlHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // No exception may leave a window procedure.
    try {
        return HandleHostMessage(window, message, wParam, lParam);
    } catch (...) {
        return message == WM_NCCREATE ? FALSE : ::DefWindowProcW(window, message, wParam, lParam);
    }
}

bool IsControlHost(HWND window) {
    wchar_t name[64] = {};
    return ::GetClassNameW(window, name, 64) > 0 && ::lstrcmpiW(name, kControlHostClass) == 0;
}

ControlFactory& CurrentFactory() {
    static ControlFactory factory = EmbedControl;
    return factory;
}

}  // namespace

void RegisterControlHostClass(HINSTANCE instance) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ControlHostProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kControlHostClass;
    ::RegisterClassExW(&wc);  // already registered by another tab: fine
}

HRESULT EmbedControl(HWND host, const wchar_t* clsid, IUnknown** control) {
    if (!control) return E_POINTER;
    *control = nullptr;
    if (!host || !clsid || !IsControlHost(host)) return E_INVALIDARG;
    ControlSite* site = SiteOf(host);
    if (!site) return E_UNEXPECTED;
    return site->Embed(clsid, control);
}

HRESULT TrustTemplatePage(HWND host, const std::wstring& templatePath) {
    if (!host || !IsControlHost(host)) return E_INVALIDARG;
    ControlSite* site = SiteOf(host);
    if (!site) return E_UNEXPECTED;
    return pinchwell::ComBoundary([&] {
        site->Trust(templatePath);
        return S_OK;
    });
}

HRESULT CreateHostedControl(HWND host, const wchar_t* clsid, IUnknown** control) {
    return CurrentFactory()(host, clsid, control);
}

ControlFactory SetControlFactory(ControlFactory factory) {
    ControlFactory previous = CurrentFactory();
    CurrentFactory() = factory ? factory : EmbedControl;
    return previous;
}
