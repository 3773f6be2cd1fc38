// Date records shared by the astronomy, calendar and chart code.
#pragma once
#include <cstdint>

// Minute-resolution civil date and time. Years are astronomical (0 = 1 BC).
// For lunar dates the year is the lunar year; the leap flag travels separately.
struct DateTimeFields {
    int16_t year = 0;
    int16_t month = 0;
    int16_t day = 0;
    int16_t hour = 0;
    int16_t minute = 0;
};

inline bool operator==(const DateTimeFields& a, const DateTimeFields& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute;
}
inline bool operator!=(const DateTimeFields& a, const DateTimeFields& b) { return !(a == b); }

// Scratch record of the Julian-day arithmetic; a fresh one holds 2000-01-01 12:00:00.
struct CivilDateTime {
    int32_t year = 2000;
    int32_t month = 1;
    int32_t day = 1;
    int32_t hour = 12;
    int32_t minute = 0;
    int32_t second = 0;
};
