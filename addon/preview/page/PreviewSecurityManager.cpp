#include "PreviewSecurityManager.h"

#include <pinchwell/ComBoundary.h>

#include <cstring>

#include "TemplateSecurity.h"

static_assert(kUrlActionScriptRun == URLACTION_SCRIPT_RUN, "the URL action's value as urlmon.h has it");

namespace {

class PreviewSecurityManager final : public IInternetSecurityManager {
public:
    explicit PreviewSecurityManager(std::wstring templatePath) : templatePath_(std::move(templatePath)) {}
    PreviewSecurityManager(const PreviewSecurityManager&) = delete;
    PreviewSecurityManager& operator=(const PreviewSecurityManager&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == __uuidof(IInternetSecurityManager)) {
            *out = static_cast<IInternetSecurityManager*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = ::InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IInternetSecurityManager: only ProcessUrlAction decides anything.
    HRESULT STDMETHODCALLTYPE ProcessUrlAction(LPCWSTR url, DWORD action, BYTE* policy, DWORD policySize, BYTE*, DWORD,
                                               DWORD, DWORD) override {
        return pinchwell::ComBoundary([&]() -> HRESULT {
            if (!url || !AllowsTemplateAction(url, action, templatePath_)) return INET_E_DEFAULT_ACTION;
            if (!policy || policySize < sizeof(DWORD)) return INET_E_DEFAULT_ACTION;
            const DWORD allow = URLPOLICY_ALLOW;
            std::memcpy(policy, &allow, sizeof allow);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE SetSecuritySite(IInternetSecurityMgrSite*) override { return INET_E_DEFAULT_ACTION; }
    HRESULT STDMETHODCALLTYPE GetSecuritySite(IInternetSecurityMgrSite** site) override {
        if (site) *site = nullptr;
        return INET_E_DEFAULT_ACTION;
    }
    HRESULT STDMETHODCALLTYPE MapUrlToZone(LPCWSTR, DWORD*, DWORD) override { return INET_E_DEFAULT_ACTION; }
    HRESULT STDMETHODCALLTYPE GetSecurityId(LPCWSTR, BYTE*, DWORD*, DWORD_PTR) override { return INET_E_DEFAULT_ACTION; }
    HRESULT STDMETHODCALLTYPE QueryCustomPolicy(LPCWSTR, REFGUID, BYTE** policy, DWORD* size, BYTE*, DWORD,
                                                DWORD) override {
        if (policy) *policy = nullptr;
        if (size) *size = 0;
        return INET_E_DEFAULT_ACTION;
    }
    HRESULT STDMETHODCALLTYPE SetZoneMapping(DWORD, LPCWSTR, DWORD) override { return INET_E_DEFAULT_ACTION; }
    HRESULT STDMETHODCALLTYPE GetZoneMappings(DWORD, IEnumString** mappings, DWORD) override {
        if (mappings) *mappings = nullptr;
        return INET_E_DEFAULT_ACTION;
    }

private:
    ~PreviewSecurityManager() = default;  // only through Release

    LONG refs_ = 1;  // the creator's, until QueryInterface has given the caller its own
    const std::wstring templatePath_;
};

}  // namespace

HRESULT CreatePreviewSecurityManager(const std::wstring& templatePath, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return pinchwell::ComBoundary([&] {
        auto* manager = new PreviewSecurityManager(templatePath);
        HRESULT hr = manager->QueryInterface(iid, out);
        manager->Release();
        return hr;
    });
}
