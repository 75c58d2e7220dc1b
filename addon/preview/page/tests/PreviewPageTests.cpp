// The script texts, UpdatePage and the two document queries, on a substitute
// browser.
#include <gtest/gtest.h>

#include <climits>

#include "PreviewPage.h"
#include "SubstituteBrowser.h"
#include "TestFiles.h"

namespace {

CPreviewPage ExamplePage(IBrowserHost* preview) {
    CPreviewPage page;
    page.previewBrowser = preview;
    page.pageWidth = 1000;
    page.pageHeight = 3000;
    page.imageUrl = L"file:///C:/Temp/temp.png";
    page.scrollTop = 1200;
    page.scrollLeft = 0;
    page.imageWidth = 778;
    page.imageHeight = 578;
    return page;
}

class UpdatePage : public StoredZoomTest {};

// The single quotes that are not preceded by an escaping backslash: where a string
// literal of the script begins or ends.
std::size_t CountUnescapedQuotes(const std::wstring& script) {
    std::size_t quotes = 0;
    for (std::size_t i = 0; i < script.size(); ++i) {
        if (script[i] == L'\\') ++i;  // the escaped character is skipped
        else if (script[i] == L'\'') ++quotes;
    }
    return quotes;
}

}  // namespace

TEST(PreviewPageScripts, TheWorkedExample) {
    CPreviewPage page = ExamplePage(nullptr);
    EXPECT_EQ(ChangeDivScript(page.pageWidth, page.pageHeight), L"change_div(1000,3000)");
    EXPECT_EQ(LoadImageScript(page), L"load_image('file:///C:/Temp/temp.png',778,578,1200,0,222,1222)");
}

TEST(PreviewPageScripts, APageNarrowerThanThePictureGivesPositiveRoom) {
    CPreviewPage page = ExamplePage(nullptr);
    page.pageWidth = 500;
    page.scrollLeft = 100;     // |500 - 778 - 100| = 378
    page.pageHeight = 600;
    page.scrollTop = 50;       // |600 - 578 - 50| = 28
    EXPECT_EQ(LoadImageScript(page), L"load_image('file:///C:/Temp/temp.png',778,578,50,100,378,28)");
}

TEST(PreviewPageScripts, NumbersArePlainSignedDecimals) {
    EXPECT_EQ(ChangeDivScript(-5, 0), L"change_div(-5,0)");
    CPreviewPage page;
    page.imageWidth = -1;
    page.scrollTop = -2;
    EXPECT_EQ(LoadImageScript(page), L"load_image('',-1,0,-2,0,1,2)");
}

TEST(PreviewPageScripts, AQuoteInTheUrlStaysInsideTheString) {
    // A user named O'Brien: the temporary folder holds a quote.
    CPreviewPage page = ExamplePage(nullptr);
    page.imageUrl = L"file:///C:/Users/O'Brien/AppData/Local/Temp/temp.png";
    EXPECT_EQ(LoadImageScript(page),
              L"load_image('file:///C:/Users/O\\'Brien/AppData/Local/Temp/temp.png',778,578,1200,0,222,1222)");
    EXPECT_EQ(CountUnescapedQuotes(LoadImageScript(page)), 2u);
}

TEST(PreviewPageScripts, ABackslashAndALineBreakInTheUrlAreEscaped) {
    CPreviewPage page;
    page.imageUrl = L"C:\\Temp\\a\nb\r\\temp.png";
    EXPECT_EQ(LoadImageScript(page), L"load_image('C:\\\\Temp\\\\a\\nb\\r\\\\temp.png',0,0,0,0,0,0)");
}

TEST(PreviewPageScripts, ACraftedFolderNameCannotCloseTheCall) {
    // Without escaping this would run alert(1) in the preview page.
    CPreviewPage page;
    page.imageUrl = L"file:///C:/x',0,0,0,0,0,0);alert(1);//";
    std::wstring script = LoadImageScript(page);
    EXPECT_EQ(script, L"load_image('file:///C:/x\\',0,0,0,0,0,0);alert(1);//',0,0,0,0,0,0)");
    EXPECT_EQ(CountUnescapedQuotes(script), 2u);
}

TEST(PreviewPageScripts, ArithmeticWrapsLikeThe32BitPlatform) {
    CPreviewPage page;
    page.pageWidth = INT_MAX;
    page.imageWidth = -1;      // INT_MAX + 1 wraps to INT_MIN, whose absolute value is itself
    page.pageHeight = INT_MIN;  // |INT_MIN - 0 - 0| is INT_MIN as well
    EXPECT_EQ(LoadImageScript(page), L"load_image('',-1,0,0,0,-2147483648,-2147483648)");
}

TEST_F(UpdatePage, SetsZoom100ThenRunsChangeDivThenLoadImage) {
    SubstituteBrowser preview;
    preview.zoom = 240;
    CPreviewPage page = ExamplePage(&preview);
    page.UpdatePage();
    EXPECT_EQ(preview.calls,
              (std::vector<std::string>{
                  "ExecOpticalZoom(100)", "ExecScript(change_div(1000,3000))",
                  "ExecScript(load_image('file:///C:/Temp/temp.png',778,578,1200,0,222,1222))"}));
    EXPECT_EQ(preview.zoom, 100);
    EXPECT_EQ(StoredZoomFactor(), 100000u);  // with all the effects of SetBrowserZoom
}

TEST_F(UpdatePage, IgnoresFailuresAndRunsEveryStep) {
    SubstituteBrowser preview;
    preview.setZoomResult = kResultUnexpected;
    preview.scriptResult = kResultFail;
    CPreviewPage page = ExamplePage(&preview);
    page.UpdatePage();
    EXPECT_EQ(preview.calls.size(), 3u);
    EXPECT_EQ(preview.scripts.size(), 2u);
}

TEST_F(UpdatePage, WithoutAPreviewBrowserDoesNothing) {
    CPreviewPage page = ExamplePage(nullptr);
    page.UpdatePage();
    EXPECT_EQ(StoredZoomFactor(), std::nullopt);
}

TEST(GetPageExtent, TakesTheLargerValueOfDocumentElementAndBodyForEachOutput) {
    SubstituteBrowser browser;
    browser.extent = SubstituteBrowser::Scroll(3000, 900, 2500, 1200);  // heights, then widths
    std::int32_t height = 0, width = 0;
    EXPECT_EQ(GetPageExtent(&browser, height, width), kResultOk);
    EXPECT_EQ(height, 3000);
    EXPECT_EQ(width, 1200);
    EXPECT_EQ(browser.calls, std::vector<std::string>{"ReadDocumentScroll(Extent)"});
}

TEST(GetPageScroll, TakesTheLargerScrollTopAndScrollLeft) {
    SubstituteBrowser browser;
    browser.offsets = SubstituteBrowser::Scroll(0, 40, 1200, 0);  // tops, then lefts
    std::int32_t top = -1, left = -1;
    EXPECT_EQ(GetPageScroll(&browser, top, left), kResultOk);
    EXPECT_EQ(top, 1200);
    EXPECT_EQ(left, 40);
    EXPECT_EQ(browser.calls, std::vector<std::string>{"ReadDocumentScroll(Offsets)"});
}

TEST(GetPageExtent, ReturnsTheResultOfTheLastPropertyRead) {
    SubstituteBrowser browser;
    browser.extent = SubstituteBrowser::Scroll(10, 20, 30, 40);
    browser.extent.root.firstResult = kResultFail;  // an earlier failure does not count
    std::int32_t height = 0, width = 0;
    EXPECT_EQ(GetPageExtent(&browser, height, width), kResultOk);
    browser.extent.body.secondResult = kResultUnexpected;
    EXPECT_EQ(GetPageExtent(&browser, height, width), kResultUnexpected);
    EXPECT_EQ(height, 30);  // the values read are still used
    EXPECT_EQ(width, 40);
}

TEST(GetPageExtent, ATabWithoutAnHtmlDocumentWritesNothingAndReturnsOne) {
    SubstituteBrowser browser;  // extent and offsets are not usable
    std::int32_t a = 11, b = 22;
    EXPECT_EQ(GetPageExtent(&browser, a, b), 1);
    EXPECT_EQ(GetPageScroll(&browser, a, b), 1);
    EXPECT_EQ(GetPageExtent(nullptr, a, b), 1);
    EXPECT_EQ(a, 11);
    EXPECT_EQ(b, 22);
}

TEST(ExecScript, RunsTheTextAndReturnsTheBrowsersResult) {
    SubstituteBrowser browser;
    browser.scriptResult = kResultFail;
    EXPECT_EQ(ExecScript(&browser, L"change_div(1,2)"), kResultFail);
    EXPECT_EQ(browser.scripts, std::vector<std::wstring>{L"change_div(1,2)"});
    EXPECT_EQ(ExecScript(nullptr, L"x()"), kResultPointer);
}

TEST(MeasurePage, RunsTheExtentQueryThenTheScrollQueryAndKeepsWhatTheyFound) {
    SubstituteBrowser tab;
    tab.extent = SubstituteBrowser::Scroll(3000, 900, 2500, 1000);
    tab.offsets = SubstituteBrowser::Scroll(1200, 0, 0, 30);
    PageMeasures measures = MeasurePage(&tab);
    ASSERT_TRUE(measures.extent);
    ASSERT_TRUE(measures.scroll);
    EXPECT_EQ(measures.extent->first, 3000);
    EXPECT_EQ(measures.extent->second, 1000);
    EXPECT_EQ(measures.scroll->first, 1200);
    EXPECT_EQ(measures.scroll->second, 30);
    EXPECT_EQ(tab.calls, (std::vector<std::string>{"ReadDocumentScroll(Extent)", "ReadDocumentScroll(Offsets)"}));
}

TEST(MeasurePage, AQueryThatWritesNothingGivesNoValue) {
    SubstituteBrowser tab;  // no HTML document
    PageMeasures measures = MeasurePage(&tab);
    EXPECT_FALSE(measures.extent);
    EXPECT_FALSE(measures.scroll);
    EXPECT_FALSE(MeasurePage(nullptr).extent);

    tab.extent = SubstituteBrowser::Scroll(10, 20, 30, 40);
    tab.extent.body.secondResult = kResultFalse;  // a read that answered S_FALSE still wrote its outputs
    measures = MeasurePage(&tab);
    ASSERT_TRUE(measures.extent);
    EXPECT_EQ(measures.extent->second, 40);
    EXPECT_FALSE(measures.scroll);
}

TEST_F(UpdatePage, AMeasuredPageIsHandedOnAsMeasured) {
    SubstituteBrowser tab;
    tab.extent = SubstituteBrowser::Scroll(3000, 1000, 2000, 900);
    tab.offsets = SubstituteBrowser::Scroll(1200, 0, 1100, 0);
    SubstituteBrowser preview;
    CPreviewPage page;
    page.StorePinchStart(&preview, MeasurePage(&tab), L"file:///C:/Temp/temp.png", 778, 578);
    page.UpdatePage();
    EXPECT_EQ(preview.scripts, (std::vector<std::wstring>{
                                   L"change_div(1000,3000)",
                                   L"load_image('file:///C:/Temp/temp.png',778,578,1200,0,222,1222)"}));
}

TEST_F(UpdatePage, WithoutAnHtmlDocumentThePageIsThePictureAlone) {
    SubstituteBrowser tab;  // both queries leave their outputs unwritten
    SubstituteBrowser preview;
    CPreviewPage page;
    page.scrollTop = 999;  // left over from an earlier pinch
    page.pageWidth = 4000;
    page.StorePinchStart(&preview, MeasurePage(&tab), L"file:///C:/Temp/temp.png", 778, 578);
    EXPECT_EQ(page.previewBrowser, &preview);
    page.UpdatePage();
    EXPECT_EQ(preview.scripts, (std::vector<std::wstring>{L"change_div(778,578)",
                                                          L"load_image('file:///C:/Temp/temp.png',778,578,0,0,0,0)"}));
}

TEST_F(UpdatePage, AMissingScrollAloneCountsAsTheTopLeftOfTheMeasuredPage) {
    SubstituteBrowser tab;
    tab.extent = SubstituteBrowser::Scroll(3000, 1000, 0, 0);
    SubstituteBrowser preview;
    CPreviewPage page;
    page.StorePinchStart(&preview, MeasurePage(&tab), L"u", 778, 578);
    page.UpdatePage();
    EXPECT_EQ(preview.scripts.back(), L"load_image('u',778,578,0,0,222,2422)");
}
