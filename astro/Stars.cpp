// Apparent places of the catalogue stars.
#include "astro/Stars.h"

#include <cmath>
#include <cstddef>

#include "astro/Eph0.h"
#include "astro/Precise.h"

namespace stars {
namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180;
constexpr double kMasToRad = kPi / 648000 / 1000;
constexpr double kAUPerKmSYear = 86400 * 365.25 / 149597870.7;  // km/s -> AU/year
constexpr double kLightAUPerDay = 173.1446326846693;
constexpr double kObliquityJ2000 = 84381.406 / 3600 * kDeg;  // the P03 obliquity at J2000

RectangularPosition add(const RectangularPosition& a, const RectangularPosition& b, double k = 1) {
    return {a.x + k * b.x, a.y + k * b.y, a.z + k * b.z};
}
double dot(const RectangularPosition& a, const RectangularPosition& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Heliocentric position (AU) on the ICRS equator at `years` (Julian years of TT from J2000):
// the catalogue place moved along its straight-line space motion.
RectangularPosition spacePosition(const CatalogueStar& s, double years) {
    const double a = s.ra * kDeg, d = s.dec * kDeg;
    const double ca = std::cos(a), sa = std::sin(a), cd = std::cos(d), sd = std::sin(d);
    // A star without a parallax is put far enough for its parallax to vanish.
    const double r = s.parallax > 0 ? 1 / (s.parallax * kMasToRad) : 1e12;
    const RectangularPosition u{cd * ca, cd * sa, sd};
    const RectangularPosition ea{-sa, ca, 0}, ed{-sd * ca, -sd * sa, cd};
    RectangularPosition v = add(RectangularPosition{}, ea, r * s.pmRa * kMasToRad);
    v = add(v, ed, r * s.pmDec * kMasToRad);
    v = add(v, u, s.radialVelocity * kAUPerKmSYear);
    return add(add(RectangularPosition{}, u, r), v, years);
}
}  // namespace

namespace {
// What every star of one instant shares: the time, the Earth and its velocity, the nutation.
struct Instant {
    double T = 0;  // Julian centuries of TT (or of UT taken for it)
    bool precise = false;
    SphericalPosition earth;
    RectangularPosition E;
    RectangularPosition beta;  // the Earth's velocity over the speed of light
    double dpsi = 0;
};

Instant instantOf(double jdUT, bool precise) {
    Instant i;
    const double jd = precise ? precise::terrestrialJulianDay(jdUT) : jdUT;
    i.T = (jd - 2451545.0) / 36525;
    i.precise = precise;
    i.earth = precise ? precise::heliocentric(Earth, i.T) : heliocentricPosition(Earth, i.T, -1, -1, -1);
    i.E = sphericalToRectangular(i.earth);
    constexpr double h = 0.05 / 36525;
    const RectangularPosition v = add(sphericalToRectangular(heliocentricPosition(Earth, i.T + h, -1, -1, -1)),
                                      sphericalToRectangular(heliocentricPosition(Earth, i.T - h, -1, -1, -1)), -1);
    const double k = 1 / (2 * 0.05 * kLightAUPerDay);
    i.beta = {v.x * k, v.y * k, v.z * k};
    i.dpsi = nutation(i.T).dpsi;
    return i;
}

Place placeAt(const CatalogueStar& s, const Instant& at) {
    // ICRS equator -> J2000 ecliptic -> ecliptic and equinox of date.
    const RectangularPosition q = spacePosition(s, at.T * 100);
    const double ce = std::cos(kObliquityJ2000), se = std::sin(kObliquityJ2000);
    SphericalPosition star = rectangularToSpherical({q.x, q.y * ce + q.z * se, -q.y * se + q.z * ce});
    star = precessEclipticToDate(at.T, star, "P03");
    // Annual parallax: seen from the Earth.
    SphericalPosition g = rectangularToSpherical(add(sphericalToRectangular(star), at.E, -1));
    if (at.precise) g = precise::deflectedBySun(g, star, at.earth);
    // Annual aberration, to first order in v/c.
    g.distance = 1;
    const RectangularPosition u = sphericalToRectangular(g);
    const SphericalPosition a = rectangularToSpherical(add(add(u, at.beta), u, -dot(u, at.beta)));
    double lon = std::remainder((a.longitude + at.dpsi) / kDeg, 360.0);
    if (lon < 0) lon += 360;
    if (lon >= 360) lon -= 360;
    return {lon, a.latitude / kDeg};
}
}  // namespace

Place apparentPlace(int index, double jdUT, bool precise) {
    if (index < 0 || index >= kCatalogueSize) return {};
    return placeAt(kCatalogue[index], instantOf(jdUT, precise));
}

std::vector<Place> apparentPlaces(double jdUT, bool precise) {
    const Instant at = instantOf(jdUT, precise);
    std::vector<Place> out;
    out.reserve(static_cast<std::size_t>(kCatalogueSize));
    for (int i = 0; i < kCatalogueSize; ++i) out.push_back(placeAt(kCatalogue[i], at));
    return out;
}

}  // namespace stars
