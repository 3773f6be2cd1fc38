// Angles and Placidus houses of the precise mode, in double precision from the RAMC, the true
// obliquity and the geographic latitude. Degrees throughout.
#pragma once
#include <array>

namespace precisehouses {

struct Houses {
    double asc = 0;
    double mc = 0;
    std::array<double, 12> cusps{};  // house n at index n - 1
    // Placidus has no solution at this moment and latitude (a cusp's semi-arc does not exist
    // or the iteration does not settle): every cusp is the Porphyry trisection of its quadrant.
    bool porphyry = false;
};

// Midheaven: the ecliptic point on the meridian south of the zenith (north of it in the
// southern hemisphere), also where it lies below the horizon inside the polar circles.
double midheaven(double ramc, double obliquity);
// Ascendant: the ecliptic point on the eastern horizon; inside the polar circles, where that
// point can lie in the half before the MC, its opposite point, so that the ascendant always
// follows the MC by less than half a turn (the usual convention of the reference ephemerides).
double ascendant(double ramc, double obliquity, double latitude);
// Inside a polar circle (|latitude| >= 90° - obliquity): some ecliptic points never rise, and
// the time-divided systems (Placidus, Koch) have no cusps.
bool insidePolarCircle(double obliquity, double latitude);
// Placidus cusps iterated until the right ascension moves less than 1e-9 degree, with the
// Porphyry fallback described above (always inside the polar circles).
Houses placidus(double ramc, double obliquity, double latitude);

}  // namespace precisehouses
