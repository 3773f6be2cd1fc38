// The clock's offset at a wall-clock moment, from the system's time-zone database.
#include <gtest/gtest.h>

#include "atlas/TimeZones.h"

using atlas::offsetAt;
using atlas::WallTimeKind;

TEST(Clock, SummerTimeHalfHoursAndLocalMeanTime) {
    struct Case {
        const char* zone;
        atlas::WallTime t;
        int offset;
        bool summer;
    };
    const Case cases[] = {
        {"Asia/Shanghai", {1988, 7, 1, 10, 0}, 9 * 3600, true},     // China's summer time 1986-1991
        {"Asia/Shanghai", {1988, 12, 1, 10, 0}, 8 * 3600, false},
        {"Asia/Shanghai", {1992, 7, 1, 10, 0}, 8 * 3600, false},    // none after 1991
        {"America/New_York", {1990, 7, 1, 10, 0}, -4 * 3600, true},
        {"America/New_York", {1990, 1, 1, 10, 0}, -5 * 3600, false},
        {"Asia/Kolkata", {1990, 1, 1, 10, 0}, 5 * 3600 + 1800, false},
        {"Asia/Kathmandu", {1990, 1, 1, 10, 0}, 5 * 3600 + 2700, false},
        {"America/St_Johns", {1990, 1, 1, 10, 0}, -(3 * 3600 + 1800), false},
        {"Asia/Shanghai", {1900, 1, 1, 12, 0}, 8 * 3600 + 5 * 60 + 43, false},  // local mean time
    };
    for (const Case& c : cases) {
        const auto a = offsetAt(c.zone, c.t);
        ASSERT_EQ(a.kind, WallTimeKind::Unique) << c.zone << " " << c.t.year;
        EXPECT_EQ(a.offsetSeconds, c.offset) << c.zone << " " << c.t.year;
        EXPECT_EQ(a.summerTime, c.summer) << c.zone << " " << c.t.year;
    }
}

TEST(Clock, SkippedRepeatedAndUnknownAreRefusedWithBothCandidates) {
    // China's summer time began on 1986-05-04 at 02:00: 02:30 did not exist.
    const atlas::WallTime gap{1986, 5, 4, 2, 30};
    auto a = offsetAt("Asia/Shanghai", gap);
    EXPECT_EQ(a.kind, WallTimeKind::Skipped);
    std::string text = atlas::wallTimeProblemText("Asia/Shanghai", gap, a);
    EXPECT_NE(text.find("UTC+08:00"), std::string::npos) << text;
    EXPECT_NE(text.find("UTC+09:00"), std::string::npos) << text;
    // New York fell back on 1990-10-28 at 02:00: 01:30 came twice.
    const atlas::WallTime twice{1990, 10, 28, 1, 30};
    a = offsetAt("America/New_York", twice);
    EXPECT_EQ(a.kind, WallTimeKind::Repeated);
    EXPECT_EQ(a.earlierOffsetSeconds, -4 * 3600);
    EXPECT_EQ(a.laterOffsetSeconds, -5 * 3600);
    text = atlas::wallTimeProblemText("America/New_York", twice, a);
    EXPECT_NE(text.find("UTC-04:00"), std::string::npos) << text;
    EXPECT_NE(text.find("UTC-05:00"), std::string::npos) << text;
    // Either side of the change the answer is plain again.
    EXPECT_EQ(offsetAt("America/New_York", {1990, 10, 28, 2, 30}).offsetSeconds, -5 * 3600);
    EXPECT_EQ(offsetAt("Asia/Shanghai", {1986, 5, 4, 3, 0}).offsetSeconds, 9 * 3600);

    for (const char* bad : {"Mars/Olympus", "", "../../etc/passwd", "/etc/localtime"}) {
        EXPECT_EQ(offsetAt(bad, gap).kind, WallTimeKind::UnknownZone) << bad;
        EXPECT_FALSE(atlas::zoneExists(bad)) << bad;
    }
}

TEST(Clock, OffsetTexts) {
    EXPECT_EQ(atlas::offsetText(9 * 3600), "UTC+09:00");
    EXPECT_EQ(atlas::offsetText(-(3 * 3600 + 1800)), "UTC-03:30");
    EXPECT_EQ(atlas::offsetText(8 * 3600 + 343), "UTC+08:05:43");
    int s = 0;
    EXPECT_TRUE(atlas::parseOffsetText("+05:30", s));
    EXPECT_EQ(s, 5 * 3600 + 1800);
    EXPECT_TRUE(atlas::parseOffsetText("-4", s));
    EXPECT_EQ(s, -4 * 3600);
    for (const char* bad : {"05:30", "+5:60", "+15:00", "+a:00", "+", "+05:", "+123:00"})
        EXPECT_FALSE(atlas::parseOffsetText(bad, s)) << bad;
}

TEST(Clock, ZoneTextsReadEastAndRefuseRules) {
    // As people write offsets, the sign counts east (a POSIX rule would read "UTC+09:00" as
    // nine hours west); IANA names are zones; anything else, and beyond 14 hours, is refused.
    struct Case {
        const char* text;
        int offset;
    };
    for (const Case& c : {Case{"UTC+09:00", 9 * 3600}, Case{"UTC+9", 9 * 3600}, Case{"+09:00", 9 * 3600},
                          Case{"GMT+8", 8 * 3600}, Case{"UTC-03:30", -(3 * 3600 + 1800)},
                          Case{"+0530", 5 * 3600 + 1800}, Case{"+14:00", 14 * 3600}, Case{"-12:00", -12 * 3600}}) {
        int s = 0;
        std::string zone, message;
        EXPECT_TRUE(atlas::readZoneText(c.text, s, zone, message)) << c.text;
        EXPECT_EQ(s, c.offset) << c.text;
        EXPECT_TRUE(zone.empty()) << c.text;
    }
    int s = 0;
    std::string zone, message;
    EXPECT_TRUE(atlas::readZoneText("Asia/Tokyo", s, zone, message));
    EXPECT_EQ(zone, "Asia/Tokyo");
    for (const char* bad : {"+24:00", "-24:01", "+15:00", "UTC+14:01", "EST5EDT,M3.2.0,M11.1.0", "<+09>-9",
                            "JST-9", "Mars/Olympus", "UTC+09:00:00:00"}) {
        EXPECT_FALSE(atlas::readZoneText(bad, s, zone, message)) << bad;
        EXPECT_NE(message.find("无法识别"), std::string::npos) << bad;
    }
}

TEST(Clock, LocalMeanTimeOfTheLongitudeAndTheClockAtAnInstant) {
    // Before China's standard time each place kept its own mean time: longitude / 15 hours.
    auto a = atlas::offsetAt("Asia/Shanghai", {1880, 6, 1, 12, 0}, 116.4);  // Beijing
    EXPECT_EQ(a.offsetSeconds, 7 * 3600 + 45 * 60 + 36);
    EXPECT_TRUE(a.localMeanTime);
    a = atlas::offsetAt("Asia/Shanghai", {1880, 6, 1, 12, 0}, 91.1);  // Lhasa
    EXPECT_EQ(a.offsetSeconds, 6 * 3600 + 4 * 60 + 24);
    a = atlas::offsetAt("Asia/Shanghai", {1950, 6, 1, 12, 0}, 91.1);
    EXPECT_EQ(a.offsetSeconds, 8 * 3600);
    EXPECT_FALSE(a.localMeanTime);
    // UT instants: 1990-07-01 12:00 UT in New York (summer) and Kolkata; Shanghai in 1988's
    // summer time.
    const long long july1990 = 646833600;
    EXPECT_EQ(atlas::clockAt("America/New_York", july1990, -74.0).offsetSeconds, -4 * 3600);
    EXPECT_TRUE(atlas::clockAt("America/New_York", july1990, -74.0).summerTime);
    EXPECT_EQ(atlas::clockAt("Asia/Kolkata", july1990, 88.4).offsetSeconds, 5 * 3600 + 1800);
    EXPECT_EQ(atlas::clockAt("Asia/Shanghai", july1990 - 2 * 365 * 86400LL, 116.4).offsetSeconds, 9 * 3600);
    EXPECT_FALSE(atlas::clockAt("Mars/Olympus", july1990, 0).known);
}
