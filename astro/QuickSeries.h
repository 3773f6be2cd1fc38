// Quick sums of the planetary series: the same terms in the same order as the series of the
// default and precise modes, with a cosine that runs on the processor's vector unit. Each cosine
// is within 2.3e-16 of the library's, so a place from these sums differs from the complete one
// in its last bits only; a printed place takes it where that cannot change a printed digit.
#pragma once
#include "astro/Eph0.h"

namespace quick {
// Heliocentric L, B (radians) and R (AU) on the ecliptic of date of body code 0..8: from the
// default series (as heliocentricPosition with every term), the fuller one (as
// precise::heliocentric), or eight terms of the default one (as heliocentricPosition with 8);
// Pluto from its series and other codes as those functions give them.
SphericalPosition completeSeries(int code, double T);
SphericalPosition fullerSeries(int code, double T);
SphericalPosition roughSeries(int code, double T);
// The Moon's fuller series term by term (precise::MoonTermSum).
double moonTermSum(const double* a, int lo, int hi, double T, double T2e4, double T3e8, double T4e8);

// Sum of a[j] * cos(a[j + 1] + a[j + 2] * tau) for j = lo, lo + 3, ... below hi, in that order.
double termSum(const double* a, int lo, int hi, double tau);
// cos(x[i] - turns * pi / 2) for i below n (turns 1: the sine).
void cosines(const double* x, double* out, int n, int turns);

// The years the quick sums are checked for (their arguments stay small enough there).
bool covers(double jdUT);
// Places from the quick sums lie within this many degrees of the complete ones: a hundred
// times the largest difference found (1.7e-11 degree, Mars in the default mode) at 630,000
// places of both modes from -1000 to 3000.
constexpr double kBoundDegrees = 2e-9;
// Whether every number within kBoundDegrees of `degrees` prints the same with six decimals
// (the same side of each rounding boundary, of zero and of 0/360).
bool printsTheSame(double degrees);
}  // namespace quick
