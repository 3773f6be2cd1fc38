// The heliocentric places from the quick term sums, and the printing check.
#include <array>
#include <cmath>
#include <cstddef>

#include "astro/AstroConstants.h"
#include "astro/OuterPlanets.h"
#include "astro/Precise.h"
#include "astro/QuickSeries.h"
#include "astro/tables/PlutoSeriesTable.h"

namespace quick {
namespace {
using AstroConstants::pi;

double defaultValue(int body, int c, double T) { return seriesValueWith(body, c, T, -1, termSum); }
double fullerValue(int body, int c, double T) { return precise::fullerSeriesValue(body, c, T, termSum); }

// Pluto's slot s as plutoPosition sums it, with the quick sine.
double plutoSlotSum(int s, double T) {
    const auto& slot = PlutoSeriesTable::series[static_cast<std::size_t>(s)];
    double args[PlutoSeriesTable::kTermsPerSlot], sines[PlutoSeriesTable::kTermsPerSlot];
    int n = 0;
    for (std::size_t j = 0; j + 2 < slot.size(); j += 3, ++n) {
        if (slot[j] == PlutoSeriesTable::kTerminator) break;
        args[n] = static_cast<double>(slot[j + 1]) * T * 1e-8 + static_cast<double>(slot[j + 2]) * (pi / 180) * 1e-5;
    }
    cosines(args, sines, n, 1);
    double sum = 0;
    for (int k = 0; k < n; ++k) sum += static_cast<double>(slot[static_cast<std::size_t>(3 * k)]) * sines[k];
    return sum;
}

SphericalPosition pluto(double T) { return plutoOfDate(T, plutoPositionWith(T, plutoSlotSum)); }

// The last two places of each body and series, per thread: the Earth at the instant serves
// every body, a body at its light time serves again for its place.
struct Memo {
    double T[2] = {0, 0};
    SphericalPosition value[2];
    bool valid[2] = {false, false};
    int older = 0;
};
template <double (*Value)(int, int, double)>
SphericalPosition remembered(std::array<Memo, 9>& memo, int code, double T) {
    Memo& m = memo[static_cast<std::size_t>(code)];
    for (int i = 0; i < 2; ++i)
        if (m.valid[i] && m.T[i] == T) {
            m.older = 1 - i;
            return m.value[i];
        }
    const int slot = m.older;
    m.value[slot] = code == Pluto ? pluto(T) : SphericalPosition{Value(code, 0, T), Value(code, 1, T), Value(code, 2, T)};
    m.T[slot] = T;
    m.valid[slot] = true;
    m.older = 1 - slot;
    return m.value[slot];
}
}  // namespace

SphericalPosition completeSeries(int code, double T) {
    if (code < Earth || code > Pluto) return heliocentricPosition(code, T, -1, -1, -1);
    thread_local std::array<Memo, 9> memo;
    return remembered<defaultValue>(memo, code, T);
}

SphericalPosition fullerSeries(int code, double T) {
    // Jupiter .. Pluto from their table where it reaches (quick already).
    if (code < Earth || code > Pluto || outerplanets::covers(code, T)) return precise::heliocentric(code, T);
    thread_local std::array<Memo, 9> memo;
    return remembered<fullerValue>(memo, code, T);
}

SphericalPosition roughSeries(int code, double T) {
    if (code == Pluto) return pluto(T);
    if (code < Earth || code > Neptune) return heliocentricPosition(code, T, 8, 8, 8);
    return {seriesValueWith(code, 0, T, 8, termSum), seriesValueWith(code, 1, T, 8, termSum),
            seriesValueWith(code, 2, T, 8, termSum)};
}

bool covers(double jdUT) { return jdUT >= 1355807.5 && jdUT <= 2816787.5; }  // -1000 .. 3000

bool printsTheSame(double degrees) {
    if (std::fabs(degrees) <= kBoundDegrees || std::fabs(degrees - 360) <= kBoundDegrees) return false;
    const double micro = degrees * 1e6;
    const double rest = micro - std::floor(micro);  // the rounding boundary is at one half
    return std::fabs(rest - 0.5) > kBoundDegrees * 1e6 + 1e-6;
}
}  // namespace quick
