// What the eight foreign joiners share: the open frame, the destination check,
// the join worker with its copy loop, the progress and the end report. A
// format supplies only how it reads the chosen file, how its parts are named,
// which numbers a set holds and where the data of a part starts.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Job.h"
#include "core/ProgressWriter.h"
#include "platform/File.h"

// What the judgement of a set (formats/SetCheck) needs to know of a foreign
// set, taken by value: a join takes it when it starts, as its worker must not
// call into the format's own class.
enum class PlainDigest;

struct PartLayout {
    int32_t first = 0, last = 0;
    int64_t firstOffset = 0, laterOffset = 0;
    // Every part but the last holds as much as the others, the last no more.
    bool equalParts = true;
    // Parts of other sizes are no damage when every part but the last ends
    // with a line feed: tools also cut such sets at line ends.
    bool cutAtLineEnds = false;
    // The set's last number comes from a header, not from the folder.
    bool countAnnounced = false;
    // A set holds two parts at least: one file alone is no set.
    bool twoPartsAtLeast = false;
    // The rebuilt size that the set announces, -1 when it announces none.
    int64_t announcedSize = -1;
    // The bytes of a part's start that `wrongHeader` reads, 0 for none. It
    // gives nothing when the part's header is that of this part of the set,
    // otherwise the number of the part it names (-1 for none).
    size_t headBytes = 0;
    std::function<std::optional<int32_t>(int32_t number, std::string_view head)> wrongHeader;
    // What a user should know of the set even when it is whole.
    std::vector<std::string> notes;
    // The digests of a checksum file beside a plain set (NAME.sha256 or
    // NAME.md5), in lower-case hexadecimal, by part number; empty without one.
    PlainDigest checksumKind{};
    std::string checksumFile;
    std::map<int32_t, std::string> checksums;
    // The checksum file's digest of the whole file, which the parts give one
    // after the other; empty when it has no line for it.
    std::string wholeName;
    std::string wholeChecksum;
};

class ForeignSet : public Job {
public:
    // The size of the rebuilt file as the set announces it: for display and
    // progress only, never checked against what is written.
    int64_t rebuiltSize = 0;

    bool OpenSet(Messages& said) final;
    bool CheckJoinParameters(const std::string& name, bool verifyHash, Messages& said) final;
    void StartJoin() final;
    void ShowProgress() final;
    void EndOfWork() final;
    int64_t RebuiltSize() const final { return rebuiltSize; }

    // The set as opened: numbers of the first and last parts, and their paths.
    virtual int32_t FirstNumber() const = 0;
    virtual int32_t LastNumber() const = 0;
    // Part `number`: the stem of the set's names followed by the number on at
    // least the set's width, always in the chosen file's folder.
    std::string PartName(int32_t number) const;
    // Where the data of part `number` starts.
    int64_t DataOffsetOf(int32_t number) const {
        return number == FirstNumber() ? FirstOffset() : LaterOffset();
    }
    // The facts of the opened set that its judgement checks.
    PartLayout Layout() const;
    // The numbers of every entry of the folder that the part-name rule names,
    // whatever the entry is (a folder, a link that leads nowhere…), in order.
    std::vector<int32_t> NumbersInFolder() const;

protected:
    // Reads the chosen file (already open) and the names around it; fills
    // choices.fileName, choices.folder, rebuiltSize and the part range.
    // False makes the open fail with OpenFailureText().
    virtual bool ReadSet(platform::File& chosen) = 0;
    virtual std::string OpenFailureText() const = 0;
    // Where the data starts in the first part and in the others.
    virtual int64_t FirstOffset() const { return 0; }
    virtual int64_t LaterOffset() const { return 0; }
    // The kind's own facts, over the frame's (range and offsets).
    virtual void DescribeParts(PartLayout& layout) const = 0;

    // "Impossible d'ouvrir ce fichier, vérifier qu'il s'agit bien d'un fichier découpé avec " +
    // tool + "."
    static std::string OpenFailure(const std::string& tool);
    // The folder of the chosen file, ending with the separator.
    std::string ChosenFolder() const;
    // The chosen file's name without its folder.
    std::string ChosenName() const;
    // How the parts are named: the chosen file's name less its last `dropped`
    // characters, then `joint`, then the number on `width` digits. False when
    // the name is shorter than what the rule drops: no set of that kind.
    bool NameParts(size_t dropped, std::string_view joint, size_t width);
    // Numbers after the width's last one widen as coreutils split -d writes
    // them when not told a width: 00 … 89, 9000 … 9899, 990000 …
    void WidenNumbers(bool widen) { widened_ = widen; }
    // The number that the text after the stem gives by the set's rule.
    bool ReadNumber(std::string_view text, int64_t& number) const;
    // The number of the set's last part: the highest above `from` that names a
    // file of the folder by the part-name rule, `from` when there is none. A
    // part missing below it is a hole in the set, not its end: the join then
    // stops on it rather than leave out the parts that follow.
    int32_t LastInFolder(int32_t from) const;
    // The rebuilt size of a set whose parts but the last are the size of the
    // first: (last - first) times that, plus the last part (0 when absent).
    int64_t EstimatedSize() const;
    // What a set recognised by names alone gives once its original name is
    // known: the chosen file's folder, the run of parts from the first one
    // (its last number into `last`) and the estimated size.
    void ReadNamedSet(const std::string& originalName, int32_t& last);

private:
    void JoinThread();
    StepResult JoinSteps(std::optional<JoinOutput>& output);
    std::string partStem_;
    size_t numberWidth_ = 0;
    bool widened_ = false;
    ProgressWriter writer_;
    // What the join reads of the format's own part, taken when it starts: the
    // format's class goes before this one, and the worker must not outlive it.
    PartLayout layout_;
    // The notes of the set judged, for the success message.
    std::string notes_;
    // Last: the worker uses everything above.
    Worker worker_{*this};
};
