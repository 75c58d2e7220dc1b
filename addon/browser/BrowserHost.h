#pragma once
// The browser host interface. Everything the add-on asks of one browser object (an
// IWebBrowser2 and the MSHTML document that it shows) goes through IBrowserHost, so that
// the logic of the hook, the zoom commands, the pinch and the script bridge builds and is
// tested without COM. The real implementation, WebBrowserHost (Windows only), wraps
// IWebBrowser2 and makes exactly the COM calls that each operation names below; tests
// use a substitute browser.
//
// The interface gathers facts, it does not decide: where an operation reads several
// values and then concludes (the image states, the scroll sizes), the host reports what
// it read and the logic functions conclude.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A COM result code (HRESULT), carried by value through portable code.
using HResult = std::int32_t;
constexpr HResult kResultOk = 0;                                           // S_OK
constexpr HResult kResultFalse = 1;                                        // S_FALSE
constexpr HResult kResultNotImplemented = static_cast<HResult>(0x80004001u);  // E_NOTIMPL
constexpr HResult kResultNoInterface = static_cast<HResult>(0x80004002u);    // E_NOINTERFACE
constexpr HResult kResultPointer = static_cast<HResult>(0x80004003u);        // E_POINTER
constexpr HResult kResultFail = static_cast<HResult>(0x80004005u);           // E_FAIL
constexpr HResult kResultUnexpected = static_cast<HResult>(0x8000FFFFu);     // E_UNEXPECTED
inline bool Succeeded(HResult hr) { return hr >= 0; }

// A window handle as portable code carries it (an HWND on Windows).
using WindowHandle = void*;

// READYSTATE_COMPLETE: an element (an image) has finished loading.
constexpr std::int32_t kReadyStateComplete = 4;

// What ArePageImagesReady reads from the displayed document's image
// collection. The host reads in the order of the readiness rule and stops where it stops.
struct PageImages {
    bool document = false;        // get_Document gave an object that is an IHTMLDocument2
    bool collection = false;      // get_images gave a collection
    HResult imagesResult = kResultOk;  // the result of get_images
    // Read only when get_images returned exactly S_OK:
    HResult lengthResult = kResultOk;  // the result of get_length
    std::int32_t length = 0;           // starts at 0
    // Read only when get_length returned exactly S_OK and length > 0: for each index
    // 0 .. length - 1 the element's readyStateValue, or none when item (not exactly S_OK,
    // or no object), IHTMLElement or IHTMLElement2 gave nothing. A readyStateValue call
    // that fails leaves the value it started with, 0.
    std::vector<std::optional<std::int32_t>> readyStates;
};

// Which pair of IHTMLElement2 properties a document query reads.
enum class ScrollProperties {
    Extent,   // scrollHeight, then scrollWidth
    Offsets,  // scrollTop, then scrollLeft
};

// One element's pair of properties, each preset to 0 and each with its call's result.
struct ElementScroll {
    std::int32_t first = 0;
    std::int32_t second = 0;
    HResult firstResult = kResultOk;
    HResult secondResult = kResultOk;
};

// What a document query of the script bridge reads: the pair from the document element
// (IHTMLDocument3::get_documentElement), then the pair from the body
// (IHTMLDocument2::get_body). usable is false when any interface pointer on the way
// (document, IHTMLDocument3, document element, its IHTMLElement2, IHTMLDocument2, body,
// its IHTMLElement2) was unusable; the host then stops there.
struct DocumentScroll {
    bool usable = false;
    ElementScroll root;
    ElementScroll body;
};

class IBrowserHost {
public:
    virtual ~IBrowserHost() = default;

    // ExecWB(OLECMDID_OPTICAL_ZOOM 63, OLECMDEXECOPT_PROMPTUSER 1, VT_I4 percent, no
    // output), holding a reference on the browser meanwhile. Returns ExecWB's result.
    virtual HResult ExecOpticalZoom(std::int32_t percent) = 0;

    // ExecWB(OLECMDID_OPTICAL_ZOOM 63, OLECMDEXECOPT_DONTPROMPTUSER 2, no input, an
    // output VT_I4 that starts with the value of percent). percent then receives the
    // output's integer value, whatever ExecWB returned. Returns ExecWB's result.
    virtual HResult QueryOpticalZoom(std::int32_t& percent) = 0;

    // The image collection of the displayed document (ArePageImagesReady).
    virtual PageImages ReadPageImages() = 0;

    // The document element's and the body's pair of scroll properties.
    virtual DocumentScroll ReadDocumentScroll(ScrollProperties which) = 0;

    // get_Document, IHTMLDocument2, get_parentWindow, then IHTMLWindow2::scrollBy(dx, dy)
    // (drag scrolling). Returns the first failure, or scrollBy's result; kResultPointer when an
    // object on the way was null.
    virtual HResult ScrollBy(std::int32_t dx, std::int32_t dy) = 0;

    // get_Document, IHTMLDocument2, get_parentWindow, then IHTMLWindow2::execScript with
    // the text in a new BSTR and the language "Javascript". Returns the first
    // failure, or execScript's result; kResultPointer when an object on the way was null.
    virtual HResult ExecScript(const std::wstring& script) = 0;

    // IServiceProvider, QueryService(SID_SShellBrowser, IOleWindow), IOleWindow::GetWindow
    // (the page capture). Returns the first failing result; window is written by GetWindow only.
    virtual HResult GetShellWindow(WindowHandle& window) = 0;

    // Navigate2 to a path held in a VT_BSTR VARIANT, with no flags, target frame, post
    // data or headers (the preview control). Returns Navigate2's result.
    virtual HResult Navigate(const std::wstring& path) = 0;

    // IConnectionPointContainer, FindConnectionPoint(DWebBrowserEvents2), Advise with
    // the sink (its IUnknown on Windows; any token for a substitute).
    virtual HResult AdviseEvents(void* sink, std::uint32_t& cookie) = 0;
    // The same connection point, Unadvise(cookie).
    virtual HResult UnadviseEvents(std::uint32_t cookie) = 0;
};
