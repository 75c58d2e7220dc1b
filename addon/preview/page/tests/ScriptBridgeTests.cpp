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

TEST(ScriptBridge, OnlyAPageWhoseScriptDefinesBothFunctionsIsTheTemplatePage) {
    struct Case {
        const char* what;
        void (*change)(substitute::PageWithWindow&, substitute::Script&);
        bool holds;
    };
    const Case cases[] = {
        {"the template page", [](substitute::PageWithWindow&, substitute::Script&) {}, true},
        {"more functions besides",
         [](substitute::PageWithWindow&, substitute::Script& s) { s.names.insert(s.names.begin(), L"fit"); }, true},
        {"change_div only", [](substitute::PageWithWindow&, substitute::Script& s) { s.names = {L"change_div"}; }, false},
        {"load_image only", [](substitute::PageWithWindow&, substitute::Script& s) { s.names = {L"load_image"}; }, false},
        {"an error page's script", [](substitute::PageWithWindow&, substitute::Script& s) { s.names = {L"doNetDetect"}; }, false},
        {"other case", [](substitute::PageWithWindow&, substitute::Script& s) { s.names = {L"Change_Div", L"Load_Image"}; }, false},
        {"a script that answers S_FALSE for names it lacks",
         [](substitute::PageWithWindow&, substitute::Script& s) { s.names = {L"change_div"}; s.unknownResult = S_FALSE; }, false},
        {"no script object", [](substitute::PageWithWindow& p, substitute::Script&) { p.document.script = nullptr; }, false},
        {"the script fails", [](substitute::PageWithWindow& p, substitute::Script&) { p.document.scriptResult = E_FAIL; }, false},
        {"no HTML document", [](substitute::PageWithWindow& p, substitute::Script&) { p.document.offersDocument2 = false; }, false},
        {"no document", [](substitute::PageWithWindow& p, substitute::Script&) { p.browser.document = nullptr; }, false},
        {"the document fails", [](substitute::PageWithWindow& p, substitute::Script&) { p.browser.documentResult = E_FAIL; }, false},
    };
    for (const Case& c : cases) {
        substitute::PageWithWindow page;
        substitute::Script script;
        script.names = {L"change_div", L"load_image"};
        page.document.script = &script;
        c.change(page, script);
        EXPECT_EQ(HoldsTemplatePage(page.browser.AsBrowser()), c.holds) << c.what;
        EXPECT_TRUE(page.AllReleased()) << c.what;
        EXPECT_EQ(script.refs, 1u) << c.what;
    }
    EXPECT_FALSE(HoldsTemplatePage(nullptr));
}
