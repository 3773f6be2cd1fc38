// Evaluation of the outer planets' table (format in tools/gen_asteroid_tables.cpp).
#include "astro/OuterPlanets.h"

#include "astro/ChebyshevTable.h"

extern "C" const unsigned char tarmin_outer_planet_table[];
extern "C" const unsigned char tarmin_outer_planet_table_end[];

namespace outerplanets {
namespace {
constexpr double kJ2000 = 2451545.0;

const chebyshev::Table& table() {
    static const chebyshev::Table t = chebyshev::read(tarmin_outer_planet_table, tarmin_outer_planet_table_end, 5);
    return t;
}

// The table's series of body code 4..8 (Jupiter .. Pluto), or none.
const chebyshev::Series* seriesOf(int code) {
    const chebyshev::Table& t = table();
    if (!t.valid || code < Jupiter || code > Pluto) return nullptr;
    return &t.series[static_cast<std::size_t>(code - Jupiter)];
}
}  // namespace

bool covers(int code, double T) {
    const chebyshev::Series* s = seriesOf(code);
    return s && s->holds(kJ2000 + T * 36525);
}

SphericalPosition heliocentric(int code, double T) {
    const chebyshev::Series* s = seriesOf(code);
    if (!s) return {};
    return rectangularToSpherical(chebyshev::evaluate(*s, T));
}
}  // namespace outerplanets
