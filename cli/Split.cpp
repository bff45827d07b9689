#include <cerrno>
#include <optional>
#include <string>

#include "cli/Commands.h"
#include "core/FreeSpace.h"
#include "core/SplitSize.h"
#include "formats/native/UzelParcelwise.h"
#include "platform/File.h"
#include "platform/Fs.h"

namespace cli {

namespace {

constexpr int64_t kSmallestSource = 1048576;

// Fills what the window's open dialog fills for a file to split; false, after
// the window's message, when the file cannot be split.
bool OpenSource(TzelParcelwise& job, const std::string& path) {
    if (!Openable(path)) return false;
    platform::File file = platform::File::OpenRead(path);
    const int64_t size = file.IsOpen() ? file.Size() : -1;
    if (size < 0 && !Openable(path, file.IsOpen() ? EIO : file.OpenError())) return false;
    if (size <= kSmallestSource) {
        platform::MessageBoxA(nullptr, "Le fichier sélectionné à une taille inférieure à 1 Mo.",
                              "Fichier trop petit...", platform::kIconWarning);
        return false;
    }
    job.sourcePath = platform::AbsolutePath(path);
    job.sourceSize = size;
    job.settings.fileName = platform::FileNameOf(job.sourcePath);
    job.settings.folder = platform::FolderOf(job.sourcePath);
    job.opened = true;
    return true;
}

void Cancelled() {
    platform::MessageBoxA(nullptr, "Le découpage a été annulé.", kTitle, platform::kIconWarning);
}

}  // namespace

int Split(const Args& args, Context& ctx) {
    const Parsed parsed = ParseOptions(args,
                                       {{"--size", true},
                                        {"--count", true},
                                        {"--bytes", true},
                                        {"--md5", false},
                                        {"--name", true},
                                        {"--store-name", true},
                                        {"--folder", true},
                                        {"--buffer", true}},
                                       1);
    if (!parsed.error.empty()) return UsageError(ctx, parsed.error);
    if (parsed.Has("--size") + parsed.Has("--count") + parsed.Has("--bytes") > 1)
        return UsageError(ctx, "une seule des options --size, --count et --bytes à la fois");

    int64_t sizeMo = 0, count = 0, bytes = 0;
    uint32_t bufferSize = ctx.defaults.bufferSize;
    std::optional<std::string> destName, storeName;
    std::string error;
    if (!ReadNumber(parsed, "--size", 1, 999, sizeMo, error) ||
        !ReadNumber(parsed, "--count", 1, 999, count, error) ||
        !ReadNumber(parsed, "--bytes", 1, INT32_MAX, bytes, error) ||
        !ReadBufferSize(parsed, bufferSize, error) ||
        !ReadName(parsed, "--name", destName, error) ||
        !ReadName(parsed, "--store-name", storeName, error))
        return UsageError(ctx, error);

    TzelParcelwise job;
    if (!OpenSource(job, parsed.positionals[0])) return kExitFailed;
    if (const std::string* folder = parsed.Value("--folder"); folder && !UseFolder(job, *folder))
        return kExitFailed;

    int32_t partSize;
    if (bytes > 0)
        partSize = static_cast<int32_t>(bytes);
    else if (count > 0)
        partSize = PartSizeFor(kSizeModeNombre, count, job.sourceSize);
    else if (sizeMo > 0)
        partSize = PartSizeFor(kSizeModeTaille, sizeMo, job.sourceSize);
    else
        partSize = PartSizeFor(ctx.defaults.sizeMode, ctx.defaults.defaultSize, job.sourceSize);

    const bool withDigests = parsed.Has("--md5");
    if (!CheckFreeSpace(nullptr, job.settings.folder,
                        SplitOutputBytes(job.sourceSize, partSize, withDigests)))
        return kExitFailed;

    const std::string sourceName = job.settings.fileName;
    if (!job.CheckSplitParameters(storeName.value_or(sourceName), destName.value_or(sourceName),
                                  withDigests, partSize)) {
        Cancelled();
        return kExitFailed;
    }
    job.SetBufferSize(bufferSize);
    return RunJob(job, false, ctx);
}

}  // namespace cli
