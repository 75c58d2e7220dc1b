#pragma once
// The part of ATL's CImage that the capture uses, on GDI+: saving a bitmap to a file in
// the format that the file's extension names.
#include <windows.h>

#include <string>
#include <vector>

// GDI+ running for the object's lifetime (GdiplusStartup, GdiplusShutdown). GDI+ must not
// be started or shut down while the loader lock is held, so a session never belongs in
// DllMain or in a static object of the add-on library: it lives on a tab thread's stack.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool ok() const { return ok_; }

private:
    ULONG_PTR token_ = 0;
    bool ok_ = false;
};

// Starts GDI+, saves the bitmap as the other overload does and shuts GDI+ down again, as
// CImage does around its first and last object: a browser process that never pinches
// never runs GDI+, and nothing of GDI+ is left for the library's unload to stop.
HRESULT SaveBitmapFile(HBITMAP bitmap, const std::wstring& path);

// With GDI+ already running: picks the first image encoder whose extension list holds the
// path's extension (FindEncoderForPath) and saves the bitmap with it. S_OK when the file
// was written; E_FAIL when GDI+ is not running, no encoder matches or the save failed.
// The bitmap stays the caller's.
HRESULT SaveBitmapFile(const GdiplusSession& running, HBITMAP bitmap, const std::wstring& path);

// The file-extension lists of the installed GDI+ encoders, in GDI+'s order (such as
// "*.BMP;*.DIB;*.RLE"); GDI+ is started for the call.
std::vector<std::wstring> ImageEncoderExtensions();
