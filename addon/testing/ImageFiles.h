#pragma once
// Reading back the image files that the capture writes: the format by its signature, and
// size and pixels through GDI+.
#include <windows.h>

#include <string>
#include <vector>

struct ImageFile {
    bool loaded = false;
    UINT width = 0;
    UINT height = 0;
    std::string format;  // "png", "bmp" or "other" by the file's first bytes
};

ImageFile ReadImageFile(const std::wstring& path);
// The colour of one pixel as 0xRRGGBB; 0xFFFFFFFF when it cannot be read.
DWORD ImagePixel(const std::wstring& path, int x, int y);
// Every pixel of the image, row by row from the top, as 0xRRGGBB, decoded by GDI+; empty
// when the file cannot be read.
std::vector<DWORD> ImagePixels(const std::wstring& path, UINT* width, UINT* height);
// The bytes of a file, empty when it cannot be read.
std::string FileBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
