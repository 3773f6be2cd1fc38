// The clock of an IANA zone at a Universal Time instant: its UTC offset then (summer time
// included), for lists of events in a place's own time.
#pragma once
#include <memory>
#include <string>

namespace atlas {

class ZoneClock {
public:
    // An unknown identifier gives a clock that is not valid().
    explicit ZoneClock(const std::string& zoneId);
    ~ZoneClock();
    ZoneClock(const ZoneClock&) = delete;
    ZoneClock& operator=(const ZoneClock&) = delete;
    bool valid() const { return zone_ != nullptr; }
    // Seconds east of UTC at `utcSeconds` (seconds from 1970-01-01 0h UTC).
    int offsetAt(long long utcSeconds) const;
    // The same at a Julian day of Universal Time.
    int offsetAtJulianDay(double jdUT) const;

private:
    struct Zone;
    Zone* zone_ = nullptr;
};

}  // namespace atlas
