#include <optional>
#include <string>

#include "cli/Commands.h"
#include "cli/Recovery.h"
#include "core/Job.h"
#include "formats/Workflow.h"
#include "formats/recovery/RecoverySet.h"
#include "platform/Messages.h"
#include "texts/Texts.h"

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
    if (std::optional<int> status = OpenSetOfKind(parsed, ctx, opened)) {
        // A set that cannot be opened without the part it lost: a repair first.
        if (recovery::HasRecoveryParts(parsed.positionals[0])) {
            const recovery::Protection protection =
                recovery::ExamineProtection(parsed.positionals[0]);
            if (protection.header && protection.plan.Repairable() && !protection.plan.Whole())
                ctx.out << texts::Say(texts::TextId::JoinRepairFirst,
                                      {platform::VisibleText(parsed.positionals[0])});
        }
        return *status;
    }
    Job& job = *opened;
    if (const std::string* folder = parsed.Value("--folder"); folder && !UseFolder(job, *folder))
        return kExitFailed;
    const std::string name = destName.value_or(job.choices.fileName);
    // A protected set that lost parts is joined by rebuilding them on the way;
    // one whose every part its recovery parts' digests just found intact is
    // not hashed a second time.
    bool verify = !parsed.Has("--no-verify");
    if (recovery::HasRecoveryParts(parsed.positionals[0])) {
        const recovery::Protection protection = recovery::ExamineProtection(parsed.positionals[0]);
        if (protection.header && !protection.plan.Whole() && protection.plan.Repairable() &&
            protection.plan.lostData > 0)
            return JoinRepairing(job, protection, name, ctx);
        if (protection.header && protection.plan.lostData == 0) verify = false;
    }
    if (!workflow::CheckJoin(job, name, verify, bufferSize, platform::ShowAfter()))
        return kExitFailed;
    return RunJob(job, true, ctx);
}

}  // namespace cli
