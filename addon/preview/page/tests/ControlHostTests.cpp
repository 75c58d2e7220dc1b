// The control host with Wine's real WebBrowser control: embedding, sizing, and every
// reference given back when the window goes.
#include <gtest/gtest.h>

#include <windows.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <oleidl.h>
#include <servprov.h>
#include <urlmon.h>

#include <pinchwell/ComInit.h>
#include <pinchwell/ComPtr.h>
#include <pinchwell/UniqueHandle.h>

#include "ComIds.h"
#include "ControlHost.h"
#include "PreviewSecurityManager.h"

using pinchwell::ComPtr;

namespace {

const wchar_t kWebBrowserClsid[] = L"{8856F961-340A-11D0-A96B-00C04FD705A2}";

class ControlHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(com_.result()));
        RegisterControlHostClass(::GetModuleHandleW(nullptr));
        host.reset(::CreateWindowExW(0, kControlHostClass, nullptr, WS_POPUP, 50, 60, 400, 300, nullptr, nullptr,
                                     ::GetModuleHandleW(nullptr), nullptr));
        ASSERT_TRUE(host);
    }
    pinchwell::ComInit com_;
    pinchwell::UniqueWindow host;
};

const wchar_t kTemplate[] = L"C:\\Program Files\\Kestrune\\Pinchwell\\Template.html";

// The site that the embedded control was given.
ComPtr<IOleClientSite> SiteOfControl(const ComPtr<IUnknown>& control) {
    ComPtr<IOleClientSite> site;
    if (auto object = control.As<IOleObject>(IID_IOleObject)) object->GetClientSite(site.put());
    return site;
}

// What the site's security manager answers for url and action, and the policy it gives.
struct Answer {
    HRESULT result;
    DWORD policy;
};
Answer AskManager(IInternetSecurityManager* manager, const wchar_t* url, DWORD action) {
    DWORD policy = 0xBADF00D;
    HRESULT hr = manager->ProcessUrlAction(url, action, reinterpret_cast<BYTE*>(&policy), sizeof policy, nullptr, 0,
                                           PUAF_DEFAULT, 0);
    return {hr, policy};
}

RECT ClientOf(HWND window) {
    RECT r = {};
    ::GetClientRect(window, &r);
    return r;
}

}  // namespace

TEST_F(ControlHostTest, EmbedsWinesWebBrowserInPlaceOverTheClientArea) {
    ComPtr<IUnknown> control;
    ASSERT_EQ(EmbedControl(host.get(), kWebBrowserClsid, control.put()), S_OK);
    ComPtr<IWebBrowser2> browser = control.As<IWebBrowser2>(comid::kWebBrowser2);
    EXPECT_TRUE(browser);
    ComPtr<IOleObject> object = control.As<IOleObject>(IID_IOleObject);
    ASSERT_TRUE(object);
    ComPtr<IOleClientSite> site;
    ASSERT_EQ(object->GetClientSite(site.put()), S_OK);
    ComPtr<IOleWindow> siteWindow = site.As<IOleWindow>(IID_IOleWindow);
    ASSERT_TRUE(siteWindow);
    HWND window = nullptr;
    EXPECT_EQ(siteWindow->GetWindow(&window), S_OK);
    EXPECT_EQ(window, host.get());

    HWND embedded = ::GetWindow(host.get(), GW_CHILD);
    ASSERT_NE(embedded, nullptr);
    RECT r = ClientOf(embedded);
    EXPECT_EQ(r.right - r.left, 400);
    EXPECT_EQ(r.bottom - r.top, 300);

    ::SetWindowPos(host.get(), nullptr, 0, 0, 500, 350, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    r = ClientOf(embedded);
    EXPECT_EQ(r.right - r.left, 500);
    EXPECT_EQ(r.bottom - r.top, 350);
}

TEST_F(ControlHostTest, DestroyingTheWindowGivesBackEveryReference) {
    ComPtr<IUnknown> control;
    ASSERT_EQ(EmbedControl(host.get(), kWebBrowserClsid, control.put()), S_OK);
    ComPtr<IOleClientSite> site;
    {
        ComPtr<IOleObject> object = control.As<IOleObject>(IID_IOleObject);
        ASSERT_TRUE(object);
        ASSERT_EQ(object->GetClientSite(site.put()), S_OK);
        ASSERT_TRUE(site);
    }
    host.reset();
    {
        // The site outlives its window, without a place for the control.
        auto inPlace = site.As<IOleInPlaceSite>(IID_IOleInPlaceSite);
        ASSERT_TRUE(inPlace);
        IOleInPlaceFrame* frame = reinterpret_cast<IOleInPlaceFrame*>(1);
        IOleInPlaceUIWindow* document = reinterpret_cast<IOleInPlaceUIWindow*>(1);
        RECT position = {}, clip = {};
        OLEINPLACEFRAMEINFO info = {};
        info.cb = sizeof info;
        EXPECT_EQ(inPlace->GetWindowContext(&frame, &document, &position, &clip, &info), E_UNEXPECTED);
        EXPECT_EQ(frame, nullptr);
        EXPECT_EQ(document, nullptr);
    }
    // Ours are the last references: the control goes, and with it the site.
    EXPECT_EQ(control.detach()->Release(), 0u);
    EXPECT_EQ(site.detach()->Release(), 0u);
}

TEST_F(ControlHostTest, RefusesWindowsOfOtherClassesAndUnknownControls) {
    pinchwell::UniqueWindow other(::CreateWindowExW(0, L"STATIC", nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                                    ::GetModuleHandleW(nullptr), nullptr));
    ComPtr<IUnknown> control;
    EXPECT_EQ(EmbedControl(other.get(), kWebBrowserClsid, control.put()), E_INVALIDARG);
    EXPECT_FALSE(control);
    EXPECT_TRUE(FAILED(EmbedControl(host.get(), L"{00000000-1111-2222-3333-444444444444}", control.put())));
    EXPECT_FALSE(control);
    EXPECT_EQ(::GetWindow(host.get(), GW_CHILD), nullptr);
    // The window can still take a control afterwards.
    EXPECT_EQ(EmbedControl(host.get(), kWebBrowserClsid, control.put()), S_OK);
}

TEST_F(ControlHostTest, TheSiteGivesTheControlNoBorderNoScrollBarsAndNoContextMenu) {
    ComPtr<IUnknown> control;
    ASSERT_EQ(EmbedControl(host.get(), kWebBrowserClsid, control.put()), S_OK);
    auto handler = SiteOfControl(control).As<IDocHostUIHandler>();
    ASSERT_TRUE(handler);
    DOCHOSTUIINFO info = {};
    info.cbSize = sizeof info;
    info.dwFlags = 0xFFFF0000;
    EXPECT_EQ(handler->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, DWORD(DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO));
    EXPECT_EQ(info.dwDoubleClick, DWORD(DOCHOSTUIDBLCLK_DEFAULT));
    EXPECT_EQ(info.pchHostCss, nullptr);
    DOCHOSTUIINFO shorter = {};
    shorter.cbSize = sizeof shorter - 1;
    EXPECT_EQ(handler->GetHostInfo(&shorter), E_INVALIDARG);
    EXPECT_EQ(shorter.dwFlags, 0u);
    EXPECT_EQ(handler->GetHostInfo(nullptr), E_POINTER);

    POINT at = {10, 10};
    EXPECT_EQ(handler->ShowContextMenu(CONTEXT_MENU_DEFAULT, &at, nullptr, nullptr), S_OK);
}

TEST_F(ControlHostTest, EveryOtherHandlerMethodLetsTheControlGoOnAsByDefault) {
    ComPtr<IUnknown> control;
    ASSERT_EQ(EmbedControl(host.get(), kWebBrowserClsid, control.put()), S_OK);
    auto handler = SiteOfControl(control).As<IDocHostUIHandler>();
    ASSERT_TRUE(handler);
    MSG message = {};
    LPOLESTR key = reinterpret_cast<LPOLESTR>(1);
    IDropTarget* target = reinterpret_cast<IDropTarget*>(1);
    IDispatch* external = reinterpret_cast<IDispatch*>(1);
    LPWSTR translated = reinterpret_cast<LPWSTR>(1);
    IDataObject* filtered = reinterpret_cast<IDataObject*>(1);
    wchar_t url[] = L"file:///C:/x.html";
    struct Case {
        const char* method;
        HRESULT got, expected;
    };
    const Case cases[] = {
        {"ShowUI", handler->ShowUI(DOCHOSTUITYPE_BROWSE, nullptr, nullptr, nullptr, nullptr), S_FALSE},
        {"HideUI", handler->HideUI(), S_OK},
        {"UpdateUI", handler->UpdateUI(), S_OK},
        {"EnableModeless", handler->EnableModeless(TRUE), S_OK},
        {"OnDocWindowActivate", handler->OnDocWindowActivate(TRUE), S_OK},
        {"OnFrameWindowActivate", handler->OnFrameWindowActivate(TRUE), S_OK},
        {"ResizeBorder", handler->ResizeBorder(nullptr, nullptr, TRUE), S_OK},
        {"TranslateAccelerator", handler->TranslateAccelerator(&message, nullptr, 0), S_FALSE},
        {"GetOptionKeyPath", handler->GetOptionKeyPath(&key, 0), S_FALSE},
        {"GetDropTarget", handler->GetDropTarget(nullptr, &target), E_NOTIMPL},
        {"GetExternal", handler->GetExternal(&external), E_NOTIMPL},
        {"TranslateUrl", handler->TranslateUrl(0, url, &translated), S_FALSE},
        {"FilterDataObject", handler->FilterDataObject(nullptr, &filtered), S_FALSE},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.expected) << c.method;
    // Nothing is handed out in place of the control's own.
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(target, nullptr);
    EXPECT_EQ(external, nullptr);
    EXPECT_EQ(translated, nullptr);
    EXPECT_EQ(filtered, nullptr);
}

TEST_F(ControlHostTest, TheSiteAnswersTheSecurityManagerOnlyOnceATemplatePageIsTrusted) {
    ComPtr<IUnknown> control;
    ASSERT_EQ(EmbedControl(host.get(), kWebBrowserClsid, control.put()), S_OK);
    auto services = SiteOfControl(control).As<IServiceProvider>();
    ASSERT_TRUE(services);
    ComPtr<IInternetSecurityManager> manager;
    EXPECT_EQ(services->QueryService(SID_SInternetSecurityManager, __uuidof(IInternetSecurityManager),
                                     manager.put_void()),
              E_NOINTERFACE);
    EXPECT_FALSE(manager);

    ASSERT_EQ(TrustTemplatePage(host.get(), kTemplate), S_OK);
    ASSERT_EQ(services->QueryService(SID_SInternetSecurityManager, __uuidof(IInternetSecurityManager),
                                     manager.put_void()),
              S_OK);
    ASSERT_TRUE(manager);
    Answer script = AskManager(manager.get(), L"file:///C:/Program%20Files/Kestrune/Pinchwell/Template.html",
                               URLACTION_SCRIPT_RUN);
    EXPECT_EQ(script.result, S_OK);
    EXPECT_EQ(script.policy, DWORD(URLPOLICY_ALLOW));

    // No other service, and no other interface of the manager's service.
    ComPtr<IUnknown> other;
    EXPECT_EQ(services->QueryService(IID_IOleWindow, IID_IOleWindow, other.put_void()), SVC_E_UNKNOWNSERVICE);
    EXPECT_EQ(services->QueryService(SID_SInternetSecurityManager, IID_IOleWindow, other.put_void()), E_NOINTERFACE);
    EXPECT_FALSE(other);

    // An empty path trusts nothing again.
    ASSERT_EQ(TrustTemplatePage(host.get(), L""), S_OK);
    EXPECT_EQ(services->QueryService(SID_SInternetSecurityManager, __uuidof(IInternetSecurityManager),
                                     manager.put_void()),
              E_NOINTERFACE);
}

TEST_F(ControlHostTest, TheManagerLeavesEveryOtherQuestionToTheBrowser) {
    ComPtr<IInternetSecurityManager> manager;
    ASSERT_EQ(CreatePreviewSecurityManager(kTemplate, __uuidof(IInternetSecurityManager), manager.put_void()), S_OK);
    const wchar_t* const page = L"file://C:\\Program Files\\Kestrune\\Pinchwell\\Template.html";
    struct Case {
        const wchar_t* url;
        DWORD action;
    };
    const Case deferred[] = {
        {page, URLACTION_ACTIVEX_RUN},
        {page, URLACTION_BEHAVIOR_RUN},
        {page, URLACTION_JAVA_PERMISSIONS},
        {page, URLACTION_SCRIPT_OVERRIDE_SAFETY},
        {L"file:///C:/Program%20Files/Kestrune/Pinchwell/Other.html", URLACTION_SCRIPT_RUN},
        {L"http://example.com/", URLACTION_SCRIPT_RUN},
        {nullptr, URLACTION_SCRIPT_RUN},
    };
    for (const Case& c : deferred) {
        Answer answer = AskManager(manager.get(), c.url, c.action);
        EXPECT_EQ(answer.result, INET_E_DEFAULT_ACTION) << (c.url ? c.url : L"(null)") << " " << c.action;
        EXPECT_EQ(answer.policy, 0xBADF00Du);  // untouched
    }
    BYTE small = 0;
    EXPECT_EQ(manager->ProcessUrlAction(page, URLACTION_SCRIPT_RUN, &small, 1, nullptr, 0, 0, 0), INET_E_DEFAULT_ACTION);

    DWORD zone = 7;
    EXPECT_EQ(manager->MapUrlToZone(page, &zone, 0), INET_E_DEFAULT_ACTION);
    BYTE id[64];
    DWORD idSize = sizeof id;
    EXPECT_EQ(manager->GetSecurityId(page, id, &idSize, 0), INET_E_DEFAULT_ACTION);
    EXPECT_EQ(manager->SetSecuritySite(nullptr), INET_E_DEFAULT_ACTION);
    IInternetSecurityMgrSite* site = reinterpret_cast<IInternetSecurityMgrSite*>(1);
    EXPECT_EQ(manager->GetSecuritySite(&site), INET_E_DEFAULT_ACTION);
    EXPECT_EQ(site, nullptr);
    BYTE* policy = reinterpret_cast<BYTE*>(1);
    DWORD policySize = 9;
    EXPECT_EQ(manager->QueryCustomPolicy(page, GUID_NULL, &policy, &policySize, nullptr, 0, 0), INET_E_DEFAULT_ACTION);
    EXPECT_EQ(policy, nullptr);
    EXPECT_EQ(manager->SetZoneMapping(URLZONE_TRUSTED, L"file://*", SZM_CREATE), INET_E_DEFAULT_ACTION);
    IEnumString* mappings = reinterpret_cast<IEnumString*>(1);
    EXPECT_EQ(manager->GetZoneMappings(URLZONE_TRUSTED, &mappings, 0), INET_E_DEFAULT_ACTION);
    EXPECT_EQ(mappings, nullptr);
    EXPECT_EQ(manager.detach()->Release(), 0u);  // the caller's was its only reference
}
