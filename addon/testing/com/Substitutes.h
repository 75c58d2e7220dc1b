#pragma once
// COM substitutes of the browser's object model for the Windows tests of the adapters
// (WebBrowserHost, the capture's shell window search, the script bridge). Each answers
// from its fields, records what it was asked, and counts references without ever
// deleting itself: the test owns it, starts it at one reference, and can check that an
// adapter gave back every reference it took.
#include <windows.h>
#include <exdisp.h>
#include <mshtml.h>
#include <oleidl.h>
#include <servprov.h>

#include <string>
#include <vector>

#include "NotImplemented.h"

namespace substitute {

class Element : public NotImplemented_IHTMLElement, public NotImplemented_IHTMLElement2 {
public:
    ULONG refs = 1;
    bool offersElement = true;   // answers QueryInterface(IHTMLElement)
    bool offersElement2 = true;  // answers QueryInterface(IHTMLElement2)
    LONG readyState = READYSTATE_COMPLETE;
    HRESULT readyStateResult = S_OK;
    LONG scrollHeight = 0, scrollWidth = 0, scrollTop = 0, scrollLeft = 0;
    HRESULT scrollHeightResult = S_OK, scrollWidthResult = S_OK, scrollTopResult = S_OK, scrollLeftResult = S_OK;
    std::vector<std::string> reads;  // the properties read, in order

    IDispatch* AsDispatch() { return static_cast<IHTMLElement*>(this); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE get_readyStateValue(LONG* p) override;
    HRESULT STDMETHODCALLTYPE get_scrollHeight(LONG* p) override;
    HRESULT STDMETHODCALLTYPE get_scrollWidth(LONG* p) override;
    HRESULT STDMETHODCALLTYPE get_scrollTop(LONG* p) override;
    HRESULT STDMETHODCALLTYPE get_scrollLeft(LONG* p) override;
};

class ImageCollection : public NotImplemented_IHTMLElementCollection {
public:
    ULONG refs = 1;
    std::vector<Element*> items;        // a null entry gives no object
    LONG length = -1;                   // -1: the number of items
    HRESULT lengthResult = S_OK;
    std::vector<HRESULT> itemResults;   // per index; S_OK where not given
    struct ItemCall {
        VARTYPE nameType;
        LONG name;
        VARTYPE indexType;
    };
    std::vector<ItemCall> itemCalls;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE get_length(LONG* p) override;
    HRESULT STDMETHODCALLTYPE item(VARIANT name, VARIANT index, IDispatch** pdisp) override;
};

class Window : public NotImplemented_IHTMLWindow2 {
public:
    ULONG refs = 1;
    HRESULT scrollResult = S_OK;
    HRESULT scriptResult = S_OK;
    std::vector<std::pair<LONG, LONG>> scrolls;
    struct ScriptCall {
        std::wstring code;
        std::wstring language;
        bool resultGiven;
    };
    std::vector<ScriptCall> scripts;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE scrollBy(LONG x, LONG y) override;
    HRESULT STDMETHODCALLTYPE execScript(BSTR code, BSTR language, VARIANT* result) override;
};

// A page's script object (what IHTMLDocument::get_Script gives): it knows the names of
// the functions the page defines, and records the names it was asked for.
class Script : public IDispatch {
public:
    ULONG refs = 1;
    std::vector<std::wstring> names;   // defined, in the case the page wrote them
    HRESULT unknownResult = DISP_E_UNKNOWNNAME;
    std::vector<std::wstring> asked;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { *count = 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
};

class Document : public NotImplemented_IHTMLDocument2, public NotImplemented_IHTMLDocument3 {
public:
    ULONG refs = 1;
    bool offersDocument2 = true;
    bool offersDocument3 = true;
    ImageCollection* images = nullptr;
    HRESULT imagesResult = S_OK;
    Window* window = nullptr;
    HRESULT parentWindowResult = S_OK;
    Element* body = nullptr;
    Element* root = nullptr;  // the document element
    Script* script = nullptr;
    HRESULT scriptResult = S_OK;

    IDispatch* AsDispatch() { return static_cast<IHTMLDocument2*>(this); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE get_images(IHTMLElementCollection** p) override;
    HRESULT STDMETHODCALLTYPE get_parentWindow(IHTMLWindow2** p) override;
    HRESULT STDMETHODCALLTYPE get_body(IHTMLElement** p) override;
    HRESULT STDMETHODCALLTYPE get_documentElement(IHTMLElement** p) override;
    HRESULT STDMETHODCALLTYPE get_Script(IDispatch** p) override;
};

class OleWindow : public IOleWindow {
public:
    ULONG refs = 1;
    HWND window = nullptr;
    HRESULT result = S_OK;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* p) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
};

class WebBrowser : public NotImplemented_IWebBrowser2, public IServiceProvider {
public:
    ULONG refs = 1;
    IWebBrowser2* AsBrowser() { return this; }

    // get_Document
    Document* document = nullptr;
    HRESULT documentResult = S_OK;
    int documentReads = 0;

    // ExecWB: a successful set (option 1 with an input) changes zoom unless setChangesZoom
    // is false (a browser that has not reached it yet); a query (an output given) receives
    // zoom as VT_I4 unless answersQuery is false.
    LONG zoom = 100;
    HRESULT execResult = S_OK;
    bool answersQuery = true;
    bool setChangesZoom = true;
    struct ExecCall {
        OLECMDID command;
        OLECMDEXECOPT option;
        bool input;
        VARTYPE inputType;
        LONG inputValue;
        bool output;
        VARTYPE outputType;  // as the caller prepared it
        LONG outputValue;
        ULONG refsDuringCall;
    };
    std::vector<ExecCall> execCalls;

    // QueryInterface(IServiceProvider), QueryService(SID_SShellBrowser, IOleWindow)
    bool offersServices = true;
    OleWindow* shellView = nullptr;
    HRESULT serviceResult = E_NOINTERFACE;  // when no shell view answers
    std::vector<std::pair<GUID, IID>> serviceCalls;

    // Navigate2
    struct NavigateCall {
        VARTYPE urlType;
        std::wstring url;
        bool flags, target, postData, headers;
    };
    std::vector<NavigateCall> navigations;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE get_Document(IDispatch** p) override;
    HRESULT STDMETHODCALLTYPE ExecWB(OLECMDID command, OLECMDEXECOPT option, VARIANT* in, VARIANT* out) override;
    HRESULT STDMETHODCALLTYPE Navigate2(VARIANT* url, VARIANT* flags, VARIANT* target, VARIANT* postData,
                                        VARIANT* headers) override;
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID iid, void** out) override;
};

// A DWebBrowserEvents2 sink that accepts every event and counts them.
class EventSink : public IDispatch {
public:
    ULONG refs = 1;
    std::vector<DISPID> events;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { *count = 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        events.push_back(id);
        return S_OK;
    }
};

// A browser showing a document with a window, a document element and a body.
// A browser without events holds no event source whose references could be left over.
inline bool EventsReleased(const WebBrowser&) { return true; }

// A page of a body in a document, in a browser of the given kind.
template <class Browser>
struct Page {
    Browser browser;
    Document document;
    Window window;
    Element root;
    Element body;

    Page() {
        browser.document = &document;
        document.window = &window;
        document.root = &root;
        document.body = &body;
    }
    // Every reference taken on the page was given back.
    bool AllReleased() const {
        return browser.refs == 1 && EventsReleased(browser) && document.refs == 1 && window.refs == 1 &&
               root.refs == 1 && body.refs == 1;
    }
};

using PageWithWindow = Page<WebBrowser>;

}  // namespace substitute
