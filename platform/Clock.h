// Local date and time as day counts since 30 December 1899, the fraction being
// the time of day: the form that job times and header dates use.
#pragma once

#include <ctime>

namespace platform {

double Now();
// Today's local date, a whole number.
double Today();
// The local date-time of a moment.
double ToDateTime(std::time_t moment);
// Broken-down local time of a day count (for display).
std::tm FromDateTime(double dateTime);

}  // namespace platform
