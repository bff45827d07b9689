#include "formats/recovery/GaloisField.h"

#include <array>
#include <cstring>

namespace recovery {

namespace {

struct Tables {
    std::array<uint8_t, 256> log{};
    std::array<uint8_t, 256> exp{};  // exp[255] wraps to exp[0]
    Tables() {
        unsigned value = 1;
        for (int power = 0; power < 255; ++power) {
            exp[power] = static_cast<uint8_t>(value);
            log[value] = static_cast<uint8_t>(power);
            value <<= 1;
            if (value & 0x100) value ^= 0x11D;
        }
        exp[255] = exp[0];
    }
};

const Tables& Field() {
    static const Tables tables;
    return tables;
}

}  // namespace

uint8_t GfMultiply(uint8_t a, uint8_t b) {
    if (a == 0 || b == 0) return 0;
    const Tables& t = Field();
    return t.exp[(t.log[a] + t.log[b]) % 255];
}

uint8_t GfInverse(uint8_t a) {
    if (a == 0) return 0;
    const Tables& t = Field();
    return t.exp[(255 - t.log[a]) % 255];
}

GfMatrix CauchyGenerator(int dataParts, int recoveryParts) {
    GfMatrix g{dataParts + recoveryParts, dataParts,
               std::vector<uint8_t>(size_t(dataParts + recoveryParts) * dataParts, 0)};
    for (int i = 0; i < dataParts; ++i) g.At(i, i) = 1;
    for (int i = dataParts; i < g.rows; ++i)
        for (int j = 0; j < dataParts; ++j) g.At(i, j) = GfInverse(static_cast<uint8_t>(i ^ j));
    return g;
}

std::optional<GfMatrix> Inverted(const GfMatrix& matrix) {
    const int n = matrix.rows;
    if (n != matrix.columns) return std::nullopt;
    GfMatrix work = matrix;
    GfMatrix inverse{n, n, std::vector<uint8_t>(size_t(n) * n, 0)};
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
        const uint8_t scale = GfInverse(work.At(column, column));
        for (int j = 0; j < n; ++j) {
            work.At(column, j) = GfMultiply(work.At(column, j), scale);
            inverse.At(column, j) = GfMultiply(inverse.At(column, j), scale);
        }
        for (int row = 0; row < n; ++row) {
            const uint8_t factor = work.At(row, column);
            if (row == column || factor == 0) continue;
            for (int j = 0; j < n; ++j) {
                work.At(row, j) ^= GfMultiply(factor, work.At(column, j));
                inverse.At(row, j) ^= GfMultiply(factor, inverse.At(column, j));
            }
        }
    }
    return inverse;
}

GfMatrix Multiplied(const GfMatrix& a, const GfMatrix& b) {
    GfMatrix product{a.rows, b.columns, std::vector<uint8_t>(size_t(a.rows) * b.columns, 0)};
    for (int i = 0; i < a.rows; ++i)
        for (int j = 0; j < b.columns; ++j) {
            uint8_t sum = 0;
            for (int x = 0; x < a.columns; ++x) sum ^= GfMultiply(a.At(i, x), b.At(x, j));
            product.At(i, j) = sum;
        }
    return product;
}

void MultiplyRegionsPortably(const GfMatrix& coefficients, const uint8_t* const* inputs,
                             uint8_t* const* outputs, size_t bytes) {
    std::array<uint8_t, 256> times{};
    for (int r = 0; r < coefficients.rows; ++r) {
        uint8_t* out = outputs[r];
        std::memset(out, 0, bytes);
        for (int j = 0; j < coefficients.columns; ++j) {
            const uint8_t c = coefficients.At(r, j);
            if (c == 0) continue;
            for (int v = 0; v < 256; ++v) times[v] = GfMultiply(c, static_cast<uint8_t>(v));
            const uint8_t* in = inputs[j];
            for (size_t x = 0; x < bytes; ++x) out[x] ^= times[in[x]];
        }
    }
}

}  // namespace recovery
