// The recovery parts of a set on disk: making them for a list of parts,
// finding them again from any part of the set, judging every shard, and
// rebuilding the ones lost. Memory stays at one stripe of every shard read or
// written, whatever the size of the set.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/recovery/RecoveryHeader.h"
#include "formats/recovery/RepairPlan.h"

namespace recovery {

// "NAME.R01.pcw": the recovery parts sort after data parts named NAME…
// (a digit or a letter before 'R' in the native sets' ".001.pcw") and match
// no kind's naming rule, which all end in digits or in a digit and ".pcw".
std::string RecoveryPartName(std::string_view stem, int index);
bool IsRecoveryPartName(std::string_view fileName);

// What a recovery operation that failed says, worded for the user; a
// stopped one says nothing.
struct Failure {
    std::string text;
    bool stopped = false;
};

// Told how far a long operation is, `done` of `total` bytes, between its
// stripes: false stops it, and it takes back what it made as on a failure.
using StripeProgress = std::function<bool(int64_t done, int64_t total)>;

// Writes `recoveryParts` recovery parts for the data parts, named after
// `stemPath` (a path without the ".R01.pcw"), and the paths written in
// `written`. `known` may give the digests of some parts' whole files, which
// are then not hashed again (a split with digests has just made them).
// Each is written under a temporary name and given its own once whole.
// Nothing is left behind when it fails or stops; no existing file is replaced.
// The code is over FieldFor the set's count of files unless `field` says which.
std::optional<Failure> ProtectParts(const std::vector<std::string>& dataPaths,
                                    const std::string& stemPath, int recoveryParts,
                                    std::vector<std::string>* written = nullptr,
                                    const std::vector<std::optional<Digest>>& known = {},
                                    std::optional<Field> field = std::nullopt,
                                    const StripeProgress& progress = {});

struct ShardCheck {
    std::string path;
    bool data = true;
    int number = 0;  // from 1, among the data parts or among the recovery parts
    ShardState state = ShardState::Good;
    int64_t bytes = 0;  // what the file holds where it is of the wrong size
    int64_t expected = 0;
    int error = 0;  // for an unreadable one
};

// A file that looks like a recovery part of the set but cannot serve it.
struct IgnoredPart {
    std::string path;
    HeaderFault fault = HeaderFault::None;  // None: a sound header of another set
    int version = 0;
};

struct Protection {
    std::optional<RecoveryHeader> header;  // nothing: the set has no usable recovery part
    std::string folder;
    std::vector<ShardCheck> shards;  // data parts first, as the header lists them
    std::vector<IgnoredPart> ignored;
    RepairPlan plan;
};

// Finds the recovery parts beside `anyPart` (a data part or a recovery part
// of the set), reads their headers and checks every shard against the sizes
// and digests they give. Nothing is written.
Protection ExamineProtection(const std::string& anyPart);

// What a repair did.
struct RepairReport {
    std::vector<std::string> rebuilt;
    std::vector<std::pair<std::string, std::string>> keptAside;  // the part, its new name
};

// Rebuilds the lost shards of an examined, repairable set: each one is
// written under a temporary name, checked against its digest, then given its
// name; a damaged part is first renamed aside, never overwritten. Nothing
// else is touched.
std::optional<Failure> RepairSet(const Protection& protection, RepairReport& report);

// What verify says of an examined set's recovery parts and of the shards
// their digests find at fault: one line per shard at fault (each one with
// `verbose`), the ignored parts, then whether the set is whole, repairable or
// not. Empty for a set without a usable recovery part and nothing ignored.
std::string DescribeProtection(const Protection& protection, bool verbose);

// Whether the folder of `anyPart` holds a file named as a recovery part.
bool HasRecoveryParts(const std::string& anyPart);

// Why an examined set cannot be repaired: how many files it lost, how many
// intact recovery parts that would take and how many it has.
std::string IrreparableText(const RepairPlan& plan);

// `count` bytes from `from` of data part `index` (from 0) of an examined set:
// read from the part when it is intact, rebuilt in memory from the shards a
// repair reads when it is lost and the set repairable, zeros past the part's
// end. Nothing when the bytes cannot be had. What is rebuilt rests on shards
// whose digests were just checked; the whole part's digest is checked by the
// join that rebuilds it.
std::optional<std::vector<uint8_t>> DataPartBytes(const Protection& protection, int index,
                                                  int64_t from, size_t count);

// Where a join finds the data in each data part's file: `bytes` from `from`.
struct JoinPiece {
    int64_t from = 0;
    int64_t bytes = 0;
};
// Joins an examined, repairable set into `outputPath` without writing any
// part: the intact parts' pieces are copied, the lost ones rebuilt a stripe
// at a time into their place and checked against their digests. The output
// is written under a temporary name, and renamed only once whole; it never
// replaces a file.
std::optional<Failure> JoinRepairing(const Protection& protection,
                                     const std::vector<JoinPiece>& pieces,
                                     const std::string& outputPath,
                                     const StripeProgress& progress = {});

}  // namespace recovery
