#include "platform/Clock.h"

#include <chrono>
#include <cmath>

namespace platform {

namespace {
constexpr double kUnixEpochDay = 25569.0;  // 1 January 1970
constexpr double kSecondsPerDay = 86400.0;

// How far local time runs ahead of UTC at that moment, in seconds.
int64_t LocalOffset(std::time_t moment) {
    std::tm local{};
    std::tm utc{};
#ifdef _WIN32
    if (::localtime_s(&local, &moment) != 0 || ::gmtime_s(&utc, &moment) != 0) return 0;
#else
    if (::localtime_r(&moment, &local) == nullptr || ::gmtime_r(&moment, &utc) == nullptr) return 0;
#endif
    // The two broken-down times differ by at most a day; their difference is
    // the offset, found without asking the system to convert back.
    auto secondsOf = [](const std::tm& t) {
        using namespace std::chrono;
        const sys_days date = year{t.tm_year + 1900} / month{static_cast<unsigned>(t.tm_mon + 1)} /
                              day{static_cast<unsigned>(t.tm_mday)};
        return static_cast<int64_t>(date.time_since_epoch().count()) * 86400 + t.tm_hour * 3600 +
               t.tm_min * 60 + t.tm_sec;
    };
    return secondsOf(local) - secondsOf(utc);
}
}  // namespace

double ToDateTime(std::time_t moment) {
    const int64_t local = static_cast<int64_t>(moment) + LocalOffset(moment);
    return kUnixEpochDay + static_cast<double>(local) / kSecondsPerDay;
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
    using namespace std::chrono;
    // Calendar arithmetic alone, so that dates before 1970 come out right on
    // systems whose gmtime refuses them.
    const auto seconds =
        static_cast<int64_t>(std::round((dateTime - kUnixEpochDay) * kSecondsPerDay));
    const sys_seconds moment{std::chrono::seconds{seconds}};
    const sys_days day = floor<days>(moment);
    const year_month_day date{day};
    const hh_mm_ss<std::chrono::seconds> time{moment - day};
    std::tm out{};
    out.tm_year = static_cast<int>(date.year()) - 1900;
    out.tm_mon = static_cast<int>(static_cast<unsigned>(date.month())) - 1;
    out.tm_mday = static_cast<int>(static_cast<unsigned>(date.day()));
    out.tm_hour = static_cast<int>(time.hours().count());
    out.tm_min = static_cast<int>(time.minutes().count());
    out.tm_sec = static_cast<int>(time.seconds().count());
    out.tm_wday = static_cast<int>(weekday{day}.c_encoding());
    out.tm_yday = static_cast<int>((day - sys_days{date.year() / January / 1}).count());
    return out;
}

}  // namespace platform
