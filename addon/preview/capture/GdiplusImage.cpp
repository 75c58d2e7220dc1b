#include "GdiplusImage.h"

#include <gdiplus.h>

#include <cstdint>
#include <memory>

#include "FileExtension.h"

namespace gdip = Gdiplus::DllExports;

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
}

GdiplusSession::~GdiplusSession() {
    if (ok_) Gdiplus::GdiplusShutdown(token_);
}

namespace {

struct ImageDisposer {
    void operator()(Gdiplus::GpBitmap* image) const { gdip::GdipDisposeImage(image); }
};

// The encoders' descriptions, in one block that GDI+ fills.
struct Encoders {
    std::vector<std::uint8_t> block;
    const Gdiplus::ImageCodecInfo* codecs = nullptr;
    UINT count = 0;

    Encoders() {
        UINT size = 0;
        if (gdip::GdipGetImageEncodersSize(&count, &size) != Gdiplus::Ok || count == 0 || size == 0) {
            count = 0;
            return;
        }
        block.resize(size);
        auto* info = reinterpret_cast<Gdiplus::ImageCodecInfo*>(block.data());
        if (gdip::GdipGetImageEncoders(count, size, info) != Gdiplus::Ok) {
            count = 0;
            return;
        }
        codecs = info;
    }

    std::vector<std::wstring> Extensions() const {
        std::vector<std::wstring> lists;
        for (UINT i = 0; i < count; ++i)
            lists.emplace_back(codecs[i].FilenameExtension ? codecs[i].FilenameExtension : L"");
        return lists;
    }
};

}  // namespace

std::vector<std::wstring> ImageEncoderExtensions() {
    GdiplusSession session;
    if (!session.ok()) return {};
    return Encoders().Extensions();
}

HRESULT SaveBitmapFile(HBITMAP bitmap, const std::wstring& path) {
    if (!bitmap) return E_FAIL;
    GdiplusSession session;
    return SaveBitmapFile(session, bitmap, path);
}

HRESULT SaveBitmapFile(const GdiplusSession& running, HBITMAP bitmap, const std::wstring& path) {
    if (!bitmap || !running.ok()) return E_FAIL;
    Encoders encoders;
    auto chosen = FindEncoderForPath(encoders.Extensions(), path);
    if (!chosen) return E_FAIL;

    Gdiplus::GpBitmap* created = nullptr;
    if (gdip::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &created) != Gdiplus::Ok || !created) return E_FAIL;
    std::unique_ptr<Gdiplus::GpBitmap, ImageDisposer> image(created);
    Gdiplus::GpStatus status =
        gdip::GdipSaveImageToFile(image.get(), path.c_str(), &encoders.codecs[*chosen].Clsid, nullptr);
    return status == Gdiplus::Ok ? S_OK : E_FAIL;
}
