#pragma once
// The part of ATL's CImage that the capture uses, on GDI+: saving a bitmap to a file in
// the format that the file's extension names.
#include <windows.h>

#include <string>
#include <vector>

// Starts GDI+, picks the first image encoder whose extension list holds the path's
// extension (FindEncoderForPath), saves the bitmap with it and shuts GDI+ down again.
// S_OK when the file was written; E_FAIL when GDI+ could not start, no encoder matches or
// the save failed. The bitmap stays the caller's.
HRESULT SaveBitmapFile(HBITMAP bitmap, const std::wstring& path);

// The file-extension lists of the installed GDI+ encoders, in GDI+'s order (such as
// "*.BMP;*.DIB;*.RLE"); GDI+ is started for the call.
std::vector<std::wstring> ImageEncoderExtensions();
