// The vectorised cosine and the term sums. This file is compiled without errno and trapping
// semantics for the maths functions, which lets the compiler put the loops on the vector unit.
#include "astro/QuickSeries.h"

#include <cmath>

namespace quick {
namespace {
constexpr int kChunk = 256;
constexpr int kShortSum = 6;
}  // namespace

// The nearest multiple k of pi/2 taken off in three parts (the first two exact for |k| <
// 2^20), then the sine or cosine polynomial of the rest (|r| <= pi/4, Taylor to the 17th and
// 16th powers: truncation below 5e-17) by the quadrant of k - turns.
__attribute__((target_clones("avx512f", "avx2", "default"))) void cosines(const double* x, double* out, int n, int turns) {
    const double shift = turns;
    constexpr double kTwoOverPi = 0.63661977236758134308;
    constexpr double kPio2a = 1.57079632673412561417e+00;  // first 33 bits of pi/2
    constexpr double kPio2b = 6.07710050630396597660e-11;  // next 33 bits
    constexpr double kPio2c = 2.02226624879595063154e-21;  // the rest
    for (int i = 0; i < n; ++i) {
        const double k = std::nearbyint(x[i] * kTwoOverPi);
        const double r = ((x[i] - k * kPio2a) - k * kPio2b) - k * kPio2c;
        const double kq = k - shift;
        const double q = kq - 4.0 * std::floor(kq * 0.25);
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

double termSum(const double* a, int lo, int hi, double tau) {
    double sum = 0;
    if (hi - lo < 3 * kShortSum) {
        // A few terms (the higher powers, the eight-term series): the library's cosine costs
        // less than a call to the vector loop.
        for (int j = lo; j < hi; j += 3) sum += a[j] * std::cos(a[j + 1] + a[j + 2] * tau);
        return sum;
    }
    double args[kChunk], cs[kChunk];
    for (int j = lo; j < hi;) {
        int n = 0;
        for (int k = j; k < hi && n < kChunk; k += 3, ++n) args[n] = a[k + 1] + a[k + 2] * tau;
        cosines(args, cs, n, 0);
        for (int m = 0; m < n; ++m, j += 3) sum += a[j] * cs[m];
    }
    return sum;
}

double moonTermSum(const double* a, int lo, int hi, double T, double T2e4, double T3e8, double T4e8) {
    double args[kChunk], cs[kChunk];
    double sum = 0;
    for (int j = lo; j < hi;) {
        int n = 0;
        for (int k = j; k < hi && n < kChunk; k += 6, ++n)
            args[n] = a[k + 1] + a[k + 2] * T + a[k + 3] * T2e4 + a[k + 4] * T3e8 + a[k + 5] * T4e8;
        cosines(args, cs, n, 0);
        for (int m = 0; m < n; ++m, j += 6) sum += a[j] * cs[m];
    }
    return sum;
}
}  // namespace quick
