// Apparent positions and the mean lunar nodes.
#pragma once
#include "astro/Eph0.h"

struct EclipticDegrees {
    double longitude = 0;  // degrees, [0, 360)
    double latitude = 0;   // degrees
};

// Apparent geocentric ecliptic longitude and latitude of date for body codes 1..10, where d is
// the day count from J2000 of Universal Time, used as dynamical time without Delta T.
EclipticDegrees apparentPosition(int code, double d);
// The same with the heliocentric places of the Earth and the body taken from `helio` (code,
// T in Julian centuries): the complete series, or their quick sums (astro/QuickSeries.h).
using HeliocentricSource = SphericalPosition (*)(int code, double T);
EclipticDegrees apparentPositionFrom(int code, double d, HeliocentricSource helio);

struct NodePair {
    double first = 0;
    double second = 0;
};
// Mean lunar nodes at jd (UT); with the flag set (ascending, descending), else swapped.
NodePair meanLunarNodes(double jd, bool flag);

// The Moon's apparent position (code 10 of apparentPosition).
EclipticDegrees moonApparentPosition(double d);

// Apparent place of asteroid `body` (astro/Asteroids.h: Chiron .. Vesta) by the rules of
// apparentPosition: d the day count from J2000 of Universal Time used as dynamical time, the
// light time, the Earth of the default series at the time of emission, nutation in longitude.
EclipticDegrees asteroidApparentPosition(int body, double d);
