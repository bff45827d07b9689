#include <optional>
#include <string>

#include "cli/Commands.h"
#include "core/Job.h"
#include "formats/Workflow.h"
#include "texts/Texts.h"

namespace cli {

using texts::Say;
using texts::TextId;

int Join(const Args& args, Context& ctx) {
    const Parsed parsed = ParseOptions(args,
                                       {{"--format", true},
                                        {"--no-verify", false},
                                        {"--name", true},
                                        {"--folder", true},
                                        {"--buffer", true},
                                        {"--output", true},
                                        {"-o", true}},
                                       1);
    if (!parsed.error.empty()) return UsageError(ctx, parsed.error);
    if (parsed.Has("--output") && parsed.Has("-o"))
        return UsageError(ctx, Say(TextId::CliOptionTwice, {"--output"}));
    const std::string* output = parsed.Has("-o") ? parsed.Value("-o") : parsed.Value("--output");
    const bool toStandardOutput = output != nullptr;
    if (output != nullptr && *output != "-")
        return UsageError(ctx, Say(TextId::CliOutputIsDash, {*output}));
    if (toStandardOutput && (parsed.Has("--name") || parsed.Has("--folder")))
        return UsageError(ctx, Say(TextId::CliOutputAlone));
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
    job.choices.toStandardOutput = toStandardOutput;
    if (!workflow::CheckJoin(job, name, !parsed.Has("--no-verify"), bufferSize,
                             platform::ShowAfter()))
        return kExitFailed;
    return RunJob(job, true, ctx);
}

}  // namespace cli
