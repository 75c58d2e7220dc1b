#include "EventSinkEvents.h"

#include <optional>

#include <pinchwell/ComPtr.h>

#include "AddonState.h"
#include "ComIds.h"
#include "EventSinkDecisions.h"
#include "EventSinkInvoke.h"
#include "WebBrowserHost.h"
#include "ZoomPreview.h"

namespace {

std::uint32_t ReadWindowStateInteger(const VARIANT& v) {
    switch (V_VT(&v)) {
        case VT_UI4: return V_UI4(&v);
        case VT_INT: return static_cast<std::uint32_t>(V_INT(&v));
        case VT_UINT: return V_UINT(&v);
        default: return static_cast<std::uint32_t>(V_I4(&v));  // VT_I4
    }
}

// The dispatch pointer of the argument, by value or through its reference; null where a
// reference points nowhere.
IDispatch* ReadDispatchArgument(const VARIANT& v) {
    if (V_VT(&v) == VT_DISPATCH) return V_DISPATCH(&v);
    IDispatch** ref = V_DISPATCHREF(&v);
    return ref ? *ref : nullptr;
}

void ResetZoomIfTopLevel(IDispatch* completed, EventSinkTarget& target) {
    IWebBrowser2* browser = target.CurrentTabBrowser();
    if (!browser || !completed) return;
    pinchwell::ComPtr<IDispatch> identity;
    if (FAILED(browser->QueryInterface(IID_IDispatch, identity.put_void())) || identity.get() != completed) return;
    SetBrowserZoom(browser, 100);
}

// The target of the process: the add-on's state, seen from the thread the event
// arrives on. Only that thread's own preview object is ever used.
class AddonTarget final : public EventSinkTarget {
public:
    void TabBecameVisible() override {
        AddonState& addon = Addon();
        MakeThreadCurrent(addon.eventSink.previewTable, ::GetCurrentThreadId(), addon.currentPreview);
    }
    IWebBrowser2* CurrentTabBrowser() override {
        AddonState& addon = Addon();
        CZoomPreview* own =
            DocumentCompleteTarget(addon.eventSink.previewTable, ::GetCurrentThreadId(), addon.currentPreview);
        if (!own) return nullptr;
        use_.emplace(own);  // alive until the event is handled
        return own->browser.get();
    }

private:
    std::optional<CZoomPreview::Use> use_;
};

// The process's one sink object: no reference count, never deleted.
class SinkEvents final : public DWebBrowserEvents2 {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == comid::kWebBrowserEvents2) {
            *out = static_cast<DWebBrowserEvents2*>(this);
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispId, REFIID riid, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        AddonTarget target;
        return InvokeSinkEvent(dispId, riid, params, target);
    }
};

}  // namespace

HRESULT InvokeSinkEvent(DISPID dispId, REFIID riid, const DISPPARAMS* params, EventSinkTarget& target) {
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    try {
        if (!params || !params->rgvarg) return S_OK;
        const UINT count = params->cArgs;
        const VARIANT* args = params->rgvarg;
        SinkAction action = DecideSinkAction(dispId, count, count > 0 ? V_VT(&args[0]) : VARTYPE{VT_EMPTY},
                                             count > 1 ? V_VT(&args[1]) : VARTYPE{VT_EMPTY});
        switch (action) {
            case SinkAction::ReadWindowState:
                if (BecameVisible(ReadWindowStateInteger(args[0]), ReadWindowStateInteger(args[1])))
                    target.TabBecameVisible();
                break;
            case SinkAction::CompareDocument:
                ResetZoomIfTopLevel(ReadDispatchArgument(args[1]), target);
                break;
            case SinkAction::Nothing:
                break;
        }
    } catch (...) {
        // Answered as every event that is not acted on.
    }
    return S_OK;
}

DWebBrowserEvents2* EventSinkEvents() {
    static SinkEvents events;
    return &events;
}
