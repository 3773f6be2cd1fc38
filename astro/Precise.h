// Apparent places at the true instant: the series evaluated in Terrestrial Time (UT + Delta T),
// nutation of date, light time and aberration, sidereal time from UT with the IAU 2006
// expressions and the true obliquity of date. Used by the chart when "精确计算" is on; the
// chart's default path (Eph.h) is unchanged. Angles in degrees unless the name says otherwise;
// all instants are Julian days of Universal Time.
#pragma once
#include "astro/Eph0.h"

namespace precise {

// Heliocentric place of body code 0..9 on the ecliptic and equinox of date at T (Julian
// centuries of TT): Jupiter .. Pluto from the JPL-based table (astro/OuterPlanets.h)
// where it reaches, else the fuller series for the Earth and the planets (astro/tables/
// PlanetSeriesPrecise), the Pluto series precessed from J2000; the origin for the Sun.
SphericalPosition heliocentric(int code, double T);

// Delta T (TT - UT) in seconds for a decimal year (astro/PreciseDeltaT.cpp): from 720 BC to 1920
// the Stephenson-Morrison-Hohenkerk (2016) fit, to 2005 the program's table, the observed values
// to 2025, then the same paper's long-term curve (the table's own extrapolation puts 2025
// fifteen seconds too late).
double deltaTSeconds(double year);
// Terrestrial Time of a Universal Time, both Julian days.
double terrestrialJulianDay(double jdUT);

struct Place {
    double longitude = 0;  // apparent ecliptic longitude of date, [0, 360)
    double latitude = 0;   // degrees
};
// Apparent geocentric place of body code 1..10 (Mercury .. Pluto, Sun, Moon) at jdUT.
Place apparentPlace(int code, double jdUT);
// The same with the series summed by other means (the quick sums of astro/QuickSeries.h): the
// heliocentric places from `complete` (the default series: the light time) and `fuller` (the
// place), the Moon's fuller series term by term from `moon`.
using HeliocentricSource = SphericalPosition (*)(int code, double T);
// a[j] * cos(a[j + 1] + a[j + 2] T + a[j + 3] T2e4 + a[j + 4] T3e8 + a[j + 5] T4e8) for j = lo,
// lo + 6, ... below hi, in that order (T2e4 = T^2 1e-4, T3e8 = T^3 1e-8, T4e8 = T^4 1e-8).
using MoonTermSum = double (*)(const double* a, int lo, int hi, double T, double T2e4, double T3e8, double T4e8);
struct SeriesSources {
    HeliocentricSource complete;
    HeliocentricSource fuller;
    MoonTermSum moon;
};
Place apparentPlaceFrom(int code, double jdUT, const SeriesSources& sources);
// Coordinate c of body 0..7 from the fuller series with the term sums given (seriesValueWith).
double fullerSeriesValue(int body, int c, double T, TermSum sum);
// Daily motion of the apparent longitude (degrees per day, central difference over 0.02 day).
double longitudeSpeed(int code, double jdUT);
// Whether that motion is backwards (longitudeSpeed below zero), body code 1..8.
bool retrograde(int code, double jdUT);
// The Earth at one instant, shared by the places of the asteroids seen from it: T (Julian
// centuries of TT; in the default mode UT taken for it), heliocentric position on the ecliptic
// of date (AU) from the fuller series (precise) or the default one, velocity (AU a century) from
// twenty terms of the default series (good to 1e-6 AU a day), nutation in longitude (radians).
struct EarthState {
    double T = 0;
    bool precise = false;
    RectangularPosition position;
    RectangularPosition velocity;
    double dpsi = 0;
};
EarthState earthState(double T, bool precise);
// Apparent place of asteroid `body` (astro/Asteroids.h: Chiron .. Vesta) seen from that Earth,
// by the planets' rules of its mode: the light time, the Earth at the time of emission (moved
// back along its velocity: 1e-8 AU over the light time), nutation; in the precise mode also the
// Sun's light deflection and the precession over the light time. And the daily motion of the
// longitude (degrees a day) from the places 0.01 day either side.
Place asteroidPlaceSeenFrom(int body, const EarthState& earth);
double asteroidSpeedSeenFrom(int body, const EarthState& earth);
// The same in the precise mode at jdUT.
Place asteroidPlace(int body, double jdUT);
double asteroidSpeed(int body, double jdUT);
// The Sun's gravitational deflection of the light of a body at heliocentric `body` seen from the
// Earth at heliocentric `earth` in the geocentric direction `geocentric` (radians, AU): the
// direction moved away from the Sun, the distance kept.
SphericalPosition deflectedBySun(const SphericalPosition& geocentric, const SphericalPosition& body,
                                 const SphericalPosition& earth);
// Mean ascending node of the Moon on the ecliptic of date with nutation, [0, 360).
double meanAscendingNode(double jdUT);

// Nutation (radians) and the true obliquity of date (radians) at jdUT.
struct Frame {
    double dpsi = 0;
    double deps = 0;
    double trueObliquity = 0;
};
Frame frameOfDate(double jdUT);
// Greenwich apparent sidereal time, degrees in [0, 360): the Earth rotation angle, the IAU 2006
// polynomial and the equation of the equinoxes.
double apparentSiderealTime(double jdUT);
// Right ascension of the meridian at an east longitude (degrees), [0, 360).
double ramcAt(double jdUT, double eastLongitude);

}  // namespace precise
