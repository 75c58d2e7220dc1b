#pragma once
// The script bridge on an IWebBrowser2: the document queries and the script call as the preview
// object calls them (see PreviewPage.h for the rules).
#include <windows.h>
#include <exdisp.h>

#include <string>

HRESULT GetPageExtent(IWebBrowser2* browser, int* height, int* width);
HRESULT GetPageScroll(IWebBrowser2* browser, int* top, int* left);
HRESULT ExecScript(IWebBrowser2* browser, const std::wstring& script);
