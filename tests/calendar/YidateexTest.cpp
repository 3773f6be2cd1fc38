// MYiDateEx: conversions, year layouts, solar terms, cycles and numerals.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <set>
#include <string>

#include "astro/Eph0.h"
#include "calendar/Yidateex.h"

namespace {
DateTimeFields D(int y, int m, int d, int hh = 0, int mm = 0) {
    return DateTimeFields{static_cast<int16_t>(y), static_cast<int16_t>(m), static_cast<int16_t>(d),
                          static_cast<int16_t>(hh), static_cast<int16_t>(mm)};
}

struct Lunar {
    int year, month, day;
    bool leap;
};

Lunar toLunar(MYiDateEx& cal, const DateTimeFields& g) {
    DateTimeFields l;
    const bool leap = cal.gregorianToLunar(g, l);
    return {l.year, l.month, l.day, leap};
}

void expectLunar(MYiDateEx& cal, const DateTimeFields& g, Lunar want) {
    const Lunar got = toLunar(cal, g);
    EXPECT_EQ(got.year, want.year) << g.year << "-" << g.month << "-" << g.day;
    EXPECT_EQ(got.month, want.month) << g.year << "-" << g.month << "-" << g.day;
    EXPECT_EQ(got.day, want.day) << g.year << "-" << g.month << "-" << g.day;
    EXPECT_EQ(got.leap, want.leap) << g.year << "-" << g.month << "-" << g.day;
}
}  // namespace

TEST(GregorianToLunar, KnownDates) {
    MYiDateEx cal;
    expectLunar(cal, D(2000, 1, 1), {1999, 11, 25, false});
    expectLunar(cal, D(2000, 2, 5), {2000, 1, 1, false});
    expectLunar(cal, D(2001, 5, 23), {2001, 4, 1, true});
    expectLunar(cal, D(2020, 5, 23), {2020, 4, 1, true});
    expectLunar(cal, D(2023, 3, 22), {2023, 2, 1, true});
    expectLunar(cal, D(1984, 2, 2), {1984, 1, 1, false});
    expectLunar(cal, D(1900, 1, 31), {1900, 1, 1, false});
    expectLunar(cal, D(2033, 12, 22), {2033, 11, 1, true});
    // The day before a new year still belongs to the old one.
    expectLunar(cal, D(2000, 2, 4), {1999, 12, 29, false});
}

TEST(GregorianToLunar, KeepsTheTimeOfDayAndIgnoresItForTheDate) {
    MYiDateEx cal;
    DateTimeFields l;
    cal.gregorianToLunar(D(2000, 2, 5, 23, 59), l);
    EXPECT_EQ(l.day, 1);
    EXPECT_EQ(l.hour, 23);
    EXPECT_EQ(l.minute, 59);
    cal.gregorianToLunar(D(2000, 2, 5, 0, 0), l);
    EXPECT_EQ(l.day, 1);
}

TEST(LunarToGregorian, LeapMonthsMissingDaysAndTheMessage) {
    MYiDateEx cal;
    DateTimeFields g;
    std::string error;
    ASSERT_TRUE(cal.lunarToGregorian(D(2001, 4, 1, 10, 30), true, g, error));
    EXPECT_EQ(g, D(2001, 5, 23, 10, 30));
    ASSERT_TRUE(cal.lunarToGregorian(D(2001, 4, 1), false, g, error));
    EXPECT_EQ(g, D(2001, 4, 23));  // the new moon at about 23:27 UTC+8 opens the month that day
    ASSERT_TRUE(cal.lunarToGregorian(D(1999, 12, 29), false, g, error));
    EXPECT_EQ(g, D(2000, 2, 4));

    const DateTimeFields before = g;
    EXPECT_FALSE(cal.lunarToGregorian(D(1999, 12, 30), false, g, error));  // a 29-day month
    EXPECT_EQ(error, "不存在这个农历日期，无法转换到公历！");
    EXPECT_EQ(g, before);  // the output is left alone on failure
    error.clear();
    EXPECT_FALSE(cal.lunarToGregorian(D(2001, 5, 1), true, g, error));  // 2001 has no leap 5th
    EXPECT_FALSE(error.empty());
    // Out-of-range fields are refused the same way, without a search.
    EXPECT_FALSE(cal.lunarToGregorian(D(2001, 14, 1), false, g, error));
    EXPECT_FALSE(cal.lunarToGregorian(D(2001, 1, 0), false, g, error));
    EXPECT_FALSE(cal.lunarToGregorian(D(2001, 1, 31), false, g, error));
    // Tenth month, day 23 of year 21 follows a leap ninth month: the first estimate (0021-10-23,
    // leap 9th day 28) points the search backwards, where the date is not found.
    ASSERT_TRUE(cal.lunarToGregorian(D(21, 10, 23), false, g, error)) << error;
    EXPECT_EQ(g, D(21, 11, 16));
    // The same happens in the other renamed spans (Wei 237-239, Zhou 689-700): each date found
    // converts back to itself.
    for (const DateTimeFields& l : {D(238, 12, 10), D(690, 12, 15), D(697, 12, 15), D(13, 9, 2)}) {
        ASSERT_TRUE(cal.lunarToGregorian(l, false, g, error)) << l.year << "/" << l.month;
        DateTimeFields back;
        EXPECT_FALSE(cal.gregorianToLunar(g, back));
        EXPECT_EQ(back, l) << l.year << "/" << l.month << "/" << l.day;
    }
    // Day 30 of the second month: the first estimate is clamped to 28 February.
    ASSERT_TRUE(cal.lunarToGregorian(D(2023, 2, 30), false, g, error));
    EXPECT_EQ(g, D(2023, 3, 21));
}

TEST(YearLayout, LeapYearAndOrdinaryYear) {
    MYiDateEx cal;
    cal.calcYear(floorInt(julianDay(2001, 6, 1.5)) - 2451545);
    EXPECT_EQ(cal.leapMonthIndex, 6);  // 11 12 1 2 3 4 [4] 5 ...
    const std::array<int32_t, 14> leap2001 = {11, 12, 1, 2, 3, 4, 4, 5, 6, 7, 8, 9, 10, 11};
    EXPECT_EQ(cal.monthNumbers, leap2001);
    cal.calcYear(floorInt(julianDay(2002, 6, 1.5)) - 2451545);
    EXPECT_EQ(cal.leapMonthIndex, 0);
    EXPECT_EQ(cal.monthNumbers[0], 11);
    EXPECT_EQ(cal.monthNumbers[2], 1);
    // The year opens with the December solstice and 25 terms span it.
    EXPECT_EQ(cal.termDays[0] + 2451545, floorInt(julianDay(2001, 12, 22.5)));
    EXPECT_LE(cal.newMoonDays[0], cal.termDays[0]);
    EXPECT_GT(cal.newMoonDays[1], cal.termDays[0]);
}

TEST(YearLayout, FieldsDescribeTheLastConversion) {
    // A calendar object that has converted many other days lays out a year exactly like a fresh
    // one.
    MYiDateEx busy;
    std::mt19937 rng(11);
    for (int n = 0; n < 300; ++n) {
        const int32_t day = static_cast<int32_t>(rng() % 800000) - 400000;
        busy.calcYear(day);
        busy.calcYear(day + static_cast<int32_t>(rng() % 40));
        MYiDateEx fresh;
        const int32_t probe = day + static_cast<int32_t>(rng() % 400);
        busy.calcYear(probe);
        fresh.calcYear(probe);
        ASSERT_EQ(busy.leapMonthIndex, fresh.leapMonthIndex) << probe;
        ASSERT_EQ(busy.monthNumbers, fresh.monthNumbers) << probe;
        ASSERT_EQ(busy.termDays, fresh.termDays) << probe;
        ASSERT_EQ(busy.newMoonDays, fresh.newMoonDays) << probe;
    }
}

TEST(YearLayout, MonthAndTermLengthsOverTheWholeRange) {
    // Every year -4713..9999: months of 29 or 30 days and terms 14-17 days apart, except where
    // the historical tables themselves change (the mean-term start of -221, the mean-table
    // switches of 237 and 445, and the two bound digits of 648/649).
    MYiDateEx cal;
    int anomalies = 0, layouts = 0;
    for (int y = -4713; y <= 9999; ++y) {
        cal.calcYear(floorInt(julianDay(y, 7, 1.5)) - 2451545);
        ++layouts;
        for (int i = 0; i < 14; ++i) {
            const int len = cal.newMoonDays[i + 1] - cal.newMoonDays[i];
            if (len < 29 || len > 30) {
                ++anomalies;
                EXPECT_TRUE(y == 237 || y == 648 || y == 649) << y << " month " << i << ": " << len;
            }
        }
        for (int i = 0; i < 24; ++i) {
            const int len = cal.termDays[i + 1] - cal.termDays[i];
            if (len < 14 || len > 17) {
                ++anomalies;
                EXPECT_TRUE(y == -221 || y == 445) << y << " term " << i << ": " << len;
            }
        }
    }
    std::printf("%d year layouts, %d irregular months or terms\n", layouts, anomalies);
    EXPECT_EQ(anomalies, 6);
}

TEST(Conversions, SampledOverTheWholeRangeWithoutFailure) {
    // Every 7th day -4713..9999 converts; the lunar fields stay in range and, outside the ancient
    // calendars, every 97th converts back to the same day.
    MYiDateEx cal;
    const int first = floorInt(julianDay(-4713, 1, 1.5));
    const int last = floorInt(julianDay(9999, 12, 31.5));
    int converted = 0, roundTrips = 0, roundTripFailures = 0;
    for (int jdn = first, n = 0; jdn <= last; jdn += 7, ++n) {
        const DateTimeFields g = fieldsFromJulianDay(jdn);
        DateTimeFields l;
        const bool leap = cal.gregorianToLunar(g, l);
        ++converted;
        ASSERT_GE(l.day, 1) << jdn;
        ASSERT_LE(l.day, 31) << jdn;
        ASSERT_GE(l.month, 1) << jdn;
        ASSERT_LE(l.month, 13) << jdn;
        if (n % 97 == 0 && g.year > -104 && !(g.year >= 689 && g.year <= 701)) {
            DateTimeFields back;
            std::string error;
            ++roundTrips;
            if (!cal.lunarToGregorian(l, leap, back, error) || back.year != g.year ||
                back.month != g.month || back.day != g.day) {
                ++roundTripFailures;
                std::printf("  %d-%02d-%02d -> %d/%d/%d%s does not convert back\n", g.year, g.month,
                            g.day, l.year, l.month, l.day, leap ? " leap" : "");
            }
        }
    }
    std::printf("%d days converted, %d round trips, %d failed\n", converted, roundTrips,
                roundTripFailures);
    EXPECT_EQ(roundTripFailures, 0);
}

TEST(SolarTerms, MomentsAndTheYearList) {
    MYiDateEx cal;
    EXPECT_EQ(cal.solarTermMoment(2000, 12, false), D(2000, 12, 21, 21, 37));  // 冬至
    const auto lichun = cal.solarTermMoment(2000, 2, true);
    EXPECT_EQ(lichun.month, 2);
    EXPECT_EQ(lichun.day, 4);
    const auto xiaohan = cal.solarTermMoment(2000, 1, true);
    EXPECT_EQ(xiaohan.month, 1);
    EXPECT_EQ(xiaohan.day, 6);

    const auto terms = cal.yearSolarTerms(2000);
    ASSERT_EQ(terms.size(), 24u);
    for (int i = 0; i < 24; ++i) EXPECT_EQ(terms[i].index, i);
    EXPECT_EQ(terms[23].when, D(2000, 12, 21, 21, 37));
    EXPECT_STREQ(SolarTermNames[terms[2].index], "立春");
}

TEST(SolarTerms, EveryYearHasTwentyFourInOrder) {
    MYiDateEx cal;
    int years = 0;
    for (int y = -4713; y <= 9999; y += 53) {
        const auto terms = cal.yearSolarTerms(y);
        ++years;
        // Terms 15.2 days apart straddle the year's ends: 23 to 25 fall inside one year.
        ASSERT_GE(terms.size(), 23u) << y;
        ASSERT_LE(terms.size(), 25u) << y;
        double previous = -1e18;
        for (size_t i = 0; i < terms.size(); ++i) {
            EXPECT_EQ(terms[i].when.year, y);
            EXPECT_EQ(terms[i].index, static_cast<int>((terms[0].index + i) % 24)) << y;
            const auto& w = terms[i].when;
            const double jd = julianDay(w.year, w.month, w.day + (w.hour + w.minute / 60.0) / 24);
            EXPECT_GT(jd, previous + 14) << y;
            previous = jd;
        }
    }
    EXPECT_GT(years, 270);
    // In Gregorian years the list normally opens with 小寒.
    EXPECT_EQ(cal.yearSolarTerms(1600).front().index, 0);
    // In 9597 小寒 falls on 9596-12-31 and the next on 9598-01-01.
    EXPECT_EQ(cal.yearSolarTerms(9597).size(), 23u);
    EXPECT_EQ(cal.yearSolarTerms(9596).back().index, 0);
}

TEST(SolarTerms, MonthBranch) {
    MYiDateEx cal;
    EXPECT_EQ(cal.monthBranch(D(2000, 1, 1, 12, 0)), 1);  // 子: before 小寒, back to 大雪
    EXPECT_EQ(cal.monthBranch(D(2000, 1, 6, 12, 0)), 2);  // 丑 from 小寒 09:01
    EXPECT_EQ(cal.monthBranch(D(2000, 1, 6, 8, 0)), 1);
    EXPECT_EQ(cal.monthBranch(D(2000, 2, 4, 21, 0)), 3);  // 寅 from 立春 20:40
    EXPECT_EQ(cal.monthBranch(D(2000, 12, 31, 12, 0)), 1);
    EXPECT_EQ(cal.monthBranch(D(2000, 11, 7, 12, 0)), 0);  // 亥 from 立冬 10:48
}

TEST(Cycles, PillarsWeekdaysAndDayNumbers) {
    MYiDateEx cal;
    EXPECT_EQ(cal.weekday(D(2000, 1, 1)), 6);
    EXPECT_EQ(cal.weekday(D(1582, 10, 15)), 5);  // Friday, the day after Thursday 1582-10-04
    EXPECT_EQ(cal.weekday(D(1582, 10, 4)), 4);
    EXPECT_EQ(cal.dayCycle(D(1949, 10, 1)), 1);  // 甲子
    EXPECT_EQ(cal.dayCycle(D(-4712, 1, 1, 12)), 50);

    auto p = cal.stemBranchPillars(D(2000, 1, 1, 12, 0), cal.toJulianDay(D(2000, 1, 1, 12, 0)));
    EXPECT_EQ(p, (std::array<int16_t, 4>{16, 13, 55, 55}));  // 己卯 丙子 戊午 戊午

    // 1984 after 立春 is 甲子; the 寅 month of a 甲 year is 丙寅 (3).
    p = cal.stemBranchPillars(D(1984, 3, 1, 12, 0), cal.toJulianDay(D(1984, 3, 1, 12, 0)));
    EXPECT_EQ(p[0], 1);
    EXPECT_EQ(p[1], 3);
    p = cal.stemBranchPillars(D(1984, 2, 4, 0, 0), cal.toJulianDay(D(1984, 2, 4, 0, 0)));
    EXPECT_EQ(p[0], 0);  // 癸亥 until 立春 (1984-02-04 23:19)

    // 23:30 takes the next day's number and the 子 hour of that day.
    const auto late =
        cal.stemBranchPillars(D(2000, 1, 1, 23, 30), cal.toJulianDay(D(2000, 1, 1, 23, 30)));
    const auto next =
        cal.stemBranchPillars(D(2000, 1, 2, 0, 30), cal.toJulianDay(D(2000, 1, 2, 0, 30)));
    EXPECT_EQ(late[2], 56);
    EXPECT_EQ(late[2], next[2]);
    EXPECT_EQ(late[3], next[3]);
    EXPECT_EQ(late[3] % 12, 1);  // 子

    // The year pillar follows the passed instant, not the fields.
    const DateTimeFields lichunDay = D(2000, 2, 4, 20, 0);
    const double jd = cal.toJulianDay(lichunDay);
    EXPECT_EQ(cal.stemBranchPillars(lichunDay, jd)[0], 16);
    EXPECT_EQ(cal.stemBranchPillars(lichunDay, jd + 1.0 / 24)[0], 17);
}

TEST(Cycles, SexagenaryNumbers) {
    EXPECT_EQ(MYiDateEx::sexagenary(1, 1), 1);
    EXPECT_EQ(MYiDateEx::sexagenary(0, 0), 0);
    for (int n = 0; n < 60; ++n) EXPECT_EQ(MYiDateEx::sexagenary(n % 10, n % 12), n) << n;
}

TEST(Numerals, DaysMonthsAndYears) {
    MYiDateEx cal;
    const std::pair<int, const char*> cases[] = {
        {1, "一"},       {9, "九"},          {10, "十"},
        {11, "十一"},    {19, "十九"},       {20, "二十"},
        {21, "廿一"},    {23, "廿三"},       {29, "廿九"},
        {30, "三十"},    {1984, "一九八四"}, {2000, "二○○○"},
        {45, "四五"},    {0, "○○○○"},        {-5, "前五"},
        {-15, "前一五"}, {-721, "前七二一"}, {-4713, "前四七一三"},
        {105, "一○五"},  {9999, "九九九九"}};
    for (const auto& [n, text] : cases) EXPECT_EQ(cal.chineseNumeral(n), text) << n;
    // The buffer is the object's and the next call overwrites it.
    const std::string& buf = cal.chineseNumeral(3);
    cal.chineseNumeral(4);
    EXPECT_EQ(buf, "四");
}

TEST(Dates, ValidityAndNextDay) {
    MYiDateEx cal;
    EXPECT_FALSE(cal.isValidDate(D(1582, 10, 10)));
    EXPECT_FALSE(cal.isValidDate(D(1582, 10, 5)));
    EXPECT_TRUE(cal.isValidDate(D(1582, 10, 4)));
    EXPECT_TRUE(cal.isValidDate(D(1582, 10, 15)));
    EXPECT_TRUE(cal.isValidDate(D(1582, 10, 31)));
    EXPECT_FALSE(cal.isValidDate(D(2001, 2, 29)));
    EXPECT_TRUE(cal.isValidDate(D(2000, 2, 29)));
    EXPECT_FALSE(cal.isValidDate(D(1900, 2, 29)));
    EXPECT_TRUE(cal.isValidDate(D(1500, 2, 29)));  // Julian leap year
    EXPECT_TRUE(cal.isValidDate(D(2000, 12, 31)));
    EXPECT_FALSE(cal.isValidDate(D(2000, 4, 31)));
    EXPECT_FALSE(cal.isValidDate(D(2000, 13, 1)));
    EXPECT_FALSE(cal.isValidDate(D(2000, 0, 1)));
    EXPECT_FALSE(cal.isValidDate(D(2000, 1, 0)));
    EXPECT_TRUE(cal.isValidDate(D(-4713, 1, 1)));

    DateTimeFields g = D(1582, 10, 4, 9, 15);
    cal.nextDay(g);
    EXPECT_EQ(g, D(1582, 10, 15, 9, 15));
    g = D(2000, 2, 28, 23, 59);
    cal.nextDay(g);
    EXPECT_EQ(g, D(2000, 2, 29, 23, 59));
    g = D(1999, 12, 31, 0, 0);
    cal.nextDay(g);
    EXPECT_EQ(g, D(2000, 1, 1, 0, 0));
}

TEST(Dates, JulianDayCarriesOneSecond) {
    MYiDateEx cal;
    const double jd = cal.toJulianDay(D(2000, 1, 1, 12, 0));
    EXPECT_NEAR((jd - 2451545.0) * 86400, 1.0, 1e-4);  // seconds
    EXPECT_EQ(cal.fromJulianDay(jd), D(2000, 1, 1, 12, 0));
}

TEST(YearLayout, HistoricalRenumberings) {
    // Month numbers at the edges of the renamed spans (JDN of the month's first day): Wang Mang
    // (1724360-1729794) and Wei (1807724-1808699) one month on, Suzong (1999349-1999467) two on,
    // the Zhou calendar of Wu Zetian (after 1973066, before 1977053) naming the 子 and 寅 months 1,
    // and the last month of the first two spans named 12.
    MYiDateEx cal;
    const std::pair<int, int> cases[] = {
        {1724331, 11}, {1724360, 1}, {1729764, 11}, {1729794, 12}, {1729823, 12},
        {1807695, 2},  {1807724, 4}, {1808669, 11}, {1808699, 12}, {1808729, 12},
        {1999319, 10}, {1999349, 1}, {1999467, 5},  {1999497, 4},  {1973037, 10},
        {1973067, 1},  {1976728, 12}, {1976758, 1}, {1977052, 10}, {1977082, 11}};
    for (const auto& [jdn, month] : cases) {
        DateTimeFields l;
        cal.gregorianToLunar(fieldsFromJulianDay(jdn), l);
        EXPECT_EQ(l.day, 1) << jdn;
        EXPECT_EQ(l.month, month) << jdn;
    }
}

TEST(YearLayout, AncientCalendars) {
    // -721..-104: months counted from each calendar's epoch, no leap month; an extra 13th month
    // before -220, and from -220 the Qin calendar opening with month 10 and ending a long year
    // with a second month 10.
    MYiDateEx cal;
    std::set<int32_t> extra13, second10;  // first days of the extra months
    for (int y = -721; y <= -104; ++y) {
        cal.calcYear(floorInt(julianDay(y, 7, 1.5)) - 2451545);
        ASSERT_EQ(cal.leapMonthIndex, 0) << y;
        for (int i = 0; i < 14; ++i) {
            ASSERT_GE(cal.monthNumbers[i], 1) << y;
            ASSERT_LE(cal.monthNumbers[i], 13) << y;
        }
        for (int i = 0; i < 14; ++i) {
            if (cal.monthNumbers[i] == 13) extra13.insert(cal.newMoonDays[i]);
            if (i > 0 && cal.monthNumbers[i - 1] == 10 && cal.monthNumbers[i] == 10)
                second10.insert(cal.newMoonDays[i]);
        }
    }
    const int longYears13 = static_cast<int>(extra13.size());
    const int longYears10 = static_cast<int>(second10.size());
    std::printf("ancient layouts: %d years with a 13th month, %d Qin years with a second 10th\n",
                longYears13, longYears10);
    // About 7 long years in 19.
    EXPECT_NEAR(longYears13, (-220 + 721) * 7 / 19, 8);
    EXPECT_NEAR(longYears10, (-104 + 220) * 7 / 19, 4);

    const std::array<int32_t, 14> y720 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 1};
    const std::array<int32_t, 14> y221 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 10, 11, 12};
    const std::array<int32_t, 14> y220 = {11, 12, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10, 11};
    cal.calcYear(floorInt(julianDay(-720, 7, 1.5)) - 2451545);
    EXPECT_EQ(cal.monthNumbers, y720);
    cal.calcYear(floorInt(julianDay(-221, 7, 1.5)) - 2451545);
    EXPECT_EQ(cal.monthNumbers, y221);  // the Qin calendar's first month 10 of -221
    cal.calcYear(floorInt(julianDay(-220, 7, 1.5)) - 2451545);
    EXPECT_EQ(cal.monthNumbers, y220);
    // From -103 on the leap-month rule applies again.
    cal.calcYear(floorInt(julianDay(-103, 7, 1.5)) - 2451545);
    EXPECT_EQ(cal.monthNumbers[2], 1);
}
