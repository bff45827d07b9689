#include "core/SizeWithUnit.h"

#include <array>
#include <cctype>
#include <limits>

namespace {

struct Unit {
    std::string_view name;
    int64_t bytes;
};

constexpr int64_t kKibi = 1024;
constexpr int64_t kKilo = 1000;

// "b" alone is left out: it reads as bits as often as bytes.
constexpr std::array kUnits = {
    Unit{"", 1},
    Unit{"k", kKibi},
    Unit{"K", kKibi},
    Unit{"KiB", kKibi},
    Unit{"M", kKibi* kKibi},
    Unit{"MiB", kKibi* kKibi},
    Unit{"G", kKibi* kKibi* kKibi},
    Unit{"GiB", kKibi* kKibi* kKibi},
    Unit{"T", kKibi* kKibi* kKibi* kKibi},
    Unit{"TiB", kKibi* kKibi* kKibi* kKibi},
    Unit{"kB", kKilo},
    Unit{"KB", kKilo},
    Unit{"MB", kKilo* kKilo},
    Unit{"GB", kKilo* kKilo* kKilo},
    Unit{"TB", kKilo* kKilo* kKilo* kKilo},
};

std::optional<int64_t> UnitBytes(std::string_view name) {
    for (const Unit& unit : kUnits)
        if (unit.name == name) return unit.bytes;
    return std::nullopt;
}

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

std::optional<int64_t> ParseSizeWithUnit(std::string_view text) {
    // Whole and fractional digits, at most 18 of them together: their value
    // and any unit's then fit 128 bits.
    constexpr size_t kMostDigits = 18;
    size_t at = 0;
    __int128 digits = 0;
    size_t whole = 0, fraction = 0;
    for (; at < text.size() && IsDigit(text[at]); ++at, ++whole)
        digits = digits * 10 + (text[at] - '0');
    // The French write a comma where the English write a point.
    if (whole > 0 && at < text.size() && (text[at] == '.' || text[at] == ',')) {
        for (++at; at < text.size() && IsDigit(text[at]); ++at, ++fraction)
            digits = digits * 10 + (text[at] - '0');
        if (fraction == 0) return std::nullopt;
    }
    if (whole == 0 || whole + fraction > kMostDigits) return std::nullopt;
    const std::optional<int64_t> unit = UnitBytes(text.substr(at));
    // A fraction of a byte is no size.
    if (!unit || (*unit == 1 && fraction > 0)) return std::nullopt;
    __int128 scale = 1;
    for (size_t i = 0; i < fraction; ++i) scale *= 10;
    const __int128 bytes = digits * *unit / scale;
    if (bytes > std::numeric_limits<int64_t>::max()) return std::nullopt;
    return static_cast<int64_t>(bytes);
}
