#include "WebBrowserHost.h"

#include <mshtml.h>
#include <ocidl.h>
#include <oleidl.h>
#include <servprov.h>

#include <pinchwell/UniqueBstr.h>
#include <pinchwell/UniqueVariant.h>

#include "ComIds.h"
#include "ZoomCommands.h"

using pinchwell::ComPtr;
using pinchwell::UniqueBstr;
using pinchwell::UniqueVariant;

static_assert(OLECMDID_OPTICAL_ZOOM == kOpticalZoomCommand, "OLECMDID_OPTICAL_ZOOM is 63");
static_assert(OLECMDEXECOPT_PROMPTUSER == kExecPromptUser, "the set option is 1");
static_assert(OLECMDEXECOPT_DONTPROMPTUSER == kExecDontPromptUser, "the query option is 2");

namespace {

// The document's window: get_Document, IHTMLDocument2, get_parentWindow. The three
// objects are released in the reverse order (window, document interface, document).
struct DocumentWindow {
    ComPtr<IDispatch> document;
    ComPtr<IHTMLDocument2> htmlDocument;
    ComPtr<IHTMLWindow2> window;
    HRESULT result = E_POINTER;

    explicit DocumentWindow(IWebBrowser2* browser) {
        if (!browser) return;
        result = browser->get_Document(document.put());
        if (FAILED(result)) return;
        if (!document) { result = E_POINTER; return; }
        result = document->QueryInterface(comid::kHtmlDocument2, htmlDocument.put_void());
        if (FAILED(result)) return;
        if (!htmlDocument) { result = E_POINTER; return; }
        result = htmlDocument->get_parentWindow(window.put());
        if (SUCCEEDED(result) && !window) result = E_POINTER;
    }
};

ElementScroll ReadPair(IHTMLElement2* element, ScrollProperties which) {
    ElementScroll pair;
    LONG first = 0;
    LONG second = 0;
    if (which == ScrollProperties::Extent) {
        pair.firstResult = element->get_scrollHeight(&first);
        pair.secondResult = element->get_scrollWidth(&second);
    } else {
        pair.firstResult = element->get_scrollTop(&first);
        pair.secondResult = element->get_scrollLeft(&second);
    }
    pair.first = first;
    pair.second = second;
    return pair;
}

}  // namespace

WebBrowserHost::WebBrowserHost(IWebBrowser2* browser) : browser_(browser) {}

HResult WebBrowserHost::ExecOpticalZoom(std::int32_t percent) {
    if (!browser_) return E_POINTER;
    ComPtr<IWebBrowser2> hold(browser_);  // a reference for the duration of the call
    UniqueVariant in;
    in.SetInt(percent);
    return hold->ExecWB(OLECMDID_OPTICAL_ZOOM, OLECMDEXECOPT_PROMPTUSER, in.get(), nullptr);
}

HResult WebBrowserHost::QueryOpticalZoom(std::int32_t& percent) {
    if (!browser_) return E_POINTER;
    ComPtr<IWebBrowser2> hold(browser_);
    UniqueVariant out;
    out.SetInt(percent);
    HRESULT hr = hold->ExecWB(OLECMDID_OPTICAL_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, nullptr, out.get());
    percent = V_I4(out.get());  // whatever ExecWB returned
    return hr;
}

PageImages WebBrowserHost::ReadPageImages() {
    PageImages images;
    if (!browser_) return images;
    ComPtr<IDispatch> document;
    browser_->get_Document(document.put());
    if (!document) return images;
    ComPtr<IHTMLDocument2> htmlDocument = document.As<IHTMLDocument2>(comid::kHtmlDocument2);
    if (!htmlDocument) return images;
    images.document = true;

    ComPtr<IHTMLElementCollection> collection;
    images.imagesResult = htmlDocument->get_images(collection.put());
    if (!collection) return images;
    images.collection = true;
    if (images.imagesResult != S_OK) return images;

    LONG length = 0;
    images.lengthResult = collection->get_length(&length);
    images.length = length;
    if (images.lengthResult != S_OK || length <= 0) return images;

    for (LONG i = 0; i < length; ++i) {
        std::optional<std::int32_t> state;
        {
            UniqueVariant name;
            name.SetInt(i);
            UniqueVariant index;  // VT_EMPTY
            ComPtr<IDispatch> item;
            HRESULT hr = collection->item(*name.get(), *index.get(), item.put());
            if (hr == S_OK && item) {
                ComPtr<IHTMLElement> element = item.As<IHTMLElement>(comid::kHtmlElement);
                if (element) {
                    ComPtr<IHTMLElement2> element2 = element.As<IHTMLElement2>(comid::kHtmlElement2);
                    if (element2) {
                        LONG value = 0;
                        element2->get_readyStateValue(&value);
                        state = value;
                    }
                }
            }
        }  // this element's interfaces released, both VARIANTs cleared
        images.readyStates.push_back(state);
    }
    return images;  // collection, document interface and document released in that order
}

DocumentScroll WebBrowserHost::ReadDocumentScroll(ScrollProperties which) {
    DocumentScroll scroll;
    if (!browser_) return scroll;
    ComPtr<IDispatch> document;
    browser_->get_Document(document.put());
    if (!document) return scroll;

    ComPtr<IHTMLDocument3> document3 = document.As<IHTMLDocument3>(comid::kHtmlDocument3);
    if (!document3) return scroll;
    ComPtr<IHTMLElement> root;
    document3->get_documentElement(root.put());
    if (!root) return scroll;
    ComPtr<IHTMLElement2> root2 = root.As<IHTMLElement2>(comid::kHtmlElement2);
    if (!root2) return scroll;
    scroll.root = ReadPair(root2.get(), which);

    ComPtr<IHTMLDocument2> document2 = document.As<IHTMLDocument2>(comid::kHtmlDocument2);
    if (!document2) return scroll;
    ComPtr<IHTMLElement> body;
    document2->get_body(body.put());
    if (!body) return scroll;
    ComPtr<IHTMLElement2> body2 = body.As<IHTMLElement2>(comid::kHtmlElement2);
    if (!body2) return scroll;
    scroll.body = ReadPair(body2.get(), which);
    scroll.usable = true;
    return scroll;
}

HResult WebBrowserHost::ScrollBy(std::int32_t dx, std::int32_t dy) {
    DocumentWindow page(browser_.get());
    if (FAILED(page.result)) return page.result;
    return page.window->scrollBy(dx, dy);
}

HResult WebBrowserHost::ExecScript(const std::wstring& script) {
    DocumentWindow page(browser_.get());
    if (FAILED(page.result)) return page.result;
    UniqueBstr code(script);
    UniqueBstr language(L"Javascript");
    UniqueVariant result;
    return page.window->execScript(code.get(), language.get(), result.get());
}

HResult WebBrowserHost::GetShellWindow(WindowHandle& window) {
    if (!browser_) return E_POINTER;
    ComPtr<IServiceProvider> services;
    HRESULT hr = browser_->QueryInterface(comid::kServiceProvider, services.put_void());
    if (FAILED(hr)) return hr;
    if (!services) return E_POINTER;
    ComPtr<IOleWindow> shell;
    hr = services->QueryService(comid::kShellBrowserService, comid::kOleWindow, shell.put_void());
    if (FAILED(hr)) return hr;
    if (!shell) return E_POINTER;
    HWND handle = static_cast<HWND>(window);
    hr = shell->GetWindow(&handle);
    window = handle;
    return hr;
}

HResult WebBrowserHost::Navigate(const std::wstring& path) {
    if (!browser_) return E_POINTER;
    UniqueVariant url;
    V_VT(url.get()) = VT_BSTR;
    V_BSTR(url.get()) = ::SysAllocStringLen(path.data(), static_cast<UINT>(path.size()));
    return browser_->Navigate2(url.get(), nullptr, nullptr, nullptr, nullptr);
}

namespace {
HRESULT FindEventsConnectionPoint(IWebBrowser2* browser, ComPtr<IConnectionPoint>& point) {
    if (!browser) return E_POINTER;
    ComPtr<IConnectionPointContainer> container;
    HRESULT hr = browser->QueryInterface(comid::kConnectionPointContainer, container.put_void());
    if (FAILED(hr)) return hr;
    if (!container) return E_POINTER;
    hr = container->FindConnectionPoint(comid::kWebBrowserEvents2, point.put());
    if (SUCCEEDED(hr) && !point) hr = E_POINTER;
    return hr;
}
}  // namespace

HResult WebBrowserHost::AdviseEvents(void* sink, std::uint32_t& cookie) {
    ComPtr<IConnectionPoint> point;
    HRESULT hr = FindEventsConnectionPoint(browser_.get(), point);
    if (FAILED(hr)) return hr;
    DWORD value = 0;
    hr = point->Advise(static_cast<IUnknown*>(sink), &value);
    if (SUCCEEDED(hr)) cookie = value;
    return hr;
}

HResult WebBrowserHost::UnadviseEvents(std::uint32_t cookie) {
    ComPtr<IConnectionPoint> point;
    HRESULT hr = FindEventsConnectionPoint(browser_.get(), point);
    if (FAILED(hr)) return hr;
    return point->Unadvise(cookie);
}

HRESULT SetBrowserZoom(IWebBrowser2* browser, int percent) {
    if (!browser) return SetBrowserZoom(static_cast<IBrowserHost*>(nullptr), percent);
    WebBrowserHost host(browser);
    return SetBrowserZoom(&host, percent);
}

HRESULT GetBrowserZoom(IWebBrowser2* browser, int* percent) {
    WebBrowserHost host(browser);
    std::int32_t value = 100;
    HRESULT hr = GetBrowserZoom(host, value);
    *percent = value;
    return hr;
}

bool ArePageImagesReady(IWebBrowser2* browser) {
    if (!browser) return ArePageImagesReady(static_cast<IBrowserHost*>(nullptr));
    WebBrowserHost host(browser);
    return ArePageImagesReady(&host);
}
