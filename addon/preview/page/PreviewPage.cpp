#include "PreviewPage.h"

#include <algorithm>

#include "JavaScriptString.h"
#include "ZoomCommands.h"

namespace {

// 32-bit signed arithmetic as the platform does it: wrapping, never undefined.
std::int32_t Wrap(std::uint32_t value) { return static_cast<std::int32_t>(value); }
std::int32_t Sub(std::int32_t a, std::int32_t b) {
    return Wrap(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
std::int32_t Abs(std::int32_t a) { return a < 0 ? Wrap(0u - static_cast<std::uint32_t>(a)) : a; }

// The larger value of each property, and the result of the last property read; none
// when an interface on the way was unusable.
struct LargerPair {
    PageMeasures::Pair values;
    HResult result = kResultOk;
};
std::optional<LargerPair> ReadLargerPair(IBrowserHost* browser, ScrollProperties which) {
    if (!browser) return std::nullopt;
    DocumentScroll scroll = browser->ReadDocumentScroll(which);
    if (!scroll.usable) return std::nullopt;
    LargerPair pair;
    pair.values.first = std::max(scroll.root.first, scroll.body.first);
    pair.values.second = std::max(scroll.root.second, scroll.body.second);
    pair.result = scroll.body.secondResult;
    return pair;
}

HResult QueryDocument(IBrowserHost* browser, ScrollProperties which, std::int32_t& first,
                      std::int32_t& second) {
    std::optional<LargerPair> pair = ReadLargerPair(browser, which);
    if (!pair) return kResultFalse;
    first = pair->values.first;
    second = pair->values.second;
    return pair->result;
}

}  // namespace

std::wstring ChangeDivScript(std::int32_t pageWidth, std::int32_t pageHeight) {
    return std::wstring(kChangeDivFunction) + L"(" + std::to_wstring(pageWidth) + L"," + std::to_wstring(pageHeight) + L")";
}

std::wstring LoadImageScript(const CPreviewPage& page) {
    std::int32_t right = Abs(Sub(Sub(page.pageWidth, page.imageWidth), page.scrollLeft));
    std::int32_t below = Abs(Sub(Sub(page.pageHeight, page.imageHeight), page.scrollTop));
    return std::wstring(kLoadImageFunction) + L"('" + JavaScriptStringText(page.imageUrl) + L"'," + std::to_wstring(page.imageWidth) + L"," +
           std::to_wstring(page.imageHeight) + L"," + std::to_wstring(page.scrollTop) + L"," +
           std::to_wstring(page.scrollLeft) + L"," + std::to_wstring(right) + L"," + std::to_wstring(below) +
           L")";
}

void CPreviewPage::UpdatePage() {
    SetBrowserZoom(previewBrowser, 100);
    ExecScript(previewBrowser, ChangeDivScript(pageWidth, pageHeight));
    ExecScript(previewBrowser, LoadImageScript(*this));
}

void CPreviewPage::StorePinchStart(IBrowserHost* preview, const PageMeasures& measures, const std::wstring& url,
                                   std::int32_t pictureWidth, std::int32_t pictureHeight) {
    previewBrowser = preview;
    pageWidth = measures.extent ? measures.extent->second : pictureWidth;
    pageHeight = measures.extent ? measures.extent->first : pictureHeight;
    imageUrl = url;
    scrollTop = measures.scroll ? measures.scroll->first : 0;
    scrollLeft = measures.scroll ? measures.scroll->second : 0;
    imageWidth = pictureWidth;
    imageHeight = pictureHeight;
}

PageMeasures MeasurePage(IBrowserHost* tab) {
    PageMeasures measures;
    if (auto extent = ReadLargerPair(tab, ScrollProperties::Extent)) measures.extent = extent->values;
    if (auto scroll = ReadLargerPair(tab, ScrollProperties::Offsets)) measures.scroll = scroll->values;
    return measures;
}

HResult GetPageExtent(IBrowserHost* browser, std::int32_t& height, std::int32_t& width) {
    return QueryDocument(browser, ScrollProperties::Extent, height, width);
}

HResult GetPageScroll(IBrowserHost* browser, std::int32_t& top, std::int32_t& left) {
    return QueryDocument(browser, ScrollProperties::Offsets, top, left);
}

HResult ExecScript(IBrowserHost* browser, const std::wstring& script) {
    if (!browser) return kResultPointer;
    return browser->ExecScript(script);
}
