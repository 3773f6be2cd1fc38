// The committed planetary and Pluto series tables are exactly what the generators make of the
// published data.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>

#include "tests/support/TestData.h"

namespace {
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

void checkGenerator(const std::string& tool, const std::string& committed, const std::string& flag = "") {
    const std::string exe = testdata::binaryDir() + "/tools/" + tool;
    if (!exists(exe)) GTEST_SKIP() << exe << " not built";
    const std::string out = testdata::freshTempDir(tool) + "out.cpp";
    const std::string cmd = "'" + exe + "' " + flag + "'" + testdata::sharedDataDir() + "' '" + out + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    const std::string fresh = readFile(out);
    const std::string kept = readFile(testdata::sourceDir() + "/" + committed);
    ASSERT_FALSE(fresh.empty());
    if (fresh != kept) {
        size_t i = 0;
        while (i < fresh.size() && i < kept.size() && fresh[i] == kept[i]) ++i;
        const size_t line = 1 + static_cast<size_t>(std::count(kept.begin(), kept.begin() + static_cast<long>(i), '\n'));
        FAIL() << committed << " differs from the generator's output from line " << line;
    }
}
}  // namespace

TEST(PlanetTables, PlanetSeriesTableIsReproducible) {
    REQUIRE_SHARED_DATA();
    checkGenerator("gen_planet_series", "astro/tables/PlanetSeriesTable.cpp");
}

TEST(PlanetTables, PlutoSeriesTableIsReproducible) {
    REQUIRE_SHARED_DATA();
    checkGenerator("gen_pluto_series", "astro/tables/PlutoSeriesTable.cpp");
}

TEST(PlanetTables, FullerPlanetSeriesTableIsReproducible) {
    REQUIRE_SHARED_DATA();
    checkGenerator("gen_planet_series", "astro/tables/PlanetSeriesPrecise.cpp", "--precise ");
}

TEST(PlanetTables, StationTableIsReproducible) {
    checkGenerator("gen_station_table", "astro/tables/StationTable.cpp");
}
