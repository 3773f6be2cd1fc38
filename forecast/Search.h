// "Every instant in [t1, t2] where an angle crosses a value": the angle is a longitude or a
// difference of longitudes (an elongation) taken from the pieces of an Ephemeris. The turning
// points of the angle (stations) are found first, from the sign of its rate on a grid; between
// them the angle runs one way, so each value is crossed exactly once per turn and each crossing
// is refined on its own bracket. A value passed three times by a retrograde loop gives three
// crossings; none is found twice, whatever the slow motion near a station.
#pragma once
#include <functional>
#include <vector>

#include "forecast/Ephemeris.h"

namespace forecast {

// An angle of time: body A's longitude, or A's minus B's.
struct AngleSource {
    int a = kSun;
    int b = -1;  // -1: A alone
};

struct Crossing {
    double jd = 0;       // UT
    int target = 0;      // index into the values searched for
    bool forward = true; // the angle was growing
};

struct Station {
    double jd = 0;
    bool turnsRetrograde = true;  // the angle stops growing and starts to shrink
};

class Searcher {
public:
    explicit Searcher(Ephemeris& eph) : eph_(eph) {}

    // The angle and its rate at jd.
    void angle(const AngleSource& s, double jd, double& value, double& rate);
    // Turning points in [t1, t2]; a single longitude's are refined on the engine.
    std::vector<Station> stations(const AngleSource& s, double t1, double t2);
    // Crossings of each value (degrees, any turn) in [t1, t2], in time order.
    std::vector<Crossing> crossings(const AngleSource& s, const std::vector<double>& values, double t1,
                                    double t2);
    // Cancel: checked between grid cells; a cancelled search returns what it found so far.
    std::function<bool()> cancelled;

private:
    double gridStep(const AngleSource& s) const;
    std::vector<Station> turningPoints(const AngleSource& s, double t1, double t2, bool onEngine);
    double refine(const AngleSource& s, double target, double lo, double hi, bool forward);
    Ephemeris& eph_;
};

}  // namespace forecast
