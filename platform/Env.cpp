#include "platform/Env.h"

#include <cerrno>
#include <climits>
#include <csignal>
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
#include "platform/Language.h"

extern char** environ;

namespace platform {

std::optional<std::string> GetEnv(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') return std::nullopt;
    return std::string(value);
}

std::string_view UserLanguage() {
    const auto value = [](const char* name) { return GetEnv(name).value_or(""); };
    const std::string language = value("LANGUAGE"), lcAll = value("LC_ALL"),
                      lcMessages = value("LC_MESSAGES"), lang = value("LANG");
    return LanguageOfLocale({language, lcAll, lcMessages, lang});
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
    // The tool starts with the signals' default state: it must not inherit
    // the stop signals that only the program's watcher takes, nor a SIGPIPE
    // that the program ignores to word a closed pipe itself.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP}) sigaddset(&defaults, signal);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid;
    int rc = ::posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return false;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace platform
