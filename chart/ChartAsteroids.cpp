#include "chart/ChartAsteroids.h"

#include <cmath>

#include "chart/ChartTypes.h"

namespace charttypes {

void appendAsteroidAspects(std::vector<Aspect>& aspects, std::vector<AspectPoint> inner,
                           const std::array<ChartPoint, 5>& innerAsteroids,
                           std::vector<AspectPoint> outer,
                           const std::array<ChartPoint, 5>& outerAsteroids,
                           const MZhanXingEx& engine) {
    if (!engine.anyAsteroidShown()) return;
    const bool within = outer.empty();
    for (std::size_t b = 0; b < innerAsteroids.size(); ++b) {
        if (!engine.extraShown(kFirstAsteroid + static_cast<int>(b))) continue;
        const int id = kFirstAsteroidId + static_cast<int>(b);
        inner.push_back({id, innerAsteroids[b].longitude, 0});
        if (!within) outer.push_back({id, outerAsteroids[b].longitude, 0});
    }
    AspectOrbs orbs = engine.aspectOrbs();
    orbs.orb.fill(engine.settings().minorOrb);
    for (const Aspect& a : within ? findAspects(inner, orbs) : findAspects(inner, outer, orbs))
        if (a.a >= kFirstAsteroidId || a.b >= kFirstAsteroidId) aspects.push_back(a);
}

std::array<ChartPoint, 5> compositeAsteroids(const std::array<ChartPoint, 5>& a,
                                             const std::array<ChartPoint, 5>& b) {
    std::array<ChartPoint, 5> m{};
    for (std::size_t k = 0; k < m.size(); ++k) m[k].longitude = midpoint(a[k].longitude, b[k].longitude);
    return m;
}

std::array<ChartPoint, 5> directedAsteroids(const std::array<ChartPoint, 5>& a, double arc) {
    std::array<ChartPoint, 5> d = a;
    for (ChartPoint& p : d) {
        p.longitude = std::fmod(p.longitude + arc, 360.0);
        if (p.longitude < 0) p.longitude += 360;
    }
    return d;
}

}  // namespace charttypes
