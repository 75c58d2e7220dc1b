#pragma once
// A substitute browser for tests of logic on the browser host interface: it
// answers from its fields and records every call in order. It behaves like a browser
// where that is simple: a successful optical zoom is reported back by the zoom query.
#include <cstdint>
#include <string>
#include <vector>

#include "BrowserHost.h"

class SubstituteBrowser : public IBrowserHost {
public:
    // Optical zoom: the value that the query reports, and the results of the two calls.
    std::int32_t zoom = 100;
    HResult setZoomResult = kResultOk;    // a failure leaves zoom unchanged
    HResult queryZoomResult = kResultOk;
    bool queryWritesZoom = true;          // false: the output VARIANT is left untouched

    PageImages images;                    // what ReadPageImages reports
    DocumentScroll extent;                // what ReadDocumentScroll(Extent) reports
    DocumentScroll offsets;               // what ReadDocumentScroll(Offsets) reports
    HResult scrollResult = kResultOk;
    HResult scriptResult = kResultOk;
    HResult shellResult = kResultOk;
    WindowHandle shellWindow = nullptr;   // written by GetShellWindow when shellResult succeeds
    HResult navigateResult = kResultOk;
    HResult adviseResult = kResultOk;
    std::uint32_t nextCookie = 1;

    // Every call, as text: "ExecOpticalZoom(250)", "ExecScript(change_div(1,2))", ...
    std::vector<std::string> calls;
    // The scripts run and the scroll offsets asked for, in order.
    std::vector<std::wstring> scripts;
    std::vector<std::pair<std::int32_t, std::int32_t>> scrolls;
    // Sinks currently advised, by cookie.
    std::vector<std::pair<std::uint32_t, void*>> sinks;

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

    // Image collections for tests: readyStates as given, everything else readable.
    static PageImages Images(std::vector<std::optional<std::int32_t>> readyStates);
    // A usable document whose document element and body report these pairs.
    static DocumentScroll Scroll(std::int32_t rootFirst, std::int32_t rootSecond, std::int32_t bodyFirst,
                                 std::int32_t bodySecond);
};

// Narrow text of a wide string of ASCII characters (for readable call records).
std::string Narrow(const std::wstring& text);
