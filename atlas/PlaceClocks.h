// The clocks of places for the chart types from the time-zone database: a record with a zone
// identifier reads its clock there at every instant (summer time, history, local mean time of
// its longitude before standard time); one without keeps its fixed offset.
#pragma once
#include "chart/PlaceClock.h"

namespace atlas {

class WorldAtlas;

class ZoneClocks : public charttypes::PlaceClocks {
public:
    // With an atlas, a place known only by its coordinates takes the zone of the nearest world
    // city within 300 km, else the nautical zone of its longitude (Etc/GMT∓n).
    explicit ZoneClocks(const WorldAtlas* atlas = nullptr) : atlas_(atlas) {}
    charttypes::ClockAt clockAt(const BirthRecord& place, double jd8) const override;
    charttypes::WallInstant instantOf(const BirthRecord& place,
                                      const DateTimeFields& wall) const override;
    std::string zoneOfPlace(double longitude, double latitude) const override;

private:
    const WorldAtlas* atlas_;
};

}  // namespace atlas
