#include "chart/ChartAsteroids.h"

#include <cmath>

#include "chart/ChartTypes.h"

namespace charttypes {

AsteroidSet asteroidsOf(const MZhanXingEx& engine) { return {engine.asteroidPoints(), engine.asteroidSpeeds()}; }

void appendAsteroidAspects(std::vector<Aspect>& aspects, std::vector<AspectPoint> inner,
                           const AsteroidSet& innerAsteroids, std::vector<AspectPoint> outer,
                           const AsteroidSet& outerAsteroids, const MZhanXingEx& engine) {
    if (!engine.anyAsteroidShown()) return;
    const bool within = outer.empty();
    for (std::size_t b = 0; b < innerAsteroids.points.size(); ++b) {
        if (!engine.extraShown(kFirstAsteroid + static_cast<int>(b))) continue;
        const int id = kFirstAsteroidId + static_cast<int>(b);
        inner.push_back({id, innerAsteroids.points[b].longitude, innerAsteroids.speeds[b]});
        if (!within) outer.push_back({id, outerAsteroids.points[b].longitude, outerAsteroids.speeds[b]});
    }
    AspectOrbs orbs = engine.aspectOrbs();
    orbs.orb.fill(engine.settings().minorOrb);
    for (const Aspect& a : within ? findAspects(inner, orbs) : findAspects(inner, outer, orbs))
        if (a.a >= kFirstAsteroidId || a.b >= kFirstAsteroidId) aspects.push_back(a);
}

AsteroidSet compositeAsteroids(const AsteroidSet& a, const AsteroidSet& b) {
    AsteroidSet m;
    for (std::size_t k = 0; k < m.points.size(); ++k)
        m.points[k].longitude = midpoint(a.points[k].longitude, b.points[k].longitude);
    return m;
}

AsteroidSet directedAsteroids(const AsteroidSet& a, double arc) {
    AsteroidSet d;
    d.points = a.points;
    for (ChartPoint& p : d.points) {
        p.longitude = std::fmod(p.longitude + arc, 360.0);
        if (p.longitude < 0) p.longitude += 360;
    }
    return d;
}

}  // namespace charttypes
