// The Moon's geocentric position from the truncated ELP/MPP02 series (DE405/DE406 fit).
#include <cstdint>

#include <cmath>

#include "astro/AstroConstants.h"
#include "astro/Eph0.h"
#include "astro/tables/MoonSeriesTable.h"

using AstroConstants::rad;

// Mean longitude W1 (radians, in arcseconds here) and the general precession (arcsec), with a
// small empirical drift beyond AD 3000.
double moonMeanLongitudeArcsec(double T) {
    const double T2 = T * T, T3 = T2 * T, T4 = T3 * T;
    double v = (3.81034409 + 8399.684730072 * T - 0.00003319 * T2 + 3.11e-8 * T3 - 2.033e-10 * T4) *
               rad;
    v += 5028.792262 * T + 1.1124406 * T2 + 0.00007699 * T3 - 0.000023479 * T4 -
         1.78e-8 * T4 * T;
    if (T > 10) v += -0.866 + 1.43 * (T - 10) + 0.054 * (T - 10) * (T - 10);
    return v;
}

// Coordinate c (0 longitude, 1 latitude, 2 distance) of the Moon at T (Julian centuries of
// dynamical time from J2000), referred to the mean ecliptic and equinox of date. Longitude and
// latitude in radians, distance in km. n is the number of terms kept of the T^0 part (n < 0:
// all); each higher power keeps the same fraction of its own terms (integer division) plus one.
double moonSeriesValue(int c, double T, int n) {
    if (c < 0 || c > 2) return 0.0;
    const auto& slots = MoonSeriesTable::slots[static_cast<size_t>(c)];
    const auto& used = MoonSeriesTable::usedLength[static_cast<size_t>(c)];
    constexpr int64_t term = MoonSeriesTable::termLength;

    const double T2 = T * T, T3 = T2 * T, T4 = T3 * T;
    double v = 0.0;
    if (c == 0) v = moonMeanLongitudeArcsec(T);

    const int64_t L0 = used[0];
    int64_t m = term * static_cast<int64_t>(n);
    if (m < 0) m = L0;
    double tn = 1.0;
    for (size_t i = 0; i < 4; ++i, tn *= T) {
        const int64_t Li = used[i];
        if (Li <= 0) continue;
        int64_t end = m * Li / L0;
        if (i > 0) end += term;
        if (end > Li) end = Li;
        const double* s = slots[i].data();
        double sum = 0.0;
        for (int64_t j = 0; j < end; j += term) {
            const double* t = s + j;
            sum += t[0] * std::cos(t[1] + t[2] * T + t[3] * (T2 * 1e-4) + t[4] * (T3 * 1e-8) +
                                   t[5] * (T4 * 1e-8));
        }
        v += sum * tn;
    }
    return c == 2 ? v : v / rad;
}

SphericalPosition moonPosition(double T, int nL, int nB, int nR) {
    SphericalPosition p;
    p.longitude = moonSeriesValue(0, T, nL);
    p.latitude = moonSeriesValue(1, T, nB);
    p.distance = moonSeriesValue(2, T, nR);
    return p;
}
