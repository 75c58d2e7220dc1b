#pragma once
// The add-on's zoom and browser commands, on the browser host interface. The Windows build adds the same three operations on an IWebBrowser2
// (WebBrowserHost.h).
#include <cstdint>

#include "BrowserHost.h"

// OLECMDID_OPTICAL_ZOOM and the two execution options that the commands use.
constexpr std::int32_t kOpticalZoomCommand = 63;
constexpr std::int32_t kExecPromptUser = 1;      // OLECMDEXECOPT_PROMPTUSER: set
constexpr std::int32_t kExecDontPromptUser = 2;  // OLECMDEXECOPT_DONTPROMPTUSER: query

// Sets the browser's optical zoom and records it with SaveZoomFactor, whatever the
// browser answered. Returns the browser's result, or kResultFalse (1) without doing
// anything when browser is null. The percent is not clamped.
HResult SetBrowserZoom(IBrowserHost* browser, std::int32_t percent);

// Reads the browser's optical zoom into percent: 100 when the browser leaves the value
// untouched. percent is always written. Returns the browser's result.
HResult GetBrowserZoom(IBrowserHost& browser, std::int32_t& percent);

// Whether the images of the displayed document have finished loading: true without a
// document or image collection (a null browser counts as having none), false when the
// collection cannot be read or is empty, else whether the last image whose state could
// be read is complete.
bool ArePageImagesReady(IBrowserHost* browser);

// The conclusion of ArePageImagesReady from what the host read.
bool DecidePageImagesReady(const PageImages& images);

// The registry record of the zoom: HKEY_CURRENT_USER "Software\Microsoft\Internet
// Explorer\Zoom", value "ZoomFactor", REG_DWORD percent x 1000.
extern const wchar_t kZoomKeyPath[];
extern const wchar_t kZoomFactorValue[];
// percent x 1000 as a 32-bit signed multiplication (wrapping, as the platform's would).
std::uint32_t ZoomFactorData(std::int32_t percent);

// Writes the zoom factor record: opens the key, or creates it as a volatile key, writes
// ZoomFactorData(percent). True exactly when the value was written. On Windows this is
// the registry (ZoomFactorWindows.cpp); the host build keeps the record in memory
// (ZoomFactorHost.cpp) so that callers' tests can read it back.
bool SaveZoomFactor(std::int32_t percent);
