// The one judgement of a set: which files belong to it, what each must hold
// by the facts its kind carries (sizes, counts, the numbers in its headers)
// and, for the sets that carry digests, whether each part is intact. `pcw
// verify` shows it, `pcw info` counts by it, and every join refuses what it
// finds wrong before writing anything, naming the part at fault in the same
// words. Nothing is written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <utility>

#include "core/CheckedPart.h"
#include "core/Message.h"

class Job;
class ForeignSet;
struct PartLayout;

enum class PartState {
    Good,
    Missing,
    Unreadable,
    Short,
    Long,
    Damaged,
    Extra,
    BadHeader,  // its header is not that of this part of this set
    Uneven,     // of another size than the others, in a set cut at line ends
};

struct PartCheck {
    int32_t number = 0;
    std::string path;
    PartState state = PartState::Good;
    int64_t bytes = 0;     // the part's data
    int64_t expected = 0;  // what the set implies it holds; -1 when nothing does
    int error = 0;         // for an unreadable part
    // For a run of missing parts, the last one of the run; `number` otherwise.
    int32_t lastNumber = 0;
    // `expected` is a most: the last part of a set that gives no size.
    bool atMost = false;
    // For a wrong header: the number of the part it names, -1 when it names none.
    int32_t headerNumber = -1;
    // For a damaged part: the checksum file whose digest it does not match,
    // empty when the set's own digests said so.
    std::string checksumFile{};
};

// What is wrong with the set as a whole rather than with one of its parts.
enum class SetFault {
    None,
    ImplausibleCount,  // far more parts announced than there are
    LonePart,          // one file alone, of a kind whose sets hold two at least
    // every part matches its checksum line, but the parts one after the
    // other do not match the line of the whole file
    WholeFileDiffers,
};

struct SetCheck {
    // Every part of the set in order, a run of missing ones as one entry, then
    // any extra one.
    std::vector<PartCheck> parts;
    bool digestsChecked = false;  // false for a set without digests
    SetFault fault = SetFault::None;
    int64_t announcedParts = 0;  // for ImplausibleCount
    int64_t foundParts = 0;
    // For WholeFileDiffers: the file the checksum file names, and that file.
    std::string wholeName;
    std::string checksumFile;
    // What a user should know of a set that is whole as far as it can tell.
    std::vector<std::string> notes;
    // The last part is as large as the others, in a set that gives neither
    // its count nor its size: more parts may have followed it.
    bool mayContinue = false;

    // True when every part of the set is there, of its size and intact; an
    // extra file numbered past the set does not make it less whole.
    bool Whole() const;
    // The parts the set counts (runs of missing ones included, extra ones not).
    int64_t CountedParts() const;
    // The parts at fault, counted as CountedParts counts them.
    int64_t FaultyParts() const;
    // The data the parts that a join copies hold.
    int64_t DataBytes() const;
};

// What is wrong with a part, after its number ("trop court (…)"); empty for
// a good one.
std::string PartProblem(const PartCheck& part);
// The sentence of the set's own fault; empty when it has none.
std::string SetFaultText(const SetCheck& check);
// Why a join refuses the set, naming the first part at fault as verify names
// it; nothing for a whole set.
std::optional<Message> JoinRefusal(const SetCheck& check);
// The notes of a whole set, one per line after a blank one; empty without notes.
std::string NotesText(const SetCheck& check);

// The presence, sizes and headers of the parts of the opened set of `job`,
// a native or a foreign one, without reading their data.
SetCheck JudgeParts(Job& job);
// The judgement of a foreign set laid out as `layout` says, named by `set`.
// With `kept`, every part measured stays open there, by its number, for a
// join to copy the files it judged.
using KeptParts = std::vector<std::pair<int32_t, CheckedPart>>;
SetCheck JudgeForeignSet(const ForeignSet& set, const PartLayout& layout,
                         KeptParts* kept = nullptr);
// Whether the folder holds every part that the opened set of `job` numbers,
// by its names alone: the look that comes before the room on the disk.
bool PartsAllThere(const Job& job);
// The same, then the parts hashed when the set carries digests, or has a
// checksum file beside it; the job's display shows the hashing as a verified
// join shows it.
SetCheck CheckSet(Job& job);
// The parts of `check` that a checksum file beside the set names (the
// layout's checksums), hashed on every core: a part whose digest differs is
// damaged, one that cannot be read unreadable. Pauses and cancels of `job`
// are honoured. Nothing without a checksum file.
void HashByChecksums(Job& job, const PartLayout& layout, SetCheck& check);
