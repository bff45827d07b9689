#include "core/UzelFichier.h"

#include <algorithm>

#include "platform/Clock.h"
#include "platform/Fs.h"
#include "platform/Reasons.h"

TzelFichier::TzelFichier() = default;

TzelFichier::~TzelFichier() = default;

void TzelFichier::Reset() {
    totalBytes = 0;
    doneBytes = 0;
    partBytes = 0;
    partDoneBytes = 0;
    settings.fileName.clear();
    settings.folder.clear();
    settings.partSize = 0;
    sourcePath.clear();
    opened = false;
}

void TzelFichier::SetBufferSize(uint32_t bytes) {
    settings.bufferSize = bytes;
}

std::string TzelFichier::ChooseFolder(const FolderPicker& picker) {
    std::optional<std::string> chosen = picker("Choisissez un dossier de destination.");
    if (!chosen || chosen->empty()) return settings.folder;
    if (platform::IsOpticalDisc(*chosen)) {
        platform::MessageBoxA(ownerWindow, "Vous devez choisir un disque dur !",
                              "Destination incorrecte", platform::kIconWarning);
        return settings.folder;
    }
    settings.folder = platform::WithSeparator(*chosen);
    return settings.folder;
}

bool TzelFichier::CheckJoinParameters(const std::string&, bool) {
    return false;
}

void TzelFichier::StartSplit() {
    EndWithoutWorker();
}
void TzelFichier::StartJoin() {
    EndWithoutWorker();
}

// Nothing runs, so the job ends here: a start that waited for a worker would
// wait for ever, and one that read the step would take "Splitting" for work.
void TzelFichier::EndWithoutWorker() {
    step = Step::Failed;
    EndOfWork();
}

void TzelFichier::Suspend() {
    gate_.Pause();
}
void TzelFichier::Resume() {
    redraw_.store(true, std::memory_order_relaxed);
    gate_.Resume();
}

void TzelFichier::WaitForWorker() {
    if (worker_ != nullptr) worker_->Wait();
}

void TzelFichier::UpdateTimes(double now) {
    elapsedTime = now - startTime;
    int64_t total = totalBytes;
    int64_t done = doneBytes;
    // Some foreign sets announce less than they hold: past the total there is
    // nothing left to wait for, not a time below zero.
    if (total > 0 && done > 0)
        remainingTime = static_cast<double>(std::max<int64_t>(total - done, 0)) * elapsedTime /
                        static_cast<double>(done);
}

TzelFichier::Worker::Worker(TzelFichier& job) : job_(job) {
    job_.worker_ = this;
}

// A held worker would never end: it is let go first, and runs to its end.
TzelFichier::Worker::~Worker() {
    job_.gate_.Resume();
    Wait();
    // A job destroyed by its own worker, from the end of its work, has nothing
    // left to wait for.
    if (thread_.joinable()) thread_.detach();
    job_.worker_ = nullptr;
}

void TzelFichier::Worker::Start(std::function<void()> work) {
    Wait();
    job_.startTime = platform::Now();
    thread_ = std::thread([&job = job_, work = std::move(work)] {
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
}

void TzelFichier::Worker::Wait() {
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void TzelFichier::Fail(std::string_view text, std::string_view title, int icon) {
    step = Step::Failed;
    platform::MessageBoxA(progressWindow, text, title, icon);
    EndOfWork();
}

void TzelFichier::ReportEnd(std::string_view successText) {
    ShowProgress();
    if (step == Step::Finished)
        platform::MessageBoxA(progressWindow, successText, "-=Parcelwise=-", platform::kIconInfo);
    else
        platform::MessageBoxA(progressWindow, "Le processus a été arrêté à cause d'une erreur !",
                              "-=Parcelwise=-", platform::kIconError);
    display->CloseAfterJob();
}

CopyResult TzelFichier::CopyWithProgress(platform::File& source, platform::File& target,
                                         int64_t bytes, CopyBuffer& buffer) {
    partBytes = bytes;
    partDoneBytes = 0;
    copyError_ = 0;
    return CopyBytes(
        source, target, bytes, buffer,
        [this](int64_t n) {
            doneBytes += n;
            partDoneBytes += n;
            ShowProgress();
            PausePoint();
        },
        &copyError_);
}

bool TzelFichier::NameFits(const std::string& folder, size_t nameBytes, std::string& problems) {
    const size_t most = platform::MaxFileNameBytes(folder);
    if (nameBytes <= most) return true;
    problems += "\n\r- Nom du fichier de Destination trop long pour le système de fichiers (" +
                std::to_string(most) + " octets au plus par nom de fichier).";
    return false;
}

void TzelFichier::FailJoinCopy(CopyResult result, int32_t number, const std::string& part,
                               const std::string& target, int error) {
    if (error < 0) error = copyError_;
    const std::string numbered = "Le fichier n°" + std::to_string(number);
    switch (result) {
        case CopyResult::ReadFailed:
            return Fail("Erreur de lecture du fichier n°" + std::to_string(number) + "." +
                            platform::ReasonLine(part, error),
                        "Recollage interrompu", platform::kIconError);
        case CopyResult::SourceEnded:
            return Fail(numbered + " est plus court que prévu : il a changé pendant le recollage.",
                        "Recollage interrompu", platform::kIconError);
        case CopyResult::SourceChanged:
            return Fail(numbered +
                            " a été modifié ou remplacé pendant le recollage : le fichier recollé "
                            "ne serait pas "
                            "le fichier d'origine.",
                        "Recollage interrompu", platform::kIconError);
        case CopyResult::WriteFailed:
            return Fail("Erreur d'écriture dans le fichier de destination." +
                            platform::ReasonLine(target, error),
                        "Erreur", platform::kIconError);
        case CopyResult::Done:
            break;
    }
}
