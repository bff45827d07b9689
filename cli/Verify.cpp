#include <algorithm>
#include <optional>
#include <string>

#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/TerminalProgress.h"
#include "core/Job.h"
#include "formats/SetCheck.h"
#include "platform/Messages.h"
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

std::string VerifyJson(const SetCheck& check, const KindOpened& kind) {
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
    JsonObject answer;
    answer.Text("kind", kind.name);
    if (kind.reason.empty())
        answer.Null("detectedBy");
    else
        answer.Text("detectedBy", kind.reason);
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
        .Written();
}

}  // namespace

int Verify(const Args& args, Context& ctx) {
    const Parsed parsed =
        ParseOptions(args, {{"--format", true}, {"--verbose", false}, {"--json", false}}, 1);
    if (!parsed.error.empty()) return UsageError(ctx, parsed.error);
    std::unique_ptr<Job> job;
    KindOpened kind;
    if (std::optional<int> status = OpenSetOfKind(parsed, ctx, job, &kind)) return *status;

    std::optional<TerminalProgress> line;
    if (ctx.progress) job->display = &line.emplace(ctx.err);
    const SetCheck check = CheckSet(*job);
    line.reset();
    job->display = &NullDisplay::Instance();

    if (parsed.Has("--json")) {
        ctx.out << VerifyJson(check, kind) << "\n";
        return check.Whole() ? kExitOk : kExitFailed;
    }
    const bool verbose = parsed.Has("--verbose");
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
    return check.Whole() ? kExitOk : kExitFailed;
}

}  // namespace cli
