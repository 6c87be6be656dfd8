#include "document/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
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

// Saving through a symbolic link replaces the file it points to, not the link.
std::filesystem::path resolveTarget(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path given(path);
    if (!std::filesystem::is_symlink(given, ec)) return given;
    const std::filesystem::path target = std::filesystem::canonical(given, ec);
    return ec ? given : target;
}

std::string randomSuffix(std::random_device& random) {
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string suffix;
    for (int i = 0; i < 8; ++i) suffix.push_back(kDigits[random() % (sizeof(kDigits) - 1)]);
    return suffix;
}

// Creates a new, empty temporary file beside target; mode 0666 lets the umask decide.
int createTemporary(const std::filesystem::path& target, std::string& tempPath) {
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::random_device random;
    int lastError = EEXIST;
    for (int attempt = 0; attempt < 100 && lastError == EEXIST; ++attempt) {
        std::string name = ".";  // built by appending: GCC 12 misreports `"." + string&&` at -O3
        name += target.filename().string();
        name += '.';
        name += randomSuffix(random);
        name += ".tmp";
        tempPath = (folder / name).string();
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return fd;
        lastError = errno;
    }
    errno = lastError;
    return -1;
}

void syncFolder(const std::filesystem::path& target) {
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    const FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid()) ::fsync(dir.get());  // best effort: the data itself is already on disk
}

}  // namespace

FileResult writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::filesystem::path target = resolveTarget(path);
    std::string tempPath;
    FileDescriptor file(createTemporary(target, tempPath));
    if (!file.valid()) return failure("Cannot save", path, errno);
    TemporaryFile temporary(tempPath);

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
