#include <optional>
#include <string>

#include "cli/Commands.h"
#include "cli/Recovery.h"
#include "core/Job.h"
#include "formats/SetCheck.h"
#include "formats/native/NativeSet.h"
#include "formats/recovery/RecoveryHeader.h"
#include "platform/Messages.h"
#include "texts/Texts.h"

namespace cli {

using texts::Say;
using texts::TextId;

namespace {

// The recovery parts of a native set are named after its base name, those of
// another set after its last part, so that they sort after every part.
std::string StemOf(const Job& job, const std::vector<std::string>& parts) {
    if (job.formatKind == FormatKind::Native && IsFirstPartName(job.sourcePath))
        return job.sourcePath.substr(0, job.sourcePath.size() - 8);
    return parts.back();
}

}  // namespace

int Protect(const Args& args, Context& ctx) {
    const Parsed parsed = ParseOptions(args, {{"--format", true}, {"--recovery", true}}, 1);
    if (!parsed.error.empty()) return UsageError(ctx, parsed.error);
    int count = 0;
    std::string error;
    if (!ReadRecoveryCount(parsed, 0, count, error)) return UsageError(ctx, error);
    if (count == 0)
        return UsageError(
            ctx, Say(TextId::CliRecoveryCount, {std::to_string(recovery::kMostRecoveryParts)}));
    std::unique_ptr<Job> job;
    if (std::optional<int> status = OpenSetOfKind(parsed, ctx, job)) return *status;

    const SetCheck check = CheckSet(*job);
    if (!check.Whole()) {
        const std::optional<Message> refusal = JoinRefusal(check);
        platform::ShowMessage(nullptr,
                              Say(TextId::RecoverySetNotWhole, {refusal ? refusal->text : ""}),
                              Say(TextId::TitleError), platform::Icon::Error);
        return kExitFailed;
    }
    std::vector<std::string> parts;
    for (const PartCheck& part : check.parts)
        if (part.state == PartState::Good) parts.push_back(part.path);
    if (count > static_cast<int64_t>(parts.size()))
        return UsageError(
            ctx, Say(TextId::CliRecoveryCount, {std::to_string(recovery::kMostRecoveryParts)}));
    return WriteRecoveryParts(parts, StemOf(*job, parts), count, ctx);
}

}  // namespace cli
