#pragma once
// The script bridge to the preview page. CPreviewPage carries the tab's page geometry
// and the capture file's URL to Template.html by two script calls; the two document
// queries measure the tab's page.
#include <cstdint>
#include <optional>
#include <string>

#include "BrowserHost.h"

// The tab page's size and scroll offsets as the two document queries found them; none
// where a query left its outputs unwritten.
struct PageMeasures {
    struct Pair {
        std::int32_t first = 0;
        std::int32_t second = 0;
    };
    std::optional<Pair> extent;  // height, width
    std::optional<Pair> scroll;  // top, left
};

// The values handed to the preview page at a pinch start. Fields in the order the pinch
// start declares them.
class CPreviewPage {
public:
    std::int32_t scrollTop = 0;
    std::int32_t scrollLeft = 0;
    IBrowserHost* previewBrowser = nullptr;  // the preview control; not counted, set at each pinch start
    std::wstring imageUrl;                   // the capture file's URL
    std::int32_t pageWidth = 0;
    std::int32_t pageHeight = 0;
    std::int32_t imageWidth = 0;
    std::int32_t imageHeight = 0;

    // Sets the preview control's zoom to 100 (SetBrowserZoom, with its registry write),
    // then runs ChangeDivScript and LoadImageScript in it. Results are ignored.
    void UpdatePage();

    // Stores what a pinch start gathered, in this order: the preview control, the page
    // size, the capture file's URL, the scroll offsets, the picture size.
    //
    // A document query that leaves its outputs unwritten (the tab shows no HTML document:
    // a PDF, a bare image, an error page, or any page under Wine, which has no HTML engine)
    // gives no value for its pair, and the page is then handed the picture alone: the page
    // size is the picture's size and the scroll offsets are 0. change_div then makes an
    // area just the picture's size and load_image places the picture at its origin with no
    // room to the right or below, so the preview zooms exactly what the tab showed.
    // Zeros for the page size would make an empty area with the picture hanging out of it,
    // and values left over from an earlier pinch would describe another page.
    void StorePinchStart(IBrowserHost* preview, const PageMeasures& measures, const std::wstring& url,
                         std::int32_t pictureWidth, std::int32_t pictureHeight);
};

// The preview page's two functions that the scripts below call.
inline constexpr const wchar_t* kChangeDivFunction = L"change_div";
inline constexpr const wchar_t* kLoadImageFunction = L"load_image";

// "change_div(%d,%d)" with the page width and height.
std::wstring ChangeDivScript(std::int32_t pageWidth, std::int32_t pageHeight);
// "load_image('%s',%d,%d,%d,%d,%d,%d)": the URL as the text of a JavaScript string
// literal (JavaScriptStringText; a plain path comes out unchanged), the picture's width
// and height, scrollTop, scrollLeft, |pageWidth - imageWidth - scrollLeft| and
// |pageHeight - imageHeight - scrollTop|, in 32-bit signed (wrapping) arithmetic.
std::wstring LoadImageScript(const CPreviewPage& page);

// The larger scrollHeight and the larger scrollWidth of the document element and the
// body. Returns the result of the last property read; returns 1 and writes nothing when
// any interface on the way is unusable (also for a null browser).
HResult GetPageExtent(IBrowserHost* browser, std::int32_t& height, std::int32_t& width);
// The same for scrollTop and scrollLeft.
HResult GetPageScroll(IBrowserHost* browser, std::int32_t& top, std::int32_t& left);

// GetPageExtent, then GetPageScroll, on the tab's browser.
PageMeasures MeasurePage(IBrowserHost* tab);

// Runs a script text in the browser's page with the language "Javascript". Returns the
// host's result; kResultPointer for a null browser.
HResult ExecScript(IBrowserHost* browser, const std::wstring& script);
