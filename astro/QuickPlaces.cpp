// The heliocentric places from the quick term sums, and the printing check.
#include <array>
#include <cmath>
#include <cstddef>

#include "astro/Precise.h"
#include "astro/QuickSeries.h"
#include "astro/tables/PlanetSeriesPrecise.h"
#include "astro/tables/PlanetSeriesTable.h"

namespace quick {
namespace {
// Coordinate c of body 0..7, as seriesValue with every term.
double defaultValue(int body, int c, double T) {
    const auto& block = PlanetSeriesTable::blocks[static_cast<std::size_t>(body)];
    const auto& start = PlanetSeriesTable::starts[static_cast<std::size_t>(body)];
    const double tau = T / 10;
    double v = 0, tn = 1;
    for (int i = 0; i < 6; ++i, tn *= tau) {
        const int lo = start[static_cast<std::size_t>(6 * c + i)];
        const int hi = start[static_cast<std::size_t>(6 * c + i + 1)];
        if (hi <= lo) continue;
        v += termSum(block.data(), lo, hi, tau) * tn;
    }
    v /= block[0];
    return withSeriesCorrections(body, c, tau, v);
}

// Coordinate c of body 0..7, as the fuller series of the precise mode.
double fullerValue(int body, int c, double T) {
    const auto& st = PlanetSeriesPrecise::starts[static_cast<std::size_t>(body)];
    const double tau = T / 10;
    double v = 0, tn = 1;
    for (int i = 0; i < 6; ++i, tn *= tau)
        v += termSum(PlanetSeriesPrecise::terms, st[static_cast<std::size_t>(6 * c + i)],
                     st[static_cast<std::size_t>(6 * c + i + 1)], tau) *
             tn;
    return withSeriesCorrections(body, c, tau, v);
}

// The last two places of each body and series, per thread: the Earth at the instant serves
// every body, a body at its light time serves again for its place.
struct Memo {
    double T[2] = {0, 0};
    SphericalPosition value[2];
    bool valid[2] = {false, false};
    int older = 0;
};
template <double (*Value)(int, int, double)>
SphericalPosition remembered(std::array<Memo, 8>& memo, int code, double T) {
    Memo& m = memo[static_cast<std::size_t>(code)];
    for (int i = 0; i < 2; ++i)
        if (m.valid[i] && m.T[i] == T) {
            m.older = 1 - i;
            return m.value[i];
        }
    const int slot = m.older;
    m.value[slot] = {Value(code, 0, T), Value(code, 1, T), Value(code, 2, T)};
    m.T[slot] = T;
    m.valid[slot] = true;
    m.older = 1 - slot;
    return m.value[slot];
}
}  // namespace

SphericalPosition completeSeries(int code, double T) {
    if (code < 0 || code > 7) return heliocentricPosition(code, T, -1, -1, -1);
    thread_local std::array<Memo, 8> memo;
    return remembered<defaultValue>(memo, code, T);
}

SphericalPosition fullerSeries(int code, double T) {
    if (code < 0 || code > 7) return precise::heliocentric(code, T);
    thread_local std::array<Memo, 8> memo;
    return remembered<fullerValue>(memo, code, T);
}

bool covers(double jdUT) { return jdUT >= 1355807.5 && jdUT <= 2816787.5; }  // -1000 .. 3000

bool printsTheSame(double degrees) {
    if (std::fabs(degrees) <= kBoundDegrees || std::fabs(degrees - 360) <= kBoundDegrees) return false;
    const double micro = degrees * 1e6;
    const double rest = micro - std::floor(micro);  // the rounding boundary is at one half
    return std::fabs(rest - 0.5) > kBoundDegrees * 1e6 + 1e-6;
}
}  // namespace quick
