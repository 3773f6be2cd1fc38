// The planetary and Pluto series tables, the truncation rule of seriesValue, Pluto's position.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "astro/AstroConstants.h"
#include "astro/Eph0.h"
#include "VsopReference.h"
#include "astro/tables/PlanetSeriesTable.h"
#include "astro/tables/PlutoSeriesTable.h"

using AstroConstants::rad;
namespace pst = PlanetSeriesTable;

namespace {
// Terms kept per body, coordinate and power (the layout the station search and calendar rely on).
constexpr int kCounts[8][3][6] = {
    {{186, 114, 60, 8, 4, 4}, {23, 3, 1, 0, 0, 0}, {236, 142, 85, 5, 9, 2}},
    {{141, 89, 17, 10, 9, 2}, {73, 21, 12, 9, 7, 2}, {118, 64, 13, 9, 5, 0}},
    {{79, 39, 17, 4, 4, 3}, {36, 21, 4, 4, 4, 1}, {87, 37, 14, 3, 1, 0}},
    {{192, 144, 87, 32, 14, 9}, {44, 28, 8, 5, 3, 2}, {212, 171, 94, 28, 12, 4}},
    {{161, 120, 131, 65, 26, 7}, {42, 42, 36, 18, 8, 1}, {174, 144, 179, 93, 45, 9}},
    {{262, 200, 180, 77, 35, 17}, {68, 63, 47, 32, 15, 6}, {355, 324, 242, 157, 64, 28}},
    {{173, 99, 48, 30, 5, 1}, {35, 26, 12, 5, 1, 0}, {275, 170, 92, 51, 11, 0}},
    {{56, 24, 7, 4, 2, 1}, {19, 15, 5, 1, 1, 0}, {71, 21, 14, 1, 0, 0}},
};
constexpr double kScale[8] = {1e10, 1e9, 1e9, 1e9, 1e8, 1e8, 1e8, 1e8};

// Number of terms of power i that seriesValue keeps for n terms of tau^0.
int keptTerms(int b, int c, int i, int n) {
    const int cnt = kCounts[b][c][i];
    if (cnt == 0) return 0;
    if (n < 0) return cnt;
    const int len = 3 * cnt, n0 = 3 * kCounts[b][c][0];
    int end = static_cast<int>(std::floor(3.0 * n * len / n0 + 0.5)) + (i > 0 ? 3 : 0);
    end = std::min(end, len);
    return (end + 2) / 3;
}

double partialSum(int b, int c, double T, int n) {
    const double tau = T / 10;
    double v = 0, tn = 1;
    for (int i = 0; i < 6; ++i, tn *= tau) {
        const int lo = pst::starts[b][6 * c + i];
        double s = 0;
        for (int k = 0; k < keptTerms(b, c, i, n); ++k) {
            const double* t = &pst::blocks[b][lo + 3 * k];
            s += t[0] * std::cos(t[1] + t[2] * tau);
        }
        v += s * tn;
    }
    return v / kScale[b];
}
}  // namespace

TEST(PlanetSeriesTable, LayoutCountsAndOrdering) {
    for (int b = 0; b < 8; ++b) {
        const auto& blk = pst::blocks[b];
        EXPECT_EQ(blk[0], kScale[b]) << b;
        int pos = pst::kFirstTerm;
        for (int k = 0; k < 18; ++k) {
            EXPECT_EQ(pst::starts[b][k], pos) << b << " " << k;
            EXPECT_EQ(blk[1 + k], pst::starts[b][k]);
            pos += 3 * kCounts[b][k / 6][k % 6];
        }
        EXPECT_EQ(pst::starts[b][18], pos);
        EXPECT_EQ(blk[19], pos);
        ASSERT_LE(pos, pst::kBlockSize);
        for (int k = pos; k < pst::kBlockSize; ++k) ASSERT_EQ(blk[k], 0.0) << b << " " << k;
        for (int k = 0; k < 18; ++k) {
            for (int j = pst::starts[b][k] + 3; j < pst::starts[b][k + 1]; j += 3)
                EXPECT_GE(std::fabs(blk[j - 3]), std::fabs(blk[j])) << b << " " << k << " " << j;
        }
    }
}

TEST(PlanetSeriesTable, TellingRows) {
    const auto& e = pst::blocks[0];
    const int l0 = pst::starts[0][0], l1 = pst::starts[0][1], r0 = pst::starts[0][12];
    // Published values; the last printed digit of Earth L0 term 2 and R0 term 1 comes from
    // the file's extra digits (0.03341656456, 1.00013988799), hence 1e-10 tolerances.
    EXPECT_NEAR(e[l0] / 1e10, 1.7534704567, 1e-10);
    EXPECT_EQ(e[l0 + 1], 0);
    EXPECT_EQ(e[l0 + 2], 0);
    EXPECT_NEAR(e[l0 + 3] / 1e10, 0.0334165646, 1e-10);
    EXPECT_NEAR(e[l0 + 4], 4.669256804, 1e-9);
    EXPECT_NEAR(e[l0 + 5], 6283.075849991, 1e-9);
    EXPECT_NEAR(e[l1] / 1e10, 6283.3196674749, 1e-10);
    EXPECT_NEAR(e[r0] / 1e10, 1.000139888, 1e-10);
    const auto& m = pst::blocks[1];
    EXPECT_NEAR(m[20] / 1e9, 4.402507101, 1e-9);
    EXPECT_NEAR(m[23] / 1e9, 0.40989415, 1e-9);
    EXPECT_NEAR(m[24], 1.483020342, 1e-9);
    EXPECT_NEAR(m[25], 26087.903141574, 1e-9);
}

TEST(PlanetSeriesTable, TermsAreTheLargestPublishedTerms) {
    REQUIRE_SHARED_DATA();
    static const vsopref::FullVsop full;
    ASSERT_TRUE(full.loaded());
    double worst = 0;
    for (int b = 0; b < 8; ++b)
        for (int c = 0; c < 3; ++c)
            for (int i = 0; i < 6; ++i) {
                auto pub = full.sub(b, c, i);
                std::stable_sort(pub.begin(), pub.end(),
                                 [](const vsopref::Term& x, const vsopref::Term& y) { return x.a > y.a; });
                ASSERT_GE(static_cast<int>(pub.size()), kCounts[b][c][i]);
                for (int k = 0; k < kCounts[b][c][i]; ++k) {
                    const double* t = &pst::blocks[b][pst::starts[b][6 * c + i] + 3 * k];
                    worst = std::max(worst, std::fabs(t[0] / kScale[b] - pub[k].a) / std::max(pub[k].a, 1e-30));
                    ASSERT_EQ(t[1], pub[k].p);
                    ASSERT_EQ(t[2], pub[k].f);
                }
            }
    std::printf("largest relative amplitude difference to the published terms: %.1e\n", worst);
    EXPECT_LT(worst, 1e-14);
}

TEST(SeriesValue, TruncationRule) {
    for (int b = 0; b < 8; ++b)
        for (int c = 0; c < 3; ++c)
            for (double T : {-4.0, -0.31, 0.0, 0.77, 2.0}) {
                const double all = seriesValue(b, c, T, -1);
                // More terms than stored use all of them.
                EXPECT_EQ(seriesValue(b, c, T, 100000), all);
                EXPECT_EQ(seriesValue(b, c, T, kCounts[b][c][0]), all);
                // The kept terms follow the fraction rule; compare with the table summed directly
                // (the corrections are constant in n, so differences of n isolate the terms).
                for (int n : {0, 1, 8, 10, 37}) {
                    const double d = (seriesValue(b, c, T, n) - all) - (partialSum(b, c, T, n) - partialSum(b, c, T, -1));
                    EXPECT_LT(std::fabs(d), 1e-12) << b << " " << c << " " << n;
                }
            }
    // n = 0 keeps no tau^0 term and the first term of every higher power: for the Earth's L
    // at one millennium (tau = 1) that is the sum of the leading terms of tau^1..tau^5.
    double lead = 0;
    for (int i = 1; i < 6; ++i) {
        const double* t = &pst::blocks[0][pst::starts[0][i]];
        lead += t[0] * std::cos(t[1] + t[2]);
    }
    const double earthCorr = (-0.0728 - 2.7702 - 1.1019 - 0.0996) / rad;
    EXPECT_NEAR(seriesValue(0, 0, 10, 0), lead / 1e10 + earthCorr, 1e-12);
    // Out-of-range arguments read nothing and give 0.
    EXPECT_EQ(seriesValue(8, 0, 0.1, -1), 0);
    EXPECT_EQ(seriesValue(-1, 0, 0.1, -1), 0);
    EXPECT_EQ(seriesValue(0, 3, 0.1, -1), 0);
}

TEST(SeriesValue, EarthAtJ2000AndCorrections) {
    // At T = 0 only the constant and the tau^0 part act.
    EXPECT_NEAR(seriesValue(0, 2, 0, -1), 0.98333, 5e-6);
    EXPECT_NEAR(seriesValue(0, 0, 0, -1), 1.75192, 5e-6);
    // Earth B tau^3..5 are empty; their powers still advance (tau^2 stays tau^2).
    EXPECT_EQ(pst::starts[0][9], pst::starts[0][12]);
    // Mercury at T = 0: the fixed corrections are the whole non-series part.
    const double corr = -0.08631 / rad;
    EXPECT_NEAR(seriesValue(1, 0, 0, -1) - partialSum(1, 0, 0, -1), corr, 1e-15);
    EXPECT_NEAR(seriesValue(6, 2, 0, -1) - partialSum(6, 2, 0, -1), -14.46266e-6, 1e-13);
    // One millennium on, the -3" tau drift is added too.
    EXPECT_NEAR(seriesValue(7, 0, 10, -1) - partialSum(7, 0, 10, -1), (-3 - 0.95116) / rad, 1e-13);
}

TEST(SeriesValue, HeliocentricPositionDispatch) {
    const SphericalPosition s = heliocentricPosition(9, 0.3, -1, -1, -1);
    EXPECT_EQ(s.longitude, 0);
    EXPECT_EQ(s.latitude, 0);
    EXPECT_EQ(s.distance, 0);
    // The Sun seen from the Earth: the Earth's longitude plus 180 deg, same distance. (The
    // series longitude runs over many turns; the geometric comparison uses full-precision pi,
    // since reducing 30 turns with the program's nine-digit pi moves it by 0.045".)
    const double truePi = std::acos(-1.0);
    const SphericalPosition e = heliocentricPosition(0, 0.3, -1, -1, -1);
    const SphericalPosition sun = relativePosition(s, e);
    EXPECT_NEAR(std::remainder(sun.longitude - e.longitude - truePi, 2 * truePi) * rad, 0, 0.005);
    EXPECT_NEAR(sun.latitude, -e.latitude, 1e-15);
    EXPECT_NEAR(sun.distance, e.distance, 1e-15);
    const SphericalPosition m = heliocentricPosition(3, 0.3, 8, 5, -1);
    EXPECT_EQ(m.longitude, seriesValue(3, 0, 0.3, 8));
    EXPECT_EQ(m.latitude, seriesValue(3, 1, 0.3, 5));
    EXPECT_EQ(m.distance, seriesValue(3, 2, 0.3, -1));
}

TEST(PlutoSeriesTable, LayoutAndOrdering) {
    constexpr int kTerms[9] = {193, 26, 13, 183, 29, 14, 170, 20, 11};
    const auto& s0 = PlutoSeriesTable::series[0];
    EXPECT_EQ(s0[0], 3670347369);
    EXPECT_EQ(s0[1], 254266726);
    EXPECT_EQ(s0[2], 33423175);
    for (int s = 0; s < 9; ++s) {
        const auto& slot = PlutoSeriesTable::series[s];
        for (int k = 0; k < kTerms[s]; ++k) {
            ASSERT_NE(slot[3 * k], PlutoSeriesTable::kTerminator);
            if (k > 0) {
                ASSERT_GE(std::llabs(slot[3 * k - 3]), std::llabs(slot[3 * k])) << s << " " << k;
            }
        }
        EXPECT_EQ(slot[3 * kTerms[s]], PlutoSeriesTable::kTerminator) << s;
    }
}

TEST(PlutoPosition, MeeusExampleAndPrecession) {
    // Meeus, Astronomical Algorithms, example 37.a: 1992-10-13 0h TD, heliocentric J2000
    // l = 232.74071 deg, b = 14.58782 deg, R = 29.711111 AU (rounded to 0.00001 deg).
    const double T = (2448908.5 - 2451545) / 36525;
    const SphericalPosition p = rectangularToSpherical(plutoPosition(T));
    const double dl = (p.longitude * AstroConstants::radd - 232.74071) * 3600;
    const double db = (p.latitude * AstroConstants::radd - 14.58782) * 3600;
    std::printf("Pluto vs Meeus 37.a: dl %.3f\" db %.3f\" dR %.2e AU\n", dl, db, p.distance - 29.711111);
    EXPECT_LT(std::fabs(dl), 0.2);
    EXPECT_LT(std::fabs(db), 0.2);
    EXPECT_NEAR(p.distance, 29.711111, 3e-5);
    // heliocentricPosition(8) is the same point on the ecliptic of date.
    const SphericalPosition d = heliocentricPosition(8, T, 0, 0, 0);
    const SphericalPosition e = precessEclipticToDate(T, p, "P03");
    EXPECT_EQ(d.longitude, e.longitude);
    EXPECT_EQ(d.latitude, e.latitude);
    // About 7.4 years of precession at 50.29"/yr.
    EXPECT_NEAR(normRadSigned(d.longitude - p.longitude) * rad, -7.22 * 50.29, 10);
}

TEST(PlutoPosition, OutsideTheFittedIntervalStillEvaluates) {
    // u = -1 and 1 at JD 626150.5 and 2811150.5; at T = +-80 centuries |u| is above 2 and the
    // polynomial in u still gives a finite point (far from the true orbit, as expected).
    for (double T : {-80.0, -49.98, 0.0, 9.99, 80.0}) {
        const RectangularPosition r = plutoPosition(T);
        EXPECT_TRUE(std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.z)) << T;
        const SphericalPosition p = heliocentricPosition(8, T, -1, -1, -1);
        EXPECT_TRUE(std::isfinite(p.longitude) && std::isfinite(p.latitude)) << T;
        EXPECT_GE(p.longitude, 0);
        EXPECT_LT(p.longitude, 2 * AstroConstants::pi);
    }
    // Inside the interval the distance stays within Pluto's orbit (29.6 .. 49.4 AU).
    for (double T = -49; T < 9.9; T += 0.37) {
        const RectangularPosition r = plutoPosition(T);
        const double dist = std::sqrt(r.x * r.x + r.y * r.y + r.z * r.z);
        EXPECT_GT(dist, 29.4) << T;
        EXPECT_LT(dist, 49.6) << T;
    }
}
