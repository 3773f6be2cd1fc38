// Transits to a chart: every instant in a period at which a transiting body (Sun ... Pluto, and
// on request the Moon and the mean node) forms an exact aspect to a natal point, with the times
// the aspect enters and leaves its orb.
#pragma once
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "chart/Xiangwei.h"
#include "forecast/Ephemeris.h"

class MZhanXingEx;

namespace forecast {

struct NatalPoint {
    std::string name;       // as the aspect list writes it: "太阳" ... "升交点", "上升", "天顶"
    double longitude = 0;   // degrees
};

struct TransitOptions {
    bool moon = false;      // the transiting Moon
    bool node = false;      // the transiting mean node
    std::array<bool, 5> asteroids{};  // the transiting Chiron ... Vesta (astro/Asteroids.h order)
    bool orbTimes = true;   // find when each aspect enters and leaves its orb
    AspectOrbs orbs = AspectOrbs::uniform(5);
};

struct TransitHit {
    double jd = 0;          // UT of the exact aspect
    int body = 0;           // BodyId of the transiting body
    int kind = 0;           // AspectKind
    int natal = 0;          // index into the natal points
    bool retrograde = false;
    // The orb period around the hit (UT); NaN when not asked for or not found within 60 years.
    double enters = 0;
    double leaves = 0;
};

// The thirteen natal points of a cast chart: its ten bodies, the ascending node, the ascendant
// ("上升") and the midheaven ("天顶"); then the Chiron and asteroids the chart shows.
std::vector<NatalPoint> natalPointsOf(const MZhanXingEx& chart);
// The chart's settings' Chiron and asteroids as transiting bodies.
std::array<bool, 5> shownAsteroids(const MZhanXingEx& chart);

// The transiting bodies of a search, in the order their hits are sorted when simultaneous.
std::vector<int> transitingBodies(const TransitOptions& o);

// Every hit with jd in [t1, t2], in time order. `progress` (optional) gets the share done (0..1)
// and returns false to stop; a stopped search returns the hits found so far.
std::vector<TransitHit> findTransits(Ephemeris& eph, const std::vector<NatalPoint>& natal,
                                     const TransitOptions& o, double t1, double t2,
                                     const std::function<bool(double)>& progress = {});

}  // namespace forecast
