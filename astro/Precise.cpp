// Apparent places at the true instant and the sidereal frame of date.
#include "astro/Precise.h"

#include <cmath>
#include <cstddef>

#include "astro/AstroConstants.h"
#include "astro/Asteroids.h"
#include "astro/Eph0.h"
#include "astro/OuterPlanets.h"
#include "astro/QuickSeries.h"
#include "astro/tables/MoonSeriesPrecise.h"
#include "astro/tables/PlanetSeriesPrecise.h"

namespace precise {
namespace {
// The full-precision circle: the series are in true radians, and whole turns of a long series
// argument must go with the true 2 pi (the program's nine-digit pi loses 7e-9 rad a turn).
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2 * kPi;
constexpr double kDeg = 180 / kPi;
constexpr double kArcsec = kPi / 648000;
constexpr double kJ2000 = 2451545.0;
constexpr double kSpeedStep = 0.01;  // days either side for the daily motion

double turnDegrees(double radians) {
    double d = std::remainder(radians, kTwoPi) * kDeg;
    if (d < 0) d += 360;
    if (d >= 360) d -= 360;
    return d;
}

// Coordinate c (0 L, 1 B in radians; 2 R in AU) of body 0..7 from the fuller series, with the
// same fitted corrections as the default series.
double fullerSeries(int body, int c, double T) { return fullerSeriesValue(body, c, T, libraryTermSum); }

// Apparent place at Terrestrial Time T (Julian centuries from J2000) of a body of the planetary
// series (1..8) or the Sun (9). The body is taken at the time of emission and seen from where
// the Earth was at that moment, which carries the annual aberration with the light time to
// first order; a planet's light is bent by the Sun on its way; the ecliptic of the emission
// time is carried forward by the general precession
// over the light time, and the nutation in longitude of T is added.
Place planetPlace(int code, double T, double dpsi, HeliocentricSource complete, HeliocentricSource place) {
    // The light time from the default series (its distances are good to 1e-7 AU), then the
    // place itself from the series asked for.
    auto light = [code, complete](double t) {
        return relativePosition(complete(code, t), complete(Earth, t)).distance * AstroConstants::lightTimePerAU;
    };
    double lt = light(T);
    lt = light(T - lt);
    const double Te = T - lt;
    const SphericalPosition body = place(code, Te);
    const SphericalPosition earth = place(Earth, Te);
    SphericalPosition A = relativePosition(body, earth);
    if (code != Sun) A = deflectedBySun(A, body, earth);
    const double precessionOverLightTime = 5028.796195 * kArcsec * lt;
    return {turnDegrees(A.longitude + precessionOverLightTime + dpsi), A.latitude * kDeg};
}

SphericalPosition completeSeries(int code, double T) { return heliocentricPosition(code, T, -1, -1, -1); }

double libraryMoonTermSum(const double* a, int lo, int hi, double T, double T2e4, double T3e8, double T4e8) {
    double sum = 0;
    for (int j = lo; j < hi; j += 6) {
        const double* t = a + j;
        sum += t[0] * std::cos(t[1] + t[2] * T + t[3] * T2e4 + t[4] * T3e8 + t[5] * T4e8);
    }
    return sum;
}

// Coordinate c of the Moon from the fuller series, in the units of moonSeriesValue.
double moonFuller(int c, double T, MoonTermSum termSum) {
    const double T2 = T * T, T3 = T2 * T, T4 = T3 * T;
    const auto& st = MoonSeriesPrecise::starts[static_cast<std::size_t>(c)];
    double v = c == 0 ? moonMeanLongitudeArcsec(T) : 0.0;
    double tn = 1;
    for (std::size_t i = 0; i < 4; ++i, tn *= T)
        v += termSum(MoonSeriesPrecise::terms, st[i], st[i + 1], T, T2 * 1e-4, T3 * 1e-8, T4 * 1e-8) * tn;
    // The same conversion as moonSeriesValue: its mean longitude was scaled by the program's
    // arcseconds per radian, which this undoes exactly.
    return c == 2 ? v : v / AstroConstants::rad;
}

// The Moon: the geocentric series at the time of emission (the Earth's own motion during the
// light time and the annual aberration cancel for a body that travels with the Earth). The
// light time and the daily motion come from the default series, the place from the fuller
// (summed by `fuller`; none: the default series).
Place moonPlace(double T, double dpsi, MoonTermSum fuller) {
    const double r = moonSeriesValue(2, T, -1);  // km
    const double Te = T - r / AstroConstants::AU * AstroConstants::lightTimePerAU;
    if (!fuller) {
        const SphericalPosition m = moonPosition(Te, -1, -1, -1);
        return {turnDegrees(m.longitude + dpsi), m.latitude * kDeg};
    }
    return {turnDegrees(moonFuller(0, Te, fuller) + dpsi), moonFuller(1, Te, fuller) * kDeg};
}

double centuriesTT(double jdUT) { return (terrestrialJulianDay(jdUT) - kJ2000) / 36525; }
}  // namespace

// Gravitational deflection of light by the Sun, whose 2GM/c^2 is 1.974e-8 AU: with e the unit
// vector from the Sun to the Earth at distance E, q from the Sun to the body and p from the Earth
// to the body, the body is seen at p + 2GM/(c^2 E) ((p.q) e - (e.p) q) / (1 + q.e), moved away
// from the Sun: 1.75" at the limb, 0.47" at one degree from the Sun, 0.05" at ten.
SphericalPosition deflectedBySun(const SphericalPosition& geocentric, const SphericalPosition& body,
                                 const SphericalPosition& earth) {
    constexpr double kTwoGMOverC2 = 1.97412574e-8;  // AU
    constexpr double kSolarRadiusAU = 696000.0 / 149597870.7;
    auto unit = [](SphericalPosition s) {
        s.distance = 1;
        return sphericalToRectangular(s);
    };
    const RectangularPosition p = unit(geocentric), q = unit(body), e = unit(earth);
    auto dot = [](const RectangularPosition& a, const RectangularPosition& b) {
        return a.x * b.x + a.y * b.y + a.z * b.z;
    };
    const double pq = dot(p, q), ep = dot(e, p);
    double k = kTwoGMOverC2 / earth.distance / std::fmax(1 + dot(q, e), 1e-15);
    // Behind the disc, where the planet is hidden, the expression grows without bound towards the
    // centre; there the deflection keeps the 1.75" of the limb.
    const double fromCentre = std::acos(std::fmin(1.0, -dot(p, e)));
    const double limb = kSolarRadiusAU / earth.distance;
    if (fromCentre < limb) k *= fromCentre / limb;
    SphericalPosition r = rectangularToSpherical(
        {p.x + k * (pq * e.x - ep * q.x), p.y + k * (pq * e.y - ep * q.y), p.z + k * (pq * e.z - ep * q.z)});
    r.distance = geocentric.distance;
    return r;
}

SphericalPosition heliocentric(int code, double T) {
    if (outerplanets::covers(code, T)) return outerplanets::heliocentric(code, T);
    if (code >= Earth && code <= Neptune)
        return {fullerSeries(code, 0, T), fullerSeries(code, 1, T), fullerSeries(code, 2, T)};
    return heliocentricPosition(code, T, -1, -1, -1);
}

double fullerSeriesValue(int body, int c, double T, TermSum termSum) {
    const auto& st = PlanetSeriesPrecise::starts[static_cast<std::size_t>(body)];
    const double tau = T / 10;  // Julian millennia
    double v = 0, tn = 1;
    for (int i = 0; i < 6; ++i, tn *= tau)
        v += termSum(PlanetSeriesPrecise::terms, st[static_cast<std::size_t>(6 * c + i)],
                     st[static_cast<std::size_t>(6 * c + i + 1)], tau) *
             tn;
    return withSeriesCorrections(body, c, tau, v);
}

double terrestrialJulianDay(double jdUT) {
    const double year = 2000 + (jdUT - kJ2000) / 365.25;
    return jdUT + deltaTSeconds(year) / 86400;
}

namespace {
Place placeAt(int code, double jdUT, bool fuller) {
    if (code < Mercury || code > Moon) return {};
    const double T = centuriesTT(jdUT);
    const double dpsi = nutation(T).dpsi;
    if (code == Moon) return moonPlace(T, dpsi, fuller ? libraryMoonTermSum : nullptr);
    return planetPlace(code, T, dpsi, completeSeries, fuller ? heliocentric : completeSeries);
}
}  // namespace

Place apparentPlace(int code, double jdUT) { return placeAt(code, jdUT, true); }

Place apparentPlaceFrom(int code, double jdUT, const SeriesSources& sources) {
    if (code < Mercury || code > Moon) return {};
    const double T = centuriesTT(jdUT);
    const double dpsi = nutation(T).dpsi;
    if (code == Moon) return moonPlace(T, dpsi, sources.moon);
    return planetPlace(code, T, dpsi, sources.complete, sources.fuller);
}

EarthState earthState(double T, bool precise) {
    EarthState e;
    e.T = T;
    e.precise = precise;
    e.position = sphericalToRectangular(precise ? heliocentric(Earth, T) : heliocentricPosition(Earth, T, -1, -1, -1));
    const double h = 0.05 / 36525;
    const RectangularPosition a = sphericalToRectangular(heliocentricPosition(Earth, T + h, 20, 20, 20));
    const RectangularPosition b = sphericalToRectangular(heliocentricPosition(Earth, T - h, 20, 20, 20));
    e.velocity = {(a.x - b.x) / (2 * h), (a.y - b.y) / (2 * h), (a.z - b.z) / (2 * h)};
    e.dpsi = nutation(T).dpsi;
    return e;
}

namespace {
RectangularPosition movedBack(const RectangularPosition& p, const RectangularPosition& v, double t) {
    return {p.x - v.x * t, p.y - v.y * t, p.z - v.z * t};
}

// The place seen from `earth` shifted by dt (centuries) along its velocity, with nutation dpsi.
Place asteroidPlaceShifted(int body, const EarthState& earth, double dt, double dpsi) {
    const double T = earth.T + dt;
    const RectangularPosition E = movedBack(earth.position, earth.velocity, -dt);
    auto lightTime = [&](double lt) {
        const RectangularPosition b = asteroids::heliocentricRectangular(body, T - lt);
        const RectangularPosition e = movedBack(E, earth.velocity, lt);
        return std::sqrt((b.x - e.x) * (b.x - e.x) + (b.y - e.y) * (b.y - e.y) + (b.z - e.z) * (b.z - e.z)) *
               AstroConstants::lightTimePerAU;
    };
    const double lt = lightTime(lightTime(0));
    const RectangularPosition bodyAt = asteroids::heliocentricRectangular(body, T - lt);
    const RectangularPosition earthAt = movedBack(E, earth.velocity, lt);
    SphericalPosition A = rectangularToSpherical(
        {bodyAt.x - earthAt.x, bodyAt.y - earthAt.y, bodyAt.z - earthAt.z});
    double lon = A.longitude + dpsi;
    if (earth.precise) {
        A = deflectedBySun(A, rectangularToSpherical(bodyAt), rectangularToSpherical(earthAt));
        lon = A.longitude + dpsi + 5028.796195 * kArcsec * lt;
    }
    return {turnDegrees(lon), A.latitude * kDeg};
}
}  // namespace

Place asteroidPlaceSeenFrom(int body, const EarthState& earth) {
    if (body < 0 || body >= asteroids::kCount) return {};
    return asteroidPlaceShifted(body, earth, 0, earth.dpsi);
}

double asteroidSpeedSeenFrom(int body, const EarthState& earth) {
    if (body < 0 || body >= asteroids::kCount) return 0;
    const double h = kSpeedStep / 36525;
    const double a = asteroidPlaceShifted(body, earth, -h, nutation(earth.T - h).dpsi).longitude;
    const double b = asteroidPlaceShifted(body, earth, h, nutation(earth.T + h).dpsi).longitude;
    return std::remainder(b - a, 360.0) / (2 * kSpeedStep);
}

Place asteroidPlace(int body, double jdUT) { return asteroidPlaceSeenFrom(body, earthState(centuriesTT(jdUT), true)); }

double asteroidSpeed(int body, double jdUT) { return asteroidSpeedSeenFrom(body, earthState(centuriesTT(jdUT), true)); }

// The difference of two places 0.02 day apart with one light time (it changes the motion by a
// part in 10^4 at most, never its sign) from the default series (their errors change too slowly
// to matter: 0.5" a century at most); the nutation of each instant, whose rate matters for
// Pluto near a station.
namespace {
// The central difference of longitudeSpeed from the heliocentric places of `helio`.
double planetSpeed(int code, double T, HeliocentricSource helio) {
    const double h = kSpeedStep / 36525;
    const double lt = relativePosition(helio(code, T), helio(Earth, T)).distance * AstroConstants::lightTimePerAU;
    double lon[2] = {0, 0};
    for (int k = 0; k < 2; ++k) {
        const double t = k == 0 ? T - h : T + h;
        const SphericalPosition A = relativePosition(helio(code, t - lt), helio(Earth, t - lt));
        lon[k] = (A.longitude + nutation(t).dpsi) * kDeg;
    }
    return std::remainder(lon[1] - lon[0], 360.0) / (2 * kSpeedStep);
}

// Eight terms of each series (quick::roughSeries) give the daily motion of Mercury .. Pluto
// (codes 1..8) to within these bounds (degrees a day) from 1500 to 2300: ten times the largest
// difference from the complete series found at 20,000 instants (Mercury 0.00056, Mars 0.0011,
// Pluto 0.0000028).
constexpr double kSignBound[9] = {0, 6e-3, 6e-3, 1.2e-2, 3e-3, 1.2e-3, 1e-3, 2.5e-4, 3e-5};
constexpr double kSignFirstJd = 2268923.5, kSignLastJd = 2561118.5;  // 1500-01-01, 2300-01-01
}  // namespace

double longitudeSpeed(int code, double jdUT) {
    if (code < Mercury || code > Moon) return 0;
    const double h = kSpeedStep / 36525;
    const double T = centuriesTT(jdUT);
    if (code == Moon)
        return std::remainder(moonPlace(T + h, nutation(T + h).dpsi, nullptr).longitude -
                                  moonPlace(T - h, nutation(T - h).dpsi, nullptr).longitude,
                              360.0) /
               (2 * kSpeedStep);
    return planetSpeed(code, T, completeSeries);
}

bool retrograde(int code, double jdUT) {
    if (code >= Mercury && code <= Pluto && jdUT >= kSignFirstJd && jdUT <= kSignLastJd) {
        const double rough = planetSpeed(code, centuriesTT(jdUT), quick::roughSeries);
        if (std::fabs(rough) > kSignBound[code]) return rough < 0;
    }
    return longitudeSpeed(code, jdUT) < 0;
}

// Mean longitude of the node (ELP/MPP02, DE405 fit: W3 on the J2000 ecliptic plus the general
// precession of the series), arcseconds.
double meanAscendingNode(double jdUT) {
    const double T = centuriesTT(jdUT);
    const double T2 = T * T, T3 = T2 * T, T4 = T3 * T;
    const double w3 = (125 * 3600 + 2 * 60 + 40.39816 - 0.07215) +
                      (-6967919.5383 - 0.04317) * T + (6.359 - 0.0026107) * T2 +
                      (0.007625 - 0.00010712) * T3 - 0.00003586 * T4;
    const double pA = 5028.792262 * T + 1.1124406 * T2 + 0.00007699 * T3 - 0.000023479 * T4 -
                      1.78e-8 * T4 * T;
    return turnDegrees((w3 + pA) * kArcsec + nutation(T).dpsi);
}

Frame frameOfDate(double jdUT) {
    const double T = centuriesTT(jdUT);
    const Nutation n = nutation(T);
    return {n.dpsi, n.deps, meanObliquity(T) + n.deps};
}

double apparentSiderealTime(double jdUT) {
    const double du = jdUT - kJ2000;
    // Earth rotation angle, turns: the fraction of the day split off first for precision.
    const double frac = du - std::floor(du);
    const double era = 0.7790572732640 + 0.00273781191135448 * du + frac;
    const double t = centuriesTT(jdUT);
    const double poly = 0.014506 +
                        t * (4612.156534 + t * (1.3915817 + t * (-0.00000044 +
                                                                  t * (-0.000029956 + t * -0.0000000368))));
    const Frame f = frameOfDate(jdUT);
    // Equation of the equinoxes with its two complementary terms (node of the Moon).
    const double om = (450160.398036 - 6962890.5431 * t) * kArcsec;
    const double ee = f.dpsi * std::cos(f.trueObliquity) +
                      (0.00264096 * std::sin(om) + 0.00006352 * std::sin(2 * om)) * kArcsec;
    double deg = std::fmod(era, 1.0) * 360 + poly / 3600 + ee * kDeg;
    deg = std::fmod(deg, 360.0);
    if (deg < 0) deg += 360;
    return deg;
}

double ramcAt(double jdUT, double eastLongitude) {
    double r = std::fmod(apparentSiderealTime(jdUT) + eastLongitude, 360.0);
    if (r < 0) r += 360;
    if (r >= 360) r -= 360;
    return r;
}

}  // namespace precise
