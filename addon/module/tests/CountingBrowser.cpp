#include "CountingBrowser.h"

#include "ComIds.h"

HRESULT CountingBrowser::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IWebBrowser) ||
        iid == __uuidof(IWebBrowserApp) || iid == comid::kWebBrowser2) {
        *out = static_cast<IWebBrowser2*>(this);
    } else if (iid == comid::kConnectionPointContainer) {
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

HRESULT CountingBrowser::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    *out = nullptr;
    pinchwell::ComPtr<IConnectionPointContainer> container;
    HRESULT hr = real_->QueryInterface(comid::kConnectionPointContainer, container.put_void());
    if (FAILED(hr)) return hr;
    pinchwell::ComPtr<IConnectionPoint> point;
    hr = container->FindConnectionPoint(iid, point.put());
    if (FAILED(hr)) return hr;
    realPoint_ = point;
    *out = this;
    AddRef();
    return S_OK;
}

HRESULT CountingBrowser::GetConnectionInterface(IID* iid) { return realPoint_->GetConnectionInterface(iid); }

HRESULT CountingBrowser::GetConnectionPointContainer(IConnectionPointContainer** out) {
    *out = this;
    AddRef();
    return S_OK;
}

HRESULT CountingBrowser::Advise(IUnknown* sink, DWORD* cookie) {
    HRESULT hr = realPoint_->Advise(sink, cookie);
    advises.push_back({SUCCEEDED(hr) ? *cookie : 0, hr});
    return hr;
}

HRESULT CountingBrowser::Unadvise(DWORD cookie) {
    HRESULT hr = realPoint_->Unadvise(cookie);
    unadvises.push_back({cookie, hr});
    return hr;
}

HRESULT CountingBrowser::EnumConnections(IEnumConnections** out) { return realPoint_->EnumConnections(out); }
