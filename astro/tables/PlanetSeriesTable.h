// Truncated VSOP87D series of the Earth and the planets Mercury..Neptune (body codes 0..7),
// and the fixed corrections added after them. The data lives in PlanetSeriesTable.cpp, which
// tools/gen_planet_series writes from the published files.
#pragma once
#include <array>
#include <cstdint>

namespace PlanetSeriesTable {
constexpr int kBodies = 8;
constexpr int kBlockSize = 6600;
// Element of a block where the terms begin.
constexpr int kFirstTerm = 20;

// Block of body b: element 0 is the amplitude scale (1e10 Earth, 1e9 Mercury, Venus, Mars,
// 1e8 Jupiter..Neptune); elements 1..19 are the start indices (as doubles); from element 20
// come terms (A * scale, P rad, F rad per Julian millennium), each sub-series by decreasing |A|.
// The sub-series of coordinate c (0 L, 1 B, 2 R) and power i of tau occupies the elements
// [starts[b][6c + i], starts[b][6c + i + 1]).
extern const std::array<std::array<double, kBlockSize>, kBodies> blocks;
extern const std::array<std::array<int32_t, 19>, kBodies> starts;
}  // namespace PlanetSeriesTable

// Fixed corrections added after the series for bodies 1..7 (index = body code, row 0 unused):
// L and B in arcseconds, R in 1e-6 AU.
namespace PlanetCorrections {
struct Row {
    double L, B, R;
};
constexpr std::array<Row, 8> rows = {{
    {0, 0, 0},
    {-0.08631, 0.00039, -0.00008},   // Mercury
    {-0.07447, 0.00006, 0.00017},    // Venus
    {-0.07135, -0.00026, -0.00176},  // Mars
    {-0.20239, 0.00273, -0.00347},   // Jupiter
    {-0.25486, 0.00276, 0.42926},    // Saturn
    {0.24588, 0.00345, -14.46266},   // Uranus
    {-0.95116, 0.02481, 58.30651},   // Neptune
}};
}  // namespace PlanetCorrections
