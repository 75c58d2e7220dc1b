#include "Substitutes.h"

#include "ComIds.h"

#include <algorithm>

namespace substitute {

namespace {
template <typename T>
HRESULT Give(T* object, void** out) {
    *out = object;
    object->AddRef();
    return S_OK;
}
HRESULT Refuse(void** out) {
    *out = nullptr;
    return E_NOINTERFACE;
}
}  // namespace

HRESULT Element::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IDispatch) return Give(static_cast<IHTMLElement*>(this), out);
    if (iid == comid::kHtmlElement && offersElement) return Give(static_cast<IHTMLElement*>(this), out);
    if (iid == comid::kHtmlElement2 && offersElement2) return Give(static_cast<IHTMLElement2*>(this), out);
    return Refuse(out);
}

HRESULT Element::get_readyStateValue(LONG* p) {
    reads.push_back("readyStateValue");
    if (SUCCEEDED(readyStateResult)) *p = readyState;
    return readyStateResult;
}

HRESULT Element::get_scrollHeight(LONG* p) {
    reads.push_back("scrollHeight");
    *p = scrollHeight;
    return scrollHeightResult;
}
HRESULT Element::get_scrollWidth(LONG* p) {
    reads.push_back("scrollWidth");
    *p = scrollWidth;
    return scrollWidthResult;
}
HRESULT Element::get_scrollTop(LONG* p) {
    reads.push_back("scrollTop");
    *p = scrollTop;
    return scrollTopResult;
}
HRESULT Element::get_scrollLeft(LONG* p) {
    reads.push_back("scrollLeft");
    *p = scrollLeft;
    return scrollLeftResult;
}

HRESULT ImageCollection::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IHTMLElementCollection)) return Give(this, out);
    return Refuse(out);
}

HRESULT ImageCollection::get_length(LONG* p) {
    *p = length >= 0 ? length : static_cast<LONG>(items.size());
    return lengthResult;
}

HRESULT ImageCollection::item(VARIANT name, VARIANT index, IDispatch** pdisp) {
    itemCalls.push_back({V_VT(&name), V_VT(&name) == VT_I4 ? V_I4(&name) : -1, V_VT(&index)});
    *pdisp = nullptr;
    LONG i = V_VT(&name) == VT_I4 ? V_I4(&name) : -1;
    if (i >= 0 && static_cast<size_t>(i) < items.size() && items[i]) {
        *pdisp = items[i]->AsDispatch();
        (*pdisp)->AddRef();
    }
    return (i >= 0 && static_cast<size_t>(i) < itemResults.size()) ? itemResults[i] : S_OK;
}

HRESULT Window::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IHTMLWindow2)) return Give(this, out);
    return Refuse(out);
}

HRESULT Window::scrollBy(LONG x, LONG y) {
    scrolls.emplace_back(x, y);
    return scrollResult;
}

HRESULT Window::execScript(BSTR code, BSTR language, VARIANT* result) {
    scripts.push_back({code ? std::wstring(code, SysStringLen(code)) : L"",
                       language ? std::wstring(language, SysStringLen(language)) : L"", result != nullptr});
    if (result) {
        VariantInit(result);
        V_VT(result) = VT_BSTR;  // something for the caller to clear
        V_BSTR(result) = SysAllocString(L"result");
    }
    return scriptResult;
}

HRESULT Script::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IDispatch) return Give(this, out);
    return Refuse(out);
}

HRESULT Script::GetIDsOfNames(REFIID, LPOLESTR* asking, UINT count, LCID, DISPID* ids) {
    HRESULT result = S_OK;
    for (UINT i = 0; i < count; ++i) {
        asked.emplace_back(asking[i]);
        auto found = std::find(names.begin(), names.end(), std::wstring(asking[i]));
        ids[i] = found != names.end() ? static_cast<DISPID>(found - names.begin() + 1) : DISPID_UNKNOWN;
        if (found == names.end()) result = unknownResult;
    }
    return result;
}

HRESULT Document::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IDispatch) return Give(static_cast<IHTMLDocument2*>(this), out);
    if ((iid == comid::kHtmlDocument2 || iid == __uuidof(IHTMLDocument)) && offersDocument2)
        return Give(static_cast<IHTMLDocument2*>(this), out);
    if (iid == comid::kHtmlDocument3 && offersDocument3) return Give(static_cast<IHTMLDocument3*>(this), out);
    return Refuse(out);
}

HRESULT Document::get_images(IHTMLElementCollection** p) {
    *p = images;
    if (images) images->AddRef();
    return imagesResult;
}

HRESULT Document::get_parentWindow(IHTMLWindow2** p) {
    *p = window;
    if (window) window->AddRef();
    return parentWindowResult;
}

HRESULT Document::get_body(IHTMLElement** p) {
    *p = body;
    if (body) body->AddRef();
    return S_OK;
}

HRESULT Document::get_documentElement(IHTMLElement** p) {
    *p = root;
    if (root) root->AddRef();
    return S_OK;
}

HRESULT Document::get_Script(IDispatch** p) {
    *p = script;
    if (script) script->AddRef();
    return scriptResult;
}

HRESULT OleWindow::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == comid::kOleWindow) return Give(this, out);
    return Refuse(out);
}

HRESULT OleWindow::GetWindow(HWND* p) {
    if (SUCCEEDED(result)) *p = window;
    return result;
}

HRESULT WebBrowser::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IWebBrowser) ||
        iid == __uuidof(IWebBrowserApp) || iid == comid::kWebBrowser2)
        return Give(static_cast<IWebBrowser2*>(this), out);
    if (iid == comid::kServiceProvider && offersServices) return Give(static_cast<IServiceProvider*>(this), out);
    return Refuse(out);
}

HRESULT WebBrowser::get_Document(IDispatch** p) {
    ++documentReads;
    *p = document ? document->AsDispatch() : nullptr;
    if (*p) (*p)->AddRef();
    return documentResult;
}

HRESULT WebBrowser::ExecWB(OLECMDID command, OLECMDEXECOPT option, VARIANT* in, VARIANT* out) {
    execCalls.push_back({command, option, in != nullptr, in ? V_VT(in) : VARTYPE(VT_EMPTY), in ? V_I4(in) : 0,
                         out != nullptr, out ? V_VT(out) : VARTYPE(VT_EMPTY), out ? V_I4(out) : 0, refs});
    if (in && option == OLECMDEXECOPT_PROMPTUSER && SUCCEEDED(execResult) && setChangesZoom) zoom = V_I4(in);
    if (out && answersQuery) {
        V_VT(out) = VT_I4;
        V_I4(out) = zoom;
    }
    return execResult;
}

HRESULT WebBrowser::Navigate2(VARIANT* url, VARIANT* flags, VARIANT* target, VARIANT* postData, VARIANT* headers) {
    NavigateCall call{url ? V_VT(url) : VARTYPE(VT_EMPTY), L"", flags != nullptr, target != nullptr,
                      postData != nullptr, headers != nullptr};
    if (url && V_VT(url) == VT_BSTR && V_BSTR(url)) call.url.assign(V_BSTR(url), SysStringLen(V_BSTR(url)));
    navigations.push_back(call);
    return S_OK;
}

HRESULT WebBrowser::QueryService(REFGUID service, REFIID iid, void** out) {
    serviceCalls.emplace_back(service, iid);
    if (service == comid::kShellBrowserService && iid == comid::kOleWindow && shellView) return Give(shellView, out);
    *out = nullptr;
    return serviceResult;
}

HRESULT EventSink::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == comid::kWebBrowserEvents2) return Give(this, out);
    return Refuse(out);
}

}  // namespace substitute
