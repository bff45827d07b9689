#include <optional>
#include <string>

#include "cli/Commands.h"
#include "core/Job.h"
#include "formats/Workflow.h"

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
    std::unique_ptr<Job> opened;
    if (std::optional<int> status = OpenSetOfKind(parsed, ctx, opened)) return *status;
    Job& job = *opened;
    if (const std::string* folder = parsed.Value("--folder"); folder && !UseFolder(job, *folder))
        return kExitFailed;
    const std::string name = destName.value_or(job.choices.fileName);
    if (!workflow::CheckJoin(job, name, !parsed.Has("--no-verify"), bufferSize,
                             platform::ShowAfter()))
        return kExitFailed;
    return RunJob(job, true, ctx);
}

}  // namespace cli
