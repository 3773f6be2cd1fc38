// The clocks of places for the chart types from the time-zone database: a record with a zone
// identifier reads its clock there at every instant (summer time, history, local mean time of
// its longitude before standard time); one without keeps its fixed offset.
#pragma once
#include "chart/PlaceClock.h"

namespace atlas {

class ZoneClocks : public charttypes::PlaceClocks {
public:
    charttypes::ClockAt clockAt(const BirthRecord& place, double jd8) const override;
    charttypes::WallInstant instantOf(const BirthRecord& place,
                                      const DateTimeFields& wall) const override;
};

}  // namespace atlas
