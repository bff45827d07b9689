#include "core/JoinOutput.h"

#include <cerrno>
#include <utility>

#include "platform/Fs.h"

namespace {
// Enough tries for any folder a person keeps; past them the folder is odd
// enough that the job should say so rather than look further.
constexpr int kAttempts = 100;
}  // namespace

std::string IncompleteName(const std::string& finalPath, int attempt) {
    std::string name = finalPath;
    if (attempt > 1) {
        name += '.';
        name += std::to_string(attempt);
    }
    name += ".incomplet";
    return name;
}

JoinOutput::JoinOutput(std::string finalPath, std::string tempPath, platform::File file)
    : finalPath_(std::move(finalPath)), tempPath_(std::move(tempPath)), file_(std::move(file)) {
    if (file_.IsOpen()) identity_ = file_.Identity();
}

JoinOutput JoinOutput::Create(const std::string& finalPath) {
    std::string path;
    platform::File file;
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        path = IncompleteName(finalPath, attempt);
        file = platform::File::CreateNew(path);
        // Only a name already taken is worth another try; any other refusal
        // (a read-only folder, a full disk) would refuse every name.
        if (file.IsOpen() || file.OpenError() != EEXIST) break;
    }
    return JoinOutput(finalPath, std::move(path), std::move(file));
}

bool JoinOutput::Finish(int& error) {
    if (!file_.Close()) {
        error = file_.CloseError();
        return false;
    }
    return platform::RenameNoReplace(tempPath_, finalPath_, &error);
}

bool JoinOutput::Discard() {
    file_.Close();
    if (!identity_ || platform::RemoveIfSame(tempPath_, *identity_)) return true;
    // Only a file that is still ours is left; one replaced or removed meanwhile is not.
    const std::optional<platform::FileIdentity> now = platform::IdentityOf(tempPath_);
    return !now || now->device != identity_->device || now->inode != identity_->inode;
}

void JoinOutput::Leave() {
    file_.Close();
}
