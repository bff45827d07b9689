#include <cstdio>
#include <ctime>
#include <string>

#include "cli/Commands.h"
#include "cli/Json.h"
#include "core/DisplayNumbers.h"
#include "formats/SetCheck.h"
#include "formats/Workflow.h"
#include "formats/foreign/ForeignSet.h"
#include "formats/native/LegacySet.h"
#include "formats/native/NativeSet.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/Messages.h"
#include "texts/Texts.h"

namespace cli {

using texts::Say;
using texts::TextId;

namespace {

std::string DateText(double dayCount) {
    const std::tm date = platform::FromDateTime(dayCount);
    return Say(TextId::DateShown, {NumberText(date.tm_mday, 2), NumberText(date.tm_mon + 1, 2),
                                   NumberText(date.tm_year + 1900, 4)});
}

std::string SizeLine(TextId id, int64_t bytes) {
    return Say(id, {std::to_string(bytes), FormatSize(bytes)});
}

std::string DigestsLine(bool withDigests) {
    return Say(TextId::InfoDigests, {Say(withDigests ? TextId::Yes : TextId::No)});
}

// True when the file starts with the mark of a 1.0 first part.
bool IsLegacyFirstPart(const std::string& path) {
    platform::File file = platform::File::OpenRead(path, platform::Share::Read);
    uint8_t head[kHeaderSize] = {};
    const platform::IoResult r =
        file.IsOpen() ? file.Read(head, sizeof head) : platform::IoResult{};
    return r.ok() && HasLegacyMark(head, static_cast<size_t>(r.bytes));
}

// What the judgement of the set found, without reading the parts' data.
std::string StateProblem(const SetCheck& judged);
void SayState(const SetCheck& judged, Context& ctx) {
    if (!judged.Whole()) ctx.out << Say(TextId::InfoSetDamaged, {StateProblem(judged)});
}

// What is wrong with the set, in the words of SayState; empty for a whole one.
std::string StateProblem(const SetCheck& judged) {
    if (judged.Whole()) return std::string();
    const int64_t faulty = judged.FaultyParts();
    return judged.fault != SetFault::None ? platform::VisibleMessage(SetFaultText(judged))
           : faulty > 1 ? Say(TextId::InfoFaultyPartMany, {std::to_string(faulty)})
                        : Say(TextId::InfoFaultyPartOne);
}

JsonObject& StateJson(JsonObject& json, const SetCheck& judged) {
    json.Text("verdict", judged.Whole() ? "whole" : "damaged");
    const std::string problem = StateProblem(judged);
    return problem.empty() ? json.Null("problem") : json.Text("problem", problem);
}

std::string IsoDate(double dayCount) {
    const std::tm date = platform::FromDateTime(dayCount);
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.tm_year + 1900, date.tm_mon + 1,
                  date.tm_mday);
    return text;
}

}  // namespace

int Info(const Args& args, Context& ctx) {
    const Parsed parsed = ParseOptions(args, {{"--format", true}, {"--json", false}}, 1);
    if (!parsed.error.empty()) return UsageError(ctx, parsed.error);
    const bool json = parsed.Has("--json");

    // A first part of the 1.0 format is described as it is, with what to do with it.
    const std::string* kind = parsed.Value("--format");
    if ((kind == nullptr || *kind == "native") && IsLegacyFirstPart(parsed.positionals[0])) {
        LegacySet legacy;
        if (!workflow::OpenLegacySet(legacy, parsed.positionals[0], platform::ShowAfter()))
            return kExitFailed;
        if (json) {
            ctx.out << KindJson({"legacy", ""})
                           .Text("name", legacy.description.originalName)
                           .Number("size", legacy.lead.originalSize)
                           .Number("parts", legacy.description.partCount)
                           .Text("date", IsoDate(legacy.description.splitDate))
                           .Flag("digests", legacy.description.digestFlag == 1)
                           .Text("verdict", "to-convert")
                           .Null("problem")
                           .Written()
                    << "\n";
            return kExitOk;
        }
        ctx.out << Say(TextId::InfoLegacyFormat)
                << Say(TextId::InfoOriginalName,
                       {platform::VisibleText(legacy.description.originalName)})
                << SizeLine(TextId::InfoOriginalSize, legacy.lead.originalSize)
                << Say(TextId::InfoPartCount, {std::to_string(legacy.description.partCount)})
                << Say(TextId::InfoSplitDate, {DateText(legacy.description.splitDate)})
                << DigestsLine(legacy.description.digestFlag == 1);
        return kExitOk;
    }
    std::unique_ptr<Job> opened;
    KindOpened opening;
    if (std::optional<int> status = OpenSetOfKind(parsed, ctx, opened, &opening)) return *status;
    if (!opening.reason.empty() && !json)
        ctx.out << Say(TextId::InfoDetectedKind,
                       {Say(TextId::DetectedKindWithReason, {opening.name, opening.reason})});
    auto* native = dynamic_cast<NativeSet*>(opened.get());
    if (native == nullptr) {
        // A foreign set says only its name, its parts and what it announces.
        auto& foreign = static_cast<ForeignSet&>(*opened);
        // Counted as verify and the join count them.
        const SetCheck judged = JudgeParts(foreign);
        if (json) {
            // A foreign set announces its size, and says nothing of a date or digests.
            JsonObject answer = KindJson(opening);
            answer.Text("name", foreign.choices.fileName)
                .Number("size", foreign.rebuiltSize)
                .Number("parts", judged.CountedParts())
                .Null("date")
                .Flag("digests", false);
            ctx.out << StateJson(answer, judged).Written() << "\n";
            return kExitOk;
        }
        ctx.out << Say(TextId::InfoOriginalName, {platform::VisibleText(foreign.choices.fileName)})
                << SizeLine(TextId::InfoAnnouncedSize, foreign.rebuiltSize)
                << Say(TextId::InfoPartCount, {std::to_string(judged.CountedParts())});
        SayState(judged, ctx);
        return kExitOk;
    }
    const NativeHeader& header = native->header;
    if (json) {
        JsonObject answer = KindJson(opening);
        answer.Text("name", header.originalName)
            .Number("size", header.originalSize)
            .Number("parts", header.partCount)
            .Text("date", IsoDate(header.splitDate))
            .Flag("digests", header.hasDigests == 1);
        ctx.out << StateJson(answer, JudgeParts(*native)).Written() << "\n";
        return kExitOk;
    }
    ctx.out << Say(TextId::InfoOriginalName, {platform::VisibleText(header.originalName)})
            << SizeLine(TextId::InfoOriginalSize, header.originalSize)
            << Say(TextId::InfoPartCount, {std::to_string(header.partCount)})
            << Say(TextId::InfoSplitDate, {DateText(header.splitDate)})
            << DigestsLine(header.hasDigests == 1);
    SayState(JudgeParts(*native), ctx);
    return kExitOk;
}

}  // namespace cli
