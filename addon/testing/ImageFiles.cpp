#include "ImageFiles.h"

#include <gdiplus.h>

#include <fstream>
#include <iterator>

namespace gdip = Gdiplus::DllExports;

namespace {
struct Session {
    ULONG_PTR token = 0;
    Session() {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token, &input, nullptr);
    }
    ~Session() { Gdiplus::GdiplusShutdown(token); }
};
}  // namespace

std::string FileBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

ImageFile ReadImageFile(const std::wstring& path) {
    ImageFile file;
    std::string bytes = FileBytes(path);
    if (bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0) file.format = "png";
    else if (bytes.compare(0, 2, "BM") == 0) file.format = "bmp";
    else file.format = "other";
    Session session;
    Gdiplus::GpImage* image = nullptr;
    if (gdip::GdipLoadImageFromFile(path.c_str(), &image) != Gdiplus::Ok) return file;
    gdip::GdipGetImageWidth(image, &file.width);
    gdip::GdipGetImageHeight(image, &file.height);
    gdip::GdipDisposeImage(image);
    file.loaded = true;
    return file;
}

DWORD ImagePixel(const std::wstring& path, int x, int y) {
    Session session;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (gdip::GdipCreateBitmapFromFile(path.c_str(), &bitmap) != Gdiplus::Ok) return 0xFFFFFFFF;
    Gdiplus::ARGB argb = 0;
    Gdiplus::GpStatus status = gdip::GdipBitmapGetPixel(bitmap, x, y, &argb);
    gdip::GdipDisposeImage(bitmap);
    return status == Gdiplus::Ok ? (argb & 0xFFFFFF) : 0xFFFFFFFF;
}

std::vector<DWORD> ImagePixels(const std::wstring& path, UINT* width, UINT* height) {
    *width = 0;
    *height = 0;
    Session session;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (gdip::GdipCreateBitmapFromFile(path.c_str(), &bitmap) != Gdiplus::Ok) return {};
    UINT w = 0, h = 0;
    gdip::GdipGetImageWidth(bitmap, &w);
    gdip::GdipGetImageHeight(bitmap, &h);
    std::vector<DWORD> pixels;
    Gdiplus::GpRect all(0, 0, static_cast<INT>(w), static_cast<INT>(h));
    Gdiplus::BitmapData data = {};
    if (gdip::GdipBitmapLockBits(bitmap, &all, Gdiplus::ImageLockModeRead, PixelFormat32bppRGB, &data) ==
        Gdiplus::Ok) {
        for (UINT y = 0; y < h; ++y) {
            auto* row = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
            for (UINT x = 0; x < w; ++x) pixels.push_back(row[x] & 0xFFFFFF);
        }
        gdip::GdipBitmapUnlockBits(bitmap, &data);
        *width = w;
        *height = h;
    }
    gdip::GdipDisposeImage(bitmap);
    return pixels;
}
