// Position conversions, rotations, obliquity, nutation and the precession models.
#include <gtest/gtest.h>

#include <cmath>

#include "astro/AstroConstants.h"
#include "astro/Eph0.h"

using AstroConstants::pi;
using AstroConstants::rad;

// Angles are normalised with the program's nine-digit pi, so a direction computed by atan2
// (full-precision pi) and brought into [0, 2pi) may differ by 2 * 3.6e-9 rad = 0.0015".
namespace {
constexpr double kTol = 0.005 / 206264.8;  // 0.005" in radians
}


TEST(Frames, RectangularAndSphericalRoundTrip) {
    EXPECT_NEAR(rectangularToSpherical({-2, 0, 0}).longitude, pi, kTol);
    EXPECT_NEAR(rectangularToSpherical({0, -1, 0}).longitude, 1.5 * pi, kTol);
    const SphericalPosition o = rectangularToSpherical({0, 0, 0});
    EXPECT_EQ(o.distance, 0);
    EXPECT_FALSE(std::isnan(o.latitude));
    double worst = 0;
    for (double lon = -7; lon < 7; lon += 0.37) {
        for (double lat = -1.5; lat <= 1.5; lat += 0.25) {
            const SphericalPosition p{lon, lat, 3.5};
            const SphericalPosition q = rectangularToSpherical(sphericalToRectangular(p));
            EXPECT_GE(q.longitude, 0);
            EXPECT_LT(q.longitude, 2 * pi);
            worst = std::max({worst, std::fabs(normRadSigned(q.longitude - lon)),
                              std::fabs(q.latitude - lat)});
            EXPECT_NEAR(q.distance, 3.5, 1e-12);
        }
    }
    std::printf("spherical round trip: largest error %.2e\"\n", worst * rad);
    EXPECT_LT(worst, kTol);
}

TEST(Frames, EclipticEquatorialRotation) {
    const double eps = meanObliquity(0);
    // The ecliptic pole goes to RA 270 deg, declination 90 - eps.
    const SphericalPosition pole = rotateAboutXAxis({0, pi / 2, 1}, eps);
    EXPECT_NEAR(pole.latitude, pi / 2 - eps, kTol);
    EXPECT_NEAR(pole.longitude, 1.5 * pi, kTol);
    // The solstice point lon 90 deg: declination +eps, RA 90 deg.
    const SphericalPosition sol = rotateAboutXAxis({pi / 2, 0, 2}, eps);
    EXPECT_NEAR(sol.latitude, eps, kTol);
    EXPECT_NEAR(sol.longitude, pi / 2, kTol);
    EXPECT_EQ(sol.distance, 2);
    double worst = 0;
    for (double lon = 0; lon < 6.28; lon += 0.3) {
        const SphericalPosition p{lon, 0.3, 1};
        const SphericalPosition back = rotateAboutXAxis(rotateAboutXAxis(p, eps), -eps);
        worst = std::max({worst, std::fabs(normRadSigned(back.longitude - lon)),
                          std::fabs(back.latitude - 0.3)});
    }
    std::printf("ecliptic -> equatorial -> ecliptic: largest error %.2e\"\n", worst * rad);
    EXPECT_LT(worst, kTol);
}

TEST(Frames, RelativePositionOfTheSunIsOppositeTheEarth) {
    const SphericalPosition earth{1.75, 0.00001, 0.9833};
    const SphericalPosition sun = relativePosition({0, 0, 0}, earth);
    EXPECT_NEAR(normRadSigned(sun.longitude - (1.75 + pi)), 0, kTol);
    EXPECT_NEAR(sun.latitude, -0.00001, 1e-15);
    EXPECT_NEAR(sun.distance, 0.9833, 1e-15);
}

TEST(Nutation, ValuesAtJ2000AndSeparateLongitude) {
    const Nutation n = nutation(0);
    // Leading 0.01" terms at T = 0, hand-summed: dpsi -13.93", deps -5.77".
    std::printf("nutation(0): dpsi %.4f\" deps %.4f\"\n", n.dpsi * rad, n.deps * rad);
    EXPECT_NEAR(n.dpsi * rad, -13.935, 0.005);
    EXPECT_NEAR(n.deps * rad, -5.767, 0.005);
    for (double T = -4; T <= 2; T += 0.173) EXPECT_EQ(nutationInLongitude(T), nutation(T).dpsi);
    // Amplitude stays within the sum of the tabled amplitudes.
    for (double T = -4; T <= 2; T += 0.0137) EXPECT_LT(std::fabs(nutation(T).dpsi) * rad, 19.8);
}

TEST(Precession, ModelAndParameterLookUp) {
    EXPECT_DOUBLE_EQ(precessionAngle(0, "E", "P03"), 84381.406 / rad);
    EXPECT_DOUBLE_EQ(precessionAngle(0, "E", "P03"), meanObliquity(0));
    EXPECT_NEAR(meanObliquity(0), 0.4090926, 1e-7);
    for (double T : {-3.0, -0.5, 0.7, 2.0}) EXPECT_DOUBLE_EQ(precessionAngle(T, "E", "P03"), meanObliquity(T));
    // Model names ignore case; the trailing apostrophe of IAU1976' belongs to the name.
    EXPECT_DOUBLE_EQ(precessionAngle(1, "p", "p03"), precessionAngle(1, "p", "P03"));
    EXPECT_DOUBLE_EQ(precessionAngle(1, "w", "iau1976'"), (84381.448 + 0.05127 - 0.007726) / rad);
    EXPECT_EQ(precessionAngle(1, "w", "IAU1976"), 0);
    EXPECT_EQ(precessionAngle(1, "fi", "DE405"), 0);
    EXPECT_EQ(precessionAngle(1, "fi", ""), 0);
    // "p" is general precession (row 8), not "pi"; "P" is its own row; "II" and "z" work.
    EXPECT_NEAR(precessionAngle(1, "p", "P03") * rad, 5028.796195 + 1.1054348 + 0.00007964 - 0.000023857 + 3.83e-8, 1e-9);
    EXPECT_NEAR(precessionAngle(1, "pi", "P03") * rad, 46.998973 - 0.0334926 - 0.00012559 + 1.13e-7 - 2.2e-9, 1e-9);
    EXPECT_NEAR(precessionAngle(1, "P", "P03") * rad, 4.199094 + 0.1939873 - 0.00022466 - 9.12e-7 + 1.2e-8, 1e-9);
    EXPECT_NEAR(precessionAngle(0, "II", "IAU2000") * rad, 629554.886, 1e-6);
    EXPECT_NEAR(precessionAngle(0, "z", "IAU2000") * rad, -2.5976176, 1e-9);
    EXPECT_NEAR(precessionAngle(0, "Z", "IAU2000") * rad, 2.5976176, 1e-9);
    // Every name finds its own row at T = 1 (sum of its coefficients), case-sensitively.
    const struct {
        const char* name;
        double sum;
    } rows[] = {{"w", 84381.406 - 0.025754 + 0.0512623 - 0.00772503 - 4.67e-7 + 3.337e-7},
                {"Q", -46.811015 + 0.0510283 + 0.00052413 - 6.46e-7 - 1.72e-8},
                {"x", 10.556403 - 2.3814292 - 0.00121197 + 0.000170663 - 5.6e-8},
                {"II", 629546.7936 - 867.95758 + 0.157992 - 0.0005371 - 0.00004797 + 7.2e-8},
                {"th", 2004.191903 - 0.4294934 - 0.04182264 - 7.089e-6 - 1.274e-7},
                {"Z", 2.650545 + 2306.083227 + 0.2988499 + 0.01801828 - 5.971e-6 - 3.173e-7},
                {"z", -2.650545 + 2306.077181 + 1.0927348 + 0.01826837 - 0.000028596 - 2.904e-7}};
    for (const auto& r : rows) EXPECT_NEAR(precessionAngle(1, r.name, "P03") * rad, r.sum, 1e-8) << r.name;
    // The search is for the name plus one blank anywhere in the list, its row the 0-based
    // position / 3: a lone blank first matches the two blanks after "w" (row 1), "i" the end
    // of "fi" (row 0), "x  pi" spans two cells and gives the row where it starts (x).
    EXPECT_DOUBLE_EQ(precessionAngle(1.3, " ", "P03"), precessionAngle(1.3, "w", "P03"));
    EXPECT_DOUBLE_EQ(precessionAngle(1.3, "i", "P03"), precessionAngle(1.3, "fi", "P03"));
    EXPECT_DOUBLE_EQ(precessionAngle(1.3, "x  pi", "P03"), precessionAngle(1.3, "x", "P03"));
    EXPECT_DOUBLE_EQ(precessionAngle(1.3, "I", "P03"), precessionAngle(1.3, "II", "P03"));
    // Unknown names fall back to the fi row.
    EXPECT_DOUBLE_EQ(precessionAngle(1.3, "q", "P03"), precessionAngle(1.3, "fi", "P03"));
    EXPECT_DOUBLE_EQ(precessionAngle(1.3, "", "P03"), precessionAngle(1.3, "fi", "P03"));
    EXPECT_DOUBLE_EQ(precessionAngle(1.3, "zz", "P03"), precessionAngle(1.3, "fi", "P03"));
    // IAU1976' uses four coefficients only.
    EXPECT_NEAR(precessionAngle(10, "th", "IAU1976'") * rad,
                2004.3109 * 10 - 0.42665 * 100 - 0.041833 * 1000, 1e-6);
}

TEST(Precession, EclipticToDate) {
    // At T = 0 only constant terms act: w = E, so the position comes back.
    const SphericalPosition p{4.38, 0.19, 32.1};
    const SphericalPosition q = precessEclipticToDate(0, p, "P03");
    EXPECT_NEAR(q.longitude, p.longitude, kTol);
    EXPECT_NEAR(q.latitude, p.latitude, kTol);
    EXPECT_EQ(q.distance, p.distance);
    // After one century a point on the ecliptic advances by about the general precession
    // (5028.8") and stays within the tilt of the ecliptic (about 47" per century).
    double worstLon = 0;
    for (double lon = 0; lon < 6.28; lon += 0.5) {
        const SphericalPosition r = precessEclipticToDate(1, {lon, 0, 1}, "P03");
        const double dl = normRadSigned(r.longitude - lon) * rad;
        worstLon = std::max(worstLon, std::fabs(dl - 5028.8));
        EXPECT_LT(std::fabs(r.latitude) * rad, 48);
    }
    std::printf("precession over 1 century: largest departure from 5028.8\" %.2f\"\n", worstLon);
    EXPECT_LT(worstLon, 60);
    // The models agree to a fraction of an arcsecond per century.
    const SphericalPosition a = precessEclipticToDate(1, p, "P03");
    const SphericalPosition b = precessEclipticToDate(1, p, "IAU2000");
    const SphericalPosition c = precessEclipticToDate(1, p, "IAU1976'");
    EXPECT_LT(std::fabs(normRadSigned(a.longitude - b.longitude)) * rad, 1.0);
    EXPECT_LT(std::fabs(normRadSigned(a.longitude - c.longitude)) * rad, 1.0);
    // An unknown model leaves the position as it is.
    const SphericalPosition u = precessEclipticToDate(1, p, "none");
    EXPECT_NEAR(u.longitude, p.longitude, kTol);
    EXPECT_NEAR(u.latitude, p.latitude, kTol);
}
