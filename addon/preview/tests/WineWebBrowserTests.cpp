// The browser host against the real WebBrowser object that Wine offers (CLSID_WebBrowser, not
// hosted): what it can answer. It has no HTML engine here, so it has no document and
// refuses the optical zoom; it does offer the DWebBrowserEvents2 connection point.
#include <gtest/gtest.h>

#include <windows.h>
#include <exdisp.h>

#include <pinchwell/ComInit.h>
#include <pinchwell/ComPtr.h>

#include "ComIds.h"
#include "PageCapture.h"
#include "ScriptBridge.h"
#include "Substitutes.h"
#include "TestFiles.h"
#include "WebBrowserHost.h"
#include "ZoomCommands.h"

namespace {

class WineWebBrowser : public StoredZoomTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(com_.result()));
        ASSERT_EQ(::CoCreateInstance(comid::kWebBrowserClass, nullptr, CLSCTX_INPROC_SERVER, comid::kWebBrowser2,
                                     browser_.put_void()),
                  S_OK);
        ASSERT_TRUE(browser_);
        StoredZoomTest::SetUp();
    }
    void TearDown() override { StoredZoomTest::TearDown(); }
    IWebBrowser2* Browser() { return browser_.get(); }

private:
    pinchwell::ComInit com_;
    pinchwell::ComPtr<IWebBrowser2> browser_;
};

}  // namespace

TEST_F(WineWebBrowser, RefusesTheZoomQuerySoTheZoomReadsAs100) {
    int percent = -1;
    HRESULT hr = GetBrowserZoom(Browser(), &percent);
    EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
    EXPECT_EQ(percent, 100);
}

TEST_F(WineWebBrowser, RefusesTheZoomButTheZoomFactorIsStoredAnyway) {
    HRESULT hr = SetBrowserZoom(Browser(), 250);
    EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
    EXPECT_EQ(StoredZoomFactor(), 250000u);
}

TEST_F(WineWebBrowser, HasNoDocumentSoItsImagesCountAsReady) {
    EXPECT_TRUE(ArePageImagesReady(Browser()));
}

TEST_F(WineWebBrowser, HasNoDocumentToMeasureOrScriptOrScroll) {
    int a = 11, b = 22;
    EXPECT_EQ(GetPageExtent(Browser(), &a, &b), 1);
    EXPECT_EQ(GetPageScroll(Browser(), &a, &b), 1);
    EXPECT_EQ(a, 11);
    EXPECT_EQ(b, 22);
    EXPECT_TRUE(FAILED(ExecScript(Browser(), L"change_div(1,2)")));
    WebBrowserHost host(Browser());
    EXPECT_TRUE(FAILED(host.ScrollBy(1, 1)));
}

TEST_F(WineWebBrowser, HasNoShellBrowserSoNoContentWindowIsFound) {
    HWND window = reinterpret_cast<HWND>(0x55);
    EXPECT_TRUE(FAILED(GetBrowserShellWindow(Browser(), &window)));
    EXPECT_EQ(window, reinterpret_cast<HWND>(0x55));
    EXPECT_TRUE(FAILED(FindContentWindow(Browser(), &window)));
    EXPECT_EQ(window, reinterpret_cast<HWND>(0x55));
}

TEST_F(WineWebBrowser, AcceptsAnEventSinkAndLetsItGo) {
    substitute::EventSink sink;
    WebBrowserHost host(Browser());
    std::uint32_t cookie = 0;
    ASSERT_EQ(host.AdviseEvents(static_cast<IUnknown*>(&sink), cookie), S_OK);
    EXPECT_NE(cookie, 0u);
    EXPECT_GT(sink.refs, 1u);  // the browser holds the sink while it is advised
    EXPECT_EQ(host.UnadviseEvents(cookie), S_OK);
    EXPECT_EQ(sink.refs, 1u);
    EXPECT_TRUE(FAILED(host.UnadviseEvents(cookie)));
}
