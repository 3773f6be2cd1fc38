// Julian days, civil dates, Delta T and the angle normalisations.
#include <gtest/gtest.h>

#include <cmath>

#include "AstroConstants.h"
#include "Eph0.h"

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
    EXPECT_EQ(c.day, 4);
    c = civilFromJulianDay(0.0);
    EXPECT_EQ(c.year, -4712);
    EXPECT_EQ(c.month, 1);
    EXPECT_EQ(c.day, 1);
    EXPECT_EQ(c.hour, 12);
    EXPECT_EQ(c.minute, 0);
    EXPECT_EQ(c.second, 0);
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
    EXPECT_EQ(floorInt(-0.5), -1);
    EXPECT_EQ(floorInt(2.999), 2);
}
