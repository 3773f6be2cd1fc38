// tarmin-cli chart, text and catalogue as a user runs them.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/CliRunner.h"
#include "tests/support/TestData.h"

namespace {
using CliRun = testcli::Result;
using testcli::lines;
using testcli::run;
}  // namespace

TEST(CliChart, PrintsAnglesCuspsBodiesAspectsAndPillars) {
    REQUIRE_CLI();
    const std::string dir = testdata::freshTempDir("clichart");
    const CliRun r = run("chart --name 测试 --date \"2000-01-01 12:00\" --lon 116:25 --lat 39:54 --png \"" +
                      dir + "c.png\" --reading \"" + dir + "r.txt\" --orb 6");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto v = lines(r.out);
    ASSERT_GE(v.size(), 27u);
    EXPECT_EQ(v[0].rfind("ASC\t", 0), 0u);
    EXPECT_EQ(v[1].rfind("MC\t", 0), 0u);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(v[2 + i].rfind("cusp " + std::to_string(i + 1) + "\t", 0), 0u);
    EXPECT_EQ(v[14].rfind("0\t太阳\t", 0), 0u);
    EXPECT_EQ(v[25].rfind("11\t降交点\t", 0), 0u);
    EXPECT_EQ(v.back(), "pillars\t己卯\t丙子\t戊午\t戊午");
    // An 800 x 700 PNG (IHDR width and height, big-endian, at bytes 16..23).
    std::ifstream png(dir + "c.png", std::ios::binary);
    unsigned char head[24] = {};
    png.read(reinterpret_cast<char*>(head), sizeof head);
    EXPECT_EQ((head[16] << 24) | (head[17] << 16) | (head[18] << 8) | head[19], 800);
    EXPECT_EQ((head[20] << 24) | (head[21] << 16) | (head[22] << 8) | head[23], 700);
    std::ifstream reading(dir + "r.txt");
    std::string first;
    std::getline(reading, first);
    EXPECT_EQ(first, "星座分析:");
}

TEST(CliChart, OrbOverrideForThisRun) {
    REQUIRE_CLI();
    // Orb 0 gives no aspect at all: angles, cusps, bodies and the pillars only.
    const CliRun r = run("chart --date \"1990-05-01 08:00\" --orb 0 --lines --bkcolor 0xE0F0FF");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lines(r.out).size(), 2u + 12 + 12 + 1);
}

TEST(CliChart, OptionsChangeTheHousesAndAddPointsAndTheAspectList) {
    REQUIRE_CLI();
    const std::string date = "chart --date \"1990-05-17 08:30\" --lat 45:45 ";
    CliRun r = run(date + "--houses w --true-node --lilith --fortune --minor --minor-orb 3 "
                          "--orbs 8,0,0,0,9 --aspect-list --transit \"2026-12-09 12:00\"");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto v = lines(r.out);
    int points = 0, natal = 0, transit = 0;
    for (int i = 0; i < 12; ++i) {  // whole signs: every cusp at 0 of a sign
        const double cusp = std::stod(v[static_cast<std::size_t>(2 + i)].substr(v[2 + i].find('\t') + 1));
        EXPECT_DOUBLE_EQ(std::fmod(cusp, 30.0), 0.0) << v[2 + i];
    }
    for (const std::string& line : v) {
        std::vector<std::string> f;
        std::stringstream in(line);
        for (std::string x; std::getline(in, x, '\t');) f.push_back(x);
        if (f[0] == "point") {
            ++points;
            EXPECT_EQ(f.size(), 7u) << line;
        } else if (f[0] == "aspect") {
            ASSERT_EQ(f.size(), 7u) << line;
            (f[1] == "natal" ? natal : transit)++;
            EXPECT_EQ(f[2].rfind("流", 0) == 0, f[1] == "transit") << line;
            EXPECT_TRUE(f[6] == "入相" || f[6] == "出相") << line;
            EXPECT_NE(f[5].find("°"), std::string::npos) << line;
        }
    }
    EXPECT_EQ(points, 3);
    EXPECT_GT(natal, 5);
    EXPECT_GT(transit, 5);
    // Tromsø: Koch has no cusps inside the polar circle, and the output says what stands in.
    r = run("chart --date \"1990-05-17 08:30\" --lon 18:57 --lat 69:39 --houses K");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\nhouses\tPorphyry\n"), std::string::npos) << r.out;
    // Options that do not read are refused with the usage.
    for (const char* bad : {"--houses X", "--houses", "--orbs 1,2,3,4", "--orbs 1,2,3,4,5,6",
                            "--orbs 1,2,x,4,5", "--minor-orb 0", "--orbs 1,2,3,4,31"})
        EXPECT_EQ(run(date + bad).status, 2) << bad;
}

TEST(CliChart, RefusedCastAndTransit) {
    REQUIRE_CLI();
    CliRun r = run("chart --date \"2001-02-30 08:00\"");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("不存在这个日期"), std::string::npos) << r.err;
    r = run("chart --date \"1990-05-01 08:00\" --transit \"1990-05-01 07:59\"");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("流年时间应大于出生时间。"), std::string::npos) << r.err;
    r = run("chart --date \"1990-05-01 08:00\" --transit \"1990-05-01 01:00\" --transit-zone 0");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(run("chart --date 1990-05-01").status, 2);
    EXPECT_EQ(run("chart --date \"1990-05-01 08:00\" --blood C").status, 2);
}

TEST(CliText, OneTextAndTheWholeCatalogue) {
    REQUIRE_CLI();
    CliRun r = run("text 3950");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "第一宫：自我意识、表达方式、外貌、人格及童年的成长环境。\n");
    r = run("catalogue");
    ASSERT_EQ(r.status, 0);
    const auto v = lines(r.out);
    EXPECT_EQ(v.size(), 928u);
    for (const auto& l : v) EXPECT_NE(l.find('\t'), std::string::npos);
    EXPECT_EQ(run("text 9999").out, "\n");
    EXPECT_EQ(run("text x").status, 2);
}

TEST(CliChart, PreciseForThisRun) {
    REQUIRE_CLI();
    const std::string harbin = "chart --date \"1990-05-17 08:30\" --lon 126:38 --lat 45:45";
    const CliRun plain = run(harbin);
    const CliRun precise = run(harbin + " --precise");
    ASSERT_EQ(precise.status, 0) << precise.err;
    const auto a = lines(plain.out), b = lines(precise.out);
    ASSERT_EQ(a.size(), b.size());
    EXPECT_NE(a[12], b[12]);  // cusp 11: half a degree apart at this latitude
    EXPECT_EQ(a.back(), b.back());  // the pillars do not depend on it
    // Beyond the polar circle the precise cusps are Porphyry's, and a last line says so.
    const std::string polar = "chart --date \"1990-12-21 12:00\" --lon 20:00 --lat 80:00";
    EXPECT_EQ(lines(run(polar + " --precise").out).back(), "houses\tPorphyry");
    EXPECT_EQ(lines(run(polar).out).back().rfind("pillars\t", 0), 0u);
}

TEST(CliChart, TransitReadAtThePlacesClock) {
    REQUIRE_CLI();
    // New York keeps UTC-4 on 4 July: at its clock the transit is the one of 西四区, an hour
    // before the one of the standard zone 西五区.
    const std::string dir = testdata::freshTempDir("clitransittz");
    auto picture = [&](const std::string& zone, const std::string& name) {
        const CliRun r = run("chart --date \"1990-01-01 10:00\" --zone 17 --lon -74:00 --lat 40:43 "
                             "--transit \"2026-07-04 12:00\" " +
                             zone + " --png \"" + dir + name + "\"");
        EXPECT_EQ(r.status, 0) << r.err;
        std::ifstream in(dir + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string local = picture("--transit-tz America/New_York", "a.png");
    EXPECT_EQ(local, picture("--transit-zone 16", "b.png"));
    EXPECT_NE(local, picture("--transit-zone 17", "c.png"));
}
