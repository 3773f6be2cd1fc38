// The Moon's apparent position and the mean lunar nodes.
#include <cmath>

#include "astro/AstroConstants.h"
#include "astro/Eph.h"

using AstroConstants::AU;
using AstroConstants::lightTimePerAU;
using AstroConstants::radd;

namespace {
constexpr double kTrueTwoPi = 6.283185307179586476925;  // the period of std::cos
}  // namespace

// Apparent geocentric ecliptic longitude and latitude of date, degrees. d is the day count from
// J2000 of Universal Time, used as dynamical time without Delta T (the chart's convention).
// Light time comes from a cheap distance; nutation in longitude is applied, aberration is not.
EclipticDegrees moonApparentPosition(double d) {
    const double T = d / 36525.0;
    const double dpsi = nutationInLongitude(T);
    const double r = moonPosition(T, 1, 1, -1).distance;  // km
    const double T2 = T - (r / AU) * lightTimePerAU;
    const SphericalPosition m = moonPosition(T2, -1, -1, -1);
    // The series longitude counts every revolution since J2000 (1337 per century) in true
    // radians. Reducing it with the program's nine-digit pi would lose 7.2e-9 rad per turn, 2"
    // per century from J2000 (8" in 1600), so whole turns of the true 2*pi go first.
    const double lon = std::remainder(m.longitude + dpsi, kTrueTwoPi);
    EclipticDegrees e;
    e.longitude = normRad(lon) * radd;
    if (e.longitude >= 360.0) e.longitude -= 360.0;
    e.latitude = m.latitude * radd;
    return e;
}

// Mean ascending and descending node, degrees in [0, 360). The node regresses 0.052953924 deg
// per whole day counted from 1600-01-01 00:00 (the day count starts at 1 on that day), where
// it stood at 301.540314 deg.
NodePair meanLunarNodes(double jd, bool flag) {
    const double k = std::trunc(jd - julianDay(1600, 1, 1.0) + 1.0);  // whole days
    double x = k * 0.052953924;
    x = x - std::floor(x / 360.0) * 360.0;
    double north = 301.540314 - x;
    if (north < 0) north += 360.0;
    // A regression of a hair more than 301.540314 deg rounds up to exactly 360 above.
    if (north >= 360.0) north -= 360.0;
    double south = (north + 180.0) - std::floor((north + 180.0) / 360.0) * 360.0;
    if (south >= 360.0) south -= 360.0;
    NodePair p;
    if (flag) {
        p.first = north;
        p.second = south;
    } else {
        p.first = south;
        p.second = north;
    }
    return p;
}
