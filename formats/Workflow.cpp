#include "formats/Workflow.h"

#include <cerrno>

#include "core/FreeSpace.h"
#include "core/Job.h"
#include "core/SplitSize.h"
#include "formats/FormatTable.h"
#include "formats/SetCheck.h"
#include "formats/native/LegacySet.h"
#include "formats/native/NativeSet.h"
#include "formats/plain/PlainSet.h"
#include "platform/Fs.h"
#include "platform/Paths.h"
#include "platform/Reasons.h"
#include "texts/Texts.h"

namespace workflow {

namespace {

using texts::Say;
using texts::TextId;

void CannotOpen(const std::string& path, int error, Messages& said) {
    said.push_back({Say(TextId::CannotOpenFile, {platform::ReasonLine(path, error)}),
                    Say(TextId::TitleError), platform::Icon::Error});
}

}  // namespace

platform::File OpenChosenFile(const std::string& path, Messages& said) {
    // A folder opens for reading too, and would read as an empty file.
    if (const int error = platform::RegularFileError(path); error != 0) {
        CannotOpen(path, error, said);
        return {};
    }
    platform::File file = platform::File::OpenRead(path);
    if (!file.IsOpen()) CannotOpen(path, file.OpenError(), said);
    return file;
}

bool OpenFileToSplit(Job& job, const std::string& path, Messages& said) {
    job.opened = false;
    int64_t size = -1;
    {
        const platform::File file = OpenChosenFile(path, said);
        if (!file.IsOpen()) return false;
        size = file.Size();
    }
    if (size < 0) {
        CannotOpen(path, EIO, said);
        return false;
    }
    if (size <= kSmallestSource) {
        said.push_back(
            {Say(TextId::SourceTooSmall), Say(TextId::TitleFileTooSmall), platform::Icon::Warning});
        return false;
    }
    TakeSourceToSplit(job, path, size);
    return true;
}

void TakeStreamToSplit(NativeSet& job, const std::string& folder) {
    job.sourcePath.clear();
    job.sourceSize = 0;
    job.choices.fileName.clear();
    job.choices.folder = platform::AbsolutePath(platform::WithSeparator(folder));
    job.choices.fromStandardInput = true;
    job.opened = true;
}

void TakeSourceToSplit(Job& job, const std::string& path, int64_t size) {
    job.sourcePath = platform::AbsolutePath(path);
    job.sourceSize = size;
    job.choices.fileName = platform::FileNameOf(job.sourcePath);
    job.choices.folder = platform::FolderOf(job.sourcePath);
    job.opened = true;
}

bool OpenSetAt(Job& job, const std::string& path, Messages& said) {
    job.sourcePath = platform::AbsolutePath(path);
    job.sourceSize = platform::FileSize(job.sourcePath);
    job.opened = true;
    if (job.OpenSet(said)) return true;
    job.ResetSet();
    return false;
}

Opening OpenChosenSet(Job& job, const std::string& path, Messages& said) {
    job.opened = false;
    if (!OpenChosenFile(path, said).IsOpen()) return Opening::Unopenable;
    return OpenSetAt(job, path, said) ? Opening::Opened : Opening::Refused;
}

std::string NameFromSet(const std::string& stored, Messages& said) {
    std::string name = platform::SafeFileName(stored);
    if (platform::IsReservedName(stored))
        said.push_back({Say(TextId::StoredNameReserved, {platform::ReservedNameReason(), name}),
                        Say(TextId::TitleProgram), platform::Icon::Info});
    return name;
}

FoundKind FindKind(const std::string& path) {
    FoundKind found{DetectKind(path), {}};
    for (std::string_view kind : found.detection.kinds)
        if (const FormatRow* row = FormatOfCliName(kind)) found.formats.push_back(row);
    return found;
}

void SayNoSingleKind(const FoundKind& found, Audience audience, Messages& said) {
    const std::string& path = found.detection.path;
    const bool window = audience == Audience::Window;
    std::string kinds;
    if (found.formats.empty()) {
        // Nothing was recognised, maybe because nothing could be read.
        if (!OpenChosenFile(path, said).IsOpen()) return;
        for (const FormatRow& row : JoinFormats()) {
            if (window || row.cliName.empty()) continue;
            kinds.append(kinds.empty() ? "" : Say(TextId::ListSeparator)).append(row.cliName);
        }
        said.push_back(
            {Say(TextId::NoKnownKind, {path, window ? Say(TextId::ChooseKindInDialog)
                                                    : Say(TextId::ChooseKindWithOption, {kinds})}),
             Say(TextId::TitleUnknownKind), platform::Icon::Warning});
        return;
    }
    for (const FormatRow* row : found.formats) {
        if (window)
            kinds.append(Say(TextId::ListLineLead)).append(row->entry.label);
        else
            kinds.append(kinds.empty() ? "" : Say(TextId::ListSeparator)).append(row->cliName);
    }
    said.push_back(
        {window ? Say(TextId::SeveralKindsInWindow, {path, kinds, Say(TextId::ChooseKindInDialog)})
                : Say(TextId::SeveralKindsInCli, {kinds, path}),
         Say(TextId::TitleAmbiguousKind), platform::Icon::Warning});
}

bool OpenLegacySet(LegacySet& job, const std::string& path, Messages& said) {
    job.opened = false;
    if (!OpenChosenFile(path, said).IsOpen()) return false;
    job.sourcePath = platform::AbsolutePath(path);
    job.sourceSize = platform::FileSize(job.sourcePath);
    job.opened = true;
    if (job.OpenSet(said)) return true;
    job.opened = false;
    if (!job.openError.empty())
        said.push_back({Say(TextId::OpenErrorLine, {job.openError}),
                        Say(TextId::TitleProgramVersion), platform::Icon::Error});
    return false;
}

std::string FirstOutputPath(const Job& job, Direction direction, const std::string& name) {
    const std::string base = job.choices.folder + name;
    if (direction == Direction::Join) return base;
    // The only split that is no native one writes a plain set.
    return job.formatKind == FormatKind::Numbered ? PlainPartName(base, 1)
                                                  : NativePartName(base, 1);
}

Occupant OccupantOf(const std::string& path) {
    if (!platform::FileExists(path)) return Occupant::None;
    return platform::IsFolder(path) ? Occupant::Folder : Occupant::File;
}

std::string TakenLine(const std::string& path, const std::string& shownFile) {
    switch (OccupantOf(path)) {
        case Occupant::File:
            return Say(TextId::DestinationFileExistsLine, {shownFile});
        case Occupant::Folder:
            return Say(TextId::DestinationFolderExistsLine, {path});
        case Occupant::None:
            break;
    }
    return {};
}

bool EndChecks(bool valid, std::string& problems, const std::string& destination,
               const std::string& shownFile, Messages& said) {
    if (!destination.empty()) {
        if (const std::string taken = TakenLine(destination, shownFile); !taken.empty()) {
            valid = false;
            problems += taken;
        }
    }
    if (!valid)
        said.push_back({Say(TextId::ProblemsIntro, {problems}), Say(TextId::TitleProgram),
                        platform::Icon::Warning});
    return valid;
}

std::optional<std::string> NameTakenText(const Job& job, Direction direction,
                                         const std::string& name) {
    const std::string path = FirstOutputPath(job, direction, name);
    switch (OccupantOf(path)) {
        case Occupant::File:
            return Say(TextId::NameTakenByFile, {name});
        case Occupant::Folder:
            return Say(TextId::NameTakenByFolder, {platform::FileNameOf(path)});
        case Occupant::None:
            break;
    }
    return std::nullopt;
}

bool CheckSplit(NativeSet& job, const SplitChoice& choice, Messages& said) {
    // The disk must take all that the split writes, headers and digests included.
    if (!CheckFreeSpace(job.choices.folder,
                        SplitOutputBytes(job.sourceSize, choice.partSize, choice.withDigests),
                        said))
        return false;
    if (!job.CheckSplitParameters(choice.storedName, choice.destName, choice.withDigests,
                                  choice.partSize, said)) {
        said.push_back(
            {Say(TextId::SplitCancelled), Say(TextId::TitleProgram), platform::Icon::Warning});
        return false;
    }
    job.SetBufferSize(choice.bufferSize);
    return true;
}

bool CheckPlainSplit(PlainSet& job, const std::string& destName, int64_t partSize,
                     PlainDigest digest, uint32_t bufferSize, Messages& said) {
    // The data, and a checksum file of about a line per part.
    const int64_t checksums = digest == PlainDigest::None ? 0 : 4096;
    if (!CheckFreeSpace(job.choices.folder, job.sourceSize + checksums, said)) return false;
    if (!job.CheckSplitParameters(destName, partSize, digest, said)) {
        said.push_back(
            {Say(TextId::SplitCancelled), Say(TextId::TitleProgram), platform::Icon::Warning});
        return false;
    }
    job.SetBufferSize(bufferSize);
    return true;
}

bool CheckJoin(Job& job, const std::string& destName, bool verify, uint32_t bufferSize,
               Messages& said) {
    // A join writes the file it rebuilds, whatever the size of the part opened.
    // The parts are looked for first: a set that lacks some, or announces a
    // count it cannot have, is refused by its join for that, whatever room
    // its size asks.
    // A join to the standard output takes no room of the folder's disk.
    if (!job.choices.toStandardOutput && PartsAllThere(job) &&
        !CheckFreeSpace(job.choices.folder, job.RebuiltSize(), said))
        return false;
    if (!job.CheckJoinParameters(destName, verify, said)) {
        said.push_back(
            {Say(TextId::JoinCancelled), Say(TextId::TitleProgram), platform::Icon::Warning});
        return false;
    }
    job.SetBufferSize(bufferSize);
    return true;
}

bool UseFolder(Job& job, const std::string& folder, Messages& said) {
    if (platform::IsOpticalDisc(folder)) {
        said.push_back({Say(TextId::ChooseHardDisk), Say(TextId::TitleWrongDestination),
                        platform::Icon::Warning});
        return false;
    }
    job.choices.folder = platform::WithSeparator(folder);
    return true;
}

void Start(Job& job, Direction direction) {
    job.joining = direction == Direction::Join;
    if (direction == Direction::Split)
        job.StartSplit();
    else if (job.joinInstead)
        job.StartJoinInstead();
    else
        job.StartJoin();
}

}  // namespace workflow
