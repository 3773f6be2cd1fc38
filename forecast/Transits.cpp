#include "forecast/Transits.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "chart/Zhanxing.h"
#include "forecast/Search.h"

namespace forecast {
namespace {
// How far beyond the period the orb crossings are looked for first (days); a hit whose orb
// period reaches further is followed alone.
double orbMargin(int body) {
    switch (body) {
    case kMoon: return 3;
    case kSun: return 20;
    case kMercury: return 60;
    case kVenus: return 100;
    case kMars: return 150;
    case kMeanNode: return 250;
    default: return 400;
    }
}
constexpr double kOrbSearchLimit = 60 * 365.25;  // days

struct Target {
    int natal = 0;
    int kind = 0;
    double value = 0;  // longitude of the exact aspect
    double orb = 0;
};
}  // namespace

std::vector<NatalPoint> natalPointsOf(const MZhanXingEx& chart) {
    const NatalPoints& p = chart.natal();
    std::vector<NatalPoint> v;
    for (std::size_t i = 0; i < 11; ++i) v.push_back({BodyNames[i], p.bodies[i].longitude});
    v.push_back({"上升", p.asc.longitude});
    v.push_back({"天顶", p.mc.longitude});
    const std::array<ChartPoint, 5> extra = chart.asteroidPoints();
    for (std::size_t b = 0; b < extra.size(); ++b)
        if (chart.extraShown(kFirstAsteroid + static_cast<int>(b)))
            v.push_back({bodyInfo(kChiron + static_cast<int>(b)).name, extra[b].longitude});
    return v;
}

std::array<bool, 5> shownAsteroids(const MZhanXingEx& chart) {
    std::array<bool, 5> a{};
    for (std::size_t b = 0; b < a.size(); ++b) a[b] = chart.extraShown(kFirstAsteroid + static_cast<int>(b));
    return a;
}

std::vector<int> transitingBodies(const TransitOptions& o) {
    std::vector<int> b{kSun};
    if (o.moon) b.push_back(kMoon);
    for (int i = kMercury; i <= kPluto; ++i) b.push_back(i);
    if (o.node) b.push_back(kMeanNode);
    for (std::size_t k = 0; k < o.asteroids.size(); ++k)
        if (o.asteroids[k]) b.push_back(kChiron + static_cast<int>(k));
    return b;
}

std::vector<TransitHit> findTransits(Ephemeris& eph, const std::vector<NatalPoint>& natal,
                                     const TransitOptions& o, double t1, double t2,
                                     const std::function<bool(double)>& progress) {
    std::vector<Target> targets;
    for (std::size_t p = 0; p < natal.size(); ++p)
        for (int k = 0; k < kAspectKinds; ++k) {
            if (k >= kSemisextile && !o.orbs.minor) continue;
            const double orb = o.orbs.orb[static_cast<std::size_t>(k)];
            if (orb <= 0) continue;
            const double a = AspectAngles[static_cast<std::size_t>(k)];
            const double lon = natal[p].longitude;
            targets.push_back({static_cast<int>(p), k, std::fmod(lon + a, 360.0), orb});
            if (a != 0 && a != 180) targets.push_back({static_cast<int>(p), k, std::fmod(lon - a + 360.0, 360.0), orb});
        }
    std::vector<double> exact, edges;
    for (const Target& t : targets) {
        exact.push_back(t.value);
        edges.push_back(t.value - t.orb);
        edges.push_back(t.value + t.orb);
    }
    const std::vector<int> bodies = transitingBodies(o);
    std::vector<TransitHit> hits;
    bool stopped = false;
    Searcher search(eph);
    double done = 0;
    search.cancelled = [&] {
        if (!stopped && progress && !progress(done)) stopped = true;
        return stopped;
    };
    for (std::size_t bi = 0; bi < bodies.size() && !stopped; ++bi) {
        const int body = bodies[bi];
        const AngleSource src{body, -1};
        const std::vector<Crossing> found = search.crossings(src, exact, t1, t2);
        std::vector<Crossing> orbEdges;
        double from = t1, to = t2;
        if (o.orbTimes && !found.empty()) {
            from = t1 - orbMargin(body);
            to = t2 + orbMargin(body);
            orbEdges = search.crossings(src, edges, from, to);
        }
        for (const Crossing& c : found) {
            const Target& t = targets[static_cast<std::size_t>(c.target)];
            TransitHit h;
            h.jd = c.jd;
            h.body = body;
            h.kind = t.kind;
            h.natal = t.natal;
            h.retrograde = !c.forward;
            h.enters = h.leaves = std::numeric_limits<double>::quiet_NaN();
            if (o.orbTimes) {
                const int e0 = 2 * c.target, e1 = e0 + 1;
                auto mine = [&](const Crossing& e) { return e.target == e0 || e.target == e1; };
                for (const Crossing& e : orbEdges)
                    if (mine(e) && e.jd < c.jd) h.enters = e.jd;
                for (auto it = orbEdges.rbegin(); it != orbEdges.rend(); ++it)
                    if (mine(*it) && it->jd > c.jd) h.leaves = it->jd;
                // Beyond the first margin: this aspect alone, further out a stretch at a time.
                const std::vector<double> two{edges[static_cast<std::size_t>(e0)], edges[static_cast<std::size_t>(e1)]};
                for (double a = from, w = orbMargin(body); std::isnan(h.enters) && c.jd - a < kOrbSearchLimit; a -= w, w *= 2) {
                    const auto more = search.crossings(src, two, a - w, a);
                    if (!more.empty()) h.enters = more.back().jd;
                }
                for (double b = to, w = orbMargin(body); std::isnan(h.leaves) && b - c.jd < kOrbSearchLimit; b += w, w *= 2) {
                    const auto more = search.crossings(src, two, b, b + w);
                    if (!more.empty()) h.leaves = more.front().jd;
                }
            }
            hits.push_back(h);
        }
        done = static_cast<double>(bi + 1) / static_cast<double>(bodies.size());
    }
    std::stable_sort(hits.begin(), hits.end(),
                     [](const TransitHit& a, const TransitHit& b) { return a.jd < b.jd; });
    return hits;
}

}  // namespace forecast
