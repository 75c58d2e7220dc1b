// The control host with Wine's real WebBrowser control: embedding, sizing, and every
// reference given back when the window goes.
#include <gtest/gtest.h>

#include <windows.h>
#include <exdisp.h>
#include <oleidl.h>

#include <pinchwell/ComInit.h>
#include <pinchwell/ComPtr.h>
#include <pinchwell/UniqueHandle.h>

#include "ComIds.h"
#include "ControlHost.h"

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
