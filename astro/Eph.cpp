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
namespace {
SphericalPosition completeSeries(int code, double T) { return heliocentricPosition(code, T, -1, -1, -1); }
}  // namespace

EclipticDegrees apparentPosition(int code, double d) { return apparentPositionFrom(code, d, completeSeries); }

EclipticDegrees apparentPositionFrom(int code, double d, HeliocentricSource helio) {
    if (code == Moon) return moonApparentPosition(d);
    if (code < Mercury || code > Sun) return {};
    const double T = d / 36525;
    const Nutation nut = nutation(T);
    const SphericalPosition E = helio(Earth, T);
    SphericalPosition P = helio(code, T);
    P.longitude = normRad(P.longitude);
    const SphericalPosition G = relativePosition(P, E);
    const double T2 = T - G.distance * lightTimePerAU;
    const SphericalPosition E2 = helio(Earth, T2);
    const SphericalPosition P2 = helio(code, T2);
    const SphericalPosition A = relativePosition(P2, E2);
    return {normRad(A.longitude + nut.dpsi) * radd, A.latitude * radd};
}

EclipticDegrees asteroidApparentPosition(int body, double d) {
    const precise::Place p = precise::asteroidPlaceSeenFrom(body, precise::earthState(d / 36525, false));
    return {p.longitude, p.latitude};
}
