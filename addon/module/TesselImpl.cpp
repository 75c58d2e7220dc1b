#include "TesselImpl.h"

#include <new>

#include <pinchwell/ComBoundary.h>

#include "AddonState.h"
#include "ComIds.h"
#include "EventSinkEvents.h"
#include "ModuleFile.h"
#include "TesselModule.h"

TesselImpl::TesselImpl() { TesselModule().Lock(); }

TesselImpl::~TesselImpl() {
    // Released without SetSite(NULL): the attachment goes as SetSite(NULL) would take it,
    // on the tab's own thread. From any other thread nothing may call into the tab's
    // apartment or its windows: the references are left to the tab's thread and process.
    // That includes a later thread that was given the id of the tab's ended thread.
    if (webBrowser || connectionPoint) {
        if (siteThread_.IsCurrent()) {
            try {
                // Only the attachment this object made, and only while the thread still has
                // it: a newer object on the thread may have replaced it with its own.
                if (attachment_) Addon().eventSink.DetachAttachment(attachment_);
                Disconnect();
            } catch (...) {
            }
        } else {
            connectionPoint.detach();
            webBrowser.detach();
        }
    }
    TesselModule().Unlock();
}

void TesselImpl::Disconnect() {
    attachment_ = 0;
    if (connectionPoint) {
        connectionPoint->Unadvise(adviseCookie);
        adviseCookie = 0;
        connectionPoint.reset();
    }
    webBrowser.reset();
}

HRESULT TesselImpl::CreateInstance(REFIID riid, void** out) {
    auto* object = new (std::nothrow) TesselImpl();
    if (!object) return E_OUTOFMEMORY;
    object->AddRef();
    HRESULT hr = object->QueryInterface(riid, out);
    object->Release();  // the object goes when the query failed
    return hr;
}

HRESULT STDMETHODCALLTYPE TesselImpl::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ITesselImpl) || IsEqualIID(riid, IID_IDispatch))
        *out = static_cast<ITesselImpl*>(this);
    else if (IsEqualIID(riid, IID_IObjectWithSite))
        *out = static_cast<IObjectWithSite*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE TesselImpl::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE TesselImpl::Release() {
    ULONG count = --references_;
    if (count == 0) delete this;
    return count;
}

HRESULT TesselImpl::InterfaceTypeInfo(ITypeInfo** out) {
    if (!typeInfo_) {
        pinchwell::ComPtr<ITypeLib> typeLib;
        HRESULT hr = LoadModuleTypeLib(typeLib);
        if (FAILED(hr)) return hr;
        hr = typeLib->GetTypeInfoOfGuid(IID_ITesselImpl, typeInfo_.put());
        if (FAILED(hr)) return hr;
    }
    *out = typeInfo_.get();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TesselImpl::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TesselImpl::GetTypeInfo(UINT index, LCID, ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return pinchwell::ComBoundary([&] {
        ITypeInfo* typeInfo = nullptr;
        HRESULT hr = InterfaceTypeInfo(&typeInfo);
        if (FAILED(hr)) return hr;
        typeInfo->AddRef();
        *out = typeInfo;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TesselImpl::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    return pinchwell::ComBoundary([&] {
        ITypeInfo* typeInfo = nullptr;
        HRESULT hr = InterfaceTypeInfo(&typeInfo);
        if (FAILED(hr)) return hr;
        return ::DispGetIDsOfNames(typeInfo, names, count, ids);
    });
}

HRESULT STDMETHODCALLTYPE TesselImpl::Invoke(DISPID member, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                             VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    return pinchwell::ComBoundary([&] {
        ITypeInfo* typeInfo = nullptr;
        HRESULT hr = InterfaceTypeInfo(&typeInfo);
        if (FAILED(hr)) return hr;
        return ::DispInvoke(static_cast<ITesselImpl*>(this), typeInfo, member, flags, params, result, exception,
                            argumentError);
    });
}

HRESULT STDMETHODCALLTYPE TesselImpl::SetSite(IUnknown* site) {
    return pinchwell::ComBoundary([&]() -> HRESULT {
        pinchwell::ComPtr<IUnknown> keepSite(site);  // for the duration of the call

        // A new site replaces whatever the thread has, so that a thread never keeps a hook
        // or preview object of an earlier attachment. Withdrawing one takes only this
        // object's own attachment: a newer object on the same thread keeps its own.
        if (site)
            Addon().eventSink.DetachThread();
        else if (attachment_)
            Addon().eventSink.DetachAttachment(attachment_);
        Disconnect();
        if (!site) return S_OK;
        siteThread_ = ThreadIdentity::Current();

        pinchwell::ComPtr<IWebBrowser2> browser;
        HRESULT hr = site->QueryInterface(comid::kWebBrowser2, browser.put_void());
        keepSite.reset();
        if (FAILED(hr)) {
            browser.detach();  // a failed query hands over no reference, whatever it wrote
            return hr;
        }
        webBrowser = browser;
        try {
            ConnectEvents();
        } catch (...) {
            // S_OK whatever the connection achieved.
        }
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TesselImpl::GetSite(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!webBrowser) return E_FAIL;
    return webBrowser->QueryInterface(riid, out);
}

void TesselImpl::ConnectEvents() {
    if (!webBrowser) return;
    pinchwell::ComPtr<IConnectionPointContainer> container;
    if (FAILED(webBrowser->QueryInterface(comid::kConnectionPointContainer, container.put_void()))) {
        container.detach();
        return;
    }
    if (!container) return;
    HRESULT hr = container->FindConnectionPoint(comid::kWebBrowserEvents2, connectionPoint.put());
    if (FAILED(hr) || !connectionPoint) {
        if (FAILED(hr)) connectionPoint.detach();
        return;
    }
    // A failed Advise is not noticed; its cookie is not kept, so no later Unadvise can end
    // another connection.
    DWORD cookie = 0;
    if (SUCCEEDED(connectionPoint->Advise(EventSinkEvents(), &cookie))) adviseCookie = cookie;
    container.reset();
    attachment_ = Addon().eventSink.AttachThread(webBrowser.get());
}
