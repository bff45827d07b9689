#include "platform/Env.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/File.h"
#include "platform/Fs.h"

extern char** environ;

namespace platform {

std::optional<std::string> GetEnv(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') return std::nullopt;
    return std::string(value);
}

std::string HomeFolder() {
    if (auto home = GetEnv("HOME")) return *home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/";
}

std::string ExecutablePath() {
    char path[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return {};
    return std::string(path, static_cast<size_t>(n));
}

bool IsTerminal(int fd) {
    return ::isatty(fd) == 1;
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

std::optional<std::string> FindOnPath(const std::string& name) {
    auto path = GetEnv("PATH");
    if (!path || name.empty() || name.find(kSeparator) != std::string::npos) return std::nullopt;
    for (const std::string& folder : ListEntries(*path, ':')) {
        const std::string candidate = WithSeparator(folder) + name;
        if (IsRegularFile(candidate) && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return std::nullopt;
}

bool HasTool(const std::string& name) {
    return FindOnPath(name).has_value();
}

bool RunTool(const std::vector<std::string>& argv) {
    if (argv.empty()) return false;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid;
    int rc = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return false;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace platform
