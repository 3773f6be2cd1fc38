// Chart types: midpoints and Davison from their definitions, progressions and returns against
// the engine's own positions (and Swiss Ephemeris where present), inter-aspects against a
// brute-force list, the captions, and the refusals with their messages.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
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

#ifdef TARMIN_HAVE_SWE
#include <swephexp.h>
#endif

using namespace charttypes;
using chartfixture::moment;

namespace {
constexpr double kRad = 3.14159265358979323846 / 180;

struct Rig {
    RecordingCanvas canvas{800, 700};
    RecordingRichText rich;
    MZhanXingEx engine{rich, canvas, "/nonexistent/"};
};

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
    for (std::size_t i = 0; i < 12; ++i) {
        EXPECT_NEAR(r.outer.bodies[i].longitude, midpoint(a.bodies[i].longitude, b.bodies[i].longitude), 1e-9);
        EXPECT_NEAR(r.outer.cusps[i], midpoint(a.cusps[i], b.cusps[i]), 1e-9);
        uint8_t house = 0;
        float past = 0;
        MZhanXingEx::locateIn(r.outer.cusps, r.outer.bodies[i].longitude, house, past);
        EXPECT_EQ(r.outer.bodies[i].house, house);
    }
    EXPECT_NEAR(r.outer.asc.longitude, midpoint(a.asc.longitude, b.asc.longitude), 1e-9);
    EXPECT_NEAR(r.outer.mc.longitude, midpoint(a.mc.longitude, b.mc.longitude), 1e-9);
    EXPECT_EQ(rig.engine.natal().bodies[0].longitude, r.outer.bodies[0].longitude);
    EXPECT_EQ(caption(rig.canvas), "组合盘");

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
}

TEST(ChartTypes, ProgressionsAndSolarArcFollowTheProgressedInstant) {
    Rig rig;
    TypeRequest q;
    q.kind = Kind::Progressed;
    q.a = zhang();
    q.to = moment(2026, 12, 9, 0, 0);
    TypeResult r;
    std::string error;
    ASSERT_TRUE(castChartType(rig.engine, q, r, error)) << error;
    const double birth = rig.engine.jd8();
    MYiDateEx cal;
    const double target = cal.toJulianDay(q.to);
    EXPECT_NEAR(r.instantJd8, birth + (target - birth) / 365.24219, 1e-9);
    EXPECT_NEAR(r.instantJd8 - birth, 36.6, 0.1);  // 36 years and 7 months
    EXPECT_EQ(caption(rig.canvas), "推运盘");
    // The inner ring is the engine's chart at the progressed instant (to its minute).
    Rig other;
    BirthRecord p = zhang();
    p.birth = fieldsFromJulianDay(r.instantJd8);
    ASSERT_TRUE(other.engine.castNatal(p));
    for (std::size_t i = 0; i < 12; ++i)
        EXPECT_DOUBLE_EQ(r.inner[i].longitude, other.engine.natal().bodies[i].longitude) << i;
#ifdef TARMIN_HAVE_SWE
    // And Swiss Ephemeris at that instant agrees within the default mode's own accuracy.
    const double jdUt = other.engine.jd8() - 1.0 / 3 - 1.0 / 86400;
    const int ipl[10] = {SE_SUN, SE_MOON, SE_MERCURY, SE_VENUS, SE_MARS,
                         SE_JUPITER, SE_SATURN, SE_URANUS, SE_NEPTUNE, SE_PLUTO};
    double worst = 0;
    for (int i = 0; i < 10; ++i) {
        double x[6];
        char err[256];
        ASSERT_GE(swe_calc_ut(jdUt, ipl[i], SEFLG_MOSEPH, x, err), 0) << err;
        const double d = sep(x[0], r.inner[static_cast<std::size_t>(i)].longitude) * 3600;
        worst = std::max(worst, d);
        EXPECT_LT(d, i == 1 ? 150 : 40) << BodyNames[static_cast<std::size_t>(i)];
    }
    swe_close();
    std::printf("progressed positions: largest difference to Swiss Ephemeris %.1f\"\n", worst);
#endif

    q.kind = Kind::SolarArc;
    ASSERT_TRUE(castChartType(rig.engine, q, r, error)) << error;
    const NatalPoints& natal = rig.engine.natal();
    const double arc = std::fmod(other.engine.bodyLongitudeAt(0, r.instantJd8) -
                                     natal.bodies[0].longitude + 360, 360);
    EXPECT_NEAR(arc, 35.2, 1.0);  // about a degree a year
    for (std::size_t i = 0; i < 12; ++i)
        EXPECT_NEAR(sep(r.inner[i].longitude, natal.bodies[i].longitude), arc, 1e-6);
    EXPECT_EQ(caption(rig.canvas), "太阳弧盘");
}

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
    EXPECT_EQ(v[1].size(), 8u + 19u);
    r = run("synastry " + a + b);
    ASSERT_EQ(r.status, 0) << r.err;
    int inner = 0, aspects = 0;
    for (const auto& l : testcli::lines(r.out)) {
        if (l.rfind("inner ", 0) == 0) ++inner;
        if (l.rfind("aspect\t", 0) == 0) {
            ++aspects;
            EXPECT_EQ(testcli::fields(l).size(), 6u) << l;
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
