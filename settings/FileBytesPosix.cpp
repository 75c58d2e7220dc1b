#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "FileBytes.h"

namespace {

class UniqueFd {
public:
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { if (fd_ >= 0) ::close(fd_); }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    int get() const { return fd_; }
    bool Close() { int fd = fd_; fd_ = -1; return ::close(fd) == 0; }

private:
    int fd_;
};

// Removes the temporary file on every way out unless it was moved into place.
class TempFile {
public:
    explicit TempFile(std::string pattern) : path_(std::move(pattern)), fd_(::mkstemp(path_.data())) {
        created_ = fd_.get() >= 0;
    }
    ~TempFile() { if (created_ && !moved_) ::unlink(path_.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool ok() const { return created_; }
    bool Write(const std::string& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::write(fd_.get(), bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            done += static_cast<size_t>(n);
        }
        return true;
    }
    bool SetMode(mode_t mode) { return ::fchmod(fd_.get(), mode) == 0; }
    bool FlushAndClose() {
        bool synced = ::fsync(fd_.get()) == 0;
        return fd_.Close() && synced;
    }
    bool MoveOver(const std::string& target) {
        moved_ = ::rename(path_.c_str(), target.c_str()) == 0;
        return moved_;
    }

private:
    std::string path_;
    UniqueFd fd_;
    bool created_ = false;
    bool moved_ = false;
};

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The replaced file keeps its permissions; a new one gets the usual ones.
mode_t ModeFor(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

FileOutcome OutcomeOf(int error) {
    switch (error) {
        case ENOENT: case ENOTDIR: return FileOutcome::Missing;
        case EACCES: case EPERM: case EROFS: return FileOutcome::NoRights;
        case EBUSY: case ETXTBSY: return FileOutcome::InUse;
        default: return FileOutcome::Failed;
    }
}

}  // namespace

FileOutcome ReadFileBytes(const std::string& path, std::string& bytes) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return OutcomeOf(errno);
    std::string content;
    char buffer[16384];
    for (;;) {
        ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return OutcomeOf(errno);
        if (n == 0) break;
        content.append(buffer, static_cast<size_t>(n));
    }
    bytes = std::move(content);
    return FileOutcome::Done;
}

FileOutcome ReplaceFileBytes(const std::string& path, const std::string& bytes) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return FileOutcome::Failed;
    TempFile temp(FolderOf(path) + "/.pinchwell-XXXXXX");
    if (!temp.ok()) return OutcomeOf(errno);
    if (temp.Write(bytes) && temp.SetMode(ModeFor(path)) && temp.FlushAndClose() && temp.MoveOver(path))
        return FileOutcome::Done;
    return OutcomeOf(errno);
}

bool ReplaceDenied(const std::string& path) {
    if (::access(FolderOf(path).c_str(), W_OK) != 0 && errno == EACCES) return true;
    return ::access(path.c_str(), W_OK) != 0 && errno == EACCES;
}
