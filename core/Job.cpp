#include "core/Job.h"

#include <algorithm>
#include <future>

#include "core/JoinOutput.h"
#include "platform/Clock.h"
#include "platform/Fs.h"
#include "platform/Reasons.h"

namespace {
// What a failed join adds to its message: its output is kept, and where.
constexpr char kLeftIncomplete[] =
    "\n\r\n\rLe fichier recollé est incomplet ; il a été laissé sous le nom :\n\r";
// The same when every byte was written and checked, and only the final name
// could not be given: the file is whole under its temporary name.
constexpr char kLeftWhole[] =
    "\n\r\n\rLe fichier recollé est complet, mais il a gardé son nom temporaire :\n\r";
// What a cancel adds when it could not take back every file it made.
std::string LeftAfterCancel(const std::vector<std::string>& left) {
    if (left.empty()) return std::string();
    std::string text = left.size() == 1
                           ? "\n\r\n\rCe fichier créé n'a pas pu être supprimé :"
                           : "\n\r\n\rCes fichiers créés n'ont pas pu être supprimés :";
    for (const std::string& path : left) text += "\n\r" + path;
    return text;
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
    if (platform::RemoveIfSame(path, identity)) return;
    const std::optional<platform::FileIdentity> now = platform::IdentityOf(path);
    if (now && now->device == identity.device && now->inode == identity.inode)
        leftBehind.push_back(path);
}

void Job::EndCancelled() {
    step = Step::Cancelled;
    EndOfWork();
}

void Job::ReportEnd(std::string_view successText) {
    ShowProgress();
    if (step == Step::Finished)
        display->ShowMessage({std::string(successText), "-=Parcelwise=-", platform::Icon::Info});
    else if (step == Step::Cancelled)
        display->ShowMessage({"Le processus a été annulé." + LeftAfterCancel(leftBehind),
                              "-=Parcelwise=-", platform::Icon::Warning});
    else
        display->ShowMessage({"Le processus a été arrêté à cause d'une erreur !", "-=Parcelwise=-",
                              platform::Icon::Error});
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
        return Message{"Impossible d'allouer de la mémoire pour le buffer.", "Mémoire insuffisante",
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
            return i == 0 ? Message{"Le fichier n'est pas accessible." + reason, "Erreur",
                                    platform::Icon::Error}
                          : Message{"Le fichier n'est pas accessible !" + reason, "Erreur",
                                    platform::Icon::Warning};
        };
        const bool open = wasOpened ? source.Reopen() : source.Open(part.path);
        if (!open && i > 0 && missing && !platform::FileExists(part.path))
            return Message{missing(part.number), "Recollage interrompu", platform::Icon::Warning};
        if (!open) return notAccessible(source.File().OpenError());
        const int64_t bytes = part.bytes >= 0 ? part.bytes : source.Size() - part.offset;
        // A part smaller than its own header was never a whole part.
        if (bytes < 0)
            return Message{"Le fichier n°" + std::to_string(part.number) +
                               " est trop court pour contenir son en-tête : il semble être "
                               "corrompu.",
                           "Recollage interrompu", platform::Icon::Warning};
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

void Job::EndJoin(std::optional<JoinOutput>& output, StepResult result) {
    if (!output) {
        if (result) return Fail(*result);
        if (CancelRequested()) return EndCancelled();
    } else if (CancelRequested() && !result) {
        if (!output->Discard()) leftBehind.push_back(output->TempPath());
        return EndCancelled();
    } else if (result) {
        output->Leave();
        leftBehind.push_back(output->TempPath());
        result->text += kLeftIncomplete + output->TempPath();
        return Fail(*result);
    } else if (int error = 0; !output->Finish(error)) {
        leftBehind.push_back(output->TempPath());
        const std::string& name = output->FinalPath();
        // Only the rename failed: the file is whole, it only lacks its name.
        const bool whole = output->Whole();
        const Message failure =
            error == EEXIST ? Message{"Le fichier de destination existe déjà :\n\r\n\r" + name,
                                      "Erreur", platform::Icon::Warning}
            : whole         ? Message{"Le fichier recollé n'a pas pu recevoir son nom." +
                                  platform::ReasonLine(name, error),
                              "Erreur", platform::Icon::Error}
                            : Message{"Erreur d'écriture dans le fichier de destination." +
                                  platform::ReasonLine(output->TempPath(), error),
                              "Erreur", platform::Icon::Error};
        return Fail(failure.text + (whole ? kLeftWhole : kLeftIncomplete) + output->TempPath(),
                    failure.title, failure.icon);
    }
    ShowProgress();
    step = Step::Finished;
    EndOfWork();
}

bool Job::NameFits(const std::string& folder, size_t nameBytes, std::string& problems) {
    const size_t most = platform::MaxFileNameBytes(folder);
    if (nameBytes <= most) return true;
    problems += "\n\r- Nom du fichier de Destination trop long pour le système de fichiers (" +
                std::to_string(most) + " octets au plus par nom de fichier).";
    return false;
}

StepResult Job::JoinCopyFailure(CopyResult result, int32_t number, const std::string& part,
                                const std::string& target, int error) const {
    if (error < 0) error = copyError_;
    const std::string numbered = "Le fichier n°" + std::to_string(number);
    switch (result) {
        case CopyResult::ReadFailed:
            return Message{"Erreur de lecture du fichier n°" + std::to_string(number) + "." +
                               platform::ReasonLine(part, error),
                           "Recollage interrompu", platform::Icon::Error};
        case CopyResult::SourceEnded:
            return Message{
                numbered + " est plus court que prévu : il a changé pendant le recollage.",
                "Recollage interrompu", platform::Icon::Error};
        case CopyResult::SourceChanged:
            return Message{numbered +
                               " a été modifié ou remplacé pendant le recollage : le fichier "
                               "recollé ne serait pas le fichier d'origine.",
                           "Recollage interrompu", platform::Icon::Error};
        case CopyResult::WriteFailed:
            return Message{"Erreur d'écriture dans le fichier de destination." +
                               platform::ReasonLine(target, error),
                           "Erreur", platform::Icon::Error};
        case CopyResult::Done:
        case CopyResult::Cancelled:
            break;
    }
    return std::nullopt;
}
