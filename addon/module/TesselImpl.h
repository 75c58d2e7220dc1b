#pragma once
// The add-on's COM class: one object per browser tab. The browser hands it the tab's
// site through IObjectWithSite; the object then connects the process's event sink to the
// tab's browser and attaches the tab's thread (hook and preview object), and undoes both
// when the site is withdrawn. ITesselImpl and IDispatch are answered from the type
// library embedded in the library.
//
// Apartment-threaded: each object is used on the thread of its tab only, so its reference
// count is a plain counter. Constructing an object locks the module, destroying it unlocks it.
#include <windows.h>
#include <exdisp.h>
#include <ocidl.h>

#include <cstdint>

#include "TesselLib.h"
#include "ThreadIdentity.h"
#include "pinchwell/ComPtr.h"

class TesselImpl final : public ITesselImpl, public IObjectWithSite {
public:
    // A new object, queried for riid (E_OUTOFMEMORY when it cannot be made).
    static HRESULT CreateInstance(REFIID riid, void** out);

    // Interface map: ITesselImpl, IDispatch (the dispatch part), IObjectWithSite.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

    // With a site: detaches the calling thread, whatever attached it, lets go of what this
    // object held, then takes the site's browser and connects to it. Without one: detaches
    // this object's own attachment only, while the thread still has it.
    HRESULT STDMETHODCALLTYPE SetSite(IUnknown* site) override;
    // Answers from the browser taken from the site: E_FAIL while there is none.
    HRESULT STDMETHODCALLTYPE GetSite(REFIID riid, void** out) override;

    // Advises the event sink on the browser's DWebBrowserEvents2 connection point and
    // attaches the calling thread; does nothing when the browser offers no such point.
    void ConnectEvents();

private:
    TesselImpl();
    ~TesselImpl();
    TesselImpl(const TesselImpl&) = delete;
    TesselImpl& operator=(const TesselImpl&) = delete;

    // ITesselImpl's type information, loaded once per object.
    HRESULT InterfaceTypeInfo(ITypeInfo** out);

    ULONG references_ = 0;
    pinchwell::ComPtr<ITypeInfo> typeInfo_;

    // Unadvises and lets go of the site's browser (after the thread's detach), for SetSite
    // and for an object released while attached.
    void Disconnect();

    pinchwell::ComPtr<IWebBrowser2> webBrowser;
    pinchwell::ComPtr<IConnectionPoint> connectionPoint;
    DWORD adviseCookie = 0;
    // The thread whose site this object holds, and the attachment it made there (0: none).
    ThreadIdentity siteThread_;
    std::uint64_t attachment_ = 0;
};
