#include "formats/foreign/ForeignSet.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "core/CheckedPart.h"
#include "core/CopyLoop.h"
#include "core/JoinOutput.h"
#include "core/TextEncoding.h"
#include "formats/Workflow.h"
#include "formats/foreign/PartNames.h"
#include "platform/Fs.h"
#include "platform/Messages.h"
#include "platform/Reasons.h"
#include "texts/Texts.h"

using platform::Icon;

using texts::Say;
using texts::TextId;

namespace {
std::string Missing(int32_t number) {
    return Say(TextId::PartMissing, {std::to_string(number)});
}
}  // namespace

std::string ForeignSet::OpenFailure(const std::string& tool) {
    return Say(TextId::ForeignOpenFailed, {tool});
}

std::string ForeignSet::ChosenFolder() const {
    return platform::FolderOf(sourcePath);
}
std::string ForeignSet::ChosenName() const {
    return platform::FileNameOf(sourcePath);
}

std::string ForeignSet::PartName(int32_t number) const {
    return ChosenFolder() + partStem_ + NumberText(number, numberWidth_);
}

bool ForeignSet::NameParts(size_t dropped, std::string_view joint, size_t width) {
    const std::string name = ChosenName();
    if (Utf8Length(name) < dropped) return false;
    partStem_ = DropLast(name, dropped) + std::string(joint);
    numberWidth_ = width;
    return true;
}

int32_t ForeignSet::LastInFolder(int32_t from) const {
    const std::string folder = ChosenFolder();
    int32_t last = from;
    for (const std::string& entry : platform::FolderEntries(folder)) {
        // Windows finds a part by its name in any case: so must the count.
        if (!platform::FileNameStartsWith(entry, partStem_)) continue;
        const std::string_view number = std::string_view(entry).substr(partStem_.size());
        int64_t n = 0;
        // Only the name the rule gives that number: movie.0004 is no part of
        // the set of movie.001, nor movie.004.bak. The largest number is left
        // out so that a count of parts always fits.
        if (ParseDigits(number, INT32_MAX - 1, n) && n > last &&
            NumberText(n, numberWidth_) == number && platform::IsRegularFile(folder + entry))
            last = static_cast<int32_t>(n);
    }
    return last;
}

int64_t ForeignSet::EstimatedSize() const {
    const int32_t first = FirstNumber();
    const int32_t last = LastNumber();
    // Sized on the first part, which is the chosen file unless the user picked
    // another part of the set.
    int64_t partSize = platform::FileSize(PartName(first));
    if (partSize < 0) partSize = std::max<int64_t>(platform::FileSize(sourcePath), 0);
    const int64_t lastSize = last == first ? partSize : platform::FileSize(PartName(last));
    return int64_t{last - first} * partSize + std::max<int64_t>(lastSize, 0);
}

void ForeignSet::ReadNamedSet(const std::string& originalName, int32_t& last) {
    choices.fileName = originalName;
    choices.folder = ChosenFolder();
    last = LastInFolder(FirstNumber());
    rebuiltSize = EstimatedSize();
}

bool ForeignSet::OpenSet(Messages& said) {
    platform::File chosen = platform::File::OpenRead(sourcePath);
    if (!chosen.IsOpen()) {
        said.push_back(
            {Say(TextId::CannotOpenFile, {platform::ReasonLine(sourcePath, chosen.OpenError())}),
             Say(TextId::TitleError), Icon::Error});
        return false;
    }
    bool read = false;
    try {
        read = ReadSet(chosen);
    } catch (...) {
        read = false;
    }
    if (!read) {
        said.push_back({OpenFailureText(), Say(TextId::TitleError), Icon::Error});
        return false;
    }
    // The name may come from someone else's file: it must stay a plain file name.
    choices.fileName = platform::SafeFileName(choices.fileName);
    return true;
}

bool ForeignSet::CheckJoinParameters(const std::string& name, bool, Messages& said) {
    bool ok = true;
    std::string problems;
    const size_t length = Utf8Length(name);
    if (length == 0 || length > 255) {
        ok = false;
        problems = Say(TextId::ForeignNameLengthLine);
    } else if (!platform::IsSafeFileName(name)) {
        // A name typed or pasted by the user must not lead outside the destination folder.
        ok = false;
        problems = Say(TextId::ForeignUnsafeNameLine, {platform::ForbiddenInNames()});
    } else if (!NameFits(choices.folder, name.size(), problems)) {
        ok = false;
    } else {
        choices.fileName = name;
    }
    const std::string target = choices.folder + choices.fileName;
    if (!choices.fileName.empty()) {
        if (const std::string taken = workflow::TakenLine(target, target); !taken.empty()) {
            ok = false;
            problems += taken;
        }
    }
    if (!ok)
        said.push_back(
            {Say(TextId::ProblemsIntro, {problems}), Say(TextId::TitleProgram), Icon::Warning});
    return ok;
}

void ForeignSet::StartJoin() {
    joining = true;
    range_ = {FirstNumber(), LastNumber(), FirstOffset(), LaterOffset()};
    worker_.Start([this] { JoinThread(); });
}

void ForeignSet::JoinThread() {
    std::optional<JoinOutput> output;
    StepResult result = JoinSteps(output);
    EndJoin(output, std::move(result));
}

StepResult ForeignSet::JoinSteps(std::optional<JoinOutput>& output) {
    const int32_t first = range_.first;
    const int32_t last = range_.last;
    // Every part is looked for before anything is written.
    std::vector<JoinPart> parts;
    for (int32_t n = first; n <= last; ++n) {
        if (!platform::FileExists(PartName(n)))
            return Message{Missing(n), Say(TextId::TitleJoinStopped), Icon::Warning};
        parts.push_back({n, PartName(n), n == first ? range_.firstOffset : range_.laterOffset, -1});
    }

    step = Step::Joining;
    totalBytes = rebuiltSize;
    doneBytes = 0;

    // Every part, the first too, is found by its name: the chosen file is not
    // the first part when the user picked another one of the set, or when it
    // only describes the set. A set opened without parts has nothing to join,
    // even if a part appeared since.
    std::vector<CheckedPart> openedParts(1);
    if (last < first || !openedParts[0].Open(PartName(first)))
        return Message{
            Say(TextId::FirstPartNotAccessible,
                {platform::ReasonLine(PartName(first),
                                      last >= first ? openedParts[0].File().OpenError() : ENOENT)}),
            Say(TextId::TitleError), Icon::Error};
    const std::string final = choices.folder + choices.fileName;
    output = JoinOutput::Create(final);
    if (!output->IsOpen()) {
        const int error = output->OpenError();
        output.reset();
        return Message{
            platform::CreationFailure(Say(TextId::CreateFailedListingCauses), final, error),
            Say(TextId::TitleError), Icon::Warning};
    }
    return CopyParts(parts, &openedParts, output->File(), output->TempPath(), Missing);
}

void ForeignSet::ShowProgress() {
    switch (step.get()) {
        case Step::Joining: {
            const int32_t count = range_.last - range_.first + 1;
            const int32_t done = partNumber;
            writer_.Copying(*this, done, [&](ProgressDisplay& d) {
                d.SetStatusText(Say(done > 1 ? TextId::PartsJoinedMany : TextId::PartsJoinedOne,
                                    {std::to_string(done)}));
                d.SetPartText(
                    Say(TextId::JoiningPart, {std::to_string(done < count ? done + 1 : count)}));
            });
            break;
        }
        case Step::Finished:
            writer_.Finished(*this);
            break;
        default:
            break;
    }
}

void ForeignSet::EndOfWork() {
    ReportEnd(Say(TextId::JoinSucceeded));
}
