#include <cstdio>
#include <ctime>
#include <string>

#include "cli/Commands.h"
#include "core/DisplayNumbers.h"
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
    char text[48];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", date.tm_mday, date.tm_mon + 1,
                  date.tm_year + 1900);
    return text;
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

}  // namespace

int Info(const Args& args, Context& ctx) {
    const Parsed parsed = ParseOptions(args, {{"--format", true}}, 1);
    if (!parsed.error.empty()) return UsageError(ctx, parsed.error);

    // A first part of the 1.0 format is described as it is, with what to do with it.
    const std::string* kind = parsed.Value("--format");
    if ((kind == nullptr || *kind == "native") && IsLegacyFirstPart(parsed.positionals[0])) {
        LegacySet legacy;
        if (!workflow::OpenLegacySet(legacy, parsed.positionals[0], platform::ShowAfter()))
            return kExitFailed;
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
    std::string detected;
    if (std::optional<int> status = OpenSetOfKind(parsed, ctx, opened, &detected)) return *status;
    if (!detected.empty()) ctx.out << Say(TextId::InfoDetectedKind, {detected});
    auto* native = dynamic_cast<NativeSet*>(opened.get());
    if (native == nullptr) {
        // A foreign set says only its name, its parts and what it announces.
        auto& foreign = static_cast<ForeignSet&>(*opened);
        ctx.out << Say(TextId::InfoOriginalName, {platform::VisibleText(foreign.choices.fileName)})
                << SizeLine(TextId::InfoAnnouncedSize, foreign.rebuiltSize)
                << Say(TextId::InfoPartCount,
                       {std::to_string(foreign.LastNumber() - foreign.FirstNumber() + 1)});
        return kExitOk;
    }
    const NativeHeader& header = native->header;
    ctx.out << Say(TextId::InfoOriginalName, {platform::VisibleText(header.originalName)})
            << SizeLine(TextId::InfoOriginalSize, header.originalSize)
            << Say(TextId::InfoPartCount, {std::to_string(header.partCount)})
            << Say(TextId::InfoSplitDate, {DateText(header.splitDate)})
            << DigestsLine(header.hasDigests == 1);
    return kExitOk;
}

}  // namespace cli
