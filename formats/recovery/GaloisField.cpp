#include "formats/recovery/GaloisField.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace recovery {

namespace {

// Logarithms and powers of the generator x, built by multiplying by x over
// and over: `polynomial` is primitive, so the powers meet every non-zero
// element once before they come back to 1.
struct Tables {
    std::vector<uint16_t> log, exp;  // exp holds two periods: no modulo after a sum
    unsigned period = 0;
    Tables(int bits, unsigned polynomial) : log(size_t(1) << bits), exp(size_t(2) << bits) {
        period = (1u << bits) - 1;
        unsigned value = 1;
        for (unsigned power = 0; power < period; ++power) {
            exp[power] = exp[power + period] = static_cast<uint16_t>(value);
            log[value] = static_cast<uint16_t>(power);
            value <<= 1;
            if (value >> bits) value ^= polynomial;
        }
    }
};

const Tables& TablesOf(Field field) {
    static const Tables bytes(8, 0x11D);
    static const Tables words(16, 0x1100B);
    return field == Field::Gf256 ? bytes : words;
}

// c times every value of one byte of a 16-bit symbol, built from c times each
// of its bits: a product is the sum of its bits' products.
void FillWordTable(uint16_t c, int firstBit, std::array<uint16_t, 256>& times) {
    uint16_t bit = c;
    for (int b = 0; b < firstBit; ++b) bit = GfMultiply(Field::Gf65536, bit, 2);
    times[0] = 0;
    for (int b = 0; b < 8; ++b) {
        const size_t half = size_t(1) << b;
        for (size_t i = 0; i < half; ++i) times[half | i] = static_cast<uint16_t>(bit ^ times[i]);
        bit = GfMultiply(Field::Gf65536, bit, 2);
    }
}

uint16_t LoadSymbol(const uint8_t* at) {
    return static_cast<uint16_t>(at[0] | at[1] << 8);
}

void StoreSymbol(uint8_t* at, uint16_t symbol) {
    at[0] = static_cast<uint8_t>(symbol);
    at[1] = static_cast<uint8_t>(symbol >> 8);
}

// GF(2^16) a chunk at a time, so that every input and output of one chunk
// stays in the cache while the tables pass over it; each input is read once
// for up to kRowsAtOnce outputs.
void MultiplyWordRegions(const GfMatrix& coefficients, const uint8_t* const* inputs,
                         uint8_t* const* outputs, size_t bytes) {
    constexpr size_t kChunk = 16u << 10;
    constexpr int kRowsAtOnce = 4;
    std::array<std::array<uint16_t, 256>, 2 * kRowsAtOnce> tables{};
    for (size_t start = 0; start < bytes; start += kChunk) {
        const size_t count = std::min(kChunk, bytes - start);
        const size_t whole = count & ~size_t(1);
        for (int first = 0; first < coefficients.rows; first += kRowsAtOnce) {
            const int rows = std::min(kRowsAtOnce, coefficients.rows - first);
            for (int r = 0; r < rows; ++r) std::memset(outputs[first + r] + start, 0, count);
            for (int j = 0; j < coefficients.columns; ++j) {
                for (int r = 0; r < rows; ++r) {
                    FillWordTable(coefficients.At(first + r, j), 0, tables[size_t(2 * r)]);
                    FillWordTable(coefficients.At(first + r, j), 8, tables[size_t(2 * r + 1)]);
                }
                const uint8_t* in = inputs[j] + start;
                if (rows == kRowsAtOnce) {
                    uint8_t* out[kRowsAtOnce];
                    for (int r = 0; r < kRowsAtOnce; ++r) out[r] = outputs[first + r] + start;
                    for (size_t x = 0; x < whole; x += 2) {
                        const uint8_t lo = in[x], hi = in[x + 1];
                        for (int r = 0; r < kRowsAtOnce; ++r)
                            StoreSymbol(out[r] + x, LoadSymbol(out[r] + x) ^
                                                        tables[size_t(2 * r)][lo] ^
                                                        tables[size_t(2 * r + 1)][hi]);
                    }
                }
                for (int r = rows == kRowsAtOnce ? rows : 0; r < rows; ++r) {
                    const auto& low = tables[size_t(2 * r)];
                    const auto& high = tables[size_t(2 * r + 1)];
                    uint8_t* out = outputs[first + r] + start;
                    for (size_t x = 0; x < whole; x += 2)
                        StoreSymbol(out + x, LoadSymbol(out + x) ^ low[in[x]] ^ high[in[x + 1]]);
                }
                // A lone last byte is a symbol whose high byte is zero.
                if (whole < count)
                    for (int r = 0; r < rows; ++r)
                        outputs[first + r][start + whole] ^=
                            static_cast<uint8_t>(tables[size_t(2 * r)][in[whole]]);
            }
        }
    }
}

void MultiplyByteRegions(const GfMatrix& coefficients, const uint8_t* const* inputs,
                         uint8_t* const* outputs, size_t bytes) {
    std::array<uint8_t, 256> times{};
    for (int r = 0; r < coefficients.rows; ++r) {
        uint8_t* out = outputs[r];
        std::memset(out, 0, bytes);
        for (int j = 0; j < coefficients.columns; ++j) {
            const uint16_t c = coefficients.At(r, j);
            if (c == 0) continue;
            for (int v = 0; v < 256; ++v)
                times[size_t(v)] = static_cast<uint8_t>(GfMultiply(Field::Gf256, c, uint16_t(v)));
            const uint8_t* in = inputs[j];
            for (size_t x = 0; x < bytes; ++x) out[x] ^= times[in[x]];
        }
    }
}

}  // namespace

int MostShardsOf(Field field) {
    return field == Field::Gf256 ? 256 : 65536;
}

Field FieldFor(int shards) {
    return shards <= MostShardsOf(Field::Gf256) ? Field::Gf256 : Field::Gf65536;
}

uint16_t GfMultiply(Field field, uint16_t a, uint16_t b) {
    if (a == 0 || b == 0) return 0;
    const Tables& t = TablesOf(field);
    return t.exp[unsigned(t.log[a]) + t.log[b]];
}

uint16_t GfInverse(Field field, uint16_t a) {
    if (a == 0) return 0;
    const Tables& t = TablesOf(field);
    return t.exp[t.period - t.log[a]];
}

uint16_t CauchyCell(Field field, int shard, int column) {
    return GfInverse(field, static_cast<uint16_t>(shard ^ column));
}

GfMatrix CauchyRows(Field field, int dataParts, int recoveryParts) {
    GfMatrix rows = GfMatrix::Zero(field, recoveryParts, dataParts);
    for (int i = 0; i < recoveryParts; ++i)
        for (int j = 0; j < dataParts; ++j) rows.At(i, j) = CauchyCell(field, dataParts + i, j);
    return rows;
}

std::optional<GfMatrix> Inverted(const GfMatrix& matrix) {
    const int n = matrix.rows;
    if (n != matrix.columns) return std::nullopt;
    const Field f = matrix.field;
    GfMatrix work = matrix;
    GfMatrix inverse = GfMatrix::Zero(f, n, n);
    for (int i = 0; i < n; ++i) inverse.At(i, i) = 1;
    for (int column = 0; column < n; ++column) {
        int pivot = column;
        while (pivot < n && work.At(pivot, column) == 0) ++pivot;
        if (pivot == n) return std::nullopt;
        if (pivot != column)
            for (int j = 0; j < n; ++j) {
                std::swap(work.At(pivot, j), work.At(column, j));
                std::swap(inverse.At(pivot, j), inverse.At(column, j));
            }
        const uint16_t scale = GfInverse(f, work.At(column, column));
        for (int j = 0; j < n; ++j) {
            work.At(column, j) = GfMultiply(f, work.At(column, j), scale);
            inverse.At(column, j) = GfMultiply(f, inverse.At(column, j), scale);
        }
        for (int row = 0; row < n; ++row) {
            const uint16_t factor = work.At(row, column);
            if (row == column || factor == 0) continue;
            for (int j = 0; j < n; ++j) {
                work.At(row, j) ^= GfMultiply(f, factor, work.At(column, j));
                inverse.At(row, j) ^= GfMultiply(f, factor, inverse.At(column, j));
            }
        }
    }
    return inverse;
}

GfMatrix Multiplied(const GfMatrix& a, const GfMatrix& b) {
    GfMatrix product = GfMatrix::Zero(a.field, a.rows, b.columns);
    for (int i = 0; i < a.rows; ++i)
        for (int j = 0; j < b.columns; ++j) {
            uint16_t sum = 0;
            for (int x = 0; x < a.columns; ++x) sum ^= GfMultiply(a.field, a.At(i, x), b.At(x, j));
            product.At(i, j) = sum;
        }
    return product;
}

void MultiplyRegionsPortably(const GfMatrix& coefficients, const uint8_t* const* inputs,
                             uint8_t* const* outputs, size_t bytes) {
    if (coefficients.field == Field::Gf256)
        MultiplyByteRegions(coefficients, inputs, outputs, bytes);
    else
        MultiplyWordRegions(coefficients, inputs, outputs, bytes);
}

}  // namespace recovery
