#include <cstdint>
#include <optional>
#include <string>

#include "cli/Commands.h"
#include "cli/Json.h"
#include "core/SplitSize.h"
#include "formats/Workflow.h"
#include "formats/plain/PlainSet.h"
#include "texts/Texts.h"

namespace cli {

using texts::Say;
using texts::TextId;

namespace {

// Far above any file system's largest file: the check of the destination
// names the real limit.
constexpr int64_t kLargestPlainPart = INT64_MAX / 4;

std::string DigestName(PlainDigest digest) {
    switch (digest) {
        case PlainDigest::Md5:
            return "md5";
        case PlainDigest::Sha256:
            return "sha256";
        case PlainDigest::None:
            break;
    }
    return {};
}

}  // namespace

int SplitPlain(const Parsed& parsed, Context& ctx) {
    if (parsed.positionals[0] == "-") return UsageError(ctx, Say(TextId::CliPlainStream));
    for (const char* nativeOnly : {"--store-name", "--recovery"})
        if (parsed.Has(nativeOnly))
            return UsageError(ctx, Say(TextId::CliNotWithPlain, {nativeOnly}));
    if (parsed.Has("--md5") && parsed.Has("--sha256"))
        return UsageError(ctx, Say(TextId::CliOneDigestKind));
    if (parsed.Has("--scripts") && !parsed.Has("--md5") && !parsed.Has("--sha256"))
        return UsageError(ctx, Say(TextId::CliScriptsNeedPlain));

    int64_t sizeMo = 0, count = 0, bytes = 0;
    uint32_t bufferSize = ctx.defaults.bufferSize;
    std::optional<std::string> destName;
    std::string error;
    if (!ReadNumber(parsed, "--size", 1, 999, sizeMo, error) ||
        !ReadNumber(parsed, "--count", 1, 999, count, error) ||
        !ReadSize(parsed, "--bytes", kLargestPlainPart, bytes, error) ||
        !ReadPreset(parsed, kLargestPlainPart, bytes, error) ||
        !ReadBufferSize(parsed, bufferSize, error) || !ReadName(parsed, "--name", destName, error))
        return UsageError(ctx, error);
    const PlainDigest digest = parsed.Has("--sha256") ? PlainDigest::Sha256
                               : parsed.Has("--md5")  ? PlainDigest::Md5
                                                      : PlainDigest::None;

    PlainSet job;
    job.withScripts = parsed.Has("--scripts");
    int64_t partSize = 0;
    auto ended = [&](int status, bool ran) {
        if (!parsed.Has("--json")) return status;
        const bool made = status == kExitOk;
        const std::string checksums =
            made && digest != PlainDigest::None ? job.ChecksumPath() : std::string();
        const std::string digestName = DigestName(digest);
        ctx.out << SplitJson(status, job, ran,
                             {.storedName = job.choices.fileName,
                              .size = job.sourceSize,
                              .partSize = partSize,
                              .parts = made ? job.partCount : 0,
                              .plain = true,
                              .digest = digestName,
                              .checksumFile = checksums})
                << "\n";
        return status;
    };
    if (!workflow::OpenFileToSplit(job, parsed.positionals[0], platform::ShowAfter()))
        return ended(kExitFailed, false);
    if (const std::string* folder = parsed.Value("--folder"); folder && !UseFolder(job, *folder))
        return ended(kExitFailed, false);

    if (bytes > 0) {
        partSize = bytes;
    } else {
        const bool given = count > 0 || sizeMo > 0;
        const int mode = count > 0 ? kSizeModeNombre
                         : given   ? kSizeModeTaille
                                   : ctx.defaults.sizeMode;
        const int64_t value = count > 0 ? count : given ? sizeMo : ctx.defaults.defaultSize;
        partSize = PlainPartSizeFor(mode, value, job.sourceSize);
        if (mode == kSizeModeNombre) job.choices.partsAsked = value;
    }

    if (!workflow::CheckPlainSplit(job, destName.value_or(job.choices.fileName), partSize, digest,
                                   bufferSize, platform::ShowAfter()))
        return ended(kExitFailed, false);
    return ended(RunJob(job, false, ctx), true);
}

}  // namespace cli
