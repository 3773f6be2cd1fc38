// Julian days, civil dates, Delta T and the angle normalisations.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "astro/AstroConstants.h"
#include "astro/Eph0.h"

using AstroConstants::pi;

TEST(JulianDay, ReferenceEpochs) {
    EXPECT_DOUBLE_EQ(julianDay(2000, 1, 1.5), 2451545.0);
    EXPECT_DOUBLE_EQ(julianDay(1600, 1, 1.0), 2305447.5);
    EXPECT_DOUBLE_EQ(julianDay(0, 1, 1.0), 1721057.5);
    EXPECT_DOUBLE_EQ(julianDay(-4712, 1, 1.5), 0.0);
}

TEST(JulianDay, GregorianReformDaysAreConsecutive) {
    EXPECT_DOUBLE_EQ(julianDay(1582, 10, 4.0), 2299159.5);
    EXPECT_DOUBLE_EQ(julianDay(1582, 10, 15.0), 2299160.5);
    // The skipped days are still computed, in the Julian calendar.
    EXPECT_DOUBLE_EQ(julianDay(1582, 10, 5.0), 2299160.5);
}

TEST(JulianDay, DayMayRunPastTheMonth) {
    EXPECT_DOUBLE_EQ(julianDay(2001, 1, 32.0), julianDay(2001, 2, 1.0));
    EXPECT_DOUBLE_EQ(julianDay(2001, 2, 0.0), julianDay(2001, 1, 31.0));
}

TEST(CivilFromJulianDay, EdgesOfTheCalendars) {
    auto c = civilFromJulianDay(2299160.5);
    EXPECT_EQ(c.year, 1582);
    EXPECT_EQ(c.month, 10);
    EXPECT_EQ(c.day, 15);
    EXPECT_EQ(c.hour, 0);
    c = civilFromJulianDay(2299159.5);
    EXPECT_EQ(c.year, 1582);
    EXPECT_EQ(c.month, 10);
    EXPECT_EQ(c.day, 4);
    EXPECT_EQ(c.hour, 0);
    c = civilFromJulianDay(0.0);
    EXPECT_EQ(c.year, -4712);
    EXPECT_EQ(c.month, 1);
    EXPECT_EQ(c.day, 1);
    EXPECT_EQ(c.hour, 12);
    EXPECT_EQ(c.minute, 0);
    EXPECT_EQ(c.second, 0);
}

TEST(CivilFromJulianDay, SecondsAreTruncatedNotRounded) {
    // 12:00:59.9 stays in minute 0 with second 59; 23:59:59.9 stays on the same day.
    auto c = civilFromJulianDay(2451545.0 + 59.9 / 86400);
    EXPECT_EQ(c.minute, 0);
    EXPECT_EQ(c.second, 59);
    c = civilFromJulianDay(julianDay(2001, 2, 28.0) + 86399.9 / 86400);
    EXPECT_EQ(c.month, 2);
    EXPECT_EQ(c.day, 28);
    EXPECT_EQ(c.hour, 23);
    EXPECT_EQ(c.minute, 59);
    EXPECT_EQ(c.second, 59);
    // Before the epoch of the Julian days too (negative JD, proleptic Julian calendar).
    c = civilFromJulianDay(-1.5 + 3661.5 / 86400);
    EXPECT_EQ(c.year, -4713);
    EXPECT_EQ(c.month, 12);
    EXPECT_EQ(c.day, 31);
    EXPECT_EQ(c.hour, 1);
    EXPECT_EQ(c.minute, 1);
    EXPECT_EQ(c.second, 1);
}

TEST(CivilFromJulianDay, RoundTripsEveryDayOverMillennia) {
    for (double jd = -100000.5; jd < 5400000; jd += 997) {
        const auto c = civilFromJulianDay(jd);
        EXPECT_DOUBLE_EQ(julianDayOf(c), jd) << jd;
    }
}

TEST(FieldsFromJulianDay, RoundsByTheTruncatedSecond) {
    const double noon = julianDay(2000, 1, 1.5);
    auto f = fieldsFromJulianDay(noon + 20.0 / 86400);
    EXPECT_EQ(f.hour, 12);
    EXPECT_EQ(f.minute, 0);
    f = fieldsFromJulianDay(noon + 45.0 / 86400);
    EXPECT_EQ(f.minute, 1);
    // 23:59:45 on the last day of a month rolls into the next month.
    f = fieldsFromJulianDay(julianDay(2001, 2, 28.0) + (23 * 3600 + 59 * 60 + 45) / 86400.0);
    EXPECT_EQ(f.month, 3);
    EXPECT_EQ(f.day, 1);
    EXPECT_EQ(f.hour, 0);
    EXPECT_EQ(f.minute, 0);
}

TEST(FieldsFromJulianDay, OnlyTheComputedSecondDecides) {
    // Instants set near 30 and 31 s past a minute in many days: the minute advances exactly
    // when the truncated second of civilFromJulianDay exceeds 30, and the result is the start
    // of the following minute (never a skipped or repeated one).
    int roundedDown31 = 0;
    for (int k = 0; k < 2000; ++k) {
        const double minuteStart = julianDay(1600 + k % 600, 1 + k % 12, 1 + k % 28 + (k % 24) / 24.0) + (k % 60) / 1440.0;
        for (double s : {29.9, 30.0, 30.5, 31.0, 31.2, 59.99}) {
            const double jd = minuteStart + s / 86400;
            const CivilDateTime c = civilFromJulianDay(jd);
            const DateTimeFields f = fieldsFromJulianDay(jd);
            const CivilDateTime want = civilFromJulianDay(julianDayOf({c.year, c.month, c.day, c.hour, c.minute, 0}) +
                                                          (c.second > 30 ? 1.0 / 1440 : 0) + 1.0 / 86400);
            ASSERT_EQ(f.minute, want.minute) << k << " " << s;
            ASSERT_EQ(f.hour, want.hour) << k << " " << s;
            ASSERT_EQ(f.day, want.day) << k << " " << s;
            if (s == 31.0 && c.second == 30) ++roundedDown31;
        }
    }
    std::printf("instants set to 31 s past a minute that come out as second 30: %d of 2000\n", roundedDown31);
}

TEST(DeltaT, TableRowsAndExtrapolation) {
    EXPECT_NEAR(deltaTSeconds(2000), 63.87, 1e-9);
    EXPECT_NEAR(deltaTSeconds(1900), -2.3, 1e-9);
    EXPECT_NEAR(deltaTSeconds(1600), 120.0, 1e-9);
    EXPECT_NEAR(deltaTSeconds(2015), 69.0, 1e-9);
    EXPECT_NEAR(deltaTSeconds(2115), 249.7775, 1e-9);
    EXPECT_NEAR(deltaTSeconds(2050), 125.22, 0.01);
    EXPECT_NEAR(deltaTSeconds(-5000), 148819.7, 0.1);
    EXPECT_NEAR(deltaTDays(0), deltaTSeconds(2000) / 86400, 1e-15);
}

TEST(DeltaT, ContinuousAcrossRowBoundaries) {
    for (double y : {-500.0, -150.0, 150.0, 500.0, 900.0, 1300.0, 1600.0, 1700.0, 1800.0, 1900.0,
                     1980.0}) {
        EXPECT_NEAR(deltaTSeconds(y - 1e-7), deltaTSeconds(y), 5.0) << y;
    }
}

TEST(Angles, Normalisation) {
    EXPECT_DOUBLE_EQ(normRadSigned(pi), pi);
    EXPECT_DOUBLE_EQ(normRadSigned(-pi), pi);
    EXPECT_NEAR(normRad(-0.1), 2 * pi - 0.1, 1e-15);
    EXPECT_NEAR(normRad(7 * pi), pi, 1e-12);
    EXPECT_GE(normRad(-4 * pi), 0.0);
    // A rest just below 0 must not come back as a full turn (a longitude of 360 degrees).
    for (double a : {-1e-17, -4e-16, -8e-16, -2 * pi - 1e-16, 4 * pi - 1e-16}) {
        EXPECT_GE(normRad(a), 0.0) << a;
        EXPECT_LT(normRad(a), 2 * pi) << a;
        EXPECT_LT(normRad(a) * AstroConstants::radd, 360.0) << a;
    }
    EXPECT_EQ(normRad(-1e-17), 0.0);
    EXPECT_EQ(floorInt(-0.5), -1);
    EXPECT_EQ(floorInt(2.999), 2);
    EXPECT_EQ(floorInt(-2147483648.0), INT32_MIN);
    EXPECT_EQ(floorInt(2147483647.5), INT32_MAX);
    // Values no 32-bit integer holds saturate rather than wrap (and NaN gives 0).
    EXPECT_EQ(floorInt(1e10), INT32_MAX);
    EXPECT_EQ(floorInt(-1e10), INT32_MIN);
    EXPECT_EQ(floorInt(std::nan("")), 0);
}
