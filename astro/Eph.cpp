// Apparent geocentric positions of the Sun, the planets and Pluto (the Moon is in Eph_moon.cpp).
#include "astro/Eph.h"

#include "astro/AstroConstants.h"
#include "astro/Precise.h"

using AstroConstants::lightTimePerAU;
using AstroConstants::radd;

// Apparent ecliptic longitude and latitude of date (degrees) of body code 1..10. d is the day
// count from J2000 of Universal Time and is used as dynamical time without Delta T. The body is
// taken at the time of emission and seen from the Earth at that same moment, which carries the
// annual aberration along with the light time; nutation in longitude is added last.
EclipticDegrees apparentPosition(int code, double d) {
    if (code == Moon) return moonApparentPosition(d);
    if (code < Mercury || code > Sun) return {};
    const double T = d / 36525;
    const Nutation nut = nutation(T);
    const SphericalPosition E = heliocentricPosition(Earth, T, -1, -1, -1);
    SphericalPosition P = heliocentricPosition(code, T, -1, -1, -1);
    P.longitude = normRad(P.longitude);
    const SphericalPosition G = relativePosition(P, E);
    const double T2 = T - G.distance * lightTimePerAU;
    const SphericalPosition E2 = heliocentricPosition(Earth, T2, -1, -1, -1);
    const SphericalPosition P2 = heliocentricPosition(code, T2, -1, -1, -1);
    const SphericalPosition A = relativePosition(P2, E2);
    return {normRad(A.longitude + nut.dpsi) * radd, A.latitude * radd};
}

EclipticDegrees asteroidApparentPosition(int body, double d) {
    const precise::Place p = precise::asteroidPlaceSeenFrom(body, precise::earthState(d / 36525, false));
    return {p.longitude, p.latitude};
}
