// Aspects between chart points: which aspect two longitudes form under a set of orbs, its exact
// orb, and whether it is applying or separating. Used for the aspect grid's optional kinds, the
// aspect list, and aspects between two charts (transit, synastry, progressions).
#pragma once
#include <array>
#include <cstdint>
#include <vector>

// Kinds 0..4 are the five major aspects in the order the grid and the reading number them;
// 5..9 are the minor aspects, off by default.
enum AspectKind : int {
    kConjunction = 0, kSextile, kSquare, kTrine, kOpposition,
    kSemisextile, kSemisquare, kQuintile, kSesquiquadrate, kQuincunx,
    kAspectKinds
};
inline constexpr std::array<double, kAspectKinds> AspectAngles = {0,  60, 90, 120, 180,
                                                                  30, 45, 72, 135, 150};

struct AspectOrbs {
    std::array<double, kAspectKinds> orb{};  // degrees, by kind
    bool minor = false;                      // minor kinds (5..9) take part

    // The default rule: one orb for the five major aspects, no minor aspects.
    static AspectOrbs uniform(double degrees);
};

// A point taking part: an index of the caller's choosing, its longitude (degrees) and its daily
// motion in longitude (degrees per day; 0 for points that do not move, such as cusps).
struct AspectPoint {
    int id = 0;
    double longitude = 0;
    double speed = 0;
};

struct Aspect {
    int a = 0;             // id of the first point
    int b = 0;             // id of the second point
    int kind = -1;         // AspectKind
    double orb = 0;        // |separation - exact angle|, degrees
    bool applying = false; // the orb is shrinking at the points' present motions
    bool moving = true;    // false: the points have no motion here (synastry, composite)
};

// The aspect two longitudes form, or -1. With one orb for the five majors and no minor aspects
// this is the aspect grid's own rule at any orb: the first of conjunction (below the orb),
// sextile, square, trine (strictly inside it) and opposition (up to and including 180°) whose
// range holds the separation. Otherwise a separation within the orb of several kinds takes the
// closest one.
int aspectBetween(double longitudeA, double longitudeB, const AspectOrbs& orbs);

// Every aspect among the points of one set (pairs i < j in the given order).
std::vector<Aspect> findAspects(const std::vector<AspectPoint>& points, const AspectOrbs& orbs);

// Every aspect from a point of `outer` to a point of `inner` (transit, synastry, progressed to
// natal); `a` is the outer point's id, `b` the inner one's.
std::vector<Aspect> findAspects(const std::vector<AspectPoint>& outer,
                                const std::vector<AspectPoint>& inner, const AspectOrbs& orbs);
