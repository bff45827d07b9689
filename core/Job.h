// The part-set job: what the user chose, the counters that the worker advances
// and the progress window reads, and the pause gate. Every format derives from
// it and supplies its workers, ShowProgress and EndOfWork; the thread that runs
// a worker belongs to the format, as a Worker member (see below).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/CheckedPart.h"
#include "core/CopyLoop.h"
#include "core/JobChoices.h"
#include "core/Message.h"
#include "core/ProgressDisplay.h"
#include "core/SharedValue.h"
#include "platform/Messages.h"
#include "platform/PauseGate.h"

// Phase of a worker; shared by all formats.
enum class Step : uint8_t {
    Splitting = 0,
    Joining = 1,
    CreatingDigests = 2,
    CheckingDigests = 3,
    Finished = 4,
    Failed = 5,
    Cancelled = 6,
    // The work a front end added after a split that went well (its recovery
    // parts), on the same worker.
    Finishing = 7,
};

// A step of a worker: nothing when it went well (or was cancelled, which the
// job tells by CancelRequested()), otherwise why it did not.
using StepResult = std::optional<Message>;

class JoinOutput;

// One part of a join's copy: the file, the bytes to skip at its start and the
// bytes to copy (-1: to its end).
struct JoinPart {
    int32_t number = 0;
    std::string path;
    int64_t offset = 0;
    int64_t bytes = -1;
};

// Which kind of set a job handles. The values are fixed: tests and saved
// choices may hold them.
enum class FormatKind : uint8_t {
    Native = 0,
    Legacy = 1,  // the older 1.0 format, which only converts
    Cutkiller = 2,
    Numbered = 3,  // plain numbered parts: .001, .002… or .u001…
    DKoup = 4,
    Kfk = 5,
    EasySplit = 6,
    KoupKoup = 7,
    Splitter40 = 8,
    MaxSplit = 9,
};

class Job {
public:
    Job();
    virtual ~Job();
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;

    std::string sourcePath;
    int64_t sourceSize = 0;
    bool opened = false;
    // The progress window's slots; a job without a window writes to nothing.
    ProgressDisplay* display = &NullDisplay::Instance();
    FormatKind formatKind = FormatKind::Native;
    bool joining = false;
    SharedValue<double> startTime{0};
    SharedValue<double> elapsedTime{0};
    SharedValue<double> remainingTime{0};
    SharedValue<int32_t> partNumber{0};
    SharedValue<int64_t> totalBytes{0};
    SharedValue<int64_t> doneBytes{0};
    SharedValue<int64_t> partBytes{0};
    SharedValue<int64_t> partDoneBytes{0};
    JobChoices choices;
    SharedValue<Step> step{Step::Splitting};

    // Empties what the user chose and the counters; keeps the source size, the
    // windows, the kind, the times, the digest choice and the buffer size.
    virtual void Reset();
    void SetBufferSize(uint32_t bytes);

    // Start routines: the progress window calls the one of its direction. A
    // format without a worker in a direction leaves it to these, which end the
    // job as a failure at once.
    virtual void StartSplit();
    virtual void StartJoin();
    // Runs joinInstead on the job's worker and ends the job as a join.
    void StartJoinInstead();
    // Pause and resume take effect at the worker's next buffer.
    void Suspend();
    void Resume();
    // Asks the worker to stop at its next buffer, paused or not: it removes
    // what it made in this run and ends as cancelled. Any thread may ask.
    void Cancel();
    bool CancelRequested() const { return cancel_.load(std::memory_order_acquire); }
    // What a failed or cancelled job left on the disk (a join's incomplete
    // file, the parts a cancel could not remove), for the last words of the
    // command line and of the windows; empty when it left nothing.
    std::vector<std::string> leftBehind;
    // True when a join's standard output was closed by its reader (`| head`):
    // the job ended as failed without a word, as cat ends in a pipe.
    bool readerGone = false;
    bool Suspended() const { return gate_.Paused(); }
    platform::PauseGate& Gate() { return gate_; }
    // Waits until the worker has returned (the command line's way to wait).
    void WaitForWorker();

    // The progress window's clock: elapsed and remaining time from the counters.
    void UpdateTimes(double now);

    // Join side of every format: reads the chosen file and checks the set,
    // checks the destination, forgets a refused set. What each has to say goes
    // to `said`, for the front end to show.
    virtual bool OpenSet(Messages&) { return false; }
    virtual bool CheckJoinParameters(const std::string& destName, bool verifyHash, Messages& said);
    virtual void ResetSet() { Reset(); }
    // Size of the file that a join of the opened set rebuilds.
    virtual int64_t RebuiltSize() const { return sourceSize; }

    virtual void ShowProgress() = 0;
    virtual void EndOfWork() = 0;

    // Work a front end adds to a split that went well, run on its worker
    // before the end is said, so that the one end message comes after it: it
    // reports through FinishingProgress, which also holds it on a pause and
    // tells it to stop on a cancel; it then takes back what it made. Nothing
    // when it went well or stopped for a cancel, otherwise why it failed.
    std::function<StepResult(Job&)> finishingStep;
    // The finishing step's progress: `done` of `total` bytes, shown as the
    // work's. False when the step is to stop.
    bool FinishingProgress(int64_t done, int64_t total);
    // Work that replaces a join's own (a join that rebuilds lost parts on its
    // way), run on the job's worker with the same end as a join's: nothing
    // when it went well or was cancelled, otherwise why it failed. The join
    // starts it instead of its own copy when it is set.
    std::function<StepResult(Job&)> joinInstead;
    // Said before the next success message (the parts such a join rebuilt),
    // with its own line breaks.
    std::string linesBeforeSuccess;

    // True once after a resume: the window wrote over the status line while
    // the worker was held, so the next progress must write every text again.
    bool TakeRedraw() { return redraw_.exchange(false, std::memory_order_relaxed); }

protected:
    // The thread that runs a job's work. A worker calls back into the class
    // whose code it runs, so that class owns it as its last member: members go
    // in reverse order, so the thread is let through any pause and joined before
    // anything it uses is destroyed, and no destructor has to remember it.
    class Worker {
    public:
        explicit Worker(Job& job);
        ~Worker();
        Worker(const Worker&) = delete;
        Worker& operator=(const Worker&) = delete;

        // Records the start time and runs `work` on its own thread. Nothing
        // escapes it: an unexpected fault ends it as a failure.
        void Start(std::function<void()> work);
        void Wait();

    private:
        Job& job_;
        std::thread thread_;
    };

    // Where the worker honours a pause and a cancel: between buffers. False
    // when the job is to stop.
    bool PausePoint() {
        gate_.Wait();
        return !CancelRequested();
    }

    // The worker's failure path: the specific message, then the end of the work.
    void Fail(std::string_view text, std::string_view title, platform::Icon icon);
    void Fail(const Message& failure) { Fail(failure.text, failure.title, failure.icon); }
    // The end of a cancelled worker, once it removed what it made.
    void EndCancelled();
    // Runs the finishing step, if any: true when it went well; otherwise the
    // job has ended, failed or cancelled. A cancel takes back the job's own
    // files too, through takeBackWork, since the user stopped the whole job.
    bool RunFinishingStep(const std::function<void()>& takeBackWork);
    // Removes a file the job made, while it is still that file; a file that
    // stays (a folder become read-only) goes to leftBehind.
    void TakeBack(const std::string& path, const platform::FileIdentity& identity);
    // The end of every worker: the last progress, the result, the window closed.
    void ReportEnd(std::string_view successText);
    // Copies `bytes` of a part from the source's position, with the progress
    // counted and shown after every buffer, pauses and cancels honoured between them.
    CopyResult CopyWithProgress(platform::File& source, platform::File& target, int64_t bytes,
                                CopyBuffer& buffer);
    // The join's copy of every part, in order, into `target` (the file whose
    // path is `output`). Each part is the opened part at the same index of
    // `openedParts` when there is one, otherwise opened by its path; it must stay
    // the file it was when opened until its last byte is copied. `missing`
    // words a later part that is gone, when the format has its own text for it.
    StepResult CopyParts(const std::vector<JoinPart>& parts, std::vector<CheckedPart>* openedParts,
                         platform::File& target, const std::string& output,
                         const std::function<std::string(int32_t)>& missing = {});
    // The file a join writes: the temporary file of choices.folder +
    // choices.fileName, or the standard output when the choices say so.
    JoinOutput CreateJoinOutput() const;
    // The end of every join: a cancelled one removes its output, a failed one
    // leaves it under its temporary name and says where, a whole one gives it
    // its final name. `output` is empty when the join stopped before it.
    void EndJoin(std::optional<JoinOutput>& output, StepResult result);
    // Adds the problem line of a file name of `nameBytes` bytes that the file
    // system of `folder` cannot hold; true when it fits. Such a name would
    // only fail when the file is created, long after the check.
    static bool NameFits(const std::string& folder, size_t nameBytes, std::string& problems);
    // Why a join's copy of part `number`, the file `part`, into the file
    // `target` went wrong: `error` is the errno, that of the copy itself when
    // not given. Nothing for a copy that was done or cancelled.
    StepResult JoinCopyFailure(CopyResult result, int32_t number, const std::string& part,
                               const std::string& target, int error = -1) const;
    // The errno that stopped the last CopyWithProgress, 0 when none did.
    int CopyError() const { return copyError_; }

private:
    void EndWithoutWorker();

    // The format's worker, for WaitForWorker; none for a job that runs nothing.
    Worker* worker_ = nullptr;
    platform::PauseGate gate_;
    std::atomic<bool> redraw_{false};
    std::atomic<bool> cancel_{false};
    int copyError_ = 0;
};
