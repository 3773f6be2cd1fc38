// tarmin-cli positions: output layout, standard input, exit status.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "Mastrocalc.h"
#include "TestData.h"

namespace {
struct CliRun {
    int status = -1;
    std::vector<std::string> lines;
};

// Runs a shell command line, collecting standard output by lines and the exit status.
CliRun run(const std::string& cmd) {
    CliRun r;
    FILE* p = ::popen((cmd + " 2>/dev/null").c_str(), "r");
    if (p == nullptr) return r;
    std::string all;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) all.append(buf, n);
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    std::istringstream in(all);
    for (std::string l; std::getline(in, l);) r.lines.push_back(l);
    return r;
}

std::vector<std::string> fieldsOf(const std::string& line) {
    std::vector<std::string> f;
    std::istringstream in(line);
    for (std::string x; std::getline(in, x, '\t');) f.push_back(x);
    return f;
}

std::string cli() {
    const std::string exe = testdata::stageDir() + "tarmin-cli";
    struct stat st {};
    return ::stat(exe.c_str(), &st) == 0 ? "'" + exe + "'" : std::string();
}
}  // namespace

TEST(PositionsCli, OneInstantGivesTwelveLines) {
    const std::string exe = cli();
    if (exe.empty()) GTEST_SKIP() << "tarmin-cli not built";
    const CliRun r = run(exe + " positions '1997-01-01 00:00'");
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(r.lines.size(), 12u);
    const char* names[12] = {"太阳", "月亮", "水星", "金星", "火星", "木星", "土星", "天王星", "海王星", "冥王星", "升交点", "降交点"};
    MAstroCalc m;
    const DateTimeFields f{1997, 1, 1, 0, 0};
    m.setTime(f);
    for (int i = 0; i < 12; ++i) {
        const auto c = fieldsOf(r.lines[i]);
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
    EXPECT_EQ(fieldsOf(r.lines[2])[5], "2");  // Mercury retrograde
}

TEST(PositionsCli, StandardInputAndExitStatus) {
    const std::string exe = cli();
    if (exe.empty()) GTEST_SKIP() << "tarmin-cli not built";
    CliRun r = run("printf '2000-01-01 20:00\\n\\n-0500-03-01 12:00\\r\\n' | " + exe + " positions");
    EXPECT_EQ(r.status, 0);
    ASSERT_EQ(r.lines.size(), 24u);
    EXPECT_EQ(fieldsOf(r.lines[12])[0], "-0500-03-01 12:00");
    EXPECT_EQ(fieldsOf(r.lines[0])[3].substr(0, 6), "280.36");
    // A bad line is refused with status 1; the good lines are still answered.
    r = run("printf '2000-13-01 00:00\\n2000-01-01 00:00\\n' | " + exe + " positions");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.lines.size(), 12u);
    for (const char* bad : {"2001-02-29 10:00", "1582-10-10 12:00", "2000-01-01 24:00", "2000-1-01 10:00",
                            "2000-01-01T10:00", "2000-01-01 10:00 ", "abc"})
        EXPECT_EQ(run(exe + " positions '" + bad + "'").status, 1) << bad;
    EXPECT_EQ(run(exe + " positions '2000-01-01 10:00' extra").status, 2);
}
