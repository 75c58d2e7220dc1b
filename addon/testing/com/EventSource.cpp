#include "EventSource.h"

#include "ComIds.h"

namespace substitute {

HRESULT EventSource::Fire(DISPID id, std::vector<VARIANT> arguments) {
    if (!sink) return E_FAIL;
    DISPPARAMS params = {arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
    return sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

HRESULT EventSource::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == comid::kConnectionPointContainer) {
        *out = static_cast<IConnectionPointContainer*>(this);
    } else if (iid == IID_IConnectionPoint) {
        *out = static_cast<IConnectionPoint*>(this);
    } else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT EventSource::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    if (iid != comid::kWebBrowserEvents2) {
        *out = nullptr;
        return CONNECT_E_NOCONNECTION;
    }
    *out = this;
    AddRef();
    return S_OK;
}

HRESULT EventSource::GetConnectionInterface(IID* iid) {
    *iid = comid::kWebBrowserEvents2;
    return S_OK;
}

HRESULT EventSource::GetConnectionPointContainer(IConnectionPointContainer** out) {
    *out = this;
    AddRef();
    return S_OK;
}

HRESULT EventSource::Advise(IUnknown* unknownSink, DWORD* cookieOut) {
    ++advises;
    *cookieOut = 0;
    if (sink) return CONNECT_E_ADVISELIMIT;
    if (!unknownSink || FAILED(unknownSink->QueryInterface(comid::kWebBrowserEvents2, reinterpret_cast<void**>(&sink)))) {
        sink = nullptr;
        return CONNECT_E_CANNOTCONNECT;
    }
    cookie = ++nextCookie_;
    *cookieOut = cookie;
    return S_OK;
}

HRESULT EventSource::Unadvise(DWORD cookieIn) {
    unadvised.push_back(cookieIn);
    if (!sink || cookieIn != cookie) return CONNECT_E_NOCONNECTION;
    sink->Release();
    sink = nullptr;
    cookie = 0;
    return S_OK;
}

bool BrowserWithEvents::Stray() {
    const DWORD owner = apartment;
    if (!closed && (owner == 0 || owner == ::GetCurrentThreadId())) return false;
    ++strayCalls;
    return true;
}

ULONG BrowserWithEvents::AddRef() { return Stray() ? refs : WebBrowser::AddRef(); }
ULONG BrowserWithEvents::Release() { return Stray() ? refs : WebBrowser::Release(); }

HRESULT BrowserWithEvents::get_Document(IDispatch** p) {
    if (Stray()) return RPC_E_WRONG_THREAD;
    return WebBrowser::get_Document(p);
}

HRESULT BrowserWithEvents::ExecWB(OLECMDID command, OLECMDEXECOPT option, VARIANT* in, VARIANT* out) {
    if (Stray()) return RPC_E_WRONG_THREAD;
    if (auto work = std::move(duringExec)) {
        duringExec = nullptr;
        work();
    }
    return WebBrowser::ExecWB(command, option, in, out);
}

HRESULT BrowserWithEvents::QueryService(REFGUID service, REFIID iid, void** out) {
    if (Stray()) {
        if (out) *out = nullptr;
        return RPC_E_WRONG_THREAD;
    }
    return WebBrowser::QueryService(service, iid, out);
}

HRESULT BrowserWithEvents::QueryInterface(REFIID iid, void** out) {
    if (Stray()) {
        if (out) *out = nullptr;
        return RPC_E_WRONG_THREAD;
    }
    if (iid == comid::kConnectionPointContainer) {
        *out = static_cast<IConnectionPointContainer*>(&events);
        events.AddRef();
        return S_OK;
    }
    return WebBrowser::QueryInterface(iid, out);
}

}  // namespace substitute
