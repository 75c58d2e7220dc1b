#include "TesselClassFactory.h"

#include "TesselImpl.h"
#include "TesselModule.h"

HRESULT STDMETHODCALLTYPE CTesselClassFactory::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory)) return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CTesselClassFactory::AddRef() {
    ULONG count = ++references_;
    if (count == 2) TesselModule().Lock();  // the first reference beyond the cache's
    return count;
}

ULONG STDMETHODCALLTYPE CTesselClassFactory::Release() {
    ULONG count = --references_;
    if (count == 1) TesselModule().Unlock();  // only the cache's reference is left
    return count;
}

HRESULT STDMETHODCALLTYPE CTesselClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return TesselImpl::CreateInstance(riid, out);
}

HRESULT STDMETHODCALLTYPE CTesselClassFactory::LockServer(BOOL lock) {
    if (lock)
        TesselModule().Lock();
    else
        TesselModule().Unlock();
    return S_OK;
}

CTesselClassFactory& TesselClassFactory() {
    static CTesselClassFactory factory;
    return factory;
}

HRESULT GetTesselClassObject(REFCLSID classId, REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(classId, CLSID_TesselImpl)) return CLASS_E_CLASSNOTAVAILABLE;
    return TesselClassFactory().QueryInterface(riid, out);
}
