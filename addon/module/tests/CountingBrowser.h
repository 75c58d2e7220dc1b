#pragma once
// A site for the add-on over a real WebBrowser object: it is the browser as far as the
// add-on can tell, and passes the browser's own DWebBrowserEvents2 connection point
// through, recording each Advise and Unadvise with its cookie and result. The rest of
// IWebBrowser2 is not implemented (attach and detach do not use it). Counts references
// without ever deleting itself.
#include <windows.h>
#include <exdisp.h>
#include <ocidl.h>

#include <vector>

#include <pinchwell/ComPtr.h>

#include "NotImplemented.h"

class CountingBrowser : public substitute::NotImplemented_IWebBrowser2,
                        public IConnectionPointContainer,
                        public IConnectionPoint {
public:
    explicit CountingBrowser(IWebBrowser2* real) : real_(real) {}

    struct Call {
        DWORD cookie;
        HRESULT result;
    };
    ULONG refs = 1;
    std::vector<Call> advises;
    std::vector<Call> unadvises;
    // The real connection point, once the add-on has looked for it.
    IConnectionPoint* RealPoint() const { return realPoint_.get(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

private:
    pinchwell::ComPtr<IWebBrowser2> real_;
    pinchwell::ComPtr<IConnectionPoint> realPoint_;
};
