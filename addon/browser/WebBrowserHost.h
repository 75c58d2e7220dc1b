#pragma once
// The browser host interface on Windows, over a real IWebBrowser2 and its MSHTML
// document, and the zoom commands on an IWebBrowser2 as the rest of the add-on calls them.
#include <windows.h>
#include <exdisp.h>

#include <pinchwell/ComPtr.h>

#include "BrowserHost.h"

class WebBrowserHost final : public IBrowserHost {
public:
    // Holds a counted reference on the browser for the host's lifetime (null is allowed:
    // every operation then fails with E_POINTER or reads nothing).
    explicit WebBrowserHost(IWebBrowser2* browser);

    IWebBrowser2* Browser() const { return browser_.get(); }

    HResult ExecOpticalZoom(std::int32_t percent) override;
    HResult QueryOpticalZoom(std::int32_t& percent) override;
    PageImages ReadPageImages() override;
    DocumentScroll ReadDocumentScroll(ScrollProperties which) override;
    HResult ScrollBy(std::int32_t dx, std::int32_t dy) override;
    HResult ExecScript(const std::wstring& script) override;
    HResult GetShellWindow(WindowHandle& window) override;
    HResult Navigate(const std::wstring& path) override;
    HResult AdviseEvents(void* sink, std::uint32_t& cookie) override;
    HResult UnadviseEvents(std::uint32_t cookie) override;

private:
    pinchwell::ComPtr<IWebBrowser2> browser_;
};

// The zoom commands on an IWebBrowser2 (see ZoomCommands.h for the rules).
HRESULT SetBrowserZoom(IWebBrowser2* browser, int percent);  // 1 (S_FALSE) for a null browser
HRESULT GetBrowserZoom(IWebBrowser2* browser, int* percent);  // browser must not be null
bool ArePageImagesReady(IWebBrowser2* browser);
