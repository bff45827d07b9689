#include <algorithm>
#include <optional>
#include <string>

#include "cli/Commands.h"
#include "cli/Recovery.h"
#include "cli/TerminalProgress.h"
#include "core/Job.h"
#include "formats/SetCheck.h"
#include "formats/recovery/RecoverySet.h"
#include "platform/Messages.h"
#include "platform/Paths.h"
#include "platform/Reasons.h"
#include "texts/Texts.h"

namespace cli {

using texts::Say;
using texts::TextId;

int Verify(const Args& args, Context& ctx) {
    const Parsed parsed = ParseOptions(args, {{"--format", true}, {"--verbose", false}}, 1);
    if (!parsed.error.empty()) return UsageError(ctx, parsed.error);
    const bool verbose = parsed.Has("--verbose");
    // A set whose first part is lost or refused is still judged by its
    // recovery parts, which a recovery part given alone names as well.
    const recovery::Protection protection = recovery::ExamineProtection(parsed.positionals[0]);
    const std::string protectionText = recovery::DescribeProtection(protection, verbose);
    std::unique_ptr<Job> job;
    if (recovery::IsRecoveryPartName(platform::FileNameOf(parsed.positionals[0]))) {
        ctx.out << protectionText;
        if (protection.header) return VerifyStatus(true, protection);
        platform::ShowMessage(
            nullptr, Say(TextId::RecoveryNotFound, {platform::VisibleText(parsed.positionals[0])}),
            Say(TextId::TitleError), platform::Icon::Error);
        return kExitFailed;
    }
    if (std::optional<int> status = OpenSetOfKind(parsed, ctx, job)) {
        if (!protection.header) return *status;
        ctx.out << protectionText;
        return VerifyStatus(false, protection);
    }

    std::optional<TerminalProgress> line;
    if (ctx.progress) job->display = &line.emplace(ctx.err);
    const SetCheck check = CheckSet(*job);
    line.reset();
    job->display = &NullDisplay::Instance();

    for (const PartCheck& part : check.parts) {
        const std::string problem = PartProblem(part);
        if (problem.empty() && !verbose) continue;
        const std::string said =
            platform::VisibleMessage(problem.empty() ? Say(TextId::VerifyPartIntact) : problem);
        const std::string path = platform::VisibleText(part.path);
        if (part.lastNumber > part.number)
            ctx.out << Say(TextId::VerifyRunLine, {std::to_string(part.number),
                                                   std::to_string(part.lastNumber), path, said});
        else
            ctx.out << Say(TextId::VerifyPartLine, {std::to_string(part.number), path, said});
    }
    const std::string count = std::to_string(check.CountedParts());
    const int64_t bad = check.FaultyParts();
    if (check.fault != SetFault::None)
        ctx.out << platform::VisibleMessage(SetFaultText(check)) << "\n";
    std::vector<std::string> notes = check.notes;
    if (check.mayContinue) notes.push_back(Say(TextId::VerifyMayContinue));
    const bool uneven = std::any_of(check.parts.begin(), check.parts.end(), [](const PartCheck& p) {
        return p.state == PartState::Uneven;
    });
    const std::string checked = Say(check.digestsChecked ? TextId::VerifyAllIntact
                                    : uneven             ? TextId::VerifyAllPresent
                                                         : TextId::VerifyAllPresentAndSized);
    if (check.Whole())
        ctx.out << Say(notes.empty() ? TextId::VerifyWhole : TextId::VerifySeemsWhole,
                       {count, checked});
    else if (check.fault == SetFault::None)
        ctx.out << Say(bad > 1 ? TextId::VerifyDamagedMany : TextId::VerifyDamagedOne,
                       {std::to_string(bad), count});
    else
        ctx.out << Say(TextId::VerifyDamaged);
    for (const std::string& note : notes)
        ctx.out << Say(TextId::VerifyNoteLine, {platform::VisibleMessage(note)});
    if (!check.digestsChecked) ctx.out << Say(TextId::VerifyWithoutDigests);
    ctx.out << protectionText;
    return VerifyStatus(check.Whole(), protection);
}

}  // namespace cli
