// The committed lunar series table: its shape, its telling rows, and that the generator
// reproduces it byte for byte from ../shared/data/elpmpp02.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "tests/support/TestData.h"
#include "astro/tables/MoonSeriesTable.h"

#define TARMIN_GEN_NO_MAIN
#include "../../tools/gen_moon_series.cpp"

namespace {

using MoonSeriesTable::slots;
using MoonSeriesTable::usedLength;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(MoonTable, SlotsHoldTheKeptTermsThenTheEndMarker) {
    const int terms[3][4] = {{442, 149, 34, 2}, {206, 45, 12, 0}, {221, 52, 12, 0}};
    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE("coordinate " + std::to_string(c) + " power " + std::to_string(i));
            const auto& s = slots[c][i];
            const int used = usedLength[c][i];
            ASSERT_EQ(used, 6 * terms[c][i]);
            ASSERT_LT(used, MoonSeriesTable::slotLength);
            EXPECT_EQ(s[used], 900000.0);
            for (int j = 0; j < used; j += 6) {
                // Positive amplitudes in decreasing order, phases in [0, 2pi), no stray markers.
                EXPECT_GT(s[j], 0.0) << "term " << j / 6;
                if (j > 0) {
                    EXPECT_LE(s[j], s[j - 6]) << "term " << j / 6;
                }
                EXPECT_GE(s[j + 1], 0.0);
                EXPECT_LT(s[j + 1], 2 * 3.14159265358979323846);
                for (int k = 0; k < 6; ++k) EXPECT_NE(s[j + k], 900000.0);
            }
            for (int j = used + 1; j < MoonSeriesTable::slotLength; ++j) ASSERT_EQ(s[j], 0.0);
        }
}

// The leading rows as published with the program's earlier table, which printed them rounded:
// every value must agree to half a unit of its last printed digit.
TEST(MoonTable, TellingRows) {
    struct Row {
        int c, i, k;
        double v[6];
    };
    const Row rows[] = {
        {0, 0, 0, {22639.586, 0.78475822, 8328.691424623, 1.5229241, 25.0719, -0.123598}},
        {0, 0, 1, {4586.438, 0.1873974, 7214.06286536, -2.184756, -18.86, 0.0828}},
        {1, 0, 0, {18461.24, 0.05710892, 8433.466157492, -0.6400617, -0.5345, -0.00294}},
        {2, 0, 0, {385000.51, 0, 0, 0, 0, 0}},
        {2, 0, 1, {20905.354, 5.4971472, 8328.691424623, 1.522924, 25.0719, -0.1236}},
        {0, 1, 0, {1.6768, 4.66926, 628.301955, -0.0266, 0.1, -0.005}},
    };
    // Half a unit of the last printed digit, per row and column.
    const double printed[6][6] = {
        {5e-4, 5e-9, 5e-10, 5e-8, 5e-5, 5e-7},   {5e-4, 5e-8, 5e-9, 5e-7, 5e-3, 5e-5},
        {5e-3, 5e-9, 5e-10, 5e-8, 5e-5, 5e-6},   {5e-3, 0, 0, 0, 0, 0},
        {5e-4, 5e-8, 5e-10, 5e-7, 5e-5, 5e-5},   {5e-5, 5e-6, 5e-7, 5e-5, 5e-2, 5e-4},
    };
    double worstPhase = 0;
    int r = 0;
    for (const Row& row : rows) {
        const double* t = &slots[row.c][row.i][6 * row.k];
        for (int j = 0; j < 6; ++j) {
            EXPECT_NEAR(t[j], row.v[j], printed[r][j] + 1e-12)
                << "row " << r << " column " << j;
            if (j == 1) worstPhase = std::max(worstPhase, std::fabs(t[j] - row.v[j]));
        }
        ++r;
    }
    std::printf("largest phase difference from the printed rows: %.2e rad\n", worstPhase);
}

TEST(MoonTable, GeneratorReproducesTheCommittedTable) {
    REQUIRE_SHARED_DATA();
    const std::string out = testdata::freshTempDir("moontable") + "MoonSeriesTable.cpp";
    const std::string err = moongen::generate(testdata::sharedDataDir(), out);
    ASSERT_EQ(err, "");
    const std::string fresh = readAll(out);
    const std::string committed = readAll(testdata::sourceDir() + "astro/tables/MoonSeriesTable.cpp");
    ASSERT_FALSE(committed.empty());
    if (fresh != committed) {
        size_t k = 0;
        while (k < fresh.size() && k < committed.size() && fresh[k] == committed[k]) ++k;
        FAIL() << "the regenerated table differs from the committed one at byte " << k;
    }
}

TEST(MoonTable, GeneratorReproducesTheFullerTable) {
    REQUIRE_SHARED_DATA();
    const std::string out = testdata::freshTempDir("moontable") + "MoonSeriesPrecise.cpp";
    ASSERT_EQ(moongen::generatePrecise(testdata::sharedDataDir(), out), "");
    const std::string committed = readAll(testdata::sourceDir() + "astro/tables/MoonSeriesPrecise.cpp");
    ASSERT_FALSE(committed.empty());
    EXPECT_TRUE(readAll(out) == committed) << "the regenerated fuller table differs from the committed one";
}

TEST(MoonTable, GeneratorFailsCleanlyOnAMissingFolder) {
    const std::string out = testdata::freshTempDir("moontable") + "x.cpp";
    EXPECT_NE(moongen::generate("/nonexistent-folder", out), "");
    EXPECT_NE(moongen::generatePrecise("/nonexistent-folder", out), "");
}

}  // namespace
