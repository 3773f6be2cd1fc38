// Local frame of the chart: RAMC from the local apparent solar time, midheaven, ascendant,
// Placidus cusps, house location and aspects. Degrees throughout; the single-precision factors
// below and the fixed 0.9175 for cos(obliquity) are part of the program's printed minutes.
#include <cmath>

#include "chart/EquationOfTimeTable.h"
#include "astro/Eph0.h"
#include "astro/Precise.h"
#include "chart/PreciseHouses.h"
#include "chart/Zhanxing.h"

namespace {
constexpr double kDegToRad = static_cast<double>(0.017453292f);
constexpr double kRadToDeg = static_cast<double>(57.29578f);
constexpr double kEps = 0.40910518;  // obliquity, radians (23.44 deg)
constexpr double kObliquity = 23.44;  // the same in degrees, for the other house systems
constexpr double kCosEpsFixed = 0.9175;

double sinD(double a) { return std::sin(a * kDegToRad); }
double cosD(double a) { return std::cos(a * kDegToRad); }
double tanD(double a) { return std::tan(a * kDegToRad); }

// Julian day of a civil moment at hh:mm:01, as the calendar object counts it.
double julianDayAt(int y, int m, int d, int hh, int mm) {
    CivilDateTime c;
    c.year = y;
    c.month = m;
    c.day = d;
    c.hour = hh;
    c.minute = mm;
    c.second = 1;
    return julianDayOf(c);
}

// Right ascension and longitude of an ecliptic point differ by less than 3 degrees. Within a
// few millionths of a degree of 90 and 270 the single-precision degree factor puts the tangent
// on the wrong side of its pole, and the quadrant rule would answer the opposite point: fold
// such a value back by 180 degrees.
double sameHalf(double v, double ref) {
    double d = std::fmod(v - ref, 360.0);
    if (d > 180) d -= 360;
    if (d < -180) d += 360;
    if (d > 90) v -= 180;
    else if (d < -90) v += 180;
    if (v < 0) v += 360;
    return v;
}

double mod360(double v) {
    v = std::fmod(v, 360.0);
    if (v < 0) v += 360;
    if (v >= 360) v -= 360;
    return v;
}
}  // namespace

double MZhanXingEx::computeRamc(double sunLongitude, double geoLongitude, double jd8) {
    const DateTimeFields d = fieldsFromJulianDay(jd8);
    const int h0 = d.hour;
    const double j1 = julianDayAt(d.year, d.month, d.day, 12, 0);
    const double j2 = julianDayAt(d.year, 1, 1, 12, 1);
    int k = static_cast<int>(std::floor(j1) - std::floor(j2));
    if (k < 0) k = 0;
    if (k > 365) k = 365;
    const double e0 = EquationOfTimeTable[k];
    const double e1 = EquationOfTimeTable[(k + 1) % 366];
    const double e = e0 * 60 + (h0 / 24.0) * (e1 - e0) * 60;  // seconds
    const DateTimeFields apparent = fieldsFromJulianDay(jd8 + e / 86400);

    double alpha = std::atan(tanD(sunLongitude) * kCosEpsFixed) * kRadToDeg;
    if (sunLongitude > 90 && sunLongitude < 270) alpha += 180;
    else if (sunLongitude >= 270) alpha += 360;
    alpha = sameHalf(alpha, sunLongitude);
    double t = 15.0 * apparent.hour + 0.25 * apparent.minute - (120 - geoLongitude);
    if (t <= 0) t += 360;
    const double v = alpha + 180 + t;
    return v - 360 * std::floor(v / 360);
}

double MZhanXingEx::midheavenOf(double r) {
    double mc = std::atan(tanD(r) / kCosEpsFixed) * kRadToDeg;
    if (r > 90 && r < 270) mc += 180;
    else if (r >= 270) mc += 360;
    mc = sameHalf(mc, r);
    return mc >= 360 ? mc - 360 : mc;
}

double MZhanXingEx::midheavenAt(double r, double phi) {
    const double mc = midheavenOf(r);
    if (mod360(ascendantOf(r, phi) - mc) > 180) return mod360(mc + 180);
    return mc;
}

double MZhanXingEx::ascendantOf(double r, double phi) {
    const double c = sinD(phi) * std::cos(kEps) - cosD(phi) * sinD(r) * std::sin(kEps);
    const double q = 1 - c * c;
    double a;
    if (q <= 1e-12) {
        // The ecliptic lies in the horizon (only beyond the polar circles): every ecliptic
        // point rises at once; take the point 90 deg past the midheaven.
        a = mod360(midheavenOf(r) + 90);
        return a;
    }
    double s = (cosD(phi) * sinD(r) + std::sin(kEps) * c) / (std::cos(kEps) * std::sqrt(q));
    if (s > 1) s = 1;
    if (s < -1) s = -1;
    a = std::asin(s) * kRadToDeg;
    if (cosD(r) <= 0) a = 180 - a;
    else if (a < 0) a += 360;
    a += 90;
    if (a >= 360) a -= 360;
    return a;
}

std::array<double, 12> MZhanXingEx::housesOf(float ramc, double phi, double mc, double asc,
                                             bool* approximate) {
    std::array<double, 12> cusp{};
    bool approx = false;
    cusp[9] = mc;
    cusp[3] = mod360(mc + 180);
    const double R = ramc;
    const double tanEps = std::tan(kEps);
    const double tanPhi = tanD(phi);
    const int cuspIndex[5] = {10, 11, 0, 1, 2};
    for (int s = 0; s < 5; ++s) {
        double value = 0;
        if (s == 2) {
            value = asc;
        } else {
            const bool diurnal = s < 2;
            const double f = (s == 0 || s == 4) ? 1.0 / 3 : 2.0 / 3;
            double alpha = R + (s == 0 ? 30 : s == 1 ? 60 : s == 3 ? 120 : 150);
            bool defined = true;
            for (int it = 0; it < 3 && defined; ++it) {
                const double arg = (diurnal ? -1 : 1) * tanEps * sinD(alpha) * tanPhi;
                if (!(arg >= -1 && arg <= 1)) {
                    defined = false;  // circumpolar: the semi-arc does not exist
                    break;
                }
                const double sa = std::acos(arg) * kRadToDeg;
                alpha = diurnal ? R + f * sa : (R + 180) - f * sa;
            }
            if (defined) {
                const double lp = std::atan(tanD(alpha) / std::cos(kEps)) * kRadToDeg;
                // Quadrant of the converged right ascension. (Taking it from the nominal
                // R + 30 (s + 1) instead puts a cusp 180 deg off whenever the semi-arc moves
                // the point across a quadrant boundary, as at 45 S with RAMC 40.)
                const double Q = mod360(alpha);
                if (lp >= 0) value = Q > 90 ? lp + 180 : lp;
                else value = Q >= 180 ? lp + 360 : lp + 180;
                // Within a millionth of a degree past 90, 180, 270 or 360 the single-precision
                // degree factor leaves the tangent on the other side of its pole or zero, and
                // the rule above answers the opposite point (at RAMC 120 house 12 came out at
                // 360 instead of 180): a cusp and its right ascension never differ by more
                // than 3 degrees, so fold such a value back.
                value = mod360(sameHalf(mod360(value), Q));
            } else {
                approx = true;
                // Porphyry: trisect the quadrant MC..ASC (houses 11, 12) or ASC..IC (2, 3).
                const double from = diurnal ? mc : asc;
                const double arc = mod360(diurnal ? asc - mc : (mc + 180) - asc);
                const double part = (s == 0 || s == 3) ? 1.0 / 3 : 2.0 / 3;
                value = mod360(from + part * arc);
            }
        }
        const int c = cuspIndex[s];
        cusp[c] = value;
        cusp[(c + 6) % 12] = mod360(value + 180);
    }
    // Near and beyond the polar circles the semi-arcs that do exist can put cusps out of order
    // (house 3 before house 2), so that houses overlap and a longitude lies in two of them.
    // When the ascendant lies in the half after the midheaven, trisect all four quadrants
    // between the angles instead, which keeps the houses in order.
    double around = 0;
    for (int i = 0; i < 12; ++i) around += mod360(cusp[(i + 1) % 12] - cusp[i]);
    const double mcToAsc = mod360(asc - mc);
    if (std::fabs(around - 360) > 1e-6 && mcToAsc > 0 && mcToAsc < 180) {
        approx = true;
        const double ascToIc = 180 - mcToAsc;
        for (int k = 1; k <= 2; ++k) {
            cusp[9 + k] = mod360(mc + k * mcToAsc / 3);  // houses 11, 12
            cusp[k] = mod360(asc + k * ascToIc / 3);     // houses 2, 3
            cusp[3 + k] = mod360(cusp[9 + k] + 180);     // houses 5, 6
            cusp[6 + k] = mod360(cusp[k] + 180);         // houses 8, 9
        }
    }
    if (approximate != nullptr) *approximate = approx;
    return cusp;
}

void MZhanXingEx::locateIn(const std::array<double, 12>& cusps, double x, uint8_t& house,
                           float& past) {
    for (int i = 0; i < 12; ++i) {
        double b = x - cusps[i];
        if (b < 0) b += 360;
        double w = cusps[(i + 1) % 12] - cusps[i];
        if (w < 0) w += 360;
        if (b < w) {
            house = static_cast<uint8_t>(i);
            past = static_cast<float>(b);
            return;
        }
    }
    house = 0;
    past = 0;
}

int MZhanXingEx::aspectKind(double a, double b, int o) {
    double d = std::fabs(a - b);
    if (d > 180) d = 360 - d;
    if (d >= 0 && d < o) return 0;
    if (d > 60 - o && d < 60 + o) return 1;
    if (d > 90 - o && d < 90 + o) return 2;
    if (d > 120 - o && d < 120 + o) return 3;
    if (d > 180 - o && d <= 180) return 4;
    return -1;
}

double MZhanXingEx::computeMidheaven() const {
    if (precise_) return preciseHouses().mc;
    return midheavenAt(computeRamc(natal_.bodies[0].longitude, request_.longitude, jd8_),
                       request_.latitude);
}

double MZhanXingEx::computeAscendant() const {
    if (precise_) return preciseHouses().asc;
    return ascendantOf(computeRamc(natal_.bodies[0].longitude, request_.longitude, jd8_),
                       request_.latitude);
}

void MZhanXingEx::computeHouses() {
    housesNote_ = HousesNote::None;
    if (precise_) {
        double ramc = 0, obliquity = 0;
        preciseFrame(ramc, obliquity);
        if (otherHouseSystem(ramc, obliquity)) return;
        const precisehouses::Houses h = precisehouses::placidus(ramc, obliquity, request_.latitude);
        natal_.cusps = h.cusps;
        housesNote_ = h.porphyry ? HousesNote::Porphyry : HousesNote::None;
        return;
    }
    if (otherHouseSystem(computeRamc(natal_.bodies[0].longitude, request_.longitude, jd8_),
                         kObliquity))
        return;
    const float r =
        static_cast<float>(computeRamc(natal_.bodies[0].longitude, request_.longitude, jd8_));
    bool approximate = false;
    natal_.cusps =
        housesOf(r, request_.latitude, natal_.mc.longitude, computeAscendant(), &approximate);
    housesNote_ = approximate ? HousesNote::Approximate : HousesNote::None;
}

// Precise mode: RAMC from the sidereal time of the chart's UT, the true obliquity of date.
void MZhanXingEx::preciseFrame(double& ramc, double& obliquity) const {
    const double jd = calculator_.julianDayUT();
    obliquity = precise::frameOfDate(jd).trueObliquity * (180 / 3.14159265358979323846);
    ramc = precise::ramcAt(jd, request_.longitude);
}

precisehouses::Houses MZhanXingEx::preciseHouses() const {
    double ramc = 0, obliquity = 0;
    preciseFrame(ramc, obliquity);
    return precisehouses::placidus(ramc, obliquity, request_.latitude);
}

void MZhanXingEx::locateInHouse(ChartPoint& p) const {
    locateIn(natal_.cusps, p.longitude, p.house, p.pastCusp);
}
