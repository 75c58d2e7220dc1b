// The COM identities written out by hand match the platform's.
#include <gtest/gtest.h>

#include <windows.h>
#include <exdisp.h>
#include <mshtml.h>
#include <ocidl.h>
#include <oleidl.h>
#include <servprov.h>
#include <shobjidl.h>

#include "ComIds.h"

TEST(ComIds, MatchThePlatformHeaders) {
    EXPECT_TRUE(IsEqualGUID(comid::kHtmlDocument2, __uuidof(IHTMLDocument2)));
    EXPECT_TRUE(IsEqualGUID(comid::kHtmlDocument3, __uuidof(IHTMLDocument3)));
    EXPECT_TRUE(IsEqualGUID(comid::kHtmlElement, __uuidof(IHTMLElement)));
    EXPECT_TRUE(IsEqualGUID(comid::kHtmlElement2, __uuidof(IHTMLElement2)));
    EXPECT_TRUE(IsEqualGUID(comid::kServiceProvider, __uuidof(IServiceProvider)));
    EXPECT_TRUE(IsEqualGUID(comid::kOleWindow, __uuidof(IOleWindow)));
    EXPECT_TRUE(IsEqualGUID(comid::kWebBrowser2, __uuidof(IWebBrowser2)));
    EXPECT_TRUE(IsEqualGUID(comid::kConnectionPointContainer, __uuidof(IConnectionPointContainer)));
    // SID_SShellBrowser is the identity of IShellBrowser.
    EXPECT_TRUE(IsEqualGUID(comid::kShellBrowserService, __uuidof(IShellBrowser)));
}

TEST(ComIds, MatchThePlatformLibrary) {
    EXPECT_TRUE(IsEqualGUID(comid::kHtmlDocument2, IID_IHTMLDocument2));
    EXPECT_TRUE(IsEqualGUID(comid::kHtmlElement2, IID_IHTMLElement2));
    EXPECT_TRUE(IsEqualGUID(comid::kWebBrowser2, IID_IWebBrowser2));
    EXPECT_TRUE(IsEqualGUID(comid::kWebBrowserClass, CLSID_WebBrowser));
    EXPECT_TRUE(IsEqualGUID(comid::kWebBrowserEvents2, DIID_DWebBrowserEvents2));
}
