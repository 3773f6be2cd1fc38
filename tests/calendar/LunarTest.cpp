// Solar terms, new moons, the era model of eventDay and the correction strings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "astro/AstroConstants.h"
#include "astro/Eph0.h"
#include "calendar/Lunar.h"

using AstroConstants::pi;
using AstroConstants::rad;

namespace {
const EventCorrections& corrections() {
    static const EventCorrections c{unpackCorrections(NewMoonCorrections),
                                    unpackCorrections(TermCorrections)};
    return c;
}

// Days from J2000 of a UTC+8 civil instant.
double utc8(int y, int m, int d, int hh, int mm) {
    return julianDay(y, m, d + (hh + mm / 60.0) / 24.0) - 2451545;
}

double wrapArcsec(double a) {
    const double v = std::remainder(a, 2 * pi);
    return std::fabs(v) * rad;
}
}  // namespace

TEST(CorrectionStrings, PublishedBeginningsLengthsAndFirstDigits) {
    const std::string nmPacked = NewMoonCorrections;
    const std::string tPacked = TermCorrections;
    EXPECT_EQ(
        nmPacked.rfind("EqoFscDcrFpmEsF2DfFideFelFpFfFfFiaipqti1ksttikptikqckstekqttgkqttgkqtek"
                       "sttikptikq2fjstgjqttjkqttgkqt",
                       0),
        0u);
    EXPECT_EQ(
        tPacked.rfind("FrcFs22AFsckF2tsDtFqEtF1posFdFgiFseFtmelpsEfhkF2anmelpFlF1ikrotcnEqEq2F"
                      "fqmcDsrFor22FgFrcgDscFs22FgEe",
                      0),
        0u);
    const std::string& nm = corrections().newMoons;
    const std::string& t = corrections().terms;
    ASSERT_EQ(nm.size(), 16598u);
    ASSERT_EQ(t.size(), 7567u);
    EXPECT_EQ(nm.find_first_not_of('0'), 24u);
    const std::string z(12, '0');
    EXPECT_EQ(nm.substr(24, 29), "2" + z.substr(0, 6) + "2" + z + "2" + z.substr(0, 7) + "1");
    EXPECT_EQ(t.find_first_not_of('0'), 13u);
    EXPECT_EQ(t.substr(13, 24), "2" + z.substr(0, 7) + "1" + z + "222");
    EXPECT_EQ(nm.find_first_not_of("012"), std::string::npos);
    EXPECT_EQ(t.find_first_not_of("012"), std::string::npos);
    std::printf("packed lengths: new moons %zu, solar terms %zu; ones/twos %ld/%ld and %ld/%ld\n",
                nmPacked.size(), tPacked.size(), std::count(nm.begin(), nm.end(), '1'),
                std::count(nm.begin(), nm.end(), '2'), std::count(t.begin(), t.end(), '1'),
                std::count(t.begin(), t.end(), '2'));
}

TEST(CorrectionStrings, PackingRoundTrips) {
    std::mt19937 rng(7);
    for (int n = 0; n < 200; ++n) {
        std::string digits;
        const int len = static_cast<int>(rng() % 300);
        for (int i = 0; i < len; ++i) {
            const auto r = rng() % 20;
            digits += r == 0 ? '1' : r == 1 ? '2' : '0';
        }
        const std::string packed = packCorrections(digits);
        ASSERT_EQ(unpackCorrections(packed), digits) << packed;
        EXPECT_LE(packed.size(), digits.size());
    }
    EXPECT_EQ(packCorrections(std::string(60, '0') + "0000000001" + "02" + "1"), "Aat1");
    EXPECT_EQ(unpackCorrections("Fh2"), std::string(10, '0') + "0010012");
}

TEST(CorrectionStrings, TheHistoricalEraEndsBeforeTheStringsDo) {
    // The last day of the historical era reads a digit inside each string.
    const double J = kModernEraStart - 1;
    EXPECT_LT(floorInt((J - kNewMoonHistoricalStart) / 29.5306), 16598);
    EXPECT_LT(floorInt((J - kTermHistoricalStart) / 365.2422 * 24), 7567);
    // Position 0 is the first event of the era.
    EXPECT_EQ(floorInt((1947168 - kNewMoonHistoricalStart) / 29.5306), 0);
    EXPECT_EQ(floorInt((2322150 - kTermHistoricalStart) / 365.2422 * 24), 0);
}

TEST(EventInstants, NewMoonAndSolsticeOf2000) {
    // New moon 2000-01-06 18:14 UT; December solstice 2000-12-21 13:37 UT.
    const double nm = newMoonHigh(0);
    const double nmErr = std::fabs(nm - utc8(2000, 1, 7, 2, 14)) * 1440;
    const double sol = solarTermHigh(42 * pi / 12);
    const double solErr = std::fabs(sol - utc8(2000, 12, 21, 21, 37)) * 1440;
    std::printf("new moon 2000-01-07: %.2f min off; solstice 2000-12-21: %.2f min off\n", nmErr,
                solErr);
    EXPECT_LT(nmErr, 1.5);
    EXPECT_LT(solErr, 1.5);
    EXPECT_EQ(fieldsFromJulianDay(nm + 2451545).day, 7);
    EXPECT_EQ(fieldsFromJulianDay(sol + 2451545).hour, 21);
    // The fast inversions (neither event is near midnight) give 02:14 and 21:36 in whole minutes.
    auto minuteOfDay = [](double d) { return floorInt((d + 0.5 - std::floor(d + 0.5)) * 1440); };
    EXPECT_EQ(minuteOfDay(nm), 2 * 60 + 14);
    EXPECT_EQ(minuteOfDay(sol), 21 * 60 + 36);
}

TEST(EventInstants, InversionsReachTheirAngles) {
    double worstSun = 0, worstMoon = 0;
    for (int k = -2400; k <= 2400; k += 37) {
        const double W = k * pi / 12;
        worstSun =
            std::max(worstSun, wrapArcsec(sunApparentLongitude(sunLongitudeTime(W), -1) - W));
    }
    for (int k = -1200; k <= 1200; k += 29) {
        const double W = k * 2 * pi;
        worstMoon =
            std::max(worstMoon, wrapArcsec(moonSunElongation(elongationTime(W), -1, -1) - W));
    }
    std::printf("inversion residuals: Sun %.3f\", elongation %.3f\"\n", worstSun, worstMoon);
    EXPECT_LT(worstSun, 0.5);   // arcseconds: 12 s of time
    EXPECT_LT(worstMoon, 2.0);  // arcseconds: 4 s of time
}

TEST(EventInstants, ApparentSolarLongitudeOfMeeusExample) {
    // 1992-10-13.0 TD: apparent longitude 199 deg 54' 21.818" (full VSOP87).
    const double T = (2448908.5 - 2451545) / 36525;
    const double want = (199 + 54.0 / 60 + 21.818 / 3600) * pi / 180;
    const double err = wrapArcsec(sunApparentLongitude(T, -1) - want);
    std::printf("apparent solar longitude 1992-10-13: %.3f\" off\n", err);
    EXPECT_LT(err, 1.0);
}

TEST(EventInstants, LowFormulasFollowTheEphemerisInTheHistoricalEra) {
    // Between 1700 and 1950 the low formulas stay within minutes of the full computation.
    double worstTerm = 0, worstMoon = 0;
    for (int k = -24 * 299; k < -24 * 49; k += 5) {
        const double W = k * pi / 12;
        worstTerm = std::max(worstTerm, std::fabs(solarTermLow(W) - solarTermHigh(W)) * 1440);
    }
    for (int k = -3700; k < -620; k += 3) {
        const double W = k * 2 * pi;
        worstMoon = std::max(worstMoon, std::fabs(newMoonLow(W) - newMoonHigh(W)) * 1440);
    }
    std::printf("low vs full 1700-1950: terms %.1f min, new moons %.1f min\n", worstTerm,
                worstMoon);
    EXPECT_LT(worstTerm, 20.0);
    EXPECT_LT(worstMoon, 120.0);
}

TEST(EventInstants, NearMidnightTheFullInversionDecides) {
    // Terms: within 20 minutes of midnight the full inversion replaces the fast one; at 00:25 not.
    int nearFound = 0, farFound = 0;
    for (int k = 0; k < 24 * 200 && (nearFound < 3 || farFound < 3); ++k) {
        const double W = k * pi / 12;
        double fast = sunLongitudeTimeFast(W) * 36525;
        fast = fast - deltaTDays(fast) + 1.0 / 3;
        const double s = (fast + 0.5 - std::floor(fast + 0.5)) * 86400;
        const double full = sunLongitudeTime(W) * 36525 - deltaTDays(fast) + 1.0 / 3;
        if (s < 1200 || s > 85200) {
            EXPECT_DOUBLE_EQ(solarTermHigh(W), full) << k;
            ++nearFound;
        } else if (s > 1440 && s < 1560) {  // about 00:25
            EXPECT_DOUBLE_EQ(solarTermHigh(W), fast) << k;
            ++farFound;
        }
    }
    EXPECT_GE(nearFound, 3);
    EXPECT_GE(farFound, 3);
    nearFound = farFound = 0;
    for (int k = 0; k < 2400 && (nearFound < 3 || farFound < 3); ++k) {
        const double W = k * 2 * pi;
        double fast = elongationTimeFast(W) * 36525;
        fast = fast - deltaTDays(fast) + 1.0 / 3;
        const double s = (fast + 0.5 - std::floor(fast + 0.5)) * 86400;
        const double full = elongationTime(W) * 36525 - deltaTDays(fast) + 1.0 / 3;
        if (s < 1800 || s > 84600) {
            EXPECT_DOUBLE_EQ(newMoonHigh(W), full) << k;
            ++nearFound;
        } else if (s > 2000 && s < 2400) {
            EXPECT_DOUBLE_EQ(newMoonHigh(W), fast) << k;
            ++farFound;
        }
    }
    EXPECT_GE(nearFound, 3);
    EXPECT_GE(farFound, 3);
}

TEST(EventDay, NewMoonOf2000AndNeighbouringQueries) {
    // 2000-01-07 is day number 6; every query within a week finds it.
    for (int d = -1; d <= 13; ++d) EXPECT_EQ(eventDay(d, "朔", corrections()), 6) << d;
    // Any kind other than "气" means new moon.
    EXPECT_EQ(eventDay(6, "x", corrections()), 6);
    // The December solstice 2000 (2000-12-21 is day 355).
    for (int d = 350; d <= 360; ++d) EXPECT_EQ(eventDay(d, "气", corrections()), 355) << d;
}

TEST(EventDay, MeanEraAndItsOneDayRule) {
    // In -103 the mean lunation gives JD 1683460, which the calendar used one day later.
    const double epoch = 1683430.5093, period = 29.53086148;
    const double J = 1683460;
    EXPECT_EQ(floorInt(epoch + period * std::floor((J + 14 - epoch) / period) + 0.5), 1683460);
    for (int d = -10; d <= 10; ++d)
        EXPECT_EQ(eventDay(J + d - 2451545, "朔", corrections()), 1683461 - 2451545) << d;
    // The next mean new moon follows one mean lunation later.
    EXPECT_EQ(eventDay(J + 29.53 - 2451545, "朔", corrections()) + 2451545,
              floorInt(epoch + period * 2 + 0.5));
}

namespace {
// The day each era's model gives for a query at JD J (day numbers from J2000).
int32_t modernNewMoon(double J) {
    return floorInt(newMoonHigh(floorInt((J + 14 - 2451551) / 29.5306) * 2 * pi) + 0.5);
}
int32_t lowNewMoon(double J) {
    return floorInt(newMoonLow(floorInt((J + 14 - 2451551) / 29.5306) * 2 * pi) + 0.5);
}
int32_t modernTerm(double J) {
    return floorInt(solarTermHigh(floorInt((J + 7 - 2451259) / 365.2422 * 24) * pi / 12) + 0.5);
}
int32_t lowTerm(double J) {
    return floorInt(solarTermLow(floorInt((J + 7 - 2451259) / 365.2422 * 24) * pi / 12) + 0.5);
}
}  // namespace

TEST(EventDay, EraLimits) {
    // Each era starts exactly at its limit (JD of the query): new moons mean from 1457684.231017,
    // low from 1947154, modern from 2436935; terms mean from 1640643.479938, low from 2322140.76.
    const double eps = 1e-3;  // days
    const auto& c = corrections();
    auto nm = [&](double J) { return eventDay(J - 2451545, "朔", c); };
    auto term = [&](double J) { return eventDay(J - 2451545, "气", c); };

    const double nmMean = 1457698.231017 - 14;
    EXPECT_EQ(nm(nmMean - eps), modernNewMoon(nmMean - eps));
    EXPECT_EQ(nm(nmMean) + 2451545, 1457698);  // the first mean epoch, not the modern 1457669
    EXPECT_NE(nm(nmMean), modernNewMoon(nmMean));
    EXPECT_EQ(nm(1947154 - eps) + 2451545, 1947168);  // still mean
    const double nmLowStart = 1947154;
    EXPECT_EQ(nm(nmLowStart), lowNewMoon(nmLowStart));  // digit 0 at position 0
    EXPECT_EQ(nm(2436935 - eps), lowNewMoon(2436935 - eps));
    EXPECT_EQ(nm(2436935), modernNewMoon(2436935));

    const double tMean = 1640650.479938 - 7;
    EXPECT_EQ(term(tMean - eps), modernTerm(tMean - eps));
    EXPECT_EQ(term(tMean) + 2451545, 1640650);  // the mean epoch, not the modern 1640652
    EXPECT_NE(term(tMean), modernTerm(tMean));
    EXPECT_EQ(term(2322140.76 - eps) + 2451545, 2322133);  // the last mean term
    EXPECT_EQ(term(2322140.76), lowTerm(2322140.76));
    EXPECT_EQ(term(2436935 - eps), lowTerm(2436935 - eps));
    EXPECT_EQ(term(2436935), modernTerm(2436935));
}

TEST(EventDay, CorrectionDigitsMoveTheLowDay) {
    // Digit '2' puts the event one day earlier, '1' one day later, read at position
    // floor((J - start) / period) of the string.
    const auto& c = corrections();
    auto nmQuery = [](int p) { return kNewMoonHistoricalStart + (p + 0.5) * 29.5306; };
    auto termQuery = [](int p) { return kTermHistoricalStart + (p + 0.5) * 365.2422 / 24; };
    for (const auto& [p, shift] : {std::pair{24, -1}, std::pair{31, -1}, std::pair{52, 1},
                                   std::pair{23, 0}}) {
        const double J = nmQuery(p);
        ASSERT_EQ(floorInt((J - kNewMoonHistoricalStart) / 29.5306), p);
        EXPECT_EQ(eventDay(J - 2451545, "朔", c), lowNewMoon(J) + shift) << p;
    }
    for (const auto& [p, shift] : {std::pair{13, -1}, std::pair{21, 1}, std::pair{34, -1},
                                   std::pair{36, -1}, std::pair{12, 0}}) {
        const double J = termQuery(p);
        ASSERT_EQ(floorInt((J - kTermHistoricalStart) / 365.2422 * 24), p);
        EXPECT_EQ(eventDay(J - 2451545, "气", c), lowTerm(J) + shift) << p;
    }
}
