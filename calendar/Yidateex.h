// MYiDateEx: the lunisolar calendar object.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "DateTypes.h"

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
    std::vector<SolarTermRecord> yearSolarTerms(int year);
    static int16_t sexagenary(int stem, int branch);
    // UTF-8 text; the buffer is owned by the object and overwritten by the next call.
    const std::string& chineseNumeral(int n);
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

private:
    std::string newMoonCorrections_;
    std::string termCorrections_;
    std::string numeral_;
    CivilDateTime scratch_;
};
