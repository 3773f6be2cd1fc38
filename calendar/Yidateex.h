// MYiDateEx: the lunisolar calendar object.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "astro/DateTypes.h"
#include "calendar/Lunar.h"

struct SolarTermRecord {
    DateTimeFields when;  // UTC+8
    int index = 0;        // 0 小寒 ... 23 冬至
};

class MYiDateEx {
public:
    MYiDateEx();  // unpacks the correction strings

    double toJulianDay(const DateTimeFields& d);  // seconds = 1
    DateTimeFields fromJulianDay(double jd) const;
    void calcYear(int32_t dayNumber);
    // Gregorian -> lunar; returns the leap flag.
    bool gregorianToLunar(const DateTimeFields& g, DateTimeFields& lunar);
    // Lunar -> Gregorian; false with the message in error (UTF-8) when the date does not exist.
    bool lunarToGregorian(const DateTimeFields& lunar, bool leap, DateTimeFields& g,
                          std::string& error);
    DateTimeFields solarTermMoment(int year, int month, bool monthStart);
    int monthBranch(const DateTimeFields& g);
    // The solar terms of a civil year in time order: 23 to 25 (terms straddle the year's ends),
    // normally 24; the list has no end marker.
    std::vector<SolarTermRecord> yearSolarTerms(int year);
    static int16_t sexagenary(int stem, int branch);
    // UTF-8 text; the buffer is owned by the object and overwritten by the next call.
    const std::string& chineseNumeral(int n);
    // The number of days of g's month (21 for October 1582, whose 5th to 14th do not exist) when
    // g is a date of the calendar, else 0.
    int daysInMonth(const DateTimeFields& g);
    bool isValidDate(const DateTimeFields& g);
    void nextDay(DateTimeFields& g);
    int weekday(const DateTimeFields& g);
    int dayCycle(const DateTimeFields& g);
    // Sexagenary numbers of year, month, day, hour.
    std::array<int16_t, 4> stemBranchPillars(const DateTimeFields& g, double jd);

    // Layout of the year last computed by calcYear.
    int32_t leapMonthIndex = 0;
    std::array<int32_t, 14> monthNumbers{};
    std::array<int32_t, 25> termDays{};
    std::array<int32_t, 15> newMoonDays{};
    int32_t currentDay = 0;

    // The unpacked correction strings.
    const std::string& newMoonCorrections() const;
    const std::string& termCorrections() const;

private:
    // A year layout depends only on the solstice estimate it starts from; the last few are kept
    // so that runs of conversions in the same year do not recompute the events.
    struct Layout {
        bool valid = false;
        double solsticeEstimate = 0;
        int32_t leapMonthIndex = 0;
        std::array<int32_t, 14> monthNumbers{};
        std::array<int32_t, 25> termDays{};
        std::array<int32_t, 15> newMoonDays{};
    };
    void computeLayout(double solsticeEstimate, Layout& layout) const;
    const Layout* findLayout(double solsticeEstimate) const;
    const Layout& layoutFor(double solsticeEstimate);
    // Lunar year, month and day of a day number (steps 1-5 of gregorianToLunar); the leap flag.
    bool lunarOfDay(int32_t dayNumber, DateTimeFields& lunar);

    EventCorrections corrections_;
    std::string numeral_;
    CivilDateTime scratch_;
    std::array<Layout, 4> cache_{};
    size_t nextSlot_ = 0;
};

// Names of the solar terms by yearSolarTerms index (0 小寒 ... 23 冬至).
inline constexpr std::array<const char*, 24> SolarTermNames = {
    "小寒", "大寒", "立春", "雨水", "惊蛰", "春分", "清明", "谷雨", "立夏", "小满", "芒种", "夏至",
    "小暑", "大暑", "立秋", "处暑", "白露", "秋分", "寒露", "霜降", "立冬", "小雪", "大雪", "冬至"};
