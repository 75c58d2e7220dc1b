// Tessel.dll registered and unregistered in the Wine prefix's registry, per machine with
// regsvr32, per user with regsvr32 /n /i:user, and a per-user DllInstall that fails and is
// rolled back. The registry is read back key by key and value by value.
#include <gtest/gtest.h>

#include <windows.h>
#include <ocidl.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "RegistryFixtures.h"
#include "TesselIds.h"
#include "TesselLib.h"
#include "TesselLibrary.h"
#include "pinchwell/ComInit.h"
#include "pinchwell/ComPtr.h"
#include "pinchwell/UniqueBstr.h"

using pinchwell::ComPtr;

namespace {

const std::wstring kClsid = tesselid::kClassId;
const std::wstring kAppId = tesselid::kApplicationId;
const std::wstring kLibId = tesselid::kLibraryId;
const std::wstring kBho = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";
const std::wstring kClasses = L"Software\\Classes\\";

// A key as the registry holds it: its values (type and data as text) and its subkeys.
struct KeyContent {
    std::map<std::wstring, std::pair<DWORD, std::wstring>> values;
    std::set<std::wstring> subkeys;
    bool operator==(const KeyContent& other) const { return values == other.values && subkeys == other.subkeys; }
};

std::optional<KeyContent> ReadKey(HKEY root, const std::wstring& path) {
    auto key = OpenForTest(root, path);
    if (!key) return std::nullopt;
    KeyContent content;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256, type = 0, size = 0;
        BYTE data[2048];
        size = sizeof data;
        if (::RegEnumValueW(key.get(), i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        std::wstring text;
        if (type == REG_SZ) text = reinterpret_cast<const wchar_t*>(data);
        if (type == REG_DWORD) text = std::to_wstring(*reinterpret_cast<const DWORD*>(data));
        content.values[name] = {type, text};
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (::RegEnumKeyExW(key.get(), i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        content.subkeys.insert(name);
    }
    return content;
}

struct ExpectedKey {
    bool classes;  // under the scope's Software\Classes; otherwise under the machine's hive
    std::wstring path;
    KeyContent content;
};

KeyContent Values(std::map<std::wstring, std::pair<DWORD, std::wstring>> values, std::set<std::wstring> subkeys = {}) {
    return {std::move(values), std::move(subkeys)};
}
std::pair<DWORD, std::wstring> Sz(const std::wstring& text) { return {REG_SZ, text}; }

// Every key that registration writes, with all that it holds afterwards.
std::vector<ExpectedKey> RegisteredKeys() {
    const std::wstring clsidKey = L"CLSID\\" + kClsid;
    return {
        {true, L"AppID\\" + kAppId, Values({{L"", Sz(L"Tessel")}})},
        {true, L"AppID\\Tessel.DLL", Values({{L"AppID", Sz(kAppId)}})},
        {false, kBho + L"\\" + kClsid, Values({{L"", Sz(L"Tessel")}, {L"NoExplorer", {REG_DWORD, L"1"}}})},
        {true, L"Tessel.TesselImpl.1", Values({{L"", Sz(L"TesselImpl Class")}}, {L"CLSID"})},
        {true, L"Tessel.TesselImpl.1\\CLSID", Values({{L"", Sz(kClsid)}})},
        {true, L"Tessel.TesselImpl", Values({{L"", Sz(L"TesselImpl Class")}}, {L"CLSID", L"CurVer"})},
        {true, L"Tessel.TesselImpl\\CLSID", Values({{L"", Sz(kClsid)}})},
        {true, L"Tessel.TesselImpl\\CurVer", Values({{L"", Sz(L"Tessel.TesselImpl.1")}})},
        {true, clsidKey,
         Values({{L"", Sz(L"PinchwellAddons")}, {L"AppID", Sz(kAppId)}},
                {L"ProgID", L"VersionIndependentProgID", L"Programmable", L"InprocServer32", L"TypeLib"})},
        {true, clsidKey + L"\\ProgID", Values({{L"", Sz(L"Tessel.TesselImpl.1")}})},
        {true, clsidKey + L"\\VersionIndependentProgID", Values({{L"", Sz(L"Tessel.TesselImpl")}})},
        {true, clsidKey + L"\\Programmable", Values({})},
        {true, clsidKey + L"\\InprocServer32", Values({{L"", Sz(TesselPath())}, {L"ThreadingModel", Sz(L"Apartment")}})},
        {true, clsidKey + L"\\TypeLib", Values({{L"", Sz(kLibId)}})},
    };
}

// The keys that unregistration removes; everything below them goes with them.
const std::wstring kRemovedClassesKeys[] = {L"AppID\\" + kAppId, L"AppID\\Tessel.DLL", L"Tessel.TesselImpl.1",
                                            L"Tessel.TesselImpl", L"CLSID\\" + kClsid};

HKEY ClassesRoot(bool perUser) { return perUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

void ExpectRegistered(bool perUser) {
    for (const auto& expected : RegisteredKeys()) {
        HKEY root = expected.classes ? ClassesRoot(perUser) : HKEY_LOCAL_MACHINE;
        std::wstring path = expected.classes ? kClasses + expected.path : expected.path;
        SCOPED_TRACE(std::string(path.begin(), path.end()));
        auto content = ReadKey(root, path);
        ASSERT_TRUE(content.has_value());
        EXPECT_EQ(content->values, expected.content.values);
        EXPECT_EQ(content->subkeys, expected.content.subkeys);
    }
}

void ExpectNothingRegistered(HKEY classesRoot) {
    for (const auto& key : kRemovedClassesKeys) {
        EXPECT_FALSE(KeyExists(classesRoot, kClasses + key)) << std::string(key.begin(), key.end());
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kBho + L"\\" + kClsid));
}

HRESULT Install(BOOL install, const wchar_t* commandLine) {
    return TesselExport<DllInstallFn>("DllInstall")(install, commandLine);
}

std::wstring Documentation(ITypeLib* library, ITypeInfo* info, bool helpString) {
    pinchwell::UniqueBstr name, doc;
    if (info)
        info->GetDocumentation(MEMBERID_NIL, name.put(), doc.put(), nullptr, nullptr);
    else
        library->GetDocumentation(-1, name.put(), doc.put(), nullptr, nullptr);
    const BSTR text = helpString ? doc.get() : name.get();
    return text ? text : L"";
}

class TesselRegistration : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TesselModuleHandle()) << "Tessel.dll beside the test program";
        ASSERT_TRUE(SUCCEEDED(com_.result()));
        RemoveEverything();
    }
    void TearDown() override { RemoveEverything(); }

    static void RemoveEverything() {
        Install(FALSE, nullptr);
        Install(FALSE, L"user");
    }

private:
    pinchwell::ComInit com_;
};

}  // namespace

TEST_F(TesselRegistration, PerMachineWritesExactlyTheRowsAndRemovesThemAgain) {
    ASSERT_EQ(RunRegsvr32(L""), 0u);
    ExpectRegistered(false);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kClasses + L"CLSID\\" + kClsid));

    ASSERT_EQ(RunRegsvr32(L"/u"), 0u);
    ExpectNothingRegistered(HKEY_LOCAL_MACHINE);
    // Never removed: the shared parents.
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kClasses + L"AppID"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kClasses + L"CLSID"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kBho));
}

TEST_F(TesselRegistration, ReplacesTheClassKeyAndTheHelperEntryWhole) {
    const std::wstring clsidKey = kClasses + L"CLSID\\" + kClsid;
    CreateEmptyKey(HKEY_LOCAL_MACHINE, clsidKey + L"\\Stale");
    CreateEmptyKey(HKEY_LOCAL_MACHINE, clsidKey + L"\\Programmable\\Stale");
    WriteDword(HKEY_LOCAL_MACHINE, kBho + L"\\" + kClsid, L"Stale", 7);
    ASSERT_EQ(RunRegsvr32(L""), 0u);
    ExpectRegistered(false);
}

TEST_F(TesselRegistration, PerUserPutsTheClassesUnderTheUsersClasses) {
    ASSERT_EQ(RunRegsvr32(L"/n /i:user"), 0u);
    ExpectRegistered(true);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kClasses + L"CLSID\\" + kClsid));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kClasses + L"Tessel.TesselImpl"));

    ASSERT_EQ(RunRegsvr32(L"/u /n /i:user"), 0u);
    ExpectNothingRegistered(HKEY_CURRENT_USER);
}

TEST_F(TesselRegistration, TypeLibraryLoadsThroughItsRegistration) {
    ASSERT_EQ(RunRegsvr32(L""), 0u);
    ComPtr<ITypeLib> library;
    ASSERT_EQ(::LoadRegTypeLib(LIBID_TesselLib, 1, 0, LOCALE_NEUTRAL, library.put()), S_OK);
    EXPECT_EQ(Documentation(library.get(), nullptr, false), L"TesselLib");
    EXPECT_EQ(Documentation(library.get(), nullptr, true), L"Tessel 1.0 Type Library");

    ComPtr<ITypeInfo> interfaceInfo, classInfo;
    ASSERT_EQ(library->GetTypeInfoOfGuid(IID_ITesselImpl, interfaceInfo.put()), S_OK);
    EXPECT_EQ(Documentation(library.get(), interfaceInfo.get(), false), L"ITesselImpl");
    EXPECT_EQ(Documentation(library.get(), interfaceInfo.get(), true), L"Tessel Interface");
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(interfaceInfo->GetTypeAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
    EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDUAL);
    EXPECT_EQ(attributes->cFuncs, 7);  // IUnknown's and IDispatch's, none of its own
    interfaceInfo->ReleaseTypeAttr(attributes);

    ASSERT_EQ(library->GetTypeInfoOfGuid(CLSID_TesselImpl, classInfo.put()), S_OK);
    EXPECT_EQ(Documentation(library.get(), classInfo.get(), false), L"TesselImpl");
    EXPECT_EQ(Documentation(library.get(), classInfo.get(), true), L"TesselImpl Class");
    INT flags = 0;
    HREFTYPE reference = 0;
    ComPtr<ITypeInfo> defaultInterface;
    ASSERT_EQ(classInfo->GetImplTypeFlags(0, &flags), S_OK);
    EXPECT_TRUE(flags & IMPLTYPEFLAG_FDEFAULT);
    ASSERT_EQ(classInfo->GetRefTypeOfImplType(0, &reference), S_OK);
    ASSERT_EQ(classInfo->GetRefTypeInfo(reference, defaultInterface.put()), S_OK);
    EXPECT_EQ(Documentation(library.get(), defaultInterface.get(), false), L"ITesselImpl");
    library.reset();

    ASSERT_EQ(RunRegsvr32(L"/u"), 0u);
    EXPECT_NE(::LoadRegTypeLib(LIBID_TesselLib, 1, 0, LOCALE_NEUTRAL, library.put()), S_OK);
}

TEST_F(TesselRegistration, ObjectIsCreatedThroughItsRegistrationAndTheLibraryUnloadsOnceItIsReleased) {
    ASSERT_EQ(RunRegsvr32(L""), 0u);
    auto canUnloadNow = TesselExport<DllCanUnloadNowFn>("DllCanUnloadNow");
    ASSERT_EQ(canUnloadNow(), S_OK);
    {
        ComPtr<IObjectWithSite> object;
        ASSERT_EQ(::CoCreateInstance(CLSID_TesselImpl, nullptr, CLSCTX_INPROC_SERVER, IID_IObjectWithSite,
                                     object.put_void()),
                  S_OK);
        EXPECT_EQ(canUnloadNow(), S_FALSE);
        auto dispatch = object.As<IDispatch>(IID_IDispatch);
        ASSERT_TRUE(dispatch);
        ComPtr<ITypeInfo> info;
        EXPECT_EQ(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put()), S_OK);
        EXPECT_TRUE(object.As<ITesselImpl>(IID_ITesselImpl));

        ComPtr<IUnknown> aggregated;
        EXPECT_EQ(::CoCreateInstance(CLSID_TesselImpl, dispatch.get(), CLSCTX_INPROC_SERVER, IID_IUnknown,
                                     aggregated.put_void()),
                  CLASS_E_NOAGGREGATION);
    }
    EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(TesselRegistration, FailedPerUserInstallIsRolledBackAndAnswersTheFailure) {
    // The user's ProgID key exists and may only be read: registration fails on it.
    const std::wstring denied = kClasses + L"Tessel.TesselImpl";
    CreateEmptyKey(HKEY_CURRENT_USER, denied);
    {
        KeyAccessList readOnly(HKEY_CURRENT_USER, denied, L"D:P(A;OICI;KR;;;WD)");
        ASSERT_TRUE(readOnly.applied());
        EXPECT_EQ(Install(TRUE, L"user"), HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
        // What was written before the failure is gone again.
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kClasses + L"AppID\\" + kAppId));
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kClasses + L"AppID\\Tessel.DLL"));
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kClasses + L"Tessel.TesselImpl.1"));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kBho + L"\\" + kClsid));
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kClasses + L"CLSID\\" + kClsid));
    }
    DeleteTree(HKEY_CURRENT_USER, denied);
}

TEST_F(TesselRegistration, GivesTheCallersThreadLocaleBack) {
    const LCID saved = ::GetThreadLocale();
    const LCID chinese = MAKELCID(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL), SORT_DEFAULT);
    ASSERT_TRUE(::SetThreadLocale(chinese));
    EXPECT_EQ(Install(TRUE, L"user"), S_OK);
    EXPECT_EQ(::GetThreadLocale(), chinese);
    EXPECT_EQ(Install(FALSE, L"user"), S_OK);
    EXPECT_EQ(::GetThreadLocale(), chinese);
    ::SetThreadLocale(saved);
}
