#include "core/DisplayNumbers.h"

#include <charconv>

#include "core/ProgressDisplay.h"

std::string FormatSize(int64_t bytes) {
    constexpr int64_t kMo = 1048576;
    char text[32];
    auto [end, ec] = std::to_chars(text, text + 20, bytes / kMo);
    int64_t hundredths = (bytes % kMo) * 100 / kMo;
    *end++ = ',';
    *end++ = static_cast<char>('0' + hundredths / 10);
    *end++ = static_cast<char>('0' + hundredths % 10);
    *end++ = ' ';
    *end++ = 'M';
    *end++ = 'o';
    return std::string(text, end);
}

std::string NumberText(int64_t number, size_t width) {
    std::string digits = std::to_string(number);
    if (number >= 0 && digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

bool Percent(int64_t numerator, int64_t denominator, int& out) {
    if (denominator == 0) return false;
    out = static_cast<int>(numerator * 100 / denominator);
    return true;
}

NullDisplay& NullDisplay::Instance() {
    static NullDisplay display;
    return display;
}
