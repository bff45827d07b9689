#include "formats/native/NativeSet.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>

#include "core/CheckedPart.h"
#include "core/CopyLoop.h"
#include "core/DisplayNumbers.h"
#include "core/SplitSize.h"
#include "core/TextEncoding.h"
#include "formats/SetCheck.h"
#include "formats/Workflow.h"
#include "formats/native/DiskFields.h"
#include "formats/native/PartHasher.h"
#include "formats/native/md5.h"
#include "platform/Clock.h"
#include "platform/Env.h"
#include "platform/Errors.h"
#include "platform/File.h"
#include "platform/Fs.h"
#include "platform/Reasons.h"
#include "texts/Texts.h"

using platform::Icon;

using texts::Say;
using texts::TextId;

namespace {

// What a digest that could not be read compares as: equal to none.
const std::string kNoDigest;
// Added to what the joiner says of a set that a split stopped before its end.
std::string InterruptedLine(bool interrupted) {
    return interrupted ? Say(TextId::SetLooksInterrupted) : std::string();
}
// A name typed or pasted by the user must not lead outside the destination folder.
std::string UnsafeNameLine(const std::string& name) {
    return Say(TextId::UnsafeNameLine,
               {platform::IsReservedName(name) ? platform::ReservedNameReason()
                                               : platform::ForbiddenInNames()});
}

}  // namespace

bool IsFirstPartName(const std::string& path) {
    constexpr std::string_view kEnding = ".001.pcw";
    const std::string name = platform::FileNameOf(path);
    return name.size() > kEnding.size() && platform::EndsWithNoCase(name, kEnding);
}

std::string NativeSetPart(const std::string& firstPart, int64_t number) {
    constexpr size_t kEnding = 8;     // ".001.pcw"
    constexpr size_t kExtension = 4;  // ".pcw"
    if (firstPart.size() < kEnding) return std::string();
    return firstPart.substr(0, firstPart.size() - kEnding) + "." + NumberText(number, 3) +
           firstPart.substr(firstPart.size() - kExtension);
}

std::string NativeSet::StoredDigest(int32_t number) const {
    const size_t index = static_cast<size_t>(number - 1);
    if (index < digests.size()) return digests[index];
    platform::File last =
        platform::File::OpenRead(PartPath(header.partCount), platform::Share::Read);
    const int64_t size = last.IsOpen() ? last.Size() : -1;
    const int64_t at =
        size - static_cast<int64_t>(kDigestTextSize) * (header.partCount - number + 1);
    std::string digest(kDigestTextSize, '\0');
    if (size < 0 || at < 0 || !last.Seek(at) ||
        last.Read(digest.data(), digest.size()).bytes != static_cast<int64_t>(digest.size()))
        return std::string();
    return digest;
}

std::string NativePartName(const std::string& base, int64_t number) {
    return base + "." + NumberText(number, 3) + ".pcw";
}

NativeSet::NativeSet() {
    formatKind = FormatKind::Native;
}

void NativeSet::ResetSet() {
    Reset();
    header.signature.clear();
    header.version.clear();
    header.originalName.clear();
    header.hasDigests = 0;
    header.partCount = 0;
    header.originalSize = 0;
}

int64_t NativeSet::DataBytesOf(int32_t number, int64_t fileSize) const {
    int64_t bytes = fileSize;
    if (number == 1) bytes -= static_cast<int64_t>(kHeaderSize);
    if (number == header.partCount && header.hasDigests == 1)
        bytes -= static_cast<int64_t>(kDigestTextSize) * header.partCount;
    return bytes;
}

// ---------------------------------------------------------------------------
// Split

bool NativeSet::CheckSplitParameters(const std::string& sourceName, const std::string& destName,
                                     bool withDigests, int32_t partSize, Messages& said) {
    bool valid = true;
    std::string problems;
    if (sourceName.empty()) {
        valid = false;
        problems += Say(TextId::OriginalNameLengthLine);
    } else {
        header.originalName = HeaderName(sourceName);
        nameAsked_ = HeaderName(sourceName) == Utf8Left(sourceName, kOriginalNameRoom)
                         ? std::string()
                         : sourceName;
    }
    if (destName.empty()) {
        valid = false;
        problems += Say(TextId::DestinationNameLengthLine);
    } else if (!platform::IsSafeFileName(destName)) {
        valid = false;
        problems += UnsafeNameLine(destName);
    } else {
        choices.fileName = Utf8Left(destName, kDestNameRoom);
        // The longest part name is that of the last part.
        const int64_t parts = partSize > 0 ? (sourceSize + partSize - 1) / partSize : 1;
        const std::string lastPart = platform::FileNameOf(NativePartName(choices.fileName, parts));
        if (!NameFits(choices.folder, lastPart.size(), problems)) valid = false;
    }
    const bool stream = choices.fromStandardInput;
    // A set stores its sizes on 31 bits: PartSizeFor says kPartTooLarge for more.
    static constexpr PartLimits kNativeLimits{
        kLargestPart, kMostParts,
        [](int64_t, int64_t source, int64_t largest) {
            return Say(TextId::PartTooLargeLine,
                       {std::to_string(largest), std::to_string((source + largest - 1) / largest)});
        },
        TextId::TooManyPartsLine};
    const std::string sizeProblem =
        stream ? std::string()
               : PartSizeProblem(partSize == kPartTooLarge ? kLargestPart + 1 : partSize,
                                 choices.partsAsked, sourceSize, kNativeLimits);
    if (stream && partSize <= 0) {
        valid = false;
        problems += Say(TextId::PartSizeNotPositiveLine);
    } else if (!sizeProblem.empty()) {
        valid = false;
        problems += sizeProblem;
    } else {
        // A stream's size, and what it asks of the part size, is known at its end.
        choices.partSize = partSize;
    }
    header.hasDigests = withDigests ? 1 : 0;
    return workflow::EndChecks(
        valid, problems, workflow::FirstOutputPath(*this, workflow::Direction::Split, destName),
        choices.folder + destName, said);
}

void NativeSet::StartSplit() {
    joining = false;
    worker_.Start([this] { SplitThread(); });
}

void NativeSet::SplitThread() {
    step = Step::Splitting;
    totalBytes = sourceSize;
    doneBytes = 0;
    partNumber = 0;
    header.signature = kNativeSignature;
    header.version = kNativeVersion;
    header.splitDate = platform::Today();
    header.originalSize = sourceSize;
    header.partCount = 0;

    // Only a checked job gets here; without a part size no part would ever
    // fill and parts would be made until the disk is full.
    if (choices.partSize <= 0)
        return Fail(Say(TextId::PartSizeNotPositive), Say(TextId::TitleError), Icon::Error);
    const bool stream = choices.fromStandardInput;
    partsToMake_ = stream ? kMostParts : (sourceSize + choices.partSize - 1) / choices.partSize;

    // Every file is closed when WriteSet returns: the message comes after.
    std::vector<platform::FileIdentity> made;
    const StepResult result = WriteSet(made);
    // Only the parts made here, and only while they are still the files made.
    auto takeBackParts = [&] {
        const std::string base = choices.folder + choices.fileName;
        for (size_t i = 0; i < made.size(); ++i)
            TakeBack(NativePartName(base, static_cast<int64_t>(i) + 1), made[i]);
    };
    // A stream cannot be read again: what a failed split of it made is of no use.
    if (result && stream) takeBackParts();
    if (result) return Fail(*result);
    if (CancelRequested()) {
        takeBackParts();
        return EndCancelled();
    }
    ShowProgress();
    if (!RunFinishingStep(takeBackParts)) return;
    step = Step::Finished;
    EndOfWork();
}

// Once a stream ended, its size is the set's, and a set it cannot make is refused.
StepResult NativeSet::EndOfStream() {
    sourceSize = doneBytes;
    totalBytes = sourceSize;
    header.originalSize = sourceSize;
    partsToMake_ = header.partCount;
    const std::string bytes = std::to_string(sourceSize);
    if (sourceSize <= kSmallestSource)
        return Message{Say(TextId::StreamTooSmall, {bytes}), Say(TextId::TitleFileTooSmall),
                       Icon::Warning};
    if (header.partCount < 2)
        return Message{Say(TextId::StreamInOnePart, {bytes, std::to_string(choices.partSize)}),
                       Say(TextId::TitleError), Icon::Warning};
    return std::nullopt;
}

StepResult NativeSet::PartWriteFailure(int32_t number, int error) const {
    return Message{Say(TextId::NativePartWriteFailed,
                       {NumberText(number, 3),
                        platform::ReasonLine(
                            NativePartName(choices.folder + choices.fileName, number), error)}),
                   Say(TextId::TitleError), Icon::Error};
}

StepResult NativeSet::MissingPart(int32_t number) const {
    const std::string name = NativePartName(choices.folder + choices.fileName, number);
    return Message{Say(TextId::NativePartMissing,
                       {NumberText(number, 3),
                        platform::ReasonLine(name, platform::FileExists(name) ? ESTALE : ENOENT)}),
                   Say(TextId::TitleError), Icon::Error};
}

// Part 1 stays open until its header is written, the last part until its
// digests are: both are written through the handles that created them and
// never opened by name again, so that a name swapped for a link meanwhile
// leads nowhere. The parts in between are only read again, reopened without
// following links and only when they are the files made here. The header is
// written last of the data: a set stopped before it has none, and the joiner
// says that it looks interrupted.
StepResult NativeSet::WriteSet(std::vector<platform::FileIdentity>& made) {
    CopyBuffer buffer(choices.bufferSize);
    if (!buffer.Allocated())
        return Message{Say(TextId::NoSplitBuffer), Say(TextId::TitleError), Icon::Error};
    const bool stream = choices.fromStandardInput;
    platform::File source =
        stream ? platform::File::StandardInput() : platform::File::OpenRead(sourcePath);
    if (!source.IsOpen())
        return Message{Say(TextId::SourceNotAccessible,
                           {platform::ReasonLine(sourcePath, source.OpenError())}),
                       Say(TextId::TitleError), Icon::Error};
    // The set records the size measured at the open: a file that changed since
    // would be cut to a length it no longer has.
    if (!stream && source.Size() != sourceSize)
        return Message{Say(TextId::SourceResized), Say(TextId::TitleError), Icon::Error};
    // A stream ends when it ends: its last part is the one it ends in.
    bool streamEnded = false;

    const std::string base = choices.folder + choices.fileName;
    auto create = [&](int32_t number, platform::File& part) -> StepResult {
        part = platform::File::CreateNew(NativePartName(base, number), platform::Access::ReadWrite);
        if (!part.IsOpen())
            return Message{
                platform::CreationFailure(Say(TextId::CreateFailedListingCauses),
                                          NativePartName(base, number), part.OpenError()),
                Say(TextId::TitleError), Icon::Error};
        made.push_back(part.Identity().value_or(platform::FileIdentity{}));
        return std::nullopt;
    };
    auto copyPart = [&](platform::File& target, int32_t number) -> StepResult {
        const CopyResult result = CopyWithProgress(source, target, choices.partSize, buffer);
        // The digests find a part again by what it is once written.
        if (std::optional<platform::FileIdentity> written = target.Identity())
            made.back() = *written;
        switch (result) {
            case CopyResult::Done:
            case CopyResult::Cancelled:
                return std::nullopt;
            case CopyResult::ReadFailed:
                return Message{
                    Say(TextId::SourceReadFailed, {platform::ReasonLine(sourcePath, CopyError())}),
                    Say(TextId::TitleError), Icon::Error};
            case CopyResult::SourceEnded:
                if (stream) {
                    streamEnded = true;
                    return std::nullopt;
                }
                return Message{Say(TextId::SourceEndedEarly), Say(TextId::TitleError), Icon::Error};
            default:
                return PartWriteFailure(number, CopyError());
        }
    };
    auto close = [&](platform::File& part, int32_t number) -> StepResult {
        if (part.Close()) return std::nullopt;
        return PartWriteFailure(number, part.CloseError());
    };

    platform::File first;
    if (StepResult failed = create(1, first)) return failed;
    if (!first.Seek(kHeaderSize)) return PartWriteFailure(1, EIO);
    if (StepResult failed = copyPart(first, 1)) return failed;
    if (CancelRequested()) return std::nullopt;
    header.partCount = 1;
    partNumber = 1;
    ShowProgress();

    platform::File target;
    for (int32_t k = 2; stream ? !streamEnded : doneBytes < totalBytes; ++k) {
        if (stream && k > kMostParts)
            return Message{Say(TextId::StreamTooManyParts,
                               {std::to_string(kMostParts), std::to_string(choices.partSize)}),
                           Say(TextId::TitleError), Icon::Error};
        // A stream's part before stays open until this one holds a byte: the
        // stream may have ended with it, and then it is the last.
        if (k > 2 && !stream)
            if (StepResult failed = close(target, k - 1)) return failed;
        platform::File next;
        if (StepResult failed = create(k, next)) return failed;
        if (!stream && doneBytes + choices.partSize > totalBytes)
            choices.partSize = static_cast<int32_t>(totalBytes - doneBytes);
        const int64_t before = doneBytes;
        if (StepResult failed = copyPart(next, k)) return failed;
        if (CancelRequested()) return std::nullopt;
        if (stream && doneBytes == before) {
            next.Close();
            TakeBack(NativePartName(base, k), made.back());
            made.pop_back();
            break;
        }
        if (k > 2 && stream)
            if (StepResult failed = close(target, k - 1)) return failed;
        target = std::move(next);
        header.partCount = k;
        partNumber = k;
    }
    if (stream)
        if (StepResult refused = EndOfStream()) return refused;
    platform::File& last = header.partCount == 1 ? first : target;

    // A part no longer under its name leaves no set behind, whatever is written.
    if (!first.IsNamedBy(NativePartName(base, 1))) return MissingPart(1);
    const auto headerBytes = EncodeHeader(header);
    if (!first.Seek(0)) return PartWriteFailure(1, EIO);
    if (const platform::IoResult w = first.Write(headerBytes.data(), headerBytes.size()); !w.ok())
        return PartWriteFailure(1, w.error);
    source.Close();

    if (header.hasDigests == 1)
        if (StepResult failed = WriteDigests(first, last, made)) return failed;
    if (CancelRequested()) return std::nullopt;
    if (StepResult failed = close(first, 1)) return failed;
    if (header.partCount > 1) return close(last, header.partCount);
    return std::nullopt;
}

StepResult NativeSet::WriteDigests(platform::File& first, platform::File& last,
                                   const std::vector<platform::FileIdentity>& made) {
    const std::string base = choices.folder + choices.fileName;
    step = Step::CreatingDigests;
    digests.assign(static_cast<size_t>(header.partCount), std::string());
    const int64_t held = std::max<int64_t>(platform::OpenFileLimit() / 2, 1);
    // The phase shows before any part is looked at again.
    partNumber = 1;
    partBytes = first.Size();
    ShowProgress();
    for (int32_t from = 1; from <= header.partCount; from += static_cast<int32_t>(held)) {
        const int32_t to =
            static_cast<int32_t>(std::min<int64_t>(from + held - 1, header.partCount));
        std::vector<platform::File> reopened(static_cast<size_t>(to - from + 1));
        std::vector<PartToHash> batch;
        for (int32_t i = from; i <= to; ++i) {
            const std::string name = NativePartName(base, i);
            platform::File* part = i == 1 ? &first : i == header.partCount ? &last : nullptr;
            if (part == nullptr) {
                part = &reopened[static_cast<size_t>(i - from)];
                *part = platform::File::OpenReadSame(name, made[static_cast<size_t>(i - 1)]);
            }
            int error = part->IsOpen() ? 0 : part->OpenError();
            if (part->IsOpen() && !part->IsNamedBy(name))
                error = platform::FileExists(name) ? ESTALE : ENOENT;
            if (error != 0) return HashFailure(i, error);
            batch.push_back({part, std::string(), 0, part->Size()});
        }
        const PartHashResult hashed = HashBatch(batch, from);
        if (CancelRequested()) return std::nullopt;
        if (hashed.failedPart >= 0) return HashFailure(from + hashed.failedPart, hashed.error);
        for (int32_t i = from; i <= to; ++i)
            digests[static_cast<size_t>(i - 1)] =
                DigestToHex(*hashed.digests[static_cast<size_t>(i - from)]);
    }
    if (!last.IsNamedBy(NativePartName(base, header.partCount)))
        return MissingPart(header.partCount);
    std::string block;
    for (const std::string& d : digests) block += d;
    if (!last.Seek(last.Size())) return PartWriteFailure(header.partCount, EIO);
    if (const platform::IoResult w = last.Write(block.data(), block.size()); !w.ok())
        return PartWriteFailure(header.partCount, w.error);
    return std::nullopt;
}

StepResult NativeSet::HashFailure(int32_t number, int error) const {
    return Message{Say(TextId::NativePartHashFailed,
                       {NumberText(number, 3),
                        platform::ReasonLine(
                            NativePartName(choices.folder + choices.fileName, number), error)}),
                   Say(TextId::TitleError), Icon::Error};
}

// ---------------------------------------------------------------------------
// Join

bool NativeSet::OpenSet(Messages& said) {
    header = NativeHeader{};
    digests.clear();
    platform::File file = platform::File::OpenRead(sourcePath);
    if (!file.IsOpen()) {
        said.push_back(
            {Say(TextId::CannotOpenFile, {platform::ReasonLine(sourcePath, file.OpenError())}),
             Say(TextId::TitleError), Icon::Error});
        return false;
    }
    // The other parts are named after this one's ".001.pcw": any other name
    // would check and copy files that are not the set.
    if (!IsFirstPartName(sourcePath)) {
        said.push_back({Say(TextId::NotFirstNativePart), Say(TextId::TitleError), Icon::Warning});
        return false;
    }
    std::array<uint8_t, kHeaderSize> bytes{};
    if (const platform::IoResult r = file.Read(bytes.data(), bytes.size()); !r.ok()) {
        said.push_back(
            {Say(TextId::CannotReadFileData, {platform::ReasonLine(sourcePath, r.error)}),
             Say(TextId::TitleReadFailed), Icon::Warning});
        return false;
    }
    file.Close();
    return OpenFromHeader(bytes, said, true);
}

bool NativeSet::OpenFromHeader(const std::array<uint8_t, kHeaderSize>& bytes, Messages& said,
                               bool readStoredDigests) {
    header = NativeHeader{};
    digests.clear();
    NativeHeader read = DecodeHeader(bytes);
    auto corrupt = [this, &said](bool interrupted = false) {
        said.push_back({Say(TextId::NativeSetCorrupt, {InterruptedLine(interrupted)}),
                        Say(TextId::TitleCorruptFile), Icon::Warning});
        return false;
    };
    // A split writes its first part's header after the data: until then the
    // header reads as zeros, as does a part that holds nothing at all.
    const bool headerUnwritten =
        std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0; });
    // Every part holds at least one byte of the original: more parts than bytes
    // is no set, whatever the header says.
    if (IsValidHeader(read) && read.partCount > read.originalSize) return corrupt();
    if (!IsValidHeader(read)) {
        if (HasLegacyMark(bytes.data(), bytes.size())) {
            said.push_back(
                {Say(TextId::NeedsConversion), Say(TextId::TitleConversionNeeded), Icon::Info});
            return false;
        }
        return corrupt(headerUnwritten);
    }
    // The name comes from someone else's file: it must stay a plain file name.
    // Said only once the set is opened.
    Messages renamed;
    read.originalName = workflow::NameFromSet(read.originalName, renamed);
    header = read;
    choices.fileName = header.originalName;
    // A stored name that lost characters Windows-1252 cannot hold ("____.mkv")
    // is the simplified form of the parts' own name ("映画の夏.mkv.001.pcw"):
    // that name is the original's. A name cut to its first 50 characters
    // stays as stored.
    const std::string partName = platform::FileNameOf(sourcePath);
    const std::string stem =
        partName.substr(0, partName.size() - std::min<size_t>(8, partName.size()));  // ".001.pcw"
    if (!stem.empty() && Utf8Length(stem) <= kOriginalNameRoom && HeaderName(stem) != stem &&
        HeaderName(stem) == header.originalName && platform::IsSafeFileName(stem))
        choices.fileName = stem;
    choices.folder = platform::FolderOf(sourcePath);

    if (header.hasDigests == 1 && readStoredDigests) {
        platform::File last = platform::File::OpenRead(PartPath(header.partCount));
        if (last.IsOpen()) {
            const int64_t blockSize = static_cast<int64_t>(kDigestTextSize) * header.partCount;
            const int64_t size = last.Size();
            // Shorter than its digests: the split was stopped before it wrote them.
            if (size < blockSize) {
                header = NativeHeader{};
                return corrupt(true);
            }
            // A set of many parts has its digests read one by one when they are checked.
            if (header.partCount <= kDigestsReadAtOpen) {
                std::string block(static_cast<size_t>(blockSize), '\0');
                if (last.Seek(size - blockSize) &&
                    last.Read(block.data(), block.size()).bytes == blockSize) {
                    digests.reserve(static_cast<size_t>(header.partCount));
                    for (int32_t i = 0; i < header.partCount; ++i)
                        digests.push_back(block.substr(static_cast<size_t>(i) * kDigestTextSize,
                                                       kDigestTextSize));
                }
            }
        }
    }
    said.insert(said.end(), renamed.begin(), renamed.end());
    return true;
}

bool NativeSet::CheckJoinParameters(const std::string& destName, bool verifyHash, Messages& said) {
    bool valid = true;
    std::string problems;
    if (destName.empty()) {
        valid = false;
        problems += Say(TextId::DestinationNameLengthLine);
    } else if (!platform::IsSafeFileName(destName)) {
        valid = false;
        problems += UnsafeNameLine(destName);
    } else {
        choices.fileName = Utf8Left(destName, kDestNameRoom);
        if (!NameFits(choices.folder, choices.fileName.size(), problems)) valid = false;
    }
    choices.verifyHash = verifyHash;
    const std::string target =
        !destName.empty() && platform::IsSafeFileName(destName) && !choices.toStandardOutput
            ? choices.folder + destName
            : std::string();
    return workflow::EndChecks(valid, problems, target, target, said);
}

void NativeSet::StartJoin() {
    joining = true;
    worker_.Start([this] { JoinThread(); });
}

void NativeSet::JoinThread() {
    std::optional<JoinOutput> output;
    StepResult result = JoinSteps(output);
    EndJoin(output, std::move(result));
}

// Every part is looked for before any is hashed: a missing part is named as
// such, and the last one carries the digests, without which every part would
// seem corrupt. Each part stays open from here to the end of its copy, which
// takes exactly the bytes measured here: a part that changes afterwards ends
// the join instead of making the output another file than the one checked.
// Past what the process may hold open, parts are let go and opened again,
// and their identity tells whether they are still the same.
StepResult NativeSet::JoinSteps(std::optional<JoinOutput>& output) {
    step = Step::Joining;
    // The set is judged as verify judges it: a part missing or no regular
    // file (a FIFO would hold the open forever), or a count that cannot be,
    // stops the join before any part is opened. A part of a size the set does
    // not allow is named as verify names it, after the digests, when there
    // are any, tell which part is at fault; but a set whose digests are
    // missing was only cut short, and its sizes say so below.
    SetCheck judged = JudgeParts(*this);
    if (judged.fault != SetFault::None) return JoinRefusal(judged);
    for (const PartCheck& part : judged.parts)
        if (part.state == PartState::Missing || part.state == PartState::Unreadable)
            return JoinRefusal(judged);
    // The digests are read before any part is held open for the copy: the
    // join holds its parts locked against writers, and hashing reopens them.
    int64_t measured = 0;
    for (const PartCheck& part : judged.parts)
        if (part.state != PartState::Extra) measured += part.bytes;
    const bool digestsMissing =
        header.hasDigests == 1 &&
        measured + static_cast<int64_t>(kDigestTextSize) * header.partCount == header.originalSize;
    if (!judged.Whole() && !digestsMissing) {
        if (header.hasDigests == 1 && choices.verifyHash) {
            judged = CheckSet(*this);
            if (CancelRequested()) return std::nullopt;
        }
        if (StepResult refused = JoinRefusal(judged)) {
            // Sizes that do not add up were always said so; the part is named after.
            const auto atFault =
                std::find_if(judged.parts.begin(), judged.parts.end(), [](const PartCheck& part) {
                    return part.state != PartState::Good && part.state != PartState::Extra;
                });
            const bool sizes =
                atFault != judged.parts.end() && atFault->bytes >= 0 &&
                (atFault->state == PartState::Short || atFault->state == PartState::Long);
            if (sizes)
                refused->text = Say(TextId::SizesDoNotAddUp, {""}) + "\n\r\n\r" + refused->text;
            return refused;
        }
    }
    std::vector<CheckedPart> parts;
    std::vector<JoinPart> copies;
    if (StepResult failed = MeasureParts(parts, copies)) return failed;
    // Without its digest block a set can only fail its check, and the sizes
    // tell why more plainly.
    if (header.hasDigests == 1 && choices.verifyHash && !DigestsMissing(copies))
        if (StepResult failed = VerifyParts(parts, copies); failed || CancelRequested())
            return failed;
    if (StepResult failed = CheckSizes(copies)) return failed;

    step = Step::Joining;
    totalBytes = header.originalSize;
    doneBytes = 0;
    partNumber = 0;
    const std::string final = choices.folder + choices.fileName;
    output = CreateJoinOutput();
    if (!output->IsOpen()) {
        const int error = output->OpenError();
        output.reset();
        return Message{
            platform::CreationFailure(Say(TextId::CreateFailedListingCauses), final, error),
            Say(TextId::TitleError), Icon::Warning};
    }
    return CopyParts(copies, &parts, output->File(), output->TempPath());
}

StepResult NativeSet::MeasureParts(std::vector<CheckedPart>& parts, std::vector<JoinPart>& copies) {
    const int64_t held = platform::OpenFileLimit() / 2;
    // Grown part by part: the count is the header's word, and a crafted one
    // must not make the join ask for memory before a part is found.
    for (int32_t i = 1; i <= header.partCount; ++i) {
        CheckedPart& part = parts.emplace_back();
        if (!part.Open(PartPath(i))) {
            if (!platform::FileExists(PartPath(i)))
                return Message{Say(TextId::PartMissing, {std::to_string(i)}),
                               Say(TextId::TitleJoinStopped), Icon::Warning};
            return Message{Say(TextId::NumberedPartNotAccessible, {std::to_string(i), ""}),
                           Say(TextId::TitleJoinStopped), Icon::Warning};
        }
        copies.push_back({i, PartPath(i), i == 1 ? static_cast<int64_t>(kHeaderSize) : 0,
                          DataBytesOf(i, part.Size())});
        if (i > held) part.Release();
    }
    return std::nullopt;
}

// The parts are hashed on every core, as many at a time as the process may
// hold open; each batch is checked in order, so the failure named is that of
// the lowest-numbered part, as a check of one part after the other finds it.
StepResult NativeSet::VerifyParts(std::vector<CheckedPart>& parts,
                                  const std::vector<JoinPart>& copies) {
    // The first `held` parts stay open until their copy: the parts past them
    // are opened again in batches that fit beside them.
    const int64_t held = platform::OpenFileLimit() / 2;
    const int64_t batchSize = std::max<int64_t>(held / 2, 1);
    step = Step::CheckingDigests;
    for (int32_t from = 1; from <= header.partCount; from += static_cast<int32_t>(batchSize)) {
        const int32_t to =
            static_cast<int32_t>(std::min<int64_t>(from + batchSize - 1, header.partCount));
        std::vector<PartToHash> batch;
        for (int32_t i = from; i <= to; ++i) {
            const size_t index = static_cast<size_t>(i - 1);
            CheckedPart& part = parts[index];
            if (!part.Reopen())
                return Message{Say(TextId::NumberedPartNotAccessible,
                                   {std::to_string(i),
                                    platform::ReasonLine(PartPath(i), part.File().OpenError())}),
                               Say(TextId::TitleJoinStopped), Icon::Warning};
            batch.push_back(
                {&part.File(), std::string(), 0, copies[index].bytes + copies[index].offset});
        }
        const PartHashResult hashed = HashBatch(batch, from);
        if (CancelRequested()) return std::nullopt;
        // A set of many parts has its digests read for each batch, through the
        // last part's own handle: the join holds that part locked, and a second
        // open of it would be refused.
        std::vector<std::string> stored;
        if (digests.empty()) stored = StoredDigests(parts.back(), from, to, held);
        for (int32_t i = from; i <= to; ++i) {
            const size_t index = static_cast<size_t>(i - 1);
            const size_t inBatch = static_cast<size_t>(i - from);
            if (hashed.failedPart == static_cast<int>(inBatch))
                return Message{
                    Say(TextId::NumberedPartNotAccessible,
                        {std::to_string(i), platform::ReasonLine(PartPath(i), hashed.error)}),
                    Say(TextId::TitleJoinStopped), Icon::Warning};
            const std::string& expected =
                digests.empty() ? (inBatch < stored.size() ? stored[inBatch] : kNoDigest)
                                : digests[index];
            if (expected.empty() || DigestToHex(*hashed.digests[inBatch]) != expected)
                return Message{Say(TextId::PartCorrupt, {std::to_string(i)}),
                               Say(TextId::TitleJoinStopped), Icon::Warning};
            if (!parts[index].Unchanged())
                return JoinCopyFailure(CopyResult::SourceChanged, i, PartPath(i),
                                       choices.folder + choices.fileName);
            if (i > held) parts[index].Release();
        }
    }
    return std::nullopt;
}

std::vector<std::string> NativeSet::StoredDigests(CheckedPart& last, int32_t from, int32_t to,
                                                  int64_t held) const {
    const bool wasOpen = last.File().IsOpen();
    if (!wasOpen && !last.Reopen()) return {};
    const int64_t count = int64_t{to} - from + 1;
    const int64_t at = last.Size() - static_cast<int64_t>(kDigestTextSize) *
                                         (int64_t{header.partCount} - from + 1);
    std::string block(static_cast<size_t>(count) * kDigestTextSize, '\0');
    const bool read =
        at >= 0 && last.File().Seek(at) &&
        last.File().Read(block.data(), block.size()).bytes == static_cast<int64_t>(block.size());
    // A part past those held open goes back to being released.
    if (!wasOpen && header.partCount > held) last.Release();
    if (!read) return {};
    std::vector<std::string> stored;
    stored.reserve(static_cast<size_t>(count));
    for (int64_t k = 0; k < count; ++k)
        stored.push_back(block.substr(static_cast<size_t>(k) * kDigestTextSize, kDigestTextSize));
    return stored;
}

PartHashResult NativeSet::HashBatch(const std::vector<PartToHash>& batch, int32_t first,
                                    bool everyPart) {
    // The window shows the lowest part still in work: its number, and its
    // bytes on the second bar.
    std::vector<bool> done(batch.size(), false);
    size_t lowest = 0;
    auto show = [&] {
        const size_t shown = std::min(lowest, batch.size() - 1);
        partNumber = first + static_cast<int32_t>(shown);
        partBytes = batch[shown].bytes;
        ShowProgress();
    };
    show();
    PartHashOptions options;
    options.workers = HashWorkers();
    options.everyPart = everyPart;
    options.progress = [&](size_t part, int64_t bytes, int64_t) {
        if (part == lowest) HashProgressOf(*this, bytes);
    };
    options.partDone = [&](size_t part, int) {
        done[part] = true;
        while (lowest < done.size() && done[lowest]) ++lowest;
        show();
    };
    options.pause = [this] { PausePoint(); };
    options.cancelled = [this] { return CancelRequested(); };
    return HashParts(batch, options);
}

unsigned NativeSet::HashWorkers() {
    // For measuring: the number of hashing workers, one per core by default.
    const std::optional<std::string> forced = platform::GetEnv("PARCELWISE_HASH_WORKERS");
    unsigned workers = 0;
    if (forced) std::from_chars(forced->data(), forced->data() + forced->size(), workers);
    return workers;
}

// Parts that do not add up to the original would rebuild a wrong file; so
// would a part too short to hold its header or digests, whatever the sum.
StepResult NativeSet::CheckSizes(const std::vector<JoinPart>& copies) const {
    const bool tooShort = std::any_of(copies.begin(), copies.end(),
                                      [](const JoinPart& part) { return part.bytes < 0; });
    if (DataBytes(copies) == header.originalSize && !tooShort) return std::nullopt;
    return Message{Say(TextId::SizesDoNotAddUp, {InterruptedLine(DigestsMissing(copies))}),
                   Say(TextId::TitleJoinStopped), Icon::Warning};
}

int64_t NativeSet::DataBytes(const std::vector<JoinPart>& copies) {
    int64_t bytes = 0;
    for (const JoinPart& part : copies) bytes += part.bytes;
    return bytes;
}

// Exactly the digests short: the split was stopped before it wrote them.
bool NativeSet::DigestsMissing(const std::vector<JoinPart>& copies) const {
    const int64_t block = static_cast<int64_t>(kDigestTextSize) * header.partCount;
    return header.hasDigests == 1 && DataBytes(copies) + block == header.originalSize;
}

// ---------------------------------------------------------------------------
// Display

void NativeSet::ShowProgress() {
    const Step now = step;
    switch (now) {
        case Step::Splitting: {
            const int32_t count = header.partCount;
            auto texts = [&](ProgressDisplay& d) {
                // The part being made, and no further one once the last is made.
                const int64_t making = std::min<int64_t>(count + 1, partsToMake_);
                d.SetStatusText(Say(static_cast<uint32_t>(count) < 2 ? TextId::PartsCreatedOne
                                                                     : TextId::PartsCreatedMany,
                                    {std::to_string(count)}));
                d.SetPartText(
                    Say(TextId::CreatingNativePart, {choices.fileName, NumberText(making, 3)}));
            };
            if (choices.fromStandardInput)
                writer_.Streaming(*this, count, texts, platform::Now());
            else
                writer_.Copying(*this, count, texts);
            break;
        }
        case Step::Joining: {
            const int32_t count = partNumber;
            writer_.Copying(*this, count, [&](ProgressDisplay& d) {
                d.SetStatusText(Say(static_cast<uint32_t>(count) < 2 ? TextId::PartsJoinedOne
                                                                     : TextId::PartsJoinedMany,
                                    {std::to_string(count)}));
                d.SetPartText(Say(TextId::JoiningPart,
                                  {std::to_string(count < header.partCount ? count + 1 : count)}));
            });
            break;
        }
        case Step::CreatingDigests:
        case Step::CheckingDigests: {
            const int32_t number = partNumber;
            const bool creating = now == Step::CreatingDigests;
            writer_.Digesting(
                *this, number,
                [&](ProgressDisplay& d) {
                    d.SetStatusText(
                        Say(creating ? TextId::CreatingDigests : TextId::CheckingDigests));
                    d.SetPartText(Say(creating ? TextId::DigestOfPart : TextId::CheckingPart,
                                      {std::to_string(number)}));
                },
                number, header.partCount);
            break;
        }
        case Step::Finishing:
            writer_.Finishing(*this);
            break;
        case Step::Finished:
            writer_.Finished(*this);
            break;
        case Step::Failed:
        case Step::Cancelled:
            break;
    }
}

void NativeSet::EndOfWork() {
    if (joining) return ReportEnd(Say(TextId::JoinSucceeded));
    // The set stores its name in Windows-1252: a join finds the real name in
    // the parts' names, but the stored one reads otherwise, and is said.
    ReportEnd(nameAsked_.empty()
                  ? Say(TextId::SplitSucceeded)
                  : Say(TextId::SplitSucceeded) +
                        Say(TextId::StoredNameSimplifiedLine, {header.originalName}));
}
