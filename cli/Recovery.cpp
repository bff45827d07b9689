#include "cli/Recovery.h"

#include <cerrno>

#include "core/Job.h"
#include "formats/FormatTable.h"
#include "formats/native/NativeSet.h"
#include "formats/recovery/RecoverySet.h"
#include "platform/Fs.h"
#include "platform/Messages.h"
#include "platform/Reasons.h"
#include "texts/Texts.h"

namespace cli {

using texts::Say;
using texts::TextId;

bool ReadRecoveryCount(const Parsed& parsed, int64_t parts, int& count, std::string& error) {
    count = 0;
    if (!parsed.Has("--recovery")) return true;
    int64_t value = 0;
    const int64_t most = recovery::kMostRecoveryParts;
    if (!ReadNumber(parsed, "--recovery", 1, most, value, error)) return false;
    if (parts > 0 && value > parts) {
        error = Say(TextId::CliRecoveryCount, {std::to_string(most)});
        return false;
    }
    count = static_cast<int>(value);
    return true;
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

int WriteRecoveryParts(const std::vector<std::string>& parts, const std::string& stemPath,
                       int count, Context& ctx, const std::vector<std::optional<Digest>>& known,
                       bool say) {
    std::vector<std::string> written;
    if (const std::optional<recovery::Failure> failed =
            recovery::ProtectParts(parts, stemPath, count, &written, known)) {
        platform::ShowMessage(nullptr, failed->text, Say(TextId::TitleError),
                              platform::Icon::Error);
        return kExitFailed;
    }
    for (const std::string& path : written)
        if (say) ctx.out << Say(TextId::ProtectWrittenLine, {platform::VisibleText(path)});
    return kExitOk;
}

int ProtectSplitSet(const NativeSet& job, int count, bool say, Context& ctx) {
    // A split of a stream learns its count of parts only at its end.
    const int32_t parts = job.header.partCount;
    if (count > parts) {
        platform::ShowMessage(
            nullptr, Say(TextId::CliRecoveryCount, {std::to_string(recovery::kMostRecoveryParts)}),
            Say(TextId::TitleError), platform::Icon::Error);
        return kExitFailed;
    }
    const std::string base = job.choices.folder + job.choices.fileName;
    std::vector<std::string> paths;
    for (int32_t number = 1; number <= parts; ++number)
        paths.push_back(NativePartName(base, number));
    // The digests the split stored are those of its parts' files, but for the
    // last one, which now ends with them.
    std::vector<std::optional<Digest>> known;
    for (size_t i = 0; i + 1 < job.digests.size(); ++i)
        known.push_back(DigestFromHex(job.digests[i]));
    return WriteRecoveryParts(paths, base, count, ctx, known, say);
}

int JoinRepairing(Job& job, const recovery::Protection& protection, const std::string& name,
                  bool say, Context& ctx) {
    // Where each part's data lie: after the header of its kind, up to the
    // digests of a native set's last part.
    std::vector<recovery::JoinPiece> pieces;
    DataOffsets offsets;
    for (const FormatRow& row : JoinFormats())
        if (row.code == job.formatKind) offsets = row.offsets;
    const auto* native =
        job.formatKind == FormatKind::Native ? dynamic_cast<NativeSet*>(&job) : nullptr;
    for (int j = 0; j < protection.header->dataParts; ++j) {
        const int64_t size = protection.header->shards[size_t(j)].bytes;
        if (native) {
            pieces.push_back({j == 0 ? int64_t(kHeaderSize) : 0, native->DataBytesOf(j + 1, size)});
        } else {
            const int64_t from = j == 0 ? offsets.first : offsets.later;
            pieces.push_back({from, size - from});
        }
    }
    const std::string output = job.choices.folder + name;
    std::optional<recovery::Failure> failed;
    if (platform::FileExists(output))
        failed = recovery::Failure{
            Say(TextId::RecoveryWriteFailed, {platform::ReasonLine(output, EEXIST)})};
    else
        failed = recovery::JoinRepairing(protection, pieces, output);
    if (failed) {
        platform::ShowMessage(nullptr, failed->text, Say(TextId::TitleError),
                              platform::Icon::Error);
        return kExitFailed;
    }
    for (const int lost : protection.plan.lost)
        if (say && lost < protection.header->dataParts)
            ctx.out << Say(TextId::JoinRebuiltLine,
                           {std::to_string(lost + 1),
                            platform::VisibleText(protection.shards[size_t(lost)].path)});
    platform::ShowMessage(nullptr, Say(TextId::JoinSucceeded), Say(TextId::TitleProgram),
                          platform::Icon::Info);
    return kExitOk;
}

int VerifyStatus(bool setWhole, const recovery::Protection& protection) {
    if (!protection.header) return setWhole ? kExitOk : kExitFailed;
    const recovery::RepairPlan& plan = protection.plan;
    if (plan.Whole()) return setWhole ? kExitOk : kExitFailed;
    return plan.Repairable() ? kExitRepairable : kExitFailed;
}

}  // namespace cli
