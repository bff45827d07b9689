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

#include "core/CopyLoop.h"
#include "core/ProgressDisplay.h"
#include "core/SharedValue.h"
#include "core/UzelReglage.h"
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
};

// Which format a job handles.
namespace FormatKind {
inline constexpr uint8_t Parcelwise = 0;
inline constexpr uint8_t Parcelwise10 = 1;
inline constexpr uint8_t Cutkiller = 2;
inline constexpr uint8_t Generik = 3;
inline constexpr uint8_t DKoup = 4;
inline constexpr uint8_t KFK = 5;
inline constexpr uint8_t EasySplit = 6;
inline constexpr uint8_t KoupKoup = 7;
inline constexpr uint8_t Splitter40 = 8;
inline constexpr uint8_t MaxSplit = 9;
}  // namespace FormatKind

// Asks the user for a folder with the given caption; nothing when cancelled.
using FolderPicker = std::function<std::optional<std::string>(const std::string& caption)>;

class TzelFichier {
public:
    TzelFichier();
    virtual ~TzelFichier();
    TzelFichier(const TzelFichier&) = delete;
    TzelFichier& operator=(const TzelFichier&) = delete;

    std::string sourcePath;
    int64_t sourceSize = 0;
    bool opened = false;
    platform::WindowHandle ownerWindow = nullptr;
    platform::WindowHandle progressWindow = nullptr;
    // The progress window's slots; a job without a window writes to nothing.
    ProgressDisplay* display = &NullDisplay::Instance();
    uint8_t formatKind = FormatKind::Parcelwise;
    bool joining = false;
    SharedValue<uint8_t> timeDisplayMode{0};
    SharedValue<double> startTime{0};
    SharedValue<double> elapsedTime{0};
    SharedValue<double> remainingTime{0};
    SharedValue<int32_t> partNumber{0};
    SharedValue<int64_t> totalBytes{0};
    SharedValue<int64_t> doneBytes{0};
    SharedValue<int64_t> partBytes{0};
    SharedValue<int64_t> partDoneBytes{0};
    TzelReglage settings;
    SharedValue<Step> step{Step::Splitting};

    // Empties what the user chose and the counters; keeps the source size, the
    // windows, the kind, the times, the digest choice and the buffer size.
    virtual void Reset();
    void SetBufferSize(uint32_t bytes);
    // Lets the user pick the destination folder; keeps the current one when the
    // picker is cancelled or the folder is on an optical disc. Returns the folder.
    std::string ChooseFolder(const FolderPicker& picker);

    // Start routines: the progress window calls the one of its direction. A
    // format without a worker in a direction leaves it to these, which end the
    // job as a failure at once.
    virtual void StartSplit();
    virtual void StartJoin();
    // Pause and resume take effect at the worker's next buffer.
    void Suspend();
    void Resume();
    bool Suspended() const { return gate_.Paused(); }
    platform::PauseGate& Gate() { return gate_; }
    // Waits until the worker has returned (the command line's way to wait).
    void WaitForWorker();

    // The progress window's clock: elapsed and remaining time from the counters.
    void UpdateTimes(double now);

    // Join side of every format: reads the chosen file and checks the set,
    // checks the destination, forgets a refused set. Each shows its own messages.
    virtual bool OpenSet() { return false; }
    virtual bool CheckJoinParameters(const std::string& destName, bool verifyHash);
    virtual void ResetSet() { Reset(); }
    // Size of the file that a join of the opened set rebuilds.
    virtual int64_t RebuiltSize() const { return sourceSize; }

    virtual void ShowProgress() = 0;
    virtual void EndOfWork() = 0;

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
        explicit Worker(TzelFichier& job);
        ~Worker();
        Worker(const Worker&) = delete;
        Worker& operator=(const Worker&) = delete;

        // Records the start time and runs `work` on its own thread. Nothing
        // escapes it: an unexpected fault ends it as a failure.
        void Start(std::function<void()> work);
        void Wait();

    private:
        TzelFichier& job_;
        std::thread thread_;
    };

    // Where the worker honours a pause: between buffers.
    void PausePoint() { gate_.Wait(); }

    // The worker's failure path: the specific message, then the end of the work.
    void Fail(std::string_view text, std::string_view title, int icon);
    // The end of every worker: the last progress, the result, the window closed.
    void ReportEnd(std::string_view successText);
    // Copies `bytes` of a part from the source's position, with the progress
    // counted and shown after every buffer and pauses honoured between them.
    CopyResult CopyWithProgress(platform::File& source, platform::File& target, int64_t bytes,
                                CopyBuffer& buffer);
    // Adds the problem line of a file name of `nameBytes` bytes that the file
    // system of `folder` cannot hold; true when it fits. Such a name would
    // only fail when the file is created, long after the check.
    static bool NameFits(const std::string& folder, size_t nameBytes, std::string& problems);
    // Ends a join whose copy of part `number`, the file `part`, into the file
    // `target` went wrong, saying how and why: `error` is the errno, that of
    // the copy itself when not given.
    void FailJoinCopy(CopyResult result, int32_t number, const std::string& part,
                      const std::string& target, int error = -1);
    // The errno that stopped the last CopyWithProgress, 0 when none did.
    int CopyError() const { return copyError_; }

private:
    void EndWithoutWorker();

    // The format's worker, for WaitForWorker; none for a job that runs nothing.
    Worker* worker_ = nullptr;
    platform::PauseGate gate_;
    std::atomic<bool> redraw_{false};
    int copyError_ = 0;
};
