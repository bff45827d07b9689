#include "platform/File.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "platform/Errors.h"
#include "platform/FaultSeam.h"
#include "platform/IoLoops.h"

namespace platform {

namespace {

// One copy_file_range call under the installed plan: moves at most what the
// plan lets through, or fails as the plan says, counting what moved.
ssize_t PlannedKernelCopy(testing::IoFaults* plan, int from, int to, size_t n) {
    if (plan->kernelAnswersZero) return 0;
    int error = 0;
    const int64_t allowed = fault::AllowedKernelCopy(*plan, n, error);
    if (allowed < 0) {
        errno = error;
        return -1;
    }
    const ssize_t c =
        ::copy_file_range(from, nullptr, to, nullptr, static_cast<size_t>(allowed), 0);
    if (c > 0) plan->bytesCopied += c;
    return c;
}

// Between a pipe and a file splice moves the bytes inside the kernel, as
// copy_file_range does between two files: a split of the standard input, a
// join into a pipe. Up to n bytes; `refused` when neither end is a pipe.
IoResult Splice(int from, int to, size_t n, bool& refused) {
    IoResult result;
    while (static_cast<size_t>(result.bytes) < n) {
        const size_t left = n - static_cast<size_t>(result.bytes);
        const ssize_t c = ::splice(from, nullptr, to, nullptr, left, SPLICE_F_MOVE);
        if (c > 0) {
            result.bytes += c;
            continue;
        }
        if (c == 0) {
            result.ended = true;
            return result;
        }
        if (errno == EINTR) continue;
        if (result.bytes == 0 && (errno == EINVAL || errno == ENOSYS)) {
            refused = true;
            return result;
        }
        result.error = errno;
        // A reader gone or a full disk are the target's; anything else is taken as the source's.
        result.writing = errno == EPIPE || errno == ENOSPC || errno == EFBIG || errno == EDQUOT;
        return result;
    }
    return result;
}

bool KernelCopyUnsupported(int error) {
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP ||
           error == EBADF || error == ETXTBSY || error == EPERM;
}

}  // namespace

File::~File() {
    if (fd_ >= 0) ::close(fd_);
}

File::File(File&& other) noexcept
    : fd_(other.fd_),
      openError_(other.openError_),
      kernelCopyRefused_(other.kernelCopyRefused_),
      spliceRefused_(other.spliceRefused_) {
    other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.fd_;
        openError_ = other.openError_;
        kernelCopyRefused_ = other.kernelCopyRefused_;
        spliceRefused_ = other.spliceRefused_;
        other.fd_ = -1;
    }
    return *this;
}

File File::Open(const std::string& path, int flags, bool exclusiveLock) {
    // Opened without waiting, so that a pipe or a device named like a part
    // cannot hold the caller for ever; only regular files are ours to use.
    int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) return File(-1, errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return File(-1, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    // The lock only keeps our own jobs apart; file systems without flock still
    // get their files opened.
    if (::flock(fd, (exclusiveLock ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        return File(-1, EBUSY);
    }
    return File(fd, 0);
}

File File::OpenRead(const std::string& path, Share share) {
    return Open(path, O_RDONLY, share == Share::None);
}

File File::CreateNew(const std::string& path, Access access) {
    return Open(path, (access == Access::ReadWrite ? O_RDWR : O_WRONLY) | O_CREAT | O_EXCL, true);
}

File File::OpenReadSame(const std::string& path, FileIdentity identity) {
    File file = Open(path, O_RDONLY | O_NOFOLLOW, true);
    if (file.IsOpen() && !(file.Identity() == identity)) return File(-1, ESTALE);
    return file;
}

bool File::IsNamedBy(const std::string& path) const {
    struct stat named {};
    if (fd_ < 0 || ::lstat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode)) return false;
    const std::optional<FileIdentity> mine = Identity();
    return mine && mine->device == static_cast<uint64_t>(named.st_dev) &&
           mine->inode == static_cast<uint64_t>(named.st_ino);
}

// Never through a link: a job writes only into files it made or was given.
File File::OpenWrite(const std::string& path) {
    return Open(path, O_WRONLY | O_NOFOLLOW, true);
}

File File::StandardInput() {
    const int copy = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0);
    return copy >= 0 ? File(copy, 0) : File(-1, errno);
}

File File::StandardOutput() {
    const int copy = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
    return copy >= 0 ? File(copy, 0) : File(-1, errno);
}

IoResult File::Read(void* buffer, size_t n) {
    return io::ReadAll(buffer, n, [this](char* at, size_t left, int& error) -> int64_t {
        for (;;) {
            const ssize_t r = ::read(fd_, at, left);
            if (r >= 0) return r;
            if (errno != EINTR) {
                error = errno;
                return -1;
            }
        }
    });
}

IoResult File::Write(const void* buffer, size_t n) {
    return io::WriteAll(buffer, n, [this](const char* at, size_t left, int& error) -> int64_t {
        for (;;) {
            const ssize_t w = ::write(fd_, at, left);
            if (w >= 0) return w;
            if (errno != EINTR) {
                error = errno;
                return -1;
            }
        }
    });
}

IoResult File::CopyTo(File& target, size_t n, void* buffer, size_t bufferSize) {
    IoResult result;
    testing::IoFaults* plan = fault::Plan();
    bool kernel = !kernelCopyRefused_ && (plan == nullptr || plan->kernelCopies);
    while (kernel && static_cast<size_t>(result.bytes) < n) {
        const size_t left = n - static_cast<size_t>(result.bytes);
        ssize_t c = plan ? PlannedKernelCopy(plan, fd_, target.fd_, left)
                         : ::copy_file_range(fd_, nullptr, target.fd_, nullptr, left, 0);
        if (c > 0) {
            result.bytes += c;
            continue;
        }
        if (c == 0) {
            // Some file systems answer 0 rather than refuse: the plain read
            // below tells the end of the file from that.
            if (result.bytes == 0) {
                kernelCopyRefused_ = true;
                kernel = false;
                break;
            }
            result.ended = true;
            return result;
        }
        if (errno == EINTR) continue;
        if (result.bytes == 0 && KernelCopyUnsupported(errno)) {
            kernelCopyRefused_ = true;
            kernel = false;
            break;
        }
        result.error = errno;
        // The kernel does not say which side failed; these can only be the target's.
        result.writing = errno == ENOSPC || errno == EFBIG || errno == EDQUOT;
        return result;
    }
    if (kernel) return result;
    if (plan == nullptr && !spliceRefused_) {
        const IoResult spliced = Splice(fd_, target.fd_, n, spliceRefused_);
        if (!spliceRefused_) return spliced;
    }
    return io::CopyThroughBuffer(*this, target, n, buffer, bufferSize);
}

bool File::Seek(int64_t position) {
    return fd_ >= 0 && ::lseek(fd_, static_cast<off_t>(position), SEEK_SET) == position;
}

int64_t File::Size() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
}

namespace {
FileIdentity IdentityFrom(const struct stat& st) {
    constexpr int64_t kNano = 1000000000;
    return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
            static_cast<int64_t>(st.st_size),
            static_cast<int64_t>(st.st_mtim.tv_sec) * kNano + st.st_mtim.tv_nsec,
            static_cast<int64_t>(st.st_ctim.tv_sec) * kNano + st.st_ctim.tv_nsec};
}
}  // namespace

std::optional<FileIdentity> File::Identity() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return std::nullopt;
    return IdentityFrom(st);
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return IdentityFrom(st);
}

bool RemoveIfSame(const std::string& path, const FileIdentity& identity) {
    struct stat named {};
    if (::lstat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode)) return false;
    if (static_cast<uint64_t>(named.st_dev) != identity.device ||
        static_cast<uint64_t>(named.st_ino) != identity.inode)
        return false;
    return ::unlink(path.c_str()) == 0;
}

std::string LockHolderOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::string();
    // /proc/locks: "1: FLOCK  ADVISORY  WRITE 1234 08:01:5678 0 EOF", the
    // device as major:minor in hex and the inode in decimal.
    char wanted[64];
    std::snprintf(wanted, sizeof wanted, "%02x:%02x:%llu", major(st.st_dev), minor(st.st_dev),
                  static_cast<unsigned long long>(st.st_ino));
    std::ifstream locks("/proc/locks");
    std::string line;
    long holder = -1;
    while (holder < 0 && std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string id, kind, mode, access, pid, file;
        if (!(fields >> id >> kind) || kind == "->") continue;  // a waiter, not a holder
        if (fields >> mode >> access >> pid >> file && file == wanted) {
            holder = std::strtol(pid.c_str(), nullptr, 10);
            if (holder == static_cast<long>(::getpid())) holder = -1;
        }
    }
    if (holder <= 0) return std::string();
    std::ifstream cmdline("/proc/" + std::to_string(holder) + "/cmdline");
    std::string command, argument;
    while (std::getline(cmdline, argument, '\0')) {
        if (command.empty()) argument = argument.substr(argument.rfind('/') + 1);
        command += (command.empty() ? "" : " ") + argument;
    }
    return (command.empty() ? std::string() : command + ", ") + "processus " +
           std::to_string(holder);
}

int64_t OpenFileLimit() {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 1024;
    return limit.rlim_cur == RLIM_INFINITY ? int64_t{1} << 20
                                           : static_cast<int64_t>(limit.rlim_cur);
}

bool File::Sync() {
    if (testing::IoFaults* plan = fault::Plan()) {
        ++plan->fileSyncs;
        if (plan->syncFails) return false;
    }
    return fd_ >= 0 && ::fsync(fd_) == 0;
}

bool File::Close() {
    if (fd_ < 0) return true;
    int r = ::close(fd_);
    fd_ = -1;
    if (r == 0 || errno == EINTR) return true;
    closeError_ = errno;
    return false;
}

}  // namespace platform
