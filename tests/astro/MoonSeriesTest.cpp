// The Moon's series evaluation (truncation rule, extrapolation), apparent position and the
// mean lunar nodes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

#include "astro/AstroConstants.h"
#include "astro/Eph.h"
#include "astro/Eph0.h"
#include "astro/tables/MoonSeriesTable.h"

namespace {

using AstroConstants::rad;

// Sum of the first k terms of slot (c, i) at T, in the slot's unit (arcsec or km).
double leadingTerms(int c, int i, int k, double T) {
    const auto& s = MoonSeriesTable::slots[c][i];
    double sum = 0;
    for (int j = 0; j < k; ++j) {
        const double* t = &s[6 * j];
        sum += t[0] * std::cos(t[1] + t[2] * T + t[3] * (T * T * 1e-4) +
                               t[4] * (T * T * T * 1e-8) + t[5] * (T * T * T * T * 1e-8));
    }
    return sum;
}

// The value the series gives with k[i] terms of power i, without the mean longitude.
double withCounts(int c, const int (&k)[4], double T) {
    double v = 0;
    for (int i = 0; i < 4; ++i) v += leadingTerms(c, i, k[i], T) * std::pow(T, i);
    return v;
}

// Terms used per power for a request of n terms: the end (6n * Li) / L0 is truncated, one term
// is added above T^0, and an end inside a term takes that term. Counted by hand from the slot
// lengths (longitude 2652/894/204/12, latitude 1236/270/72/0, distance 1326/312/72/0); several
// cases would come out differently if the end were rounded.
struct CountCase {
    int c, n;
    int k[4];
};
const CountCase kCountCases[] = {
    {0, 0, {0, 1, 1, 1}},     {0, 3, {3, 2, 2, 1}},     {0, 20, {20, 8, 3, 1}},
    {0, -1, {442, 149, 34, 2}}, {0, 5000, {442, 149, 34, 2}},
    {1, 0, {0, 1, 1, 0}},     {1, 3, {3, 2, 2, 0}},     {1, 20, {20, 6, 2, 0}},
    {1, -7, {206, 45, 12, 0}},
    {2, 0, {0, 1, 1, 0}},     {2, 3, {3, 2, 1, 0}},     {2, 20, {20, 6, 2, 0}},
    {2, -1, {221, 52, 12, 0}},
};

TEST(MoonSeriesValue, TruncationKeepsTheCountedTerms) {
    double worst = 0;
    for (const double T : {-3.7, -0.4, 0.0, 0.25, 1.9}) {
        for (const CountCase& cc : kCountCases) {
            SCOPED_TRACE("c=" + std::to_string(cc.c) + " n=" + std::to_string(cc.n) +
                         " T=" + std::to_string(T));
            if (cc.c == 0) {
                // The mean longitude cancels in a difference with the n = 0 value.
                const int none[4] = {0, 1, 1, 1};
                const double got = (moonSeriesValue(0, T, cc.n) - moonSeriesValue(0, T, 0)) * rad;
                const double want = withCounts(0, cc.k, T) - withCounts(0, none, T);
                EXPECT_NEAR(got, want, 1e-5);  // arcsec (the difference of two values of 1e10")
                worst = std::max(worst, std::fabs(got - want));
            } else {
                const double scale = cc.c == 1 ? rad : 1.0;
                const double got = moonSeriesValue(cc.c, T, cc.n) * scale;
                EXPECT_NEAR(got, withCounts(cc.c, cc.k, T), 1e-6);  // arcsec or km
                worst = std::max(worst, std::fabs(got - withCounts(cc.c, cc.k, T)));
            }
        }
    }
    std::printf("largest difference from the counted sums: %.3g (arcsec or km)\n", worst);
}

// The calendar's short series (3 and 20 terms) against all terms, 1600-2200: the leading terms
// must be the largest, so the error falls quickly with n.
TEST(MoonSeriesValue, ShortSeriesOfTheCalendar) {
    double worst3 = 0, worst20 = 0, worst100 = 0;
    for (int k = 0; k <= 1200; ++k) {
        const double T = -4.0 + 6.0 * k / 1200;
        const double all = moonSeriesValue(0, T, -1);
        worst3 = std::max(worst3, std::fabs(moonSeriesValue(0, T, 3) - all) * rad);
        worst20 = std::max(worst20, std::fabs(moonSeriesValue(0, T, 20) - all) * rad);
        worst100 = std::max(worst100, std::fabs(moonSeriesValue(0, T, 100) - all) * rad);
    }
    std::printf("longitude with 3, 20, 100 terms against all: %.0f\", %.0f\", %.1f\"\n", worst3,
                worst20, worst100);
    EXPECT_LT(worst3, 3600.0);
    EXPECT_LT(worst20, 240.0);
    EXPECT_LT(worst100, 10.0);
}

TEST(MoonSeriesValue, OutOfRangeRequestsAreSafe) {
    EXPECT_EQ(moonSeriesValue(-1, 0.3, -1), 0.0);
    EXPECT_EQ(moonSeriesValue(3, 0.3, -1), 0.0);
    const int big = std::numeric_limits<int>::max();
    EXPECT_EQ(moonSeriesValue(0, 0.3, big), moonSeriesValue(0, 0.3, -1));
    EXPECT_EQ(moonSeriesValue(2, 0.3, big), moonSeriesValue(2, 0.3, -1));
    EXPECT_EQ(moonSeriesValue(1, 0.3, std::numeric_limits<int>::min()),
              moonSeriesValue(1, 0.3, -1));
}

TEST(MoonSeriesValue, LongitudeDriftAfterTheYear3000) {
    const double h = 1e-9;
    const double below = moonSeriesValue(0, 10.0 - h, -1);
    const double at = moonSeriesValue(0, 10.0, -1);
    const double above = moonSeriesValue(0, 10.0 + h, -1);
    const double jump = ((above - at) - (at - below)) * rad;  // arcsec
    EXPECT_NEAR(jump, -0.866, 0.002);
    std::printf("longitude step at T = 10: %.4f arcsec\n", jump);
    // Latitude and distance have no such step.
    const double latJump =
        ((moonSeriesValue(1, 10.0 + h, -1) - moonSeriesValue(1, 10.0, -1)) -
         (moonSeriesValue(1, 10.0, -1) - moonSeriesValue(1, 10.0 - h, -1))) * rad;
    EXPECT_NEAR(latJump, 0.0, 0.002);
}

TEST(MoonApparentPosition, AtJ2000) {
    // 2000-01-01 12:00 UT: about 223.31 deg, 5.17 deg, 402449 km.
    const EclipticDegrees e = moonApparentPosition(0.0);
    EXPECT_NEAR(e.longitude, 223.31, 0.005);
    EXPECT_NEAR(e.latitude, 5.17, 0.005);
    EXPECT_NEAR(moonPosition(0.0, -1, -1, -1).distance, 402449, 1.0);
    std::printf("apparent Moon at J2000: %.6f deg, %.6f deg\n", e.longitude, e.latitude);
    const EclipticDegrees a = apparentPosition(Moon, 0.0);
    EXPECT_EQ(a.longitude, e.longitude);
    EXPECT_EQ(a.latitude, e.latitude);
}

TEST(MoonApparentPosition, LightTimeAndNutation) {
    // Between 1600 and 2400 the apparent longitude is the geometric one plus the nutation less
    // the motion during the light time (1.2-1.4 s at 0.5-0.65"/s). Reducing the many turns of
    // the series longitude with a nine-digit pi would add up to 8" by 1600.
    constexpr double trueTwoPi = 6.283185307179586476925;
    double lo = 1e9, hi = -1e9;
    for (int k = 0; k < 400; ++k) {
        const double d = -146000.0 + k * 731.3;
        const double T = d / 36525.0;
        const EclipticDegrees e = moonApparentPosition(d);
        ASSERT_GE(e.longitude, 0.0);
        ASSERT_LT(e.longitude, 360.0);
        const SphericalPosition g = moonPosition(T, -1, -1, -1);
        const double dl = std::remainder(e.longitude / AstroConstants::radd - g.longitude -
                                             nutationInLongitude(T),
                                         trueTwoPi) * rad;  // arcsec
        lo = std::min(lo, dl);
        hi = std::max(hi, dl);
    }
    std::printf("apparent - geometric - nutation: %.3f to %.3f arcsec\n", lo, hi);
    EXPECT_GT(lo, -1.0);
    EXPECT_LT(hi, -0.5);
}

TEST(MeanLunarNodes, EpochAndOrder) {
    const NodePair p = meanLunarNodes(2305447.5, true);
    EXPECT_NEAR(p.first, 301.487360076, 1e-9);
    EXPECT_NEAR(p.second, 121.487360076, 1e-9);
    const NodePair q = meanLunarNodes(2305447.5, false);
    EXPECT_EQ(q.first, p.second);
    EXPECT_EQ(q.second, p.first);
    // Whole days: the same value all through the day, one step at the next midnight.
    EXPECT_EQ(meanLunarNodes(2305448.49, true).first, p.first);
    EXPECT_NEAR(meanLunarNodes(2305448.5, true).first, 301.487360076 - 0.052953924, 1e-9);
    // Before the epoch the day count is truncated toward zero, not floored.
    EXPECT_NEAR(meanLunarNodes(2305446.9, true).first, 301.540314, 1e-9);
    EXPECT_NEAR(meanLunarNodes(2305445.9, true).first, 301.540314, 1e-9);
    EXPECT_NEAR(meanLunarNodes(2305444.9, true).first, 301.540314 + 0.052953924, 1e-9);
}

TEST(MeanLunarNodes, AlwaysInRangeAndOpposite) {
    double worst = 0;
    for (double jd = 2305447.5 - 200000; jd < 2305447.5 + 400000; jd += 1.0) {
        const NodePair p = meanLunarNodes(jd, true);
        ASSERT_GE(p.first, 0.0) << jd;
        ASSERT_LT(p.first, 360.0) << jd;
        ASSERT_GE(p.second, 0.0) << jd;
        ASSERT_LT(p.second, 360.0) << jd;
        const double sep = std::fabs(std::remainder(p.first - p.second, 360.0));
        worst = std::max(worst, std::fabs(sep - 180.0));
    }
    EXPECT_LT(worst, 1e-9);
    std::printf("largest departure of the nodes from opposition: %.2e deg\n", worst);
    // One nodal regression period (6798.38 days) brings the node back within a day's motion.
    const double a = meanLunarNodes(2451545.0, true).first;
    const double b = meanLunarNodes(2451545.0 + 6798.0, true).first;
    EXPECT_NEAR(std::remainder(a - b, 360.0), 0.0, 0.06);
}

}  // namespace
