#include "formats/foreign/ForeignSet.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "core/CheckedPart.h"
#include "core/CopyLoop.h"
#include "core/JoinOutput.h"
#include "core/TextEncoding.h"
#include "formats/SetCheck.h"
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
    return ChosenFolder() + partStem_ +
           (widened_ ? WidenedNumberText(number, numberWidth_) : NumberText(number, numberWidth_));
}

bool ForeignSet::ReadNumber(std::string_view text, int64_t& number) const {
    // The largest number is left out so that a count of parts always fits.
    if (widened_) return ReadWidenedNumber(text, numberWidth_, INT32_MAX - 1, number);
    // Only the name the rule gives that number: movie.0004 is no part of the
    // set of movie.001, nor movie.004.bak.
    return ParseDigits(text, INT32_MAX - 1, number) && NumberText(number, numberWidth_) == text;
}

std::vector<int32_t> ForeignSet::NumbersInFolder() const {
    std::vector<int32_t> numbers;
    for (const std::string& entry : platform::FolderEntries(ChosenFolder())) {
        // Windows finds a part by its name in any case: so must the count.
        if (!platform::FileNameStartsWith(entry, partStem_)) continue;
        int64_t n = 0;
        if (ReadNumber(std::string_view(entry).substr(partStem_.size()), n))
            numbers.push_back(static_cast<int32_t>(n));
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

PartLayout ForeignSet::Layout() const {
    PartLayout layout;
    layout.first = FirstNumber();
    layout.last = LastNumber();
    layout.firstOffset = FirstOffset();
    layout.laterOffset = LaterOffset();
    DescribeParts(layout);
    return layout;
}

bool ForeignSet::NameParts(size_t dropped, std::string_view joint, size_t width) {
    const std::string name = ChosenName();
    if (Utf8Length(name) < dropped) return false;
    partStem_ = DropLast(name, dropped) + std::string(joint);
    numberWidth_ = width;
    return true;
}

int32_t ForeignSet::LastInFolder(int32_t from) const {
    // Every entry the rule numbers counts, a folder or a link that leads
    // nowhere too: left out, it would end the set before its last part
    // instead of being reported.
    const std::vector<int32_t> numbers = NumbersInFolder();
    return numbers.empty() ? from : std::max(from, numbers.back());
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
    choices.fileName = workflow::NameFromSet(choices.fileName, said);
    return true;
}

bool ForeignSet::CheckJoinParameters(const std::string& name, bool verifyHash, Messages& said) {
    choices.verifyHash = verifyHash;
    bool ok = true;
    std::string problems;
    const size_t length = Utf8Length(name);
    if (length == 0 || length > 255) {
        ok = false;
        problems = Say(TextId::ForeignNameLengthLine);
    } else if (!platform::IsSafeFileName(name)) {
        // A name typed or pasted by the user must not lead outside the destination folder.
        ok = false;
        problems = Say(TextId::ForeignUnsafeNameLine,
                       {platform::IsReservedName(name) ? platform::ReservedNameReason()
                                                       : platform::ForbiddenInNames()});
    } else if (!NameFits(choices.folder, name.size(), problems)) {
        ok = false;
    } else {
        choices.fileName = name;
    }
    const std::string target = choices.fileName.empty() || choices.toStandardOutput
                                   ? std::string()
                                   : choices.folder + choices.fileName;
    return workflow::EndChecks(ok, problems, target, target, said);
}

void ForeignSet::StartJoin() {
    joining = true;
    layout_ = Layout();
    notes_.clear();
    worker_.Start([this] { JoinThread(); });
}

void ForeignSet::JoinThread() {
    std::optional<JoinOutput> output;
    StepResult result = JoinSteps(output);
    EndJoin(output, std::move(result));
}

StepResult ForeignSet::JoinSteps(std::optional<JoinOutput>& output) {
    // The set is judged as verify judges it before anything is written: a part
    // missing, unreadable, of a size the set does not allow or with another
    // part's header refuses the join, named as verify names it.
    // A set opened without parts has nothing to join, even if a part
    // appeared since.
    if (layout_.last < layout_.first)
        return Message{Say(TextId::FirstPartNotAccessible,
                           {platform::ReasonLine(PartName(layout_.first), ENOENT)}),
                       Say(TextId::TitleError), Icon::Error};
    KeptParts kept;
    SetCheck judged = JudgeForeignSet(*this, layout_, &kept);
    // A plain set's checksum file is checked as the native digests are.
    if (choices.verifyHash) HashByChecksums(*this, layout_, judged);
    if (StepResult refused = JoinRefusal(judged)) return refused;
    notes_ = NotesText(judged);
    // Each part gives exactly the data judged, from the file judged: the parts
    // stay open from their measure to their copy. Every part, the first too,
    // is found by its name, as the chosen file is not the first part when the
    // user picked another one of the set, or when it only describes the set.
    std::vector<JoinPart> parts;
    std::vector<CheckedPart> openedParts;
    auto next = kept.begin();
    for (const PartCheck& part : judged.parts) {
        if (part.state != PartState::Good && part.state != PartState::Uneven) continue;
        parts.push_back({part.number, part.path,
                         part.number == layout_.first ? layout_.firstOffset : layout_.laterOffset,
                         part.bytes});
        while (next != kept.end() && next->first != part.number) ++next;
        if (next != kept.end()) openedParts.push_back(std::move(next->second));
    }
    kept.clear();

    step = Step::Joining;
    totalBytes = rebuiltSize;
    doneBytes = 0;

    if (parts.empty() || openedParts.size() != parts.size() || !openedParts[0].Reopen())
        return Message{Say(TextId::FirstPartNotAccessible,
                           {platform::ReasonLine(
                               PartName(layout_.first),
                               openedParts.empty() ? ENOENT : openedParts[0].File().OpenError())}),
                       Say(TextId::TitleError), Icon::Error};
    const std::string final = choices.folder + choices.fileName;
    output = CreateJoinOutput();
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
            const int32_t count = layout_.last - layout_.first + 1;
            const int32_t done = partNumber;
            writer_.Copying(*this, done, [&](ProgressDisplay& d) {
                d.SetStatusText(Say(done > 1 ? TextId::PartsJoinedMany : TextId::PartsJoinedOne,
                                    {std::to_string(done)}));
                d.SetPartText(
                    Say(TextId::JoiningPart, {std::to_string(done < count ? done + 1 : count)}));
            });
            break;
        }
        case Step::CheckingDigests: {
            const int32_t number = partNumber;
            writer_.Copying(*this, number, [&](ProgressDisplay& d) {
                d.SetStatusText(Say(TextId::CheckingChecksums));
                d.SetPartText(Say(TextId::CheckingPart, {std::to_string(number)}));
            });
            break;
        }
        case Step::Finishing:
            writer_.Finishing(*this);
            break;
        case Step::Finished:
            writer_.Finished(*this);
            break;
        default:
            break;
    }
}

void ForeignSet::EndOfWork() {
    ReportEnd(Say(TextId::JoinSucceeded) + notes_);
}
