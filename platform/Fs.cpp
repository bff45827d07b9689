#include "platform/Fs.h"
#include "platform/File.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/FaultSeam.h"
#include "platform/Reasons.h"

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace platform {

namespace {
constexpr long kIso9660Magic = 0x9660;
constexpr long kUdfMagic = 0x15013346;
// FAT (vfat, msdos) stores sizes on 32 bits; exFAT, with 64-bit sizes, has its own magic.
constexpr long kFatMagic = 0x4d44;
constexpr int64_t kFatLargestFile = 4294967295;

}  // namespace

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

int RegularFileError(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errno;
    if (S_ISREG(st.st_mode)) return 0;
    return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

int64_t FileSize(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") names.emplace_back(name);
    }
    ::closedir(dir);
    return names;
}

namespace {

bool RenameNoReplaceNow(const std::string& from, const std::string& to, int* error) {
    auto failed = [error](int why) {
        if (error) *error = why;
        return false;
    };
    if (::syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) ==
        0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return failed(errno);
    // File systems without renameat2 flags: a hard link never replaces its target.
    if (::link(from.c_str(), to.c_str()) != 0) return failed(errno);
    if (::unlink(from.c_str()) != 0) {
        const int why = errno;
        ::unlink(to.c_str());
        return failed(why);
    }
    return true;
}

// The folder's entries reach the disk: what makes a rename survive a power cut.
void SyncFolder(const std::string& folder) {
    if (testing::IoFaults* plan = fault::Plan()) ++plan->folderSyncs;
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

bool RenameNoReplace(const std::string& from, const std::string& to, int* error,
                     Durability durability) {
    if (!RenameNoReplaceNow(from, to, error)) return false;
    if (durability == Durability::Durable) SyncFolder(FolderOf(to));
    return true;
}

int64_t FreeSpace(const std::string& folder) {
    if (const std::optional<int64_t> forced = fault::ForcedFreeSpace()) return *forced;
    struct statvfs sv {};
    if (::statvfs(folder.c_str(), &sv) != 0) return 0;
    return static_cast<int64_t>(sv.f_bavail) * static_cast<int64_t>(sv.f_frsize);
}

bool IsOpticalDisc(const std::string& folder) {
    struct statfs sf {};
    if (::statfs(folder.c_str(), &sf) != 0) return false;
    return sf.f_type == kIso9660Magic || sf.f_type == kUdfMagic;
}

int64_t LargestFileOn(const std::string& folder) {
    struct statfs sf {};
    if (::statfs(folder.c_str(), &sf) != 0) return INT64_MAX;
    return sf.f_type == kFatMagic ? kFatLargestFile : INT64_MAX;
}

std::string VolumeOf(const std::string& folder) {
    std::string path = AbsolutePath(folder);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return "/";
    // Climb while the parent lies on the same device.
    while (path.size() > 1) {
        while (path.size() > 1 && path.back() == kSeparator) path.pop_back();
        size_t slash = path.rfind(kSeparator);
        std::string parent = slash == 0 ? "/" : path.substr(0, slash);
        struct stat pst {};
        if (::stat(parent.c_str(), &pst) != 0 || pst.st_dev != st.st_dev) break;
        path = parent;
    }
    return path.empty() ? "/" : path;
}

std::string AbsolutePath(std::string_view path) {
    // Only the folder is resolved: a name that is a link stays the name the
    // user chose.
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::canonical(FolderOf(path), error);
    if (!error) return WithSeparator(folder.native()) + FileNameOf(path);
    if (!path.empty() && path.front() == kSeparator) return std::string(path);
    const std::filesystem::path cwd = std::filesystem::current_path(error);
    if (error) return std::string(path);
    return WithSeparator(cwd.native()) + std::string(path);
}

size_t MaxFileNameBytes(const std::string& folder) {
    const long max = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    return max > 0 ? static_cast<size_t>(max) : 255;
}

bool MakeFolders(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

std::string FollowLinks(const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        char target[PATH_MAX];
        ssize_t n = ::readlink(current.c_str(), target, sizeof target);
        if (n <= 0 || n == static_cast<ssize_t>(sizeof target)) return current;
        std::string next(target, static_cast<size_t>(n));
        current = next.front() == kSeparator ? next : FolderOf(current) + next;
    }
    return current;  // a loop: still a link, which callers refuse to replace
}

bool WriteFileAtomically(const std::string& path, std::string_view content) {
    const std::string target = FollowLinks(path);
    struct stat old {};
    const bool existed = ::lstat(target.c_str(), &old) == 0;
    if (existed && S_ISLNK(old.st_mode)) return false;
    std::random_device seed;
    const std::string temp = target + ".tmp" + std::to_string(seed() % 1000000);
    File file = File::CreateNew(temp);
    if (!file.IsOpen()) return false;
    // Before any byte is written, so that a private file never lies readable
    // under its temporary name.
    bool written = true;
    if (existed) {
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
            // Only root may give a file away; anyone else keeps the file as theirs.
            if (::chown(temp.c_str(), old.st_uid, old.st_gid) != 0) {
            }
        }
        written = ::chmod(temp.c_str(), old.st_mode & 07777) == 0;
    }
    written =
        written && file.Write(content.data(), content.size()).ok() && file.Sync() && file.Close();
    if (!written || ::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    // The rename itself must reach the disk too.
    int dir = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool CopyNoReplace(const std::string& from, const std::string& to) {
    if (::link(from.c_str(), to.c_str()) == 0) return true;
    if (errno == EEXIST) return false;
    File in = File::OpenRead(from, Share::Read);
    struct stat st {};
    if (!in.IsOpen() || ::stat(from.c_str(), &st) != 0) return false;
    File out = File::CreateNew(to);
    if (!out.IsOpen()) return false;
    bool copied = ::chmod(to.c_str(), st.st_mode & 07777) == 0;
    char buffer[65536];
    while (copied) {
        IoResult r = in.CopyTo(out, size_t{1} << 30, buffer, sizeof buffer);
        copied = r.ok();
        if (r.ended || r.bytes == 0) break;
    }
    copied = copied && out.Sync() && out.Close();
    if (!copied) ::unlink(to.c_str());
    return copied;
}

}  // namespace platform
