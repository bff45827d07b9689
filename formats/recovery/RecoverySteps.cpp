#include "formats/recovery/RecoverySteps.h"

#include <algorithm>
#include <cerrno>

#include "core/Job.h"
#include "formats/FormatTable.h"
#include "formats/Workflow.h"
#include "formats/native/NativeSet.h"
#include "platform/Fs.h"
#include "platform/Paths.h"
#include "platform/Reasons.h"
#include "texts/Texts.h"

namespace workflow {

using texts::Say;
using texts::TextId;

namespace {

void SayError(const std::string& text, Messages& said) {
    said.push_back({text, Say(TextId::TitleError), platform::Icon::Error});
}

}  // namespace

bool WriteRecoveryParts(const std::vector<std::string>& parts, const std::string& stemPath,
                        int count, const std::vector<std::optional<Digest>>& known,
                        std::vector<std::string>& written, Messages& said) {
    if (const std::optional<recovery::Failure> failed =
            recovery::ProtectParts(parts, stemPath, count, &written, known)) {
        SayError(failed->text, said);
        return false;
    }
    return true;
}

namespace {

// What a recovery operation's failure is to the job: nothing for one that
// stopped on a cancel, which the job knows of.
StepResult JobFailure(const std::optional<recovery::Failure>& failed) {
    if (!failed || failed->stopped) return std::nullopt;
    return Message{failed->text, Say(TextId::TitleError), platform::Icon::Error};
}

recovery::StripeProgress ProgressOf(Job& job) {
    return [&job](int64_t done, int64_t total) { return job.FinishingProgress(done, total); };
}

}  // namespace

void AddRecoveryStep(NativeSet& job, int count, bool bringDown, std::vector<std::string>* written) {
    job.finishingStep = [&job, count, bringDown, written](Job&) -> StepResult {
        const int32_t parts = job.header.partCount;
        if (count > parts && !bringDown)
            return Message{
                Say(TextId::CliRecoveryCount, {std::to_string(recovery::kMostRecoveryParts)}),
                Say(TextId::TitleError), platform::Icon::Error};
        const std::string base = job.choices.folder + job.choices.fileName;
        std::vector<std::string> paths;
        for (int32_t number = 1; number <= parts; ++number)
            paths.push_back(NativePartName(base, number));
        // The digests the split stored are those of its parts' files, but for
        // the last one, which now ends with them.
        std::vector<std::optional<Digest>> known;
        for (size_t i = 0; i + 1 < job.digests.size(); ++i)
            known.push_back(DigestFromHex(job.digests[i]));
        return JobFailure(recovery::ProtectParts(paths, base, std::min<int>(count, parts), written,
                                                 known, std::nullopt, ProgressOf(job)));
    };
}

std::optional<Digest> DigestFromHex(std::string_view hex) {
    Digest digest{};
    if (hex.size() != 2 * digest.size()) return std::nullopt;
    const auto nibble = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    for (size_t i = 0; i < digest.size(); ++i) {
        const int high = nibble(hex[2 * i]), low = nibble(hex[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        digest[i] = static_cast<uint8_t>(high << 4 | low);
    }
    return digest;
}

JoinProtection ExamineForJoin(const std::string& anyPart) {
    JoinProtection found;
    if (!recovery::HasRecoveryParts(anyPart)) return found;
    found.protection = recovery::ExamineProtection(anyPart);
    const recovery::Protection& protection = found.protection;
    if (!protection.header) return found;
    found.repairs =
        !protection.plan.Whole() && protection.plan.Repairable() && protection.plan.lostData > 0;
    found.dataChecked = protection.plan.lostData == 0;
    return found;
}

std::unique_ptr<Job> OpenProtectedSet(const recovery::Protection& protection, Audience audience,
                                      Messages& said, const FormatRow** kind) {
    if (!protection.header) return nullptr;
    const recovery::RecoveryHeader& h = *protection.header;
    const auto intact = [&](int j) {
        return protection.shards[size_t(j)].state == recovery::ShardState::Good;
    };
    const FormatRow* native = nullptr;
    for (const FormatRow& row : JoinFormats())
        if (row.code == FormatKind::Native && !native) native = &row;
    const std::string first = protection.shards[0].path;
    // A native set: its first part's name, and a header that the part, or
    // what the recovery parts rebuild of it, holds for this many parts.
    if (IsFirstPartName(first)) {
        const std::optional<std::vector<uint8_t>> bytes =
            recovery::DataPartBytes(protection, 0, 0, kHeaderSize);
        std::array<uint8_t, kHeaderSize> head{};
        if (bytes) std::copy(bytes->begin(), bytes->end(), head.begin());
        const NativeHeader read = DecodeHeader(head);
        if (bytes && IsValidHeader(read) && read.partCount == h.dataParts) {
            auto job = std::make_unique<NativeSet>();
            job->sourcePath = first;
            job->sourceSize = h.shards[0].bytes;
            job->opened = true;
            if (!job->OpenFromHeader(head, said, false)) return nullptr;
            if (kind) *kind = native;
            return job;
        }
    }
    // Another kind: its parts tell it, from the first one still intact.
    for (int j = 0; j < h.dataParts; ++j) {
        if (!intact(j)) continue;
        const FoundKind found = FindKind(protection.shards[size_t(j)].path);
        if (found.formats.size() != 1) {
            SayNoSingleKind(found, audience, said);
            return nullptr;
        }
        std::unique_ptr<Job> job = found.formats.front()->make();
        if (OpenChosenSet(*job, found.detection.path, said) != Opening::Opened) return nullptr;
        if (kind) *kind = found.formats.front();
        return job;
    }
    return nullptr;
}

bool OpensFromRecoveryParts(const JoinProtection& found, const std::string& given) {
    return found.protection.header &&
           (found.repairs || recovery::IsRecoveryPartName(platform::FileNameOf(given)));
}

std::unique_ptr<Job> OpenWithRecoveryParts(const std::string& given, Audience audience,
                                           Messages& said) {
    const JoinProtection found = ExamineForJoin(given);
    if (!OpensFromRecoveryParts(found, given)) return nullptr;
    return OpenProtectedSet(found.protection, audience, said);
}

std::optional<std::string> IrreparableLine(const recovery::Protection& protection) {
    if (!protection.header || protection.plan.Repairable()) return std::nullopt;
    // Worded as a line of verify's report: a message without its line's end.
    std::string line = recovery::IrreparableText(protection.plan);
    while (!line.empty() && line.back() == '\n') line.pop_back();
    return line;
}

std::optional<std::string> RepairFirstLine(const std::string& anyPart) {
    if (!recovery::HasRecoveryParts(anyPart)) return std::nullopt;
    const recovery::Protection protection = recovery::ExamineProtection(anyPart);
    if (!protection.header || !protection.plan.Repairable() || protection.plan.Whole())
        return std::nullopt;
    return Say(TextId::JoinRepairFirst, {platform::VisibleText(anyPart)});
}

void JoinRepairingOnWorker(Job& job, const recovery::Protection& protection,
                           const std::string& name) {
    job.choices.fileName = name;
    job.joinInstead = [protection, name](Job& joining) -> StepResult {
        // Where each part's data lie: after the header of its kind, up to the
        // digests of a native set's last part.
        std::vector<recovery::JoinPiece> pieces;
        DataOffsets offsets;
        for (const FormatRow& row : JoinFormats())
            if (row.code == joining.formatKind) offsets = row.offsets;
        const auto* native =
            joining.formatKind == FormatKind::Native ? dynamic_cast<NativeSet*>(&joining) : nullptr;
        for (int j = 0; j < protection.header->dataParts; ++j) {
            const int64_t size = protection.header->shards[size_t(j)].bytes;
            if (native) {
                pieces.push_back(
                    {j == 0 ? int64_t(kHeaderSize) : 0, native->DataBytesOf(j + 1, size)});
            } else {
                const int64_t from = j == 0 ? offsets.first : offsets.later;
                pieces.push_back({from, size - from});
            }
        }
        const std::string output = joining.choices.folder + name;
        if (platform::FileExists(output))
            return JobFailure(recovery::Failure{
                Say(TextId::RecoveryWriteFailed, {platform::ReasonLine(output, EEXIST)})});
        return JobFailure(recovery::JoinRepairing(protection, pieces, output, ProgressOf(joining)));
    };
}

std::vector<std::string> RebuiltLines(const recovery::Protection& protection) {
    std::vector<std::string> lines;
    for (const int lost : protection.plan.lost)
        if (lost < protection.header->dataParts)
            lines.push_back(Say(TextId::JoinRebuiltLine,
                                {std::to_string(lost + 1),
                                 platform::VisibleText(protection.shards[size_t(lost)].path)}));
    return lines;
}

}  // namespace workflow
