#include "PngFile.h"

#include <pinchwell/UniqueHandle.h>

#include <vector>

namespace {

// Collects the writer's small pieces into writes of about a megabyte.
class BufferedFile {
public:
    explicit BufferedFile(HANDLE file) : file_(file) { buffer_.reserve(kSize); }
    bool Write(const std::uint8_t* data, std::size_t size) {
        if (buffer_.size() + size > kSize && !Flush()) return false;
        if (size >= kSize) return WriteAll(data, size);
        buffer_.insert(buffer_.end(), data, data + size);
        return true;
    }
    bool Flush() {
        bool ok = WriteAll(buffer_.data(), buffer_.size());
        buffer_.clear();
        return ok;
    }

private:
    static constexpr std::size_t kSize = 1024 * 1024;
    bool WriteAll(const std::uint8_t* data, std::size_t size) {
        while (size > 0) {
            DWORD part = size > kSize ? static_cast<DWORD>(kSize) : static_cast<DWORD>(size);
            DWORD written = 0;
            if (!::WriteFile(file_, data, part, &written, nullptr) || written == 0) return false;
            data += written;
            size -= written;
        }
        return true;
    }
    HANDLE file_;
    std::vector<std::uint8_t> buffer_;
};

// Deletes the temporary file unless it was moved into place.
struct TemporaryFile {
    std::wstring path;
    bool kept = false;
    ~TemporaryFile() {
        if (!kept) ::DeleteFileW(path.c_str());
    }
};

HRESULT LastError() {
    DWORD error = ::GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

}  // namespace

std::wstring TemporaryPngPath(const std::wstring& path) {
    return path + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(::GetCurrentThreadId()) +
           L".tmp";
}

HRESULT SavePngFile(const BgrxPixels& pixels, const std::wstring& path) {
    TemporaryFile temporary{TemporaryPngPath(path)};
    {
        pinchwell::UniqueFile file(::CreateFileW(temporary.path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return LastError();
        BufferedFile out(file.get());
        bool written = WritePng(pixels, PngCompression::Stored,
                                [&out](const std::uint8_t* data, std::size_t size) { return out.Write(data, size); });
        if (!written) return E_FAIL;
        if (!out.Flush()) return LastError();
    }  // closed before the move
    if (!::MoveFileExW(temporary.path.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return LastError();
    temporary.kept = true;
    return S_OK;
}
