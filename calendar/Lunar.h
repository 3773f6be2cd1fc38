// Solar terms and new moons: apparent solar longitude, Moon-Sun elongation, their inversion to
// instants, and the civil day (UTC+8) of the term or new moon nearest to a given day, taken by
// era from mean-element tables, a low-precision formula with one-day corrections, or the full
// ephemeris.
//
// Angles are radians. T is Julian centuries of dynamical time (TT) from J2000. A "day number" is
// JD - 2451545 of a civil day's noon in UTC+8, so day number n covers the UTC+8 instants with JD
// in [n + 2451544.5, n + 2451545.5).
//
// Cumulative angles W name the events: for solar terms W is the apparent solar longitude counted
// continuously (W = 0 the March equinox of 1999, pi/12 per term); for new moons W = 2*pi*k names
// the k-th new moon after the one of 2000-01-07 (W = 0).
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// Annual aberration of the Sun in longitude, radians (negative).
double sunAberration(double T);
// Apparent geocentric ecliptic longitude of the Sun (true equinox of date), radians, not reduced
// modulo 2*pi; n Earth terms (n < 0: all).
double sunApparentLongitude(double T, int n);
// Apparent longitude of the Moon minus that of the Sun, radians, not reduced; nMoon and nEarth
// series terms (< 0: all). Nutation cancels and is left out.
double moonSunElongation(double T, int nMoon, int nEarth);
// Mean rates of the apparent longitudes, radians per Julian century.
double sunSpeed(double T);
double moonSpeed(double T);

// Dynamical time T at which the apparent solar longitude reaches W (full precision).
double sunLongitudeTime(double W);
// Dynamical time T at which the Moon-Sun elongation reaches W (full precision).
double elongationTime(double W);
// Cheaper inversions (a few minutes of error).
double sunLongitudeTimeFast(double W);
double elongationTimeFast(double W);

// UTC+8 instant of solar term / new moon W as fractional days from J2000 (JD - 2451545).
// The fast inversion is used unless the instant lies within 20 (terms) or 30 (new moons) minutes
// of midnight, where the full one decides the day.
double solarTermHigh(double W);
double newMoonHigh(double W);
// The same with the historical-era formulas (Delta T by the parabola -20 + 32 u^2 seconds,
// u centuries from 1820).
double solarTermLow(double W);
double newMoonLow(double W);

// Mean-element tables of the ancient calendars: pairs (epoch JD, period in days), then the end JD.
extern const std::array<double, 23> MeanNewMoonTable;
extern const std::array<double, 71> MeanTermTable;

// The packed one-day correction strings of the historical era (calendar/tables), one digit per
// event: '0' none, '1' one day later, '2' one day earlier.
extern const char* const NewMoonCorrections;
extern const char* const TermCorrections;

// Letter code of the packed strings: every letter stands for a run of digits.
std::string unpackCorrections(std::string_view packed);
// Greedy longest-run packing of a digit string into the letter code; unpackCorrections inverts it.
std::string packCorrections(std::string_view digits);

// The unpacked correction strings used by eventDay.
struct EventCorrections {
    std::string newMoons;
    std::string terms;
};

// Day number of the solar term (kind "气") or new moon (any other kind, normally "朔") nearest to
// day number d. Eras by JD: mean elements from the first table epoch, the low formula with the
// correction digits up to 1960-01-01, the full ephemeris otherwise.
int32_t eventDay(double d, std::string_view kind, const EventCorrections& corrections);

// The historical era's first events and the event counts it spans (positions in the strings).
constexpr double kNewMoonHistoricalStart = 1947168.0 - 14;  // JD, f2 of the new moons
constexpr double kTermHistoricalStart = 2322147.76 - 7;     // JD, f2 of the solar terms
constexpr double kModernEraStart = 2436935;                 // JD of 1960-01-01
constexpr int kNewMoonPositionOffset = 17080;  // position p is lunation p - 17080 from 2000-01-07
constexpr int kTermPositionOffset = 8484;      // position p is term p - 8484 from the 1999 equinox
