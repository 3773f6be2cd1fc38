// Further points: the true node and the mean Black Moon Lilith against Swiss Ephemeris over
// 1600-2200 (reference only), and the Part of Fortune's day and night formula.
#include <gtest/gtest.h>

#include <cmath>

#include "chart/ExtraPoints.h"

#ifdef TARMIN_HAVE_SWE
#include <swephexp.h>
#endif

namespace {
double diffDeg(double a, double b) {
    double d = std::fmod(a - b, 360.0);
    if (d > 180) d -= 360;
    if (d < -180) d += 360;
    return std::fabs(d);
}
}  // namespace

TEST(ExtraPoints, TrueNodeAndLilithAgreeWithTheReference) {
#ifndef TARMIN_HAVE_SWE
    GTEST_SKIP() << "libswe not installed";
#else
    double worstNode = 0, worstLilith = 0, worstSpeed = 0;
    for (double jd = 2305447.5; jd < 2524593.5; jd += 331.7) {  // 1600 to 2200
        const double T = (jd - 2451545.0) / 36525;
        double x[6] = {};
        char err[256] = {};
        ASSERT_GE(swe_calc(jd, SE_TRUE_NODE, SEFLG_MOSEPH | SEFLG_SPEED, x, err), 0) << err;
        worstNode = std::max(worstNode, diffDeg(trueNodeLongitude(T), x[0]));
        worstSpeed = std::max(worstSpeed, std::fabs(trueNodeSpeed(T) - x[3]));
        ASSERT_GE(swe_calc(jd, SE_MEAN_APOG, SEFLG_MOSEPH, x, err), 0) << err;
        worstLilith = std::max(worstLilith, diffDeg(meanLilithLongitude(T), x[0]));
    }
    swe_close();
    EXPECT_LT(worstNode * 3600, 60) << "true node, arcseconds";
    EXPECT_LT(worstSpeed, 0.05) << "true node motion, degrees a day";
    EXPECT_LT(worstLilith * 3600, 5) << "Lilith, arcseconds";
#endif
}

TEST(ExtraPoints, PartOfFortuneByDayAndByNight) {
    // Ascendant 100: the Sun at 300 is above the horizon (between descendant 280 and 100 via
    // the midheaven), at 150 below it.
    EXPECT_TRUE(isDayChart(100, 300));
    EXPECT_FALSE(isDayChart(100, 150));
    EXPECT_TRUE(isDayChart(100, 280));   // setting: still the day's
    EXPECT_FALSE(isDayChart(100, 100));  // rising
    EXPECT_NEAR(partOfFortune(100, 300, 40), 200, 1e-12);  // 100 + 40 - 300
    EXPECT_NEAR(partOfFortune(100, 150, 40), 210, 1e-12);  // 100 + 150 - 40
    EXPECT_NEAR(partOfFortune(350, 10, 5), 355, 1e-12);    // night
    EXPECT_NEAR(partOfFortune(10, 300, 320), 30, 1e-12);   // day, wraps past 360
    EXPECT_NEAR(meanLilithSpeed(0), 0.1114, 1e-3);
}
