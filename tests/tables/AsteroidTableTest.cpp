// The committed asteroid and outer-planet tables (and the star catalogue) are exactly what
// their generators make of the Swiss Ephemeris files, where libswe and the files are installed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include <sys/stat.h>

#include "tests/support/TestData.h"

namespace {
constexpr const char* kEphe = "/usr/share/libswe/ephe";

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}
}  // namespace

namespace {
// Runs gen_asteroid_tables (with `flag`) on the ephemeris files `files` and compares its output
// with the committed table.
void checkTable(const std::string& flag, const std::vector<std::string>& files, const std::string& committed) {
    const std::string exe = testdata::binaryDir() + "/tools/gen_asteroid_tables";
    if (!exists(exe)) GTEST_SKIP() << "gen_asteroid_tables not built (no libswe-dev)";
    for (const std::string& f : files)
        if (!exists(std::string(kEphe) + "/" + f)) GTEST_SKIP() << "swe-standard-data's " << f << " is not installed";
    const std::string out = testdata::freshTempDir("chebyshev") + "table.bin";
    const std::string cmd = "'" + exe + "' " + flag + "'" + kEphe + "' '" + out + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    const std::string fresh = readFile(out);
    ASSERT_FALSE(fresh.empty());
    EXPECT_TRUE(fresh == readFile(testdata::sourceDir() + "/" + committed))
        << committed << " differs from the generator's output";
}
}  // namespace

TEST(AsteroidTables, AsteroidTableIsReproducible) {
    checkTable("", {"seas_12.se1", "seas_18.se1"}, "astro/tables/asteroids.bin");
}

TEST(AsteroidTables, OuterPlanetTableIsReproducible) {
    checkTable("--planets ", {"sepl_12.se1", "sepl_18.se1"}, "astro/tables/outer_planets.bin");
}

TEST(AsteroidTables, StarCatalogueIsReproducible) {
    const std::string exe = testdata::binaryDir() + "/tools/gen_star_catalogue";
    const std::string source = std::string(kEphe) + "/sefstars.txt";
    if (!exists(exe)) GTEST_SKIP() << "gen_star_catalogue not built";
    if (!exists(source)) GTEST_SKIP() << "swe-basic-data's sefstars.txt is not installed";
    const std::string out = testdata::freshTempDir("stars") + "StarCatalogue.cpp";
    const std::string cmd = "'" + exe + "' '" + source + "' '" + out + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    const std::string fresh = readFile(out);
    ASSERT_FALSE(fresh.empty());
    EXPECT_TRUE(fresh == readFile(testdata::sourceDir() + "/astro/tables/StarCatalogue.cpp"))
        << "astro/tables/StarCatalogue.cpp differs from the generator's output";
}
