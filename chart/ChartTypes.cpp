#include "chart/ChartTypes.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "astro/Eph0.h"
#include "chart/HouseSystems.h"
#include "chart/PlaceClock.h"
#include "chart/PreciseHouses.h"

namespace charttypes {
namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kRad = kPi / 180;

double norm360(double x) {
    double r = std::fmod(x, 360.0);
    if (r < 0) r += 360;
    return r >= 360 ? 0 : r;
}

// Signed difference a - b brought into [-180, 180).
double signedDiff(double a, double b) {
    double d = std::fmod(a - b + 180.0, 360.0);
    if (d < 0) d += 360;
    return d - 180;
}

ChartPoint pointAt(double longitude) {
    ChartPoint p;
    p.longitude = norm360(longitude);
    int s = static_cast<int>(p.longitude / 30);
    if (s > 11) s = 11;
    p.sign = static_cast<uint8_t>(s);
    p.degreesInSign = static_cast<float>(p.longitude - 30.0 * s);
    return p;
}

void locateAll(NatalPoints& n) {
    MZhanXingEx::locateIn(n.cusps, n.asc.longitude, n.asc.house, n.asc.pastCusp);
    MZhanXingEx::locateIn(n.cusps, n.mc.longitude, n.mc.house, n.mc.pastCusp);
    for (ChartPoint& b : n.bodies) MZhanXingEx::locateIn(n.cusps, b.longitude, b.house, b.pastCusp);
}
}  // namespace

const char* kindName(Kind k) {
    switch (k) {
    case Kind::Natal: return "本命盘";
    case Kind::Synastry: return "合盘";
    case Kind::Composite: return "组合盘";
    case Kind::Davison: return "时空中点盘";
    case Kind::Progressed: return "推运盘";
    case Kind::SolarArc: return "太阳弧盘";
    case Kind::SolarReturn: return "日返照盘";
    case Kind::LunarReturn: return "月返照盘";
    }
    return "";
}

double midpoint(double a, double b) {
    const double d = signedDiff(b, a);  // from a to b, shorter way; exactly opposite gives -180
    if (d == -180) return norm360(a + 90);
    return norm360(a + d / 2);
}

GeoPlace greatCircleMidpoint(const GeoPlace& a, const GeoPlace& b) {
    // Sum of the two unit vectors, normalised.
    auto vec = [](const GeoPlace& p, double v[3]) {
        const double lo = p.longitude * kRad, la = p.latitude * kRad;
        v[0] = std::cos(la) * std::cos(lo);
        v[1] = std::cos(la) * std::sin(lo);
        v[2] = std::sin(la);
    };
    double u[3], w[3];
    vec(a, u);
    vec(b, w);
    double m[3] = {u[0] + w[0], u[1] + w[1], u[2] + w[2]};
    double n = std::sqrt(m[0] * m[0] + m[1] * m[1] + m[2] * m[2]);
    if (n < 1e-12) {
        // Antipodes: the point 90° from the first place along its meridian, toward the equator.
        GeoPlace r;
        r.longitude = a.longitude;
        r.latitude = a.latitude >= 0 ? a.latitude - 90 : a.latitude + 90;
        return r;
    }
    GeoPlace r;
    r.latitude = std::asin(std::fmax(-1.0, std::fmin(1.0, m[2] / n))) / kRad;
    r.longitude = std::atan2(m[1], m[0]) / kRad;
    if (r.longitude <= -180) r.longitude += 360;
    return r;
}

NatalPoints compositeOf(const NatalPoints& a, const NatalPoints& b) {
    NatalPoints c;
    for (std::size_t i = 0; i < 12; ++i) {
        c.bodies[i] = pointAt(midpoint(a.bodies[i].longitude, b.bodies[i].longitude));
        c.bodies[i].latitude = (a.bodies[i].latitude + b.bodies[i].latitude) / 2;
    }
    // Each chart's cusps as a rising sequence from its cusp 10 (houses 10, 11, ... 9), B's
    // taken on the side nearer A's: the average of two rising sequences spanning one turn
    // rises and spans one turn, so the houses stay in order; likewise the ascendant, read
    // forward from each MC, stays east of the mean MC.
    const double baseA = a.cusps[9];
    const double baseB = baseA + signedDiff(b.cusps[9], baseA);
    for (int k = 0; k < 12; ++k) {
        const std::size_t i = static_cast<std::size_t>((9 + k) % 12);
        const double upA = k == 0 ? 0 : norm360(a.cusps[i] - a.cusps[9]);
        const double upB = k == 0 ? 0 : norm360(b.cusps[i] - b.cusps[9]);
        c.cusps[i] = norm360((baseA + upA + baseB + upB) / 2);
    }
    const double mcA = a.mc.longitude;
    const double mcB = mcA + signedDiff(b.mc.longitude, mcA);
    c.mc = pointAt((mcA + mcB) / 2);
    c.asc = pointAt((mcA + norm360(a.asc.longitude - mcA) + mcB + norm360(b.asc.longitude - b.mc.longitude)) / 2);
    locateAll(c);
    return c;
}

void relocate(NatalPoints& p) {
    for (ChartPoint* x : {&p.asc, &p.mc}) {
        ChartPoint y = pointAt(x->longitude);
        *x = y;
    }
    locateAll(p);
}

NatalPoints housesAtRamc(double ramc, double obliquity, double latitude, char houseSystem,
                         bool* fellBack) {
    NatalPoints n;
    HouseSystem system = HouseSystem::Placidus;
    houseSystemFromLetter(houseSystem, system);
    bool back = false;
    if (system == HouseSystem::Placidus) {
        const precisehouses::Houses h = precisehouses::placidus(ramc, obliquity, latitude);
        n.cusps = h.cusps;
        n.asc = pointAt(h.asc);
        n.mc = pointAt(h.mc);
        back = h.porphyry;
    } else {
        const HouseFrame f = houseFrame(ramc, obliquity, latitude);
        n.cusps = houseCusps(system, f, &back);
        n.asc = pointAt(f.asc);
        n.mc = pointAt(f.mc);
    }
    if (fellBack) *fellBack = back;
    locateAll(n);
    return n;
}

double rightAscensionOf(double longitude, double obliquity) {
    return norm360(std::atan2(std::sin(longitude * kRad) * std::cos(obliquity * kRad),
                              std::cos(longitude * kRad)) / kRad);
}

double progressedInstant(double birthJd8, double targetJd8) {
    return birthJd8 + (targetJd8 - birthJd8) / kTropicalYearDays;
}

double solarArc(double natalSun, double progressedSun) { return norm360(progressedSun - natalSun); }

NatalPoints directed(const NatalPoints& natal, double arc) {
    NatalPoints d = natal;
    auto move = [&](ChartPoint& p) {
        ChartPoint q = pointAt(p.longitude + arc);
        q.latitude = p.latitude;
        q.motion = p.motion;
        p = q;
    };
    for (double& c : d.cusps) c = norm360(c + arc);
    move(d.asc);
    move(d.mc);
    for (ChartPoint& b : d.bodies) move(b);
    locateAll(d);
    return d;
}

double findCrossing(const std::function<double(double)>& longitudeAt, double target, double start,
                    double span, double step) {
    double t0 = start;
    double f0 = signedDiff(longitudeAt(t0), target);
    if (f0 == 0) return t0;
    const double end = start + span;
    while (t0 < end) {
        const double t1 = std::fmin(t0 + step, end);
        const double f1 = signedDiff(longitudeAt(t1), target);
        // A forward pass through the target: below it, then at or past it (not the jump of the
        // signed difference at the opposite point).
        if (f0 < 0 && f1 >= 0 && f1 - f0 < 180) {
            double lo = t0, hi = t1;
            while (hi - lo > 1e-7) {  // about 0.009 s
                const double mid = (lo + hi) / 2;
                if (signedDiff(longitudeAt(mid), target) < 0) lo = mid;
                else hi = mid;
            }
            return (lo + hi) / 2;
        }
        t0 = t1;
        f0 = f1;
    }
    return std::numeric_limits<double>::quiet_NaN();
}

std::string secondText(double jd8, int zoneOffsetHours) {
    return wallSecondText(jd8, zoneOffsetHours * 3600);
}

std::vector<AspectPoint> aspectPoints(const NatalPoints& p, const std::array<double, 12>* speeds) {
    std::vector<AspectPoint> v;
    for (int i = 0; i < 12; ++i)
        v.push_back({i, p.bodies[static_cast<std::size_t>(i)].longitude,
                     speeds ? (*speeds)[static_cast<std::size_t>(i)] : 0.0});
    v.push_back({12, p.asc.longitude, 0.0});
    v.push_back({13, p.mc.longitude, 0.0});
    return v;
}

std::vector<std::string> pointNames(const std::string& owner) {
    std::vector<std::string> v;
    for (const char* n : BodyNames) v.push_back(owner + n);
    v.push_back(owner + "上升");
    v.push_back(owner + "天顶");
    // Chiron and the asteroids (ids 14..18, chart/ChartAsteroids.h).
    for (int k = kFirstAsteroid; k < kExtraPoints; ++k) v.push_back(owner + ExtraPointNames[static_cast<std::size_t>(k)]);
    return v;
}

}  // namespace charttypes
