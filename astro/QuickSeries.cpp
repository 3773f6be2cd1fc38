// The vectorised cosine and the term sums. This file is compiled without errno and trapping
// semantics for the maths functions, which lets the compiler put the loops on the vector unit.
#include "astro/QuickSeries.h"

#include <array>
#include <cmath>
#include <cstddef>

#include "astro/Precise.h"
#include "astro/tables/PlanetSeriesPrecise.h"
#include "astro/tables/PlanetSeriesTable.h"

namespace quick {
namespace {
constexpr int kChunk = 256;

// cos of n arguments: the nearest multiple k of pi/2 taken off in three parts (the first two
// exact for |k| < 2^20), then the sine or cosine polynomial of the rest (|r| <= pi/4, Taylor
// to the 17th and 16th powers: truncation below 5e-17) by the quadrant.
__attribute__((target_clones("avx2", "default"))) void cosines(const double* x, double* out, int n) {
    constexpr double kTwoOverPi = 0.63661977236758134308;
    constexpr double kPio2a = 1.57079632673412561417e+00;  // first 33 bits of pi/2
    constexpr double kPio2b = 6.07710050630396597660e-11;  // next 33 bits
    constexpr double kPio2c = 2.02226624879595063154e-21;  // the rest
    for (int i = 0; i < n; ++i) {
        const double k = std::nearbyint(x[i] * kTwoOverPi);
        const double r = ((x[i] - k * kPio2a) - k * kPio2b) - k * kPio2c;
        const double q = k - 4.0 * std::floor(k * 0.25);
        const double z = r * r;
        const double s =
            r + r * z *
                    (-1.0 / 6 +
                     z * (1.0 / 120 +
                          z * (-1.0 / 5040 +
                               z * (1.0 / 362880 +
                                    z * (-1.0 / 39916800 +
                                         z * (1.0 / 6227020800 +
                                              z * (-1.0 / 1307674368000 + z * (1.0 / 355687428096000))))))));
        const double c =
            1.0 + z * (-0.5 +
                       z * (1.0 / 24 +
                            z * (-1.0 / 720 +
                                 z * (1.0 / 40320 +
                                      z * (-1.0 / 3628800 +
                                           z * (1.0 / 479001600 +
                                                z * (-1.0 / 87178291200 + z * (1.0 / 20922789888000))))))));
        const bool odd = q == 1.0 || q == 3.0;
        const bool negative = q == 1.0 || q == 2.0;
        const double v = odd ? s : c;
        out[i] = negative ? -v : v;
    }
}
}  // namespace

double termSum(const double* a, int lo, int hi, double tau) {
    double args[kChunk], cs[kChunk];
    double sum = 0;
    for (int j = lo; j < hi;) {
        int n = 0;
        for (int k = j; k < hi && n < kChunk; k += 3, ++n) args[n] = a[k + 1] + a[k + 2] * tau;
        cosines(args, cs, n);
        for (int m = 0; m < n; ++m, j += 3) sum += a[j] * cs[m];
    }
    return sum;
}
}  // namespace quick
