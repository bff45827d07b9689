#include "platform/Env.h"

#include <filesystem>
#include <random>

#include "platform/File.h"
#include "platform/Fs.h"
#include "platform/Language.h"
#include "platform/win/Wide.h"

namespace platform {

namespace {

// Quotes one argument as the C runtime's command-line parser reads it back.
std::wstring Quoted(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

bool HasExtension(const std::string& name) {
    const std::string file = FileNameOf(name);
    return file.find('.') != std::string::npos;
}

}  // namespace

std::optional<std::string> GetEnv(const char* name) {
    const std::wstring wide = win::Widen(name);
    const DWORD size = ::GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
    if (size <= 1) return std::nullopt;
    std::wstring value(size, L'\0');
    const DWORD n = ::GetEnvironmentVariableW(wide.c_str(), value.data(), size);
    if (n == 0 || n >= size) return std::nullopt;
    value.resize(n);
    return win::Narrow(value);
}

std::string HomeFolder() {
    if (auto profile = GetEnv("USERPROFILE")) return *profile;
    auto drive = GetEnv("HOMEDRIVE");
    auto path = GetEnv("HOMEPATH");
    if (drive && path) return *drive + *path;
    return "C:\\";
}

std::string_view UserLanguage() {
    return LanguageOfWindowsUi(::GetUserDefaultUILanguage());
}

std::string ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return win::Narrow(path);
        }
        path.resize(path.size() * 2);
    }
}

bool IsTerminal(int fd) {
    DWORD mode = 0;
    return ::GetConsoleMode(win::StdHandleOf(fd), &mode) != 0;
}

std::optional<std::string> FindOnPath(const std::string& name) {
    auto path = GetEnv("PATH");
    if (!path || name.empty() || name.find_first_of("/\\") != std::string::npos)
        return std::nullopt;
    // A name without an extension is tried with each of PATHEXT's, as the
    // command prompt does.
    std::vector<std::string> names{name};
    if (!HasExtension(name)) {
        const std::string extensions = GetEnv("PATHEXT").value_or(".COM;.EXE;.BAT;.CMD");
        for (const std::string& extension : ListEntries(extensions, ';'))
            names.push_back(name + extension);
    }
    for (const std::string& entry : ListEntries(*path, ';')) {
        const std::string folder = WithSeparator(entry);
        for (const std::string& candidate : names)
            if (IsRegularFile(folder + candidate)) return folder + candidate;
    }
    return std::nullopt;
}

bool HasTool(const std::string& name) {
    return FindOnPath(name).has_value();
}

bool RunTool(const std::vector<std::string>& argv) {
    if (argv.empty()) return false;
    const std::optional<std::string> program = FindOnPath(argv[0]);
    if (!program) return false;
    std::wstring commandLine;
    for (const std::string& arg : argv) {
        if (!commandLine.empty()) commandLine += L' ';
        commandLine += Quoted(win::Widen(arg));
    }
    // The tool's output goes nowhere, as on Linux to /dev/null.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nowhere = ::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = nowhere;
    startup.hStdError = nowhere;
    PROCESS_INFORMATION process{};
    const bool started =
        ::CreateProcessW(win::Widen(*program).c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                         CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process) != 0;
    if (nowhere != INVALID_HANDLE_VALUE) ::CloseHandle(nowhere);
    if (!started) return false;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 1;
    const bool got = ::GetExitCodeProcess(process.hProcess, &status) != 0;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return got && status == 0;
}

}  // namespace platform
