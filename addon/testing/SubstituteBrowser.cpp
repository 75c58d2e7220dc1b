#include "SubstituteBrowser.h"

#include <algorithm>

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += static_cast<unsigned long>(c) < 128 ? static_cast<char>(c) : '?';
    return out;
}

HResult SubstituteBrowser::ExecOpticalZoom(std::int32_t percent) {
    calls.push_back("ExecOpticalZoom(" + std::to_string(percent) + ")");
    if (Succeeded(setZoomResult)) zoom = percent;
    return setZoomResult;
}

HResult SubstituteBrowser::QueryOpticalZoom(std::int32_t& percent) {
    calls.push_back("QueryOpticalZoom(" + std::to_string(percent) + ")");
    if (queryWritesZoom) percent = zoom;
    return queryZoomResult;
}

PageImages SubstituteBrowser::ReadPageImages() {
    calls.push_back("ReadPageImages");
    return images;
}

DocumentScroll SubstituteBrowser::ReadDocumentScroll(ScrollProperties which) {
    calls.push_back(which == ScrollProperties::Extent ? "ReadDocumentScroll(Extent)" : "ReadDocumentScroll(Offsets)");
    return which == ScrollProperties::Extent ? extent : offsets;
}

HResult SubstituteBrowser::ScrollBy(std::int32_t dx, std::int32_t dy) {
    calls.push_back("ScrollBy(" + std::to_string(dx) + "," + std::to_string(dy) + ")");
    scrolls.emplace_back(dx, dy);
    return scrollResult;
}

HResult SubstituteBrowser::ExecScript(const std::wstring& script) {
    calls.push_back("ExecScript(" + Narrow(script) + ")");
    scripts.push_back(script);
    return scriptResult;
}

HResult SubstituteBrowser::GetShellWindow(WindowHandle& window) {
    calls.push_back("GetShellWindow");
    if (Succeeded(shellResult)) window = shellWindow;
    return shellResult;
}

HResult SubstituteBrowser::Navigate(const std::wstring& path) {
    calls.push_back("Navigate(" + Narrow(path) + ")");
    return navigateResult;
}

HResult SubstituteBrowser::AdviseEvents(void* sink, std::uint32_t& cookie) {
    calls.push_back("AdviseEvents");
    if (!Succeeded(adviseResult)) return adviseResult;
    cookie = nextCookie++;
    sinks.emplace_back(cookie, sink);
    return adviseResult;
}

HResult SubstituteBrowser::UnadviseEvents(std::uint32_t cookie) {
    calls.push_back("UnadviseEvents(" + std::to_string(cookie) + ")");
    auto found = std::find_if(sinks.begin(), sinks.end(), [&](const auto& s) { return s.first == cookie; });
    if (found == sinks.end()) return static_cast<HResult>(0x80040200u);  // CONNECT_E_NOCONNECTION
    sinks.erase(found);
    return kResultOk;
}

PageImages SubstituteBrowser::Images(std::vector<std::optional<std::int32_t>> readyStates) {
    PageImages images;
    images.document = true;
    images.collection = true;
    images.length = static_cast<std::int32_t>(readyStates.size());
    images.readyStates = std::move(readyStates);
    return images;
}

DocumentScroll SubstituteBrowser::Scroll(std::int32_t rootFirst, std::int32_t rootSecond, std::int32_t bodyFirst,
                                         std::int32_t bodySecond) {
    DocumentScroll scroll;
    scroll.usable = true;
    scroll.root.first = rootFirst;
    scroll.root.second = rootSecond;
    scroll.body.first = bodyFirst;
    scroll.body.second = bodySecond;
    return scroll;
}
