#include "formats/SetCheck.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <set>

#include "formats/foreign/ForeignSet.h"
#include "formats/native/NativeSet.h"
#include "formats/native/PartHasher.h"
#include "formats/plain/PlainSet.h"
#include "formats/plain/Sha256Parts.h"
#include "platform/File.h"
#include "platform/Fs.h"
#include "platform/Reasons.h"
#include "texts/Texts.h"

using texts::Say;
using texts::TextId;

namespace {

// A run of missing parts longer than this that ends the set tells that the
// count announced is wrong rather than that so many parts were lost.
constexpr int64_t kMostMissingAtTheEnd = 1000;

bool IsCopied(const PartCheck& part) {
    return part.state == PartState::Good || part.state == PartState::Uneven;
}
bool IsFault(const PartCheck& part) {
    return !IsCopied(part) && part.state != PartState::Extra;
}

// Measures part `number` at `path`; its data are its size less `overhead`.
// Reads its first `headBytes` into `head` when asked. Whatever the entry is,
// nothing is opened but a regular file: a FIFO or a device would hang the
// check or read forever.
PartCheck Measure(int32_t number, const std::string& path, int64_t overhead, size_t headBytes = 0,
                  std::string* head = nullptr, CheckedPart* keep = nullptr,
                  bool* endsALine = nullptr) {
    PartCheck part{number, path};
    part.lastNumber = number;
    if (const int error = platform::RegularFileError(path); error != 0) {
        // A link that leads nowhere is there, but cannot be read.
        part.state = platform::FileExists(path) ? PartState::Unreadable : PartState::Missing;
        part.error = error;
        return part;
    }
    // A join keeps the part open from here to its copy, which then reads the
    // very file measured.
    platform::File shared;
    if (keep == nullptr) shared = platform::File::OpenRead(path, platform::Share::Read);
    const bool open = keep != nullptr ? keep->Open(path) : shared.IsOpen();
    platform::File& file = keep != nullptr ? keep->File() : shared;
    if (!open) {
        part.state = PartState::Unreadable;
        part.error = file.OpenError();
        return part;
    }
    const int64_t size = keep != nullptr ? keep->Size() : file.Size();
    if (size < 0) {
        part.state = PartState::Unreadable;
        part.error = EIO;
        return part;
    }
    part.bytes = size - overhead;
    // Shorter than its own header: never a whole part, whatever the others hold.
    if (part.bytes < 0) {
        part.state = PartState::Short;
        part.expected = 0;
        return part;
    }
    // Whether its last byte is a line feed, for the sets that tools cut at line ends.
    if (endsALine != nullptr) {
        char last = 0;
        *endsALine =
            size > 0 && file.Seek(size - 1) && file.Read(&last, 1).bytes == 1 && last == '\n';
        file.Seek(0);
    }
    if (headBytes > 0 && head != nullptr) {
        head->assign(headBytes, '\0');
        const platform::IoResult read = file.Read(head->data(), headBytes);
        head->resize(read.ok() ? static_cast<size_t>(read.bytes) : 0);
    }
    return part;
}

// The parts numbered from `first` to `last`, each measured by `measure`
// when the folder holds it (`present`, in order), a run of missing ones as
// one entry: a count of billions costs no more than the parts there are.
template <typename MeasureFn, typename NameFn>
void AddParts(SetCheck& check, int64_t first, int64_t last, const std::vector<int32_t>& present,
              MeasureFn measure, NameFn name) {
    auto next = std::lower_bound(present.begin(), present.end(), first);
    for (int64_t n = first; n <= last;) {
        if (next != present.end() && *next == n) {
            check.parts.push_back(measure(static_cast<int32_t>(n)));
            ++next;
            ++n;
            continue;
        }
        const int64_t end = next != present.end() && *next <= last ? *next - 1 : last;
        PartCheck run{static_cast<int32_t>(n), name(static_cast<int32_t>(n)), PartState::Missing};
        run.lastNumber = static_cast<int32_t>(end);
        run.error = ENOENT;
        run.expected = -1;
        check.parts.push_back(run);
        n = end + 1;
    }
}

void Judge(PartCheck& part, int64_t expected, bool atMost = false) {
    part.expected = expected;
    part.atMost = atMost;
    if (part.state != PartState::Good || expected < 0) return;
    if (part.bytes < 0 || (!atMost && part.bytes < expected)) part.state = PartState::Short;
    if (part.bytes > expected) part.state = PartState::Long;
}

// The data every part but the last holds: what most of them hold, so that
// one damaged part does not make all the others look wrong; in a tie, the
// size that makes the last part what the set's size says, else the lowest
// part's. -1 when no such part was measured.
int64_t UsualPartBytes(const std::vector<PartCheck*>& middle, int64_t total, int64_t parts,
                       const PartCheck* last) {
    std::map<int64_t, int64_t> votes;
    for (const PartCheck* part : middle)
        if (part->state == PartState::Good) ++votes[part->bytes];
    if (votes.empty()) return -1;
    // A size that accounts for the last part and the total is the set's, however few hold it.
    if (total >= 0 && last != nullptr && last->state == PartState::Good)
        for (const auto& [size, count] : votes)
            if (size > 0 && total - size * (parts - 1) == last->bytes) return size;
    int64_t usual = -1, most = 0;
    for (const PartCheck* part : middle) {
        if (part->state != PartState::Good) continue;
        const int64_t count = votes[part->bytes];
        if (count > most) {
            most = count;
            usual = part->bytes;
        }
    }
    return usual;
}

// The parts of `check` measured, and the one numbered `last` among them.
std::vector<PartCheck*> Measured(SetCheck& check, int64_t last, PartCheck*& lastPart) {
    std::vector<PartCheck*> middle;
    lastPart = nullptr;
    for (PartCheck& part : check.parts) {
        if (part.state == PartState::Missing || part.state == PartState::Extra) continue;
        if (part.number == last)
            lastPart = &part;
        else if (part.number < last)
            middle.push_back(&part);
    }
    return middle;
}

void SayImplausible(SetCheck& check, int64_t announced) {
    check.fault = SetFault::ImplausibleCount;
    check.announcedParts = announced;
    check.foundParts = 0;
    for (const PartCheck& part : check.parts)
        if (part.state != PartState::Missing && part.state != PartState::Extra) ++check.foundParts;
}

// A run of missing parts at the end of a set, so long that the count must be wrong.
bool EndsInAnImplausibleRun(const SetCheck& check, int64_t last) {
    if (check.parts.empty()) return false;
    const PartCheck& end = check.parts.back();
    return end.state == PartState::Missing && end.lastNumber == last &&
           int64_t{end.lastNumber} - end.number + 1 > kMostMissingAtTheEnd;
}

// --- Native sets

// The numbers of the native set's parts in their folder, in order: the names
// as the set writes them, base, a number of three digits at least, the first
// part's suffix.
std::vector<int32_t> NativeNumbersInFolder(const NativeSet& job) {
    std::vector<int32_t> present;
    const std::string first = platform::FileNameOf(job.PartPath(1));
    const size_t stem = first.size() - 7;  // "001.pcw"
    for (const std::string& entry : platform::FolderEntries(platform::FolderOf(job.sourcePath))) {
        if (entry.size() < first.size() ||
            !platform::FileNameStartsWith(entry, first.substr(0, stem)))
            continue;
        const std::string_view digits =
            std::string_view(entry).substr(stem, entry.size() - stem - 4);
        int64_t n = 0;
        for (char c : digits) {
            if (c < '0' || c > '9' || n > INT32_MAX / 10) {
                n = -1;
                break;
            }
            n = n * 10 + (c - '0');
        }
        if (n > 0 && n <= INT32_MAX &&
            platform::SameFileName(entry,
                                   platform::FileNameOf(job.PartPath(static_cast<int32_t>(n)))))
            present.push_back(static_cast<int32_t>(n));
    }
    std::sort(present.begin(), present.end());
    present.erase(std::unique(present.begin(), present.end()), present.end());
    return present;
}

// Whether every number from `first` to `last` is among `present`.
bool AllThere(const std::vector<int32_t>& present, int64_t first, int64_t last) {
    if (last < first) return true;
    const auto from = std::lower_bound(present.begin(), present.end(), first);
    const auto to = std::upper_bound(present.begin(), present.end(), last);
    return to - from == last - first + 1;
}

void JudgeNative(NativeSet& job, SetCheck& check) {
    const int32_t count = job.header.partCount;
    if (count <= 0) return;
    const std::vector<int32_t> present = NativeNumbersInFolder(job);
    AddParts(
        check, 1, count, present,
        [&](int32_t i) { return Measure(i, job.PartPath(i), -job.DataBytesOf(i, 0)); },
        [&](int32_t i) { return job.PartPath(i); });
    if (EndsInAnImplausibleRun(check, count)) return SayImplausible(check, count);
    // Every part but the last holds as much as the others; the last the rest.
    PartCheck* last = nullptr;
    const std::vector<PartCheck*> middle = Measured(check, count, last);
    const int64_t usual = UsualPartBytes(middle, job.header.originalSize, count, last);
    for (PartCheck* part : middle) Judge(*part, usual);
    if (last != nullptr && (usual >= 0 || count == 1))
        Judge(*last, job.header.originalSize - std::max<int64_t>(usual, 0) * (count - 1));
    if (count < INT32_MAX && std::binary_search(present.begin(), present.end(), count + 1))
        check.parts.push_back(
            {count + 1, job.PartPath(count + 1), PartState::Extra, 0, -1, 0, count + 1});
}

// The digests of a native set, checked once its parts were measured. The
// digests end the last part: a part whose data is of another size than the
// set says, but whose digest matches, is as it was written, and the fault is
// that of another part (a header whose size field changed). When no part
// matches, the digest block was not found where the set puts it, and the
// sizes say more than the digests.
void HashNative(NativeSet& job, SetCheck& check) {
    const int32_t count = job.header.partCount;
    if (job.header.hasDigests != 1 || check.fault != SetFault::None) return;
    PartCheck* last = nullptr;
    for (PartCheck& part : check.parts)
        if (part.number == count && part.state != PartState::Missing &&
            part.state != PartState::Extra)
            last = &part;
    // Without the last part, or shorter than its digests, none can be read.
    if (last == nullptr || last->state == PartState::Unreadable || last->bytes < 0) return;
    std::vector<PartToHash> batch;
    std::vector<PartCheck*> hashed;
    for (PartCheck& part : check.parts) {
        if (part.state != PartState::Good && part.state != PartState::Short &&
            part.state != PartState::Long)
            continue;
        if (part.bytes < 0) continue;
        // A digest covers the whole part but the digests themselves.
        const int64_t header = part.number == 1 ? static_cast<int64_t>(kHeaderSize) : 0;
        batch.push_back({nullptr, part.path, 0, part.bytes + header});
        hashed.push_back(&part);
    }
    if (batch.empty()) return;
    check.digestsChecked = true;
    job.step = Step::CheckingDigests;
    const PartHashResult result = job.HashBatch(batch, 1, true);
    std::vector<bool> matches(hashed.size(), false);
    bool anyMatch = false, anyDamaged = false;
    for (size_t k = 0; k < hashed.size(); ++k) {
        if (!result.digests[k]) continue;
        matches[k] = DigestToHex(*result.digests[k]) == job.StoredDigest(hashed[k]->number);
        anyMatch = anyMatch || matches[k];
    }
    for (size_t k = 0; k < hashed.size(); ++k) {
        PartCheck& part = *hashed[k];
        if (!result.digests[k]) {
            part.state = PartState::Unreadable;
            part.error = result.errors[k];
        } else if (!matches[k] && part.state == PartState::Good && anyMatch) {
            part.state = PartState::Damaged;
            anyDamaged = true;
        } else if (!matches[k] && part.state == PartState::Good && last->state == PartState::Good) {
            part.state = PartState::Damaged;
            anyDamaged = true;
        }
    }
    if (!anyDamaged) return;
    for (size_t k = 0; k < hashed.size(); ++k)
        if (matches[k] &&
            (hashed[k]->state == PartState::Short || hashed[k]->state == PartState::Long))
            hashed[k]->state = PartState::Good;
}

}  // namespace

// --- Foreign sets

SetCheck JudgeForeignSet(const ForeignSet& set, const PartLayout& layout, KeptParts* kept) {
    const int64_t held = kept != nullptr ? platform::OpenFileLimit() / 2 : 0;
    SetCheck check;
    const int64_t first = layout.first;
    int64_t last = layout.last;
    const std::vector<int32_t> present = set.NumbersInFolder();
    // A set that announces data but holds no part lacks its first one.
    if (last < first) {
        if (layout.announcedSize > 0)
            check.parts.push_back({static_cast<int32_t>(first),
                                   set.PartName(static_cast<int32_t>(first)), PartState::Missing, 0,
                                   -1, ENOENT, static_cast<int32_t>(first)});
        return check;
    }
    std::set<int32_t> linesEnded;
    AddParts(
        check, first, last, present,
        [&](int32_t n) {
            std::string head;
            bool endsALine = false;
            CheckedPart* keep = nullptr;
            if (kept != nullptr) keep = &kept->emplace_back(n, CheckedPart()).second;
            PartCheck part =
                Measure(n, set.PartName(n), n == first ? layout.firstOffset : layout.laterOffset,
                        layout.wrongHeader ? layout.headBytes : 0, &head, keep,
                        layout.cutAtLineEnds ? &endsALine : nullptr);
            if (endsALine) linesEnded.insert(n);
            // Past what the process may hold open, parts are let go and opened
            // again for their copy, which compares their identity.
            if (keep != nullptr && static_cast<int64_t>(kept->size()) > held) keep->Release();
            if (part.state == PartState::Good && part.bytes >= 0 && layout.wrongHeader)
                if (const std::optional<int32_t> named = layout.wrongHeader(n, head)) {
                    part.state = PartState::BadHeader;
                    part.headerNumber = *named;
                }
            return part;
        },
        [&](int32_t n) { return set.PartName(n); });

    PartCheck* lastPart = nullptr;
    std::vector<PartCheck*> middle = Measured(check, last, lastPart);
    const int64_t parts = last - first + 1;
    int64_t usual = UsualPartBytes(middle, layout.announcedSize, parts, lastPart);
    // One part found of a set that announces more: the others are missing
    // after it, each as large as it.
    if (usual < 0 && layout.announcedSize >= 0 && lastPart != nullptr &&
        lastPart->state == PartState::Good && lastPart->bytes > 0 &&
        lastPart->bytes < layout.announcedSize)
        usual = lastPart->bytes;

    // A set that gives its size but not its count ends where that size ends:
    // parts missing after the last one found, or parts past it.
    if (layout.announcedSize >= 0 && usual > 0) {
        const int64_t needed = (layout.announcedSize + usual - 1) / usual;
        const int64_t end = first + std::max<int64_t>(needed, 1) - 1;
        if (end > last) {
            PartCheck run{static_cast<int32_t>(last + 1),
                          set.PartName(static_cast<int32_t>(last + 1)), PartState::Missing};
            run.lastNumber = static_cast<int32_t>(std::min<int64_t>(end, INT32_MAX));
            run.error = ENOENT;
            run.expected = -1;
            check.parts.push_back(run);
            if (end - last > kMostMissingAtTheEnd) {
                SayImplausible(check, needed);
                return check;
            }
        } else if (end < last) {
            for (PartCheck& part : check.parts)
                if (part.number > end) part.state = PartState::Extra;
        }
        last = end;
        middle = Measured(check, last, lastPart);
    }

    for (PartCheck* part : middle) Judge(*part, usual);
    if (lastPart != nullptr) {
        if (layout.announcedSize >= 0)
            Judge(*lastPart, layout.announcedSize - std::max<int64_t>(usual, 0) * (last - first));
        else if (usual >= 0)
            // The last part holds what is left, never more than the others.
            Judge(*lastPart, usual, true);
        else
            Judge(*lastPart, -1);
    }
    // Parts of other sizes in a set that every part but the last ends at a
    // line end were cut there, and say nothing of damage.
    const auto offSize = [](const PartCheck* part) {
        return part->state == PartState::Short || part->state == PartState::Long;
    };
    bool cutAtLineEnds = false;
    if (layout.cutAtLineEnds && !middle.empty() &&
        (std::any_of(middle.begin(), middle.end(), offSize) ||
         (lastPart != nullptr && lastPart->state == PartState::Long))) {
        cutAtLineEnds = std::all_of(middle.begin(), middle.end(), [&](const PartCheck* part) {
            return (part->state == PartState::Good || offSize(part)) && part->bytes > 0 &&
                   linesEnded.count(part->number) > 0;
        });
    }
    if (cutAtLineEnds) {
        for (PartCheck* part : middle)
            if (offSize(part)) part->state = PartState::Uneven;
        if (lastPart != nullptr && lastPart->state == PartState::Long)
            lastPart->state = PartState::Uneven;
    }
    // A part past those the header counts is no part of the set.
    if (layout.countAnnounced) {
        const auto after = std::upper_bound(present.begin(), present.end(), layout.last);
        if (after != present.end())
            check.parts.push_back(
                {*after, set.PartName(*after), PartState::Extra, 0, -1, 0, *after});
    }
    if (layout.twoPartsAtLeast && parts == 1 && check.fault == SetFault::None)
        check.fault = SetFault::LonePart;

    if (!check.Whole()) return check;
    check.notes = layout.notes;
    // The parts of other sizes are named, ten at most.
    std::string uneven;
    int named = 0;
    for (const PartCheck& part : check.parts) {
        if (part.state != PartState::Uneven) continue;
        if (++named > 10) {
            uneven += Say(TextId::SetListGoesOn);
            break;
        }
        if (!uneven.empty()) uneven += Say(TextId::ListSeparator);
        uneven +=
            Say(TextId::SetUnevenPart, {std::to_string(part.number), std::to_string(part.bytes)});
    }
    if (!uneven.empty())
        check.notes.push_back(Say(TextId::SetCutAtLineEnds, {std::to_string(usual), uneven}));
    // Without a count or a size, a last part as large as the others may have
    // had others after it.
    if (!layout.countAnnounced && layout.announcedSize < 0 && lastPart != nullptr && usual > 0 &&
        lastPart->bytes == usual)
        check.mayContinue = true;
    return check;
}

bool SetCheck::Whole() const {
    return fault == SetFault::None && std::none_of(parts.begin(), parts.end(), IsFault);
}

int64_t SetCheck::CountedParts() const {
    if (fault == SetFault::ImplausibleCount) return announcedParts;
    int64_t count = 0;
    for (const PartCheck& part : parts)
        if (part.state != PartState::Extra) count += int64_t{part.lastNumber} - part.number + 1;
    return count;
}

int64_t SetCheck::FaultyParts() const {
    int64_t count = 0;
    for (const PartCheck& part : parts)
        if (IsFault(part)) count += int64_t{part.lastNumber} - part.number + 1;
    return count;
}

int64_t SetCheck::DataBytes() const {
    int64_t bytes = 0;
    for (const PartCheck& part : parts)
        if (IsCopied(part)) bytes += part.bytes;
    return bytes;
}

std::string PartProblem(const PartCheck& part) {
    const std::string bytes = std::to_string(part.bytes);
    const std::string expected = std::to_string(part.expected);
    switch (part.state) {
        case PartState::Good:
            return std::string();
        case PartState::Missing:
            return Say(part.lastNumber > part.number ? TextId::JudgedPartsMissing
                                                     : TextId::JudgedPartMissing);
        case PartState::Unreadable:
            return Say(TextId::JudgedPartUnreadable, {platform::ReasonLine(part.path, part.error)});
        case PartState::Short:
            return part.bytes < 0 ? Say(TextId::JudgedPartShortForHeader)
                                  : Say(TextId::JudgedPartShort, {bytes, expected});
        case PartState::Long:
            return Say(TextId::JudgedPartLong, {bytes, expected});
        case PartState::Damaged:
            return part.checksumFile.empty() ? Say(TextId::JudgedPartDamaged)
                                             : Say(TextId::JudgedPartDamagedByChecksum,
                                                   {platform::FileNameOf(part.checksumFile)});
        case PartState::Extra:
            return Say(TextId::JudgedPartExtra);
        case PartState::BadHeader:
            return part.headerNumber >= 0
                       ? Say(TextId::JudgedPartMisplaced, {std::to_string(part.headerNumber)})
                       : Say(TextId::JudgedPartForeignHeader);
        case PartState::Uneven:
            return Say(TextId::JudgedPartUneven, {bytes, expected});
    }
    return std::string();
}

std::string SetFaultText(const SetCheck& check) {
    switch (check.fault) {
        case SetFault::None:
            break;
        case SetFault::ImplausibleCount:
            return Say(TextId::SetCountImplausible,
                       {std::to_string(check.announcedParts),
                        check.foundParts == 1
                            ? Say(TextId::SetFoundOne)
                            : Say(TextId::SetFoundMany, {std::to_string(check.foundParts)})});
        case SetFault::LonePart:
            return Say(TextId::SetLonePart);
        case SetFault::WholeFileDiffers:
            return Say(TextId::SetWholeFileDiffers,
                       {check.wholeName, platform::FileNameOf(check.checksumFile)});
    }
    return std::string();
}

std::optional<Message> JoinRefusal(const SetCheck& check) {
    const std::string stopped = Say(TextId::TitleJoinStopped);
    if (check.fault != SetFault::None)
        return Message{SetFaultText(check), stopped, platform::Icon::Warning};
    const auto fault = std::find_if(check.parts.begin(), check.parts.end(), IsFault);
    if (fault == check.parts.end()) return std::nullopt;
    const PartCheck& part = *fault;
    const std::string number = std::to_string(part.number);
    switch (part.state) {
        case PartState::Missing:
            // The words that joins have always used for a missing part, the
            // first of a run.
            return Message{Say(TextId::PartMissing, {number}), stopped, platform::Icon::Warning};
        case PartState::Damaged:
            return Message{Say(TextId::PartCorrupt, {number}), stopped, platform::Icon::Warning};
        case PartState::Unreadable:
            return Message{Say(TextId::NumberedPartNotAccessible,
                               {number, platform::ReasonLine(part.path, part.error)}),
                           stopped, platform::Icon::Warning};
        case PartState::Short:
            if (part.bytes < 0)
                return Message{Say(TextId::PartTooShortForHeader, {number}), stopped,
                               platform::Icon::Warning};
            break;
        default:
            break;
    }
    return Message{Say(TextId::JudgedPartAtFault, {number, PartProblem(part)}), stopped,
                   platform::Icon::Warning};
}

std::string NotesText(const SetCheck& check) {
    std::string text;
    for (const std::string& note : check.notes) text += "\n\r\n\r" + note;
    return text;
}

SetCheck JudgeParts(Job& job) {
    SetCheck check;
    if (auto* native = dynamic_cast<NativeSet*>(&job))
        JudgeNative(*native, check);
    else if (auto* foreign = dynamic_cast<ForeignSet*>(&job))
        check = JudgeForeignSet(*foreign, foreign->Layout());
    return check;
}

bool PartsAllThere(const Job& job) {
    if (const auto* native = dynamic_cast<const NativeSet*>(&job))
        return AllThere(NativeNumbersInFolder(*native), 1, native->header.partCount);
    if (const auto* foreign = dynamic_cast<const ForeignSet*>(&job))
        return AllThere(foreign->NumbersInFolder(), foreign->FirstNumber(), foreign->LastNumber());
    return true;
}

SetCheck CheckSet(Job& job) {
    SetCheck check = JudgeParts(job);
    if (auto* native = dynamic_cast<NativeSet*>(&job))
        HashNative(*native, check);
    else if (auto* foreign = dynamic_cast<ForeignSet*>(&job))
        HashByChecksums(job, foreign->Layout(), check);
    return check;
}

void HashByChecksums(Job& job, const PartLayout& layout, SetCheck& check) {
    if (layout.checksums.empty() || check.fault != SetFault::None) return;
    std::vector<PartToHash> batch;
    std::vector<PartCheck*> hashed;
    size_t counted = 0;
    for (PartCheck& part : check.parts) {
        if (part.state == PartState::Extra) continue;
        ++counted;
        if (part.state != PartState::Good && part.state != PartState::Short &&
            part.state != PartState::Long && part.state != PartState::Uneven)
            continue;
        if (part.bytes < 0 || layout.checksums.count(part.number) == 0) continue;
        batch.push_back({nullptr, part.path, 0, -1});
        hashed.push_back(&part);
    }
    if (batch.empty()) return;
    // Only a file that names every part checks them all.
    check.digestsChecked = hashed.size() == counted;
    // The whole file is the parts' data one after the other: read in order
    // beside the parts' own hashes, it is checked before anything is written.
    const bool wholeToCheck = check.digestsChecked && !layout.wholeChecksum.empty();
    std::vector<PartToHash> sequence;
    if (wholeToCheck)
        for (const PartCheck* part : hashed)
            sequence.push_back(
                {nullptr, part->path,
                 part->number == layout.first ? layout.firstOffset : layout.laterOffset,
                 part->bytes});
    // The display follows the whole file's hash when there is one, the
    // slowest, buffer by buffer; otherwise the parts as they end. Never two
    // workers at once.
    int64_t total = 0;
    for (const PartCheck* part : hashed) total += part->bytes;
    job.step = Step::CheckingDigests;
    job.totalBytes = total;
    job.doneBytes = 0;
    job.partNumber = hashed.front()->number;
    job.partBytes = hashed.front()->bytes;
    job.partDoneBytes = 0;
    job.ShowProgress();
    PartHashOptions options;
    options.everyPart = true;
    options.pause = [&job] { job.Gate().Wait(); };
    options.cancelled = [&job] { return job.CancelRequested(); };
    PartHashOptions inOrder = options;
    if (wholeToCheck) {
        inOrder.progress = [&](size_t part, int64_t partBytes, int64_t allBytes) {
            job.partNumber = hashed[part]->number;
            job.partBytes = hashed[part]->bytes;
            job.partDoneBytes = partBytes;
            job.doneBytes = allBytes;
            job.ShowProgress();
        };
    } else {
        int64_t done = 0;
        options.partDone = [&, done](size_t part, int) mutable {
            done += hashed[part]->bytes;
            job.partNumber = hashed[part]->number;
            job.partBytes = hashed[part]->bytes;
            job.partDoneBytes = hashed[part]->bytes;
            job.doneBytes = done;
            job.ShowProgress();
        };
    }
    HexDigests digests;
    auto hashParts = [&] { digests = HashPartsHex(batch, layout.checksumKind, options); };
    SequenceDigest whole;
    if (wholeToCheck)
        RunBeside([&] { whole = HashInSequence(sequence, layout.checksumKind, inOrder); },
                  hashParts);
    else
        hashParts();
    const std::vector<std::string>& hex = digests.hex;
    const std::vector<int>& errors = digests.errors;
    for (size_t k = 0; k < hashed.size(); ++k) {
        PartCheck& part = *hashed[k];
        if (hex[k].empty()) {
            part.state = PartState::Unreadable;
            part.error = errors[k] != 0 ? errors[k] : EIO;
        } else if (hex[k] != layout.checksums.at(part.number)) {
            part.state = PartState::Damaged;
            part.checksumFile = layout.checksumFile;
        } else if (part.state == PartState::Short || part.state == PartState::Long) {
            // The checksum file says what the part holds: its size is no damage.
            part.state = PartState::Good;
        }
    }
    if (!wholeToCheck || job.CancelRequested() || !check.Whole()) return;
    if (whole.failedPart >= 0) {
        // Read once whole for its own digest, the part failed the second time.
        PartCheck& part = *hashed[static_cast<size_t>(whole.failedPart)];
        part.state = PartState::Unreadable;
        part.error = whole.error;
    } else if (whole.hex != layout.wholeChecksum) {
        check.fault = SetFault::WholeFileDiffers;
        check.wholeName = layout.wholeName;
        check.checksumFile = layout.checksumFile;
    }
}
