#include "formats/recovery/RepairPlan.h"

namespace recovery {

RepairPlan PlanRepair(int dataParts, const std::vector<ShardState>& states) {
    RepairPlan plan;
    plan.dataParts = dataParts;
    const int shards = static_cast<int>(states.size());
    for (int i = 0; i < shards; ++i) {
        const bool data = i < dataParts;
        if (states[i] != ShardState::Good) {
            plan.lost.push_back(i);
            ++(data ? plan.lostData : plan.lostRecovery);
        } else {
            if (!data) ++plan.goodRecovery;
            if (static_cast<int>(plan.sources.size()) < dataParts) plan.sources.push_back(i);
        }
    }
    if (plan.Whole() || !plan.Repairable() || shards <= dataParts || shards > 256) return plan;

    // The sources' rows of the generator, inverted, give the data from the
    // sources; the generator's lost rows, times that, give the lost shards.
    const GfMatrix generator = CauchyGenerator(dataParts, shards - dataParts);
    GfMatrix chosen{dataParts, dataParts, {}};
    for (int source : plan.sources)
        for (int j = 0; j < dataParts; ++j) chosen.cells.push_back(generator.At(source, j));
    const std::optional<GfMatrix> inverse = Inverted(chosen);
    if (!inverse) return plan;
    GfMatrix lostRows{static_cast<int>(plan.lost.size()), dataParts, {}};
    for (int lost : plan.lost)
        for (int j = 0; j < dataParts; ++j) lostRows.cells.push_back(generator.At(lost, j));
    plan.decode = Multiplied(lostRows, *inverse);
    return plan;
}

}  // namespace recovery
