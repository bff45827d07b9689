// Small texts shared by every job and window.
#pragma once

#include <cstdint>
#include <string>

// A byte count as megabytes with two truncated decimals: "15,50 Mo".
std::string FormatSize(int64_t bytes);

// A part number written with at least three digits: "001", "999", "1000".
std::string PartNumberText(int64_t number);

// numerator * 100 / denominator in 64-bit integers; false when the
// denominator is 0 (the display then shows "* %").
bool Percent(int64_t numerator, int64_t denominator, int& out);
