#include "PngFile.h"

#include <bcrypt.h>

#include <atomic>
#include <cstring>

#include <pinchwell/UniqueHandle.h>

#include "PreviewPaths.h"

namespace {

HRESULT LastError() {
    DWORD error = ::GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

const HRESULT kNotOurFile = HRESULT_FROM_WIN32(ERROR_CANT_ACCESS_FILE);

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

std::wstring FinalPath(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD length = ::GetFinalPathNameByHandleW(handle, &path[0], static_cast<DWORD>(path.size()), 0);
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(length);  // the size it needs, with its null
    }
    return {};
}

// The facts about the file opened as handle at path (in the folder that path names).
OpenedFileFacts FactsOf(HANDLE handle, const std::wstring& path) {
    OpenedFileFacts facts;
    // Not GetFileInformationByHandle: the volume's serial number, which it also gets, takes
    // Wine a round trip to its mount manager, 0.5 to 1.5 ms of every pinch start.
    FILE_BASIC_INFO basic = {};
    FILE_STANDARD_INFO standard = {};
    if (!::GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) ||
        !::GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof standard))
        return facts;
    facts.reparsePoint = (basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    facts.directory = standard.Directory != FALSE;
    facts.links = standard.NumberOfLinks;
    facts.finalPath = FinalPath(handle);
    std::size_t cut = path.find_last_of(L"\\/");
    if (cut == std::wstring::npos) return facts;
    facts.name = path.substr(cut + 1);
    std::wstring folder = path.substr(0, cut + 1);
    pinchwell::UniqueFile folderHandle(::CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (folderHandle) facts.folderFinalPath = FinalPath(folderHandle.get());
    return facts;
}

// An id that no other write of the capture file has: random where the system gives it,
// and the process's id and its count of writes, which alone set it apart from every
// write of every other running process.
std::array<std::uint8_t, kWriteIdBytes> NewWriteId() {
    static std::atomic<std::uint32_t> writes{0};
    std::array<std::uint8_t, kWriteIdBytes> id{};
    // A failure leaves the random half zero: the rest still tells the writes apart.
    ::BCryptGenRandom(nullptr, id.data(), 8, BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    const std::uint32_t process = ::GetCurrentProcessId();
    const std::uint32_t count = ++writes;
    std::memcpy(id.data() + 8, &process, 4);
    std::memcpy(id.data() + 12, &count, 4);
    return id;
}

// The stamp of the write the file holds now, read through the handle.
std::optional<CaptureFileStamp> StampOf(HANDLE file) {
    std::uint8_t head[kCaptureFileHeadBytes] = {};
    DWORD read = 0;
    if (!::ReadFile(file, head, sizeof head, &read, nullptr)) return std::nullopt;
    return StampOfCaptureFile(head, read);
}

// Opens the file at path as itself, never a link's target: an existing name with
// FILE_FLAG_OPEN_REPARSE_POINT, else a new file, which is never made through a link
// (CREATE_NEW fails on any existing name, a dangling link's included).
pinchwell::UniqueFile OpenOwnFile(const std::wstring& path, DWORD access, DWORD share, bool create, HRESULT* result) {
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
    pinchwell::UniqueFile file(::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, flags, nullptr));
    if (!file && create && ::GetLastError() == ERROR_FILE_NOT_FOUND)
        file.reset(::CreateFileW(path.c_str(), access, share, nullptr, CREATE_NEW, flags, nullptr));
    if (!file) {
        *result = LastError();
        return file;
    }
    if (!IsOwnCaptureFile(FactsOf(file.get(), path))) {
        *result = kNotOurFile;
        file.reset();
        return file;
    }
    *result = S_OK;
    return file;
}

}  // namespace

std::wstring CaptureFilePath() {
    wchar_t folder[MAX_PATH + 1] = {};
    DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) return {};
    return CaptureImagePath(std::wstring(folder, length));
}

HRESULT SavePngFile(const BgrxPixels& pixels, const std::wstring& path, std::optional<CaptureFileStamp>* stamped) {
    HRESULT result = S_OK;
    pinchwell::UniqueFile file =
        OpenOwnFile(path, GENERIC_WRITE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_DELETE, true, &result);
    if (!file) return result;
    CaptureFileStamp stamp;
    stamp.writeId = NewWriteId();
    PngOptions options;
    options.writeId = stamp.writeId.data();
    bool written = WritePng(
        pixels, PngCompression::Stored,
        [&](const std::uint8_t* data, std::size_t size) {
            if (WriteAll(file.get(), data, size)) return true;
            result = LastError();
            return false;
        },
        options);
    if (written && !::SetEndOfFile(file.get())) {
        written = false;
        result = LastError();
    }
    if (!written) {
        if (SUCCEEDED(result)) result = E_FAIL;  // the pixels could not be written as PNG
        LARGE_INTEGER start = {};
        stamp.emptied = ::SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN) && ::SetEndOfFile(file.get());
        if (!stamp.emptied) return result;  // what the file holds now is not known
    }
    if (stamped) *stamped = stamp;
    return result;
}

HRESULT DeleteCaptureFile(const std::wstring& path, const CaptureFileStamp* written) {
    if (path.empty()) return S_FALSE;
    HRESULT result = S_OK;
    // Not shared with writers: no capture can rewrite the file between the check and the
    // deletion.
    pinchwell::UniqueFile file = OpenOwnFile(path, DELETE | FILE_READ_DATA | FILE_READ_ATTRIBUTES,
                                             FILE_SHARE_READ | FILE_SHARE_DELETE, false, &result);
    if (!file) {
        return result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || result == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)
                   ? S_FALSE
                   : result;
    }
    if (written) {
        std::optional<CaptureFileStamp> now = StampOf(file.get());
        if (!now || !(*now == *written)) return S_FALSE;  // another tab's picture by now
    }
    // Through the handle checked above, not by name: the name might be another file by now.
    FILE_DISPOSITION_INFO disposition = {TRUE};
    if (!::SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof disposition))
        return LastError();
    return S_OK;
}
