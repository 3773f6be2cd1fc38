// The quick sums of the series against the library's cosine and the complete sums, and the
// printed positions they give against those of the complete series.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "astro/Eph0.h"
#include "astro/Mastrocalc.h"
#include "astro/Precise.h"
#include "astro/QuickSeries.h"

namespace {
constexpr double kHalfPi = 1.57079632679489661923;
}

// One term with no motion is a cosine: within 2.3e-16 of the library's over the arguments the
// series reach (to 4e5 radians), at the quadrant boundaries and in longer sums too.
TEST(QuickSeries, CosineAgreesWithTheLibrary) {
    std::mt19937_64 g(21);
    std::uniform_real_distribution<double> wide(-4e5, 4e5), narrow(-10, 10);
    double worst = 0;
    for (int k = 0; k < 200000; ++k) {
        const double term[3] = {1, k % 2 ? wide(g) : narrow(g), 0};
        worst = std::fmax(worst, std::fabs(quick::termSum(term, 0, 3, 0) - std::cos(term[1])));
    }
    for (int q = -8; q <= 8; ++q)
        for (double eps : {-1e-9, 0.0, 1e-9}) {
            const double term[3] = {1, q * kHalfPi + eps, 0};
            worst = std::fmax(worst, std::fabs(quick::termSum(term, 0, 3, 0) - std::cos(term[1])));
        }
    EXPECT_LT(worst, 2.3e-16);
    // 600 terms, more than one chunk of the vector loop, summed in their order.
    std::vector<double> terms;
    double expected = 0;
    for (int k = 0; k < 600; ++k) {
        terms.insert(terms.end(), {narrow(g) * 1e-3, narrow(g), wide(g) * 0.1});
        expected += terms[terms.size() - 3] * std::cos(terms[terms.size() - 2] + terms.back() * 0.37);
    }
    EXPECT_NEAR(quick::termSum(terms.data(), 0, static_cast<int>(terms.size()), 0.37), expected, 1e-15);
}

// Every body of the three series (Pluto's too) at instants from -1000 to 3000: the quick sums
// within 1e-13 rad (and 1e-13 AU) of the complete ones.
TEST(QuickSeries, HeliocentricPlacesAgreeWithTheCompleteSeries) {
    std::mt19937_64 g(5);
    std::uniform_real_distribution<double> centuries(-30, 10);
    for (int k = 0; k < 60; ++k) {
        const double T = centuries(g);
        for (int code = 0; code <= 8; ++code) {
            const SphericalPosition a = heliocentricPosition(code, T, -1, -1, -1);
            const SphericalPosition b = quick::completeSeries(code, T);
            const SphericalPosition c = precise::heliocentric(code, T);
            const SphericalPosition d = quick::fullerSeries(code, T);
            const SphericalPosition e = heliocentricPosition(code, T, 8, 8, 8);
            const SphericalPosition f = quick::roughSeries(code, T);
            EXPECT_NEAR(e.longitude, f.longitude, 1e-13) << code << " " << T;
            EXPECT_NEAR(e.distance, f.distance, 1e-13) << code << " " << T;
            EXPECT_NEAR(a.longitude, b.longitude, 1e-13) << code << " " << T;
            EXPECT_NEAR(a.latitude, b.latitude, 1e-13) << code << " " << T;
            EXPECT_NEAR(a.distance, b.distance, 1e-13) << code << " " << T;
            EXPECT_NEAR(c.longitude, d.longitude, 1e-13) << code << " " << T;
            EXPECT_NEAR(c.latitude, d.latitude, 1e-13) << code << " " << T;
            EXPECT_NEAR(c.distance, d.distance, 1e-13) << code << " " << T;
        }
    }
}

// Six decimals: a value within the bound of a rounding boundary, of zero or of 360 is left to
// the complete series.
TEST(QuickSeries, PrintsTheSameOnlyAwayFromRoundingBoundaries) {
    EXPECT_TRUE(quick::printsTheSame(123.4567891));
    EXPECT_TRUE(quick::printsTheSame(-5.2000002));
    EXPECT_FALSE(quick::printsTheSame(123.4567895));
    EXPECT_FALSE(quick::printsTheSame(123.4567895 + 1e-9));
    EXPECT_FALSE(quick::printsTheSame(-0.0000015));
    EXPECT_FALSE(quick::printsTheSame(1e-10));   // 0.000000 or -0.000000
    EXPECT_FALSE(quick::printsTheSame(-1e-10));
    EXPECT_FALSE(quick::printsTheSame(360 - 1e-10));  // 360.000000 or 0.000000
    EXPECT_TRUE(quick::printsTheSame(123.4567895 + 5e-9));
}

// The printed text of both modes, at instants over the years the quick sums cover: that of the
// complete series.
TEST(QuickSeries, PrintedPositionsAreThoseOfTheCompleteSeries) {
    std::mt19937_64 g(8);
    std::uniform_real_distribution<double> jd(1355808.0, 2816787.0);
    for (bool precise : {false, true}) {
        MAstroCalc calc;
        calc.setPrecise(precise);
        for (int k = 0; k < 150; ++k) {
            calc.setJulianDayUT(jd(g));
            for (int i = 0; i < 10; ++i) {
                double lon = 0, lat = 0, qlon = 0, qlat = 0;
                calc.bodyPosition(i, lon, lat);
                calc.printedBodyPosition(i, qlon, qlat);
                char a[64], b[64];
                std::snprintf(a, sizeof a, "%.6f %.6f", lon, lat);
                std::snprintf(b, sizeof b, "%.6f %.6f", qlon, qlat);
                EXPECT_EQ(std::string(a), std::string(b)) << precise << " " << i << " " << calc.julianDayUT();
            }
        }
    }
}
