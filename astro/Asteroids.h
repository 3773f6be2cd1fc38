// Chiron and the four great asteroids: their heliocentric places from the built-in tables
// (Chebyshev pieces of JPL-based positions, 1598-11-26 to 2201-01-29 of Terrestrial Time).
// The apparent places, in the frame of the planets, are in astro/Eph.h (default mode) and
// astro/Precise.h (precise mode); MAstroCalc answers for the chart.
#pragma once
#include <array>

#include "astro/Eph0.h"

namespace asteroids {

// Chart order; the names and glyphs in this order.
enum Body : int { Chiron = 0, Ceres, Pallas, Juno, Vesta, kCount };
inline constexpr std::array<const char*, kCount> Names = {"凯龙星", "谷神星", "智神星", "婚神星",
                                                           "灶神星"};
inline constexpr std::array<const char*, kCount> ShortNames = {"凯", "谷", "智", "婚", "灶"};
inline constexpr std::array<const char*, kCount> Glyphs = {"\u26B7", "\u26B3", "\u26B4", "\u26B5",
                                                            "\u26B6"};
// Command-line names: "chiron", "ceres", "pallas", "juno", "vesta".
inline constexpr std::array<const char*, kCount> Keys = {"chiron", "ceres", "pallas", "juno",
                                                          "vesta"};

// True when the table holds the instant T (Julian centuries of TT from J2000).
bool covers(double T);
// Heliocentric longitude, latitude (radians) and distance (AU) on the mean ecliptic and equinox
// of date at T (Julian centuries of TT), as the planetary series give them; outside the table
// the nearest end of it. Body out of range: the origin.
SphericalPosition heliocentric(int body, double T);
// The same as rectangular coordinates (AU).
RectangularPosition heliocentricRectangular(int body, double T);

}  // namespace asteroids
