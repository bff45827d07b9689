// The steps with recovery parts that every front end takes after a split and
// for a join, worded once: pcw writes what they say on its terminal, the
// windows show it. A step never shows anything itself.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Message.h"
#include "formats/Workflow.h"
#include "formats/native/md5.h"
#include "formats/recovery/RecoverySet.h"

class Job;
class NativeSet;
struct FormatRow;

namespace workflow {

// Writes `count` recovery parts for the parts, named after `stemPath`; the
// paths written go to `written`. False after saying why in `said`. `known`
// holds the parts' digests already computed, nothing where unknown.
bool WriteRecoveryParts(const std::vector<std::string>& parts, const std::string& stemPath,
                        int count, const std::vector<std::optional<Digest>>& known,
                        std::vector<std::string>& written, Messages& said);
// The same for the set a native split just made, with the digests it stored.
// A count above the set's number of parts is brought down to it: a split
// from the windows cannot know its number before it ends, when its parts are
// on disk already.
bool ProtectSplitSet(const NativeSet& job, int count, std::vector<std::string>& written,
                     Messages& said);
// The digest that 32 hexadecimal digits give; nothing for any other text.
std::optional<Digest> DigestFromHex(std::string_view hex);

// What a join learns from the recovery parts beside the part it was given.
struct JoinProtection {
    recovery::Protection protection;
    // Data parts are lost or damaged and the recovery parts can rebuild them.
    bool repairs = false;
    // Every data part was just found intact by its digest: no second hashing.
    bool dataChecked = false;
};
JoinProtection ExamineForJoin(const std::string& anyPart);

// Opens the set that an examined protection describes, from its parts as the
// recovery parts find them rather than from the part the user gave: a native
// set from its first part's header, rebuilt in memory when that part is lost
// or damaged, its stored digests left to the recovery parts' own; a set of
// another kind from its first intact data part. Nothing when the set cannot
// be opened so; `said` then holds why, and `kind` the row of the kind opened.
std::unique_ptr<Job> OpenProtectedSet(const recovery::Protection& protection, Audience audience,
                                      Messages& said, const FormatRow** kind = nullptr);
// Whether a join of `given` opens its set from its recovery parts: they can
// rebuild data parts it lost, or `given` is one of them.
bool OpensFromRecoveryParts(const JoinProtection& found, const std::string& given);
// After a refused open of `given`: the set its recovery parts open instead,
// when OpensFromRecoveryParts; nothing otherwise.
std::unique_ptr<Job> OpenWithRecoveryParts(const std::string& given, Audience audience,
                                           Messages& said);
// For a protected set that lost more than its recovery parts can rebuild:
// the refusal that says how many files are lost and how many recovery parts
// it would take; nothing for a set that is whole or can be repaired.
std::optional<std::string> IrreparableLine(const recovery::Protection& protection);

// For a set that could not be opened: the line saying that its recovery
// parts can repair it first, nothing when they cannot.
std::optional<std::string> RepairFirstLine(const std::string& anyPart);

// Joins the opened set of `job`, damaged but repairable by `protection`, into
// `name` in the job's folder, rebuilding the lost data parts in memory. Their
// lines (one per part rebuilt) go to `rebuilt`; the end of the join, success
// or failure, is said in `said`. False when it failed.
bool JoinRepairing(Job& job, const recovery::Protection& protection, const std::string& name,
                   std::vector<std::string>& rebuilt, Messages& said);

}  // namespace workflow
