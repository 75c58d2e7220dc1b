#pragma once
// A substitute browser that offers the DWebBrowserEvents2 connection point, for tests
// that advise a sink on a browser and raise the browser's events at it. Like the other
// substitutes it counts references without ever deleting itself.
#include <windows.h>
#include <ocidl.h>

#include <vector>

#include "Substitutes.h"

namespace substitute {

// The connection point and its container in one object (the container of a browser).
// One sink at a time; the cookies it hands out are never 0.
class EventSource : public IConnectionPointContainer, public IConnectionPoint {
public:
    ULONG refs = 1;
    IDispatch* sink = nullptr;  // the advised sink, one counted reference; null when none
    DWORD cookie = 0;           // the cookie of the sink's connection
    int advises = 0;
    std::vector<DWORD> unadvised;  // the cookies Unadvise was called with

    // Raises the event at the sink with its arguments, last argument first (as rgvarg
    // carries them). E_FAIL without a sink.
    HRESULT Fire(DISPID id, std::vector<VARIANT> arguments);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* unknownSink, DWORD* cookieOut) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookieIn) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

private:
    DWORD nextCookie_ = 40;
};

// A WebBrowser substitute whose connection point container is its EventSource.
class BrowserWithEvents : public WebBrowser {
public:
    EventSource events;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
};

// PageWithWindow's page, in a browser with events.
struct PageWithEvents {
    BrowserWithEvents browser;
    Document document;
    Window window;
    Element root;
    Element body;

    PageWithEvents() {
        browser.document = &document;
        document.window = &window;
        document.root = &root;
        document.body = &body;
    }
    bool AllReleased() const {
        return browser.refs == 1 && browser.events.refs == 1 && document.refs == 1 && window.refs == 1 &&
               root.refs == 1 && body.refs == 1;
    }
};

}  // namespace substitute
