#include "forecast/Eclipses.h"

#include <cmath>

#include "astro/Eph0.h"
#include "astro/Precise.h"

namespace forecast {
namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kRad = kPi / 180;
constexpr double kEarthRadius = 6378.137;           // km, equatorial
constexpr double kSunRadius = 695990.0;             // km (959.63" at 1 AU)
constexpr double kMoonRadiusUmbra = 0.272281 * kEarthRadius;    // mean radius to the limb's valleys
constexpr double kMoonRadius = 0.2725076 * kEarthRadius;        // mean radius
constexpr double kAU = 149597870.7;                 // km
constexpr double kMeanLimb = 0.9972;

struct Vec {
    double x = 0, y = 0, z = 0;
};
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec operator*(double k, Vec a) { return {k * a.x, k * a.y, k * a.z}; }
double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double norm(Vec a) { return std::sqrt(dot(a, a)); }

Vec fromPlace(const precise::Place& p, double distance) {
    const double l = p.longitude * kRad, b = p.latitude * kRad;
    return {distance * std::cos(b) * std::cos(l), distance * std::cos(b) * std::sin(l), distance * std::sin(b)};
}

double centuriesTT(double jdUT) { return (precise::terrestrialJulianDay(jdUT) - 2451545.0) / 36525; }

// Geocentric Sun and Moon, km.
void sunAndMoon(double jd, Vec& sun, Vec& moon) {
    const double T = centuriesTT(jd);
    const double r = heliocentricPosition(Earth, T, -1, -1, -1).distance * kAU;
    sun = fromPlace(precise::apparentPlace(Sun, jd), r);
    moon = fromPlace(precise::apparentPlace(Moon, jd), moonSeriesValue(2, T, -1));
}

// Distance of the shadow's axis from the Earth's centre, km.
double axisDistance(double jd) {
    Vec s, m;
    sunAndMoon(jd, s, m);
    const Vec d = (1 / norm(m - s)) * (m - s);
    return norm(m - dot(m, d) * d);
}

// Angle between the Moon and the centre of the Earth's shadow, radians.
double shadowDistance(double jd) {
    Vec s, m;
    sunAndMoon(jd, s, m);
    const double c = -dot(s, m) / (norm(s) * norm(m));
    return std::acos(std::fmax(-1.0, std::fmin(1.0, c)));
}

// Golden-section minimum of f on [a, b] to about a second.
template <typename F>
double minimum(F f, double a, double b) {
    const double g = (std::sqrt(5.0) - 1) / 2;
    double c = b - g * (b - a), d = a + g * (b - a);
    double fc = f(c), fd = f(d);
    while (b - a > 1e-5) {
        if (fc < fd) {
            b = d; d = c; fd = fc;
            c = b - g * (b - a);
            fc = f(c);
        } else {
            a = c; c = d; fc = fd;
            d = a + g * (b - a);
            fd = f(d);
        }
    }
    return (a + b) / 2;
}
}  // namespace

Eclipse solarEclipseAt(double jdNewMoon) {
    Eclipse e;
    // Far from a node the Moon passes well clear of the Sun.
    if (std::fabs(precise::apparentPlace(Moon, jdNewMoon).latitude) > 1.8) return e;
    const double jd = minimum(axisDistance, jdNewMoon - 0.25, jdNewMoon + 0.25);
    Vec s, m;
    sunAndMoon(jd, s, m);
    const double sm = norm(m - s);
    const Vec d = (1 / sm) * (m - s);
    const double gamma = norm(m - dot(m, d) * d) / kEarthRadius;
    const double z = -dot(m, d);  // the Moon's height above the plane through the Earth's centre
    const double tanF2 = std::tan(std::asin((kSunRadius - kMoonRadiusUmbra) / sm));
    const double tanF1 = std::tan(std::asin((kSunRadius + kMoonRadius) / sm));
    const double u = (z * tanF2 - kMoonRadiusUmbra) / kEarthRadius;
    const double l1 = (z * tanF1 + kMoonRadius) / kEarthRadius;
    e.jd = jd;
    e.gamma = gamma;
    e.magnitude = u;
    if (gamma >= kMeanLimb + l1) return e;
    if (gamma < kMeanLimb) {
        if (u < 0) e.kind = EclipseKind::Total;
        else if (u < tanF2 * std::sqrt(1 - gamma * gamma)) e.kind = EclipseKind::Hybrid;
        else e.kind = EclipseKind::Annular;
    } else if (gamma < kMeanLimb + std::fabs(u)) {
        e.kind = u < 0 ? EclipseKind::Total : EclipseKind::Annular;
    } else {
        e.kind = EclipseKind::Partial;
    }
    return e;
}

Eclipse lunarEclipseAt(double jdFullMoon) {
    Eclipse e;
    if (std::fabs(precise::apparentPlace(Moon, jdFullMoon).latitude) > 1.8) return e;
    const double jd = minimum(shadowDistance, jdFullMoon - 0.25, jdFullMoon + 0.25);
    Vec s, m;
    sunAndMoon(jd, s, m);
    const double sep = shadowDistance(jd);
    const double dm = norm(m), ds = norm(s);
    const double moonRadius = std::asin(kMoonRadius / dm);
    const double parallaxMoon = std::asin(kEarthRadius / dm), parallaxSun = std::asin(kEarthRadius / ds);
    const double sunRadius = std::asin(kSunRadius / ds);
    const double enlarged = parallaxMoon * (1 + 1.0 / 85);
    const double umbra = enlarged + parallaxSun - sunRadius;
    const double penumbra = enlarged + parallaxSun + sunRadius;
    e.jd = jd;
    e.gamma = sep / parallaxMoon;
    e.magnitude = (umbra + moonRadius - sep) / (2 * moonRadius);
    if (sep <= umbra - moonRadius) e.kind = EclipseKind::Total;
    else if (sep < umbra + moonRadius) e.kind = EclipseKind::Partial;
    else if (sep < penumbra + moonRadius) e.kind = EclipseKind::Penumbral;
    return e;
}

const char* eclipseKindName(EclipseKind k) {
    switch (k) {
    case EclipseKind::Total: return "全食";
    case EclipseKind::Annular: return "环食";
    case EclipseKind::Hybrid: return "全环食";
    case EclipseKind::Partial: return "偏食";
    case EclipseKind::Penumbral: return "半影食";
    default: return "";
    }
}

}  // namespace forecast
