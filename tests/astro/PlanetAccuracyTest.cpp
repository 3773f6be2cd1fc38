// Apparent positions of the Sun, the planets and Pluto: values at J2000, the cost of the
// truncated series against the full published VSOP87D, and Swiss Ephemeris as an independent
// ephemeris (its built-in analytical theory, no data files) where libswe is installed.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "astro/AstroConstants.h"
#include "astro/Eph.h"
#include "VsopReference.h"

#ifdef TARMIN_HAVE_SWE
#include <swephexp.h>
#endif

using AstroConstants::radd;

namespace {
const char* const kName[10] = {"", "Mercury", "Venus", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune", "Pluto", "Sun"};
// Largest longitude errors accepted, arcseconds, by body code 1..9.
constexpr double kLimit[10] = {0, 0.3, 0.6, 1.5, 1.5, 2.5, 8, 10, 12, 0.3};

// Seeded random day counts (UT used as TT) from 1600 to 2200.
std::vector<double> randomDays(unsigned seed, int n) {
    std::mt19937_64 g(seed);
    std::uniform_real_distribution<double> u(julianDay(1600, 1, 1.0) - 2451545, julianDay(2200, 1, 1.0) - 2451545);
    std::vector<double> v;
    for (int i = 0; i < n; ++i) v.push_back(u(g));
    return v;
}
double arcsecDiff(double degA, double degB) { return std::remainder(degA - degB, 360.0) * 3600; }
}  // namespace

TEST(ApparentPosition, ValuesAtJ2000) {
    struct Ref {
        int code;
        double lon, lat;
    };
    const Ref refs[] = {{9, 280.37, 0.00},  {1, 271.89, -0.99}, {2, 241.56, 2.07},
                        {3, 327.96, -1.07}, {4, 25.25, -1.26},  {5, 40.40, -2.44},
                        {6, 314.81, -0.66}, {7, 303.19, 0.23},  {8, 251.45, 10.86}};
    double worst = 0;
    for (const Ref& r : refs) {
        const EclipticDegrees p = apparentPosition(r.code, 0);
        worst = std::max({worst, std::fabs(arcsecDiff(p.longitude, r.lon)) / 3600, std::fabs(p.latitude - r.lat)});
        EXPECT_NEAR(p.longitude, r.lon, 0.01) << kName[r.code];
        EXPECT_NEAR(p.latitude, r.lat, 0.01) << kName[r.code];
    }
    std::printf("apparent positions at J2000: largest difference %.4f deg\n", worst);
    // Codes without a position here give (0, 0).
    EXPECT_EQ(apparentPosition(0, 0).longitude, 0);
    EXPECT_EQ(apparentPosition(11, 0).longitude, 0);
}

TEST(ApparentPosition, LongitudeRangeAndSunLatitude) {
    for (double d : randomDays(7, 200)) {
        for (int c = 1; c <= 9; ++c) {
            const EclipticDegrees p = apparentPosition(c, d);
            ASSERT_GE(p.longitude, 0);
            ASSERT_LT(p.longitude, 360);
        }
        EXPECT_LT(std::fabs(apparentPosition(9, d).latitude) * 3600, 1.5);
    }
}

TEST(ApparentPosition, TruncationAgainstFullVsop87d) {
    REQUIRE_SHARED_DATA();
    static const vsopref::FullVsop full;
    ASSERT_TRUE(full.loaded());
    const auto days = randomDays(20261209, 250);
    for (int c = 1; c <= 9; ++c) {
        double worstL = 0, worstB = 0;
        for (double d : days) {
            const EclipticDegrees p = apparentPosition(c, d);
            const SphericalPosition r = full.apparent(c, d / 36525);
            worstL = std::max(worstL, std::fabs(arcsecDiff(p.longitude, r.longitude * radd)));
            worstB = std::max(worstB, std::fabs(p.latitude - r.latitude * radd) * 3600);
        }
        std::printf("%-8s vs full VSOP87D: longitude %.3f\"  latitude %.3f\"\n", kName[c], worstL, worstB);
        EXPECT_LT(worstL, kLimit[c]) << kName[c];
        EXPECT_LT(worstB, kLimit[c]) << kName[c];
    }
}

#ifdef TARMIN_HAVE_SWE
TEST(ApparentPosition, AgainstSwissEphemeris) {
    static const vsopref::FullVsop full;
    // Swiss Ephemeris' analytical mode (Moshier) is itself good to well under 1" for the
    // Sun to Saturn and to a few arcseconds for the outer planets over these centuries.
    const int ipl[10] = {0, SE_MERCURY, SE_VENUS, SE_MARS, SE_JUPITER, SE_SATURN, SE_URANUS, SE_NEPTUNE, SE_PLUTO, SE_SUN};
    const auto days = randomDays(4242, 36);
    for (int c = 1; c <= 9; ++c) {
        double worstL = 0, worstB = 0, worstFull = 0;
        for (double d : days) {
            double x[6];
            char err[AS_MAXCH];
            ASSERT_GE(swe_calc(2451545 + d, ipl[c], SEFLG_MOSEPH, x, err), 0) << err;
            const EclipticDegrees p = apparentPosition(c, d);
            worstL = std::max(worstL, std::fabs(arcsecDiff(p.longitude, x[0])));
            worstB = std::max(worstB, std::fabs(p.latitude - x[1]) * 3600);
            if (full.loaded())
                worstFull = std::max(worstFull, std::fabs(arcsecDiff(full.apparent(c, d / 36525).longitude * radd, x[0])));
        }
        std::printf("%-8s vs Swiss Ephemeris: longitude %.3f\"  latitude %.3f\"  (full VSOP87D: %.3f\")\n", kName[c],
                    worstL, worstB, worstFull);
        EXPECT_LT(worstL, kLimit[c]) << kName[c];
        EXPECT_LT(worstB, kLimit[c]) << kName[c];
    }
    swe_close();
}

TEST(ApparentPosition, NutationAgainstSwissEphemeris) {
    double worstPsi = 0, worstEps = 0;
    for (double d = julianDay(1600, 1, 1.0) - 2451545; d < julianDay(2200, 1, 1.0) - 2451545; d += 37.3) {
        double x[6];
        char err[AS_MAXCH];
        ASSERT_GE(swe_calc(2451545 + d, SE_ECL_NUT, 0, x, err), 0) << err;
        const Nutation n = nutation(d / 36525);
        worstPsi = std::max(worstPsi, std::fabs(n.dpsi * radd - x[2]) * 3600);
        worstEps = std::max(worstEps, std::fabs(n.deps * radd - x[3]) * 3600);
    }
    std::printf("nutation vs Swiss Ephemeris: dpsi %.3f\"  deps %.3f\"\n", worstPsi, worstEps);
    EXPECT_LT(worstPsi, 0.15);
    EXPECT_LT(worstEps, 0.15);
    swe_close();
}
#endif
