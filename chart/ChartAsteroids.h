// Chiron and the asteroids in the aspects of the chart types that set two charts side by side
// (synastry): ids 14..18 after the bodies (0..11) and angles (12, 13) of charttypes::aspectPoints.
#pragma once
#include <array>
#include <vector>

#include "chart/Zhanxing.h"

namespace charttypes {

inline constexpr int kFirstAsteroidId = 14;

// One chart's Chiron and asteroids with their daily motions (degrees a day; 0 for computed
// points such as midpoints and directions, as the bodies of those charts have).
struct AsteroidSet {
    std::array<ChartPoint, 5> points{};
    std::array<double, 5> speeds{};
};
// The natal chart's on the engine.
AsteroidSet asteroidsOf(const MZhanXingEx& engine);

// Appends to `aspects` those with an asteroid on either side, from the inner points and the
// inner chart's asteroids to the outer points and asteroids, for the asteroids `engine` shows,
// under the minor-aspect orb for every kind (as the natal aspect list takes them). With `outer`
// empty, the aspects within the inner chart (each pair once).
void appendAsteroidAspects(std::vector<Aspect>& aspects, std::vector<AspectPoint> inner,
                           const AsteroidSet& innerAsteroids, std::vector<AspectPoint> outer,
                           const AsteroidSet& outerAsteroids, const MZhanXingEx& engine);

// The composite's: the shorter-arc midpoint of each pair (signs and houses left to the engine).
AsteroidSet compositeAsteroids(const AsteroidSet& a, const AsteroidSet& b);

// Solar arc: each moved forward by the arc (degrees).
AsteroidSet directedAsteroids(const AsteroidSet& a, double arc);

}  // namespace charttypes
