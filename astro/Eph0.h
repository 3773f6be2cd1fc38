// Time base, reference frames and series evaluation of the astronomical engine.
// Time base: Julian days, civil dates, Delta T and angle normalisation.
// Julian days count from noon; JD 2451545.0 is 2000-01-01 12:00. Calendar is proleptic Julian
// before 1582-10-15 and Gregorian from then on. Years are astronomical.
#pragma once
#include <cstdint>

#include "astro/DateTypes.h"

// floor(x) as a 32-bit integer; every integer part in the astronomy and calendar code uses it.
int32_t floorInt(double x);
// Angle brought into [0, 2*pi) and (-pi, pi] (pi = AstroConstants::pi).
double normRad(double a);
double normRadSigned(double a);

// JD of year/month/day, where day carries the time of day as a fraction and may run past
// the end of the month.
double julianDay(int year, int month, double day);
// Calendar date and time of a JD; the second is truncated.
CivilDateTime civilFromJulianDay(double jd);
// The same rounded to the minute (by the truncated second).
DateTimeFields fieldsFromJulianDay(double jd);
double julianDayOf(const CivilDateTime& c);

// Delta T = TT - UT in seconds for a decimal year.
double deltaTSeconds(double year);
// Delta T in days for a day count from J2000.
double deltaTDays(double daysFromJ2000);

// ---------------------------------------------------------------------------------------------
// Reference frames, precession and nutation. Angles in radians, T in Julian centuries from J2000.

// Longitude (or right ascension), latitude (or declination), distance. Distances are AU for the
// Sun, planets and Pluto and km for the Moon; conversions keep the unit.
struct SphericalPosition {
    double longitude = 0;
    double latitude = 0;
    double distance = 0;
};

struct RectangularPosition {
    double x = 0;
    double y = 0;
    double z = 0;
};

RectangularPosition sphericalToRectangular(const SphericalPosition& p);
SphericalPosition rectangularToSpherical(const RectangularPosition& r);  // longitude in [0, 2pi)
// Ecliptic -> equatorial for positive E, the reverse for negative E.
SphericalPosition rotateAboutXAxis(const SphericalPosition& p, double E);
SphericalPosition relativePosition(const SphericalPosition& target, const SphericalPosition& origin);
double meanObliquity(double T);
struct Nutation {
    double dpsi = 0;
    double deps = 0;
};
Nutation nutation(double T);
double nutationInLongitude(double T);
// Precession angle of one parameter ("fi", "w", "P", "Q", "E", "x", "pi", "II", "p", "th",
// "Z", "z") of a model ("IAU1976'", "IAU2000", "P03"); radians.
double precessionAngle(double T, const char* name, const char* model);
SphericalPosition precessEclipticToDate(double T, const SphericalPosition& p, const char* model);

// ---------------------------------------------------------------------------------------------
// Planetary, Pluto and lunar series.

// Body codes: 0 Earth, 1 Mercury ... 7 Neptune, 8 Pluto, 9 Sun, 10 Moon.
enum BodyCode : int {
    Earth = 0,
    Mercury = 1,
    Venus = 2,
    Mars = 3,
    Jupiter = 4,
    Saturn = 5,
    Uranus = 6,
    Neptune = 7,
    Pluto = 8,
    Sun = 9,
    Moon = 10,
};

// VSOP87D coordinate c (0 L, 1 B radians; 2 R in AU) of body 0..7 at T, keeping n terms of the
// tau^0 sub-series (n < 0: all) and the matching fraction of each higher power.
double seriesValue(int body, int c, double T, int n);
// The term sums of the series: a[j] * cos(a[j + 1] + a[j + 2] * tau) added up for j = lo,
// lo + 3, ... below hi, in that order, with the library's cosine (or another's: the quick
// sums of astro/QuickSeries.h).
using TermSum = double (*)(const double* a, int lo, int hi, double tau);
double libraryTermSum(const double* a, int lo, int hi, double tau);
double seriesValueWith(int body, int c, double T, int n, TermSum sum);
// The fitted corrections that seriesValue adds to the sum v of coordinate c of body 0..7 at tau
// (Julian millennia); also used after the fuller series of the precise mode.
double withSeriesCorrections(int body, int c, double tau, double v);
SphericalPosition heliocentricPosition(int code, double T, int nL, int nB, int nR);
RectangularPosition plutoPosition(double T);  // J2000 ecliptic, AU
// The same with the sine sum of each of the nine slots given (slot s, T).
using PlutoSlotSum = double (*)(int slot, double T);
RectangularPosition plutoPositionWith(double T, PlutoSlotSum sum);
// Pluto's place of heliocentricPosition (code 8) from a position on the J2000 ecliptic.
SphericalPosition plutoOfDate(double T, const RectangularPosition& j2000);

// Moon (ELP/MPP02, DE405 fit) coordinate c (0 longitude, 1 latitude in radians, ecliptic of
// date; 2 distance in km), n terms of the T^0 part (n < 0: all).
double moonSeriesValue(int c, double T, int n);
// The mean longitude plus the general precession that moonSeriesValue starts the longitude
// from, arcseconds (also used with the fuller series of the precise mode).
double moonMeanLongitudeArcsec(double T);
SphericalPosition moonPosition(double T, int nL, int nB, int nR);
