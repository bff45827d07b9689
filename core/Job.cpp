#include "core/Job.h"

#include <algorithm>
#include <cerrno>
#include <future>
#include <utility>

#include "core/JoinOutput.h"
#include "platform/Clock.h"
#include "platform/Fs.h"
#include "platform/Reasons.h"
#include "texts/Texts.h"

using texts::Say;
using texts::TextId;

namespace {
// What a cancel adds when it could not take back every file it made.
std::string LeftAfterCancel(const std::vector<std::string>& left) {
    if (left.empty()) return std::string();
    std::string lines;
    for (const std::string& path : left) lines += "\n\r" + path;
    return Say(left.size() == 1 ? TextId::CancelLeftFile : TextId::CancelLeftFiles, {lines});
}
}  // namespace

Job::Job() = default;

Job::~Job() = default;

void Job::Reset() {
    totalBytes = 0;
    doneBytes = 0;
    partBytes = 0;
    partDoneBytes = 0;
    choices.fileName.clear();
    choices.folder.clear();
    choices.partSize = 0;
    sourcePath.clear();
    opened = false;
}

void Job::SetBufferSize(uint32_t bytes) {
    choices.bufferSize = bytes;
}

bool Job::CheckJoinParameters(const std::string&, bool, Messages&) {
    return false;
}

void Job::StartSplit() {
    EndWithoutWorker();
}
void Job::StartJoin() {
    EndWithoutWorker();
}

// Nothing runs, so the job ends here: a start that waited for a worker would
// wait for ever, and one that read the step would take "Splitting" for work.
void Job::EndWithoutWorker() {
    step = Step::Failed;
    EndOfWork();
}

void Job::StartJoinInstead() {
    if (worker_ == nullptr) return EndWithoutWorker();
    worker_->Start([this, work = std::exchange(joinInstead, {})] {
        step = Step::Finishing;
        doneBytes = 0;
        partDoneBytes = 0;
        const StepResult result = work(*this);
        if (result) return Fail(*result);
        if (CancelRequested()) return EndCancelled();
        step = Step::Finished;
        EndOfWork();
    });
}

bool Job::FinishingProgress(int64_t done, int64_t total) {
    totalBytes = total;
    doneBytes = done;
    partBytes = total;
    partDoneBytes = done;
    ShowProgress();
    return PausePoint();
}

bool Job::RunFinishingStep(const std::function<void()>& takeBackWork) {
    // Taken for this run only: the job's next run has its own.
    const std::function<StepResult(Job&)> work = std::exchange(finishingStep, {});
    if (!work) return true;
    step = Step::Finishing;
    doneBytes = 0;
    partDoneBytes = 0;
    ShowProgress();
    const StepResult result = work(*this);
    if (result) {
        Fail(*result);
        return false;
    }
    if (CancelRequested()) {
        takeBackWork();
        EndCancelled();
        return false;
    }
    return true;
}

void Job::Suspend() {
    gate_.Pause();
}
void Job::Resume() {
    redraw_.store(true, std::memory_order_relaxed);
    gate_.Resume();
}

void Job::Cancel() {
    cancel_.store(true, std::memory_order_release);
    // A held worker must come to its next buffer to see the cancel.
    gate_.Resume();
}

void Job::WaitForWorker() {
    if (worker_ != nullptr) worker_->Wait();
}

void Job::UpdateTimes(double now) {
    elapsedTime = now - startTime;
    int64_t total = totalBytes;
    int64_t done = doneBytes;
    // Some foreign sets announce less than they hold: past the total there is
    // nothing left to wait for, not a time below zero.
    if (total > 0 && done > 0)
        remainingTime = static_cast<double>(std::max<int64_t>(total - done, 0)) * elapsedTime /
                        static_cast<double>(done);
}

Job::Worker::Worker(Job& job) : job_(job) {
    job_.worker_ = this;
}

// A held worker would never end: it is let go first, and runs to its end.
Job::Worker::~Worker() {
    job_.gate_.Resume();
    Wait();
    // A job destroyed by its own worker, from the end of its work, has nothing
    // left to wait for.
    if (thread_.joinable()) thread_.detach();
    job_.worker_ = nullptr;
}

void Job::Worker::Start(std::function<void()> work) {
    Wait();
    job_.cancel_.store(false, std::memory_order_release);
    job_.leftBehind.clear();
    job_.startTime = platform::Now();
    // The work may end by destroying the job, and this worker with it: it
    // starts only once the thread is stored, so that nothing is written to
    // the worker after.
    std::promise<void> stored;
    thread_ = std::thread([&job = job_, work = std::move(work), ready = stored.get_future()] {
        ready.wait();
        try {
            work();
        } catch (...) {
            job.step = Step::Failed;
            try {
                job.EndOfWork();
            } catch (...) {
            }
        }
    });
    stored.set_value();
}

void Job::Worker::Wait() {
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void Job::Fail(std::string_view text, std::string_view title, platform::Icon icon) {
    step = Step::Failed;
    display->ShowMessage({std::string(text), std::string(title), icon});
    EndOfWork();
}

void Job::TakeBack(const std::string& path, const platform::FileIdentity& identity) {
    if (!platform::RemoveIfSame(path, identity) && platform::StillNames(path, identity))
        leftBehind.push_back(path);
}

void Job::EndCancelled() {
    step = Step::Cancelled;
    EndOfWork();
}

void Job::ReportEnd(std::string_view successText) {
    ShowProgress();
    const std::string before = std::exchange(linesBeforeSuccess, {});
    if (step == Step::Finished)
        display->ShowMessage(
            {before + std::string(successText), Say(TextId::TitleProgram), platform::Icon::Info});
    else if (step == Step::Cancelled)
        display->ShowMessage({Say(TextId::JobCancelled) + LeftAfterCancel(leftBehind),
                              Say(TextId::TitleProgram), platform::Icon::Warning});
    else
        display->ShowMessage(
            {Say(TextId::JobStoppedByError), Say(TextId::TitleProgram), platform::Icon::Error});
    display->CloseAfterJob();
}

CopyResult Job::CopyWithProgress(platform::File& source, platform::File& target, int64_t bytes,
                                 CopyBuffer& buffer) {
    partBytes = bytes;
    partDoneBytes = 0;
    copyError_ = 0;
    return CopyBytes(
        source, target, bytes, buffer,
        [this](int64_t n) {
            doneBytes += n;
            partDoneBytes += n;
            ShowProgress();
            return PausePoint();
        },
        &copyError_);
}

StepResult Job::CopyParts(const std::vector<JoinPart>& parts, std::vector<CheckedPart>* openedParts,
                          platform::File& target, const std::string& output,
                          const std::function<std::string(int32_t)>& missing) {
    CopyBuffer buffer(choices.bufferSize);
    if (!buffer.Allocated())
        return Message{Say(TextId::NoCopyBuffer), Say(TextId::TitleOutOfMemory),
                       platform::Icon::Error};
    partNumber = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        const JoinPart& part = parts[i];
        CheckedPart byName;
        const bool wasOpened = openedParts != nullptr && i < openedParts->size();
        CheckedPart& source = wasOpened ? (*openedParts)[i] : byName;
        // The first part is worded and shown as an error, the others as warnings.
        auto notAccessible = [&](int error) {
            const std::string reason = platform::ReasonLine(part.path, error);
            return i == 0 ? Message{Say(TextId::FirstPartNotAccessible, {reason}),
                                    Say(TextId::TitleError), platform::Icon::Error}
                          : Message{Say(TextId::PartNotAccessible, {reason}),
                                    Say(TextId::TitleError), platform::Icon::Warning};
        };
        const bool open = wasOpened ? source.Reopen() : source.Open(part.path);
        if (!open && i > 0 && missing && !platform::FileExists(part.path))
            return Message{missing(part.number), Say(TextId::TitleJoinStopped),
                           platform::Icon::Warning};
        if (!open) return notAccessible(source.File().OpenError());
        const int64_t bytes = part.bytes >= 0 ? part.bytes : source.Size() - part.offset;
        // A part smaller than its own header was never a whole part.
        if (bytes < 0)
            return Message{Say(TextId::PartTooShortForHeader, {std::to_string(part.number)}),
                           Say(TextId::TitleJoinStopped), platform::Icon::Warning};
        if (!source.File().Seek(part.offset)) return notAccessible(EIO);
        CopyResult result = CopyWithProgress(source.File(), target, bytes, buffer);
        if (result == CopyResult::Done && !source.Unchanged()) result = CopyResult::SourceChanged;
        if (result == CopyResult::Cancelled || CancelRequested()) return std::nullopt;
        if (result != CopyResult::Done)
            return JoinCopyFailure(result, part.number, part.path, output);
        source.Release();
        partNumber = partNumber + 1;
        if (i == 0) ShowProgress();
    }
    return std::nullopt;
}

JoinOutput Job::CreateJoinOutput() const {
    if (choices.toStandardOutput) return JoinOutput::StandardOutput();
    return JoinOutput::Create(choices.folder + choices.fileName);
}

void Job::EndJoin(std::optional<JoinOutput>& output, StepResult result) {
    if (!output) {
        if (result) return Fail(*result);
        if (CancelRequested()) return EndCancelled();
    } else if (CancelRequested() && !result) {
        if (!output->Discard()) leftBehind.push_back(output->TempPath());
        return EndCancelled();
    } else if (result && output->IsStream()) {
        // What went out cannot be taken back; a reader that left asked for
        // nothing more, and hears nothing.
        output->Leave();
        if (copyError_ != EPIPE) return Fail(*result);
        readerGone = true;
        step = Step::Failed;
        return display->CloseAfterJob();
    } else if (result) {
        output->Leave();
        leftBehind.push_back(output->TempPath());
        result->text += Say(TextId::JoinLeftIncomplete, {output->TempPath()});
        return Fail(*result);
    } else if (int error = 0; !output->Finish(error)) {
        leftBehind.push_back(output->TempPath());
        const std::string& name = output->FinalPath();
        // Only the rename failed: the file is whole, it only lacks its name.
        const bool whole = output->Whole();
        const Message failure =
            error == EEXIST ? Message{Say(TextId::DestinationExists, {name}),
                                      Say(TextId::TitleError), platform::Icon::Warning}
            : whole ? Message{Say(TextId::OutputNotRenamed, {platform::ReasonLine(name, error)}),
                              Say(TextId::TitleError), platform::Icon::Error}
                    : Message{Say(TextId::DestinationWriteFailed,
                                  {platform::ReasonLine(output->TempPath(), error)}),
                              Say(TextId::TitleError), platform::Icon::Error};
        return Fail(failure.text + Say(whole ? TextId::JoinLeftWhole : TextId::JoinLeftIncomplete,
                                       {output->TempPath()}),
                    failure.title, failure.icon);
    }
    ShowProgress();
    step = Step::Finished;
    EndOfWork();
}

bool Job::NameFits(const std::string& folder, size_t nameBytes, std::string& problems) {
    const size_t most = platform::MaxFileNameBytes(folder);
    if (nameBytes <= most) return true;
    problems += Say(TextId::NameTooLongLine, {std::to_string(most)});
    return false;
}

StepResult Job::JoinCopyFailure(CopyResult result, int32_t number, const std::string& part,
                                const std::string& target, int error) const {
    if (error < 0) error = copyError_;
    const std::string numbered = std::to_string(number);
    switch (result) {
        case CopyResult::ReadFailed:
            return Message{
                Say(TextId::PartReadFailed, {numbered, platform::ReasonLine(part, error)}),
                Say(TextId::TitleJoinStopped), platform::Icon::Error};
        case CopyResult::SourceEnded:
            return Message{Say(TextId::PartEndedEarly, {numbered}), Say(TextId::TitleJoinStopped),
                           platform::Icon::Error};
        case CopyResult::SourceChanged:
            return Message{Say(TextId::PartChanged, {numbered}), Say(TextId::TitleJoinStopped),
                           platform::Icon::Error};
        case CopyResult::WriteFailed:
            return Message{
                Say(TextId::DestinationWriteFailed, {platform::ReasonLine(target, error)}),
                Say(TextId::TitleError), platform::Icon::Error};
        case CopyResult::Done:
        case CopyResult::Cancelled:
            break;
    }
    return std::nullopt;
}
