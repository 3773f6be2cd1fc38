// Chiron and the asteroids in the aspects of the chart types that set two charts side by side
// (synastry): ids 14..18 after the bodies (0..11) and angles (12, 13) of charttypes::aspectPoints.
#pragma once
#include <array>
#include <vector>

#include "chart/Zhanxing.h"

namespace charttypes {

inline constexpr int kFirstAsteroidId = 14;

// Appends to `aspects` those with an asteroid on either side, from the inner points and the
// inner chart's asteroids to the outer points and asteroids, for the asteroids `engine` shows,
// under the minor-aspect orb for every kind (as the natal aspect list takes them). With `outer`
// empty, the aspects within the inner chart (each pair once).
void appendAsteroidAspects(std::vector<Aspect>& aspects, std::vector<AspectPoint> inner,
                           const std::array<ChartPoint, 5>& innerAsteroids,
                           std::vector<AspectPoint> outer,
                           const std::array<ChartPoint, 5>& outerAsteroids,
                           const MZhanXingEx& engine);

// The composite's: the shorter-arc midpoint of each pair (signs and houses left to the engine).
std::array<ChartPoint, 5> compositeAsteroids(const std::array<ChartPoint, 5>& a,
                                             const std::array<ChartPoint, 5>& b);

// Solar arc: each moved forward by the arc (degrees).
std::array<ChartPoint, 5> directedAsteroids(const std::array<ChartPoint, 5>& a, double arc);

}  // namespace charttypes
