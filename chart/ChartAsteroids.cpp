#include "chart/ChartAsteroids.h"

namespace charttypes {

void appendAsteroidAspects(std::vector<Aspect>& aspects, std::vector<AspectPoint> inner,
                           const std::array<ChartPoint, 5>& innerAsteroids,
                           std::vector<AspectPoint> outer,
                           const std::array<ChartPoint, 5>& outerAsteroids,
                           const MZhanXingEx& engine) {
    if (!engine.anyAsteroidShown()) return;
    for (std::size_t b = 0; b < innerAsteroids.size(); ++b) {
        if (!engine.extraShown(kFirstAsteroid + static_cast<int>(b))) continue;
        const int id = kFirstAsteroidId + static_cast<int>(b);
        inner.push_back({id, innerAsteroids[b].longitude, 0});
        outer.push_back({id, outerAsteroids[b].longitude, 0});
    }
    AspectOrbs orbs = engine.aspectOrbs();
    orbs.orb.fill(engine.settings().minorOrb);
    for (const Aspect& a : findAspects(inner, outer, orbs))
        if (a.a >= kFirstAsteroidId || a.b >= kFirstAsteroidId) aspects.push_back(a);
}

}  // namespace charttypes
