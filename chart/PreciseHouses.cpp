// Angles and converged Placidus cusps (precise mode).
#include "chart/PreciseHouses.h"

#include <cmath>
#include <cstddef>

namespace precisehouses {
namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kRad = kPi / 180;
constexpr int kMaxRounds = 200;
constexpr double kSettled = 1e-9;  // degrees of right ascension

double mod360(double v) {
    v = std::fmod(v, 360.0);
    if (v < 0) v += 360;
    if (v >= 360) v -= 360;
    return v;
}

// Ecliptic longitude of the point with right ascension alpha.
double longitudeOfRa(double alpha, double eps) {
    return mod360(std::atan2(std::sin(alpha * kRad), std::cos(alpha * kRad) * std::cos(eps * kRad)) / kRad);
}

// One intermediate cusp: the point whose right ascension is RAMC plus the fraction f of its
// diurnal semi-arc (above the horizon) or IC minus the fraction f of its nocturnal semi-arc
// (below). False when the semi-arc does not exist or the iteration does not settle.
bool placidusCusp(double ramc, double eps, double phi, double f, bool above, double& out) {
    const double tanPhi = std::tan(phi * kRad);
    const double sinEps = std::sin(eps * kRad);
    double alpha = above ? ramc + 90 * f : ramc + 180 - 90 * f;
    for (int round = 0; round < kMaxRounds; ++round) {
        const double lambda = longitudeOfRa(alpha, eps);
        const double sinDec = sinEps * std::sin(lambda * kRad);
        const double tanDec = sinDec / std::sqrt(1 - sinDec * sinDec);
        const double x = -tanPhi * tanDec;  // cosine of the diurnal semi-arc
        if (!(x >= -1 && x <= 1)) return false;
        const double dsa = std::acos(x) / kRad;
        const double next = above ? ramc + f * dsa : ramc + 180 - f * (180 - dsa);
        const double moved = std::fabs(std::remainder(next - alpha, 360.0));
        alpha = next;
        if (moved < kSettled) {
            out = longitudeOfRa(alpha, eps);
            return true;
        }
    }
    return false;
}
}  // namespace

double midheaven(double ramc, double eps) { return longitudeOfRa(ramc, eps); }

double ascendant(double ramc, double eps, double phi) {
    const double r = ramc * kRad, e = eps * kRad;
    const double y = std::cos(r);
    const double x = -(std::sin(r) * std::cos(e) + std::tan(phi * kRad) * std::sin(e));
    const double asc = mod360(std::atan2(y, x) / kRad);
    // Inside the polar circles the MC stays the meridian point of its hemisphere, above the
    // horizon or not, and the ascendant is the horizon point in the eastern half after it.
    return mod360(asc - midheaven(ramc, eps)) >= 180 ? mod360(asc + 180) : asc;
}

bool insidePolarCircle(double eps, double phi) { return std::fabs(phi) >= 90 - eps; }

Houses placidus(double ramc, double eps, double phi) {
    Houses h;
    h.mc = midheaven(ramc, eps);
    h.asc = ascendant(ramc, eps, phi);
    std::array<double, 4> mid{};  // houses 11, 12, 2, 3
    const bool ok = !insidePolarCircle(eps, phi) && placidusCusp(ramc, eps, phi, 1.0 / 3, true, mid[0]) &&
                    placidusCusp(ramc, eps, phi, 2.0 / 3, true, mid[1]) &&
                    placidusCusp(ramc, eps, phi, 2.0 / 3, false, mid[2]) &&
                    placidusCusp(ramc, eps, phi, 1.0 / 3, false, mid[3]);
    const double mc = h.mc;
    if (!ok) {
        h.porphyry = true;
        // The ascendant lies in the half after the MC, so the quadrants keep their order.
        const double q1 = mod360(h.asc - mc);  // MC .. ASC
        const double q2 = 180 - q1;            // ASC .. IC
        mid = {mod360(mc + q1 / 3), mod360(mc + 2 * q1 / 3), mod360(h.asc + q2 / 3),
               mod360(h.asc + 2 * q2 / 3)};
    }
    h.cusps[0] = h.asc;
    h.cusps[9] = mc;
    h.cusps[10] = mid[0];
    h.cusps[11] = mid[1];
    h.cusps[1] = mid[2];
    h.cusps[2] = mid[3];
    for (std::size_t i : {std::size_t{9}, std::size_t{10}, std::size_t{11}, std::size_t{0},
                          std::size_t{1}, std::size_t{2}})
        h.cusps[(i + 6) % 12] = mod360(h.cusps[i] + 180);
    return h;
}

}  // namespace precisehouses
