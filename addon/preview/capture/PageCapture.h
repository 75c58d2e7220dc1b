#pragma once
// Finding the tab's content window, and capturing the visible part
// of it from the screen to an image file.
#include <windows.h>
#include <exdisp.h>

#include <optional>
#include <string>

#include "BrowserHost.h"
#include "CaptureFileCheck.h"
#include "ScreenPicture.h"

// The tab's shell window: IServiceProvider, QueryService(SID_SShellBrowser, IOleWindow),
// IOleWindow::GetWindow(window). Returns the first failing result.
HRESULT GetBrowserShellWindow(IWebBrowser2* browser, HWND* window);

// Enumerates every descendant of the browser's shell window with EnumContentProc and
// writes the last "Internet Explorer_Server" window found, or null when the tab has none
// (a PDF or Office document), to window. On failure to get the shell window returns that
// failure and leaves window unwritten. As a side effect every windowed Flash player in
// the tab is hidden.
HRESULT FindContentWindow(IWebBrowser2* browser, HWND* window);
HRESULT FindContentWindow(IBrowserHost* browser, HWND* window);

// The enumeration callback. parameter is the address of the WindowHandle that receives each "Internet Explorer_Server" window (so the last one in enumeration
// order wins); "MacromediaFlashPlayerActiveX" windows are hidden. Always TRUE.
BOOL CALLBACK EnumContentProc(HWND window, LPARAM parameter);

// Captures the window's client area (CaptureClientPicture) and saves it to path. A ".png"
// path (in any case) is written by the zlib writer straight from the capture's rows, with
// stored blocks, over the file in place (SavePngFile, which gives its stamp to written,
// where given); any other extension goes to the GDI+ encoder that the extension names (as
// ATL's CImage::Save does; GDI+ runs for the call only). width and height receive the
// capture size (the client size less the insets, 22 in each direction at 96 DPI), which is
// the picture's size wherever the window lies; when nothing could be captured (null
// window, too small, wholly off the desktop) they receive 0 and no file is written, so a
// previous capture file stays as it was. Returns whether the file was written (S_OK) or
// why not; a failed save never leaves a partly written file at path.
HRESULT SaveWindowImage(HWND window, const std::wstring& path, int* width, int* height,
                        std::optional<CaptureFileStamp>* written = nullptr);

// The window's client area less the page's edge and scroll bars (InsetsFromMetrics with
// the system's metrics: 2 pixels at the left and top and 20 at the right and bottom at
// 96 DPI), as a ScreenPicture: a 32 bpp top-down DIB section of that rectangle's size.
// width and height receive right - left and bottom - top of that rectangle; neither is
// written for a null window. Empty when nothing could be copied.
ScreenPicture CaptureClientPicture(HWND window, int* width, int* height);

// CaptureClientPicture's DIB section, which the caller owns, or null.
HBITMAP CaptureClientArea(HWND window, int* width, int* height);

// A ScreenPicture of a screen rectangle, whose DIB section the caller owns; null when the
// rectangle is empty or nothing of it lies on the desktop.
HBITMAP CaptureScreenRect(const RECT& rect);
