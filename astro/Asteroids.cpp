// Evaluation of the built-in asteroid tables (format in tools/gen_asteroid_tables.cpp).
#include "astro/Asteroids.h"

#include "astro/ChebyshevTable.h"

extern "C" const unsigned char tarmin_asteroid_table[];
extern "C" const unsigned char tarmin_asteroid_table_end[];

namespace asteroids {
namespace {
constexpr double kJ2000 = 2451545.0;

// The headers read once; a table of another shape leaves every body at the origin.
const chebyshev::Table& table() {
    static const chebyshev::Table t = chebyshev::read(tarmin_asteroid_table, tarmin_asteroid_table_end, kCount);
    return t;
}
}  // namespace

bool covers(double T) {
    const chebyshev::Table& t = table();
    if (!t.valid) return false;
    for (const chebyshev::Series& s : t.series)
        if (!s.holds(kJ2000 + T * 36525)) return false;
    return true;
}

RectangularPosition heliocentricRectangular(int body, double T) {
    const chebyshev::Table& t = table();
    if (!t.valid || body < 0 || body >= kCount) return {};
    return chebyshev::evaluate(t.series[static_cast<std::size_t>(body)], T);
}

SphericalPosition heliocentric(int body, double T) {
    return rectangularToSpherical(heliocentricRectangular(body, T));
}

}  // namespace asteroids
