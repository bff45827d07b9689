// Arithmetic in GF(2^8) over the polynomial x^8 + x^4 + x^3 + x^2 + 1 (0x11D),
// the field of the recovery parts' Reed-Solomon code, and the matrices the
// code is made of. The tables and matrices are those of Intel's ISA-L, so that
// parts made with it and without it hold the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace recovery {

uint8_t GfMultiply(uint8_t a, uint8_t b);
// The inverse of a non-zero element; 0 for 0.
uint8_t GfInverse(uint8_t a);

// A matrix of `rows` x `columns` elements, row after row.
struct GfMatrix {
    int rows = 0;
    int columns = 0;
    std::vector<uint8_t> cells;

    uint8_t At(int row, int column) const { return cells[size_t(row) * columns + column]; }
    uint8_t& At(int row, int column) { return cells[size_t(row) * columns + column]; }
};

// The code's generator for `dataParts` data shards and `recoveryParts`
// recovery shards: the identity over the data, then the Cauchy rows
// 1 / (row ^ column), row counted from 0 over every shard. Any `dataParts`
// rows of it are independent while the shards are 256 at most.
GfMatrix CauchyGenerator(int dataParts, int recoveryParts);
// The inverse of a square matrix; nothing when it is singular.
std::optional<GfMatrix> Inverted(const GfMatrix& matrix);
// The product a x b, a's columns being b's rows.
GfMatrix Multiplied(const GfMatrix& a, const GfMatrix& b);

// outputs[r][x] = sum over j of coefficients(r, j) x inputs[j][x], for x below
// `bytes`, computed one table look-up at a time: the code's definition, used
// where no faster encoder is built in.
void MultiplyRegionsPortably(const GfMatrix& coefficients, const uint8_t* const* inputs,
                             uint8_t* const* outputs, size_t bytes);

}  // namespace recovery
