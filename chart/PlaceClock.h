// The clock of a place for the chart types: the offset its clock showed at an instant, and the
// instant a wall time there names. The chart types compute on instants (UTC+8 Julian days) and
// places, and go through here whenever an instant becomes a clock time or back.
//
// This default reads every place's clock as the fixed offset of its record (the exact offset,
// or the zone list's hour). The window and the command line pass the time-zone database's
// clocks (atlas::ZoneClocks), which follow a record's `zoneId` through summer time and history.
#pragma once
#include <string>

#include "chart/Zhanxing.h"

namespace charttypes {

struct ClockAt {
    int offsetSeconds = 0;  // east of UTC
    bool summerTime = false;
    bool localMeanTime = false;
};

struct WallInstant {
    bool ok = false;        // false: the wall time was skipped or shown twice; `message` says so
    double jd8 = 0;         // the instant
    int offsetSeconds = 0;  // the clock's offset then
    std::string message;
};

class PlaceClocks {
public:
    virtual ~PlaceClocks() = default;
    // The clock at `place` at instant `jd8`.
    virtual ClockAt clockAt(const BirthRecord& place, double jd8) const;
    // The instant the Gregorian wall time `wall` names at `place`.
    virtual WallInstant instantOf(const BirthRecord& place, const DateTimeFields& wall) const;
    // The zone whose clock is in force at a place given by its coordinates only (the Davison
    // chart's midpoint); empty when none is known.
    virtual std::string zoneOfPlace(double longitude, double latitude) const;
};

// The fixed offset of a record: its exact offset, else its zone list hour (index or, in the
// engine's copy, the hour itself when `zoneIsHours`).
int fixedOffsetSeconds(const BirthRecord& r, bool zoneIsHours = false);

// A wall time at an offset as an instant, and an instant as the wall time to the minute
// (rounded) and to the second ("YYYY-MM-DD HH:MM:SS").
double instantAt(const DateTimeFields& wall, int offsetSeconds);
DateTimeFields wallMinute(double jd8, int offsetSeconds);
std::string wallSecondText(double jd8, int offsetSeconds);

}  // namespace charttypes
