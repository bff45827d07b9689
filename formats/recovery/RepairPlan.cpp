#include "formats/recovery/RepairPlan.h"

namespace recovery {

namespace {

// The rows that give the lost shards from the sources. With K the good data
// parts among the sources, R the recovery parts among them (as many as the
// lost data parts D) and C the Cauchy rows, each recovery part of R is
// C[r, K] x K + C[r, D] x D: so D = A^-1 x R + A^-1 x B x K, with the square
// A = C[R, D] and B = C[R, K]. A lost recovery part l is C[l, K] x K + C[l, D] x D.
std::optional<GfMatrix> DecodeRows(Field field, const RepairPlan& plan) {
    const int k = plan.dataParts;
    const int d = plan.lostData;
    const int known = k - d;
    const auto source = [&](int n) { return plan.sources[size_t(n)]; };
    const auto lostData = [&](int t) { return plan.lost[size_t(t)]; };

    GfMatrix square = GfMatrix::Zero(field, d, d), others = GfMatrix::Zero(field, d, known);
    for (int v = 0; v < d; ++v) {
        for (int t = 0; t < d; ++t)
            square.At(v, t) = CauchyCell(field, source(known + v), lostData(t));
        for (int u = 0; u < known; ++u)
            others.At(v, u) = CauchyCell(field, source(known + v), source(u));
    }
    // Every square part of Cauchy rows is invertible while the shards fit the field.
    const std::optional<GfMatrix> inverted = Inverted(square);
    if (!inverted) return std::nullopt;
    const GfMatrix& inverse = *inverted;
    const GfMatrix fromKnown = Multiplied(inverse, others);
    GfMatrix dataRows = GfMatrix::Zero(field, d, k);
    for (int t = 0; t < d; ++t) {
        for (int u = 0; u < known; ++u) dataRows.At(t, u) = fromKnown.At(t, u);
        for (int v = 0; v < d; ++v) dataRows.At(t, known + v) = inverse.At(t, v);
    }

    const int lost = static_cast<int>(plan.lost.size());
    GfMatrix decode = GfMatrix::Zero(field, lost, k);
    for (int t = 0; t < d; ++t)
        for (int c = 0; c < k; ++c) decode.At(t, c) = dataRows.At(t, c);
    GfMatrix onLostData = GfMatrix::Zero(field, lost - d, d);
    for (int n = d; n < lost; ++n)
        for (int t = 0; t < d; ++t)
            onLostData.At(n - d, t) = CauchyCell(field, plan.lost[size_t(n)], lostData(t));
    const GfMatrix throughLostData = Multiplied(onLostData, dataRows);
    for (int n = d; n < lost; ++n)
        for (int c = 0; c < k; ++c)
            decode.At(n, c) = throughLostData.At(n - d, c) ^
                              (c < known ? CauchyCell(field, plan.lost[size_t(n)], source(c)) : 0);
    return decode;
}

}  // namespace

RepairPlan PlanRepair(Field field, int dataParts, const std::vector<ShardState>& states) {
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
    if (plan.Whole() || !plan.Repairable() || shards <= dataParts || shards > MostShardsOf(field))
        return plan;
    plan.decode = DecodeRows(field, plan);
    return plan;
}

}  // namespace recovery
