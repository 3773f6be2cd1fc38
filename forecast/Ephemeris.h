// Fast longitudes for searching in time: each body's apparent longitude from the precise engine
// (astro/Precise.h, positions at the true instant) sampled at Chebyshev nodes over fixed spans
// and kept as a polynomial per span, built the first time a span is asked for and kept. Values
// and daily motions between the nodes cost a few dozen multiplications instead of a series.
#pragma once
#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace forecast {

// The bodies a search can follow. Further bodies join by an entry here and in kBodyTable.
enum BodyId : int {
    kSun = 0, kMoon, kMercury, kVenus, kMars, kJupiter, kSaturn, kUranus, kNeptune, kPluto,
    kMeanNode,
    kChiron, kCeres, kPallas, kJuno, kVesta,  // Chiron and the asteroids (tables for 1600-2200)
    kBodyCount
};

struct BodyInfo {
    const char* name;           // as the chart names it: "太阳" ... "冥王星", "升交点"
    double (*longitude)(double jdUT);  // the engine's apparent longitude, degrees
    double spanDays;            // length of one polynomial piece
    int nodes;                  // Chebyshev nodes (and coefficients) per piece
    bool stations;              // can turn retrograde
};
const BodyInfo& bodyInfo(int body);

class Ephemeris {
public:
    // Longitude in [0, 360) and daily motion (degrees a day) from the pieces.
    double longitude(int body, double jdUT);
    double speed(int body, double jdUT);
    // Both at once.
    void place(int body, double jdUT, double& longitude, double& speed);
    // The engine itself at one instant (for the last step of a refinement).
    static double exactLongitude(int body, double jdUT);
    // An estimate of the largest difference between the piece at jdUT and the engine, degrees
    // (from the size of the piece's last coefficients).
    double roughness(int body, double jdUT);
    // How many times the engine was sampled so far.
    long samples() const { return samples_; }

private:
    struct Piece {
        double start = 0;
        std::vector<double> c;   // Chebyshev coefficients of the unwrapped longitude
        std::vector<double> dc;  // of its derivative (degrees per unit of x)
        double tail = 0;
    };
    const Piece& piece(int body, double jdUT);
    std::array<std::unordered_map<int64_t, Piece>, kBodyCount> pieces_;
    long samples_ = 0;
};

}  // namespace forecast
