// The script bridge on an IWebBrowser2: the document queries and the script call through
// WebBrowserHost, against COM substitutes.
#include <gtest/gtest.h>

#include "ScriptBridge.h"
#include "Substitutes.h"

TEST(ScriptBridge, GetPageExtentTakesTheLargerOfDocumentElementAndBodyForEachValue) {
    substitute::PageWithWindow page;
    page.root.scrollHeight = 3000;
    page.root.scrollWidth = 990;
    page.body.scrollHeight = 2800;
    page.body.scrollWidth = 1000;
    int height = 0, width = 0;
    EXPECT_EQ(GetPageExtent(page.browser.AsBrowser(), &height, &width), S_OK);
    EXPECT_EQ(height, 3000);
    EXPECT_EQ(width, 1000);
}

TEST(ScriptBridge, GetPageScrollReadsScrollTopAndScrollLeft) {
    substitute::PageWithWindow page;
    page.root.scrollTop = 1200;
    page.body.scrollLeft = 15;
    page.body.scrollLeftResult = S_FALSE;
    int top = 0, left = 0;
    EXPECT_EQ(GetPageScroll(page.browser.AsBrowser(), &top, &left), S_FALSE);
    EXPECT_EQ(top, 1200);
    EXPECT_EQ(left, 15);
}

TEST(ScriptBridge, ADocumentThatIsNotHtmlLeavesTheOutputsAlone) {
    substitute::PageWithWindow page;
    page.document.offersDocument3 = false;
    int a = 7, b = 8;
    EXPECT_EQ(GetPageExtent(page.browser.AsBrowser(), &a, &b), 1);
    EXPECT_EQ(GetPageScroll(page.browser.AsBrowser(), &a, &b), 1);
    EXPECT_EQ(GetPageExtent(static_cast<IWebBrowser2*>(nullptr), &a, &b), 1);
    EXPECT_EQ(a, 7);
    EXPECT_EQ(b, 8);
}

TEST(ScriptBridge, ExecScriptRunsJavascriptInThePagesWindow) {
    substitute::PageWithWindow page;
    EXPECT_EQ(ExecScript(page.browser.AsBrowser(), L"load_image('u',1,2,3,4,5,6)"), S_OK);
    ASSERT_EQ(page.window.scripts.size(), 1u);
    EXPECT_EQ(page.window.scripts[0].code, L"load_image('u',1,2,3,4,5,6)");
    EXPECT_EQ(page.window.scripts[0].language, L"Javascript");
    EXPECT_EQ(ExecScript(static_cast<IWebBrowser2*>(nullptr), L"x()"), E_POINTER);
    EXPECT_EQ(page.browser.refs, 1u);
    EXPECT_EQ(page.window.refs, 1u);
}
