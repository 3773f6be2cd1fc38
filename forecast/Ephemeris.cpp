#include "forecast/Ephemeris.h"

#include <cmath>
#include <cstddef>

#include "astro/Asteroids.h"
#include "astro/Eph0.h"
#include "astro/Precise.h"

namespace forecast {
namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kEpoch = 2451544.5;  // pieces start at whole spans from 2000-01-01 0h UT

template <int Code>
double apparent(double jdUT) {
    return precise::apparentPlace(Code, jdUT).longitude;
}

template <int Body>
double apparentAsteroid(double jdUT) {
    return precise::asteroidPlace(Body, jdUT).longitude;
}

// Spans and node counts keep the Sun, the Moon and the inner planets within a few tenths of an
// arcsecond of the engine (seconds of time), the outer planets within about an arcsecond; where
// that is more than a few seconds of time at the body's motion, and in a piece that holds a
// conjunction with the Sun (which bends a planet's light by up to 1.75"), a found instant gets
// one more step on the engine itself.
const std::array<BodyInfo, kBodyCount> kBodyTable = {{
    {"太阳", apparent<Sun>, 64, 16, false},
    {"月亮", apparent<Moon>, 32, 26, false},
    {"水星", apparent<Mercury>, 32, 18, true},
    {"金星", apparent<Venus>, 64, 20, true},
    {"火星", apparent<Mars>, 64, 20, true},
    {"木星", apparent<Jupiter>, 128, 18, true},
    {"土星", apparent<Saturn>, 128, 18, true},
    {"天王星", apparent<Uranus>, 256, 16, true},
    {"海王星", apparent<Neptune>, 256, 16, true},
    {"冥王星", apparent<Pluto>, 256, 16, true},
    {"升交点", precise::meanAscendingNode, 64, 14, false},
    {"凯龙星", apparentAsteroid<asteroids::Chiron>, 128, 18, true},
    {"谷神星", apparentAsteroid<asteroids::Ceres>, 64, 20, true},
    {"智神星", apparentAsteroid<asteroids::Pallas>, 64, 20, true},
    {"婚神星", apparentAsteroid<asteroids::Juno>, 64, 20, true},
    {"灶神星", apparentAsteroid<asteroids::Vesta>, 64, 20, true},
}};

// Chebyshev series value at x in [-1, 1] (Clenshaw).
double clenshaw(const std::vector<double>& c, double x) {
    double b1 = 0, b2 = 0;
    for (std::size_t j = c.size(); j-- > 1;) {
        const double b = 2 * x * b1 - b2 + c[j];
        b2 = b1;
        b1 = b;
    }
    return x * b1 - b2 + c[0];
}
}  // namespace

const BodyInfo& bodyInfo(int body) { return kBodyTable[static_cast<std::size_t>(body)]; }

double Ephemeris::exactLongitude(int body, double jdUT) { return bodyInfo(body).longitude(jdUT); }

const Ephemeris::Piece& Ephemeris::piece(int body, double jdUT) {
    const BodyInfo& b = bodyInfo(body);
    const auto index = static_cast<int64_t>(std::floor((jdUT - kEpoch) / b.spanDays));
    auto& map = pieces_[static_cast<std::size_t>(body)];
    auto it = map.find(index);
    if (it != map.end()) return it->second;
    Piece p;
    p.start = kEpoch + static_cast<double>(index) * b.spanDays;
    const int n = b.nodes;
    const auto un = static_cast<std::size_t>(n);
    std::vector<double> f(un);
    double previous = 0;
    for (int k = 0; k < n; ++k) {
        const double x = std::cos(kPi * (k + 0.5) / n);
        const double lon = b.longitude(p.start + (x + 1) / 2 * b.spanDays);
        // Unwrapped from node to node: no body moves half a turn between two nodes.
        f[static_cast<std::size_t>(k)] = k == 0 ? lon : previous + std::remainder(lon - previous, 360.0);
        previous = f[static_cast<std::size_t>(k)];
    }
    samples_ += n;
    p.c.assign(un, 0.0);
    for (int j = 0; j < n; ++j) {
        double s = 0;
        for (int k = 0; k < n; ++k) s += f[static_cast<std::size_t>(k)] * std::cos(kPi * j * (k + 0.5) / n);
        p.c[static_cast<std::size_t>(j)] = s * 2 / n;
    }
    p.c[0] /= 2;
    // Derivative coefficients by the usual recurrence.
    p.dc.assign(un, 0.0);
    for (int j = n - 2; j >= 0; --j) {
        const auto uj = static_cast<std::size_t>(j);
        p.dc[uj] = (j + 2 < n ? p.dc[uj + 2] : 0.0) + 2.0 * (j + 1) * p.c[uj + 1];
    }
    p.dc[0] /= 2;
    p.tail = std::fabs(p.c[un - 1]) + std::fabs(p.c[un - 2]);
    return map.emplace(index, std::move(p)).first->second;
}

void Ephemeris::place(int body, double jdUT, double& lon, double& spd) {
    const Piece& p = piece(body, jdUT);
    const double span = bodyInfo(body).spanDays;
    const double x = 2 * (jdUT - p.start) / span - 1;
    lon = std::fmod(clenshaw(p.c, x), 360.0);
    if (lon < 0) lon += 360;
    spd = clenshaw(p.dc, x) * 2 / span;
}

double Ephemeris::longitude(int body, double jdUT) {
    double l = 0, s = 0;
    place(body, jdUT, l, s);
    return l;
}

double Ephemeris::speed(int body, double jdUT) {
    double l = 0, s = 0;
    place(body, jdUT, l, s);
    return s;
}

double Ephemeris::roughness(int body, double jdUT) { return piece(body, jdUT).tail; }

}  // namespace forecast
