// pcw stopped from outside while it works: killed outright, or asked to stop
// by Ctrl-C, a kill or a closed terminal. Whatever the moment, nothing under a
// final name may pass for complete; a stop that it was asked for takes back
// what the run made and nothing else, and says so.
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "support/TestSupport.h"

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

constexpr size_t kSource = 120u << 20;

// The files of a folder with their sizes and times: what tells that nothing was touched.
std::map<std::string, std::pair<uintmax_t, fs::file_time_type>> Snapshot(
    const std::string& folder) {
    std::map<std::string, std::pair<uintmax_t, fs::file_time_type>> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = {entry.file_size(), entry.last_write_time()};
    return files;
}

struct Stopped {
    int status = -1;  // the exit status, or 128 + the signal that killed it
    std::string messages;
};

class StopTest : public ::testing::Test {
public:  // the moments to stop at are read by lambdas of the tests
    static void SetUpTestSuite() { source_ = RandomBytes(kSource, 42); }
    void SetUp() override { WriteFile(dir / "big.bin", source_); }

    // Runs pcw with `arguments`, waits until `ready` holds (polled), holds the
    // process still, sends `signal` and lets it go on to its end; `then`, when
    // given, is sent again and again until the process has ended.
    // `user`, when given, runs it as that user.
    Stopped RunAndStop(const std::vector<std::string>& arguments,
                       const std::function<bool()>& ready, int signal, int then = 0,
                       const passwd* user = nullptr,
                       const std::function<void()>& whileStopped = {}) {
        const std::string messages = dir / "stderr.txt";
        // Everything the child needs is made before the fork: after it, only exec.
        std::vector<char*> argv{const_cast<char*>(PCW_BINARY)};
        for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        std::string registry = "PARCELWISE_REGISTRY_DIR=" + dir / "registry";
        char* env[] = {registry.data(), nullptr};
        const int err = ::open(messages.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const pid_t child = ::fork();
        if (child == 0) {
            ::dup2(err, 2);
            if (user != nullptr && (::setgroups(0, nullptr) != 0 || ::setgid(user->pw_gid) != 0 ||
                                    ::setuid(user->pw_uid) != 0))
                ::_exit(126);
            ::execve(PCW_BINARY, argv.data(), env);
            ::_exit(127);
        }
        ::close(err);
        bool seen = false;
        for (int i = 0; i < 200000 && !seen; ++i) {
            seen = ready();
            if (!seen) std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        EXPECT_TRUE(seen) << "the moment to stop never came";
        ::kill(child, SIGSTOP);
        // The signal is only queued by kill(): wait until the child is held,
        // so that what whileStopped looks at or changes cannot race with it.
        int held = 0;
        ::waitpid(child, &held, WUNTRACED);
        if (whileStopped) whileStopped();
        ::kill(child, signal);
        if (signal == SIGINT) ::kill(child, SIGINT);  // a second Ctrl-C changes nothing
        if (then != 0) ::kill(child, then);
        ::kill(child, SIGCONT);
        int status = 0;
        while (then != 0 && ::waitpid(child, &status, WNOHANG) == 0) {
            ::kill(child, then);
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        if (then == 0) ::waitpid(child, &status, 0);
        Stopped run;
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        run.messages = ReadFile(messages);
        fs::remove(messages);
        return run;
    }
    std::vector<std::string> Split(bool digests) {
        std::vector<std::string> args{"split", dir / "big.bin", "--size",
                                      "10",    "--folder",      out.path()};
        if (digests) args.push_back("--md5");
        return args;
    }
    // Another pcw run to its end while the first is held; its status and messages.
    Stopped Beside(const std::string& arguments) {
        const std::string messages = dir / "beside.txt";
        const int status =
            std::system(("env PARCELWISE_REGISTRY_DIR='" + dir / "registry" + "' '" + PCW_BINARY +
                         "' " + arguments + " </dev/null >/dev/null 2>'" + messages + "'")
                            .c_str());
        Stopped run;
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.messages = ReadFile(messages);
        fs::remove(messages);
        return run;
    }
    bool Exists(const std::string& path) { return fs::exists(path); }
    int64_t SizeOf(const std::string& path) {
        std::error_code ec;
        const auto size = fs::file_size(path, ec);
        return ec ? -1 : static_cast<int64_t>(size);
    }
    // Joins what a run left in `out` as a user would; its status and messages.
    Stopped JoinLeftovers() {
        return RunAndStop(
            {"join", out / "big.bin.001.pcw", "--folder", back.path()}, [] { return true; }, 0);
    }

    TempDir dir, out, back;
    static std::string source_;
};

std::string StopTest::source_;

}  // namespace

TEST_F(StopTest, ASplitKilledAnywhereLeavesASetThatNoJoinTakesForWhole) {
    const struct {
        const char* what;
        bool digests;
        std::function<bool(StopTest&)> ready;
    } moments[] = {
        {"inside the first part", false,
         [](StopTest& t) { return t.SizeOf(t.out / "big.bin.001.pcw") > (1 << 20); }},
        {"between parts", false, [](StopTest& t) { return t.Exists(t.out / "big.bin.005.pcw"); }},
        // The last part holds its data: the digests are being made.
        {"while hashing", true,
         [](StopTest& t) {
             return t.SizeOf(t.out / "big.bin.012.pcw") ==
                    static_cast<int64_t>(kSource - 11 * (10u << 20));
         }},
    };
    for (const auto& m : moments) {
        SCOPED_TRACE(m.what);
        fs::remove_all(out.path());
        fs::create_directories(out.path());
        const Stopped killed = RunAndStop(
            Split(m.digests), [&] { return m.ready(*this); }, SIGKILL);
        EXPECT_EQ(killed.status, 128 + SIGKILL);
        const Stopped join = JoinLeftovers();
        EXPECT_EQ(join.status, 1) << join.messages;
        EXPECT_NE(join.messages.find("le découpage a probablement été interrompu"),
                  std::string::npos)
            << join.messages;
        EXPECT_FALSE(Exists(back / "big.bin"));
    }
}

TEST_F(StopTest, AJoinKilledAnywhereLeavesOnlyAPrefixUnderItsTemporaryName) {
    ASSERT_EQ(RunAndStop(
                  Split(false), [] { return true; }, 0)
                  .status,
              0);
    const std::string left = back / "big.bin.incomplet";
    const std::function<bool()> moments[] = {
        [&] { return SizeOf(left) > 0; },
        [&] { return SizeOf(left) > static_cast<int64_t>(kSource / 2); },
    };
    for (const auto& ready : moments) {
        fs::remove_all(back.path());
        fs::create_directories(back.path());
        const Stopped killed =
            RunAndStop({"join", out / "big.bin.001.pcw", "--folder", back.path()}, ready, SIGKILL);
        EXPECT_EQ(killed.status, 128 + SIGKILL);
        EXPECT_FALSE(Exists(back / "big.bin"));
        const std::string partial = ReadFile(left);
        EXPECT_GT(partial.size(), 0u);
        EXPECT_TRUE(source_.compare(0, partial.size(), partial) == 0);
    }
}

TEST_F(StopTest, AStopAskedForTakesBackWhatTheRunMadeAndSaysSo) {
    WriteFile(out / "notes.txt", "kept");
    const struct {
        const char* what;
        int signal;
        bool join;
    } cases[] = {
        {"Ctrl-C during a split", SIGINT, false},
        {"kill during a split", SIGTERM, false},
        {"closed terminal during a join", SIGHUP, true},
        {"Ctrl-C during a join", SIGINT, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.join && !Exists(out / "big.bin.001.pcw")) {
            ASSERT_EQ(RunAndStop(
                          Split(true), [] { return true; }, 0)
                          .status,
                      0);
        }
        const auto before = Snapshot(out.path());
        const auto backBefore = Snapshot(back.path());
        const Stopped run =
            c.join ? RunAndStop(
                         {"join", out / "big.bin.001.pcw", "--folder", back.path(), "--no-verify"},
                         [&] { return SizeOf(back / "big.bin.incomplet") > 0; }, c.signal)
                   : RunAndStop(
                         Split(false), [&] { return Exists(out / "big.bin.003.pcw"); }, c.signal);
        EXPECT_EQ(run.status, 128 + c.signal) << run.messages;
        EXPECT_NE(run.messages.find("Le processus a été annulé."), std::string::npos)
            << run.messages;
        EXPECT_NE(run.messages.find("Opération annulée"), std::string::npos) << run.messages;
        EXPECT_EQ(run.messages.find("succès"), std::string::npos) << run.messages;
        EXPECT_TRUE(Snapshot(out.path()) == before);
        EXPECT_TRUE(Snapshot(back.path()) == backBefore);
        EXPECT_EQ(ReadFile(out / "notes.txt"), "kept");
    }
}

// The first stop request decides: a kill that follows a Ctrl-C, however late
// while the program cleans up and ends, neither kills it nor changes its status.
TEST_F(StopTest, ASecondSignalKeepsTheStatusOfTheFirst) {
    for (int round = 0; round < 3; ++round) {
        fs::remove_all(out.path());
        fs::create_directories(out.path());
        const Stopped run = RunAndStop(
            Split(false), [&] { return Exists(out / "big.bin.003.pcw"); }, SIGINT, SIGTERM);
        EXPECT_EQ(run.status, 128 + SIGINT) << run.messages;
        EXPECT_NE(run.messages.find("Opération annulée"), std::string::npos) << run.messages;
        EXPECT_FALSE(Exists(out / "big.bin.001.pcw"));
    }
}

// A cancel whose files the folder no longer lets it remove (the folder became
// read-only under a user without rights) names what it left, never "none".
TEST_F(StopTest, ACancelThatCannotRemoveItsFilesNamesThem) {
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() != 0 || nobody == nullptr)
        GTEST_SKIP() << "needs root and the user nobody: not tested";
    ASSERT_EQ(RunAndStop(
                  Split(false), [] { return true; }, 0)
                  .status,
              0);
    for (const std::string& folder : {dir.path(), out.path()})
        fs::permissions(folder, fs::perms::others_read | fs::perms::others_exec,
                        fs::perm_options::add);
    fs::permissions(dir / "big.bin", fs::perms::others_read, fs::perm_options::add);
    for (const auto& entry : fs::directory_iterator(out.path()))
        fs::permissions(entry.path(), fs::perms::others_read, fs::perm_options::add);
    const struct {
        const char* what;
        std::vector<std::string> arguments;
        std::string madeFirst;  // the file whose coming starts the test
        std::vector<std::string> left;
    } cases[] = {
        {"a split",
         {"split", dir / "big.bin", "--size", "10", "--folder", back / "made"},
         back / "made/big.bin.003.pcw",
         {back / "made/big.bin.001.pcw", back / "made/big.bin.002.pcw",
          back / "made/big.bin.003.pcw"}},
        {"a join",
         {"join", out / "big.bin.001.pcw", "--folder", back / "made", "--no-verify"},
         back / "made/big.bin.incomplet",
         {back / "made/big.bin.incomplet"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string made = back / "made";
        Stopped run;
        // Once let go, the run may open its next file before the signal's
        // cancel reaches it, and fail there on its own: then it must not
        // speak of a cancel, and the moment is tried again.
        for (int attempt = 0; attempt < 5; ++attempt) {
            fs::remove_all(made);
            fs::create_directory(made);
            ASSERT_EQ(::chown(made.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
            fs::permissions(back.path(), fs::perms::others_exec, fs::perm_options::add);
            run = RunAndStop(
                c.arguments, [&] { return SizeOf(c.madeFirst) > 0; }, SIGINT, 0, nobody,
                // Read-only once the run is held: it fails at its cancel, not before.
                [&] { fs::permissions(made, fs::perms::owner_read | fs::perms::owner_exec); });
            fs::permissions(made, fs::perms::owner_all);
            if (run.status != 1) break;
            EXPECT_EQ(run.messages.find("Opération annulée"), std::string::npos) << run.messages;
        }
        EXPECT_EQ(run.status, 128 + SIGINT) << run.messages;
        EXPECT_EQ(run.messages.find("aucun fichier"), std::string::npos) << run.messages;
        std::vector<std::string> present;
        for (const std::string& path : c.left)
            if (Exists(path)) present.push_back(path);
        ASSERT_FALSE(present.empty());
        for (const std::string& path : present)
            EXPECT_NE(run.messages.find(path), std::string::npos) << path << run.messages;
        EXPECT_FALSE(Exists(made + "/big.bin"));
    }
}

// Readers share the parts: a verify of a set that a join is reading runs. A
// file that a split is writing is refused to a reader, which names that split.
TEST_F(StopTest, ReadersShareWhatWritersHoldAlone) {
    ASSERT_EQ(RunAndStop(
                  Split(true), [] { return true; }, 0)
                  .status,
              0);
    Stopped verify;
    const Stopped join = RunAndStop(
        {"join", out / "big.bin.001.pcw", "--folder", back.path(), "--no-verify"},
        [&] { return SizeOf(back / "big.bin.incomplet") > 0; }, 0, 0, nullptr,
        [&] { verify = Beside("verify '" + out / "big.bin.001.pcw" + "'"); });
    EXPECT_EQ(verify.status, 0) << verify.messages;
    EXPECT_EQ(join.status, 0) << join.messages;
    EXPECT_TRUE(ReadFile(back / "big.bin") == source_);

    Stopped reader;
    bool writing = false;
    fs::remove_all(back.path());
    fs::create_directories(back.path());
    const Stopped split = RunAndStop(
        {"split", dir / "big.bin", "--size", "10", "--folder", back.path()},
        [&] { return SizeOf(back / "big.bin.003.pcw") > (2 << 20); }, 0, 0, nullptr,
        [&] {
            // The split may have filled and closed the part between the look
            // and the stop: a part shorter than the first is still being written.
            writing = !Exists(back / "big.bin.004.pcw") &&
                      SizeOf(back / "big.bin.003.pcw") < SizeOf(back / "big.bin.001.pcw");
            reader =
                Beside("split '" + back / "big.bin.003.pcw" + "' --folder '" + out.path() + "'");
        });
    EXPECT_EQ(split.status, 0) << split.messages;
    if (!writing) GTEST_SKIP() << "the part was closed before the split was held: not tested";
    EXPECT_EQ(reader.status, 1) << reader.messages;
    EXPECT_NE(reader.messages.find("fichier utilisé par une autre opération (pcw split "),
              std::string::npos)
        << reader.messages;
    EXPECT_NE(reader.messages.find("processus "), std::string::npos) << reader.messages;
}
