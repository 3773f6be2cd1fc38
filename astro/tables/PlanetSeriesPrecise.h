// The fuller VSOP87D series of the precise mode for the Earth and Mercury..Neptune (body codes
// 0..7), written into PlanetSeriesPrecise.cpp by tools/gen_planet_series --precise.
#pragma once
#include <array>
#include <cstdint>

namespace PlanetSeriesPrecise {
constexpr int kBodies = 8;
// terms[] holds (A, P, F) triples: A as published (rad or AU), P in rad, F in rad per Julian
// millennium, each sub-series by decreasing |A|. The sub-series of body b, coordinate c (0 L,
// 1 B, 2 R) and power i of tau occupies [starts[b][6c + i], starts[b][6c + i + 1]).
extern const std::array<std::array<int32_t, 19>, kBodies> starts;
extern const int32_t termDoubles;
extern const double terms[];
}  // namespace PlanetSeriesPrecise
