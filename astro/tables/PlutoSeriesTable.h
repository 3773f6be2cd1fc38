// Pluto series (Chapront & Francou, fitted to DE406): nine slots of 194 terms (A, F, P) as
// signed 64-bit integers. Slot s gives rectangular coordinate s / 3 (0 x, 1 y, 2 z; J2000
// ecliptic) for power s mod 3 of the normalised time u. A in 1e-8 AU, F in 1e-8 rad per Julian
// century, P in 1e-5 degree; each slot by decreasing |A| and ended early by a term with A = -100.
// The data lives in PlutoSeriesTable.cpp, written by tools/gen_pluto_series.
#pragma once
#include <array>
#include <cstdint>

namespace PlutoSeriesTable {
constexpr int kSeries = 9;
constexpr int kTermsPerSlot = 194;
constexpr int kSlotSize = 3 * kTermsPerSlot;  // 582
constexpr int64_t kTerminator = -100;
extern const std::array<std::array<int64_t, kSlotSize>, kSeries> series;
}  // namespace PlutoSeriesTable
