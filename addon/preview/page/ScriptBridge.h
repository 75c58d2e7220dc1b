#pragma once
// The script bridge on an IWebBrowser2: the document queries and the script call as the preview
// object calls them (see PreviewPage.h for the rules).
#include <windows.h>
#include <exdisp.h>

#include <string>

HRESULT GetPageExtent(IWebBrowser2* browser, int* height, int* width);
HRESULT GetPageScroll(IWebBrowser2* browser, int* top, int* left);
HRESULT ExecScript(IWebBrowser2* browser, const std::wstring& script);

// Whether the control holds the preview page (Template.html) rather than anything else a
// failed or missing page leaves there (an error page, a blank one): the page's script
// defines both functions that the add-on calls, change_div and load_image, as
// IHTMLDocument::get_Script's object answers GetIDsOfNames. False without a control, a
// document, an HTML document or its script.
bool HoldsTemplatePage(IWebBrowser2* control);
