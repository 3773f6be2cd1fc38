#include "chart/Xiangwei.h"

#include <cmath>

namespace {

double separation(double a, double b) {
    double d = std::fabs(std::fmod(a - b, 360.0));
    return d > 180 ? 360 - d : d;
}

bool within(int kind, double d, double orb) {
    const double angle = AspectAngles[static_cast<std::size_t>(kind)];
    if (kind == kConjunction) return d < orb;
    if (kind == kOpposition) return d > 180 - orb;
    return d > angle - orb && d < angle + orb;
}

Aspect make(const AspectPoint& p, const AspectPoint& q, const AspectOrbs& orbs) {
    Aspect a;
    a.a = p.id;
    a.b = q.id;
    a.kind = aspectBetween(p.longitude, q.longitude, orbs);
    if (a.kind < 0) return a;
    const double angle = AspectAngles[static_cast<std::size_t>(a.kind)];
    a.orb = std::fabs(separation(p.longitude, q.longitude) - angle);
    // A small step forward at the present motions: applying when the orb shrinks.
    const double step = 1e-3;
    const double later = std::fabs(
        separation(p.longitude + p.speed * step, q.longitude + q.speed * step) - angle);
    a.applying = later < a.orb;
    return a;
}

}  // namespace

AspectOrbs AspectOrbs::uniform(double degrees) {
    AspectOrbs o;
    for (int k = 0; k < 5; ++k) o.orb[static_cast<std::size_t>(k)] = degrees;
    return o;
}

int aspectBetween(double longitudeA, double longitudeB, const AspectOrbs& orbs) {
    const double d = separation(longitudeA, longitudeB);
    // The default rule (one orb for the five majors): the first kind in the grid's order whose
    // range holds the separation, as the grid has always read it; above an orb of 15 the
    // ranges overlap and that is not always the closest kind.
    bool uniform = !orbs.minor;
    for (int k = 1; k < 5 && uniform; ++k) uniform = orbs.orb[static_cast<std::size_t>(k)] == orbs.orb[0];
    if (uniform) {
        if (orbs.orb[0] <= 0) return -1;
        for (int k = 0; k < 5; ++k)
            if (within(k, d, orbs.orb[0])) return k;
        return -1;
    }
    int best = -1;
    double bestOrb = 0;
    const int kinds = orbs.minor ? kAspectKinds : 5;
    for (int k = 0; k < kinds; ++k) {
        const double orb = orbs.orb[static_cast<std::size_t>(k)];
        if (orb <= 0 || !within(k, d, orb)) continue;
        const double off = std::fabs(d - AspectAngles[static_cast<std::size_t>(k)]);
        if (best < 0 || off < bestOrb) {
            best = k;
            bestOrb = off;
        }
    }
    return best;
}

std::vector<Aspect> findAspects(const std::vector<AspectPoint>& points, const AspectOrbs& orbs) {
    std::vector<Aspect> out;
    for (std::size_t i = 0; i < points.size(); ++i)
        for (std::size_t j = i + 1; j < points.size(); ++j) {
            Aspect a = make(points[i], points[j], orbs);
            if (a.kind >= 0) out.push_back(a);
        }
    return out;
}

std::vector<Aspect> findAspects(const std::vector<AspectPoint>& outer,
                                const std::vector<AspectPoint>& inner, const AspectOrbs& orbs) {
    std::vector<Aspect> out;
    for (const AspectPoint& p : outer)
        for (const AspectPoint& q : inner) {
            Aspect a = make(p, q, orbs);
            if (a.kind >= 0) out.push_back(a);
        }
    return out;
}
