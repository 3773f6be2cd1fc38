// Chart types: midpoints and Davison from their definitions, progressions and returns against
// the engine's own positions (and Swiss Ephemeris where present), inter-aspects against a
// brute-force list, the captions, and the refusals with their messages.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <tuple>

#include "ChartFixture.h"
#include "astro/Eph0.h"
#include "chart/ChartTypeCast.h"
#include "chart/SynastryReading.h"
#include "platform/core/Gbk.h"
#include "tests/support/CliRunner.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/RecordingRichText.h"
#include "tests/support/TestData.h"

#ifdef TARMIN_HAVE_SWE
#include <swephexp.h>
#endif

using namespace charttypes;
using chartfixture::moment;

namespace {
constexpr double kRad = 3.14159265358979323846 / 180;

struct Rig {
    explicit Rig(const std::string& folder = "/nonexistent/") : engine(rich, canvas, folder) {}
    RecordingCanvas canvas{800, 700};
    RecordingRichText rich;
    MZhanXingEx engine;
};

// A program folder whose settings turn 精确计算 on.
std::string preciseFolder() {
    const std::string folder = testdata::freshTempDir("types-precise");
    std::filesystem::create_directories(folder + "dat");
    std::ofstream(folder + "dat/set.ini") << "[pan]\npos=5\nprecise=1\n";
    return folder;
}

#ifdef TARMIN_HAVE_SWE
// The oracle: Swiss Ephemeris' files where installed, its analytical mode otherwise.
int32_t oracleFlag() {
    static const bool files = [] {
        std::FILE* f = std::fopen("/usr/share/libswe/ephe/sepl_18.se1", "rb");
        if (f) std::fclose(f);
        return f != nullptr;
    }();
    if (!files) return SEFLG_MOSEPH;
    swe_set_ephe_path("/usr/share/libswe/ephe");
    return SEFLG_SWIEPH;
}
double oracleBody(int body, double jdUt, int component) {
    static const int ipl[10] = {SE_SUN, SE_MOON, SE_MERCURY, SE_VENUS, SE_MARS,
                                SE_JUPITER, SE_SATURN, SE_URANUS, SE_NEPTUNE, SE_PLUTO};
    double x[6];
    char err[256];
    swe_calc_ut(jdUt, ipl[body], oracleFlag() | SEFLG_SPEED, x, err);
    return x[component];
}
double oracleLongitude(int body, double jdUt) { return oracleBody(body, jdUt, 0); }
double oracleSpeed(int body, double jdUt) { return oracleBody(body, jdUt, 3); }
double oracleObliquity(double jdUt) {
    double x[6];
    char err[256];
    swe_calc_ut(jdUt, SE_ECL_NUT, oracleFlag(), x, err);
    return x[0];
}
#endif

BirthRecord person(const char* name, int y, int mo, int d, int h, int mi, float lon, float lat) {
    BirthRecord r = chartfixture::request();
    r.name = name;
    r.birth = moment(y, mo, d, h, mi);
    r.longitude = lon;
    r.latitude = lat;
    return r;
}

BirthRecord zhang() { return person("张三", 1990, 5, 1, 8, 30, 116.4f, 39.9f); }
BirthRecord li() { return person("李四", 1992, 11, 20, 21, 10, -73.9f, 40.7f); }

double sep(double a, double b) {
    double d = std::fabs(std::fmod(a - b, 360.0));
    return d > 180 ? 360 - d : d;
}

double angularDistance(const GeoPlace& a, const GeoPlace& b) {
    const double c = std::sin(a.latitude * kRad) * std::sin(b.latitude * kRad) +
                     std::cos(a.latitude * kRad) * std::cos(b.latitude * kRad) *
                         std::cos((a.longitude - b.longitude) * kRad);
    return std::acos(std::fmax(-1.0, std::fmin(1.0, c))) / kRad;
}

// The caption drawn after the last clear of the image.
std::string caption(const RecordingCanvas& c) {
    std::string last;
    for (const auto& op : c.ops()) {
        if (op.kind == RecordingCanvas::Kind::Rectangle) last.clear();
        if (op.kind == RecordingCanvas::Kind::TextOut && op.a == 2 && op.b > 2 && op.b < 40 &&
            last.empty())
            last = op.text;
    }
    return last;
}
}  // namespace

TEST(ChartTypes, MidpointsFromTheirDefinition) {
    EXPECT_DOUBLE_EQ(midpoint(10, 50), 30);
    EXPECT_DOUBLE_EQ(midpoint(350, 10), 0);
    EXPECT_DOUBLE_EQ(midpoint(10, 350), 0);
    EXPECT_DOUBLE_EQ(midpoint(0, 180), 90);
    for (double a = 0; a < 360; a += 7.3)
        for (double b = 0; b < 360; b += 11.9) {
            const double m = midpoint(a, b);
            if (sep(a, b) > 179.999) continue;
            EXPECT_NEAR(sep(m, a), sep(a, b) / 2, 1e-9) << a << " " << b;
            EXPECT_NEAR(sep(m, b), sep(a, b) / 2, 1e-9) << a << " " << b;
            EXPECT_NEAR(m, midpoint(b, a), 1e-9);
        }
}

TEST(ChartTypes, GreatCircleMidpointLiesHalfwayOnTheArc) {
    GeoPlace m = greatCircleMidpoint({0, 0}, {90, 0});
    EXPECT_NEAR(m.longitude, 45, 1e-9);
    EXPECT_NEAR(m.latitude, 0, 1e-9);
    m = greatCircleMidpoint({0, 60}, {180, 60});
    EXPECT_NEAR(m.latitude, 90, 1e-9);
    // Beijing and New York: the midpoint passes near the pole, not over the Pacific.
    const GeoPlace a{116.4, 39.9}, b{-73.9, 40.7};
    m = greatCircleMidpoint(a, b);
    EXPECT_NEAR(angularDistance(a, m), angularDistance(a, b) / 2, 1e-9);
    EXPECT_NEAR(angularDistance(b, m), angularDistance(a, b) / 2, 1e-9);
    EXPECT_GT(m.latitude, 70);
}

TEST(ChartTypes, CompositeAndDavisonFromTheirDefinitions) {
    Rig rig;
    ASSERT_TRUE(rig.engine.castNatal(zhang()));
    const NatalPoints a = rig.engine.natal();
    const double jdA = rig.engine.jd8();
    ASSERT_TRUE(rig.engine.castNatal(li()));
    const NatalPoints b = rig.engine.natal();
    const double jdB = rig.engine.jd8();

    TypeRequest q;
    q.kind = Kind::Composite;
    q.a = zhang();
    q.b = li();
    TypeResult r;
    std::string error;
    ASSERT_TRUE(castChartType(rig.engine, q, r, error)) << error;
    auto compositeHolds = [](const NatalPoints& x, const NatalPoints& y, const NatalPoints& c) {
        // Houses in order, ascendant in the eastern half, MC the nearer midpoint of the MCs,
        // every cusp one of the two midpoints of its pair, every body in the house its
        // longitude gives.
        double around = 0;
        for (std::size_t i = 0; i < 12; ++i) around += std::fmod(c.cusps[(i + 1) % 12] - c.cusps[i] + 720, 360);
        EXPECT_NEAR(around, 360, 1e-6);
        EXPECT_LT(std::fmod(c.asc.longitude - c.mc.longitude + 360, 360), 180);
        EXPECT_NEAR(sep(c.mc.longitude, midpoint(x.mc.longitude, y.mc.longitude)), 0, 1e-9);
        EXPECT_NEAR(sep(c.asc.longitude, c.cusps[0]), 0, 1e-9);
        for (std::size_t i = 0; i < 12; ++i) {
            const double m = midpoint(x.cusps[i], y.cusps[i]);
            EXPECT_LT(std::fmin(sep(c.cusps[i], m), sep(c.cusps[i], m + 180)), 1e-9) << i;
            EXPECT_NEAR(c.bodies[i].longitude, midpoint(x.bodies[i].longitude, y.bodies[i].longitude), 1e-9);
            uint8_t house = 0;
            float past = 0;
            MZhanXingEx::locateIn(c.cusps, c.bodies[i].longitude, house, past);
            EXPECT_EQ(c.bodies[i].house, house);
        }
    };
    compositeHolds(a, b, r.outer);
    // Pairs whose angles lie far apart: the same day in Beijing, morning and evening (the MC
    // 273° before the ASC with independent midpoints), and random pairs.
    std::mt19937 random(26);
    std::vector<std::pair<BirthRecord, BirthRecord>> pairs = {
        {person("甲", 1990, 5, 1, 8, 30, 116.4f, 39.9f), person("乙", 1990, 5, 1, 21, 0, 116.4f, 39.9f)}};
    for (int k = 0; k < 24; ++k) {
        auto any = [&](const char* name) {
            return person(name, static_cast<int>(1900 + random() % 200), static_cast<int>(1 + random() % 12),
                          static_cast<int>(1 + random() % 28), static_cast<int>(random() % 24),
                          static_cast<int>(random() % 60), static_cast<float>(random() % 340) - 170.0f,
                          static_cast<float>(random() % 120) - 60.0f);
        };
        pairs.emplace_back(any("甲"), any("乙"));
    }
    for (const auto& [pa, pb] : pairs) {
        q.a = pa;
        q.b = pb;
        ASSERT_TRUE(rig.engine.castNatal(pa));
        const NatalPoints na = rig.engine.natal();
        ASSERT_TRUE(rig.engine.castNatal(pb));
        const NatalPoints nb = rig.engine.natal();
        ASSERT_TRUE(castChartType(rig.engine, q, r, error)) << error;
        compositeHolds(na, nb, r.outer);
    }
    q.a = zhang();
    q.b = li();
    // The other choice: the houses of the composite MC at the mean latitude.
    q.compositeHousesFromMc = true;
    ASSERT_TRUE(castChartType(rig.engine, q, r, error)) << error;
    EXPECT_NEAR(sep(r.outer.mc.longitude, midpoint(a.mc.longitude, b.mc.longitude)), 0, 1e-9);
    EXPECT_NEAR(sep(r.outer.cusps[9], r.outer.mc.longitude), 0, 1e-9);
    EXPECT_NEAR(sep(r.outer.cusps[0], r.outer.asc.longitude), 0, 1e-9);
#ifdef TARMIN_HAVE_SWE
    {
        double cusps[13], ascmc[10];
        const double m = r.outer.mc.longitude * kRad, e = 23.44 * kRad;
        const double armc = std::fmod(std::atan2(std::sin(m) * std::cos(e), std::cos(m)) / kRad + 360, 360);
        swe_houses_armc(armc, (39.9 + 40.7) / 2, 23.44, 'P', cusps, ascmc);
        for (std::size_t i = 0; i < 12; ++i) EXPECT_LT(sep(r.outer.cusps[i], cusps[i + 1]) * 3600, 1.0) << i;
    }
#endif
    q.compositeHousesFromMc = false;
    ASSERT_TRUE(castChartType(rig.engine, q, r, error)) << error;
    EXPECT_EQ(rig.engine.natal().bodies[0].longitude, r.outer.bodies[0].longitude);
    EXPECT_EQ(caption(rig.canvas), "组合盘");
    EXPECT_NE(rig.canvas.findText("组合:"), nullptr);  // what it is made of, not B's moment

    q.kind = Kind::Davison;
    ASSERT_TRUE(castChartType(rig.engine, q, r, error)) << error;
    EXPECT_NEAR(r.instantJd8, (jdA + jdB) / 2, 1e-9);
    // Cast to the minute of the midpoint instant.
    EXPECT_LE(std::fabs(rig.engine.jd8() - r.instantJd8) * 1440, 0.51);
    const GeoPlace m = greatCircleMidpoint({116.4, 39.9}, {-73.9, 40.7});
    EXPECT_NEAR(rig.engine.request().longitude, m.longitude, 1e-4);
    EXPECT_NEAR(rig.engine.request().latitude, m.latitude, 1e-4);
    EXPECT_EQ(caption(rig.canvas), "时空中点盘");
}

TEST(ChartTypes, InterAspectsMatchABruteForceList) {
    Rig rig;
    TypeRequest q;
    q.kind = Kind::Synastry;
    q.a = zhang();
    q.b = li();
    TypeResult r;
    std::string error;
    ASSERT_TRUE(castChartType(rig.engine, q, r, error)) << error;
    ASSERT_TRUE(rig.engine.castNatal(li()));
    const NatalPoints b = rig.engine.natal();
    ASSERT_TRUE(rig.engine.castNatal(zhang()));
    const NatalPoints a = rig.engine.natal();
    auto lon = [](const NatalPoints& p, int id) {
        return id < 12 ? p.bodies[static_cast<std::size_t>(id)].longitude
                       : id == 12 ? p.asc.longitude : p.mc.longitude;
    };
    const double orb = rig.engine.orb();
    std::set<std::tuple<int, int, int>> expected, got;
    for (int i = 0; i < 14; ++i)
        for (int j = 0; j < 14; ++j) {
            const double d = sep(lon(b, i), lon(a, j));
            int kind = -1;
            if (d < orb) kind = 0;
            else if (d > 180 - orb) kind = 4;
            else if (std::fabs(d - 60) < orb) kind = 1;
            else if (std::fabs(d - 90) < orb) kind = 2;
            else if (std::fabs(d - 120) < orb) kind = 3;
            if (kind >= 0) expected.insert({i, j, kind});
        }
    for (const Aspect& x : r.aspects) {
        got.insert({x.a, x.b, x.kind});
        EXPECT_NEAR(x.orb, std::fabs(sep(lon(b, x.a), lon(a, x.b)) - AspectAngles[static_cast<std::size_t>(x.kind)]), 1e-9);
    }
    EXPECT_EQ(got, expected);
    EXPECT_GT(expected.size(), 10u);
    EXPECT_EQ(r.aspectText.size(), r.aspects.size());
    EXPECT_NE(r.readingText.find("座与其他星座关系】"), std::string::npos);

    // Chiron shown: B's Chiron joins the inner points and A's the outer, aspects both ways.
    const std::string folder = testdata::freshTempDir("types-chiron");
    std::filesystem::create_directories(folder + "dat");
    std::ofstream(folder + "dat/set.ini") << "[pan]\npos=5\nchiron=1\nminororb=6\n";
    Rig shown(folder);
    ASSERT_TRUE(shown.engine.castNatal(li()));
    const double chironB = shown.engine.asteroidPoints()[0].longitude;
    ASSERT_TRUE(shown.engine.castNatal(zhang()));
    const double chironA = shown.engine.asteroidPoints()[0].longitude;
    ASSERT_TRUE(castChartType(shown.engine, q, r, error)) << error;
    int chironAspects = 0;
    for (const Aspect& x : r.aspects) {
        if (x.a != 14 && x.b != 14) continue;
        ++chironAspects;
        const double from = x.a == 14 ? chironB : lon(b, x.a), to = x.b == 14 ? chironA : lon(a, x.b);
        EXPECT_NEAR(x.orb, std::fabs(sep(from, to) - AspectAngles[static_cast<std::size_t>(x.kind)]), 1e-6);
        EXPECT_FALSE(x.moving);
    }
    EXPECT_GT(chironAspects, 0);
    EXPECT_NE(std::string(r.aspectText.back()).find("凯龙星"), std::string::npos);
}

#ifdef TARMIN_HAVE_SWE
// Progressions and solar arc in the precise mode against the oracle: the day for a year of life,
// the bodies at the progressed instant, the MC moved by the solar arc with the ascendant and
// cusps of that MC at the birth latitude, and 入相/出相 from the oracle's motions.
TEST(ChartTypes, ProgressionsAndSolarArcAgainstTheOracle) {
    Rig rig(preciseFolder());
    TypeRequest q;
    q.kind = Kind::Progressed;
    q.a = zhang();
    q.to = moment(2026, 5, 1, 8, 30);  // the 36th birthday
    TypeResult r;
    std::string error;
    ASSERT_TRUE(castChartType(rig.engine, q, r, error)) << error;
    const double birth = rig.engine.jd8();
    const NatalPoints natal = rig.engine.natal();
    // 36 calendar years hold 36 tropical years within a few minutes.
    EXPECT_NEAR(r.instantJd8 - birth, 36.0, 0.003);
    EXPECT_EQ(caption(rig.canvas), "推运盘");
    const double jdUt = r.instantJd8 - 1.0 / 3;
    const double eps = oracleObliquity(birth - 1.0 / 3);
    double worst = 0;
    for (int i = 0; i < 10; ++i) {
        const double d = sep(oracleLongitude(i, jdUt), r.inner[static_cast<std::size_t>(i)].longitude) * 3600;
        worst = std::max(worst, d);
        EXPECT_LT(d, 2) << BodyNames[static_cast<std::size_t>(i)];
    }
    const double arc = oracleLongitude(0, jdUt) - oracleLongitude(0, birth - 1.0 / 3);
    ASSERT_TRUE(r.hasInnerAngles);
    EXPECT_LT(sep(r.innerMc.longitude, natal.mc.longitude + arc) * 3600, 2);
    double cusps[13], ascmc[10];
    const double armc = std::atan2(std::sin(r.innerMc.longitude * kRad) * std::cos(eps * kRad),
                                   std::cos(r.innerMc.longitude * kRad)) / kRad;
    swe_houses_armc(std::fmod(armc + 360, 360), 39.9, eps, 'P', cusps, ascmc);
    EXPECT_LT(sep(r.innerAsc.longitude, ascmc[0]) * 3600, 1);
    EXPECT_LT(sep(r.innerMc.longitude, ascmc[1]) * 3600, 1);
    std::printf("progressed bodies within %.2f\" of the oracle; MC = natal MC + arc %.4f°\n", worst, arc);
    for (const Aspect& x : r.aspects) {
        EXPECT_TRUE(x.moving);
        if (x.a >= 10 || x.b >= 10) continue;
        // Natal point fixed, the progressed one at its motion then.
        const double lon = oracleLongitude(x.a, jdUt), speed = oracleSpeed(x.a, jdUt);
        const double angle = AspectAngles[static_cast<std::size_t>(x.kind)];
        const double target = natal.bodies[static_cast<std::size_t>(x.b)].longitude;
        EXPECT_EQ(x.applying, std::fabs(sep(lon + speed * 1e-3, target) - angle) < std::fabs(sep(lon, target) - angle))
            << x.a << " " << x.b;
    }

    q.kind = Kind::SolarArc;
    ASSERT_TRUE(castChartType(rig.engine, q, r, error)) << error;
    for (std::size_t i = 0; i < 12; ++i)
        EXPECT_LT(sep(r.inner[i].longitude, natal.bodies[i].longitude + arc) * 3600, 2) << i;
    EXPECT_LT(sep(r.innerAsc.longitude, natal.asc.longitude + arc) * 3600, 2);
    EXPECT_EQ(caption(rig.canvas), "太阳弧盘");
    swe_close();
}

// Davison and returns, charts of real instants: both points move at their motions then, and
// the two nodes' opposition is no aspect; synastry and composite say neither word.
TEST(ChartTypes, ApplyingAndSeparatingFromTheMotions) {
    Rig rig(preciseFolder());
    TypeRequest q;
    q.a = zhang();
    q.b = li();
    q.year = 2030;
    TypeResult r;
    std::string error;
    for (const Kind kind : {Kind::Davison, Kind::SolarReturn}) {
        q.kind = kind;
        ASSERT_TRUE(castChartType(rig.engine, q, r, error)) << error;
        const double jdUt = r.instantJd8 - 1.0 / 3;
        int checked = 0;
        for (const Aspect& x : r.aspects) {
            EXPECT_FALSE((x.a == 10 && x.b == 11) || (x.a == 11 && x.b == 10));
            if (x.a >= 10 || x.b >= 10) continue;
            const double la = oracleLongitude(x.a, jdUt), lb = oracleLongitude(x.b, jdUt);
            const double sa = oracleSpeed(x.a, jdUt), sb = oracleSpeed(x.b, jdUt);
            const double angle = AspectAngles[static_cast<std::size_t>(x.kind)];
            EXPECT_EQ(x.applying, std::fabs(sep(la + sa * 1e-3, lb + sb * 1e-3) - angle) < std::fabs(sep(la, lb) - angle))
                << kindName(kind) << " " << x.a << " " << x.b;
            ++checked;
        }
        EXPECT_GT(checked, 3);
    }
    for (const Kind kind : {Kind::Synastry, Kind::Composite}) {
        q.kind = kind;
        ASSERT_TRUE(castChartType(rig.engine, q, r, error)) << error;
        for (const Aspect& x : r.aspects) EXPECT_FALSE(x.moving);
        for (const std::string& l : r.aspectText) {
            EXPECT_EQ(l.find("入相"), std::string::npos) << l;
            EXPECT_EQ(l.find("出相"), std::string::npos) << l;
        }
    }
    swe_close();
}
#endif

TEST(ChartTypes, ReturnInstantsToTheSecond) {
    Rig rig;
    TypeRequest q;
    q.a = zhang();
    TypeResult r;
    std::string error;
    ASSERT_TRUE(rig.engine.castNatal(q.a));
    const double sun = rig.engine.natal().bodies[0].longitude;
    const double moon = rig.engine.natal().bodies[1].longitude;
    struct Case { Kind kind; int year, month; double target; int body; } cases[] = {
        {Kind::SolarReturn, 2030, 1, sun, 0}, {Kind::SolarReturn, 1991, 1, sun, 0},
        {Kind::SolarReturn, 2199, 1, sun, 0}, {Kind::LunarReturn, 2030, 2, moon, 1},
        {Kind::LunarReturn, 1990, 12, moon, 1}};
    for (const Case& c : cases) {
        q.kind = c.kind;
        q.year = c.year;
        q.month = c.month;
        ASSERT_TRUE(castChartType(rig.engine, q, r, error)) << error;
        // A brute-force scan over the whole search window (ten-minute steps for the Sun, hours
        // for the Moon), then the sign of the difference one second either side of the instant.
        auto f = [&](double t) {
            return std::fmod(rig.engine.bodyLongitudeAt(c.body, t) - c.target + 540, 360) - 180;
        };
        const double t = r.instantJd8;
        EXPECT_LT(f(t - 1.0 / 86400), 0) << c.year;
        EXPECT_GT(f(t + 1.0 / 86400), 0) << c.year;
        const double h = c.body == 0 ? 1.0 / 144 : 1.0 / 24;
        const double start = c.body == 0 ? t - 3.0037 : julianDay(c.year, c.month, 1);
        int crossings = 0;
        double at = 0;
        for (double x = start; x < t + h; x += h)
            if (f(x) < 0 && f(x + h) >= 0 && f(x + h) - f(x) < 10) {
                ++crossings;
                at = x;
            }
        EXPECT_EQ(crossings, 1) << "the first crossing after the start, year " << c.year;
        EXPECT_TRUE(at <= t && t <= at + h) << c.year;
        EXPECT_EQ(r.instantText, secondText(t, 8));
        EXPECT_EQ(caption(rig.canvas), c.body == 0 ? "日返照盘" : "月返照盘");
        if (c.body == 1) {
            EXPECT_EQ(r.instantText.substr(0, 7), (c.year == 2030 ? "2030-02" : "1990-12"));
        }
    }
}

TEST(ChartTypes, SecondTextRoundsAndCarries) {
    const double jd = julianDay(2030, 4, 30 + (23 + 59 / 60.0 + 59.6 / 3600) / 24);
    EXPECT_EQ(secondText(jd, 8), "2030-05-01 00:00:00");
    EXPECT_EQ(secondText(jd, 0), "2030-04-30 16:00:00");
    EXPECT_EQ(secondText(julianDay(1600, 1, 1 + 12.5 / 86400), 8), "1600-01-01 00:00:13");
}

TEST(ChartTypes, RefusalsLeaveThePlainNatalChart) {
    Rig rig;
    TypeRequest q;
    TypeResult r;
    std::string error;
    q.kind = Kind::Synastry;
    q.a = q.b = zhang();
    EXPECT_FALSE(castChartType(rig.engine, q, r, error));
    EXPECT_EQ(error, "两个盘是同一个人，请选择另一个人。");
    q.b = li();
    q.b.birth.year = 1500;
    EXPECT_FALSE(castChartType(rig.engine, q, r, error));
    EXPECT_EQ(error, "第二个人：时间越界，年份在1600-2200之间");
    EXPECT_EQ(rig.engine.request().name, "张三");
    EXPECT_EQ(caption(rig.canvas), "本命盘");
    q.kind = Kind::Progressed;
    q.to = moment(1990, 4, 30, 0, 0);
    EXPECT_FALSE(castChartType(rig.engine, q, r, error));
    EXPECT_EQ(error, "推运日期应在出生时间之后。");
    q.to = moment(2020, 2, 30, 0, 0);
    EXPECT_FALSE(castChartType(rig.engine, q, r, error));
    EXPECT_EQ(error, "不存在这个推运日期");
    q.kind = Kind::SolarReturn;
    for (const int y : {1599, 2201}) {
        q.year = y;
        EXPECT_FALSE(castChartType(rig.engine, q, r, error));
        EXPECT_EQ(error, "返照年份应在1600-2200之间。");
    }
    q.year = 1989;
    EXPECT_FALSE(castChartType(rig.engine, q, r, error));
    EXPECT_EQ(error, "返照年份应在出生年份之后。");
    q.kind = Kind::LunarReturn;
    q.year = 2030;
    q.month = 13;
    EXPECT_FALSE(castChartType(rig.engine, q, r, error));
    EXPECT_EQ(error, "返照月份应在1-12之间。");
    // A natal cast after any chart type shows the plain natal chart again.
    q.kind = Kind::SolarReturn;
    ASSERT_TRUE(castChartType(rig.engine, q, r, error)) << error;
    ASSERT_TRUE(rig.engine.castNatal(zhang()));
    EXPECT_EQ(caption(rig.canvas), "本命盘");
    EXPECT_TRUE(rig.engine.captionLines().empty());
}

TEST(ChartTypes, SynastryTextsCoverTheFourBodiesAndFiveAspects) {
    std::set<std::string> seen, openings;
    for (const int i : {0, 1, 3, 4})
        for (const int j : {0, 1, 3, 4})
            for (int k = 0; k < 5; ++k) {
                const std::string t = synastryText(i, j, k);
                EXPECT_EQ(t, synastryText(j, i, k));
                EXPECT_GE(t.size(), 60u) << i << j << k;
                if (i <= j) {
                    EXPECT_TRUE(seen.insert(t).second) << "repeated text " << i << j << k;
                    // The program keeps its texts in GBK; and no two texts open alike (the
                    // first five characters, three UTF-8 bytes each).
                    EXPECT_TRUE(gbk::encodable(t)) << i << j << k;
                    EXPECT_TRUE(openings.insert(t.substr(0, 15)).second) << "opening of " << i << j << k;
                }
            }
    EXPECT_EQ(seen.size(), 50u);
    EXPECT_STREQ(synastryText(2, 0, 0), "");
}

// A's Sun trine B's Moon and A's Moon trine B's Sun: one text, said to hold both ways. With
// different aspects each contact keeps its own heading and text.
TEST(ChartTypes, SynastryPrintsAMirroredContactOnce) {
    NatalPoints a, b;
    const double lonA[4] = {10, 100, 55, 56}, lonB[4] = {220, 130, 265, 266};
    const int bodies[4] = {0, 1, 3, 4};
    for (int n = 0; n < 4; ++n) {
        a.bodies[static_cast<std::size_t>(bodies[n])].longitude = lonA[n];
        b.bodies[static_cast<std::size_t>(bodies[n])].longitude = lonB[n];
    }
    auto count = [](const std::string& text, const std::string& part) {
        int n = 0;
        for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
        return n;
    };
    const AspectOrbs orbs = AspectOrbs::uniform(5);
    std::string r = synastryReading(a, b, "甲", "乙", orbs);
    EXPECT_EQ(count(r, synastryText(0, 1, 3)), 1) << r;
    EXPECT_EQ(count(r, "【甲的太阳三分乙的月亮，乙的太阳也三分甲的月亮】"), 1) << r;
    EXPECT_EQ(count(r, "【"), 2) << r;  // the Sun sign's text and the one contact

    b.bodies[0].longitude = 190;  // now A's Moon squares B's Sun, and the Suns are opposed
    r = synastryReading(a, b, "甲", "乙", orbs);
    EXPECT_EQ(count(r, "【甲的太阳三分乙的月亮】" + std::string(synastryText(0, 1, 3))), 1) << r;
    EXPECT_EQ(count(r, "【甲的月亮四分乙的太阳】" + std::string(synastryText(0, 1, 2))), 1) << r;
    EXPECT_EQ(count(r, "【甲的太阳相冲乙的太阳】"), 1) << r;
    EXPECT_EQ(count(r, "，乙的"), 0) << r;
}

TEST(ChartTypesCli, OutputAndMessages) {
    REQUIRE_CLI();
    using testcli::run;
    const std::string a = "--name 张三 --date \"1990-05-01 08:30\" --lon 116:24 --lat 39:54";
    const std::string b = " --b-name 李四 --b-date \"1992-11-20 21:10\" --b-lon 121:28 --b-lat 31:14";
    testcli::Result r = run("return " + a + " --body sun --year 2030");
    ASSERT_EQ(r.status, 0) << r.err;
    auto v = testcli::lines(r.out);
    ASSERT_GE(v.size(), 3u);
    EXPECT_EQ(v[0], "type\t日返照盘");
    EXPECT_EQ(v[1].substr(0, 8), "instant\t");
    EXPECT_EQ(v[1].substr(8 + 19), "\tUTC+08:00");
    r = run("synastry " + a + b);
    ASSERT_EQ(r.status, 0) << r.err;
    int inner = 0, aspects = 0;
    for (const auto& l : testcli::lines(r.out)) {
        if (l.rfind("inner ", 0) == 0) ++inner;
        if (l.rfind("aspect\t", 0) == 0) {
            ++aspects;
            EXPECT_EQ(testcli::fields(l).size(), 5u) << l;  // two births: neither 入相 nor 出相
        }
    }
    EXPECT_EQ(inner, 12);
    EXPECT_GT(aspects, 5);
    // A narrower orb for this run only keeps fewer aspects.
    r = run("synastry " + a + b + " --orb 1");
    ASSERT_EQ(r.status, 0) << r.err;
    int narrow = 0;
    for (const auto& l : testcli::lines(r.out)) narrow += l.rfind("aspect\t", 0) == 0 ? 1 : 0;
    EXPECT_LT(narrow, aspects);

    r = run("synastry " + a + " --b-name 张三 --b-date \"1990-05-01 08:30\" --b-lon 116:24 --b-lat 39:54");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "两个盘是同一个人，请选择另一个人。\n");
    // The progressed MC by the method asked for: the quotidian one circles the zodiac in a
    // year (half a turn away half a year after the birthday), the solar arc and Naibod (in
    // right ascension) stay within a few degrees of each other.
    auto innerMc = [&](const std::string& method) {
        const testcli::Result x = run("progressed " + a + " --to 2026-11-01 --angles " + method);
        for (const auto& l : testcli::lines(x.out))
            if (l.rfind("inner MC\t", 0) == 0) return std::stod(testcli::fields(l)[1]);
        ADD_FAILURE() << method << x.err;
        return 0.0;
    };
    const double arc = innerMc("solar-arc"), naibod = innerMc("naibod"), quotidian = innerMc("quotidian");
    EXPECT_LT(sep(arc, naibod), 5.0);
    EXPECT_GT(sep(arc, naibod), 0.01);
    EXPECT_GT(sep(arc, quotidian), 5.0);
    EXPECT_EQ(run("progressed " + a + " --to 2026-05-01 --angles primary").status, 2);
    r = run("progressed " + a + " --to 1989-01-01");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "推运日期应在出生时间之后。\n");
    r = run("return " + a + " --body moon --year 1599 --month 3");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "返照年份应在1600-2200之间。\n");
    r = run("davison " + a + " --b-name 王五 --b-date \"2300-01-01 00:00\"");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "第二个人：时间越界，年份在1600-2200之间\n");
    EXPECT_EQ(run("return " + a + " --body mars --year 2030").status, 2);
    EXPECT_EQ(run("progressed " + a).status, 2);
    EXPECT_EQ(run("composite " + a).status, 2);
}

// The extra points of the two-person charts: a composite's true node and Lilith are the
// midpoints of the two people's (each from its own natal chart), its Part of Fortune that of
// its own ascendant, Sun and Moon (worked by hand: a day chart, ASC + Moon - Sun); a
// synastry's inner Chiron and asteroids are the second person's natal ones.
TEST(ChartTypesCli, ExtraPointsOfCompositeAndSynastry) {
    REQUIRE_CLI();
    using testcli::run;
    const std::string a = "--name 甲 --date \"1990-05-01 08:30\" --lon 116:24 --lat 39:54";
    const std::string b = " --b-name 乙 --b-date \"1985-03-01 21:00\" --b-lon 116:24 --b-lat 39:54";
    const std::string bAlone = "--name 乙 --date \"1985-03-01 21:00\" --lon 116:24 --lat 39:54";
    // The `point` lines of an output: id -> longitude.
    auto points = [](const std::string& out) {
        std::map<std::string, double> v;
        for (const auto& l : testcli::lines(out)) {
            const auto f = testcli::fields(l);
            if (f.size() > 3 && f[0] == "point") v[f[1]] = std::stod(f[3]);
        }
        return v;
    };
    const std::string extras = " --true-node --lilith --fortune";
    const auto natalA = points(run("chart " + a + extras).out);
    const auto natalB = points(run("chart " + bAlone + extras).out);
    const testcli::Result comp = run("composite " + a + b + extras);
    ASSERT_EQ(comp.status, 0) << comp.err;
    const auto shown = points(comp.out);
    ASSERT_EQ(shown.size(), 3u) << comp.out;
    for (const char* id : {"12", "13"}) {
        const double x = natalA.at(id), y = natalB.at(id);
        double mid = x + std::remainder(y - x, 360.0) / 2;
        mid = std::fmod(mid + 360, 360);
        EXPECT_NEAR(shown.at(id), mid, 2e-6) << id;
    }
    double asc = 0, sun = 0, moon = 0;
    for (const auto& l : testcli::lines(comp.out)) {
        const auto f = testcli::fields(l);
        if (f[0] == "ASC") asc = std::stod(f[1]);
        if (f[0] == "0") sun = std::stod(f[2]);
        if (f[0] == "1") moon = std::stod(f[2]);
    }
    ASSERT_GE(std::fmod(sun - asc + 360, 360), 180);  // the Sun above the horizon
    EXPECT_NEAR(shown.at("14"), std::fmod(asc + moon - sun + 720, 360), 2e-6);

    const auto ownB = points(run("chart " + bAlone + " --asteroids").out);
    const testcli::Result syn = run("synastry " + a + b + " --asteroids");
    ASSERT_EQ(syn.status, 0) << syn.err;
    std::map<std::string, double> inner;
    for (const auto& l : testcli::lines(syn.out)) {
        const auto f = testcli::fields(l);  // "inner 15", name, longitude, ...
        if (f.size() > 2 && f[0].rfind("inner ", 0) == 0 && std::isdigit(static_cast<unsigned char>(f[0][6])) &&
            std::stoi(f[0].substr(6)) >= 15)
            inner[f[0].substr(6)] = std::stod(f[2]);
    }
    ASSERT_EQ(inner.size(), 5u) << syn.out;
    for (const auto& [id, lon] : inner) EXPECT_NEAR(lon, ownB.at(id), 2e-6) << id;
}

#ifdef TARMIN_HAVE_SWE
// Every instant on the exact clock of its place: births in summer time, at +5:30 and at local
// mean time; a return at another place. The printed instant and offset put the body back on
// its natal longitude (oracle), to 2" in the precise mode.
TEST(ChartTypesCli, InstantsOnTheClockOfTheirPlace) {
    REQUIRE_CLI();
    using testcli::run;
    struct Case {
        const char* person;
        double birthUt;  // the birth as UT Julian day, by hand from the clock of the place
        const char* instantOffset;  // the place's clock at the returns of 2020
    } cases[] = {
        // Beijing in China's summer time: 10:00 was 01:00 UT.
        {"--date \"1988-07-01 10:00\" --lon 116:24 --lat 39:54 --tz Asia/Shanghai", julianDay(1988, 7, 1 + 1.0 / 24), "UTC+08:00"},
        // Kolkata: 12:00 at +5:30 was 06:30 UT.
        {"--date \"1990-06-15 12:00\" --lon 88:22 --lat 22:34 --tz Asia/Kolkata", julianDay(1990, 6, 15 + 6.5 / 24), "UTC+05:30"},
        // Lhasa 1880, before standard time: mean time of 91.1° E, 6:04:24 ahead of UT.
        {"--date \"1880-03-01 12:00\" --lon 91:06 --lat 29:39 --tz Asia/Shanghai",
         julianDay(1880, 3, 1 + (12 - (6 + 4 / 60.0 + 24 / 3600.0)) / 24), "UTC+08:00"},
    };
    for (const Case& c : cases) {
        const std::string who = std::string("--name 某 --precise ") + c.person;
        for (const char* body : {"sun", "moon"}) {
            if (std::string(body) == "moon" && c.birthUt > 2415020.0) continue;  // the Moon: at local mean time
            const testcli::Result r = run("return " + who + " --body " + body + " --year 2020 --month 3");
            ASSERT_EQ(r.status, 0) << r.err;
            std::string instant, offset;
            for (const auto& l : testcli::lines(r.out))
                if (l.rfind("instant\t", 0) == 0) {
                    instant = testcli::fields(l)[1];
                    offset = testcli::fields(l)[2];
                }
            ASSERT_EQ(instant.size(), 19u) << r.out;
            int y, mo, d, h, mi, se, oh = 0, om = 0;
            ASSERT_EQ(std::sscanf(instant.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &se), 6);
            ASSERT_GE(std::sscanf(offset.c_str(), "UTC%d:%d", &oh, &om), 1) << offset;
            const double shift = (std::abs(oh) + om / 60.0) / 24 * (offset[3] == '-' ? -1 : 1);
            const double ut = julianDay(y, mo, d + (h + mi / 60.0 + se / 3600.0) / 24) - shift;
            const int b = std::string(body) == "sun" ? 0 : 1;
            const double moved = sep(oracleLongitude(b, ut), oracleLongitude(b, c.birthUt)) * 3600;
            EXPECT_LT(moved, 2.0) << c.person << " " << body << " " << instant;
            EXPECT_EQ(offset, c.instantOffset) << c.person;
            std::printf("%s %s return %s %s: %.2f\" from the natal longitude\n", c.person, body,
                        instant.c_str(), offset.c_str(), moved);
        }
    }
    // Davison of a Beijing birth in summer time (23:30 UT the day before) and a London one
    // (21:10 UT): the instant halfway in UT, printed on the clock in force at the midpoint
    // (western Siberia), not on Beijing's.
    testcli::Result d = run("davison --name 甲 --date \"1990-05-01 08:30\" --lon 116:24 --lat 39:54 --tz Asia/Shanghai "
                            "--b-name 乙 --b-date \"1992-11-20 21:10\" --b-lon -0:07 --b-lat 51:30 --b-tz Europe/London");
    ASSERT_EQ(d.status, 0) << d.err;
    EXPECT_NE(d.out.find("instant\t"), std::string::npos) << d.out;
    for (const auto& l : testcli::lines(d.out)) {
        if (l.rfind("instant\t", 0) != 0) continue;
        int y, mo, dd, h, mi, se, oh = 0;
        ASSERT_EQ(std::sscanf(l.c_str(), "instant\t%d-%d-%d %d:%d:%d\tUTC+%d", &y, &mo, &dd, &h, &mi, &se, &oh), 7) << l;
        EXPECT_GT(oh, 0);
        EXPECT_LT(oh, 8);
        const double mid = (julianDay(1990, 4, 30 + 23.5 / 24) + julianDay(1992, 11, 20 + (21 + 10 / 60.0) / 24)) / 2;
        EXPECT_NEAR((julianDay(y, mo, dd + (h - oh + mi / 60.0 + se / 3600.0) / 24) - mid) * 86400, 0, 1.5) << l;
    }
    // A Beijing birth returning in New York: New York's summer clock at the return instant.
    testcli::Result r = run("return --name 某 --date \"1990-06-15 12:00\" --lon 116:24 --lat 39:54 --tz Asia/Shanghai "
                            "--body sun --year 2020 --at-lon -74:00 --at-lat 40:43 --at-tz America/New_York");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\tUTC-04:00\n"), std::string::npos) << r.out;
    // Offsets east of Greenwich as people write them; POSIX rules and beyond ±14:00 refused.
    r = run("progressed --name 某 --date \"1990-06-15 12:00\" --tz UTC+9 --to 2020-01-01");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("offset\tUTC+09:00 (given)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("inner ASC\t"), std::string::npos);
    EXPECT_NE(r.out.find("inner MC\t"), std::string::npos);
    for (const char* bad : {"+15:00", "EST5EDT,M3.2.0,M11.1.0"}) {
        r = run(std::string("davison --name 甲 --date \"1990-06-15 12:00\" --b-name 乙 --b-date \"1991-01-01 00:00\" --b-tz ") + bad);
        EXPECT_EQ(r.status, 1) << bad;
        EXPECT_NE(r.err.find("无法识别"), std::string::npos) << r.err;
    }
    swe_close();
}
#endif
