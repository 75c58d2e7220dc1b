#pragma once
// Part 2.4: the script bridge to the preview page. CPreviewPage carries the tab's page
// geometry and the capture file's URL to Template.html by two script calls; the two
// document queries measure the tab's page.
#include <cstdint>
#include <string>

#include "BrowserHost.h"

// The values handed to the preview page at a pinch start. Fields in the specified order.
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
};

// "change_div(%d,%d)" with the page width and height.
std::wstring ChangeDivScript(std::int32_t pageWidth, std::int32_t pageHeight);
// "load_image('%s',%d,%d,%d,%d,%d,%d)": the URL unchanged, the picture's width and
// height, scrollTop, scrollLeft, |pageWidth - imageWidth - scrollLeft| and
// |pageHeight - imageHeight - scrollTop|, in 32-bit signed (wrapping) arithmetic.
std::wstring LoadImageScript(const CPreviewPage& page);

// The larger scrollHeight and the larger scrollWidth of the document element and the
// body. Returns the result of the last property read; returns 1 and writes nothing when
// any interface on the way is unusable (also for a null browser).
HResult GetPageExtent(IBrowserHost* browser, std::int32_t& height, std::int32_t& width);
// The same for scrollTop and scrollLeft.
HResult GetPageScroll(IBrowserHost* browser, std::int32_t& top, std::int32_t& left);

// Runs a script text in the browser's page with the language "Javascript". Returns the
// host's result; kResultPointer for a null browser.
HResult ExecScript(IBrowserHost* browser, const std::wstring& script);
