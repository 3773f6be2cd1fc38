// Chiron and the four asteroids against the Swiss Ephemeris reading its asteroid files (test
// only): apparent places in the precise mode at random instants 1600-2200 at the same Universal
// Time, the default mode's, and the motion marks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "astro/Asteroids.h"
#include "astro/Eph0.h"
#include "astro/Mastrocalc.h"
#include "astro/Precise.h"

#ifdef TARMIN_HAVE_SWE
#include <swephexp.h>
#endif

namespace {
double arcsec(double a, double b) { return std::fabs(std::remainder(a - b, 360.0)) * 3600; }
}  // namespace

TEST(Asteroids, TableCoversTheChartYearsAndOnlyThem) {
    auto T = [](int y, int m, double d) { return (julianDay(y, m, d) - 2451545) / 36525; };
    EXPECT_TRUE(asteroids::covers(T(1599, 12, 31.0)));
    EXPECT_TRUE(asteroids::covers(T(2200, 12, 31.9)));
    EXPECT_FALSE(asteroids::covers(T(1598, 1, 1.0)));
    EXPECT_FALSE(asteroids::covers(T(2202, 1, 1.0)));
    // Heliocentric distances within each orbit's perihelion and aphelion (AU; the orbits
    // change a little over the centuries, hence the margins), also without the oracle.
    const double q[5] = {8.2, 2.5, 2.0, 1.9, 2.1}, Q[5] = {19.2, 3.0, 3.55, 3.4, 2.6};
    for (double y = 1600; y <= 2200; y += 3.7)
        for (int b = 0; b < asteroids::kCount; ++b) {
            const double r = asteroids::heliocentric(b, (y - 2000) / 100).distance;
            EXPECT_GT(r, q[b]) << asteroids::Keys[b] << " " << y;
            EXPECT_LT(r, Q[b]) << asteroids::Keys[b] << " " << y;
        }
}

#ifdef TARMIN_HAVE_SWE
namespace {
constexpr const char* kEphe = "/usr/share/libswe/ephe";
bool haveAsteroidFiles() {
    for (const char* f : {"/seas_12.se1", "/seas_18.se1", "/sepl_12.se1", "/sepl_18.se1"})
        if (std::FILE* h = std::fopen((std::string(kEphe) + f).c_str(), "rb")) std::fclose(h);
        else return false;
    return true;
}
const int kIpl[5] = {SE_CHIRON, SE_CERES, SE_PALLAS, SE_JUNO, SE_VESTA};
}  // namespace

// Same Universal Time: the two Delta T models differ by a few seconds at most, which moves an
// asteroid by less than 0.01". The default mode takes Universal Time for dynamical time
// and leaves the light deflection out, as it does for
// the planets: a few arcseconds.
TEST(AsteroidsAgainstSwissEphemeris, ApparentPlacesAndMotion) {
    if (!haveAsteroidFiles()) GTEST_SKIP() << "swe-standard-data's asteroid files are not installed";
    char path[] = "/usr/share/libswe/ephe";
    swe_set_ephe_path(path);
    std::mt19937_64 g(28);
    std::uniform_real_distribution<double> u(julianDay(1600, 1, 1.0), julianDay(2201, 1, 1.0));
    double worst[5] = {}, worstLat[5] = {}, worstDefault[5] = {};
    int marks = 0;
    MAstroCalc precise, plain;
    precise.setPrecise(true);
    for (int k = 0; k < 300; ++k) {
        const double jd = u(g);
        precise.setJulianDayUT(jd);
        plain.setJulianDayUT(jd);
        for (int b = 0; b < asteroids::kCount; ++b) {
            double x[6];
            char err[AS_MAXCH];
            const int32_t got = swe_calc_ut(jd, kIpl[b], SEFLG_SWIEPH | SEFLG_SPEED, x, err);
            ASSERT_TRUE(got >= 0 && (got & SEFLG_SWIEPH)) << err;
            double lon = 0, lat = 0;
            precise.asteroidPosition(b, lon, lat);
            worst[b] = std::max(worst[b], arcsec(lon, x[0]));
            worstLat[b] = std::max(worstLat[b], std::fabs(lat - x[1]) * 3600);
            plain.asteroidPosition(b, lon, lat);
            worstDefault[b] = std::max(worstDefault[b], arcsec(lon, x[0]));
            EXPECT_NEAR(precise.asteroidSpeed(b), x[3], 2e-4) << asteroids::Keys[b];
            // Near a station the sign may go either way within the speed's error.
            if (std::fabs(x[3]) > 1e-3) {
                EXPECT_EQ(precise.asteroidMotion(b), x[3] < 0 ? 2 : 1);
                EXPECT_EQ(plain.asteroidMotion(b), x[3] < 0 ? 2 : 1);
                ++marks;
            }
        }
    }
    for (int b = 0; b < asteroids::kCount; ++b) {
        std::printf("%-7s precise %.3f\" (latitude %.3f\")  default %.1f\"\n", asteroids::Keys[b], worst[b],
                    worstLat[b], worstDefault[b]);
        EXPECT_LT(worst[b], 1.0) << asteroids::Keys[b];
        EXPECT_LT(worstLat[b], 1.0) << asteroids::Keys[b];
        EXPECT_LT(worstDefault[b], 10) << asteroids::Keys[b];
    }
    EXPECT_GT(marks, 1400);
    swe_close();
}
#endif
