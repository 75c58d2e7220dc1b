#pragma once
// A substitute browser that offers the DWebBrowserEvents2 connection point, for tests
// that advise a sink on a browser and raise the browser's events at it. Like the other
// substitutes it counts references without ever deleting itself.
#include <windows.h>
#include <ocidl.h>

#include <atomic>
#include <functional>
#include <vector>

#include "Substitutes.h"

namespace substitute {

// Event arguments as Invoke receives them: an integer of one of the 32-bit integer types,
// and an object pointer, neither holding a reference.
inline VARIANT Int(VARTYPE type, LONG value) {
    VARIANT v;
    ::VariantInit(&v);
    V_VT(&v) = type;
    V_I4(&v) = value;  // the four 32-bit integer types share these bytes
    return v;
}
inline VARIANT Dispatch(IDispatch* dispatch) {
    VARIANT v;
    ::VariantInit(&v);
    V_VT(&v) = VT_DISPATCH;
    V_DISPATCH(&v) = dispatch;
    return v;
}

// The connection point and its container in one object (the container of a browser).
// One sink at a time; the cookies it hands out are never 0.
class EventSource : public IConnectionPointContainer, public IConnectionPoint {
public:
    ULONG refs = 1;
    IDispatch* sink = nullptr;  // the advised sink, one counted reference; null when none
    DWORD cookie = 0;           // the cookie of the sink's connection
    int advises = 0;
    std::vector<DWORD> unadvised;  // the cookies Unadvise was called with

    // Raises the event at the sink with its arguments, last argument first (as rgvarg
    // carries them). E_FAIL without a sink.
    HRESULT Fire(DISPID id, std::vector<VARIANT> arguments);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* unknownSink, DWORD* cookieOut) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookieIn) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

private:
    DWORD nextCookie_ = 40;
};

// A WebBrowser substitute whose connection point container is its EventSource.
//
// Like a browser object in a single-threaded apartment, it can be bound to one thread:
// with apartment set, a call from any other thread, or any call once the tab has closed
// it, is counted in strayCalls and refused without touching the object.
class BrowserWithEvents : public WebBrowser {
public:
    EventSource events;
    std::atomic<DWORD> apartment{0};  // 0: any thread may call
    std::atomic<bool> closed{false};
    std::atomic<int> strayCalls{0};
    // Runs once inside the next ExecWB, as a browser that pumps messages during a call
    // lets other work of the thread run there.
    std::function<void()> duringExec;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE get_Document(IDispatch** p) override;
    HRESULT STDMETHODCALLTYPE ExecWB(OLECMDID command, OLECMDEXECOPT option, VARIANT* in, VARIANT* out) override;
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID iid, void** out) override;

private:
    // Counts and refuses a call that cannot reach the object.
    bool Stray();
};

inline bool EventsReleased(const BrowserWithEvents& browser) { return browser.events.refs == 1; }

// PageWithWindow's page, in a browser with events.
using PageWithEvents = Page<BrowserWithEvents>;

}  // namespace substitute
