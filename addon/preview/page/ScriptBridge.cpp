#include "ScriptBridge.h"

#include <mshtml.h>

#include <pinchwell/ComPtr.h>

#include "PreviewPage.h"
#include "WebBrowserHost.h"

namespace {
template <typename Query>
HRESULT QueryPair(IWebBrowser2* browser, int* first, int* second, Query query) {
    if (!browser) return kResultFalse;
    WebBrowserHost host(browser);
    std::int32_t a = *first;
    std::int32_t b = *second;
    HRESULT hr = query(&host, a, b);
    *first = a;  // unchanged when the query wrote nothing
    *second = b;
    return hr;
}
}  // namespace

HRESULT GetPageExtent(IWebBrowser2* browser, int* height, int* width) {
    return QueryPair(browser, height, width,
                     [](IBrowserHost* h, std::int32_t& a, std::int32_t& b) { return GetPageExtent(h, a, b); });
}

HRESULT GetPageScroll(IWebBrowser2* browser, int* top, int* left) {
    return QueryPair(browser, top, left,
                     [](IBrowserHost* h, std::int32_t& a, std::int32_t& b) { return GetPageScroll(h, a, b); });
}

HRESULT ExecScript(IWebBrowser2* browser, const std::wstring& script) {
    if (!browser) return E_POINTER;
    WebBrowserHost host(browser);
    return ExecScript(&host, script);
}

bool HoldsTemplatePage(IWebBrowser2* control) {
    if (!control) return false;
    pinchwell::ComPtr<IDispatch> documentObject;
    if (FAILED(control->get_Document(documentObject.put())) || !documentObject) return false;
    auto document = documentObject.As<IHTMLDocument>(__uuidof(IHTMLDocument));
    if (!document) return false;
    pinchwell::ComPtr<IDispatch> script;
    if (FAILED(document->get_Script(script.put())) || !script) return false;
    for (const wchar_t* name : {kChangeDivFunction, kLoadImageFunction}) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID id = DISPID_UNKNOWN;
        if (script->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id) != S_OK || id == DISPID_UNKNOWN)
            return false;
    }
    return true;
}
