#include "atlas/PlaceClocks.h"

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

#include "atlas/TimeZones.h"
#include "atlas/WorldAtlas.h"

namespace atlas {

charttypes::ClockAt ZoneClocks::clockAt(const BirthRecord& place, double jd8) const {
    if (place.zoneId.empty()) return PlaceClocks::clockAt(place, jd8);
    // UTC+8 Julian day to seconds from 1970-01-01 00:00 UT.
    const long long utc = std::llround((jd8 - 8.0 / 24 - 2440587.5) * 86400.0);
    const ClockReading r = atlas::clockAt(place.zoneId, utc, static_cast<double>(place.longitude));
    if (!r.known) return PlaceClocks::clockAt(place, jd8);
    return {r.offsetSeconds, r.summerTime, r.localMeanTime};
}

charttypes::WallInstant ZoneClocks::instantOf(const BirthRecord& place,
                                              const DateTimeFields& wall) const {
    if (place.zoneId.empty()) return PlaceClocks::instantOf(place, wall);
    const WallTime t{wall.year, wall.month, wall.day, wall.hour, wall.minute};
    const ZoneAnswer a = offsetAt(place.zoneId, t, static_cast<double>(place.longitude));
    if (a.kind == WallTimeKind::UnknownZone) return PlaceClocks::instantOf(place, wall);
    charttypes::WallInstant w;
    if (a.kind != WallTimeKind::Unique) {
        w.message = wallTimeProblemText(place.zoneId, t, a);
        return w;
    }
    w.ok = true;
    w.offsetSeconds = a.offsetSeconds;
    w.jd8 = charttypes::instantAt(wall, a.offsetSeconds);
    return w;
}

std::string ZoneClocks::zoneOfPlace(double longitude, double latitude) const {
    if (!atlas_) return std::string();
    const std::optional<Place> city = atlas_->nearestCity(longitude, latitude, 300);
    if (city && !city->zoneId.empty()) return city->zoneId;
    // At sea: the nautical zone, whole hours of longitude (the database counts Etc/GMT west).
    const long hours = std::lround(longitude / 15);
    if (hours == 0) return "Etc/GMT";
    return std::string("Etc/GMT") + (hours > 0 ? "-" : "+") + std::to_string(std::labs(hours));
}

}  // namespace atlas
