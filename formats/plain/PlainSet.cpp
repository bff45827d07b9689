#include "formats/plain/PlainSet.h"

#include <algorithm>
#include <cerrno>

#include "core/CopyLoop.h"
#include "core/DisplayNumbers.h"
#include "core/SplitSize.h"
#include "formats/Workflow.h"
#include "formats/native/PartHasher.h"
#include "formats/plain/JoinScripts.h"
#include "formats/plain/Sha256Parts.h"
#include "platform/Fs.h"
#include "platform/Paths.h"
#include "platform/Reasons.h"
#include "texts/Texts.h"

using platform::Icon;
using texts::Say;
using texts::TextId;

std::string PlainPartName(const std::string& base, int64_t number) {
    return base + "." + NumberText(number, 3);
}

std::string ChecksumFileName(const std::string& base, PlainDigest digest) {
    switch (digest) {
        case PlainDigest::Md5:
            return base + ".md5";
        case PlainDigest::Sha256:
            return base + ".sha256";
        case PlainDigest::None:
            break;
    }
    return base;
}

std::string ChecksumLine(const std::string& hexDigest, const std::string& name) {
    std::string escaped;
    bool escapes = false;
    for (const char c : name) {
        if (c == '\\' || c == '\n') {
            escapes = true;
            escaped += c == '\\' ? "\\\\" : "\\n";
        } else {
            escaped += c;
        }
    }
    return (escapes ? "\\" : "") + hexDigest + "  " + escaped + "\n";
}

std::string LowerHex(const uint8_t* bytes, size_t count) {
    static const char kHex[] = "0123456789abcdef";
    std::string text(2 * count, '0');
    for (size_t i = 0; i < count; ++i) {
        text[2 * i] = kHex[bytes[i] >> 4];
        text[2 * i + 1] = kHex[bytes[i] & 0x0F];
    }
    return text;
}

PlainSet::PlainSet() {
    formatKind = FormatKind::Numbered;
}

int64_t PlainSet::PartsToMake() const {
    return plainPartSize > 0 ? (sourceSize + plainPartSize - 1) / plainPartSize : 0;
}

std::string PlainSet::PartPath(int64_t number) const {
    return PlainPartName(choices.folder + choices.fileName, number);
}

std::string PlainSet::ChecksumPath() const {
    return ChecksumFileName(choices.folder + choices.fileName, digest);
}

bool PlainSet::CheckSplitParameters(const std::string& destName, int64_t partSize, PlainDigest kind,
                                    Messages& said) {
    bool valid = true;
    std::string problems;
    digest = kind;
    const int64_t parts = partSize > 0 ? (sourceSize + partSize - 1) / partSize : 0;
    if (destName.empty() || destName.size() > 255) {
        valid = false;
        problems += Say(TextId::DestinationNameLengthLine);
    } else if (!platform::IsSafeFileName(destName)) {
        valid = false;
        problems += Say(TextId::UnsafeNameLine,
                        {platform::IsReservedName(destName) ? platform::ReservedNameReason()
                                                            : platform::ForbiddenInNames()});
    } else {
        choices.fileName = destName;
        // ".sha256" is the longest ending the set gives a name.
        const std::string longest = ChecksumFileName(destName, PlainDigest::Sha256);
        if (!NameFits(choices.folder, longest.size(), problems)) valid = false;
    }
    const PartLimits limits{platform::LargestFileOn(choices.folder), kMostPlainParts,
                            [](int64_t size, int64_t, int64_t largest) {
                                return Say(TextId::PlainPartTooLargeLine,
                                           {std::to_string(size), std::to_string(largest)});
                            },
                            TextId::PlainTooManyPartsLine};
    if (const std::string problem =
            PartSizeProblem(partSize, choices.partsAsked, sourceSize, limits);
        !problem.empty()) {
        valid = false;
        problems += problem;
    } else {
        plainPartSize = partSize;
    }
    // Every name the set takes is free: a part after the first, or the
    // checksum file, taken would stop the split half-way.
    if (valid && !choices.fileName.empty()) {
        const std::string base = choices.folder + choices.fileName;
        for (int64_t k = 2; k <= parts && valid; ++k) {
            const std::string taken = workflow::TakenLine(
                PlainPartName(base, k), platform::FileNameOf(PlainPartName(base, k)));
            if (!taken.empty()) {
                valid = false;
                problems += taken;
            }
        }
        std::vector<std::string> others;
        if (kind != PlainDigest::None) others.push_back(ChecksumFileName(base, kind));
        if (withScripts) others.insert(others.end(), {base + ".join.sh", base + ".join.cmd"});
        for (const std::string& path : others) {
            if (const std::string taken = workflow::TakenLine(path, platform::FileNameOf(path));
                !taken.empty()) {
                valid = false;
                problems += taken;
            }
        }
    }
    const std::string first = choices.fileName.empty() ? std::string() : PartPath(1);
    return workflow::EndChecks(valid, problems, first, platform::FileNameOf(first), said);
}

void PlainSet::StartSplit() {
    joining = false;
    worker_.Start([this] { SplitThread(); });
}

void PlainSet::SplitThread() {
    step = Step::Splitting;
    totalBytes = sourceSize;
    doneBytes = 0;
    partNumber = 0;
    partCount = 0;
    if (plainPartSize <= 0)
        return Fail(Say(TextId::PartSizeNotPositive), Say(TextId::TitleError), Icon::Error);

    std::vector<platform::FileIdentity> made;
    std::vector<std::pair<std::string, platform::FileIdentity>> written;
    StepResult result = WriteParts(made);
    if (!result && !CancelRequested() && digest != PlainDigest::None)
        result = WriteChecksums(made, written);
    if (result || CancelRequested()) {
        for (size_t i = 0; i < made.size(); ++i)
            TakeBack(PartPath(static_cast<int64_t>(i) + 1), made[i]);
        for (const auto& [path, identity] : written) TakeBack(path, identity);
    }
    if (result) return Fail(*result);
    if (CancelRequested()) return EndCancelled();
    step = Step::Finished;
    ShowProgress();
    EndOfWork();
}

StepResult PlainSet::WriteParts(std::vector<platform::FileIdentity>& made) {
    CopyBuffer buffer(choices.bufferSize);
    if (!buffer.Allocated())
        return Message{Say(TextId::NoSplitBuffer), Say(TextId::TitleError), Icon::Error};
    platform::File source = platform::File::OpenRead(sourcePath);
    if (!source.IsOpen())
        return Message{Say(TextId::SourceNotAccessible,
                           {platform::ReasonLine(sourcePath, source.OpenError())}),
                       Say(TextId::TitleError), Icon::Error};
    if (source.Size() != sourceSize)
        return Message{Say(TextId::SourceResized), Say(TextId::TitleError), Icon::Error};
    auto writeFailure = [&](int64_t number, int error) {
        return Message{
            Say(TextId::PlainPartWriteFailed, {choices.fileName, NumberText(number, 3),
                                               platform::ReasonLine(PartPath(number), error)}),
            Say(TextId::TitleError), Icon::Error};
    };
    const int64_t parts = PartsToMake();
    for (int64_t k = 1; k <= parts; ++k) {
        platform::File part = platform::File::CreateNew(PartPath(k));
        if (!part.IsOpen())
            return Message{platform::CreationFailure(Say(TextId::CreateFailedListingCauses),
                                                     PartPath(k), part.OpenError()),
                           Say(TextId::TitleError), Icon::Error};
        made.push_back(part.Identity().value_or(platform::FileIdentity{}));
        partNumber = static_cast<int32_t>(k);
        const int64_t bytes = std::min(plainPartSize, sourceSize - doneBytes);
        const CopyResult copied = CopyWithProgress(source, part, bytes, buffer);
        if (std::optional<platform::FileIdentity> written = part.Identity()) made.back() = *written;
        switch (copied) {
            case CopyResult::Done:
                break;
            case CopyResult::Cancelled:
                return std::nullopt;
            case CopyResult::ReadFailed:
                return Message{
                    Say(TextId::SourceReadFailed, {platform::ReasonLine(sourcePath, CopyError())}),
                    Say(TextId::TitleError), Icon::Error};
            case CopyResult::SourceEnded:
                return Message{Say(TextId::SourceEndedEarly), Say(TextId::TitleError), Icon::Error};
            default:
                return writeFailure(k, CopyError());
        }
        if (!part.Close()) return writeFailure(k, part.CloseError());
        partCount = static_cast<int32_t>(k);
    }
    return std::nullopt;
}

StepResult PlainSet::HashSet(const std::vector<platform::FileIdentity>& made,
                             std::vector<std::string>& hexDigests) {
    // The whole file first: the longest to hash, it starts at once while the
    // other workers take the parts.
    std::vector<PartToHash> files{{nullptr, sourcePath, 0, sourceSize}};
    for (size_t i = 0; i < made.size(); ++i)
        files.push_back({nullptr, PartPath(static_cast<int64_t>(i) + 1), 0, -1});
    int32_t hashed = 0;
    PartHashOptions options;
    options.partDone = [&](size_t, int) {
        partNumber = ++hashed;
        ShowProgress();
    };
    options.pause = [this] { PausePoint(); };
    options.cancelled = [this] { return CancelRequested(); };
    const HexDigests digests = HashPartsHex(files, digest, options);
    const int failed = digests.failedPart, error = digests.error;
    const std::vector<std::string>& hex = digests.hex;
    if (CancelRequested()) return std::nullopt;
    if (failed >= 0)
        return Message{Say(TextId::PlainHashFailed,
                           {platform::ReasonLine(files[static_cast<size_t>(failed)].path, error)}),
                       Say(TextId::TitleError), Icon::Error};
    // The parts' lines first, the whole file's last.
    hexDigests.assign(hex.begin() + 1, hex.end());
    hexDigests.push_back(hex.front());
    return std::nullopt;
}

StepResult PlainSet::WriteNewFile(
    const std::string& path, const std::string& text, TextId failure,
    std::vector<std::pair<std::string, platform::FileIdentity>>& written) {
    auto failed = [&](int error) {
        return Message{Say(failure, {platform::ReasonLine(path, error)}), Say(TextId::TitleError),
                       Icon::Error};
    };
    platform::File file = platform::File::CreateNew(path);
    if (!file.IsOpen()) return failed(file.OpenError());
    written.emplace_back(path, file.Identity().value_or(platform::FileIdentity{}));
    if (const platform::IoResult w = file.Write(text.data(), text.size()); !w.ok())
        return failed(w.error);
    if (!file.Close()) return failed(file.CloseError());
    return std::nullopt;
}

StepResult PlainSet::WriteChecksums(
    const std::vector<platform::FileIdentity>& made,
    std::vector<std::pair<std::string, platform::FileIdentity>>& written) {
    step = Step::CreatingDigests;
    partNumber = 1;
    ShowProgress();
    std::vector<std::string> hex;
    if (StepResult failed = HashSet(made, hex)) return failed;
    if (CancelRequested()) return std::nullopt;
    std::string text;
    std::vector<ScriptPart> parts;
    for (size_t i = 0; i < made.size(); ++i) {
        parts.push_back({platform::FileNameOf(PartPath(static_cast<int64_t>(i) + 1)), hex[i]});
        text += ChecksumLine(hex[i], parts.back().name);
    }
    text += ChecksumLine(hex.back(), choices.fileName);
    if (StepResult failed =
            WriteNewFile(ChecksumPath(), text, TextId::ChecksumFileWriteFailed, written))
        return failed;
    if (!withScripts) return std::nullopt;
    const std::string base = choices.folder + choices.fileName;
    const std::string sums = platform::FileNameOf(ChecksumPath());
    if (StepResult failed =
            WriteNewFile(base + ".join.sh", PosixJoinScript(choices.fileName, parts, digest, sums),
                         TextId::ScriptWriteFailed, written))
        return failed;
    return WriteNewFile(base + ".join.cmd", WindowsJoinScript(choices.fileName, parts, digest),
                        TextId::ScriptWriteFailed, written);
}

void PlainSet::ShowProgress() {
    const Step now = step;
    if (now == Step::Splitting) {
        const int32_t count = partCount;
        const int64_t making = std::min<int64_t>(count + 1, PartsToMake());
        writer_.Copying(*this, count, [&](ProgressDisplay& d) {
            d.SetStatusText(Say(static_cast<uint32_t>(count) < 2 ? TextId::PartsCreatedOne
                                                                 : TextId::PartsCreatedMany,
                                {std::to_string(count)}));
            d.SetPartText(
                Say(TextId::CreatingPlainPart, {choices.fileName, NumberText(making, 3)}));
        });
    } else if (now == Step::CreatingDigests) {
        // The whole file is hashed too, beside the parts: the bar is full
        // once it is.
        const int32_t number = partNumber;
        const int32_t part = std::min<int32_t>(number, partCount);
        writer_.Digesting(
            *this, part,
            [&](ProgressDisplay& d) {
                d.SetStatusText(
                    Say(TextId::CreatingChecksums, {platform::FileNameOf(ChecksumPath())}));
                d.SetPartText(Say(TextId::ChecksumOfPart, {std::to_string(part)}));
            },
            number, partCount + 1);
    } else if (now == Step::Finished) {
        writer_.Finished(*this);
    }
}

void PlainSet::EndOfWork() {
    ReportEnd(Say(TextId::SplitSucceeded));
}
