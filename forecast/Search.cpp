#include "forecast/Search.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace forecast {
namespace {
constexpr double kTolerance = 1e-6;  // days (0.09 s)

// Brent's method on a bracket where f changes sign.
template <typename F>
double brent(F f, double a, double b, double fa, double fb) {
    if (fa == 0) return a;
    if (fb == 0) return b;
    double c = a, fc = fa, d = b - a, e = d;
    for (int iter = 0; iter < 100; ++iter) {
        if ((fb > 0) == (fc > 0)) {
            c = a;
            fc = fa;
            d = e = b - a;
        }
        if (std::fabs(fc) < std::fabs(fb)) {
            a = b; b = c; c = a;
            fa = fb; fb = fc; fc = fa;
        }
        const double tol = kTolerance / 2;
        const double m = (c - b) / 2;
        if (std::fabs(m) <= tol || fb == 0) return b;
        if (std::fabs(e) >= tol && std::fabs(fa) > std::fabs(fb)) {
            double p, q;
            const double s = fb / fa;
            if (a == c) {
                p = 2 * m * s;
                q = 1 - s;
            } else {
                const double qq = fa / fc, r = fb / fc;
                p = s * (2 * m * qq * (qq - r) - (b - a) * (r - 1));
                q = (qq - 1) * (r - 1) * (s - 1);
            }
            if (p > 0) q = -q;
            else p = -p;
            if (2 * p < std::min(3 * m * q - std::fabs(tol * q), std::fabs(e * q))) {
                e = d;
                d = p / q;
            } else {
                d = m;
                e = m;
            }
        } else {
            d = m;
            e = m;
        }
        a = b;
        fa = fb;
        b += std::fabs(d) > tol ? d : (m > 0 ? tol : -tol);
        fb = f(b);
    }
    return b;
}

// The turning point of a longitude is the vertex of the parabola through three of the engine's
// own places around it, taken twice with a closer spacing: the pieces' rates are good to a
// fraction of an arcsecond a day, which moves a slow planet's station by up to an hour.
double stationOnEngine(int body, double t) {
    for (const double h : {1.0, 0.1}) {
        const double l0 = Ephemeris::exactLongitude(body, t);
        const double lm = std::remainder(Ephemeris::exactLongitude(body, t - h) - l0, 360.0);
        const double lp = std::remainder(Ephemeris::exactLongitude(body, t + h) - l0, 360.0);
        const double curve = lm + lp;  // second difference (l0 is zero here)
        if (curve == 0) break;
        const double shift = h * (lm - lp) / (2 * curve);
        if (std::fabs(shift) > h) break;
        t += shift;
    }
    return t;
}
}  // namespace

void Searcher::angle(const AngleSource& s, double jd, double& value, double& rate) {
    eph_.place(s.a, jd, value, rate);
    if (s.b < 0) return;
    double v = 0, r = 0;
    eph_.place(s.b, jd, v, r);
    value = std::fmod(value - v + 360.0, 360.0);
    rate -= r;
}

double Searcher::gridStep(const AngleSource& s) const {
    // Retrograde loops last three weeks at the least; the Moon moves 15 degrees a day at most.
    (void)s;
    return 1.0;
}

std::vector<Station> Searcher::stations(const AngleSource& s, double t1, double t2) {
    return turningPoints(s, t1, t2, true);
}

// The runs of the search are cut where the pieces turn (onEngine false), so that each run is
// monotonic in the function the crossings are found on.
std::vector<Station> Searcher::turningPoints(const AngleSource& s, double t1, double t2, bool onEngine) {
    std::vector<Station> out;
    // A longitude turns where its body can station; a difference turns unless the Moon, which
    // outruns every other body, is in it.
    const bool turns = s.b < 0 ? bodyInfo(s.a).stations : (s.a != kMoon && s.b != kMoon);
    if (!turns || t2 <= t1) return out;
    const double h = gridStep(s);
    auto rate = [&](double t) {
        double v = 0, r = 0;
        angle(s, t, v, r);
        return r;
    };
    double ta = t1, ra = rate(ta);
    while (ta < t2) {
        if (cancelled && cancelled()) break;
        const double tb = std::min(t2, ta + h);
        const double rb = rate(tb);
        if ((ra > 0) != (rb > 0) && ra != 0) {
            double t = brent(rate, ta, tb, ra, rb);
            if (s.b < 0 && onEngine) t = stationOnEngine(s.a, t);
            out.push_back({t, ra > 0});
        }
        ta = tb;
        ra = rb;
    }
    return out;
}

double Searcher::refine(const AngleSource& s, double target, double lo, double hi, bool forward) {
    auto f = [&](double t) {
        double v = 0, r = 0;
        angle(s, t, v, r);
        const double d = std::remainder(v - target, 360.0);
        return forward ? d : -d;
    };
    double t = brent(f, lo, hi, f(lo), f(hi));
    // Where the piece's error could move the instant by more than ten seconds, one Newton step
    // on the engine itself.
    if (s.b < 0) {
        double v = 0, r = 0;
        angle(s, t, v, r);
        const double rough = 2 * eph_.roughness(s.a, t);
        if (std::fabs(r) > 1e-4 && rough > std::fabs(r) * 10.0 / 86400) {
            const double step = std::remainder(Ephemeris::exactLongitude(s.a, t) - target, 360.0) / r;
            if (std::fabs(step) < 0.05) t -= step;
        }
    }
    return t;
}

std::vector<Crossing> Searcher::crossings(const AngleSource& s, const std::vector<double>& values,
                                          double t1, double t2) {
    std::vector<Crossing> out;
    if (t2 <= t1) return out;
    // Monotonic runs between the turning points.
    std::vector<double> cuts{t1};
    for (const Station& st : turningPoints(s, t1, t2, false)) cuts.push_back(st.jd);
    cuts.push_back(t2);
    const double h = gridStep(s);
    for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
        const double a = cuts[k], b = cuts[k + 1];
        if (b <= a) continue;
        double ta = a, va = 0, ra = 0;
        angle(s, ta, va, ra);
        // The direction of the run from its middle (its ends may be stations).
        double vm = 0, rm = 0;
        angle(s, (a + b) / 2, vm, rm);
        const bool forward = rm > 0;
        double ua = va;  // unwrapped
        while (ta < b) {
            if (cancelled && cancelled()) return out;
            const double tb = std::min(b, ta + h);
            double vb = 0, rb = 0;
            angle(s, tb, vb, rb);
            const double ub = ua + std::remainder(vb - va, 360.0);
            const double lo = std::min(ua, ub), hi = std::max(ua, ub);
            for (std::size_t i = 0; i < values.size(); ++i) {
                // Each value at every turn inside (lo, hi] when growing, [lo, hi) when shrinking.
                const double v = values[i];
                double m = std::ceil((lo - v) / 360.0);
                for (double x = v + 360.0 * m; x <= hi; x += 360.0) {
                    if (forward ? x <= lo : x >= hi) continue;
                    out.push_back({refine(s, x, ta, tb, forward), static_cast<int>(i), forward});
                }
            }
            ta = tb;
            va = vb;
            ua = ub;
        }
    }
    std::sort(out.begin(), out.end(), [](const Crossing& x, const Crossing& y) { return x.jd < y.jd; });
    return out;
}

}  // namespace forecast
