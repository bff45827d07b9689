#include <optional>
#include <string>

#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/Recovery.h"
#include "core/Job.h"
#include "formats/FormatTable.h"
#include "formats/Workflow.h"
#include "formats/recovery/RecoverySteps.h"
#include "platform/Messages.h"
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
                                        {"-o", true},
                                        {"--json", false}},
                                       1);
    if (!parsed.error.empty()) return UsageError(ctx, parsed.error);
    if (parsed.Has("--output") && parsed.Has("-o"))
        return UsageError(ctx, Say(TextId::CliOptionTwice, {"--output"}));
    const std::string* output = parsed.Has("-o") ? parsed.Value("-o") : parsed.Value("--output");
    const bool toStandardOutput = output != nullptr;
    if (output != nullptr && *output != "-")
        return UsageError(ctx, Say(TextId::CliOutputIsDash, {*output}));
    if (toStandardOutput &&
        (parsed.Has("--name") || parsed.Has("--folder") || parsed.Has("--json")))
        return UsageError(ctx, Say(TextId::CliOutputAlone));
    uint32_t bufferSize = ctx.defaults.bufferSize;
    std::optional<std::string> destName;
    std::string error;
    if (!ReadBufferSize(parsed, bufferSize, error) || !ReadName(parsed, "--name", destName, error))
        return UsageError(ctx, error);
    // A protected set is found from any of its files, its recovery parts
    // included; one that lost data parts is opened from what they say, its
    // first part's header rebuilt when that part is the one lost.
    const std::string& given = parsed.positionals[0];
    workflow::JoinProtection found;
    if (!toStandardOutput) found = workflow::ExamineForJoin(given);
    const bool fromRecoveryParts =
        !parsed.Has("--format") && workflow::OpensFromRecoveryParts(found, given);
    std::unique_ptr<Job> opened;
    KindOpened kind;
    std::optional<int> refused;
    if (const std::optional<std::string> line = workflow::IrreparableLine(found.protection)) {
        platform::ShowMessage(nullptr, *line, Say(TextId::TitleError), platform::Icon::Error);
        refused = kExitFailed;
    } else if (fromRecoveryParts) {
        const FormatRow* row = nullptr;
        opened = workflow::OpenProtectedSet(found.protection, workflow::Audience::CommandLine,
                                            platform::ShowAfter(), &row);
        if (opened && row) kind.name = row->cliName;
        if (!opened) refused = kExitFailed;
    } else {
        refused = OpenSetOfKind(parsed, ctx, opened, &kind);
    }
    if (std::optional<int> status = refused) {
        // A set that cannot be opened without the part it lost: a repair first.
        if (!parsed.Has("--json") && !fromRecoveryParts)
            if (const std::optional<std::string> line =
                    workflow::RepairFirstLine(parsed.positionals[0]))
                ctx.out << *line;
        if (parsed.Has("--json") && *status != kExitUsage)
            ctx.out << RunJson("join", *status, nullptr, false).Written() << "\n";
        return *status;
    }
    Job& job = *opened;
    // With --json the last words on stdout say how the join ended and what it made.
    auto ended = [&](int status, bool ran) {
        if (!parsed.Has("--json")) return status;
        ctx.out << RunJson("join", status, &job, ran)
                       .Text("kind", kind.name)
                       .Text("output", job.choices.folder + job.choices.fileName)
                       .Number("size", job.RebuiltSize())
                       .Written()
                << "\n";
        return status;
    };
    if (const std::string* folder = parsed.Value("--folder"); folder && !UseFolder(job, *folder))
        return ended(kExitFailed, false);
    const std::string name = destName.value_or(job.choices.fileName);
    job.choices.toStandardOutput = toStandardOutput;
    // A protected set that lost parts is joined by rebuilding them on the way;
    // one whose every part its recovery parts' digests just found intact is
    // not hashed a second time.
    bool verify = !parsed.Has("--no-verify");
    if (!toStandardOutput) {
        if (found.repairs) {
            job.choices.fileName = name;
            return ended(JoinRepairing(job, found.protection, name, !parsed.Has("--json"), ctx),
                         true);
        }
        if (found.dataChecked) verify = false;
    }
    if (!workflow::CheckJoin(job, name, verify, bufferSize, platform::ShowAfter()))
        return ended(kExitFailed, false);
    return ended(RunJob(job, true, ctx), true);
}

}  // namespace cli
