#include <optional>
#include <string>

#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/Recovery.h"
#include "core/SplitSize.h"
#include "formats/Workflow.h"
#include "formats/native/NativeSet.h"
#include "formats/recovery/RecoveryHeader.h"
#include "texts/Texts.h"

namespace cli {

using texts::Say;
using texts::TextId;

int Split(const Args& args, Context& ctx) {
    const Parsed parsed = ParseOptions(args,
                                       {{"--size", true},
                                        {"--count", true},
                                        {"--bytes", true},
                                        {"--md5", false},
                                        {"--recovery", true},
                                        {"--name", true},
                                        {"--store-name", true},
                                        {"--folder", true},
                                        {"--buffer", true},
                                        {"--json", false},
                                        {"--plain", false},
                                        {"--sha256", false},
                                        {"--scripts", false},
                                        {"--preset", true}},
                                       1);
    if (!parsed.error.empty()) return UsageError(ctx, parsed.error);
    if (parsed.Has("--size") + parsed.Has("--count") + parsed.Has("--bytes") +
            parsed.Has("--preset") >
        1)
        return UsageError(ctx, Say(TextId::CliOneSizeOption));
    if (parsed.Has("--plain")) return SplitPlain(parsed, ctx);
    for (const char* plainOnly : {"--sha256", "--scripts"})
        if (parsed.Has(plainOnly)) return UsageError(ctx, Say(TextId::CliPlainOnly, {plainOnly}));

    int64_t sizeMo = 0, count = 0, bytes = 0;
    uint32_t bufferSize = ctx.defaults.bufferSize;
    std::optional<std::string> destName, storeName;
    int recoveryParts = 0;
    std::string error;
    if (!ReadNumber(parsed, "--size", 1, 999, sizeMo, error) ||
        !ReadNumber(parsed, "--count", 1, 999, count, error) ||
        !ReadSize(parsed, "--bytes", kLargestPart, bytes, error) ||
        !ReadPreset(parsed, kLargestPart, bytes, error) ||
        !ReadBufferSize(parsed, bufferSize, error) ||
        !ReadName(parsed, "--name", destName, error) ||
        !ReadName(parsed, "--store-name", storeName, error) ||
        !ReadRecoveryCount(parsed, 0, recoveryParts, error))
        return UsageError(ctx, error);

    // "-" is the standard input, cut as it comes: its size, which a count of
    // parts needs, is known only at its end, and it has no name to give.
    const bool stream = parsed.positionals[0] == "-";
    if (stream && parsed.Has("--count")) return UsageError(ctx, Say(TextId::CliStreamCount));
    if (stream && !parsed.Has("--size") && !parsed.Has("--bytes") &&
        ctx.defaults.sizeMode == kSizeModeNombre)
        return UsageError(ctx, Say(TextId::CliStreamCount));
    if (stream && !destName) return UsageError(ctx, Say(TextId::CliStreamName));

    NativeSet job;
    int32_t partSize = 0;
    // With --json the last words on stdout say how the split ended and what it made.
    auto ended = [&](int status, bool ran) {
        if (!parsed.Has("--json")) return status;
        const bool made = status == kExitOk;
        const bool digests = job.header.hasDigests == 1;
        ctx.out << SplitJson(status, job, ran,
                             {.storedName = job.header.originalName,
                              .size = job.sourceSize,
                              .partSize = partSize,
                              .parts = made ? job.header.partCount : 0,
                              .plain = false,
                              .digest = digests ? "md5" : "",
                              .checksumFile = ""})
                << "\n";
        return status;
    };
    if (stream)
        workflow::TakeStreamToSplit(job, ".");
    else if (!workflow::OpenFileToSplit(job, parsed.positionals[0], platform::ShowAfter()))
        return ended(kExitFailed, false);
    if (const std::string* folder = parsed.Value("--folder"); folder && !UseFolder(job, *folder))
        return ended(kExitFailed, false);

    if (bytes > 0) {
        partSize = static_cast<int32_t>(bytes);
    } else if (count > 0) {
        partSize = PartSizeFor(kSizeModeNombre, count, job.sourceSize);
        job.choices.partsAsked = count;
    } else if (sizeMo > 0) {
        partSize = PartSizeFor(kSizeModeTaille, sizeMo, job.sourceSize);
    } else {
        partSize = PartSizeFor(ctx.defaults.sizeMode, ctx.defaults.defaultSize, job.sourceSize);
        if (ctx.defaults.sizeMode == kSizeModeNombre)
            job.choices.partsAsked = ctx.defaults.defaultSize;
    }

    const std::string sourceName = stream ? *destName : job.choices.fileName;
    const workflow::SplitChoice choice{.storedName = storeName.value_or(sourceName),
                                       .destName = destName.value_or(sourceName),
                                       .withDigests = parsed.Has("--md5"),
                                       .partSize = partSize,
                                       .bufferSize = bufferSize};
    if (!workflow::CheckSplit(job, choice, platform::ShowAfter())) return ended(kExitFailed, false);
    const int64_t parts = (job.sourceSize + partSize - 1) / partSize;
    if (!stream && recoveryParts > parts)
        return UsageError(
            ctx, Say(TextId::CliRecoveryCount, {std::to_string(recovery::kMostRecoveryParts)}));
    // Refused before the split rather than after it, when its parts are on disk.
    if (!stream && recoveryParts > 0 && parts + recoveryParts > recovery::kMostShards) {
        platform::ShowMessage(
            nullptr,
            Say(TextId::RecoveryTooManyShards,
                {std::to_string(recovery::kMostShards), std::to_string(parts + recoveryParts)}),
            Say(TextId::TitleError), platform::Icon::Error);
        return ended(kExitFailed, false);
    }
    return ended(RunSplitProtected(job, recoveryParts, !parsed.Has("--json"), ctx), true);
}

}  // namespace cli
