#include "chart/PlaceClock.h"

#include <cmath>
#include <cstdio>

#include "astro/Eph0.h"
#include "chart/WordLists.h"

namespace charttypes {

int fixedOffsetSeconds(const BirthRecord& r, bool zoneIsHours) {
    if (r.utcOffsetSeconds != BirthRecord::kZoneListOffset) return r.utcOffsetSeconds;
    return (zoneIsHours ? r.zoneIndex : zoneOffset(r.zoneIndex)) * 3600;
}

ClockAt PlaceClocks::clockAt(const BirthRecord& place, double) const {
    ClockAt c;
    c.offsetSeconds = fixedOffsetSeconds(place);
    return c;
}

WallInstant PlaceClocks::instantOf(const BirthRecord& place, const DateTimeFields& wall) const {
    WallInstant w;
    w.ok = true;
    w.offsetSeconds = fixedOffsetSeconds(place);
    w.jd8 = instantAt(wall, w.offsetSeconds);
    return w;
}

std::string PlaceClocks::zoneOfPlace(double, double) const { return std::string(); }

double instantAt(const DateTimeFields& wall, int offsetSeconds) {
    // The engine's own count: the minute's first second.
    CivilDateTime c;
    c.year = wall.year;
    c.month = wall.month;
    c.day = wall.day;
    c.hour = wall.hour;
    c.minute = wall.minute;
    c.second = 1;
    return julianDayOf(c) + (8 * 3600 - offsetSeconds) / 86400.0;
}

DateTimeFields wallMinute(double jd8, int offsetSeconds) {
    const double local = jd8 + (offsetSeconds - 8 * 3600) / 86400.0;
    const double minutes = std::round((local + 0.5) * 1440.0);
    return fieldsFromJulianDay(minutes / 1440.0 - 0.5 + 1.0 / 86400);
}

std::string wallSecondText(double jd8, int offsetSeconds) {
    const double local = jd8 + (offsetSeconds - 8 * 3600) / 86400.0;
    // Whole seconds from noon-based day numbers: round once, then split exactly.
    const double seconds = std::round((local + 0.5) * 86400.0);
    const double day = std::floor(seconds / 86400.0);
    long rest = static_cast<long>(seconds - day * 86400.0);
    const CivilDateTime c = civilFromJulianDay(day - 0.5 + 1.0 / 86400.0 * 0.25);
    const long h = rest / 3600;
    rest %= 3600;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02ld:%02ld:%02ld", c.year, c.month, c.day, h,
                  rest / 60, rest % 60);
    return buf;
}

}  // namespace charttypes
