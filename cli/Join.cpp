#include <optional>
#include <string>

#include "cli/Commands.h"
#include "core/FreeSpace.h"
#include "formats/native/UzelParcelwise.h"

namespace cli {

int Join(const Args& args, Context& ctx) {
    const Parsed parsed = ParseOptions(args,
                                       {{"--format", true},
                                        {"--no-verify", false},
                                        {"--name", true},
                                        {"--folder", true},
                                        {"--buffer", true}},
                                       1);
    if (!parsed.error.empty()) return UsageError(ctx, parsed.error);
    uint32_t bufferSize = ctx.defaults.bufferSize;
    std::optional<std::string> destName;
    std::string error;
    if (!ReadBufferSize(parsed, bufferSize, error) || !ReadName(parsed, "--name", destName, error))
        return UsageError(ctx, error);
    std::unique_ptr<TzelFichier> opened;
    if (std::optional<int> status = OpenSetOfKind(parsed, ctx, opened)) return *status;
    TzelFichier& job = *opened;
    if (const std::string* folder = parsed.Value("--folder"); folder && !UseFolder(job, *folder))
        return kExitFailed;
    // The rebuilt file is what needs the room, not the first part.
    if (!CheckFreeSpace(nullptr, job.settings.folder, job.RebuiltSize())) return kExitFailed;

    const std::string name = destName.value_or(job.settings.fileName);
    if (!job.CheckJoinParameters(name, !parsed.Has("--no-verify"))) {
        platform::MessageBoxA(nullptr, "Le recollage a été annulé.", kTitle,
                              platform::kIconWarning);
        return kExitFailed;
    }
    job.SetBufferSize(bufferSize);
    return RunJob(job, true, ctx);
}

}  // namespace cli
