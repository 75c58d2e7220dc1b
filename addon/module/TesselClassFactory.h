#pragma once
// The class object of TesselImpl. There is one, cached for the life of the library: the
// cache's own reference does not lock the module, every reference beyond it does.
#include <windows.h>
#include <unknwn.h>

#include <atomic>

class CTesselClassFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // Refuses aggregation with CLASS_E_NOAGGREGATION.
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    std::atomic<ULONG> references_{1};  // the cache's reference
};

// The cached class factory.
CTesselClassFactory& TesselClassFactory();

// DllGetClassObject over the one-entry object map (TesselImpl).
HRESULT GetTesselClassObject(REFCLSID classId, REFIID riid, void** out);
