#include "core/DisplayNumbers.h"

#include "core/ProgressDisplay.h"
#include "texts/Texts.h"

std::string FormatSize(int64_t bytes) {
    constexpr int64_t kMegabyte = 1048576;
    const int64_t hundredths = (bytes % kMegabyte) * 100 / kMegabyte;
    return texts::Say(texts::TextId::SizeInMegabytes,
                      {std::to_string(bytes / kMegabyte), NumberText(hundredths, 2)});
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
