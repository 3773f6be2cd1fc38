// The clock and the texts of the lists, on cases worked by hand: minutes rounded across a year's
// end, local midnight on the day summer time begins, a zone's offset either side of its change,
// sign degrees at the circle's ends, the Chinese month of a lunation in a leap year, and the
// sky's iCalendar read back by libical.
#include <gtest/gtest.h>

#include <libical/ical.h>

#include <cmath>

#include "astro/Eph0.h"
#include "atlas/TimeZones.h"
#include "calendar/Yidateex.h"
#include "forecast/Export.h"

namespace {
using namespace forecast;

TEST(ForecastText, ClockOfAListAcrossMidnightAndSummerTime) {
    const ClockOffset east8 = fixedOffset(8 * 3600);
    // 2024-12-31 23:59:40 UT is 2025-01-01 07:59:40 in UTC+8, which rounds to 08:00.
    EXPECT_EQ(localTimeText(julianDay(2024, 12, 31 + (23 * 3600 + 59 * 60 + 40) / 86400.0), east8), "2025-01-01 08:00");
    EXPECT_EQ(localTimeText(julianDay(2024, 12, 31 + (15 * 3600 + 59 * 60 + 29) / 86400.0), east8), "2024-12-31 23:59");
    // New York: standard time until 2024-03-10 07:00 UT, summer time from then on.
    const ClockOffset clock = [](double jd) {
        return atlas::clockAt("America/New_York", std::llround((jd - 2440587.5) * 86400), std::nan("")).offsetSeconds;
    };
    const double change = julianDay(2024, 3, 10 + 7 / 24.0);
    EXPECT_EQ(clock(change - 1.0 / 86400), -5 * 3600);
    EXPECT_EQ(clock(change + 1.0 / 86400), -4 * 3600);
    EXPECT_NEAR((localMidnight(2024, 3, 10, clock) - julianDay(2024, 3, 10 + 5 / 24.0)) * 86400, 0, 1e-3);
    EXPECT_NEAR((localMidnight(2024, 3, 11, clock) - julianDay(2024, 3, 11 + 4 / 24.0)) * 86400, 0, 1e-3);
    EXPECT_EQ(localTimeText(change + 1.0 / 1440, clock), "2024-03-10 03:01");
    EXPECT_FALSE(atlas::zoneExists("../etc/passwd"));
    EXPECT_FALSE(atlas::zoneExists("Mars/Olympus"));
}

TEST(ForecastText, SignDegreesAndTheLunarMonth) {
    EXPECT_EQ(signDegreeText(0), "白羊0°00′");
    EXPECT_EQ(signDegreeText(359.999), "双鱼29°59′");
    EXPECT_EQ(signDegreeText(-30.5), "水瓶29°30′");
    MYiDateEx calendar;
    // 2023 has a leap second month: its new moon of 2023-03-21 17:23 UT begins it (UTC+8: the
    // 22nd); the full moon of 2023-04-06 04:34 UT halves it. A new moon at 16:30 UT falls after
    // midnight in UTC+8 and still names the month it begins (2023-01-21 20:53 UT: 正月).
    EXPECT_EQ(lunarMonthText(calendar, julianDay(2023, 3, 21 + 17.4 / 24), true), "闰二月朔");
    EXPECT_EQ(lunarMonthText(calendar, julianDay(2023, 4, 6 + 4.6 / 24), false), "闰二月望");
    EXPECT_EQ(lunarMonthText(calendar, julianDay(2023, 1, 21 + 20.9 / 24), true), "正月朔");
}

TEST(ForecastText, SkyEventsAsICalendar) {
    Ephemeris eph;
    SkyKinds k{false, false, true, true, false, true};
    const double t1 = julianDay(2024, 4, 1.0);
    const auto events = findSkyEvents(eph, k, t1, t1 + 14);
    MYiDateEx calendar;
    icalcomponent* cal = icalparser_parse_string(skyEventsIcs(events, calendar, fixedOffset(8 * 3600)).c_str());
    ASSERT_NE(cal, nullptr);
    int n = 0, spans = 0;
    bool eclipse = false;
    for (icalcomponent* e = icalcomponent_get_first_component(cal, ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(cal, ICAL_VEVENT_COMPONENT), ++n) {
        const icaltimetype a = icalcomponent_get_dtstart(e), b = icalcomponent_get_dtend(e);
        EXPECT_TRUE(icaltime_is_utc(a));
        spans += icaltime_compare(a, b) < 0;
        if (std::string(icalcomponent_get_summary(e)) == "日食 全食") {
            eclipse = true;
            EXPECT_EQ(a.hour * 60 + a.minute, 18 * 60 + 17);
        }
    }
    icalcomponent_free(cal);
    EXPECT_EQ(n, static_cast<int>(events.size()));
    EXPECT_TRUE(eclipse);
    EXPECT_GE(spans, 5);  // the void-of-course Moon's periods
}
}  // namespace
