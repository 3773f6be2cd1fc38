// Delta T (TT - UT) for the precise mode.
//
// Up to 1920: the cubic pieces that approximate the spline fit of F. R. Stephenson,
// L. V. Morrison and C. Y. Hohenkerk, "Measurement of the Earth's rotation: 720 BC to AD 2015",
// Proc. R. Soc. A 472, 20160404 (2016), supplementary Table S15 (2020 update; HM Nautical
// Almanac Office). Each row holds the knots K_i, K_i+1 (decimal years) and a0..a3 of
// a0 + a1 u + a2 u^2 + a3 u^3 with u = (y - K_i) / (K_i+1 - K_i).
// 1920-2005: the program's table (within 0.7 s of the observed values), reached from the
// pieces over 1920-1925. 2005-2025: the observed values (IERS). After 2025: the long-term
// curve of the same paper (a parabola of 32.5 s/cy^2 plus the 1500-year fluctuation of the
// length of day), integrated in closed form by P. Hirose ("Delta T long term formula",
// NavList, February 2018): -293.6 + 0.00325 t^2 + 349 cos(0.00419 t), t = y - 1825; the
// 0.7 s by which it misses the observed 2025 value fades out over the following century.
#include <array>
#include <cmath>
#include <cstddef>

#include "astro/Eph0.h"
#include "astro/Precise.h"

namespace precise {
namespace {
struct Piece {
    double from, to, a0, a1, a2, a3;
};
constexpr std::array<Piece, 30> kPieces = {{
    {-720, -100, 20371.848, -9999.586, 776.247, 409.160},
    {-100, 400, 11557.668, -5822.270, 1303.151, -503.433},
    {400, 1000, 6535.116, -5671.519, -298.291, 1085.087},
    {1000, 1150, 1650.393, -753.210, 184.811, -25.346},
    {1150, 1300, 1056.647, -459.628, 108.771, -24.641},
    {1300, 1500, 681.149, -421.345, 61.953, -29.414},
    {1500, 1600, 292.343, -192.841, -6.572, 16.197},
    {1600, 1650, 109.127, -78.697, 10.505, 3.018},
    {1650, 1720, 43.952, -68.089, 38.333, -2.127},
    {1720, 1800, 12.068, 2.507, 41.731, -37.939},
    {1800, 1810, 18.367, -3.481, -1.126, 1.918},
    {1810, 1820, 15.678, 0.021, 4.629, -3.812},
    {1820, 1830, 16.516, -2.157, -6.806, 3.250},
    {1830, 1840, 10.804, -6.018, 2.944, -0.096},
    {1840, 1850, 7.634, -0.416, 2.658, -0.539},
    {1850, 1855, 9.338, 1.642, 0.261, -0.883},
    {1855, 1860, 10.357, -0.486, -2.389, 1.558},
    {1860, 1865, 9.040, -0.591, 2.284, -2.477},
    {1865, 1870, 8.255, -3.456, -5.148, 2.720},
    {1870, 1875, 2.371, -5.593, 3.011, -0.914},
    {1875, 1880, -1.126, -2.314, 0.269, -0.039},
    {1880, 1885, -3.210, -1.893, 0.152, 0.563},
    {1885, 1890, -4.388, 0.101, 1.842, -1.438},
    {1890, 1895, -3.884, -0.531, -2.474, 1.871},
    {1895, 1900, -5.017, 0.134, 3.138, -0.232},
    {1900, 1905, -1.977, 5.715, 2.443, -1.257},
    {1905, 1910, 4.923, 6.828, -1.329, 0.720},
    {1910, 1915, 11.142, 6.330, 0.831, -0.825},
    {1915, 1920, 17.479, 5.518, -1.643, 0.262},
    {1920, 1925, 21.617, 3.020, -0.856, 0.008},
}};

double fromPieces(double year) {
    std::size_t i = 0;
    while (i + 1 < kPieces.size() && year >= kPieces[i].to) ++i;
    const Piece& p = kPieces[i];
    const double u = (year - p.from) / (p.to - p.from);
    return p.a0 + u * (p.a1 + u * (p.a2 + u * p.a3));
}

// Observed Delta T (seconds) at 2005, 2010, ..., 2025.
constexpr std::array<double, 5> kObserved = {64.69, 66.07, 67.64, 69.36, 69.20};
constexpr double kObservedEnd = 2025;

double longTerm(double year) {
    const double t = year - 1825;
    return -293.6 + 0.00325 * t * t + 349 * std::cos(0.00419 * t);
}
}  // namespace

double deltaTSeconds(double year) {
    // Before the pieces start the program's table is all there is.
    if (year < kPieces.front().from) return ::deltaTSeconds(year);
    if (year < 1920) return fromPieces(year);
    if (year < 1925) {
        const double f = (year - 1920) / 5;
        return fromPieces(year) + f * (::deltaTSeconds(year) - fromPieces(year));
    }
    if (year < 2005) return ::deltaTSeconds(year);
    const double k = (year - 2005) / 5;
    if (k < static_cast<double>(kObserved.size() - 1)) {
        const std::size_t i = static_cast<std::size_t>(k);
        const double f = k - static_cast<double>(i);
        return kObserved[i] + f * (kObserved[i + 1] - kObserved[i]);
    }
    const double fade = std::fmax(0.0, 1 - (year - kObservedEnd) / 100);
    return longTerm(year) + fade * (kObserved.back() - longTerm(kObservedEnd));
}

}  // namespace precise
