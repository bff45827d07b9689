// The repair decision: from what is known of each shard of a protected set,
// which ones must be rebuilt, from which ones, and whether they can be. No
// file is read or written here.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "formats/recovery/GaloisField.h"

namespace recovery {

enum class ShardState {
    Good,
    Missing,
    Damaged,     // of the wrong size or digest, or a recovery part's header at fault
    Unreadable,  // there, but could not be read to the end
};

struct RepairPlan {
    int dataParts = 0;
    std::vector<int> lost;     // every shard to rebuild, data first, by index
    std::vector<int> sources;  // the dataParts good shards read to rebuild them
    int lostData = 0;
    int lostRecovery = 0;
    int goodRecovery = 0;
    // The recovery parts that a repair of this many lost data parts needs.
    int NeededRecovery() const { return lostData; }
    bool Whole() const { return lost.empty(); }
    bool Repairable() const { return lostData <= goodRecovery; }
    // lost rows = decode x sources, once Repairable.
    std::optional<GfMatrix> decode;
};

// `states` holds one state per shard of a code over `field`, the data parts
// first. The sources are the good data parts, then the good recovery parts in
// order, as many as there are data parts. Only the square system of the lost
// data parts is solved, so that a plan for a thousand parts stays quick.
RepairPlan PlanRepair(Field field, int dataParts, const std::vector<ShardState>& states);

}  // namespace recovery
