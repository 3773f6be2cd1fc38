// Apparent places of the catalogue stars.
#include "astro/Stars.h"

#include <cmath>

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

Place apparentPlace(int index, double jdUT, bool precise) {
    if (index < 0 || index >= kCatalogueSize) return {};
    const CatalogueStar& s = kCatalogue[index];
    const double jd = precise ? precise::terrestrialJulianDay(jdUT) : jdUT;
    const double T = (jd - 2451545.0) / 36525;
    // ICRS equator -> J2000 ecliptic -> ecliptic and equinox of date.
    const RectangularPosition q = spacePosition(s, T * 100);
    const double ce = std::cos(kObliquityJ2000), se = std::sin(kObliquityJ2000);
    SphericalPosition star = rectangularToSpherical({q.x, q.y * ce + q.z * se, -q.y * se + q.z * ce});
    star = precessEclipticToDate(T, star, "P03");
    auto earthAt = [precise](double t) {
        return precise ? precise::heliocentric(Earth, t) : heliocentricPosition(Earth, t, -1, -1, -1);
    };
    const SphericalPosition earth = earthAt(T);
    const RectangularPosition E = sphericalToRectangular(earth);
    // Annual parallax: seen from the Earth.
    SphericalPosition g = rectangularToSpherical(add(sphericalToRectangular(star), E, -1));
    if (precise) g = precise::deflectedBySun(g, star, earth);
    // Annual aberration (to first order in v/c) from the Earth's velocity.
    constexpr double h = 0.05 / 36525;
    const RectangularPosition v = add(sphericalToRectangular(heliocentricPosition(Earth, T + h, -1, -1, -1)),
                                      sphericalToRectangular(heliocentricPosition(Earth, T - h, -1, -1, -1)), -1);
    const double k = 1 / (2 * 0.05 * kLightAUPerDay);
    const RectangularPosition beta{v.x * k, v.y * k, v.z * k};
    g.distance = 1;
    const RectangularPosition u = sphericalToRectangular(g);
    const SphericalPosition a = rectangularToSpherical(add(add(u, beta), u, -dot(u, beta)));
    double lon = std::remainder((a.longitude + nutation(T).dpsi) / kDeg, 360.0);
    if (lon < 0) lon += 360;
    if (lon >= 360) lon -= 360;
    return {lon, a.latitude / kDeg};
}

}  // namespace stars
