#include "formats/native/LegacySet.h"

#include <array>
#include <cerrno>
#include <optional>

#include "core/CopyLoop.h"
#include "core/DisplayNumbers.h"
#include "formats/Workflow.h"
#include "formats/native/DiskFields.h"
#include "formats/native/NativeSet.h"
#include "platform/File.h"
#include "platform/Fs.h"
#include "platform/Reasons.h"
#include "texts/Texts.h"

using platform::Icon;
using texts::Say;
using texts::TextId;

namespace {

constexpr char kKeptEnding[] = ".ancien";
constexpr char kConvertEnding[] = ".convert";

constexpr size_t kOriginalSizeAt = 20, kPayloadAt = 24, kOffsetAt = 28;
constexpr size_t kNameAt = 11, kCountAt = 112, kDateAt = 120, kFlagAt = 128;

// What the part files are called in the messages: the folder is the set's own.
std::string Quoted(const std::string& path) {
    return Say(TextId::QuotedFileName, {platform::FileNameOf(path)});
}

std::string KeptExists(const std::string& kept) {
    return Say(TextId::KeptFileExists, {Quoted(kept)});
}

// The numbers of a set that the 1.0 splitter could have written. Anything else
// would have the conversion copy bytes from the wrong places, or write a
// header that the joiner refuses after the old first part was put aside (a
// set of one part is one of those).
bool Consistent(const LegacyLeadBlock& lead, const LegacyDescriptionBlock& description) {
    return lead.descriptionOffset >= 0 && lead.payloadLength >= lead.descriptionOffset &&
           lead.originalSize > 0 && lead.payloadLength <= lead.originalSize &&
           description.partCount >= 2 && description.partCount <= lead.originalSize;
}

int64_t DigestBytes(const LegacyDescriptionBlock& description) {
    return description.digestFlag == 1
               ? static_cast<int64_t>(kDigestTextSize) * description.partCount
               : 0;
}

enum class Swap { Done, OldKept, OldRestored, OldAside };

// How the swap of the first part ended, and the errno of the rename that failed.
struct SwapResult {
    Swap swap;
    int error = 0;
};

// Puts the converted file under the first part's name and the old first part
// aside. When the second rename fails the old part goes back under its name,
// so that the set stays usable; nothing is ever replaced or deleted.
SwapResult SwapFirstPart(const std::string& first, const std::string& converted,
                         const std::string& kept) {
    int error = 0;
    if (!platform::RenameNoReplace(first, kept, &error)) return {Swap::OldKept, error};
    if (platform::RenameNoReplace(converted, first, &error)) return {Swap::Done};
    const int why = error;
    return {platform::RenameNoReplace(kept, first) ? Swap::OldRestored : Swap::OldAside, why};
}

std::optional<Message> CopyFailure(CopyResult result, int error, const std::string& first,
                                   const std::string& converted) {
    switch (result) {
        case CopyResult::Done:
        case CopyResult::Cancelled:
            break;
        case CopyResult::ReadFailed:
            return Message{
                Say(TextId::LegacyReadFailed, {Quoted(first), platform::ReasonLine(first, error)}),
                Say(TextId::TitleConversionStopped), Icon::Error};
        case CopyResult::SourceEnded:
            return Message{Say(TextId::LegacyShorterThanBlocks, {Quoted(first)}),
                           Say(TextId::TitleConversionStopped), Icon::Error};
        case CopyResult::SourceChanged:
            return Message{Say(TextId::LegacyChanged, {Quoted(first)}),
                           Say(TextId::TitleConversionStopped), Icon::Error};
        case CopyResult::WriteFailed:
            return Message{Say(TextId::LegacyWriteFailed,
                               {Quoted(converted), platform::ReasonLine(converted, error)}),
                           Say(TextId::TitleError), Icon::Error};
    }
    return std::nullopt;
}

std::optional<Message> SwapFailure(SwapResult result, const std::string& first,
                                   const std::string& converted, const std::string& kept) {
    const std::string stopped = Say(TextId::TitleConversionStopped);
    switch (result.swap) {
        case Swap::Done:
            break;
        case Swap::OldKept:
            if (platform::FileExists(kept))
                return Message{KeptExists(kept), stopped, Icon::Warning};
            return Message{
                Say(TextId::LegacyCannotPutAside,
                    {Quoted(first), Quoted(kept), platform::ReasonLine(first, result.error)}),
                stopped, Icon::Warning};
        case Swap::OldRestored:
            return Message{
                Say(TextId::LegacyOldRestored, {Quoted(converted), Quoted(first),
                                                platform::ReasonLine(converted, result.error)}),
                stopped, Icon::Warning};
        case Swap::OldAside:
            return Message{
                Say(TextId::LegacyOldAside, {Quoted(converted), Quoted(first), Quoted(kept),
                                             platform::ReasonLine(converted, result.error)}),
                stopped, Icon::Warning};
    }
    return std::nullopt;
}

}  // namespace

LegacyLeadBlock DecodeLead(std::span<const uint8_t, kLeadSize> bytes) {
    return {LittleEndianAt<int32_t, kOriginalSizeAt>(bytes),
            LittleEndianAt<int32_t, kPayloadAt>(bytes), LittleEndianAt<int32_t, kOffsetAt>(bytes)};
}

LegacyDescriptionBlock DecodeDescription(std::span<const uint8_t, kDescriptionSize> bytes) {
    return {LengthTextAt<kNameAt, kLegacyNameRoom>(bytes), LittleEndianAt<int32_t, kCountAt>(bytes),
            LittleEndianAt<double, kDateAt>(bytes), LittleEndianAt<int32_t, kFlagAt>(bytes)};
}

bool HasDescriptionSignature(std::span<const uint8_t, kDescriptionSize> bytes) {
    return HasLengthText(bytes, "Parcelwise");
}

bool LegacySet::OpenSet(Messages& said) {
    lead = {};
    description = {};
    digests.clear();
    openError.clear();
    readPath_.clear();

    platform::File file = platform::File::OpenRead(sourcePath);
    if (!file.IsOpen()) {
        said.push_back(
            {Say(TextId::CannotOpenFile, {platform::ReasonLine(sourcePath, file.OpenError())}),
             Say(TextId::TitleError), Icon::Error});
        return false;
    }
    // A block that the system refused to read says why; one that is wrong
    // or short is corrupt, and that is all there is to say.
    auto refuse = [this, &said](int error = 0) {
        const std::string corrupt = Say(TextId::NativeSetCorrupt, {""});
        said.push_back({error == 0 ? corrupt : corrupt + platform::ReasonLine(sourcePath, error),
                        Say(TextId::TitleCorruptFile), Icon::Warning});
        return false;
    };
    auto unknown = [this] {
        openError = Say(TextId::UnknownFileFormat);
        return false;
    };

    // Short reads leave zeros behind, which no mark or signature matches.
    std::array<uint8_t, kLeadSize> leadBytes{};
    if (const platform::IoResult r = file.Read(leadBytes.data(), leadBytes.size()); !r.ok())
        return refuse(r.error);
    if (!HasLegacyMark(leadBytes.data(), leadBytes.size())) return unknown();
    const LegacyLeadBlock readLead = DecodeLead(leadBytes);
    if (readLead.descriptionOffset < 0) return refuse();

    std::array<uint8_t, kDescriptionSize> descriptionBytes{};
    if (!file.Seek(static_cast<int64_t>(kLeadSize) + readLead.descriptionOffset)) return refuse();
    if (const platform::IoResult r = file.Read(descriptionBytes.data(), descriptionBytes.size());
        !r.ok())
        return refuse(r.error);
    if (!HasDescriptionSignature(descriptionBytes)) return unknown();
    const LegacyDescriptionBlock readDescription = DecodeDescription(descriptionBytes);
    if (!Consistent(readLead, readDescription)) return refuse();

    // A first part shorter than its blocks say cannot be converted; checking it
    // here also bounds the digest area by the file's real size.
    const int64_t digestBytes = DigestBytes(readDescription);
    const int64_t needed =
        static_cast<int64_t>(kLeadSize + kDescriptionSize) + readLead.payloadLength + digestBytes;
    if (file.Size() < needed) return refuse();
    std::string block(static_cast<size_t>(digestBytes), '\0');
    if (const platform::IoResult r = file.Read(block.data(), block.size()); r.bytes != digestBytes)
        return refuse(r.error);

    // The worker finds the set and renames the first part by this ending.
    if (!IsFirstPartName(sourcePath)) {
        said.push_back({Say(TextId::LegacyNotFirstPart), Say(TextId::TitleError), Icon::Warning});
        return false;
    }

    lead = readLead;
    description = readDescription;
    for (int64_t at = 0; at < digestBytes; at += static_cast<int64_t>(kDigestTextSize))
        digests.push_back(block.substr(static_cast<size_t>(at), kDigestTextSize));
    // The name comes from someone else's file: it must stay a plain file name.
    choices.fileName = workflow::NameFromSet(description.originalName, said);
    choices.folder = platform::FolderOf(sourcePath);
    readPath_ = sourcePath;
    return true;
}

void LegacySet::StartConvert() {
    worker_.Start([this] { ConvertThread(); });
}

void LegacySet::ConvertThread() {
    const bool named = IsFirstPartName(sourcePath);
    for (int32_t n = 1; n <= description.partCount; ++n) {
        if (!named || !platform::FileExists(NativeSetPart(sourcePath, n)))
            return Fail(Say(TextId::PartMissing, {std::to_string(n)}),
                        Say(TextId::TitleConversionStopped), Icon::Warning);
    }
    // Only the file whose blocks OpenSet read may be rewritten with them.
    if (readPath_.empty() || sourcePath != readPath_)
        return Fail(Say(TextId::FirstPartNotAccessible, {""}), Say(TextId::TitleError),
                    Icon::Error);
    const std::string first = sourcePath;
    const std::string kept = first + kKeptEnding;
    const std::string converted = first + kConvertEnding;
    // The old first part must find room before any work is done.
    if (platform::FileExists(kept))
        return Fail(KeptExists(kept), Say(TextId::TitleConversionStopped), Icon::Warning);

    // The conversion has one copy phase, which takes the join's step value.
    step = Step::Joining;
    std::optional<platform::FileIdentity> made;
    std::optional<Message> failure = WriteConverted(first, converted, made);
    // Ctrl-C or the window's cancel: the set stays as it was, without the
    // half-written file.
    if (!failure && CancelRequested()) {
        if (made) TakeBack(converted, *made);
        return EndCancelled();
    }
    if (!failure)
        failure = SwapFailure(SwapFirstPart(first, converted, kept), first, converted, kept);
    if (failure) return Fail(failure->text, failure->title, failure->icon);
    ShowProgress();
    step = Step::Finished;
    EndOfWork();
}

std::optional<Message> LegacySet::WriteConverted(const std::string& first,
                                                 const std::string& converted,
                                                 std::optional<platform::FileIdentity>& made) {
    CopyBuffer buffer(choices.bufferSize);
    if (!buffer.Allocated())
        return Message{Say(TextId::NoCopyBuffer), Say(TextId::TitleOutOfMemory), Icon::Error};
    // The part that the conversion replaces is read by no one else meanwhile.
    platform::File source = platform::File::OpenRead(first, platform::Share::None);
    if (!source.IsOpen())
        return Message{
            Say(TextId::FirstPartNotAccessible, {platform::ReasonLine(first, source.OpenError())}),
            Say(TextId::TitleError), Icon::Error};
    platform::File target = platform::File::CreateNew(converted);
    if (!target.IsOpen())
        return Message{platform::CreationFailure(Say(TextId::ConvertCreateFailedListingCauses),
                                                 converted, target.OpenError()),
                       Say(TextId::TitleError), Icon::Warning};
    made = target.Identity();

    const int64_t size = source.Size();
    partBytes = size - static_cast<int64_t>(kLeadSize);
    partDoneBytes = 0;
    const NativeHeader header{"Parcelwise",
                              "1.1",
                              description.splitDate,
                              HeaderName(choices.fileName),
                              0,
                              description.partCount,
                              lead.originalSize};
    const auto headerBytes = EncodeHeader(header);
    // The data lies on both sides of the description block and the digests.
    const int64_t before = lead.descriptionOffset;
    const int64_t after = static_cast<int64_t>(lead.payloadLength) - before;
    const int64_t resume =
        static_cast<int64_t>(kLeadSize + kDescriptionSize) + before + DigestBytes(description);
    // Paused and cancelled between buffers, as a split or a join is.
    auto afterStep = [this](int64_t n) {
        partDoneBytes += n;
        ShowProgress();
        return PausePoint();
    };

    CopyResult result = CopyResult::Done;
    int error = 0;
    if (size < 0 || !source.Seek(kLeadSize)) result = CopyResult::ReadFailed, error = EIO;
    if (result == CopyResult::Done) {
        const platform::IoResult w = target.Write(headerBytes.data(), headerBytes.size());
        if (!w.ok()) result = CopyResult::WriteFailed, error = w.error;
    }
    if (result == CopyResult::Done)
        result = CopyBytes(source, target, before, buffer, afterStep, &error);
    if (result == CopyResult::Done && !source.Seek(resume))
        result = CopyResult::ReadFailed, error = EIO;
    if (result == CopyResult::Done)
        result = CopyBytes(source, target, after, buffer, afterStep, &error);
    if (!target.Close() && result == CopyResult::Done)
        result = CopyResult::WriteFailed, error = target.CloseError();
    return CopyFailure(result, error, first, converted);
}

// Only the copy moves the bar: the conversion window shows nothing else.
void LegacySet::ShowProgress() {
    int position;
    if (step == Step::Joining && Percent(partDoneBytes, partBytes, position))
        display->SetOverallBar(position);
}

void LegacySet::EndOfWork() {
    ShowProgress();
    if (step == Step::Finished)
        display->ShowMessage(
            {Say(TextId::ConvertSucceeded), Say(TextId::TitleProgram), Icon::Info});
    else if (step == Step::Cancelled)
        display->ShowMessage({Say(TextId::JobCancelled), Say(TextId::TitleProgram), Icon::Warning});
    else
        display->ShowMessage(
            {Say(TextId::JobStoppedByError), Say(TextId::TitleProgram), Icon::Error});
    // The window keeps its job after a conversion, emptied: a second click
    // finds no set to convert.
    Reset();
    display->CloseAfterJob();
}
