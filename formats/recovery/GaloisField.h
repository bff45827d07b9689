// The two fields of the recovery parts' Reed-Solomon code and the matrices the
// code is made of. GF(2^8) over x^8 + x^4 + x^3 + x^2 + 1 (0x11D) serves sets
// of 256 files at most, with the tables and matrices of Intel's ISA-L, so that
// parts made with it and without it hold the same bytes. Larger sets take
// GF(2^16) over x^16 + x^12 + x^3 + x + 1 (0x1100B), whose symbols are two
// bytes, the low one first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace recovery {

enum class Field : uint8_t {
    Gf256,    // a symbol per byte
    Gf65536,  // a symbol per two bytes, little-endian
};

// The most shards, data and recovery together, whose code the field can
// promise: every element names one shard in the Cauchy rows.
int MostShardsOf(Field field);
// The field that a set of `shards` files takes: the byte field while it can.
Field FieldFor(int shards);
// The bytes of one symbol: a shard's length is a multiple of it.
inline int SymbolBytes(Field field) {
    return field == Field::Gf256 ? 1 : 2;
}

uint16_t GfMultiply(Field field, uint16_t a, uint16_t b);
// The inverse of a non-zero element; 0 for 0.
uint16_t GfInverse(Field field, uint16_t a);

// A matrix of `rows` x `columns` elements of `field`, row after row.
struct GfMatrix {
    Field field = Field::Gf256;
    int rows = 0;
    int columns = 0;
    std::vector<uint16_t> cells;

    static GfMatrix Zero(Field field, int rows, int columns) {
        return {field, rows, columns, std::vector<uint16_t>(size_t(rows) * size_t(columns), 0)};
    }
    uint16_t At(int row, int column) const { return cells[Index(row, column)]; }
    uint16_t& At(int row, int column) { return cells[Index(row, column)]; }
    size_t Index(int row, int column) const {
        return size_t(row) * size_t(columns) + size_t(column);
    }
};

// The code's generator below its identity: the element of recovery shard
// `shard` (counted over every shard, from `dataParts` on) for data shard
// `column` is 1 / (shard ^ column), ISA-L's Cauchy rows. Every square
// submatrix of these rows is invertible while the shards fit the field.
uint16_t CauchyCell(Field field, int shard, int column);
// The rows of every recovery shard: `recoveryParts` x `dataParts`.
GfMatrix CauchyRows(Field field, int dataParts, int recoveryParts);
// The inverse of a square matrix; nothing when it is singular.
std::optional<GfMatrix> Inverted(const GfMatrix& matrix);
// The product a x b, a's columns being b's rows.
GfMatrix Multiplied(const GfMatrix& a, const GfMatrix& b);

// outputs[r] = sum over j of coefficients(r, j) x inputs[j], symbol by symbol
// over `bytes` bytes (even in GF(2^16)), by table look-ups: the code's
// definition, and the encoder wherever no faster one is built in.
void MultiplyRegionsPortably(const GfMatrix& coefficients, const uint8_t* const* inputs,
                             uint8_t* const* outputs, size_t bytes);

}  // namespace recovery
