#include "document/file/AtomicFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <random>
#include <string_view>
#include <system_error>

namespace kv {

namespace {

std::string systemReason(int error) { return std::generic_category().message(error); }

FileResult failure(const char* action, const std::string& path, int error) {
    return {false, std::string(action) + " \"" + path + "\": " + systemReason(error) + "."};
}

// Owns a POSIX file descriptor; closing early reports the close error.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int closeNow() {  // 0 or errno
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int fd_;
};

// Removes the temporary file unless the rename took it over.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    const std::string& path() const { return path_; }
    void release() { path_.clear(); }

private:
    std::string path_;
};

int writeAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<std::size_t>(written);
    }
    return 0;
}

// Saving through a symbolic link replaces the file it points to, not the link; a link
// to a file not yet there creates that file.
std::filesystem::path resolveTarget(const std::string& path) {
    constexpr int kMaxLinks = 40;  // the system's own limit on a chain of links
    std::filesystem::path target(path);
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(target, ec)) return target;
        const std::filesystem::path next = std::filesystem::read_symlink(target, ec);
        if (ec) return target;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

std::filesystem::path folderOf(const std::filesystem::path& target) {
    return target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
}

// Temporary files are named ".<file name>.<8 letters or digits>.tmp" beside the target.
// The file name part is shortened when the whole would be too long for the folder, so
// the temporary path is never refused where the target itself is accepted.
constexpr std::size_t kRandomLength = 8;
constexpr std::string_view kTempEnding = ".tmp";
constexpr std::string_view kRandomDigits = "0123456789abcdefghijklmnopqrstuvwxyz";

std::string temporaryPrefix(const std::filesystem::path& target) {
    const std::filesystem::path folder = folderOf(target);
    const long nameMax = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    const std::size_t maxName = nameMax > 0 ? static_cast<std::size_t>(nameMax) : NAME_MAX;
    const std::size_t folderLength = folder.native().size() + 1;
    const std::size_t maxTotal = PATH_MAX - 1 > folderLength ? PATH_MAX - 1 - folderLength : 0;
    const std::size_t fixed = 2 + kRandomLength + kTempEnding.size();  // two dots, suffix
    const std::size_t room = std::min(maxName, maxTotal);
    const std::string name = target.filename().string();
    std::string prefix = ".";
    prefix += name.substr(0, room > fixed ? room - fixed : 0);
    prefix += '.';
    return prefix;
}

bool isTemporaryName(const std::string& name, const std::string& prefix) {
    if (name.size() != prefix.size() + kRandomLength + kTempEnding.size()) return false;
    if (name.compare(0, prefix.size(), prefix) != 0) return false;
    if (name.compare(name.size() - kTempEnding.size(), kTempEnding.size(), kTempEnding) != 0) return false;
    const std::string_view random = std::string_view(name).substr(prefix.size(), kRandomLength);
    return random.find_first_not_of(kRandomDigits) == std::string_view::npos;
}

std::string randomSuffix(std::random_device& random) {
    std::string suffix;
    for (std::size_t i = 0; i < kRandomLength; ++i)
        suffix.push_back(kRandomDigits[random() % kRandomDigits.size()]);
    return suffix;
}

// A save holds a lock on its temporary file until the rename. One that nobody holds was
// left by a save that was killed: it is removed. Only names of our own pattern for this
// target are looked at.
void removeAbandonedTemporaries(const std::filesystem::path& target) {
    const std::filesystem::path folder = folderOf(target);
    const std::string prefix = temporaryPrefix(target);
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (!isTemporaryName(name, prefix)) continue;
        const FileDescriptor file(
            ::open(entry.path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat held {};
        if (!file.valid() || ::fstat(file.get(), &held) != 0 || !S_ISREG(held.st_mode)) continue;
        if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) continue;  // a save in progress
        struct stat named {};
        if (::lstat(entry.path().c_str(), &named) == 0 && named.st_ino == held.st_ino &&
            named.st_dev == held.st_dev)
            ::unlink(entry.path().c_str());
    }
}

// Creates a new, empty, locked temporary file beside target; mode 0666 lets the umask
// decide.
int createTemporary(const std::filesystem::path& target, std::string& tempPath) {
    const std::filesystem::path folder = folderOf(target);
    const std::string prefix = temporaryPrefix(target);
    std::random_device random;
    int lastError = EEXIST;
    for (int attempt = 0; attempt < 100 && lastError == EEXIST; ++attempt) {
        std::string name = prefix;
        name += randomSuffix(random);
        name += kTempEnding;
        tempPath = (folder / name).string();
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            lastError = errno;
            continue;
        }
        if (::flock(fd, LOCK_EX) != 0) {
            lastError = errno;
            ::close(fd);
            ::unlink(tempPath.c_str());
            break;
        }
        // Another save's clean-up may have taken the file between its creation and the
        // lock: then it has no name any more, and a new one is made.
        struct stat info {};
        if (::fstat(fd, &info) == 0 && info.st_nlink > 0) return fd;
        ::close(fd);
    }
    errno = lastError;
    return -1;
}

// 0 when the user may replace the existing file at target (or there is none), else the
// reason. A file without any write permission is write-protected for everybody, the
// super-user included, whom the system's own check lets through.
int replaceRefusal(const std::filesystem::path& target) {
    struct stat existing {};
    if (::stat(target.c_str(), &existing) != 0 || !S_ISREG(existing.st_mode)) return 0;
    if (::access(target.c_str(), W_OK) != 0) return errno;
    if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return EACCES;
    return 0;
}

void syncFolder(const std::filesystem::path& target) {
    const FileDescriptor dir(::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid()) ::fsync(dir.get());  // best effort: the data itself is already on disk
}

}  // namespace

FileResult writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::filesystem::path target = resolveTarget(path);
    if (const int refusal = replaceRefusal(target)) return failure("Cannot save", path, refusal);
    removeAbandonedTemporaries(target);
    std::string tempPath;
    FileDescriptor file(createTemporary(target, tempPath));
    if (!file.valid()) return failure("Cannot save", path, errno);
    TemporaryFile temporary(tempPath);
    // The lock lives as long as this second handle: until the rename has taken the file.
    const FileDescriptor lock(::dup(file.get()));

    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        ::fchmod(file.get(), existing.st_mode & 07777);

    if (const int error = writeAll(file.get(), bytes)) return failure("Cannot save", path, error);
    if (::fsync(file.get()) != 0) return failure("Cannot save", path, errno);
    if (const int error = file.closeNow()) return failure("Cannot save", path, error);
    if (::rename(temporary.path().c_str(), target.c_str()) != 0) return failure("Cannot save", path, errno);
    temporary.release();
    syncFolder(target);
    return {true, {}};
}

FileResult readFilePrefix(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    // Non-blocking so that a named pipe cannot hang the open; it is refused below.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file.valid()) return failure("Cannot open", path, errno);
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) return failure("Cannot open", path, errno);
    if (S_ISDIR(info.st_mode)) return failure("Cannot open", path, EISDIR);
    if (!S_ISREG(info.st_mode)) return {false, "Cannot open \"" + path + "\": it is not a regular file."};

    bytes.resize(maxBytes);
    std::size_t done = 0;
    while (done < maxBytes) {
        const ssize_t got = ::read(file.get(), bytes.data() + done, maxBytes - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            bytes.clear();
            return failure("Cannot read", path, error);
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return {true, {}};
}

}  // namespace kv
