#include "ZoomCommands.h"

const wchar_t kZoomKeyPath[] = L"Software\\Microsoft\\Internet Explorer\\Zoom";
const wchar_t kZoomFactorValue[] = L"ZoomFactor";

std::uint32_t ZoomFactorData(std::int32_t percent) {
    return static_cast<std::uint32_t>(percent) * 1000u;
}

HResult SetBrowserZoom(IBrowserHost* browser, std::int32_t percent) {
    if (!browser) return kResultFalse;
    HResult hr = browser->ExecOpticalZoom(percent);
    SaveZoomFactor(percent);  // written whatever the browser answered; the result does not matter
    return hr;
}

HResult GetBrowserZoom(IBrowserHost& browser, std::int32_t& percent) {
    std::int32_t value = 100;
    HResult hr = browser.QueryOpticalZoom(value);
    percent = value;
    return hr;
}

bool DecidePageImagesReady(const PageImages& images) {
    if (!images.document || !images.collection) return true;
    bool ready = false;
    if (images.imagesResult != kResultOk) return ready;
    if (images.lengthResult != kResultOk || images.length <= 0) return ready;
    for (const auto& state : images.readyStates) {
        if (state) ready = *state == kReadyStateComplete;  // the last readable image decides
    }
    return ready;
}

bool ArePageImagesReady(IBrowserHost* browser) {
    if (!browser) return true;
    return DecidePageImagesReady(browser->ReadPageImages());
}
