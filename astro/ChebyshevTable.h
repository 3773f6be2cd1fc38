// The built-in tables of JPL-based heliocentric positions (the asteroids, and Jupiter .. Pluto
// for the precise mode): Chebyshev pieces of rectangular coordinates (AU) on the mean
// ecliptic and equinox of date in Terrestrial Time. Format in tools/gen_asteroid_tables.cpp.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "astro/Eph0.h"

namespace chebyshev {
struct Series {
    double first = 0;   // TT Julian day of the first piece
    double length = 1;  // days a piece
    uint32_t pieces = 0;
    uint32_t n = 0;     // coefficients per coordinate
    double unit = 0;    // AU of the stored integers
    const unsigned char* data = nullptr;
    std::size_t coordinateBytes() const { return 16 + 4 * (n - 2); }
    // Whether the pieces hold the TT Julian day.
    bool holds(double jd) const { return jd >= first && jd <= first + pieces * length; }
};

struct Table {
    std::vector<Series> series;
    bool valid = false;
};

// The headers of a table of `count` bodies; a table of another shape is not valid.
Table read(const unsigned char* begin, const unsigned char* end, std::size_t count);
// The position at T (Julian centuries of TT from J2000); outside the pieces the nearest end.
RectangularPosition evaluate(const Series& s, double T);
}  // namespace chebyshev
