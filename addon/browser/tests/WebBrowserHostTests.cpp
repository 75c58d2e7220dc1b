// WebBrowserHost makes the COM calls that the hook, the zoom commands, the capture and
// the script bridge rely on, with their exact arguments, and gives back every reference it takes.
// Against COM substitutes of IWebBrowser2 and MSHTML.
#include <gtest/gtest.h>

#include <shobjidl.h>

#include "Substitutes.h"
#include "TestFiles.h"
#include "WebBrowserHost.h"
#include "ZoomCommands.h"

namespace {

using States = std::vector<std::optional<std::int32_t>>;

// A browser showing a document with images whose ready states are given.
struct PageWithImages {
    substitute::WebBrowser browser;
    substitute::Document document;
    substitute::ImageCollection images;
    std::vector<std::unique_ptr<substitute::Element>> elements;

    explicit PageWithImages(const std::vector<LONG>& readyStates) {
        browser.document = &document;
        document.images = &images;
        for (LONG state : readyStates) {
            elements.push_back(std::make_unique<substitute::Element>());
            elements.back()->readyState = state;
            images.items.push_back(elements.back().get());
        }
    }
    bool AllReleased() const {
        for (const auto& e : elements)
            if (e->refs != 1) return false;
        return browser.refs == 1 && document.refs == 1 && images.refs == 1;
    }
};

class WebBrowserHostZoom : public StoredZoomTest {};

}  // namespace

TEST(WebBrowserHost, HoldsOneReferenceForItsLifetime) {
    substitute::WebBrowser browser;
    {
        WebBrowserHost host(browser.AsBrowser());
        EXPECT_EQ(browser.refs, 2u);
        EXPECT_EQ(host.Browser(), browser.AsBrowser());
    }
    EXPECT_EQ(browser.refs, 1u);
}

TEST(WebBrowserHost, SettingTheZoomSendsOpticalZoomWithPromptAndAnI4) {
    substitute::WebBrowser browser;
    WebBrowserHost host(browser.AsBrowser());
    EXPECT_EQ(host.ExecOpticalZoom(250), S_OK);
    ASSERT_EQ(browser.execCalls.size(), 1u);
    const auto& call = browser.execCalls[0];
    EXPECT_EQ(call.command, OLECMDID_OPTICAL_ZOOM);
    EXPECT_EQ(static_cast<int>(call.command), 63);
    EXPECT_EQ(call.option, OLECMDEXECOPT_PROMPTUSER);
    EXPECT_TRUE(call.input);
    EXPECT_EQ(call.inputType, VT_I4);
    EXPECT_EQ(call.inputValue, 250);
    EXPECT_FALSE(call.output);
    EXPECT_EQ(call.refsDuringCall, 3u);  // the test's, the host's and one for the call
    EXPECT_EQ(browser.refs, 2u);
}

TEST(WebBrowserHost, QueryingTheZoomSendsOpticalZoomWithoutPromptAndAnI4Preset) {
    substitute::WebBrowser browser;
    browser.zoom = 175;
    WebBrowserHost host(browser.AsBrowser());
    std::int32_t percent = 100;
    EXPECT_EQ(host.QueryOpticalZoom(percent), S_OK);
    EXPECT_EQ(percent, 175);
    ASSERT_EQ(browser.execCalls.size(), 1u);
    const auto& call = browser.execCalls[0];
    EXPECT_EQ(call.command, OLECMDID_OPTICAL_ZOOM);
    EXPECT_EQ(call.option, OLECMDEXECOPT_DONTPROMPTUSER);
    EXPECT_FALSE(call.input);
    EXPECT_TRUE(call.output);
    EXPECT_EQ(call.outputType, VT_I4);
    EXPECT_EQ(call.outputValue, 100);
}

TEST(WebBrowserHost, AQueryThatTheBrowserRefusesKeepsThePreset) {
    substitute::WebBrowser browser;
    browser.answersQuery = false;
    browser.execResult = E_UNEXPECTED;
    int percent = -1;
    EXPECT_EQ(GetBrowserZoom(browser.AsBrowser(), &percent), E_UNEXPECTED);
    EXPECT_EQ(percent, 100);
    EXPECT_EQ(browser.refs, 1u);
}

TEST_F(WebBrowserHostZoom, SetBrowserZoomOnAnIWebBrowser2SetsAndStores) {
    substitute::WebBrowser browser;
    EXPECT_EQ(SetBrowserZoom(browser.AsBrowser(), 250), S_OK);
    EXPECT_EQ(browser.zoom, 250);
    EXPECT_EQ(StoredZoomFactor(), 250000u);
    EXPECT_EQ(browser.refs, 1u);

    browser.execResult = E_UNEXPECTED;
    EXPECT_EQ(SetBrowserZoom(browser.AsBrowser(), 120), E_UNEXPECTED);
    EXPECT_EQ(StoredZoomFactor(), 120000u);

    EXPECT_EQ(SetBrowserZoom(static_cast<IWebBrowser2*>(nullptr), 300), 1);
    EXPECT_EQ(StoredZoomFactor(), 120000u);
}

TEST(WebBrowserHostImages, ThreeImagesOfWhichOnlyTheLastHasFinishedAreReady) {
    PageWithImages page({READYSTATE_LOADING, READYSTATE_INTERACTIVE, READYSTATE_COMPLETE});
    EXPECT_TRUE(ArePageImagesReady(page.browser.AsBrowser()));
    ASSERT_EQ(page.images.itemCalls.size(), 3u);
    for (LONG i = 0; i < 3; ++i) {
        EXPECT_EQ(page.images.itemCalls[i].nameType, VT_I4);
        EXPECT_EQ(page.images.itemCalls[i].name, i);
        EXPECT_EQ(page.images.itemCalls[i].indexType, VT_EMPTY);
    }
    EXPECT_TRUE(page.AllReleased());
}

TEST(WebBrowserHostImages, ALastImageStillLoadingIsNotReady) {
    PageWithImages page({READYSTATE_COMPLETE, READYSTATE_COMPLETE, READYSTATE_LOADING});
    EXPECT_FALSE(ArePageImagesReady(page.browser.AsBrowser()));
    EXPECT_TRUE(page.AllReleased());
}

TEST(WebBrowserHostImages, APageWithoutImagesIsNotReadyAndNoItemIsAskedFor) {
    PageWithImages page({});
    EXPECT_FALSE(ArePageImagesReady(page.browser.AsBrowser()));
    EXPECT_TRUE(page.images.itemCalls.empty());
    EXPECT_TRUE(page.AllReleased());
}

TEST(WebBrowserHostImages, NoDocumentOrNoHtmlDocumentOrNoCollectionIsReady) {
    PageWithImages page({READYSTATE_LOADING});
    page.browser.document = nullptr;
    EXPECT_TRUE(ArePageImagesReady(page.browser.AsBrowser()));
    page.browser.document = &page.document;
    page.document.offersDocument2 = false;
    EXPECT_TRUE(ArePageImagesReady(page.browser.AsBrowser()));
    page.document.offersDocument2 = true;
    page.document.images = nullptr;
    page.document.imagesResult = E_FAIL;
    EXPECT_TRUE(ArePageImagesReady(page.browser.AsBrowser()));
    EXPECT_TRUE(page.AllReleased());
}

TEST(WebBrowserHostImages, ACollectionGivenWithAResultOtherThanSOkIsNotReadAndNotReady) {
    PageWithImages page({READYSTATE_COMPLETE});
    page.document.imagesResult = S_FALSE;
    EXPECT_FALSE(ArePageImagesReady(page.browser.AsBrowser()));
    EXPECT_TRUE(page.images.itemCalls.empty());
    EXPECT_TRUE(page.AllReleased());
}

TEST(WebBrowserHostImages, ALengthThatCannotBeReadIsNotReady) {
    PageWithImages page({READYSTATE_COMPLETE});
    page.images.lengthResult = E_FAIL;
    EXPECT_FALSE(ArePageImagesReady(page.browser.AsBrowser()));
    EXPECT_TRUE(page.images.itemCalls.empty());
}

TEST(WebBrowserHostImages, ItemsThatCannotBeReadAreSkipped) {
    PageWithImages page({READYSTATE_COMPLETE, READYSTATE_LOADING, READYSTATE_LOADING, READYSTATE_LOADING});
    page.images.itemResults = {S_OK, S_FALSE, S_OK, S_OK};  // item 1: a result other than S_OK
    page.elements[2]->offersElement = false;                // item 2: no IHTMLElement
    page.elements[3]->offersElement2 = false;               // item 3: no IHTMLElement2
    WebBrowserHost host(page.browser.AsBrowser());
    PageImages read = host.ReadPageImages();
    EXPECT_EQ(read.readyStates, (States{4, std::nullopt, std::nullopt, std::nullopt}));
    EXPECT_TRUE(DecidePageImagesReady(read));
    EXPECT_TRUE(page.elements[1]->reads.empty());
}

TEST(WebBrowserHostImages, AReadyStateThatCannotBeReadCountsAsNotComplete) {
    PageWithImages page({READYSTATE_COMPLETE, READYSTATE_COMPLETE});
    page.elements[1]->readyStateResult = E_FAIL;
    EXPECT_FALSE(ArePageImagesReady(page.browser.AsBrowser()));
}

TEST(WebBrowserHostScroll, ReadsTheDocumentElementThenTheBody) {
    substitute::PageWithWindow page;
    page.root.scrollHeight = 3000;
    page.root.scrollWidth = 900;
    page.body.scrollHeight = 2500;
    page.body.scrollWidth = 1200;
    page.body.scrollWidthResult = S_FALSE;
    WebBrowserHost host(page.browser.AsBrowser());
    DocumentScroll extent = host.ReadDocumentScroll(ScrollProperties::Extent);
    EXPECT_TRUE(extent.usable);
    EXPECT_EQ(extent.root.first, 3000);
    EXPECT_EQ(extent.root.second, 900);
    EXPECT_EQ(extent.body.first, 2500);
    EXPECT_EQ(extent.body.second, 1200);
    EXPECT_EQ(extent.body.secondResult, S_FALSE);
    EXPECT_EQ(page.root.reads, (std::vector<std::string>{"scrollHeight", "scrollWidth"}));
    EXPECT_EQ(page.body.reads, (std::vector<std::string>{"scrollHeight", "scrollWidth"}));

    page.root.scrollTop = 1200;
    page.body.scrollLeft = 40;
    DocumentScroll offsets = host.ReadDocumentScroll(ScrollProperties::Offsets);
    EXPECT_EQ(offsets.root.first, 1200);
    EXPECT_EQ(offsets.body.second, 40);
    EXPECT_EQ(page.body.reads.back(), "scrollLeft");
}

TEST(WebBrowserHostScroll, AnyMissingPieceMakesTheQueryUnusable) {
    substitute::PageWithWindow page;
    WebBrowserHost host(page.browser.AsBrowser());
    page.document.offersDocument3 = false;
    EXPECT_FALSE(host.ReadDocumentScroll(ScrollProperties::Extent).usable);
    page.document.offersDocument3 = true;
    page.root.offersElement2 = false;
    EXPECT_FALSE(host.ReadDocumentScroll(ScrollProperties::Extent).usable);
    page.root.offersElement2 = true;
    page.document.body = nullptr;
    EXPECT_FALSE(host.ReadDocumentScroll(ScrollProperties::Extent).usable);
    page.document.body = &page.body;
    page.document.offersDocument2 = false;
    EXPECT_FALSE(host.ReadDocumentScroll(ScrollProperties::Extent).usable);
    page.document.offersDocument2 = true;
    page.browser.document = nullptr;
    EXPECT_FALSE(host.ReadDocumentScroll(ScrollProperties::Extent).usable);
    page.browser.document = &page.document;
    EXPECT_TRUE(host.ReadDocumentScroll(ScrollProperties::Extent).usable);
    EXPECT_EQ(page.document.refs, 1u);
    EXPECT_EQ(page.root.refs, 1u);
    EXPECT_EQ(page.body.refs, 1u);
}

TEST(WebBrowserHostWindow, ScrollByReachesTheDocumentsWindow) {
    substitute::PageWithWindow page;
    {
        WebBrowserHost host(page.browser.AsBrowser());
        EXPECT_EQ(host.ScrollBy(-5, 10), S_OK);
    }
    EXPECT_EQ(page.window.scrolls, (std::vector<std::pair<LONG, LONG>>{{-5, 10}}));
    EXPECT_TRUE(page.AllReleased());
}

TEST(WebBrowserHostWindow, ScrollByReportsWhereTheWayToTheWindowFails) {
    substitute::PageWithWindow page;
    WebBrowserHost host(page.browser.AsBrowser());
    page.browser.documentResult = E_ACCESSDENIED;
    EXPECT_EQ(host.ScrollBy(1, 1), E_ACCESSDENIED);
    page.browser.documentResult = S_OK;
    page.browser.document = nullptr;
    EXPECT_EQ(host.ScrollBy(1, 1), E_POINTER);
    page.browser.document = &page.document;
    page.document.offersDocument2 = false;
    EXPECT_EQ(host.ScrollBy(1, 1), E_NOINTERFACE);
    page.document.offersDocument2 = true;
    page.document.window = nullptr;
    EXPECT_EQ(host.ScrollBy(1, 1), E_POINTER);
    EXPECT_TRUE(page.window.scrolls.empty());
}

TEST(WebBrowserHostWindow, ExecScriptRunsTheTextAsJavascriptWithAResultVariant) {
    substitute::PageWithWindow page;
    page.window.scriptResult = static_cast<HRESULT>(0x80020101);  // SCRIPT_E_REPORTED
    {
        WebBrowserHost host(page.browser.AsBrowser());
        EXPECT_EQ(host.ExecScript(L"change_div(1000,3000)"), static_cast<HResult>(0x80020101));
    }
    ASSERT_EQ(page.window.scripts.size(), 1u);
    EXPECT_EQ(page.window.scripts[0].code, L"change_div(1000,3000)");
    EXPECT_EQ(page.window.scripts[0].language, L"Javascript");
    EXPECT_TRUE(page.window.scripts[0].resultGiven);
    EXPECT_TRUE(page.AllReleased());
}

TEST(WebBrowserHostShell, TheShellWindowComesFromTheShellBrowserService) {
    substitute::WebBrowser browser;
    substitute::OleWindow shell;
    shell.window = reinterpret_cast<HWND>(0x1234);
    browser.shellView = &shell;
    WebBrowserHost host(browser.AsBrowser());
    WindowHandle window = nullptr;
    EXPECT_EQ(host.GetShellWindow(window), S_OK);
    EXPECT_EQ(window, reinterpret_cast<WindowHandle>(0x1234));
    ASSERT_EQ(browser.serviceCalls.size(), 1u);
    EXPECT_TRUE(IsEqualGUID(browser.serviceCalls[0].first, __uuidof(IShellBrowser)));
    EXPECT_TRUE(IsEqualGUID(browser.serviceCalls[0].second, __uuidof(IOleWindow)));
    EXPECT_EQ(shell.refs, 1u);
    EXPECT_EQ(browser.refs, 2u);
}

TEST(WebBrowserHostShell, TheFirstFailureIsReturnedAndTheWindowLeftAlone) {
    substitute::WebBrowser browser;
    WebBrowserHost host(browser.AsBrowser());
    WindowHandle window = reinterpret_cast<WindowHandle>(0x77);
    browser.serviceResult = E_FAIL;
    EXPECT_EQ(host.GetShellWindow(window), E_FAIL);
    browser.offersServices = false;
    EXPECT_EQ(host.GetShellWindow(window), E_NOINTERFACE);
    substitute::OleWindow shell;
    shell.result = E_UNEXPECTED;
    browser.offersServices = true;
    browser.shellView = &shell;
    EXPECT_EQ(host.GetShellWindow(window), E_UNEXPECTED);
    EXPECT_EQ(window, reinterpret_cast<WindowHandle>(0x77));
}

TEST(WebBrowserHostNavigation, NavigatesToAPathInABstrVariantWithNothingElse) {
    substitute::WebBrowser browser;
    WebBrowserHost host(browser.AsBrowser());
    EXPECT_EQ(host.Navigate(L"C:\\Program Files\\Kestrune\\Pinchwell\\Template.html"), S_OK);
    ASSERT_EQ(browser.navigations.size(), 1u);
    const auto& call = browser.navigations[0];
    EXPECT_EQ(call.urlType, VT_BSTR);
    EXPECT_EQ(call.url, L"C:\\Program Files\\Kestrune\\Pinchwell\\Template.html");
    EXPECT_FALSE(call.flags || call.target || call.postData || call.headers);
}

TEST(WebBrowserHostEvents, ABrowserWithoutConnectionPointsRefusesAdvise) {
    substitute::WebBrowser browser;
    substitute::EventSink sink;
    WebBrowserHost host(browser.AsBrowser());
    std::uint32_t cookie = 0;
    EXPECT_EQ(host.AdviseEvents(static_cast<IUnknown*>(&sink), cookie), E_NOINTERFACE);
    EXPECT_EQ(host.UnadviseEvents(1), E_NOINTERFACE);
}

TEST(WebBrowserHostNull, ANullBrowserAnswersEverythingWithoutCrashing) {
    WebBrowserHost host(nullptr);
    std::int32_t percent = 5;
    EXPECT_EQ(host.ExecOpticalZoom(100), E_POINTER);
    EXPECT_EQ(host.QueryOpticalZoom(percent), E_POINTER);
    EXPECT_FALSE(host.ReadPageImages().document);
    EXPECT_FALSE(host.ReadDocumentScroll(ScrollProperties::Offsets).usable);
    EXPECT_EQ(host.ScrollBy(1, 2), E_POINTER);
    EXPECT_EQ(host.ExecScript(L"x()"), E_POINTER);
    WindowHandle window = nullptr;
    EXPECT_EQ(host.GetShellWindow(window), E_POINTER);
    EXPECT_EQ(host.Navigate(L"x"), E_POINTER);
    EXPECT_TRUE(ArePageImagesReady(static_cast<IWebBrowser2*>(nullptr)));
}
