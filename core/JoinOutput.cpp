#include "core/JoinOutput.h"

#include <cerrno>
#include <utility>

#include "platform/Fs.h"
#include "platform/Reasons.h"
#include "texts/Texts.h"

namespace {
// Enough tries for any folder a person keeps; past them the folder is odd
// enough that the job should say so rather than look further.
constexpr int kAttempts = 100;
}  // namespace

std::string IncompleteName(const std::string& finalPath, int attempt, size_t mostBytes) {
    std::string ending;
    if (attempt > 1) {
        ending += '.';
        ending += std::to_string(attempt);
    }
    ending += ".incomplet";
    const std::string name = platform::FileNameOf(finalPath);
    const std::string folder = finalPath.substr(0, finalPath.size() - name.size());
    if (name.size() + ending.size() <= mostBytes) return finalPath + ending;
    // The longest start of the name that fits with its ending, cut between
    // characters; the number of the try keeps it apart from the others.
    size_t keep = mostBytes > ending.size() ? mostBytes - ending.size() : 0;
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
    return folder + name.substr(0, keep) + ending;
}

JoinOutput::JoinOutput(std::string finalPath, std::string tempPath, platform::File file)
    : finalPath_(std::move(finalPath)), tempPath_(std::move(tempPath)), file_(std::move(file)) {
    if (file_.IsOpen()) identity_ = file_.Identity();
}

JoinOutput JoinOutput::Create(const std::string& finalPath) {
    std::string path;
    platform::File file;
    const size_t most = platform::MaxFileNameBytes(platform::FolderOf(finalPath));
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        path = IncompleteName(finalPath, attempt, most);
        file = platform::File::CreateNew(path);
        // Only a name already taken is worth another try; any other refusal
        // (a read-only folder, a full disk) would refuse every name.
        if (file.IsOpen() || file.OpenError() != EEXIST) break;
    }
    return JoinOutput(finalPath, std::move(path), std::move(file));
}

JoinOutput JoinOutput::StandardOutput() {
    const std::string shown = texts::Say(texts::TextId::StandardOutputName);
    JoinOutput output(shown, shown, platform::File::StandardOutput());
    output.identity_.reset();
    output.stream_ = true;
    return output;
}

bool JoinOutput::Finish(int& error) {
    // A stream has no disk of its own to sync, nor a name to take.
    if (stream_) {
        if (!file_.Close()) {
            error = file_.CloseError();
            return false;
        }
        whole_ = true;
        return true;
    }
    // The data first: a rename that reached the disk before them would leave
    // an empty or partial file under the final name after a power cut.
    if (!file_.Sync()) {
        error = EIO;
        file_.Close();
        return false;
    }
    if (!file_.Close()) {
        error = file_.CloseError();
        return false;
    }
    whole_ = true;
    return platform::RenameNoReplace(tempPath_, finalPath_, &error, platform::Durability::Durable);
}

bool JoinOutput::Discard() {
    file_.Close();
    if (stream_) return true;
    if (!identity_ || platform::RemoveIfSame(tempPath_, *identity_)) return true;
    // Only a file that is still ours is left; one replaced or removed meanwhile is not.
    return !platform::StillNames(tempPath_, *identity_);
}

void JoinOutput::Leave() {
    file_.Close();
}
