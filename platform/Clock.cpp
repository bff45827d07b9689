#include "platform/Clock.h"

#include <chrono>
#include <cmath>

namespace platform {

namespace {
constexpr double kUnixEpochDay = 25569.0;  // 1 January 1970
constexpr double kSecondsPerDay = 86400.0;
}  // namespace

double ToDateTime(std::time_t moment) {
    std::tm local{};
    localtime_r(&moment, &local);
    std::time_t asUtc = timegm(&local);
    return kUnixEpochDay + static_cast<double>(asUtc) / kSecondsPerDay;
}

double Now() {
    auto now = std::chrono::system_clock::now();
    auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count();
    std::time_t seconds = static_cast<std::time_t>(micros / 1000000);
    return ToDateTime(seconds) + static_cast<double>(micros % 1000000) / 1e6 / kSecondsPerDay;
}

double Today() {
    return std::floor(ToDateTime(std::time(nullptr)));
}

std::tm FromDateTime(double dateTime) {
    // Day counts come from files: one outside years 1 to 9999 is no date.
    if (!std::isfinite(dateTime) || dateTime < -693593.0 || dateTime > 2958465.0) dateTime = 0;
    double seconds = std::round((dateTime - kUnixEpochDay) * kSecondsPerDay);
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm out{};
    gmtime_r(&t, &out);
    return out;
}

}  // namespace platform
