// Recovery parts and the repair decision: files in a scratch folder, the
// first one given as the part the user names. Whatever the headers hold, the
// examination ends cleanly and agrees with its plan, a repair touches nothing
// but the files the table names (and their temporary and kept-aside names)
// in that folder, and a repair that reports success leaves the set whole.
#include <algorithm>
#include <string>

#include "formats/recovery/RecoverySet.h"
#include "fuzz/FuzzFiles.h"
#include "platform/Paths.h"

using namespace fuzzing;

namespace {

// A file a repair may make or change: one the table names, or its rebuilt or
// kept-aside form.
bool RepairMayTouch(const std::string& relative, const recovery::RecoveryHeader& header) {
    if (relative.rfind("set/", 0) != 0) return false;
    const std::string name = relative.substr(4);
    return std::any_of(header.shards.begin(), header.shards.end(), [&](const auto& shard) {
        return name == shard.name || name.rfind(shard.name + ".endommage", 0) == 0;
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Scratch scratch;
    static bool silenced = (SilenceMessages(), true);
    (void)silenced;
    scratch.Reset();
    const std::string chosen = WriteFiles(scratch.set(), data, size);
    if (chosen.empty()) return 0;

    const std::string whole = ReadWhole(chosen);
    const recovery::DecodedHeader decoded =
        recovery::DecodeHeader({reinterpret_cast<const uint8_t*>(whole.data()), whole.size()});
    Expect(decoded.header.has_value() == (decoded.fault == recovery::HeaderFault::None),
           "a header read back with a fault, or refused without one");

    const recovery::Protection protection = recovery::ExamineProtection(chosen);
    (void)recovery::DescribeProtection(protection, true);
    if (!protection.header) return 0;
    const recovery::RecoveryHeader& h = *protection.header;
    const recovery::RepairPlan& plan = protection.plan;
    Expect(protection.shards.size() == size_t(h.dataParts + h.recoveryParts),
           "not one check per shard");
    Expect(plan.lost.size() + plan.sources.size() >= size_t(h.dataParts) || !plan.Repairable(),
           "a repairable plan without enough sources");
    Expect(plan.lostData + plan.lostRecovery == int(plan.lost.size()), "the lost do not add up");
    for (const recovery::ShardCheck& shard : protection.shards)
        Expect(platform::WithSeparator(platform::FolderOf(shard.path)) == scratch.set(),
               "a shard named outside the folder: " + shard.path);

    const Tree before = Snapshot(scratch.root());
    recovery::RepairReport report;
    const bool repaired = !recovery::RepairSet(protection, report);
    const Tree after = Snapshot(scratch.root());
    for (const auto& [path, bytes] : after) {
        const auto was = before.find(path);
        if (was != before.end() && was->second == bytes) continue;
        Expect(repaired && RepairMayTouch(path, h), "the repair changed or left " + path);
    }
    if (repaired && !plan.Whole()) {
        const recovery::Protection again = recovery::ExamineProtection(chosen);
        Expect(again.header && again.plan.Whole(), "a repair that succeeded left the set damaged");
    }
    return 0;
}
