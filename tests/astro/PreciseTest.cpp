// The precise mode's astronomy: Delta T, and against the Swiss Ephemeris (its analytical mode,
// no data files; test only) the apparent places, the mean node, the frame of date, sidereal time
// and the retrograde marks at random instants 1600-2200.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "astro/Eph0.h"
#include "astro/Mastrocalc.h"
#include "astro/Precise.h"
#include "VsopReference.h"

#ifdef TARMIN_HAVE_SWE
#include <swephexp.h>
#endif

namespace {
constexpr double kDeg = 57.295779513082320876798;

std::vector<double> randomUT(unsigned seed, int n, int fromYear = 1600, int toYear = 2200) {
    std::mt19937_64 g(seed);
    std::uniform_real_distribution<double> u(julianDay(fromYear, 1, 1.0), julianDay(toYear, 1, 1.0));
    std::vector<double> v;
    for (int i = 0; i < n; ++i) v.push_back(u(g));
    return v;
}
double arcsec(double degA, double degB) { return std::fabs(std::remainder(degA - degB, 360.0)) * 3600; }
}  // namespace

TEST(PreciseDeltaT, TableUpTo2005ObservedToThePresentThenTidalParabola) {
    for (double y = 1600; y < 2005; y += 13.7) EXPECT_EQ(precise::deltaTSeconds(y), deltaTSeconds(y)) << y;
    // Where the table hands over (the table itself steps by 0.18 s at 2005), and the observed
    // values since.
    EXPECT_NEAR(precise::deltaTSeconds(2004.999), precise::deltaTSeconds(2005), 0.2);
    EXPECT_NEAR(precise::deltaTSeconds(2017), 68.3, 0.2);
    EXPECT_NEAR(precise::deltaTSeconds(2025), 69.2, 0.1);
    // The table's own extrapolation is far off by now; this one rises slowly from 69 s.
    EXPECT_GT(deltaTSeconds(2025) - precise::deltaTSeconds(2025), 10);
    EXPECT_NEAR(precise::deltaTSeconds(2125), 69.2 + 32, 0.01);
    // TT - UT in days.
    const double jd = julianDay(1990, 1, 1.0);
    EXPECT_NEAR((precise::terrestrialJulianDay(jd) - jd) * 86400, precise::deltaTSeconds(1990), 0.01);
}

TEST(PreciseCalc, PositionsRangeAndMotionMarks) {
    MAstroCalc calc;
    calc.setPrecise(true);
    for (double jd : randomUT(11, 40)) {
        const DateTimeFields f = fieldsFromJulianDay(jd + 1.0 / 3);
        calc.setTime(f);
        for (int i = 0; i < 10; ++i) {
            double lon = -1, lat = 0;
            calc.bodyPosition(i, lon, lat);
            ASSERT_GE(lon, 0);
            ASSERT_LT(lon, 360);
            const int m = calc.retrogradeState(i, f);
            // Mercury .. Pluto always carry a mark (Pluto included); the Sun and Moon none.
            if (i >= 2) EXPECT_TRUE(m == 1 || m == 2) << i;
            else EXPECT_EQ(m, 0);
        }
        double n = 0, s = 0;
        calc.lunarNodes(true, n, s);
        EXPECT_NEAR(std::fabs(std::remainder(s - n, 360.0)), 180, 1e-9);
    }
}

// The fuller table costs at most a few hundredths of an arcsecond against the full published
// series (geocentric direction, same corrections) where the default table costs half a second.
TEST(PreciseSeries, FullerTableAgainstTheFullVsop87d) {
    REQUIRE_SHARED_DATA();
    static const vsopref::FullVsop full;
    ASSERT_TRUE(full.loaded());
    double worst = 0, worstDefault = 0;
    for (double jd : randomUT(99, 300)) {
        const double T = (jd - 2451545) / 36525;
        for (int c = Mercury; c <= Sun; ++c) {
            if (c == Pluto) continue;
            const SphericalPosition a = relativePosition(precise::heliocentric(c, T), precise::heliocentric(Earth, T));
            const SphericalPosition b = relativePosition(full.helio(c, T), full.helio(Earth, T));
            const SphericalPosition d = relativePosition(heliocentricPosition(c, T, -1, -1, -1),
                                                         heliocentricPosition(Earth, T, -1, -1, -1));
            worst = std::max({worst, arcsec(a.longitude * kDeg, b.longitude * kDeg), std::fabs(a.latitude - b.latitude) * kDeg * 3600});
            worstDefault = std::max(worstDefault, arcsec(d.longitude * kDeg, b.longitude * kDeg));
        }
    }
    std::printf("fuller series vs full VSOP87D: %.4f\" (default table %.3f\")\n", worst, worstDefault);
    EXPECT_LT(worst, 0.05);
}

#ifdef TARMIN_HAVE_SWE
namespace {
const int kIpl[11] = {0, SE_MERCURY, SE_VENUS, SE_MARS, SE_JUPITER, SE_SATURN, SE_URANUS, SE_NEPTUNE, SE_PLUTO, SE_SUN, SE_MOON};
const char* const kName[11] = {"", "Mercury", "Venus", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune", "Pluto", "Sun", "Moon"};

bool swe(double jd, int ipl, int32_t flags, double (&x)[6], bool ut) {
    char err[AS_MAXCH];
    return (ut ? swe_calc_ut(jd, ipl, flags | SEFLG_MOSEPH, x, err) : swe_calc(jd, ipl, flags | SEFLG_MOSEPH, x, err)) >= 0;
}
}  // namespace

// Largest longitude differences, arcseconds. At the same Terrestrial Time the differences are
// those between the theories (VSOP87/ELP/MPP02/Pluto fit against the oracle's own analytical
// fits); at the same Universal Time the two Delta T models add theirs (the oracle's differs from
// the program's by up to 30 s before 1700 and after 2050: 17" of lunar motion), so that
// comparison is made where the models agree, 1850-2050. Mars differs most near its closest
// oppositions (1640, 2080), where the geocentric distance magnifies the theories' difference;
// the Moon of the full ELP/MPP02 differs from the oracle's own lunar theory by up to 3.1".
TEST(PreciseAgainstSwissEphemeris, ApparentPlaces) {
    const double limitTT[11] = {0, 0.5, 0.8, 2.0, 1.0, 1.3, 7.5, 10, 8.5, 0.3, 3.5};
    const double limitUT[11] = {0, 0.6, 0.8, 1.6, 1.0, 1.3, 5, 5, 8.5, 0.3, 3};
    const auto all = randomUT(20261209, 300);
    const auto modern = randomUT(1850, 150, 1850, 2050);
    for (int c = 1; c <= 10; ++c) {
        double tt = 0, ut = 0, lat = 0;
        for (double jd : all) {
            double x[6];
            ASSERT_TRUE(swe(precise::terrestrialJulianDay(jd), kIpl[c], 0, x, false));
            const precise::Place p = precise::apparentPlace(c, jd);
            tt = std::max(tt, arcsec(p.longitude, x[0]));
            lat = std::max(lat, std::fabs(p.latitude - x[1]) * 3600);
        }
        for (double jd : modern) {
            double x[6];
            ASSERT_TRUE(swe(jd, kIpl[c], 0, x, true));
            ut = std::max(ut, arcsec(precise::apparentPlace(c, jd).longitude, x[0]));
        }
        std::printf("%-8s same TT %.3f\"  same UT 1850-2050 %.3f\"  latitude %.3f\"\n", kName[c], tt, ut, lat);
        EXPECT_LT(tt, limitTT[c]) << kName[c];
        EXPECT_LT(ut, limitUT[c]) << kName[c];
        EXPECT_LT(lat, 2.5) << kName[c];
    }
    swe_close();
}

TEST(PreciseAgainstSwissEphemeris, MeanNodeFrameAndSiderealTime) {
    double node = 0, eps = 0, dpsi = 0, sid = 0, sidAll = 0;
    for (double jd : randomUT(77, 400)) {
        const double tt = precise::terrestrialJulianDay(jd);
        double x[6];
        ASSERT_TRUE(swe(tt, SE_MEAN_NODE, 0, x, false));
        node = std::max(node, arcsec(precise::meanAscendingNode(jd), x[0]));
        ASSERT_TRUE(swe(tt, SE_ECL_NUT, 0, x, false));
        const precise::Frame f = precise::frameOfDate(jd);
        eps = std::max(eps, std::fabs(f.trueObliquity * kDeg - x[0]) * 3600);
        dpsi = std::max(dpsi, std::fabs(f.dpsi * kDeg - x[2]) * 3600);
        const double d = arcsec(precise::apparentSiderealTime(jd), swe_sidtime(jd) * 15);
        sidAll = std::max(sidAll, d);
        const double year = 2000 + (jd - 2451545) / 365.25;
        if (year > 1850 && year < 2050) sid = std::max(sid, d);
    }
    std::printf("mean node %.3f\"  true obliquity %.3f\"  nutation in longitude %.3f\"  sidereal time "
                "1850-2050 %.3f\" (1600-2200 %.3f\")\n", node, eps, dpsi, sid, sidAll);
    EXPECT_LT(node, 1.0);
    EXPECT_LT(eps, 0.1);
    EXPECT_LT(dpsi, 0.15);
    // Outside 1850-2050 the oracle switches to a long-term sidereal time of its own, up to 2"
    // from the IAU 2006 expression used here.
    EXPECT_LT(sid, 0.1);
    EXPECT_LT(sidAll, 2.5);
    swe_close();
}

// The mark is the sign of the daily motion at the instant: against the oracle's speed, no
// wrong mark unless a station lies within an hour.
TEST(PreciseAgainstSwissEphemeris, RetrogradeMarks) {
    int wrong = 0, nearStation = 0, checked = 0;
    for (double jd : randomUT(4711, 1500)) {
        for (int c = Mercury; c <= Pluto; ++c) {
            double x[6], a[6], b[6];
            ASSERT_TRUE(swe(jd, kIpl[c], SEFLG_SPEED, x, true));
            ASSERT_TRUE(swe(jd - 1.0 / 24, kIpl[c], SEFLG_SPEED, a, true));
            ASSERT_TRUE(swe(jd + 1.0 / 24, kIpl[c], SEFLG_SPEED, b, true));
            const bool station = (a[3] < 0) != (b[3] < 0);
            if ((precise::longitudeSpeed(c, jd) < 0) == (x[3] < 0)) ++checked;
            else if (station) ++nearStation;
            else ++wrong;
        }
    }
    std::printf("retrograde marks: %d agree, %d wrong, %d within an hour of a station\n", checked, wrong, nearStation);
    EXPECT_EQ(wrong, 0);
    swe_close();
}
#endif
