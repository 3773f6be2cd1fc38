// The lunisolar conversion, solar-term days and instants against Yuk Tung Liu's compiled
// historical calendar and the DE441 times of the shared data.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "astro/Eph0.h"
#include "calendar/Lunar.h"
#include "tests/support/TestData.h"
#include "calendar/Yidateex.h"

namespace {
struct Month {
    int year, month, leap, firstDay, days;
};

std::vector<std::string> split(const std::string& line, char sep) {
    std::vector<std::string> f;
    std::stringstream in(line);
    std::string x;
    while (std::getline(in, x, sep)) f.push_back(x);
    return f;
}

const std::vector<Month>& historicalMonths() {
    static const std::vector<Month> months = [] {
        std::vector<Month> v;
        std::ifstream in(testdata::sharedFile("calendar/ytliu_chinese_months_-721_2200.csv"));
        std::string line;
        std::getline(in, line);
        while (std::getline(in, line)) {
            const auto f = split(line, ',');
            if (f.size() < 7) continue;
            v.push_back({std::atoi(f[0].c_str()), std::atoi(f[1].c_str()), std::atoi(f[2].c_str()),
                         std::atoi(f[4].c_str()), std::atoi(f[6].c_str())});
        }
        return v;
    }();
    return months;
}

DateTimeFields civilDay(int jdn) { return fieldsFromJulianDay(jdn); }

// New moons of the modern era that the data puts in the first minutes after midnight and the
// engine a few minutes before it: the engine's Delta T forecast (the -20 + 32 u^2 parabola blended
// from 69 s in 2015) exceeds the data's by 1.5 to 4 minutes in these years. The ephemeris itself
// agrees with the data's TDB times to 0.3 minutes.
constexpr int kDeltaTNewMoons[] = {2472636, 2487194, 2500394, 2512148, 2514658};
bool isDeltaTNewMoon(int jdn) {
    for (int j : kDeltaTNewMoons)
        if (j == jdn) return true;
    return false;
}

std::string dateText(int jdn) {
    const auto d = civilDay(jdn);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d-%02d-%02d", d.year, d.month, d.day);
    return buf;
}

// Days of a month range whose lunar date disagrees with the historical calendar.
// Months whose first day is one of the known Delta T cases are skipped when skipKnown is set.
int countDisagreements(MYiDateEx& cal, int fromYear, int toYear, int step, int& checked,
                       std::string* firstFailure, bool skipKnown = false, int* skipped = nullptr) {
    int bad = 0;
    checked = 0;
    for (const auto& m : historicalMonths()) {
        if (m.year < fromYear || m.year > toYear) continue;
        if (skipKnown && (isDeltaTNewMoon(m.firstDay) || isDeltaTNewMoon(m.firstDay + m.days))) {
            ++*skipped;
            continue;
        }
        for (int k = 0; k < m.days; k += step) {
            const int jdn = m.firstDay + k;
            DateTimeFields l;
            const bool leap = cal.gregorianToLunar(civilDay(jdn), l);
            ++checked;
            if (l.year != m.year || l.month != m.month || l.day != k + 1 || leap != (m.leap != 0)) {
                if (bad == 0 && firstFailure) {
                    std::ostringstream s;
                    s << dateText(jdn) << ": engine " << l.year << "/" << l.month << "/" << l.day
                      << (leap ? " leap" : "") << ", calendar " << m.year << "/" << m.month << "/"
                      << k + 1 << (m.leap ? " leap" : "");
                    *firstFailure = s.str();
                }
                ++bad;
            }
        }
    }
    return bad;
}
}  // namespace

TEST(HistoricalCalendar, EveryDay1600To2200MatchesTheIssuedCalendar) {
    REQUIRE_SHARED_DATA();
    MYiDateEx cal;
    int checked = 0, skipped = 0;
    std::string first;
    const int bad = countDisagreements(cal, 1600, 2200, 1, checked, &first, true, &skipped);
    std::printf(
        "days 1600-2200: %d checked, %d disagree %s (%d months beside the five Delta T "
        "new moons skipped)\n",
        checked, bad, first.c_str(), skipped);
    EXPECT_GT(checked, 219000);
    EXPECT_EQ(skipped, 10);
    EXPECT_EQ(bad, 0) << first;
}

TEST(HistoricalCalendar, EveryMonthStart1600To2200ConvertsBack) {
    REQUIRE_SHARED_DATA();
    MYiDateEx cal;
    int checked = 0, bad = 0;
    std::string first;
    for (const auto& m : historicalMonths()) {
        if (m.year < 1600 || m.year > 2200 || isDeltaTNewMoon(m.firstDay)) continue;
        ++checked;
        DateTimeFields l{static_cast<int16_t>(m.year), static_cast<int16_t>(m.month), 1, 8, 30};
        DateTimeFields g;
        std::string error;
        const bool ok = cal.lunarToGregorian(l, m.leap != 0, g, error);
        const auto want = civilDay(m.firstDay);
        if (!ok || g.year != want.year || g.month != want.month || g.day != want.day ||
            g.hour != 8 || g.minute != 30) {
            if (bad++ == 0)
                first = std::to_string(m.year) + "/" + std::to_string(m.month) +
                        (m.leap ? " leap" : "") + " -> " + (ok ? "" : error);
        }
    }
    std::printf("month starts 1600-2200: %d checked, %d fail %s\n", checked, bad, first.c_str());
    EXPECT_EQ(bad, 0) << first;
}

TEST(HistoricalCalendar, EveryThirdDay1600To2200ConvertsBack) {
    REQUIRE_SHARED_DATA();
    MYiDateEx cal;
    int checked = 0, bad = 0;
    std::string first;
    for (const auto& m : historicalMonths()) {
        if (m.year < 1600 || m.year > 2200 || isDeltaTNewMoon(m.firstDay) ||
            isDeltaTNewMoon(m.firstDay + m.days))
            continue;
        for (int k = (m.firstDay % 3); k < m.days; k += 3) {
            ++checked;
            DateTimeFields l{static_cast<int16_t>(m.year), static_cast<int16_t>(m.month),
                             static_cast<int16_t>(k + 1), 0, 0};
            DateTimeFields g;
            std::string error;
            const auto want = civilDay(m.firstDay + k);
            if (!cal.lunarToGregorian(l, m.leap != 0, g, error) || g.year != want.year ||
                g.month != want.month || g.day != want.day) {
                if (bad++ == 0) first = dateText(m.firstDay + k);
            }
        }
    }
    std::printf("lunar days 1600-2200 (every 3rd) back to Gregorian: %d checked, %d fail %s\n",
                checked, bad, first.c_str());
    EXPECT_EQ(bad, 0) << first;
}

TEST(HistoricalCalendar, AgreementBefore1600IsReported) {
    REQUIRE_SHARED_DATA();
    MYiDateEx cal;
    // Every third day; the figure is reported, not required.
    struct Span {
        int from, to;
    };
    for (const Span s : {Span{-721, -105}, Span{-104, 618}, Span{619, 1599}}) {
        int checked = 0;
        std::string first;
        const int bad = countDisagreements(cal, s.from, s.to, 3, checked, &first);
        std::printf("days %d..%d (every 3rd): %d checked, %d disagree (%.3f%% agree); first: %s\n",
                    s.from, s.to, checked, bad, 100.0 * (checked - bad) / checked, first.c_str());
        EXPECT_GT(checked, 0);
    }
}

TEST(HistoricalCalendar, MonthLayouts619To1960) {
    REQUIRE_SHARED_DATA();
    // Month numbers and leap months of every month start in the historical era.
    MYiDateEx cal;
    int checked = 0, bad = 0, leapBad = 0;
    for (const auto& m : historicalMonths()) {
        if (m.year < 619 || m.year > 1960) continue;
        DateTimeFields l;
        const bool leap = cal.gregorianToLunar(civilDay(m.firstDay), l);
        ++checked;
        if (l.month != m.month || l.day != 1) ++bad;
        if (leap != (m.leap != 0)) ++leapBad;
        const bool zhou = m.firstDay >= 1973066 && m.firstDay < 1977053;
        if ((l.month != m.month || l.day != 1 || leap != (m.leap != 0)) && !zhou)
            std::printf("  %s: engine %d/%d/%d%s, calendar %d/%d%s\n", dateText(m.firstDay).c_str(),
                        l.year, l.month, l.day, leap ? " leap" : "", m.year, m.month,
                        m.leap ? " leap" : "");
    }
    std::printf(
        "month starts 619-1960: %d checked, %d with another number or day, %d leap flags "
        "differ\n",
        checked, bad, leapBad);
    // Known: the two bound digits of the published string (628, 649): they fit the low formula
    // with W = 2*pi*k in the full-precision pi, which puts those new moons 20 and 43 s before
    // midnight; with the program's nine-digit pi they fall 36 and 7 s after it, so 628-12-01
    // opens month 11 a day late and month 12 of 648 runs to a day 31. The month names of the Zhou
    // calendar of 689-700 (正月 = 子 month, named 1 where the data numbers it 11) with its year-end
    // leap month, and the mean-term leap month of 724/725.
    EXPECT_LE(bad, 15);
    EXPECT_LE(leapBad, 5);
}

TEST(HistoricalCalendar, SolarTermDays1645To2200) {
    REQUIRE_SHARED_DATA();
    MYiDateEx cal;
    EventCorrections corr{cal.newMoonCorrections(), cal.termCorrections()};
    std::ifstream in(testdata::sharedFile("calendar/ytliu_solar_terms_-721_2200.csv"));
    std::string line;
    std::getline(in, line);
    int checked = 0, bad = 0;
    std::string first;
    // Known: 大寒 1979 (the calendar of that year used the next day; the modern era follows the
    // ephemeris) and four terms of 2084-2199 in the first minutes after midnight (Delta T).
    const std::vector<std::string> known = {"1979-01-20", "2084-03-20", "2142-09-08", "2186-02-04",
                                            "2199-04-05"};
    std::vector<std::string> differing;
    while (std::getline(in, line)) {
        const auto f = split(line, ',');
        if (f.size() < 8) continue;
        const int year = std::atoi(f[0].c_str());
        const int astro = std::atoi(f[4].c_str());
        if (year < 1645 || year > 2200 || astro < 2322150) continue;
        const int want = f[7].empty() ? astro : std::atoi(f[7].c_str());
        const int got = eventDay(astro - 2451545, "气", corr) + 2451545;
        ++checked;
        if (got != want) {
            ++bad;
            differing.push_back(f[5]);
            std::printf("  %s %s %s: engine %s\n", f[3].c_str(), f[5].c_str(), f[6].c_str(),
                        dateText(got).c_str());
        }
    }
    std::printf("solar-term days 1645-2200: %d checked, %d differ\n", checked, bad);
    EXPECT_GT(checked, 13000);
    EXPECT_EQ(differing, known);
}

TEST(HistoricalCalendar, NewMoonDaysAndTimesOfTheModernEra) {
    REQUIRE_SHARED_DATA();
    MYiDateEx cal;
    EventCorrections corr{cal.newMoonCorrections(), cal.termCorrections()};
    std::ifstream in(testdata::sharedFile("calendar/ytliu_new_moons_utc8_-721_2200.csv"));
    std::string line;
    std::getline(in, line);
    int checked = 0, bad = 0;
    double worst = 0;
    while (std::getline(in, line)) {
        const auto f = split(line, ',');
        if (f.size() < 3) continue;
        const int jdn = std::atoi(f[0].c_str());
        if (jdn < 2436935) continue;  // modern era from 1960
        const int hh = std::atoi(f[2].substr(0, 2).c_str());
        const int mm = std::atoi(f[2].substr(3, 2).c_str());
        const double want = jdn - 2451545 - 0.5 + (hh * 60 + mm) / 1440.0;
        ++checked;
        if (eventDay(jdn - 2451545, "朔", corr) != jdn - 2451545) {
            ++bad;
            EXPECT_TRUE(isDeltaTNewMoon(jdn)) << f[1] << " " << f[2];
        }
        const double W = std::floor((jdn + 14 - 2451551) / 29.5306) * 2 * 3.14159265;
        worst = std::max(worst, std::fabs(newMoonHigh(W) - want) * 1440);
    }
    std::printf("new moons 1960-2200: %d checked, %d on another day, largest time error %.2f min\n",
                checked, bad, worst);
    EXPECT_EQ(bad, 5);
    EXPECT_LT(worst, 7.0);  // minutes, mostly the Delta T forecast after 2050
}

TEST(HistoricalCalendar, SolarTermMomentsWithinTwoMinutes1600To2200) {
    REQUIRE_SHARED_DATA();
    MYiDateEx cal;
    std::ifstream in(testdata::sharedFile("calendar/TDBtimes_1600_3500.txt"));
    ASSERT_TRUE(in);
    std::string line;
    std::getline(in, line);
    int checked = 0;
    double worst = 0;
    std::string worstAt;
    while (std::getline(in, line)) {
        std::istringstream s(line);
        int year = 0;
        double jd0 = 0;
        if (!(s >> year >> jd0)) continue;
        if (year > 2200) break;
        std::vector<double> v(25);
        for (double& x : v) s >> x;
        for (int c = 1; c <= 24; ++c) {
            const int month = (c + 1) / 2;
            const bool start = c % 2 == 1;
            const double tdb = jd0 + v[c];
            // jd0 + v is a JD on the UT axis (jd0 = 0h UTC+8); less Delta T, plus 8 hours.
            const double want = tdb - deltaTDays(tdb - 2451545) + 1.0 / 3;
            const DateTimeFields got = cal.solarTermMoment(year, month, start);
            const double gotJd =
                julianDay(got.year, got.month, got.day + (got.hour + got.minute / 60.0) / 24.0);
            const double err = std::fabs(gotJd - want) * 1440;
            ++checked;
            if (err > worst) {
                worst = err;
                worstAt = std::to_string(year) + " column " + std::to_string(c);
            }
        }
    }
    std::printf("solar-term moments 1600-2200: %d checked, largest error %.2f min (%s)\n", checked,
                worst, worstAt.c_str());
    EXPECT_EQ(checked, 601 * 24);
    EXPECT_LT(worst, 2.0);
}
