// The lunar series: ELP/MPP02 (DE405/DE406 fit), truncated and folded into single cosine terms
// with polynomial phases. Generated into MoonSeriesTable.cpp by tools/gen_moon_series.
#pragma once
#include <array>
#include <cstdint>

namespace MoonSeriesTable {
// Doubles per slot, doubles per term, and the marker that follows the last term of a slot.
constexpr int slotLength = 2660;
constexpr int termLength = 6;
constexpr double endMarker = 900000.0;

// slots[c][i]: coordinate c (0 longitude, 1 latitude in arcseconds; 2 distance in km), power i of
// T (0..3). Each term is (A, P, F1, F2, F3, F4) and contributes
// A*cos(P + F1*T + F2*T^2*1e-4 + F3*T^3*1e-8 + F4*T^4*1e-8), T in Julian centuries from J2000,
// angles in radians. Terms are ordered by decreasing A (always positive).
using Slots = std::array<std::array<std::array<double, slotLength>, 4>, 3>;
extern const Slots slots;
// Number of doubles used in each slot (six per term), without the end marker.
extern const std::array<std::array<int32_t, 4>, 3> usedLength;
}  // namespace MoonSeriesTable
