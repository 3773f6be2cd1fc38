// The fuller ELP/MPP02 lunar series of the precise mode, written into MoonSeriesPrecise.cpp by
// tools/gen_moon_series --precise. Terms have the form and units of MoonSeriesTable.h.
#pragma once
#include <array>
#include <cstdint>

namespace MoonSeriesPrecise {
// terms[] holds six-double terms (A, P, F1, F2, F3, F4); coordinate c (0 longitude, 1 latitude
// in arcseconds; 2 distance in km) and power i of T occupy [starts[c][i], starts[c][i + 1]).
extern const std::array<std::array<int32_t, 5>, 3> starts;
extern const double terms[];
}  // namespace MoonSeriesPrecise
