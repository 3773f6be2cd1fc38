#include "forecast/SkyEvents.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "forecast/Search.h"

namespace forecast {
namespace {
std::vector<double> multiples(double step) {
    std::vector<double> v;
    for (double x = 0; x < 359.999; x += step) v.push_back(x);
    return v;
}
int signOf(double lon) { return static_cast<int>(std::floor(lon / 30)) % 12; }

// The void-of-course Moon: from its last exact major aspect to a body Sun ... Pluto until it
// enters the next sign (the whole sign when it makes none there).
void voidMoons(Searcher& search, Ephemeris& eph, double t1, double t2, std::vector<SkyEvent>& out) {
    const double a = t1 - 3, b = t2 + 3;
    const auto ingresses = search.crossings({kMoon, -1}, multiples(30), a, b);
    struct Touch {
        double jd;
        int body, kind;
    };
    std::vector<Touch> touches;
    const std::vector<double> angles = {0, 60, 90, 120, 180, 240, 270, 300};
    const int kinds[] = {0, 1, 2, 3, 4, 3, 2, 1};
    for (int body = kSun; body <= kPluto; ++body) {
        if (body == kMoon) continue;
        for (const Crossing& c : search.crossings({kMoon, body}, angles, a, b))
            touches.push_back({c.jd, body, kinds[c.target]});
    }
    std::sort(touches.begin(), touches.end(), [](const Touch& x, const Touch& y) { return x.jd < y.jd; });
    for (std::size_t i = 1; i < ingresses.size(); ++i) {
        const double from = ingresses[i - 1].jd, to = ingresses[i].jd;
        SkyEvent e;
        e.kind = SkyKind::VoidMoon;
        e.jd = from;
        e.endJd = to;
        e.sign = signOf(std::fmod(eph.longitude(kMoon, to) + 1, 360.0));
        for (const Touch& t : touches)
            if (t.jd > from && t.jd < to) {
                e.jd = t.jd;
                e.lastBody = t.body;
                e.lastKind = t.kind;
            }
        if (e.jd >= t1 && e.jd <= t2) out.push_back(e);
    }
}
}  // namespace

std::vector<SkyEvent> findSkyEvents(Ephemeris& eph, const SkyKinds& kinds, double t1, double t2,
                                    const std::function<bool(double)>& progress) {
    std::vector<SkyEvent> out;
    Searcher search(eph);
    double done = 0;
    bool stopped = false;
    search.cancelled = [&] {
        if (!stopped && progress && !progress(done)) stopped = true;
        return stopped;
    };
    const double steps = 6;
    if (kinds.ingress || kinds.station) {
        for (int body = kSun; body < kBodyCount && !stopped; ++body) {
            if (body == kMoon || body == kMeanNode) continue;
            if (body >= kChiron && !kinds.asteroids[static_cast<std::size_t>(body - kChiron)]) continue;
            if (kinds.ingress)
                for (const Crossing& c : search.crossings({body, -1}, multiples(30), t1, t2)) {
                    SkyEvent e;
                    e.jd = c.jd;
                    e.kind = SkyKind::Ingress;
                    e.body = body;
                    e.retrograde = !c.forward;
                    e.sign = c.forward ? c.target : (c.target + 11) % 12;
                    out.push_back(e);
                }
            if (kinds.station && bodyInfo(body).stations)
                for (const Station& s : search.stations({body, -1}, t1, t2)) {
                    SkyEvent e;
                    e.jd = s.jd;
                    e.kind = SkyKind::Station;
                    e.body = body;
                    e.retrograde = s.turnsRetrograde;
                    out.push_back(e);
                }
        }
    }
    done = 2 / steps;
    if ((kinds.lunation || kinds.eclipse) && !stopped) {
        for (const Crossing& c : search.crossings({kMoon, kSun}, {0, 180}, t1, t2)) {
            const bool isNew = c.target == 0;
            if (kinds.lunation) {
                SkyEvent e;
                e.jd = c.jd;
                e.kind = isNew ? SkyKind::NewMoon : SkyKind::FullMoon;
                e.body = kMoon;
                e.longitude = eph.longitude(kMoon, c.jd);
                e.sign = signOf(e.longitude);
                out.push_back(e);
            }
            if (kinds.eclipse) {
                const Eclipse x = isNew ? solarEclipseAt(c.jd) : lunarEclipseAt(c.jd);
                if (x.kind != EclipseKind::None && x.jd >= t1 && x.jd <= t2) {
                    SkyEvent e;
                    e.jd = x.jd;
                    e.kind = isNew ? SkyKind::SolarEclipse : SkyKind::LunarEclipse;
                    e.eclipse = x.kind;
                    out.push_back(e);
                }
            }
        }
    }
    done = 4 / steps;
    if (kinds.term && !stopped)
        for (const Crossing& c : search.crossings({kSun, -1}, multiples(15), t1, t2)) {
            SkyEvent e;
            e.jd = c.jd;
            e.kind = SkyKind::SolarTerm;
            e.term = (c.target + 5) % 24;
            out.push_back(e);
        }
    done = 5 / steps;
    if (kinds.voidMoon && !stopped) voidMoons(search, eph, t1, t2, out);
    std::stable_sort(out.begin(), out.end(), [](const SkyEvent& a, const SkyEvent& b) { return a.jd < b.jd; });
    return out;
}

const char* skyKindName(SkyKind k) {
    static const char* const names[] = {"入座", "留", "新月", "满月", "日食", "月食", "节气", "空亡"};
    return names[static_cast<int>(k)];
}

}  // namespace forecast
