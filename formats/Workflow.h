// The steps every front end takes with a job, in their order: open what the
// user chose, check the choices, start the work. The windows show what each
// step answers, pcw turns its arguments into these calls, and the tests call
// them as they are. What a step has to say goes to its `said`, in order, for
// the front end to show: a step never shows anything itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/Message.h"
#include "core/ProgressDisplay.h"
#include "formats/Detect.h"
#include "platform/File.h"

struct FormatRow;
class Job;
class NativeSet;
class LegacySet;
class PlainSet;
enum class PlainDigest;

namespace workflow {

enum class Direction { Split, Join };

// --- Open

// The chosen file opened for reading. When it is no regular file or cannot be
// read, shows "Impossible d'ouvrir le fichier !" with the reason, naming the
// file as `path` does, and gives a file that is not open.
platform::File OpenChosenFile(const std::string& path, Messages& said);

// Makes the file at `path` the source of a split: a regular file of more than
// 1 Mo, whose name and folder become the proposed destination. False, after
// the message, otherwise; the job is then not opened.
bool OpenFileToSplit(Job& job, const std::string& path, Messages& said);
// What OpenFileToSplit does once the file passed: `path`, of `size` bytes,
// becomes the job's source and names the proposed destination.
void TakeSourceToSplit(Job& job, const std::string& path, int64_t size);
// Makes the standard input the source of a split into `folder`: its size, and
// so the number of parts, is known when it ends; the parts need a name of
// their own (the stream has none). A stream too short for a set is refused
// once it ended, and its parts taken back.
void TakeStreamToSplit(NativeSet& job, const std::string& folder);

enum class Opening {
    Opened,
    Unopenable,  // the chosen file itself could not be opened
    Refused,     // the job read it and refused the set (and said why)
};

// Opens the set that `path` belongs to into a job of its kind, without asking
// first whether the file can be opened: the job's own reading says so. A
// refused set is forgotten (ResetSet).
bool OpenSetAt(Job& job, const std::string& path, Messages& said);
// The same after making sure that the chosen file can be opened at all.
Opening OpenChosenSet(Job& job, const std::string& path, Messages& said);
// --- A part of a set of any kind

// The kinds of set that a part given without its kind fits, from its name and
// first bytes; `detection.path` is the file to open.
struct FoundKind {
    Detection detection;
    std::vector<const FormatRow*> formats;  // the likeliest first
};
FoundKind FindKind(const std::string& path);

// Who is told how to choose a kind: pcw by --format, the windows by the type
// list of the open dialog.
enum class Audience { CommandLine, Window };
// For a part that fits no kind or several: says so, naming the file, the
// kinds and how to choose; a file that cannot be read is said as such.
void SayNoSingleKind(const FoundKind& found, Audience audience, Messages& said);

// Opens the first part of a set of the 1.0 format; a file that is no 1.0 set
// at all is said as the program's general error report says it. False when
// refused; the job is then not opened.
bool OpenLegacySet(LegacySet& job, const std::string& path, Messages& said);

// A name read from a set, made into a plain file name (platform::SafeFileName).
// When Windows reserves it for a device, says so and what the file will be
// called.
std::string NameFromSet(const std::string& stored, Messages& said);

// --- Check

// The path that a run creates first under the destination name `name`: the
// first part of a split, the rebuilt file of a join.
std::string FirstOutputPath(const Job& job, Direction direction, const std::string& name);

// What stands where a job means to create a file. A folder is no file that
// exists, but the job cannot write there either.
enum class Occupant { None, File, Folder };
Occupant OccupantOf(const std::string& path);
// The problem line of the parameter checks for a taken destination `path`;
// empty when it is free. A file is named as `shownFile`, a folder by its path.
std::string TakenLine(const std::string& path, const std::string& shownFile);

// The end of a job's parameter checks, which gather their problem lines in
// `problems`: adds the line of a taken destination, and says them all in one
// warning. Returns whether the parameters hold.
bool EndChecks(bool valid, std::string& problems, const std::string& destination,
               const std::string& shownFile, Messages& said);
// What the name editor says of a destination name already taken, nothing
// when it is free.
std::optional<std::string> NameTakenText(const Job& job, Direction direction,
                                         const std::string& name);

struct SplitChoice {
    std::string storedName;  // the original's name that the set keeps
    std::string destName;    // the name of the parts
    bool withDigests = false;
    int32_t partSize = 0;
    uint32_t bufferSize = 16384;
};

// Checks a split before anything is written: room for all it writes, then
// the choices, every problem in one message, followed by "Le découpage a été
// annulé." when the choices are refused. True, with the buffer size set, when
// the split may start.
bool CheckSplit(NativeSet& job, const SplitChoice& choice, Messages& said);
// The same for a plain set of parts of `partSize` bytes named from `destName`,
// with its checksum file of `digest`.
bool CheckPlainSplit(PlainSet& job, const std::string& destName, int64_t partSize,
                     PlainDigest digest, uint32_t bufferSize, Messages& said);
// The same for a join of the opened set into `destName`, of any kind.
bool CheckJoin(Job& job, const std::string& destName, bool verify, uint32_t bufferSize,
               Messages& said);

// The destination folder the user chose for the job; a folder on an optical
// disc is refused (the job keeps its folder), and false.
bool UseFolder(Job& job, const std::string& folder, Messages& said);

// --- Run

// Starts the checked job's work in its direction, as the progress window does
// when it opens; the work goes on on the job's thread.
void Start(Job& job, Direction direction);

}  // namespace workflow
