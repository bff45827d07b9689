// Parts that change between their check and the end of their copy: rewritten
// in place, or replaced by another file under their name. The join must never
// end with a success over a file that is not the one the parts held when they
// were checked.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "NativeJobs.h"
#include "platform/IoFaults.h"

using namespace nativetest;

namespace {

std::string Changed(int number) {
    return "Le fichier n°" + std::to_string(number) +
           " a été modifié ou remplacé pendant le recollage : le fichier recollé ne serait pas le "
           "fichier d'origine.";
}

// Lowers how many files the process may hold open, for the scope of a test:
// for real where the system has such a limit, through the file layer's seam
// where it has none.
#ifdef _WIN32
class OpenFileLimit {
public:
    explicit OpenFileLimit(int64_t files) { platform::testing::OverrideOpenFileLimit(files); }
    ~OpenFileLimit() { platform::testing::OverrideOpenFileLimit(-1); }
};
#else
class OpenFileLimit {
public:
    explicit OpenFileLimit(rlim_t files) {
        ::getrlimit(RLIMIT_NOFILE, &saved_);
        rlimit lower = saved_;
        lower.rlim_cur = files;
        ::setrlimit(RLIMIT_NOFILE, &lower);
    }
    ~OpenFileLimit() { ::setrlimit(RLIMIT_NOFILE, &saved_); }

private:
    rlimit saved_{};
};
#endif

struct Change {
    const char* what;
    std::string when;  // the part line at which the change is made
    std::function<void()> make;
    int part;  // the part named by the failure
};

}  // namespace

class NativePartStateTest : public NativeSetTest {
protected:
    // Joins the set of film.avi while `change` is made; checks the failure.
    void JoinWhile(const Change& change, bool verify) {
        SCOPED_TRACE(std::string(change.what) + (verify ? ", verified" : ""));
        const std::string dest = dir / "joined";
        const std::string left = dest + ".incomplet";
        std::remove(dest.c_str());
        std::remove(left.c_str());
        RecordingSink messages;
        RecordingDisplay opened;
        NativeSet job;
        ASSERT_TRUE(OpenSet(job, Part(1), opened));
        HookDisplay display(change.when, change.make);
        job.display = &display;
        EXPECT_EQ(Join(job, verify, 16384, "joined"), Step::Failed);
        EXPECT_TRUE(display.Acted());
        ExpectFailure(messages, Changed(change.part) + LeftUnder(left), "Recollage interrompu", 16);
        EXPECT_FALSE(platform::FileExists(dest));
    }
};

TEST_F(NativePartStateTest, APartChangedAfterItsCheckFailsTheJoin) {
    PCW_SKIP_WHERE_HELD_FILES_ARE_LOCKED();
    constexpr int32_t kPart =
        3 * 1048576;  // over one copy step, so that a copy can be caught inside a part
    Source(2 * kPart + 1000);
    const Change changes[] = {
        {"part 2 rewritten in place", "Recollage du fichier n° 2",
         [this] { RewriteInPlace(Part(2), 500); }, 2},
        {"part 2 replaced", "Recollage du fichier n° 2", [this] { SwapFile(Part(2)); }, 2},
        {"part 1 rewritten during its copy", "Recollage du fichier n° 1",
         [this] { RewriteInPlace(Part(1), kPart - 10); }, 1},
        {"part 3, digests and all, replaced", "Recollage du fichier n° 2",
         [this] { SwapFile(Part(3)); }, 3},
    };
    ASSERT_EQ(Split(dir / "film.avi", dir.path(), kPart, 16384, true), Step::Finished);
    const auto set = Parts();
    for (const Change& change : changes) {
        for (bool verify : {true, false}) {
            for (const auto& [name, content] : set) WriteFile(dir / name, content);
            JoinWhile(change, verify);
        }
    }
}

// More parts than the process may hold open: those past the limit are let go
// after their check and opened again, and must still be the parts checked.
TEST_F(NativePartStateTest, PartsBeyondWhatMayBeHeldOpenAreCheckedAgain) {
    constexpr int kParts = 80;
    Source(kParts * 1000 - 1);
    ASSERT_EQ(Split(dir / "film.avi", dir.path(), 1000, 16384, true), Step::Finished);
    const auto set = Parts();
    ASSERT_EQ(set.size(), size_t{kParts});
    OpenFileLimit limit(64);
    {
        RecordingSink messages;
        RecordingDisplay display;
        NativeSet job;
        ASSERT_TRUE(OpenSet(job, Part(1), display));
        ASSERT_EQ(Join(job, true, 16384, "joined"), Step::Finished);
        EXPECT_TRUE(ReadFile(dir / "joined") == source);
    }
    const Change changes[] = {
        {"part 70 rewritten in place", "Recollage du fichier n° 2",
         [this] { RewriteInPlace(Part(70), 5); }, 70},
        {"part 75 replaced", "Recollage du fichier n° 2", [this] { SwapFile(Part(75)); }, 75},
    };
    for (const Change& change : changes) {
        for (bool verify : {true, false}) {
            for (const auto& [name, content] : set) WriteFile(dir / name, content);
            JoinWhile(change, verify);
        }
    }
}

// A set of more parts than the joiner reads digests for at open has them read
// as each batch is checked, from the last part that the join holds itself,
// under the system's open-file limit and under a low one.
TEST_F(NativePartStateTest, ASetOfMoreThan65536PartsJoinsVerified) {
#ifdef _WIN32
    // Wine creates tens of thousands of files too slowly for the suite; the
    // code under test is the same on both systems.
    GTEST_SKIP() << "65,600 files take minutes under Wine";
#endif
    constexpr int kParts = 65600;
    constexpr int kPartSize = 16;
    Source(int64_t{kParts} * kPartSize - 1);
    ASSERT_EQ(Split(dir / "film.avi", dir.path(), kPartSize, 16384, true), Step::Finished);
    for (int64_t limit : {int64_t{-1}, int64_t{1024}}) {
        SCOPED_TRACE(limit);
        std::optional<OpenFileLimit> lowered;
        if (limit > 0) lowered.emplace(limit);
        RecordingSink messages;
        RecordingDisplay display;
        NativeSet job;
        ASSERT_TRUE(OpenSet(job, Part(1), display));
        const std::string joined = "joined" + std::to_string(limit);
        ASSERT_EQ(Join(job, true, 16384, joined), Step::Finished)
            << testing::PrintToString(messages.texts());
        EXPECT_TRUE(ReadFile(dir / joined) == source);
    }
}
