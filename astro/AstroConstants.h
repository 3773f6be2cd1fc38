// Constants of the astronomy and calendar code. pi is deliberately the nine-digit value
// 3.14159265: every stored table, correction string and rounding decision of the calendar was
// produced with it, so every factor that contains pi is derived from this value.
#pragma once
#include <array>

namespace AstroConstants {
constexpr double pi = 3.14159265;
constexpr double pi2 = 2.0 * pi;
constexpr double rad = 648000.0 / pi;  // arcseconds per radian
constexpr double radd = 180.0 / pi;    // degrees per radian
constexpr double AU = 149597870.691;   // km
constexpr double lightSpeed = 299792.458;  // km/s
constexpr double lightTimePerAU = AU / lightSpeed / 86400.0 / 36525.0;  // Julian centuries
constexpr double J2000 = 2451545.0;
// Mean synodic periods in days, indexed by body code 1..8 (index 0 unused).
constexpr std::array<double, 9> synodicDays = {0, 116, 584, 780, 399, 378, 370, 367, 367};
}  // namespace AstroConstants
