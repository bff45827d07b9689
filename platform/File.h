// An owned handle on a regular file, in the few opening modes that the jobs use.
//
// Readers share a file with other readers, writers hold it alone, so that two
// jobs of ours never read and write the same file at once, while a verify and
// a join of one set run side by side: in the advisory sense on Linux (flock,
// shared or exclusive), by share modes on Windows. A reader that is about to
// replace the file (the conversion) asks for Share::None. Sizes and positions
// are 64-bit. Errors come back as values: the errno of the failure, never an
// exception.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// What one I/O call did: how many bytes moved, or the errno that stopped it.
// A read that moved fewer bytes than asked without an error met the end of file.
struct IoResult {
    int64_t bytes = 0;
    int error = 0;
    bool writing = false;  // the error came from the file being written
    bool ended = false;    // the file being read ended first
    bool ok() const { return error == 0; }
};

enum class Share { None, Read };

// What a file created for writing may also do.
enum class Access { Write, ReadWrite };

// What tells a file from another one and from itself once changed: the disk
// and inode it lives at, its size, and its modification and change times (in
// nanoseconds). A write in place moves the times, a file renamed over the name
// has another inode.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modified = 0;
    int64_t changed = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the file a path names, following links as the opens do;
// nothing when there is none.
std::optional<FileIdentity> IdentityOf(const std::string& path);
// Removes the file that `path` names only while it is the very file of that
// disk and inode, not a link to it: a job takes back what it made, never what
// took its name since. False when nothing was removed.
bool RemoveIfSame(const std::string& path, const FileIdentity& identity);
// Whether `path` still names the file of that disk and inode: what a failed
// RemoveIfSame left behind, rather than a file replaced or removed since.
inline bool StillNames(const std::string& path, const FileIdentity& identity) {
    const std::optional<FileIdentity> now = IdentityOf(path);
    return now && now->device == identity.device && now->inode == identity.inode;
}
// How many files this process may hold open at once.
int64_t OpenFileLimit();
// Who holds the file that `path` names locked, in the words of a message
// ("pcw join film.avi.001.pcw, processus 1234"); empty when that cannot be
// known (no other holder found, or a system that does not tell).
std::string LockHolderOf(const std::string& path);

class File {
public:
    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // An existing file, for reading: with other readers, or alone.
    static File OpenRead(const std::string& path, Share share = Share::Read);
    // A new file, for writing; fails when anything of that name exists.
    static File CreateNew(const std::string& path, Access access = Access::Write);
    // The file that `path` names, for reading, only when it is the file of that
    // identity, unchanged, and not reached through a link: a file the job made,
    // found again by its name. Fails with ELOOP for a link, ESTALE otherwise.
    static File OpenReadSame(const std::string& path, FileIdentity identity);
    // An existing file, for writing; never creates one, never follows a link.
    static File OpenWrite(const std::string& path);
    // A handle of its own on the process's standard input or output, which
    // may be a pipe, a terminal or a file; closing it leaves the stream open.
    static File StandardInput();
    static File StandardOutput();

    bool IsOpen() const { return fd_ != kNoHandle; }
    // The errno of the failed open, 0 when the file is open.
    int OpenError() const { return openError_; }

    // Reads up to n bytes; stops short only at the end of the file or on an error.
    IoResult Read(void* buffer, size_t n);
    // Writes all n bytes or reports why it could not.
    IoResult Write(const void* buffer, size_t n);
    // Copies from this file's position to the target's position: up to n bytes
    // inside the kernel when it agrees (copy_file_range between files, splice
    // between a pipe and a file), otherwise up to one
    // buffer of bufferSize bytes through it. `ended` tells that this file ended
    // before the bytes asked for.
    IoResult CopyTo(File& target, size_t n, void* buffer, size_t bufferSize);

    // True while `path` names this very file itself, not a link to it.
    bool IsNamedBy(const std::string& path) const;

    bool Seek(int64_t position);
    // Size in bytes, -1 when it cannot be had.
    int64_t Size() const;
    // The identity of the open file; nothing when it cannot be had.
    std::optional<FileIdentity> Identity() const;
    // Forces written data to the disk.
    bool Sync();
    // Closes the handle; false when the system reports that buffered data was lost.
    bool Close();
    // The errno of a failed Close, 0 otherwise.
    int CloseError() const { return closeError_; }

private:
#ifdef _WIN32
    using Handle = void*;  // a HANDLE, nullptr when closed
    static constexpr Handle kNoHandle = nullptr;
    static File Open(const std::string& path, unsigned long access, unsigned long share,
                     unsigned long disposition, bool followLinks);
#else
    using Handle = int;  // a file descriptor
    static constexpr Handle kNoHandle = -1;
    static File Open(const std::string& path, int flags, bool exclusiveLock);
#endif
    explicit File(Handle fd, int error) : fd_(fd), openError_(error) {}

    Handle fd_ = kNoHandle;
    int openError_ = 0;
    int closeError_ = 0;
    bool kernelCopyRefused_ = false;
    bool spliceRefused_ = false;  // neither end is a pipe
};

}  // namespace platform
