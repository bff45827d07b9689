// The job object's own behaviour: what Reset keeps, the folder chooser, the
// clock's estimates and how a worker ends.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>

#include "core/Job.h"
#include "platform/Fs.h"
#include "support/TestSupport.h"

using testsupport::Eventually;

namespace {

class BareJob final : public Job {
public:
    void ShowProgress() override {}
    void EndOfWork() override {}
};

// A job that runs whatever work it is given, and counts its ends.
class WorkingJob final : public Job {
public:
    void ShowProgress() override {}
    void EndOfWork() override { ++ends; }
    void Run(std::function<void()> work) { worker_.Start(std::move(work)); }

    std::atomic<int> ends{0};

private:
    Worker worker_{*this};
};

}  // namespace

TEST(Job, ResetForgetsTheChoicesButKeepsSizeBufferAndDigestChoice) {
    BareJob job;
    job.sourcePath = "/data/film.avi";
    job.sourceSize = 123456789;
    job.opened = true;
    job.partNumber = 7;
    job.totalBytes = 10;
    job.doneBytes = 5;
    job.partBytes = 4;
    job.partDoneBytes = 2;
    job.choices = {4096, "film.avi", "/data/", true, 0};
    job.SetBufferSize(262144);

    job.Reset();

    EXPECT_TRUE(job.sourcePath.empty());
    EXPECT_FALSE(job.opened);
    EXPECT_EQ(job.totalBytes, 0);
    EXPECT_EQ(job.doneBytes, 0);
    EXPECT_EQ(job.partBytes, 0);
    EXPECT_EQ(job.partDoneBytes, 0);
    EXPECT_EQ(job.choices.partSize, 0);
    EXPECT_TRUE(job.choices.fileName.empty());
    EXPECT_TRUE(job.choices.folder.empty());

    EXPECT_EQ(job.sourceSize, 123456789);
    EXPECT_EQ(job.choices.bufferSize, 262144u);
    EXPECT_TRUE(job.choices.verifyHash);
    EXPECT_EQ(job.partNumber, 7);
}

TEST(Job, UpdateTimesEstimatesTheRemainingTimeFromTheCounters) {
    BareJob job;
    job.startTime = 100.0;
    job.UpdateTimes(100.5);
    EXPECT_DOUBLE_EQ(job.elapsedTime, 0.5);
    EXPECT_DOUBLE_EQ(job.remainingTime, 0.0);  // nothing done yet: no estimate

    job.totalBytes = 400;
    job.doneBytes = 100;
    job.UpdateTimes(101.0);
    EXPECT_DOUBLE_EQ(job.elapsedTime, 1.0);
    EXPECT_DOUBLE_EQ(job.remainingTime, 3.0);

    job.totalBytes = 0;  // an estimate is kept, never divided by nothing
    job.UpdateTimes(102.0);
    EXPECT_DOUBLE_EQ(job.remainingTime, 3.0);
}

TEST(Worker, AFaultThatEscapesTheWorkEndsItAsAFailure) {
    WorkingJob job;
    job.step = Step::Joining;
    job.Run([] { throw std::runtime_error("unexpected"); });
    job.WaitForWorker();
    EXPECT_EQ(job.step, Step::Failed);
    EXPECT_EQ(job.ends, 1);
}

// The end of a run may close what owns the job: the job then goes from its own
// thread, which has nothing left to wait for.
// A job asked to run in a direction it has no worker for ends at once as a
// failure, so that neither the progress window nor the command line waits on
// a worker that never started.
TEST(Worker, AStartInADirectionWithoutWorkerEndsAsAFailure) {
    for (bool join : {false, true}) {
        WorkingJob job;
        join ? job.StartJoin() : job.StartSplit();
        EXPECT_EQ(job.step, Step::Failed) << join;
        EXPECT_EQ(job.ends, 1) << join;
    }
}

TEST(Worker, AJobMayBeDestroyedByItsOwnWorker) {
    auto* job = new WorkingJob;
    std::atomic<bool> destroyed{false};
    job->Run([job, &destroyed] {
        delete job;
        destroyed = true;
    });
    EXPECT_TRUE(Eventually([&] { return destroyed.load(); }));
}
