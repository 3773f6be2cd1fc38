#include "chart/HouseSystems.h"

#include <cctype>
#include <cmath>

#include "chart/PreciseHouses.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
double rad(double d) { return d * kPi / 180; }
double deg(double r) { return r * 180 / kPi; }
double mod360(double v) {
    v = std::fmod(v, 360.0);
    if (v < 0) v += 360;
    return v >= 360 ? v - 360 : v;
}

// The ecliptic point on the great circle through the north and south points of the horizon
// that cuts the equator at right ascension `a` and stands at pole height `pole`: its oblique
// ascension under that pole is `a` - 90. With pole 0 this is the point of the meridian of
// right ascension `a`; with a = RAMC + 90 and the latitude as pole, the ascendant.
double pointOn(double a, double pole, double obliquity) {
    const double e = rad(obliquity);
    return mod360(deg(std::atan2(std::sin(rad(a)),
                                 std::cos(rad(a)) * std::cos(e) - std::tan(rad(pole)) * std::sin(e))));
}

// Houses 11, 12, 2, 3 at indices 10, 11, 1, 2 from a rule giving each its equator offset from
// the RAMC (30, 60, 120, 150 for the even division) and pole; the angles from the frame.
template <typename Rule>
std::array<double, 12> quadrant(const HouseFrame& f, Rule rule) {
    std::array<double, 12> c{};
    const int index[4] = {10, 11, 1, 2};
    const double h[4] = {30, 60, 120, 150};
    for (int k = 0; k < 4; ++k) {
        double offset = 0;
        double pole = 0;
        rule(h[k], offset, pole);
        c[static_cast<std::size_t>(index[k])] = pointOn(f.ramc + offset, pole, f.obliquity);
    }
    c[0] = mod360(f.asc);
    c[9] = mod360(f.mc);
    return c;
}

void completeOpposites(std::array<double, 12>& c) {
    for (int i : {0, 1, 2, 9, 10, 11}) c[static_cast<std::size_t>((i + 6) % 12)] = mod360(c[static_cast<std::size_t>(i)] + 180);
}

std::array<double, 12> porphyry(const HouseFrame& f) {
    std::array<double, 12> c{};
    const double mc = mod360(f.mc);
    const double asc = mod360(f.asc);
    const double upper = mod360(asc - mc);   // MC to ASC
    const double lower = 180 - upper;        // ASC to IC
    c[9] = mc;
    c[10] = mod360(mc + upper / 3);
    c[11] = mod360(mc + 2 * upper / 3);
    c[0] = asc;
    c[1] = mod360(asc + lower / 3);
    c[2] = mod360(asc + 2 * lower / 3);
    completeOpposites(c);
    return c;
}
}  // namespace

bool houseSystemFromLetter(char letter, HouseSystem& out) {
    const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    for (HouseSystem s : AllHouseSystems)
        if (static_cast<char>(s) == u) {
            out = s;
            return true;
        }
    return false;
}

const char* houseSystemName(HouseSystem s) {
    switch (s) {
    case HouseSystem::Placidus: return "普拉西度";
    case HouseSystem::Koch: return "科赫";
    case HouseSystem::Equal: return "等宫";
    case HouseSystem::WholeSign: return "整宫";
    case HouseSystem::Porphyry: return "波菲利";
    case HouseSystem::Regiomontanus: return "雷格蒙塔努斯";
    case HouseSystem::Campanus: return "坎帕努斯";
    }
    return "?";
}

HouseFrame houseFrame(double ramc, double obliquity, double latitude) {
    HouseFrame f;
    f.ramc = mod360(ramc);
    f.obliquity = obliquity;
    f.latitude = latitude;
    f.mc = pointOn(f.ramc, 0, obliquity);
    f.asc = pointOn(f.ramc + 90, latitude, obliquity);
    // The ascendant in the half after the MC (inside the polar circles the rising point can
    // lie before it; the MC stays the meridian point).
    if (mod360(f.asc - f.mc) >= 180) f.asc = mod360(f.asc + 180);
    return f;
}

namespace {
bool inOrder(const std::array<double, 12>& c) {
    double around = 0;
    for (std::size_t i = 0; i < 12; ++i) around += mod360(c[(i + 1) % 12] - c[i]);
    return std::fabs(around - 360) < 1e-6;
}
}  // namespace

std::array<double, 12> houseCusps(HouseSystem s, const HouseFrame& frame, bool* fellBack) {
    if (fellBack) *fellBack = false;
    // A chart's own angles in the convention of houseFrame: the ascendant after the MC.
    HouseFrame f = frame;
    if (mod360(f.asc - f.mc) >= 180) f.asc = mod360(f.asc + 180);
    std::array<double, 12> c{};
    switch (s) {
    case HouseSystem::Equal:
        for (int i = 0; i < 12; ++i) c[static_cast<std::size_t>(i)] = mod360(f.asc + 30.0 * i);
        return c;
    case HouseSystem::WholeSign: {
        const double first = 30 * std::floor(mod360(f.asc) / 30);
        for (int i = 0; i < 12; ++i) c[static_cast<std::size_t>(i)] = mod360(first + 30.0 * i);
        return c;
    }
    case HouseSystem::Regiomontanus:
        // Circles through the north and south points dividing the equator evenly.
        c = quadrant(f, [&](double h, double& offset, double& pole) {
            offset = h;
            pole = deg(std::atan(std::tan(rad(f.latitude)) * std::sin(rad(h))));
        });
        break;
    case HouseSystem::Campanus:
        // The same circles dividing the prime vertical evenly: the one at h degrees from the
        // zenith cuts the equator at atan(tan h cos phi) from the meridian.
        c = quadrant(f, [&](double h, double& offset, double& pole) {
            offset = deg(std::atan2(std::sin(rad(h)) * std::cos(rad(f.latitude)), std::cos(rad(h))));
            pole = deg(std::atan(std::tan(rad(f.latitude)) * std::sin(rad(offset))));
        });
        break;
    case HouseSystem::Koch: {
        // The time the midheaven's degree took from the horizon to the meridian, trisected:
        // each cusp is the ascendant of a moment a third of that time apart.
        const double e = rad(f.obliquity);
        const double decl = std::asin(std::sin(e) * std::sin(rad(f.mc)));
        const double x = std::tan(rad(f.latitude)) * std::tan(decl);
        if (!(std::fabs(x) < 1) || precisehouses::insidePolarCircle(f.obliquity, f.latitude)) {
            if (fellBack) *fellBack = true;
            return porphyry(f);
        }
        const double ad = deg(std::asin(x));  // ascensional difference of the MC's degree
        const double step = (90 + ad) / 3;
        const double oaMc = f.ramc - ad;
        const int index[4] = {10, 11, 1, 2};
        const int k[4] = {1, 2, 4, 5};
        for (int i = 0; i < 4; ++i)
            c[static_cast<std::size_t>(index[i])] =
                pointOn(oaMc + k[i] * step, f.latitude, f.obliquity);
        c[0] = mod360(f.asc);
        c[9] = mod360(f.mc);
        break;
    }
    case HouseSystem::Placidus:
    case HouseSystem::Porphyry:
        return porphyry(f);
    }
    completeOpposites(c);
    // Inside the polar circles the circles of Regiomontanus and Campanus can cut the ecliptic
    // out of order: those systems have no houses there, and Porphyry stands in.
    if (!inOrder(c)) {
        if (fellBack) *fellBack = true;
        return porphyry(f);
    }
    return c;
}
