// Jupiter, Saturn, Uranus, Neptune and Pluto for the precise mode: heliocentric places from a
// built-in table of JPL-based positions (1598-11-26 to 2201-01-29 of Terrestrial Time), where
// their series stray from the numerical ephemeris (Jupiter and Saturn by up to 0.7", Uranus and
// Neptune by 5", Pluto by 17").
#pragma once
#include "astro/Eph0.h"

namespace outerplanets {
// Whether the table gives body code `code` (Jupiter .. Pluto) at T (Julian centuries of
// TT from J2000).
bool covers(int code, double T);
// Heliocentric longitude, latitude (radians) and distance (AU) on the mean ecliptic and equinox
// of date, as the planetary series give them; outside the table the nearest end of it.
SphericalPosition heliocentric(int code, double T);
}  // namespace outerplanets
