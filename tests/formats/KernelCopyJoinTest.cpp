// Joins whose copy inside the kernel fails or stops short, as a disk that
// fills or a medium that fails mid-part does: the run ends through its
// failure path naming the part, keeps only the data that was copied and
// leaves the set as it was; a kernel that refuses leaves the join to the
// buffer and the join still succeeds.
#include <gtest/gtest.h>

#include <cerrno>

#include "ForeignJobs.h"
#include "NativeJobs.h"
#include "platform/IoFaults.h"
#include "platform/Reasons.h"

using namespace nativetest;
using platform::testing::IoFaults;
using platform::testing::ScopedIoFaults;

namespace {

constexpr int32_t kPart = 40000;
constexpr int64_t kSize = 100000;  // three parts: 40000, 40000, 20000

const std::string kWriteFailed = "Erreur d'écriture dans le fichier de destination.";

class KernelCopyJoinTest : public NativeSetTest {
protected:
    void SetUp() override {
        Source(kSize);
        ASSERT_EQ(Split(dir / "film.avi", dir.path(), kPart, 16384, true), Step::Finished);
    }

    // Joins the set into `dest` under the plan, kernel copies on.
    Step JoinUnder(IoFaults& plan, const std::string& dest, bool verify,
                   RecordingDisplay& display) {
        NativeSet job;
        if (!OpenSet(job, Part(1), display)) return Step::Failed;
        plan.kernelCopies = true;
        ScopedIoFaults faults(plan);
        return Join(job, verify, 16384, dest);
    }
};

}  // namespace

TEST_F(KernelCopyJoinTest, AKernelCopyThatFailsEndsTheJoinOnItsPart) {
    PCW_SKIP_WITHOUT_KERNEL_COPIES();
    const auto set = Parts();
    const struct {
        const char* what;
        int64_t after;
        int error;
        bool verify;
        std::string text, title;
        int named;  // the part the reason line names; 0 for the rebuilt file
    } cases[] = {
        {"read error in part 2", 50000, EIO, false, "Erreur de lecture du fichier n°2.",
         "Recollage interrompu", 2},
        {"read error in part 1, digests checked", 100, EIO, true,
         "Erreur de lecture du fichier n°1.", "Recollage interrompu", 1},
        {"read error in the last part", 99999, EIO, false, "Erreur de lecture du fichier n°3.",
         "Recollage interrompu", 3},
        {"full disk in part 3", 90000, ENOSPC, false, kWriteFailed, "Erreur", 0},
        {"full disk at once", 0, ENOSPC, false, kWriteFailed, "Erreur", 0},
        {"file too big", 40000, EFBIG, false, kWriteFailed, "Erreur", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string dest = std::string(c.what) + ".out";
        RecordingSink messages;
        RecordingDisplay display;
        IoFaults plan;
        plan.kernelErrorAfter = c.after;
        plan.kernelError = c.error;
        EXPECT_EQ(JoinUnder(plan, dest, c.verify, display), Step::Failed);
        // What was copied stays under the temporary name, which the message gives.
        const std::string left = dir / (dest + ".incomplet");
        const std::string named = c.named ? Part(c.named) : left;
        ExpectFailure(messages, c.text + platform::ReasonLine(named, c.error) + LeftUnder(left),
                      c.title, 16);
        EXPECT_EQ(display.closes(), 1);
        EXPECT_EQ(plan.bytesCopied.load(), c.after);
        EXPECT_TRUE(Parts() == set);
        EXPECT_FALSE(platform::FileExists(dir / dest));
        EXPECT_TRUE(ReadFile(left) == source.substr(0, c.after));
    }
}

TEST_F(KernelCopyJoinTest, ShortOrRefusedKernelCopiesStillRebuildTheFile) {
    PCW_SKIP_WITHOUT_KERNEL_COPIES();
    const struct {
        const char* what;
        int64_t shortAt, errorAfter;
        int error;
        bool zero;
        int64_t copied;
    } cases[] = {
        {"short inside part 1", 12345, -1, 0, false, kSize},
        {"short on a part boundary", 40000, -1, 0, false, kSize},
        {"refused across file systems", -1, 0, EXDEV, false, 0},
        {"refused as unsupported", -1, 0, EOPNOTSUPP, false, 0},
        {"answers zero", -1, -1, 0, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string dest = std::string(c.what) + ".out";
        RecordingSink messages;
        RecordingDisplay display;
        IoFaults plan;
        plan.kernelShortAt = c.shortAt;
        plan.kernelErrorAfter = c.errorAfter;
        plan.kernelError = c.error;
        plan.kernelAnswersZero = c.zero;
        EXPECT_EQ(JoinUnder(plan, dest, true, display), Step::Finished);
        EXPECT_EQ(plan.bytesCopied.load(), c.copied);
        EXPECT_TRUE(ReadFile(dir / dest) == source);
    }
}

TEST_F(KernelCopyJoinTest, AForeignJoinFailingInsideAKernelCopyNamesItsPart) {
    PCW_SKIP_WITHOUT_KERNEL_COPIES();
    using namespace foreigntest;
    TempDir set;
    const auto data = WriteParts(set.path(), Numbered("movie.avi.", 1, 3, 3, 30000));
    const auto before = Snapshot(set.path());
    RecordingSink messages;
    RecordingDisplay display;
    auto job = foreigntest::MakeJob("generic");
    ASSERT_TRUE(Open(*job, set / "movie.avi.001", display));
    IoFaults plan;
    plan.kernelCopies = true;
    plan.kernelErrorAfter = 65000;
    {
        ScopedIoFaults faults(plan);
        EXPECT_EQ(foreigntest::Join(*job, "movie.avi"), Step::Failed);
    }
    ExpectFailure(messages,
                  "Erreur de lecture du fichier n°3." +
                      platform::ReasonLine(set / "movie.avi.003", plan.kernelError) +
                      LeftUnder(set / "movie.avi.incomplet"),
                  "Recollage interrompu", 16);
    EXPECT_EQ(display.closes(), 1);
    auto after = Snapshot(set.path());
    EXPECT_TRUE(after.at("movie.avi.incomplet") == (data[0] + data[1] + data[2]).substr(0, 65000));
    after.erase("movie.avi.incomplet");
    EXPECT_TRUE(after == before);
}
