#include "platform/File.h"

#include <algorithm>

#include "platform/Errors.h"
#include "platform/FaultSeam.h"
#include "platform/IoLoops.h"
#include "platform/win/Wide.h"

namespace platform {

namespace {

constexpr DWORD kMostPerCall = DWORD{1} << 30;

// The handle as Win32 hands it out, and as File keeps it.
HANDLE Raw(void* handle) {
    return static_cast<HANDLE>(handle);
}

// What a handle says of its file: identity and attributes. The change time
// comes from the basic information, which every NTFS and FAT volume keeps.
struct HandleFacts {
    FileIdentity identity;
    DWORD attributes = 0;
};

bool FactsOf(HANDLE handle, HandleFacts& facts) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) return false;
    FILE_BASIC_INFO basic{};
    const bool hasBasic =
        ::GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) != 0;
    auto nanos = [](int64_t ticks) { return ticks * 100; };  // 100 ns units
    facts.attributes = info.dwFileAttributes;
    facts.identity.device = info.dwVolumeSerialNumber;
    facts.identity.inode = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    facts.identity.size =
        static_cast<int64_t>((uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow);
    const int64_t written = static_cast<int64_t>(
        (uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) | info.ftLastWriteTime.dwLowDateTime);
    facts.identity.modified = nanos(hasBasic ? basic.LastWriteTime.QuadPart : written);
    facts.identity.changed = nanos(hasBasic ? basic.ChangeTime.QuadPart : written);
    return true;
}

// A handle that reads nothing, only the file's facts; `followLinks` false opens
// a link itself rather than what it leads to.
HANDLE OpenForFacts(const std::string& path, bool followLinks, DWORD access = 0) {
    DWORD flags = FILE_FLAG_BACKUP_SEMANTICS;  // folders too
    if (!followLinks) flags |= FILE_FLAG_OPEN_REPARSE_POINT;
    return ::CreateFileW(win::Widen(path).c_str(), access,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, flags, nullptr);
}

// Windows says "path not found" when a folder of the path is a file; the
// reason the user needs is that one, as Linux gives it.
int OpenErrno(const std::string& path, DWORD error) {
    if (error != ERROR_PATH_NOT_FOUND) return win::ErrnoOf(error);
    std::string folder = path;
    for (;;) {
        const size_t cut = folder.find_last_of("/\\");
        if (cut == std::string::npos || cut == 0) return ENOENT;
        folder.resize(cut);
        const DWORD attributes = ::GetFileAttributesW(win::Widen(folder).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES)
            return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? ENOENT : ENOTDIR;
    }
}

// Closes the handle when it goes out of scope.
struct ScopedHandle {
    HANDLE handle;
    ~ScopedHandle() {
        if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
    }
    bool ok() const { return handle != INVALID_HANDLE_VALUE; }
};

}  // namespace

File::~File() {
    if (fd_ != kNoHandle) ::CloseHandle(Raw(fd_));
}

File::File(File&& other) noexcept
    : fd_(other.fd_), openError_(other.openError_), kernelCopyRefused_(other.kernelCopyRefused_) {
    other.fd_ = kNoHandle;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (fd_ != kNoHandle) ::CloseHandle(Raw(fd_));
        fd_ = other.fd_;
        openError_ = other.openError_;
        kernelCopyRefused_ = other.kernelCopyRefused_;
        other.fd_ = kNoHandle;
    }
    return *this;
}

File File::Open(const std::string& path, unsigned long access, unsigned long share,
                unsigned long disposition, bool followLinks) {
    const std::wstring wide = win::Widen(path);
    // A folder opens only with backup semantics; say what it is rather than
    // "access denied".
    const DWORD before = ::GetFileAttributesW(wide.c_str());
    if (before != INVALID_FILE_ATTRIBUTES && (before & FILE_ATTRIBUTE_DIRECTORY) &&
        disposition == OPEN_EXISTING)
        return File(kNoHandle, EISDIR);
    DWORD flags = FILE_ATTRIBUTE_NORMAL;
    if (!followLinks) flags |= FILE_FLAG_OPEN_REPARSE_POINT;
    HANDLE handle =
        ::CreateFileW(wide.c_str(), access, share, nullptr, disposition, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_ACCESS_DENIED && before != INVALID_FILE_ATTRIBUTES &&
            (before & FILE_ATTRIBUTE_DIRECTORY))
            return File(kNoHandle, EISDIR);
        return File(kNoHandle, OpenErrno(path, error));
    }
    // Only files on a disk are ours to use: a name like NUL or COM1 leads to
    // a device, never to be read or written as a part.
    HandleFacts facts;
    if (::GetFileType(handle) != FILE_TYPE_DISK || !FactsOf(handle, facts) ||
        (facts.attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        const bool folder = (facts.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        ::CloseHandle(handle);
        return File(kNoHandle, folder ? EISDIR : EINVAL);
    }
    if (!followLinks && (facts.attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        ::CloseHandle(handle);
        return File(kNoHandle, ELOOP);
    }
    return File(handle, 0);
}

File File::OpenRead(const std::string& path, Share share) {
    return Open(path, GENERIC_READ, share == Share::Read ? FILE_SHARE_READ : 0, OPEN_EXISTING,
                true);
}

File File::CreateNew(const std::string& path, Access access) {
    const DWORD rights = access == Access::ReadWrite ? GENERIC_READ | GENERIC_WRITE : GENERIC_WRITE;
    return Open(path, rights, 0, CREATE_NEW, true);
}

File File::OpenReadSame(const std::string& path, FileIdentity identity) {
    File file = Open(path, GENERIC_READ, 0, OPEN_EXISTING, false);
    if (file.IsOpen() && !(file.Identity() == identity)) return File(kNoHandle, ESTALE);
    return file;
}

File File::OpenWrite(const std::string& path) {
    return Open(path, GENERIC_WRITE, 0, OPEN_EXISTING, false);
}

namespace {
HANDLE DuplicateStandard(DWORD which, int& error) {
    HANDLE copy = INVALID_HANDLE_VALUE;
    const HANDLE process = ::GetCurrentProcess();
    if (!::DuplicateHandle(process, ::GetStdHandle(which), process, &copy, 0, FALSE,
                           DUPLICATE_SAME_ACCESS)) {
        error = win::ErrnoOf(::GetLastError());
        return INVALID_HANDLE_VALUE;
    }
    error = 0;
    return copy;
}
}  // namespace

File File::StandardInput() {
    int error = 0;
    const HANDLE copy = DuplicateStandard(STD_INPUT_HANDLE, error);
    return copy == INVALID_HANDLE_VALUE ? File(kNoHandle, error) : File(copy, 0);
}

File File::StandardOutput() {
    int error = 0;
    const HANDLE copy = DuplicateStandard(STD_OUTPUT_HANDLE, error);
    return copy == INVALID_HANDLE_VALUE ? File(kNoHandle, error) : File(copy, 0);
}

bool File::IsNamedBy(const std::string& path) const {
    if (fd_ == kNoHandle) return false;
    ScopedHandle named{OpenForFacts(path, false)};
    HandleFacts facts;
    if (!named.ok() || !FactsOf(named.handle, facts) ||
        (facts.attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
        return false;
    const std::optional<FileIdentity> mine = Identity();
    return mine && mine->device == facts.identity.device && mine->inode == facts.identity.inode;
}

IoResult File::Read(void* buffer, size_t n) {
    return io::ReadAll(buffer, n, [this](char* at, size_t left, int& error) -> int64_t {
        DWORD got = 0;
        if (::ReadFile(Raw(fd_), at, static_cast<DWORD>(std::min<size_t>(left, kMostPerCall)), &got,
                       nullptr))
            return got;
        const DWORD why = ::GetLastError();
        if (why == ERROR_HANDLE_EOF) return 0;
        error = win::ErrnoOf(why);
        return -1;
    });
}

IoResult File::Write(const void* buffer, size_t n) {
    return io::WriteAll(buffer, n, [this](const char* at, size_t left, int& error) -> int64_t {
        DWORD put = 0;
        if (::WriteFile(Raw(fd_), at, static_cast<DWORD>(std::min<size_t>(left, kMostPerCall)),
                        &put, nullptr))
            return put;
        error = win::LastErrno();
        return -1;
    });
}

// Windows has no copy between two open files inside the kernel: every copy
// goes through the buffer.
IoResult File::CopyTo(File& target, size_t n, void* buffer, size_t bufferSize) {
    return io::CopyThroughBuffer(*this, target, n, buffer, bufferSize);
}

bool File::Seek(int64_t position) {
    LARGE_INTEGER to{};
    to.QuadPart = position;
    LARGE_INTEGER at{};
    return fd_ != kNoHandle && position >= 0 && ::SetFilePointerEx(Raw(fd_), to, &at, FILE_BEGIN) &&
           at.QuadPart == position;
}

int64_t File::Size() const {
    LARGE_INTEGER size{};
    if (fd_ == kNoHandle || !::GetFileSizeEx(Raw(fd_), &size)) return -1;
    return size.QuadPart;
}

std::optional<FileIdentity> File::Identity() const {
    HandleFacts facts;
    if (fd_ == kNoHandle || !FactsOf(Raw(fd_), facts)) return std::nullopt;
    return facts.identity;
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    ScopedHandle file{OpenForFacts(path, true)};
    HandleFacts facts;
    if (!file.ok() || !FactsOf(file.handle, facts)) return std::nullopt;
    return facts.identity;
}

bool RemoveIfSame(const std::string& path, const FileIdentity& identity) {
    // The check and the removal go through one handle on the name itself, so
    // that a file renamed over the name in between is never the one removed.
    ScopedHandle named{OpenForFacts(path, false, DELETE)};
    HandleFacts facts;
    if (!named.ok() || !FactsOf(named.handle, facts) ||
        (facts.attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
        facts.identity.device != identity.device || facts.identity.inode != identity.inode)
        return false;
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return ::SetFileInformationByHandle(named.handle, FileDispositionInfo, &disposition,
                                        sizeof disposition) != 0;
}

// Windows tells which program holds a file only through the Restart Manager,
// which the console program does not link: the reason alone is given.
std::string LockHolderOf(const std::string&) {
    return std::string();
}

int64_t OpenFileLimit() {
    if (const std::optional<int64_t> forced = fault::ForcedOpenFileLimit()) return *forced;
    // Handles are limited by memory alone; this keeps a join's open parts
    // within what any volume and antivirus copes with.
    return 8192;
}

bool File::Sync() {
    if (testing::IoFaults* plan = fault::Plan()) {
        ++plan->fileSyncs;
        if (plan->syncFails) return false;
    }
    return fd_ != kNoHandle && ::FlushFileBuffers(Raw(fd_));
}

bool File::Close() {
    if (fd_ == kNoHandle) return true;
    const bool closed = ::CloseHandle(Raw(fd_));
    fd_ = kNoHandle;
    if (closed) return true;
    closeError_ = win::LastErrno();
    return false;
}

}  // namespace platform
