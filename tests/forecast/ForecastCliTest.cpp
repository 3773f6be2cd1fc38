// tarmin-cli events and transits: the line layout, the clock of the list, and the CSV and
// iCalendar files read back (the calendar by libical's parser).
#include <gtest/gtest.h>

#include <libical/ical.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/CliRunner.h"

namespace {
std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(ForecastCli, EventsOfSpring2024InTimeOrderAndInAPickedClock) {
    REQUIRE_CLI();
    const auto r = testcli::run("events --from 2024-03-18 --to 2024-04-10");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = testcli::lines(r.out);
    std::string last;
    bool equinox = false, eclipse = false, mercury = false, newMoon = false;
    for (const auto& l : lines) {
        const auto f = testcli::fields(l);
        ASSERT_GE(f.size(), 3u) << l;
        ASSERT_EQ(f[0].size(), 16u) << l;
        EXPECT_LE(last, f[0]);
        last = f[0];
        // Published instants in UTC+8: equinox 2024-03-20 11:06, total eclipse 04-09 02:17,
        // Mercury stationary 04-02 06:14, new moon 04-09 02:21 in 白羊 19°24'.
        if (f[1] == "节气" && f[2] == "春分") equinox = f[0] == "2024-03-20 11:06";
        if (f[1] == "日食") eclipse = f[0] == "2024-04-09 02:17" && f[2] == "全食";
        if (f[1] == "留" && f[2] == "水星") mercury = f[3] == "逆" && f[0].substr(0, 13) == "2024-04-02 06";
        if (f[1] == "新月" && f[0].substr(0, 10) == "2024-04-09") newMoon = f[2] == "白羊19°24′" && f[3] == "三月朔";
    }
    EXPECT_TRUE(equinox && eclipse && mercury && newMoon) << r.out;
    // The same equinox in New York (summer time from 03-10) and in the zone list's 西五区.
    const auto ny = testcli::run("events --from 2024-03-19 --to 2024-03-20 --kinds term --tz America/New_York");
    EXPECT_EQ(ny.out, "2024-03-19 23:06\t节气\t春分\n");
    const auto w5 = testcli::run("events --from 2024-03-19 --to 2024-03-20 --kinds term --zone 17");
    EXPECT_EQ(w5.out, "2024-03-19 22:06\t节气\t春分\n");
    EXPECT_EQ(testcli::run("events --from 2024-03-19").status, 2);
    EXPECT_EQ(testcli::run("events --from 2024-03-19 --to 2024-03-20 --kinds comet").status, 2);
    EXPECT_EQ(testcli::run("events --from 2024-03-19 --to 2024-03-20 --tz Mars/Olympus").status, 1);
}

TEST(ForecastCli, TransitsWithOrbTimesAndTheirFiles) {
    REQUIRE_CLI();
    const std::string csv = testing::TempDir() + "/transits.csv", ics = testing::TempDir() + "/transits.ics";
    const auto r = testcli::run("transits --name 甲 --date '1990-05-17 14:30' --lon 116:25 --lat 39:55 "
                                "--from 2026-01-01 --to 2026-03-31 --orb-times --csv " + csv + " --ics " + ics);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = testcli::lines(r.out);
    ASSERT_GT(lines.size(), 20u);
    const std::string bodies = "太阳水星金星火星木星土星天王星海王星冥王星";
    for (const auto& l : lines) {
        const auto f = testcli::fields(l);
        ASSERT_EQ(f.size(), 6u) << l;
        EXPECT_NE(bodies.find(f[1]), std::string::npos) << l;
        EXPECT_TRUE(f[2] == "相合" || f[2] == "六分" || f[2] == "四分" || f[2] == "三分" || f[2] == "相冲") << l;
        EXPECT_LE(f[4], f[0]) << l;
        EXPECT_GE(f[5], f[0]) << l;
    }
    const std::string table = readFile(csv);
    EXPECT_EQ(table.rfind("\"时间\",\"行运星\",\"相位\",\"本命点\"", 0), 0u);
    icalcomponent* cal = icalparser_parse_string(readFile(ics).c_str());
    ASSERT_NE(cal, nullptr);
    int events = 0;
    for (icalcomponent* e = icalcomponent_get_first_component(cal, ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(cal, ICAL_VEVENT_COMPONENT)) {
        ++events;
        EXPECT_LE(icaltime_compare(icalcomponent_get_dtstart(e), icalcomponent_get_dtend(e)), 0);
    }
    EXPECT_EQ(events, static_cast<int>(lines.size()));
    icalcomponent_free(cal);
    // Without --orb-times four fields; the Moon adds its many hits.
    const auto plain = testcli::run("transits --name 甲 --date '1990-05-17 14:30' --from 2026-01-01 --to 2026-01-31");
    const auto moon = testcli::run("transits --name 甲 --date '1990-05-17 14:30' --from 2026-01-01 --to 2026-01-31 --moon");
    ASSERT_FALSE(testcli::lines(plain.out).empty());
    EXPECT_EQ(testcli::fields(testcli::lines(plain.out)[0]).size(), 4u);
    EXPECT_GT(testcli::lines(moon.out).size(), testcli::lines(plain.out).size() + 50);
}
TEST(ForecastCli, ListFilesRefuseAFifoAndKeepAnOldFile) {
    // A FIFO named as the CSV or iCalendar file is refused without waiting for a reader (the
    // command would hang on it otherwise): exit 1 with the reason, the FIFO left as it was; a
    // refused iCalendar leaves the CSV written before it whole.
    REQUIRE_CLI();
    const std::string fifo = testing::TempDir() + "/events-fifo", csv = testing::TempDir() + "/events-ok.csv";
    std::remove(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string period = "events --from 2024-03-01 --to 2024-03-31 --kinds lunation ";
    for (const std::string& option : {"--csv " + fifo, "--ics " + fifo, "--csv " + csv + " --ics " + fifo}) {
        const auto r = testcli::run(period + option);
        EXPECT_EQ(r.status, 1) << option;
        EXPECT_NE(r.err.find("不是普通文件"), std::string::npos) << r.err;
        struct stat st {};
        ASSERT_EQ(stat(fifo.c_str(), &st), 0);
        EXPECT_TRUE(S_ISFIFO(st.st_mode));
    }
    EXPECT_EQ(readFile(csv).rfind("\"时间\",\"天象\",\"内容\"", 0), 0u);
    std::remove(fifo.c_str());
}
}  // namespace
