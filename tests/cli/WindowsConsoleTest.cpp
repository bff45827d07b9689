// pcw.exe as Windows starts it: the names on its command line in UTF-16, and
// its output and errors into files, where they must be the same UTF-8 bytes as
// on Linux. Names outside the ANSI code page ("Ω") are the ones that a plain
// main would never see.
#include <gtest/gtest.h>

#include <string>

#include "platform/win/Wide.h"

namespace {

// A fresh folder of the test's own under the temporary folder, with the
// settings of the program kept in it too.
class Scratch {
public:
    Scratch() {
        wchar_t temp[MAX_PATH + 1];
        ::GetTempPathW(MAX_PATH + 1, temp);
        folder_ =
            std::wstring(temp) + L"pcw-console-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
        ::CreateDirectoryW(folder_.c_str(), nullptr);
        ::SetEnvironmentVariableW(L"PARCELWISE_REGISTRY_DIR", folder_.c_str());
    }
    ~Scratch() {
        ::SetEnvironmentVariableW(L"PARCELWISE_REGISTRY_DIR", nullptr);
        WIN32_FIND_DATAW found;
        const HANDLE search = ::FindFirstFileW((folder_ + L"*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do ::DeleteFileW((folder_ + found.cFileName).c_str());
            while (::FindNextFileW(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryW(folder_.c_str());
    }
    std::wstring operator/(const std::wstring& name) const { return folder_ + name; }

private:
    std::wstring folder_;
};

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    const HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    ASSERT_EQ(written, bytes.size());
}

std::string ReadBytes(const std::wstring& path) {
    const HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    ::CloseHandle(file);
    return bytes;
}

struct Outcome {
    DWORD status = 1;
    std::string out, err;
};

// Runs pcw.exe with the arguments, each quoted, its standard output and errors
// into files of the scratch folder, as a script that redirects them would, and
// no standard input. By default no console at all: its output is a file
// whatever the test runs in. CREATE_NEW_CONSOLE gives it a console of its own
// (hidden), as Explorer does.
Outcome RunPcw(const Scratch& scratch, std::initializer_list<std::wstring> arguments,
               DWORD console = DETACHED_PROCESS) {
    wchar_t program[MAX_PATH + 1];
    const std::wstring built = platform::win::Widen(PCW_PATH);
    ::GetFullPathNameW(built.c_str(), MAX_PATH + 1, program, nullptr);
    std::wstring line = L"\"" + std::wstring(program) + L"\"";
    for (const auto& argument : arguments) line += L" \"" + argument + L"\"";

    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const std::wstring outPath = scratch / L"stdout.txt", errPath = scratch / L"stderr.txt";
    const HANDLE out = ::CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                     CREATE_ALWAYS, 0, nullptr);
    const HANDLE err = ::CreateFileW(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                     CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = INVALID_HANDLE_VALUE;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    Outcome outcome;
    if (::CreateProcessW(program, line.data(), nullptr, nullptr, TRUE, console, nullptr, nullptr,
                         &startup, &process)) {
        ::WaitForSingleObject(process.hProcess, 120000);
        ::GetExitCodeProcess(process.hProcess, &outcome.status);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    ::CloseHandle(out);
    ::CloseHandle(err);
    outcome.out = ReadBytes(outPath);
    outcome.err = ReadBytes(errPath);
    return outcome;
}

TEST(WindowsConsole, NamesFromTheCommandLineAndRedirectedOutputAreUtf8) {
    Scratch scratch;
    // Over 1 Mo, the least a set is cut from.
    std::string content(1100000, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7 + i / 4096);
    // The bytes that text mode would spoil: a line feed, a return, 0x1A.
    content.replace(0, 4, "\n\r\x1a\n");
    WriteBytes(scratch / L"été Ω.bin", content);

    const Outcome split = RunPcw(scratch, {L"split", scratch / L"été Ω.bin", L"--count", L"2"});
    EXPECT_EQ(split.status, 0u) << split.err;
    EXPECT_EQ(split.out, "");
    // Its stored name lost the "Ω", which the split says on a line of its own.
    EXPECT_EQ(split.err,
              "-=Parcelwise=-: Le fichier a \xC3\xA9t\xC3\xA9 coup\xC3\xA9 avec succ\xC3\xA8s !\n"
              "Le nom enregistr\xC3\xA9 dans le jeu a d\xC3\xBB \xC3\xAAtre simplifi\xC3\xA9 : "
              "\xC3\xA9t\xC3\xA9 _.bin\n");
    EXPECT_TRUE(Exists(scratch / L"été Ω.bin.001.pcw"));
    EXPECT_TRUE(Exists(scratch / L"été Ω.bin.002.pcw"));

    // The header stores names in Windows-1252, which has no "Ω".
    const Outcome described = RunPcw(scratch, {L"info", scratch / L"été Ω.bin.001.pcw"});
    EXPECT_EQ(described.status, 0u) << described.err;
    EXPECT_EQ(described.out.substr(0, described.out.find("Date")),
              "Type d\xC3\xA9tect\xC3\xA9 : native (signature Parcelwise)\n"
              "Nom d'origine : \xC3\xA9t\xC3\xA9 _.bin\n"
              "Taille d'origine : 1100000 octets (1,04 Mo)\n"
              "Nombre de fichiers : 2\n");
    EXPECT_EQ(described.out.find('\r'), std::string::npos);

    const Outcome join =
        RunPcw(scratch, {L"join", scratch / L"été Ω.bin.001.pcw", L"--name", L"çà€.bin"});
    EXPECT_EQ(join.status, 0u) << join.err;
    EXPECT_EQ(join.err,
              "-=Parcelwise=-: Le fichier a \xC3\xA9t\xC3\xA9 recoller avec succ\xC3\xA8s !\n");
    EXPECT_TRUE(ReadBytes(scratch / L"çà€.bin") == content);
}

// pcw.exe without arguments in a console of its own, as a double click in
// Explorer starts it: the help and the question before the window closes,
// where a console it shares, or none, gets the usage error. Its input is no
// console here, so that it does not wait for the key.
TEST(WindowsConsole, WithoutArgumentsInAConsoleOfItsOwnItAsksForAKey) {
    Scratch scratch;
    const std::string prompt = "Appuyez sur une touche pour fermer cette fen\xC3\xAAtre...";
    const Outcome none = RunPcw(scratch, {});
    EXPECT_EQ(none.status, 2u);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err.rfind("pcw: commande manquante\n", 0), 0u) << none.err;
    EXPECT_EQ(none.err.find(prompt), std::string::npos);

    // Last: Wine's console host may hold the output files a moment longer.
    const Outcome own = RunPcw(scratch, {}, CREATE_NEW_CONSOLE);
    EXPECT_EQ(own.status, 2u);
    EXPECT_EQ(own.out.rfind("Parcelwise 1.1 : ", 0), 0u) << own.out;
    EXPECT_NE(own.out.find("\n" + prompt + "\n"), std::string::npos) << own.out;
    EXPECT_EQ(own.err, "");
}

}  // namespace
