#include "formats/foreign/PartNames.h"

#include <algorithm>
#include <cstdint>

#include "core/TextEncoding.h"
#include "platform/Fs.h"

namespace {
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
}  // namespace

std::string DropLast(std::string_view text, size_t count) {
    const size_t length = Utf8Length(text);
    return length > count ? Utf8Left(text, length - count) : std::string();
}

std::string ExtensionOf(std::string_view name) {
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

std::string ExtensionText(std::string_view name) {
    const std::string extension = ExtensionOf(name);
    return extension.empty() ? extension : extension.substr(1);
}

std::string StemOf(std::string_view name) {
    return std::string(name.substr(0, name.size() - ExtensionOf(name).size()));
}

size_t NumberLength(std::string_view text) {
    size_t digits = 0;
    while (digits < text.size() && IsDigit(text[text.size() - 1 - digits])) ++digits;
    return digits > 0 || text.empty() ? digits : 1;
}

std::string WithExtension(std::string_view stem, std::string_view extension) {
    const size_t dot = stem.rfind('.');
    std::string name(dot == std::string_view::npos ? stem : stem.substr(0, dot));
    if (!extension.empty()) {
        name += '.';
        name += extension;
    }
    return name;
}

namespace {
// How many numbers a level of the widening holds: those of `digits` digits
// that do not start with 9.
int64_t LevelRoom(size_t digits) {
    int64_t room = 9;
    for (size_t i = 1; i < digits && room < INT64_MAX / 100; ++i) room *= 10;
    return room;
}
}  // namespace

std::string WidenedNumberText(int64_t number, size_t width) {
    std::string nines;
    size_t digits = std::max<size_t>(width, 1);
    for (int64_t room = LevelRoom(digits); number >= room; room = LevelRoom(digits)) {
        number -= room;
        nines += '9';
        ++digits;
    }
    return nines + NumberText(number, digits);
}

bool ReadWidenedNumber(std::string_view text, size_t width, int64_t max, int64_t& number) {
    width = std::max<size_t>(width, 1);
    int64_t before = 0;  // the numbers of the levels below
    for (size_t level = 0; width + 2 * level <= text.size() && level < 19; ++level) {
        const size_t digits = width + level;
        if (text.size() == width + 2 * level) {
            const std::string_view nines = text.substr(0, level);
            const std::string_view rest = text.substr(level);
            int64_t value = 0;
            if (nines.find_first_not_of('9') != std::string_view::npos || rest.front() == '9' ||
                !ParseDigits(rest, max, value) || value > max - before)
                return false;
            number = before + value;
            return true;
        }
        before += LevelRoom(digits);
        if (before > max) return false;
    }
    return false;
}

std::string_view UpToZero(std::string_view field) {
    return field.substr(0, field.find('\0'));
}

bool ParseDigits(std::string_view text, int64_t max, int64_t& value) {
    if (text.empty()) return false;
    int64_t n = 0;
    for (char c : text) {
        if (!IsDigit(c)) return false;
        const int digit = c - '0';
        if (n > (max - digit) / 10) return false;
        n = n * 10 + digit;
    }
    value = n;
    return true;
}

int32_t HeaderNumber(std::string_view field) {
    int64_t value = 0;
    return ParseDigits(UpToZero(field), INT32_MAX, value) ? static_cast<int32_t>(value) : -1;
}

std::string HeaderExtension(std::string_view field) {
    const std::string text = Cp1252ToUtf8(UpToZero(field));
    return text.empty() ? text : platform::SafeNamePart(text);
}
