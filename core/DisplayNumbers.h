// Small texts shared by every job and window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A byte count as megabytes with two truncated decimals, as the language in
// use writes them: "15,50 Mo", "15.50 MB".
std::string FormatSize(int64_t bytes);

// The number in decimal, left-padded with zeros to `width` digits; a longer
// number is written whole: NumberText(1, 3) is "001", NumberText(1000, 3) "1000".
std::string NumberText(int64_t number, size_t width);

// numerator * 100 / denominator in 64-bit integers; false when the
// denominator is 0 (the display then shows "* %").
bool Percent(int64_t numerator, int64_t denominator, int& out);
