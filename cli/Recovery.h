// What the commands that make, judge and use recovery parts share.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Common.h"
#include "formats/native/md5.h"

class Job;
class NativeSet;

namespace recovery {
struct Protection;
}

namespace cli {

// A set damaged but repairable from its recovery parts: pcw verify's own status.
inline constexpr int kExitRepairable = 3;

// Reads --recovery into `count` (0 when absent): from 1 to the most recovery
// parts, and no more than the set has parts when `parts` is known (not 0).
bool ReadRecoveryCount(const Parsed& parsed, int64_t parts, int& count, std::string& error);

// Writes `count` recovery parts for the parts, named after `stemPath`, and
// says which; kExitOk when they were written.
int WriteRecoveryParts(const std::vector<std::string>& parts, const std::string& stemPath,
                       int count, Context& ctx,
                       const std::vector<std::optional<Digest>>& known = {}, bool say = true);
// Runs the checked split `job` with `count` recovery parts (none: 0) as its
// last step; a line per recovery part written when `say`.
int RunSplitProtected(NativeSet& job, int count, bool say, Context& ctx);

// Joins the opened set of `job`, damaged but repairable by `protection`, into
// `name` in the job's folder, rebuilding the lost parts in memory; says which
// when `say`.
int JoinRepairing(Job& job, const recovery::Protection& protection, const std::string& name,
                  bool say, Context& ctx);

// The status verify ends with, from the set's own judgement and its
// recovery parts' one.
int VerifyStatus(bool setWhole, const recovery::Protection& protection);

}  // namespace cli
