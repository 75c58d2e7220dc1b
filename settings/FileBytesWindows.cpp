#include <windows.h>

#include <algorithm>

#include <pinchwell/AnsiText.h>
#include <pinchwell/UniqueHandle.h>

#include "FileBytes.h"
#include "FilePlacement.h"

using pinchwell::AnsiToWide;
using pinchwell::UniqueFile;

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// How long a replacement waits for a file that another program holds (a virus scanner
// or an indexer that opened it without delete sharing lets go within moments).
constexpr int kReplaceAttempts = 11;
constexpr DWORD kReplaceRetryMs = 50;

FileOutcome OutcomeOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
            return FileOutcome::Missing;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return FileOutcome::NoRights;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_UNABLE_TO_REMOVE_REPLACED:
            return FileOutcome::InUse;
        default:
            return FileOutcome::Failed;
    }
}

// Failures that a program holding the file causes, and that end when it lets go. A
// rename over an open file says "access denied" as often as "sharing violation".
bool MayPass(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED ||
           error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

// Whether the file can be opened to be replaced now; the error when not. Asked before
// each replacement: Wine's ReplaceFileW leaves a temporary file behind each time it
// finds the file held, and the answer also tells a held file from a forbidden one.
DWORD ReplaceableNow(const std::wstring& target) {
    UniqueFile probe(::CreateFileW(target.c_str(), GENERIC_WRITE | DELETE, kShareAll, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    return probe ? ERROR_SUCCESS : ::GetLastError();
}

// With its separator, so that "C:\config.ini" gives the drive's root, not its current folder.
std::wstring FolderOf(const std::wstring& path) {
    size_t sep = path.find_last_of(L"\\/");
    if (sep == std::wstring::npos) return L".";
    return path.substr(0, sep + 1);
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Deletes the temporary file on every way out unless it was put in place, or unless it
// holds the whole new file while the target is gone: then it is the only copy.
class TempFile {
public:
    TempFile(const std::wstring& target, const FilePlacementCalls& calls) : target_(target), calls_(calls) {
        std::wstring folder = FolderOf(target);
        wchar_t name[MAX_PATH + 1] = {};
        // GetTempFileNameW creates the file, so the name is ours.
        if (::GetTempFileNameW(folder.c_str(), L"pwl", 0, name) == 0) {
            error_ = ::GetLastError();
            return;
        }
        path_ = name;
        file_.reset(::CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file_) {
            error_ = ::GetLastError();
            Remove();
        }
    }
    ~TempFile() { Remove(); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool ok() const { return static_cast<bool>(file_); }
    DWORD error() const { return error_; }
    const std::wstring& path() const { return path_; }
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
        complete_ = flushed && closed;
        return complete_;
    }
    // An existing file is replaced so that it keeps its permissions, attributes and
    // creation time (what an administrator set on it); merge and ACL errors are only
    // about copying those and leave the new bytes in place.
    bool Replace() { return Placed(calls_.replace(target_, path_)); }
    // A file that is not there (any more) gets the new one moved in.
    bool MoveIn() { return Placed(calls_.move(path_, target_)); }

private:
    bool Placed(bool done) {
        if (done) path_.clear();
        return done;
    }
    void Remove() {
        file_.reset();
        if (path_.empty() || (complete_ && !Exists(target_))) return;
        calls_.remove(path_);
        path_.clear();
    }

    std::wstring target_;
    const FilePlacementCalls& calls_;
    std::wstring path_;
    UniqueFile file_;
    DWORD error_ = ERROR_SUCCESS;
    bool complete_ = false;
};

// The old file is gone: the new bytes go in at once, with a wait of their own for a
// reader that still holds the old one pending its deletion. They are never given up.
FileOutcome MoveIn(TempFile& temp, const std::wstring& target) {
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < kReplaceAttempts; ++attempt) {
        if (attempt > 0) ::Sleep(kReplaceRetryMs);
        if (temp.MoveIn()) return FileOutcome::Done;
        error = ::GetLastError();
        if (!MayPass(error)) break;
    }
    return Exists(target) ? OutcomeOf(error) : FileOutcome::Stranded;
}

}  // namespace

FileOutcome ReadFileBytes(const std::string& path, std::string& bytes) {
    std::wstring wide = AnsiToWide(path);
    UniqueFile file(::CreateFileW(wide.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD error = ::GetLastError();
        // A folder in the file's place refuses access, which is no matter of rights.
        DWORD attributes = ::GetFileAttributesW(wide.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return FileOutcome::Failed;
        return OutcomeOf(error);
    }
    std::string content;
    char buffer[16384];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) return OutcomeOf(::GetLastError());
        if (read == 0) break;
        content.append(buffer, read);
    }
    bytes = std::move(content);
    return FileOutcome::Done;
}

FilePlacementCalls SystemFilePlacement() {
    FilePlacementCalls calls;
    calls.replace = [](const std::wstring& target, const std::wstring& replacement) {
        return ::ReplaceFileW(target.c_str(), replacement.c_str(), nullptr,
                              REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr) != 0;
    };
    calls.move = [](const std::wstring& from, const std::wstring& to) {
        return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    };
    calls.remove = [](const std::wstring& path) { return ::DeleteFileW(path.c_str()) != 0; };
    return calls;
}

FileOutcome ReplaceFileBytes(const std::string& path, const std::string& bytes) {
    return ReplaceFileBytesWith(path, bytes, SystemFilePlacement());
}

FileOutcome ReplaceFileBytesWith(const std::string& path, const std::string& bytes, const FilePlacementCalls& calls) {
    std::wstring target = AnsiToWide(path);
    DWORD attributes = ::GetFileAttributesW(target.c_str());
    bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return FileOutcome::Failed;
    // A read-only file is not replaced: someone made it so on purpose.
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY)) return FileOutcome::ReadOnly;
    TempFile temp(target, calls);
    if (!temp.ok()) return OutcomeOf(temp.error());
    if (!temp.Write(bytes) || !temp.FlushAndClose()) return OutcomeOf(::GetLastError());
    // Windows' ReplaceFileW gives the new file the old one's attributes; Wine's moves the
    // new one in as it is. Given here, they stay either way.
    if (exists) ::SetFileAttributesW(temp.path().c_str(), attributes);
    if (!exists) return MoveIn(temp, target);
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < kReplaceAttempts; ++attempt) {
        if (attempt > 0) ::Sleep(kReplaceRetryMs);
        error = ReplaceableNow(target);
        if (error == ERROR_FILE_NOT_FOUND) return MoveIn(temp, target);  // gone meanwhile
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) continue;
        if (error != ERROR_SUCCESS) break;  // the user may not replace it: waiting changes nothing
        if (temp.Replace()) return FileOutcome::Done;
        error = ::GetLastError();
        // Without a backup name, this error means the old file is removed already (or
        // pending removal while a reader holds it): the new bytes are moved in.
        if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || error == ERROR_FILE_NOT_FOUND) return MoveIn(temp, target);
        if (!MayPass(error)) break;
    }
    // "Access denied" from a rename over an open file means it is held, not forbidden.
    if (error == ERROR_ACCESS_DENIED && ReplaceableNow(target) == ERROR_SHARING_VIOLATION) return FileOutcome::InUse;
    return OutcomeOf(error);
}

bool ReplaceDenied(const std::string& path) {
    std::wstring target = AnsiToWide(path);
    std::wstring folder = FolderOf(target);
    // Asked as the temporary file's creation asks, without creating one: a file left by
    // a probe that could not remove it would stay in the program folder.
    if (folder.size() > 1 && folder.back() == L'\\' && folder[folder.size() - 2] != L':') folder.pop_back();
    UniqueFile opened(::CreateFileW(folder.c_str(), FILE_ADD_FILE, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!opened && ::GetLastError() == ERROR_ACCESS_DENIED) return true;
    // A read-only file refuses everyone alike, administrators too.
    DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
    return ReplaceableNow(target) == ERROR_ACCESS_DENIED;
}
