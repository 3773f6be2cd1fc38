#include "chart/ExtraPoints.h"

#include <cmath>

#include "astro/Eph0.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
double mod360(double v) {
    v = std::fmod(v, 360.0);
    if (v < 0) v += 360;
    return v >= 360 ? v - 360 : v;
}
double nutationDegrees(double T) { return nutationInLongitude(T) * 180 / kPi; }
constexpr double kDaysPerCentury = 36525;
}  // namespace

double trueNodeLongitude(double T) {
    // The node of the osculating orbit: the ecliptic's crossing with the plane through the
    // Earth of the Moon's position and velocity (h = r x v; the node lies along z x h).
    auto at = [](double t) { return sphericalToRectangular(moonPosition(t, -1, -1, -1)); };
    const double h = 1.0 / 24 / kDaysPerCentury;  // an hour
    const RectangularPosition r = at(T);
    const RectangularPosition a = at(T - h);
    const RectangularPosition b = at(T + h);
    const double vx = b.x - a.x, vy = b.y - a.y, vz = b.z - a.z;
    const double hx = r.y * vz - r.z * vy;
    const double hy = r.z * vx - r.x * vz;
    return mod360(std::atan2(hx, -hy) * 180 / kPi + nutationDegrees(T));
}

double meanLilithLongitude(double T) {
    const double T2 = T * T, T3 = T2 * T, T4 = T3 * T;
    const double L =
        218.3164477 + 481267.88123421 * T - 0.0015786 * T2 + T3 / 538841 - T4 / 65194000;
    const double Mm =
        134.9633964 + 477198.8675055 * T + 0.0087414 * T2 + T3 / 69699 - T4 / 14712000;
    const double omega =
        125.0445479 - 1934.1362891 * T + 0.0020754 * T2 + T3 / 467441 - T4 / 60616000;
    // The apogee lies in the mean orbit, inclined 5.1454 deg: its longitude along the orbit,
    // counted from the node, goes onto the ecliptic (up to 7' apart).
    const double u = (L - Mm + 180 - omega) * kPi / 180;
    const double i = 5.1453964 * kPi / 180;
    const double along = std::atan2(std::sin(u) * std::cos(i), std::cos(u)) * 180 / kPi;
    return mod360(omega + along + nutationDegrees(T));
}

namespace {
template <typename F>
double perDay(F f, double T) {
    const double h = 0.5 / kDaysPerCentury;  // half a day
    double d = f(T + h) - f(T - h);
    if (d > 180) d -= 360;
    if (d < -180) d += 360;
    return d;
}
}  // namespace

double trueNodeSpeed(double T) { return perDay(trueNodeLongitude, T); }
double meanLilithSpeed(double T) { return perDay(meanLilithLongitude, T); }

bool isDayChart(double ascendant, double sun) { return mod360(sun - ascendant) >= 180; }

double partOfFortune(double ascendant, double sun, double moon) {
    return isDayChart(ascendant, sun) ? mod360(ascendant + moon - sun)
                                      : mod360(ascendant + sun - moon);
}
