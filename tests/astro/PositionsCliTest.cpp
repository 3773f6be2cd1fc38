// tarmin-cli positions: output layout, standard input, exit status.
#include <gtest/gtest.h>


#include <cstdio>
#include <string>
#include <vector>

#include "astro/Mastrocalc.h"
#include "tests/support/CliRunner.h"

namespace {
struct CliRun {
    int status = -1;
    std::vector<std::string> lines;
};

CliRun run(const std::string& args, const std::string& input = "") {
    const testcli::Result r = testcli::run(args, input);
    return {r.status, testcli::lines(r.out)};
}

using testcli::fields;
}  // namespace

TEST(PositionsCli, OneInstantGivesTwelveLines) {
    REQUIRE_CLI();
    const CliRun r = run("positions '1997-01-01 00:00'");
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(r.lines.size(), 12u);
    const char* names[12] = {"太阳", "月亮", "水星", "金星", "火星", "木星", "土星", "天王星", "海王星", "冥王星", "升交点", "降交点"};
    MAstroCalc m;
    const DateTimeFields f{1997, 1, 1, 0, 0};
    m.setTime(f);
    for (int i = 0; i < 12; ++i) {
        const auto c = fields(r.lines[i]);
        ASSERT_EQ(c.size(), 6u) << r.lines[i];
        EXPECT_EQ(c[0], "1997-01-01 00:00");
        EXPECT_EQ(c[1], std::to_string(i));
        EXPECT_EQ(c[2], names[i]);
        double lon = 0, lat = 0;
        if (i < 10) {
            m.bodyPosition(i, lon, lat);
        } else {
            double n = 0, s = 0;
            m.lunarNodes(true, n, s);
            lon = i == 10 ? n : s;
        }
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.6f", lon);
        EXPECT_EQ(c[3], buf) << i;
        std::snprintf(buf, sizeof buf, "%.6f", lat);
        EXPECT_EQ(c[4], buf) << i;
        EXPECT_EQ(c[5], std::to_string(i < 10 ? m.retrogradeState(i, f) : 0)) << i;
    }
    EXPECT_EQ(fields(r.lines[2])[5], "2");  // Mercury retrograde
}

TEST(PositionsCli, StandardInputAndExitStatus) {
    REQUIRE_CLI();
    CliRun r = run("positions", "2000-01-01 20:00\n\n-0500-03-01 12:00\r\n");
    EXPECT_EQ(r.status, 0);
    ASSERT_EQ(r.lines.size(), 24u);
    EXPECT_EQ(fields(r.lines[12])[0], "-0500-03-01 12:00");
    EXPECT_EQ(fields(r.lines[0])[3].substr(0, 6), "280.36");
    // A bad line is refused with status 1; the good lines are still answered.
    r = run("positions", "2000-13-01 00:00\n2000-01-01 00:00\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.lines.size(), 12u);
    for (const char* bad : {"2001-02-29 10:00", "1582-10-10 12:00", "2000-01-01 24:00",
                            "2000-01-01T10:00", "2000-001-01 10:00", "abc"})
        EXPECT_EQ(run("positions '" + std::string(bad) + "'").status, 1) << bad;
    // The same reader as the other commands: one-digit fields and surrounding blanks are fine.
    EXPECT_EQ(run("positions '2004-2-3 10:00 '").status, 0);
    EXPECT_EQ(run("positions '2000-01-01 10:00' extra").status, 2);
}

// --precise before or after the instant, on standard input too: the precise calculator's
// values, Pluto with a motion mark; the flag is not taken for an instant.
TEST(PositionsCli, PreciseFlag) {
    REQUIRE_CLI();
    const CliRun a = run("positions --precise '1997-01-01 00:00'");
    const CliRun b = run("positions '1997-01-01 00:00' --precise");
    const CliRun s = run("positions --precise", "1997-01-01 00:00\n");
    ASSERT_EQ(a.status, 0);
    ASSERT_EQ(a.lines.size(), 12u);
    EXPECT_EQ(a.lines, b.lines);
    EXPECT_EQ(a.lines, s.lines);
    MAstroCalc m;
    m.setPrecise(true);
    const DateTimeFields f{1997, 1, 1, 0, 0};
    m.setTime(f);
    for (int i = 0; i < 10; ++i) {
        double lon = 0, lat = 0;
        m.bodyPosition(i, lon, lat);
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.6f", lon);
        EXPECT_EQ(fields(a.lines[i])[3], buf) << i;
        EXPECT_EQ(fields(a.lines[i])[5], std::to_string(m.retrogradeState(i, f))) << i;
    }
    EXPECT_NE(fields(a.lines[9])[5], "0");  // Pluto
    EXPECT_NE(a.lines, run("positions '1997-01-01 00:00'").lines);
    EXPECT_EQ(run("positions --precise '1997-01-01 00:00' extra").status, 2);
}

// The asteroids follow the nodes as lines 12-16 in the same layout, only the ones asked for;
// the twelve lines before them are those of the plain command.
TEST(PositionsCli, AsteroidsAfterTheNodes) {
    REQUIRE_CLI();
    const CliRun plain = run("positions --precise '2024-06-01 08:00'");
    const CliRun all = run("positions --precise --asteroids '2024-06-01 08:00'");
    ASSERT_EQ(all.status, 0);
    ASSERT_EQ(all.lines.size(), 17u);
    EXPECT_EQ(std::vector<std::string>(all.lines.begin(), all.lines.begin() + 12), plain.lines);
    const char* names[5] = {"凯龙星", "谷神星", "智神星", "婚神星", "灶神星"};
    for (int b = 0; b < 5; ++b) {
        const auto c = fields(all.lines[static_cast<std::size_t>(12 + b)]);
        ASSERT_EQ(c.size(), 6u);
        EXPECT_EQ(c[1], std::to_string(12 + b));
        EXPECT_EQ(c[2], names[b]);
        EXPECT_TRUE(c[5] == "1" || c[5] == "2");
    }
    const CliRun some = run("positions --bodies juno,chiron '2024-06-01 08:00'");
    ASSERT_EQ(some.lines.size(), 14u);
    EXPECT_EQ(fields(some.lines[12])[1], "12");
    EXPECT_EQ(fields(some.lines[13])[1], "15");
    EXPECT_EQ(run("positions --bodies eris '2024-06-01 08:00'").status, 2);
    EXPECT_EQ(run("positions --asteroids '2300-01-01 00:00'").status, 1);
}

// tarmin-cli stars: one line per named star; Regulus crossed into Virgo late in 2011 and moves
// on by 50" a year (0 Virgo 10' in 2024); a missing instant is a usage error.
TEST(PositionsCli, StarsListEveryNamedStar) {
    REQUIRE_CLI();
    const CliRun r = run("stars --precise '2024-01-01 08:00'");
    ASSERT_EQ(r.status, 0);
    ASSERT_GE(r.lines.size(), 50u);
    bool regulus = false;
    for (const std::string& line : r.lines) {
        const auto c = fields(line);
        ASSERT_EQ(c.size(), 6u) << line;
        if (c[0] != "轩辕十四") continue;
        regulus = true;
        EXPECT_NEAR(std::stod(c[3]), 150.17, 0.03);
    }
    EXPECT_TRUE(regulus);
    EXPECT_EQ(run("stars").status, 2);
    EXPECT_EQ(run("stars '2024-02-30 00:00'").status, 1);
}
