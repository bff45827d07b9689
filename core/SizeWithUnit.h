// A size in bytes as a person writes it: "700M", "1.5G", "100k", "25MB".
// A letter alone counts in powers of 1024, as the program's own Mo do (with
// "KiB", "MiB"... written in full); a letter followed by B counts in powers
// of 1000, as e-mail services and disk makers count.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The bytes that `text` stands for, a fraction rounded down to the byte;
// nothing when it is no size or more than an int64_t can hold. A number
// without a unit is a whole number of bytes.
std::optional<int64_t> ParseSizeWithUnit(std::string_view text);
