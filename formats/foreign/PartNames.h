// The texts the foreign joiners build part names from. Names from the file
// system are UTF-8 and their lengths count characters; fields from headers are
// Windows-1252 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/DisplayNumbers.h"  // NumberText

// The text less its last `count` characters (empty when it has no more).
std::string DropLast(std::string_view text, size_t count);
// A name's extension from its last dot, dot included; empty without a dot.
std::string ExtensionOf(std::string_view name);
// The same without its dot.
std::string ExtensionText(std::string_view name);
// A name less its extension.
std::string StemOf(std::string_view name);
// Characters of the number that ends the text: its final run of digits, or
// its last character when it ends otherwise (the tools' masks put a digit
// there), 0 for an empty text.
size_t NumberLength(std::string_view text);
// The stem with its own extension, if any, replaced by "." and `extension`;
// an empty `extension` leaves no trailing dot.
std::string WithExtension(std::string_view stem, std::string_view extension);

// The number as coreutils split -d writes it without a width: on `width`
// digits while it does not start with 9, then one more 9 and one more digit
// each time the numbers of a width run out (width 2: 00 … 89, 9000 … 9899,
// 990000 … 998999, …).
std::string WidenedNumberText(int64_t number, size_t width);
// The number of such a text, at most `max`; false for a text that no number
// is written as.
bool ReadWidenedNumber(std::string_view text, size_t width, int64_t max, int64_t& number);

// A header field up to its first zero byte.
std::string_view UpToZero(std::string_view field);
// A text of decimal digits only, at most `max`; false for anything else,
// signs and spaces included.
bool ParseDigits(std::string_view text, int64_t max, int64_t& value);
// A number field of a header, decimal digits up to its first zero byte; -1
// when it holds anything else.
int32_t HeaderNumber(std::string_view field);
// An extension stored in a header: decoded, and made into something that can
// only ever extend a file name (no separator, no control, not dots alone).
std::string HeaderExtension(std::string_view field);
