// What the preview control's security manager allows: the template page's script, and
// nothing for any other page or action.
#include <gtest/gtest.h>

#include <cstdint>

#include "TemplateSecurity.h"

namespace {
const std::wstring kTemplate = L"C:\\Program Files\\Kestrune\\Pinchwell\\Template.html";
}  // namespace

TEST(TemplateSecurity, TheTemplatePageIsNamedInEveryFormTheControlReports) {
    const wchar_t* const names[] = {
        L"C:\\Program Files\\Kestrune\\Pinchwell\\Template.html",
        L"file:///C:/Program%20Files/Kestrune/Pinchwell/Template.html",
        L"file://C:\\Program Files\\Kestrune\\Pinchwell\\Template.html",
        L"file:///C:/Program Files/Kestrune/Pinchwell/Template.html",
        L"file:///C:\\Program%20Files\\Kestrune\\Pinchwell\\Template.html",
        L"FILE:///c:/PROGRAM%20files/kestrune/PINCHWELL/template.HTML",
        L"c:\\program files\\kestrune\\pinchwell\\TEMPLATE.html",
        L"C:/Program Files\\Kestrune/Pinchwell\\Template.html",
        L"file:///C:/Program%20Files/Kestrune/Pinchwell/Template.html?pinch=1",
        L"file:///C:/Program%20Files/Kestrune/Pinchwell/Template.html#top",
        L"C:\\Program Files\\Kestrune\\Pinchwell\\Template.html?",
        L"file://C:\\Program Files\\Kestrune\\Pinchwell\\Template.html#",
    };
    for (const wchar_t* name : names) EXPECT_TRUE(NamesTemplatePage(name, kTemplate)) << name;
}

TEST(TemplateSecurity, NothingElseNamesTheTemplatePage) {
    const wchar_t* const others[] = {
        L"",
        L"C:\\Program Files\\Kestrune\\Pinchwell\\Template.html.bak",
        L"C:\\Program Files\\Kestrune\\Pinchwell\\Template.htmlx",
        L"C:\\Program Files\\Kestrune\\Pinchwell\\Template.html\\x.html",
        L"file:///C:/Program%20Files/Kestrune/Pinchwell/Template.html.evil.html?x",
        L"C:\\Program Files\\Kestrune\\Pinchwell\\Template",
        L"C:\\Program Files\\Kestrune\\Pinchwell\\config.ini",
        L"file:///C:/Program%20Files/Kestrune/Pinchwell/Other.html",
        L"C:\\Program Files\\Kestrune\\Pinchwell2\\Template.html",
        L"C:\\Program Files\\Kestrune\\Pinchwell",
        L"D:\\Program Files\\Kestrune\\Pinchwell\\Template.html",
        L"C:\\Program Files\\Kestrune\\Pinchwell\\..\\Pinchwell\\Template.html",
        L"C:\\Program Files\\Kestrune\\\\Pinchwell\\Template.html",
        L"http://example.com/C:/Program Files/Kestrune/Pinchwell/Template.html",
        L"res://ieframe.dll/navcancl.htm#C:\\Program Files\\Kestrune\\Pinchwell\\Template.html",
        L"about:blank",
        L"file://server/C:/Program%20Files/Kestrune/Pinchwell/Template.html",
        L"file:///C:/Program%20Files/Kestrune/Pinchwell/Template.html%23top",
        L"file:///C:/Program%20Files/Kestrune/Pinchwell%5CTemplate.html",
        L"file:///C:/Program%20Files/Kestrune/Pinchwell/Template.html%00",
        L"file:///C:/Program%2Files/Kestrune/Pinchwell/Template.html",
        L"file:///C:/Program%20Files/Kestrune/Pinchwell/Template.htm%",
        L"C:\\Program Files\\Kestrune\\PinchwellXTemplate.html",  // a letter where the separator is
    };
    for (const wchar_t* other : others) EXPECT_FALSE(NamesTemplatePage(other, kTemplate)) << other;
    // An escape beyond printable ASCII names nothing, even where the path holds that character.
    EXPECT_FALSE(NamesTemplatePage(L"file:///C:/Program%20Files/Kestrune/Pinch%7Fwell/Template.html",
                                   L"C:\\Program Files\\Kestrune\\Pinch\x7Fwell\\Template.html"));
}

TEST(TemplateSecurity, TheX86ProgramFolderIsMatchedAsWritten) {
    const std::wstring x86 = L"C:\\Program Files (x86)\\Kestrune\\Pinchwell\\Template.html";
    EXPECT_TRUE(NamesTemplatePage(L"file:///C:/Program%20Files%20(x86)/Kestrune/Pinchwell/Template.html", x86));
    EXPECT_TRUE(NamesTemplatePage(L"file:///C:/Program%20Files%20%28x86%29/Kestrune/Pinchwell/Template.html", x86));
    EXPECT_FALSE(NamesTemplatePage(L"file:///C:/Program%20Files/Kestrune/Pinchwell/Template.html", x86));
    EXPECT_FALSE(NamesTemplatePage(L"file:///C:/Program%20Files%20(x86)/Kestrune/Pinchwell/Template.html", kTemplate));
}

TEST(TemplateSecurity, NoTemplateMeansNoPageIsTheTemplate) {
    EXPECT_FALSE(NamesTemplatePage(L"", L""));
    EXPECT_FALSE(NamesTemplatePage(L"file:///", L""));
}

TEST(TemplateSecurity, OnlyTheTemplatePagesScriptIsAllowed) {
    struct Case {
        const wchar_t* url;
        std::uint32_t action;
        bool allowed;
    };
    const wchar_t* const page = L"file:///C:/Program%20Files/Kestrune/Pinchwell/Template.html";
    const wchar_t* const other = L"file:///C:/Program%20Files/Kestrune/Pinchwell/Other.html";
    const Case cases[] = {
        {page, kUrlActionScriptRun, true},
        {L"file://C:\\Program Files\\Kestrune\\Pinchwell\\Template.html", 0x1400, true},
        {page, 0x1200, false},  // URLACTION_ACTIVEX_RUN
        {page, 0x1201, false},  // URLACTION_ACTIVEX_OVERRIDE_OBJECT_SAFETY
        {page, 0x1004, false},  // URLACTION_DOWNLOAD_UNSIGNED_ACTIVEX
        {page, 0x2000, false},  // URLACTION_BEHAVIOR_RUN
        {page, 0x1A04, false},  // URLACTION_CLIENT_CERT_PROMPT
        {page, 0x1C00, false},  // URLACTION_JAVA_PERMISSIONS
        {page, 0x1401, false},  // URLACTION_SCRIPT_OVERRIDE_SAFETY
        {page, 0x1406, false},  // URLACTION_CROSS_DOMAIN_DATA
        {page, 0x1601, false},  // URLACTION_HTML_SUBMIT_FORMS
        {page, 0x2101, false},  // URLACTION_FEATURE_ZONE_ELEVATION
        {other, kUrlActionScriptRun, false},
        {L"C:\\Program Files\\Kestrune\\Pinchwell\\Template.html.bak", kUrlActionScriptRun, false},
        {L"http://example.com/", kUrlActionScriptRun, false},
        {L"", kUrlActionScriptRun, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AllowsTemplateAction(c.url, c.action, kTemplate), c.allowed) << c.url << " " << std::hex << c.action;
}
