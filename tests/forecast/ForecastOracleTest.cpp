// Transits and the sky's events against the Swiss Ephemeris (test only): a brute-force scan of
// the oracle's longitudes finds every crossing, which the search must find once each, at the
// same minute where the two ephemerides agree that closely (the outer planets' series differ
// from the oracle by an arcsecond or two, which at their slow motion is minutes to an hour).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "astro/Eph0.h"
#include "forecast/Eclipses.h"
#include "forecast/Search.h"
#include "forecast/SkyEvents.h"
#include "forecast/Transits.h"

#ifdef TARMIN_HAVE_SWE
#include <swephexp.h>

namespace {
using namespace forecast;

int oracleFlag() {
    static const bool files = [] {
        std::FILE* f = std::fopen("/usr/share/libswe/ephe/sepl_18.se1", "rb");
        if (f) std::fclose(f);
        return f != nullptr;
    }();
    if (files) swe_set_ephe_path("/usr/share/libswe/ephe");
    return files ? SEFLG_SWIEPH : SEFLG_MOSEPH;
}

int oracleBody(int body) {
    const int ipl[] = {SE_SUN, SE_MOON, SE_MERCURY, SE_VENUS, SE_MARS, SE_JUPITER, SE_SATURN, SE_URANUS,
                       SE_NEPTUNE, SE_PLUTO, SE_MEAN_NODE, SE_CHIRON, SE_CERES, SE_PALLAS, SE_JUNO, SE_VESTA};
    return ipl[body];
}

double oracleLongitude(int body, double jd, double* speed = nullptr) {
    double x[6];
    char err[AS_MAXCH];
    swe_calc_ut(jd, oracleBody(body), oracleFlag() | SEFLG_SPEED, x, err);
    if (speed) *speed = x[3];
    return x[0];
}

// The oracle's longitudes of a body on a grid of `step` days over [t1, t2], read once.
struct Grid {
    int body;
    double t1, step;
    std::vector<double> lon;
};
Grid oracleGrid(int body, double t1, double t2, double step) {
    Grid g{body, t1, step, {}};
    for (double t = t1; t <= t2 + step; t += step) g.lon.push_back(oracleLongitude(body, t));
    return g;
}

// Every instant in the grid's span where the oracle's longitude crosses `target`: sign changes
// of the difference between grid points, bisected to a second.
std::vector<double> oracleCrossings(const Grid& g, double target) {
    std::vector<double> out;
    auto f = [&](double t) { return std::remainder(oracleLongitude(g.body, t) - target, 360.0); };
    for (std::size_t i = 0; i + 1 < g.lon.size(); ++i) {
        const double fa = std::remainder(g.lon[i] - target, 360.0), fb = std::remainder(g.lon[i + 1] - target, 360.0);
        if ((fa < 0) == (fb < 0) || std::fabs(fa - fb) > 90) continue;
        double lo = g.t1 + static_cast<double>(i) * g.step, hi = lo + g.step, flo = fa;
        while (hi - lo > 1e-5) {
            const double m = (lo + hi) / 2, fm = f(m);
            if ((fm < 0) == (flo < 0)) { lo = m; flo = fm; } else hi = m;
        }
        out.push_back((lo + hi) / 2);
    }
    return out;
}
std::vector<double> oracleCrossings(int body, double target, double t1, double t2, double step) {
    return oracleCrossings(oracleGrid(body, t1, t2, step), target);
}

// The time (minutes) within which an instant of `body` must agree with the oracle: one minute,
// or the time the body takes to move through the two ephemerides' difference.
double allowedMinutes(int body, double jd) {
    const double arcsec[] = {0.2, 0.8, 0.3, 0.3, 0.3, 0.3, 0.3, 0.3, 0.3, 0.3, 1.0, 0.2, 0.5, 0.5, 0.5, 0.5};
    double v = 0;
    oracleLongitude(body, jd, &v);
    return std::fmax(1.0, arcsec[body] / 3600 / std::fmax(std::fabs(v), 1e-4) * 1440);
}

TEST(ForecastOracle, TransitsOfAYearMatchABruteForceScanOfTheOracle) {
    // A natal chart whose points lie where 2026 brings retrograde passes, and where Uranus,
    // Neptune and Pluto pass in 2026.
    const std::vector<NatalPoint> natal = {{"太阳", 7.5},  {"火星", 118.0}, {"金星", 300.2}, {"天顶", 231.0},
                                           {"月亮", 61.0}, {"水星", 1.0},   {"木星", 304.0}};
    TransitOptions o;
    o.orbs = AspectOrbs::uniform(5);
    o.moon = true;
    o.orbTimes = false;
    const double t1 = julianDay(2026, 1, 1.0), t2 = julianDay(2027, 1, 1.0);
    Ephemeris eph;
    const auto hits = findTransits(eph, natal, o, t1, t2);
    int compared = 0;
    for (int body : {kSun, kMoon, kMercury, kMars, kJupiter, kSaturn, kUranus, kNeptune, kPluto}) {
        const Grid grid = oracleGrid(body, t1, t2, body == kMoon ? 0.1 : 0.5);
        double worst = 0;
        for (std::size_t p = 0; p < natal.size(); ++p)
            for (int k : {kConjunction, kSquare, kOpposition}) {
                std::vector<double> want;
                for (double sign : {1.0, -1.0}) {
                    if (sign < 0 && (k == kConjunction || k == kOpposition)) continue;
                    const auto w = oracleCrossings(grid, natal[p].longitude + sign * AspectAngles[static_cast<std::size_t>(k)]);
                    want.insert(want.end(), w.begin(), w.end());
                }
                std::vector<double> got;
                for (const auto& h : hits)
                    if (h.body == body && h.kind == k && h.natal == static_cast<int>(p)) got.push_back(h.jd);
                std::sort(want.begin(), want.end());
                ASSERT_EQ(got.size(), want.size()) << bodyInfo(body).name << " " << k << " " << natal[p].name;
                for (std::size_t i = 0; i < got.size(); ++i) {
                    worst = std::max(worst, std::fabs(got[i] - want[i]) * 1440);
                    EXPECT_LT(std::fabs(got[i] - want[i]) * 1440, allowedMinutes(body, want[i]))
                        << bodyInfo(body).name << " " << k << " " << natal[p].name << " at " << want[i];
                    ++compared;
                }
            }
        std::printf("%s: largest difference %.2f min\n", bodyInfo(body).name, worst);
    }
    EXPECT_GT(compared, 150);
}

TEST(ForecastOracle, OrbPeriodsAreTheOraclesTimesWithinOrb) {
    // Each hit's orb period: the oracle puts the body at the orb's edge at both ends (to the
    // minute, or the body's motion through the ephemerides' difference) and within orb on
    // every day between, across the retrograde passes of the slow planets.
    const std::vector<NatalPoint> natal = {{"太阳", 7.5}, {"火星", 118.0}, {"天顶", 231.0}};
    TransitOptions o;
    o.orbs = AspectOrbs::uniform(5);
    o.orbTimes = true;
    Ephemeris eph;
    const auto hits = findTransits(eph, natal, o, julianDay(2026, 1, 1.0), julianDay(2027, 1, 1.0));
    int checked = 0;
    for (const auto& h : hits) {
        if (h.body != kSun && h.body != kMars && h.body != kSaturn && h.body != kJupiter) continue;
        ASSERT_FALSE(std::isnan(h.enters) || std::isnan(h.leaves));
        const double exact = std::fmod(Ephemeris::exactLongitude(h.body, h.jd) + 360.0, 360.0);
        auto off = [&](double t) { return std::fabs(std::remainder(oracleLongitude(h.body, t) - exact, 360.0)); };
        for (double edge : {h.enters, h.leaves}) {
            double v = 0;
            oracleLongitude(h.body, edge, &v);
            EXPECT_LT(std::fabs(off(edge) - 5) / std::fabs(v) * 1440, allowedMinutes(h.body, edge) + 1)
                << bodyInfo(h.body).name << " " << h.kind << " at " << h.jd;
        }
        for (double t = h.enters + 1; t < h.leaves - 1; t += 1) ASSERT_LT(off(t), 5.0) << bodyInfo(h.body).name << " " << t;
        ++checked;
    }
    EXPECT_GT(checked, 40);
}

TEST(ForecastOracle, AHoveringStationGivesEachPassOnce) {
    // Points a hair either side of where Saturn and Mercury turn in 2026: the slow planet crosses
    // the near one twice within days of the station, and never reaches the far one.
    const double t1 = julianDay(2026, 1, 1.0), t2 = julianDay(2027, 1, 1.0);
    Ephemeris eph;
    for (int body : {kMercury, kSaturn}) {
        Searcher s(eph);
        const auto stations = s.stations({body, -1}, t1, t2);
        ASSERT_FALSE(stations.empty());
        for (const Station& st : stations) {
            double v = 0;
            oracleLongitude(body, st.jd, &v);
            const double lon = oracleLongitude(body, st.jd);
            // The station's instant against the oracle's turning point of the motion.
            double lo = st.jd - 1, hi = st.jd + 1;
            double vlo = 0;
            oracleLongitude(body, lo, &vlo);
            while (hi - lo > 1e-5) {
                const double m = (lo + hi) / 2;
                double vm = 0;
                oracleLongitude(body, m, &vm);
                if ((vm < 0) == (vlo < 0)) { lo = m; vlo = vm; } else hi = m;
            }
            EXPECT_LT(std::fabs(st.jd - lo) * 1440, 1.0) << bodyInfo(body).name;  // to the minute
            const double inside = st.turnsRetrograde ? lon - 0.01 : lon + 0.01;
            const double outside = st.turnsRetrograde ? lon + 0.01 : lon - 0.01;
            const auto near = s.crossings({body, -1}, {inside, outside}, st.jd - 30, st.jd + 30);
            int in = 0, out = 0;
            for (const auto& c : near) (c.target == 0 ? in : out)++;
            EXPECT_EQ(in, 2) << bodyInfo(body).name << " at " << st.jd;
            EXPECT_EQ(out, 0) << bodyInfo(body).name << " at " << st.jd;
            const auto want = oracleCrossings(body, inside, st.jd - 30, st.jd + 30, 0.25);
            ASSERT_EQ(want.size(), 2u);
            for (const auto& c : near)
                EXPECT_LT(std::fabs(c.jd - (c.jd < st.jd ? want[0] : want[1])) * 1440, body == kMercury ? 30 : 600);
        }
    }
}

TEST(ForecastOracle, LunationsTermsAndIngressesToTheMinute) {
    const double t1 = julianDay(2025, 1, 1.0), t2 = julianDay(2026, 1, 1.0);
    Ephemeris eph;
    SkyKinds k;
    k.station = k.eclipse = false;  // (the void-of-course Moon is off by default)
    const auto events = findSkyEvents(eph, k, t1, t2);
    std::vector<double> terms, news, fulls, marsIngress;
    for (const auto& e : events) {
        if (e.kind == SkyKind::SolarTerm) terms.push_back(e.jd);
        if (e.kind == SkyKind::NewMoon) news.push_back(e.jd);
        if (e.kind == SkyKind::FullMoon) fulls.push_back(e.jd);
        if (e.kind == SkyKind::Ingress && e.body == kMars) marsIngress.push_back(e.jd);
    }
    ASSERT_EQ(terms.size(), 24u);
    for (double t : terms) {
        const double lon = oracleLongitude(kSun, t);
        EXPECT_LT(std::fabs(std::remainder(lon, 15.0)) / 0.0416 * 60, 60) << t;  // 0.0416 deg/h
    }
    ASSERT_GE(news.size(), 12u);
    ASSERT_GE(fulls.size(), 12u);
    for (double t : news) {
        double vm = 0, vs = 0;
        const double d = std::remainder(oracleLongitude(kMoon, t, &vm) - oracleLongitude(kSun, t, &vs), 360.0);
        EXPECT_LT(std::fabs(d) / (vm - vs) * 1440, 1.0) << t;
    }
    for (double t : fulls) {
        double vm = 0, vs = 0;
        const double d = std::remainder(oracleLongitude(kMoon, t, &vm) - oracleLongitude(kSun, t, &vs) - 180, 360.0);
        EXPECT_LT(std::fabs(d) / (vm - vs) * 1440, 1.0) << t;
    }
    std::vector<double> want;
    for (int s = 0; s < 12; ++s) {
        const auto w = oracleCrossings(kMars, 30.0 * s, t1, t2, 1);
        want.insert(want.end(), w.begin(), w.end());
    }
    std::sort(want.begin(), want.end());
    ASSERT_EQ(marsIngress.size(), want.size());
    // The void-of-course Moon of January: it ends as the Moon enters a sign and starts at its last
    // exact major aspect in the sign before.
    k = SkyKinds{false, false, false, false, false, true};
    const auto voids = findSkyEvents(eph, k, t1, t1 + 31);
    ASSERT_GE(voids.size(), 12u);
    for (const auto& v : voids) {
        double speed = 0;
        const double at = oracleLongitude(kMoon, v.endJd, &speed);
        EXPECT_LT(std::fabs(std::remainder(at, 30.0)) / speed * 1440, 1.0) << v.endJd;
        EXPECT_EQ(static_cast<int>(std::floor(std::fmod(at + 0.5, 360.0) / 30)), v.sign);
        ASSERT_GE(v.lastBody, 0);
        double vb = 0;
        const double d = oracleLongitude(kMoon, v.jd, &speed) - oracleLongitude(v.lastBody, v.jd, &vb);
        const double angle = AspectAngles[static_cast<std::size_t>(v.lastKind)];
        const double miss = std::fmin(std::fabs(std::remainder(d - angle, 360.0)), std::fabs(std::remainder(d + angle, 360.0)));
        EXPECT_LT(miss / (speed - vb) * 1440, 1.0) << v.jd;
    }
    for (std::size_t i = 0; i < want.size(); ++i) EXPECT_LT(std::fabs(marsIngress[i] - want[i]) * 1440, 1.0);
}

// Chiron and the asteroids against the oracle's asteroid files: Chiron's ingress into Taurus
// and its stations of 2026-2027 (in and out of the sign again), Ceres' ingresses, and Vesta's
// transits to a natal point, each at the oracle's instant.
TEST(ForecastOracle, ChironAndTheAsteroidsAtTheOraclesInstants) {
    const double t1 = julianDay(2026, 1, 1.0), t2 = julianDay(2028, 1, 1.0);
    Ephemeris eph;
    SkyKinds k{};
    k.lunation = k.eclipse = k.term = false;
    k.asteroids = {true, true, false, false, false};
    std::vector<double> chiron[2], ceres, stations;
    for (const auto& e : findSkyEvents(eph, k, t1, t2)) {
        if (e.kind == SkyKind::Ingress && e.body == kChiron) chiron[0].push_back(e.jd);
        if (e.kind == SkyKind::Ingress && e.body == kCeres) ceres.push_back(e.jd);
        if (e.kind == SkyKind::Station && e.body == kChiron) stations.push_back(e.jd);
    }
    for (int s = 0; s < 12; ++s)
        for (double t : oracleCrossings(kChiron, 30.0 * s, t1, t2, 4)) chiron[1].push_back(t);
    std::sort(chiron[1].begin(), chiron[1].end());
    ASSERT_EQ(chiron[0].size(), 3u);  // into Taurus, back into Aries, into Taurus
    ASSERT_EQ(chiron[0].size(), chiron[1].size());
    for (std::size_t i = 0; i < chiron[0].size(); ++i)
        EXPECT_LT(std::fabs(chiron[0][i] - chiron[1][i]) * 1440, allowedMinutes(kChiron, chiron[1][i])) << i;
    std::vector<double> want;
    for (int s = 0; s < 12; ++s)
        for (double t : oracleCrossings(kCeres, 30.0 * s, t1, t2, 1)) want.push_back(t);
    std::sort(want.begin(), want.end());
    ASSERT_EQ(ceres.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_LT(std::fabs(ceres[i] - want[i]) * 1440, allowedMinutes(kCeres, want[i])) << i;
    // A station: the oracle's daily motion changes sign within half an hour of it.
    ASSERT_EQ(stations.size(), 4u);
    for (double t : stations) {
        double before = 0, after = 0;
        oracleLongitude(kChiron, t - 1.0 / 48, &before);
        oracleLongitude(kChiron, t + 1.0 / 48, &after);
        EXPECT_LT(before * after, 0) << t;
    }
    TransitOptions o;
    o.orbTimes = false;
    o.asteroids = {false, false, false, false, true};
    const std::vector<NatalPoint> natal = {{"某点", 100.0}};
    std::vector<double> vesta, oracle;
    for (const TransitHit& h : findTransits(eph, natal, o, t1, t2))
        if (h.body == kVesta) vesta.push_back(h.jd);
    const Grid g = oracleGrid(kVesta, t1, t2, 1);
    for (double a : {0.0, 60.0, 90.0, 120.0, 180.0, 240.0, 270.0, 300.0})
        for (double t : oracleCrossings(g, std::fmod(100.0 + a, 360.0))) oracle.push_back(t);
    std::sort(oracle.begin(), oracle.end());
    ASSERT_EQ(vesta.size(), oracle.size());
    ASSERT_GT(vesta.size(), 2u);
    for (std::size_t i = 0; i < vesta.size(); ++i)
        EXPECT_LT(std::fabs(vesta[i] - oracle[i]) * 1440, allowedMinutes(kVesta, oracle[i])) << i;
}

}  // namespace
#endif

namespace {
using namespace forecast;
// Kinds from the published canons (NASA's Five Millennium Canons), greatest eclipse in UT.
TEST(ForecastEclipses, KindsOfKnownEclipses) {
    struct Known {
        int y, m, d;
        double hourUT;
        bool solar;
        EclipseKind kind;
    };
    const Known known[] = {
        {2024, 4, 8, 18.3, true, EclipseKind::Total},       {2023, 10, 14, 18.0, true, EclipseKind::Annular},
        {2023, 4, 20, 4.3, true, EclipseKind::Hybrid},      {2013, 11, 3, 12.8, true, EclipseKind::Hybrid},
        {2021, 12, 4, 7.6, true, EclipseKind::Total},       {2021, 6, 10, 10.7, true, EclipseKind::Annular},
        {2022, 10, 25, 11.0, true, EclipseKind::Partial},   {2025, 3, 29, 10.8, true, EclipseKind::Partial},
        {2025, 3, 14, 6.97, false, EclipseKind::Total},     {2023, 5, 5, 17.4, false, EclipseKind::Penumbral},
        {2023, 10, 28, 20.2, false, EclipseKind::Partial},  {2021, 11, 19, 9.05, false, EclipseKind::Partial},
        {2022, 11, 8, 11.0, false, EclipseKind::Total},     {2020, 1, 10, 19.2, false, EclipseKind::Penumbral},
    };
    for (const Known& k : known) {
        const double jd = julianDay(k.y, k.m, k.d + k.hourUT / 24);
        const Eclipse e = k.solar ? solarEclipseAt(jd) : lunarEclipseAt(jd);
        EXPECT_EQ(e.kind, k.kind) << k.y << "-" << k.m << "-" << k.d << " gamma " << e.gamma << " u " << e.magnitude;
        EXPECT_LT(std::fabs(e.jd - jd) * 24, 0.2) << k.y << "-" << k.m << "-" << k.d;
    }
    // A lunation far from the nodes has none.
    EXPECT_EQ(solarEclipseAt(julianDay(2024, 6, 6.5)).kind, EclipseKind::None);
    EXPECT_EQ(lunarEclipseAt(julianDay(2024, 6, 22.1)).kind, EclipseKind::None);
}
}  // namespace
