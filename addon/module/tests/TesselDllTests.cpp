// Tessel.dll loaded into a test process: its exports, its COM class without any
// registration, and its resources.
#include <gtest/gtest.h>

#include <windows.h>
#include <exdisp.h>
#include <ocidl.h>

#include <string>
#include <utility>
#include <vector>

#include "Substitutes.h"
#include "TesselIds.h"
#include "TesselLib.h"
#include "TesselLibrary.h"
#include "pinchwell/ComInit.h"
#include "pinchwell/ComPtr.h"
#include "pinchwell/UniqueBstr.h"

using pinchwell::ComPtr;

namespace {

class TesselDll : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TesselModuleHandle()) << "Tessel.dll beside the test program";
        ASSERT_TRUE(SUCCEEDED(com_.result()));
    }

    ComPtr<IClassFactory> Factory() {
        ComPtr<IClassFactory> factory;
        EXPECT_EQ(TesselExport<DllGetClassObjectFn>("DllGetClassObject")(CLSID_TesselImpl, IID_IClassFactory,
                                                                        factory.put_void()),
                  S_OK);
        return factory;
    }

    ComPtr<IObjectWithSite> NewObject() {
        ComPtr<IObjectWithSite> object;
        auto factory = Factory();
        if (factory) {
            EXPECT_EQ(factory->CreateInstance(nullptr, IID_IObjectWithSite, object.put_void()), S_OK);
        }
        return object;
    }

    HRESULT CanUnloadNow() { return TesselExport<DllCanUnloadNowFn>("DllCanUnloadNow")(); }

private:
    pinchwell::ComInit com_;
};

// An object that is nothing but an IUnknown.
class PlainSite final : public IUnknown {
public:
    ULONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown)) return E_NOINTERFACE;
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

std::wstring Documentation(ITypeInfo* info, MEMBERID member, bool helpString) {
    pinchwell::UniqueBstr name, doc;
    info->GetDocumentation(member, name.put(), doc.put(), nullptr, nullptr);
    return helpString ? std::wstring(doc.get() ? doc.get() : L"") : std::wstring(name.get() ? name.get() : L"");
}

}  // namespace

TEST_F(TesselDll, ExportsItsFiveFunctionsByNameWithOrdinalsOneToFive) {
    auto base = reinterpret_cast<const BYTE*>(TesselModuleHandle());
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const auto& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    ASSERT_NE(entry.VirtualAddress, 0u);
    auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
    auto names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    auto ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
    std::vector<std::pair<std::string, DWORD>> found;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        found.emplace_back(reinterpret_cast<const char*>(base + names[i]), exports->Base + ordinals[i]);
    const std::vector<std::pair<std::string, DWORD>> expected = {
        {"DllCanUnloadNow", 1}, {"DllGetClassObject", 2}, {"DllInstall", 3},
        {"DllRegisterServer", 4}, {"DllUnregisterServer", 5},
    };
    EXPECT_EQ(found, expected);
    EXPECT_EQ(exports->NumberOfFunctions, 5u);
}

TEST_F(TesselDll, IdentitiesOfTheTypeLibraryAreThoseOfTheRegistry) {
    const std::pair<const GUID*, const wchar_t*> ids[] = {
        {&CLSID_TesselImpl, tesselid::kClassId},
        {&IID_ITesselImpl, tesselid::kInterfaceId},
        {&LIBID_TesselLib, tesselid::kLibraryId},
    };
    for (const auto& [guid, text] : ids) {
        wchar_t written[40] = {};
        ASSERT_GT(::StringFromGUID2(*guid, written, 40), 0);
        EXPECT_STREQ(written, text);
    }
}

TEST_F(TesselDll, ObjectAnswersItsInterfaceMapAndItsTypeInformation) {
    auto object = NewObject();
    ASSERT_TRUE(object);
    auto tessel = object.As<ITesselImpl>(IID_ITesselImpl);
    auto dispatch = object.As<IDispatch>(IID_IDispatch);
    auto unknown = object.As<IUnknown>(IID_IUnknown);
    ASSERT_TRUE(tessel && dispatch && unknown);
    // ITesselImpl and IDispatch are the same part; IUnknown is answered by it as well.
    EXPECT_EQ(static_cast<IDispatch*>(tessel.get()), dispatch.get());
    EXPECT_EQ(static_cast<IUnknown*>(tessel.get()), unknown.get());
    EXPECT_FALSE(object.As<IPersist>(IID_IPersist));
    EXPECT_FALSE(object.As<IClassFactory>(IID_IClassFactory));

    UINT count = 0;
    EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put()), S_OK);
    EXPECT_EQ(Documentation(info.get(), MEMBERID_NIL, false), L"ITesselImpl");
    EXPECT_EQ(Documentation(info.get(), MEMBERID_NIL, true), L"Tessel Interface");
    ComPtr<ITypeInfo> none;
    EXPECT_EQ(dispatch->GetTypeInfo(1, LOCALE_USER_DEFAULT, none.put()), DISP_E_BADINDEX);
    EXPECT_FALSE(none);

    // No methods of its own: a name is unknown, a call finds no member.
    OLECHAR name[] = L"Anything";
    LPOLESTR names[] = {name};
    DISPID id = 0;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);
    DISPPARAMS noArguments = {};
    EXPECT_EQ(dispatch->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &noArguments, nullptr, nullptr,
                               nullptr),
              DISP_E_MEMBERNOTFOUND);
}

TEST_F(TesselDll, ClassFactoryRefusesAggregationAndUnknownClasses) {
    auto factory = Factory();
    ASSERT_TRUE(factory);
    PlainSite outer;
    ComPtr<IUnknown> aggregated;
    EXPECT_EQ(factory->CreateInstance(&outer, IID_IUnknown, aggregated.put_void()), CLASS_E_NOAGGREGATION);
    EXPECT_FALSE(aggregated);
    EXPECT_EQ(outer.refs, 1u);

    ComPtr<IClassFactory> other;
    EXPECT_EQ(TesselExport<DllGetClassObjectFn>("DllGetClassObject")(IID_IDispatch, IID_IClassFactory,
                                                                    other.put_void()),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_FALSE(other);
    // The factory is cached: every request answers the same object.
    EXPECT_EQ(Factory().get(), factory.get());
}

TEST_F(TesselDll, CanUnloadOnlyOnceObjectsFactoryReferencesAndServerLocksAreGone) {
    ASSERT_EQ(CanUnloadNow(), S_OK) << "an earlier test left a lock";
    {
        auto factory = Factory();
        EXPECT_EQ(CanUnloadNow(), S_FALSE);  // an outside reference to the factory
        EXPECT_EQ(factory->LockServer(TRUE), S_OK);
        factory.reset();
        EXPECT_EQ(CanUnloadNow(), S_FALSE);  // the server lock
        EXPECT_EQ(Factory()->LockServer(FALSE), S_OK);
        EXPECT_EQ(CanUnloadNow(), S_OK);

        auto first = NewObject();
        auto second = NewObject();
        first.reset();
        EXPECT_EQ(CanUnloadNow(), S_FALSE);  // one object left
    }
    EXPECT_EQ(CanUnloadNow(), S_OK);
}

TEST_F(TesselDll, GetSiteBeforeAnySiteFailsWithANullAnswer) {
    auto object = NewObject();
    ASSERT_TRUE(object);
    void* site = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(object->GetSite(IID_IUnknown, &site), E_FAIL);
    EXPECT_EQ(site, nullptr);
    EXPECT_EQ(object->GetSite(IID_IUnknown, nullptr), E_POINTER);
}

TEST_F(TesselDll, SetSiteWithASiteThatIsNoBrowserAnswersTheQueryFailure) {
    auto object = NewObject();
    ASSERT_TRUE(object);
    PlainSite site;
    EXPECT_EQ(object->SetSite(&site), E_NOINTERFACE);
    EXPECT_EQ(site.refs, 1u);  // the reference held for the call is given back
    void* out = nullptr;
    EXPECT_EQ(object->GetSite(IID_IUnknown, &out), E_FAIL);
    EXPECT_EQ(object->SetSite(nullptr), S_OK);
}

TEST_F(TesselDll, SiteIsAnsweredFromTheBrowserUntilItIsWithdrawn) {
    auto object = NewObject();
    ASSERT_TRUE(object);
    substitute::WebBrowser browser;  // offers no connection point container: a site without events
    ASSERT_EQ(object->SetSite(static_cast<IWebBrowser2*>(&browser)), S_OK);
    ComPtr<IWebBrowser2> answered;
    EXPECT_EQ(object->GetSite(IID_IWebBrowser2, answered.put_void()), S_OK);
    EXPECT_EQ(answered.get(), static_cast<IWebBrowser2*>(&browser));
    answered.reset();
    EXPECT_GT(browser.refs, 1u);  // the object holds the browser

    EXPECT_EQ(object->SetSite(nullptr), S_OK);
    EXPECT_EQ(browser.refs, 1u);
    void* out = nullptr;
    EXPECT_EQ(object->GetSite(IID_IWebBrowser2, &out), E_FAIL);
}

TEST_F(TesselDll, ResourcesNameTheLibraryAndAskForNoElevation) {
    std::wstring path = TesselPath();
    DWORD ignored = 0;
    std::vector<BYTE> block(::GetFileVersionInfoSizeW(path.c_str(), &ignored));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    const std::pair<const wchar_t*, const wchar_t*> strings[] = {
        {L"FileDescription", L"IE Browser Help Object"}, {L"FileVersion", L"1.0.0.1"},
        {L"ProductVersion", L"1.0.0.1"},                 {L"OriginalFilename", L"Tessel.dll"},
        {L"InternalName", L"Tessel.dll"},
    };
    for (const auto& [name, expected] : strings) {
        wchar_t* value = nullptr;
        UINT length = 0;
        std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        ASSERT_TRUE(::VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) << query;
        EXPECT_STREQ(value, expected);
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);

    HMODULE module = TesselModuleHandle();
    HRSRC manifest = ::FindResourceW(module, MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(24));
    ASSERT_TRUE(manifest);
    std::string text(static_cast<const char*>(::LockResource(::LoadResource(module, manifest))),
                     ::SizeofResource(module, manifest));
    EXPECT_NE(text.find("level=\"asInvoker\" uiAccess=\"false\""), std::string::npos);
    EXPECT_NE(text.find(">true</dpiAware>"), std::string::npos);
    EXPECT_TRUE(::FindResourceExW(module, L"TYPELIB", MAKEINTRESOURCEW(1), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)));
}
