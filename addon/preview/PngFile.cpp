#include "PngFile.h"

#include <pinchwell/UniqueHandle.h>

namespace {

HRESULT LastError() {
    DWORD error = ::GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

bool WriteAll(HANDLE file, const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kMostAtOnce = 1u << 30;
    while (size > 0) {
        DWORD part = static_cast<DWORD>(size < kMostAtOnce ? size : kMostAtOnce);
        DWORD written = 0;
        if (!::WriteFile(file, data, part, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

}  // namespace

HRESULT SavePngFile(const BgrxPixels& pixels, const std::wstring& path) {
    pinchwell::UniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return LastError();
    HRESULT result = S_OK;
    bool written = WritePng(pixels, PngCompression::Stored, [&](const std::uint8_t* data, std::size_t size) {
        if (WriteAll(file.get(), data, size)) return true;
        result = LastError();
        return false;
    });
    if (written && !::SetEndOfFile(file.get())) {
        written = false;
        result = LastError();
    }
    if (!written) {
        if (SUCCEEDED(result)) result = E_FAIL;  // the pixels could not be written as PNG
        LARGE_INTEGER start = {};
        if (::SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN)) ::SetEndOfFile(file.get());
    }
    return result;
}
