#include <windows.h>

#include <algorithm>

#include <pinchwell/AnsiText.h>
#include <pinchwell/UniqueHandle.h>

#include "FileBytes.h"

using pinchwell::AnsiToWide;
using pinchwell::UniqueFile;

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Deletes the temporary file on every way out unless it was moved into place.
class TempFile {
public:
    explicit TempFile(const std::wstring& target) {
        std::wstring folder = FolderOf(target);
        wchar_t name[MAX_PATH + 1] = {};
        // GetTempFileNameW creates the file, so the name is ours.
        if (::GetTempFileNameW(folder.c_str(), L"pwl", 0, name) == 0) return;
        path_ = name;
        file_.reset(::CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file_) Remove();
    }
    ~TempFile() { Remove(); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool ok() const { return static_cast<bool>(file_); }
    bool Write(const std::string& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
            DWORD written = 0;
            if (!::WriteFile(file_.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0)
                return false;
            done += written;
        }
        return true;
    }
    bool FlushAndClose() {
        bool flushed = ::FlushFileBuffers(file_.get()) != 0;
        // Closed here rather than by the owner: a failing close is a failed save.
        bool closed = ::CloseHandle(file_.release()) != 0;
        return flushed && closed;
    }
    bool MoveOver(const std::wstring& target) {
        if (!::MoveFileExW(path_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return false;
        path_.clear();
        return true;
    }

private:
    // With its separator, so that "C:\config.ini" gives the drive's root, not its current folder.
    static std::wstring FolderOf(const std::wstring& path) {
        size_t sep = path.find_last_of(L"\\/");
        if (sep == std::wstring::npos) return L".";
        return path.substr(0, sep + 1);
    }
    void Remove() {
        file_.reset();
        if (!path_.empty()) ::DeleteFileW(path_.c_str());
        path_.clear();
    }

    std::wstring path_;
    UniqueFile file_;
};

}  // namespace

bool ReadFileBytes(const std::string& path, std::string& bytes) {
    UniqueFile file(::CreateFileW(AnsiToWide(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::string content;
    char buffer[16384];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) return false;
        if (read == 0) break;
        content.append(buffer, read);
    }
    bytes = std::move(content);
    return true;
}

bool ReplaceFileBytes(const std::string& path, const std::string& bytes) {
    std::wstring target = AnsiToWide(path);
    DWORD attributes = ::GetFileAttributesW(target.c_str());
    // A folder or a read-only file is not replaced.
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
        return false;
    TempFile temp(target);
    return temp.ok() && temp.Write(bytes) && temp.FlushAndClose() && temp.MoveOver(target);
}
