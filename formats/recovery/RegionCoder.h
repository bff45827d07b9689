// Applies a coefficient matrix to regions of bytes: the encoding of recovery
// shards from data shards, and the rebuilding of lost shards from the ones
// that survive. GF(2^8) is coded by ISA-L's SIMD code where the build has it,
// and by the portable look-ups of GaloisField otherwise, which give the same
// bytes; GF(2^16), which ISA-L lacks, always by the portable look-ups.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/recovery/GaloisField.h"

namespace recovery {

class RegionCoder {
public:
    explicit RegionCoder(GfMatrix coefficients);

    int Inputs() const { return coefficients_.columns; }
    int Outputs() const { return coefficients_.rows; }
    // outputs[r] = sum of coefficients(r, j) x inputs[j] over `bytes` bytes.
    void Apply(const uint8_t* const* inputs, uint8_t* const* outputs, size_t bytes) const;

    // Whether Apply runs on ISA-L for a code over GF(2^8).
    static bool Accelerated();

private:
    GfMatrix coefficients_;
    std::vector<uint8_t> tables_;  // ISA-L's expanded tables, 32 bytes per coefficient
    bool onIsaL_ = false;
};

}  // namespace recovery
