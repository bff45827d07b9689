#include <algorithm>
#include <optional>
#include <string>

#include "cli/Commands.h"
#include "cli/Json.h"
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

namespace {

// The names of the parts' states in verify's answer for scripts; they stay
// as they are from one version to the next.
std::string_view StateName(PartState state) {
    switch (state) {
        case PartState::Good:
            return "good";
        case PartState::Missing:
            return "missing";
        case PartState::Unreadable:
            return "unreadable";
        case PartState::Short:
            return "short";
        case PartState::Long:
            return "long";
        case PartState::Damaged:
            return "damaged";
        case PartState::Extra:
            return "extra";
        case PartState::BadHeader:
            return "bad-header";
        case PartState::Uneven:
            return "uneven";
    }
    return "unknown";
}

// What the recovery parts tell of the set: null for a set without any.
std::string RecoveryJson(const recovery::Protection& protection) {
    if (!protection.header) return "null";
    const recovery::RepairPlan& plan = protection.plan;
    std::vector<std::string> lost;
    for (const int shard : plan.lost)
        lost.push_back(JsonString(protection.shards[size_t(shard)].path));
    return JsonObject()
        .Text("verdict", plan.Whole()        ? "whole"
                         : plan.Repairable() ? "repairable"
                                             : "irreparable")
        .Number("recoveryParts", protection.header->recoveryParts)
        .Number("recoveryPresent", plan.goodRecovery)
        .Number("recoveryNeeded", plan.NeededRecovery())
        .Json("toRebuild", JsonArray(lost))
        .Written();
}

std::string VerifyJson(const SetCheck& check, const KindOpened& kind,
                       const recovery::Protection& protection) {
    std::vector<std::string> parts;
    for (const PartCheck& part : check.parts) {
        JsonObject item;
        item.Number("number", part.number)
            .Number("last", std::max(part.lastNumber, part.number))
            .Text("path", part.path)
            .Text("state", StateName(part.state));
        if (part.state == PartState::Missing)
            item.Null("bytes");
        else
            item.Number("bytes", part.bytes);
        const std::string problem = PartProblem(part);
        if (problem.empty())
            item.Null("problem");
        else
            item.Text("problem", platform::VisibleMessage(problem));
        parts.push_back(item.Written());
    }
    std::vector<std::string> notes;
    for (const std::string& note : check.notes)
        notes.push_back(JsonString(platform::VisibleMessage(note)));
    JsonObject answer = KindJson(kind);
    answer.Text("verdict", check.Whole() ? "whole" : "damaged")
        .Flag("digestsChecked", check.digestsChecked)
        .Number("partCount", check.CountedParts())
        .Number("faultyParts", check.FaultyParts());
    if (check.fault == SetFault::None)
        answer.Null("setFault");
    else
        answer.Text("setFault", platform::VisibleMessage(SetFaultText(check)));
    return answer.Flag("mayContinue", check.mayContinue)
        .Json("notes", JsonArray(notes))
        .Json("parts", JsonArray(parts))
        .Json("recovery", RecoveryJson(protection))
        .Written();
}

}  // namespace

int Verify(const Args& args, Context& ctx) {
    const Parsed parsed =
        ParseOptions(args, {{"--format", true}, {"--verbose", false}, {"--json", false}}, 1);
    if (!parsed.error.empty()) return UsageError(ctx, parsed.error);
    const bool verbose = parsed.Has("--verbose");
    // A set whose first part is lost or refused is still judged by its
    // recovery parts, which a recovery part given alone names as well.
    const recovery::Protection protection = recovery::ExamineProtection(parsed.positionals[0]);
    const std::string protectionText = recovery::DescribeProtection(protection, verbose);
    std::unique_ptr<Job> job;
    KindOpened kind;
    const bool json = parsed.Has("--json");
    if (recovery::IsRecoveryPartName(platform::FileNameOf(parsed.positionals[0]))) {
        if (json)
            ctx.out << JsonObject().Json("recovery", RecoveryJson(protection)).Written() << "\n";
        else
            ctx.out << protectionText;
        if (protection.header) return VerifyStatus(true, protection);
        platform::ShowMessage(
            nullptr, Say(TextId::RecoveryNotFound, {platform::VisibleText(parsed.positionals[0])}),
            Say(TextId::TitleError), platform::Icon::Error);
        return kExitFailed;
    }
    if (std::optional<int> status = OpenSetOfKind(parsed, ctx, job, &kind)) {
        if (!protection.header) return *status;
        if (json)
            ctx.out << JsonObject().Json("recovery", RecoveryJson(protection)).Written() << "\n";
        else
            ctx.out << protectionText;
        return VerifyStatus(false, protection);
    }

    std::optional<TerminalProgress> line;
    if (ctx.progress) job->display = &line.emplace(ctx.err);
    const SetCheck check = CheckSet(*job);
    line.reset();
    job->display = &NullDisplay::Instance();

    if (json) {
        ctx.out << VerifyJson(check, kind, protection) << "\n";
        return VerifyStatus(check.Whole(), protection);
    }
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
