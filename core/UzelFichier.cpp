#include "core/UzelFichier.h"

#include "platform/Clock.h"
#include "platform/Fs.h"

TzelFichier::TzelFichier() = default;

TzelFichier::~TzelFichier() {
    gate_.Resume();
    WaitForWorker();
}

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

void TzelFichier::SetBufferSize(uint32_t bytes) { settings.bufferSize = bytes; }

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

bool TzelFichier::CheckJoinParameters(const std::string&, bool) { return false; }

void TzelFichier::StartSplit() {}
void TzelFichier::StartJoin() {}

void TzelFichier::Suspend() { gate_.Pause(); }
void TzelFichier::Resume() {
    redraw_.store(true, std::memory_order_relaxed);
    gate_.Resume();
}

void TzelFichier::WaitForWorker() {
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void TzelFichier::UpdateTimes(double now) {
    elapsedTime = now - startTime;
    int64_t total = totalBytes;
    int64_t done = doneBytes;
    if (total > 0 && done > 0)
        remainingTime = static_cast<double>(total - done) * elapsedTime / static_cast<double>(done);
}

void TzelFichier::StartWorker(std::function<void()> worker) {
    WaitForWorker();
    startTime = platform::Now();
    thread_ = std::thread([this, worker = std::move(worker)] {
        try {
            worker();
        } catch (...) {
            step = Step::Failed;
            try {
                EndOfWork();
            } catch (...) {
            }
        }
    });
}
