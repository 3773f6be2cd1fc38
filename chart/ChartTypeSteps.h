// The steps the chart types share: the natal casts of the two people, a chart cast at an
// instant on the clock of its place, the aspect lists and the reading pane. Each kind's unit
// reads as its definition over these.
#pragma once
#include <string>
#include <vector>

#include "chart/ChartAsteroids.h"
#include "chart/ChartTypeCast.h"

namespace charttypes {

// One chart-type cast in progress: the request, the natal charts cast for it and the result.
struct TypeCast {
    MZhanXingEx& engine;
    const TypeRequest& q;
    const PlaceClocks& clocks;
    TypeResult& out;
    std::string& error;

    NatalPoints pa, pb;                 // the natal charts of A and B (B: two-person kinds)
    double jdA = 0, jdB = 0;            // their instants
    std::array<double, 12> speedA{}, speedB{};  // daily motions at those instants
    std::string nameA, nameB;           // names as the captions show them
    AspectOrbs orbs;
    AsteroidSet asteroidsB;             // B's Chiron and asteroids at B's birth
    std::array<ChartPoint, kExtraPoints> extrasB{};  // B's true node, Lilith ... as B's chart shows them

    // Adds to the aspect list those of Chiron and the asteroids the settings show (nothing when
    // none is shown), as aspectsWithin/aspectsBetween made the rest: `outer` empty for those
    // within one chart.
    void asteroidAspects(const std::vector<AspectPoint>& inner, const AsteroidSet& innerAsteroids,
                         const std::vector<AspectPoint>& outer, const AsteroidSet& outerAsteroids,
                         bool moving, const std::string& innerOwner, const std::string& outerOwner);

    // The chart of `place` (its place, clock and person fields) cast at instant `jd8`, read on
    // the clock of the place then; on a refusal A's natal chart is cast again and false.
    bool castAt(BirthRecord place, double jd8);
    // The chart of `place` at `jd8` as a chart in its own right (Davison, returns): castAt, its
    // instant, the outer points, and its aspects, Chiron's and the asteroids' included, moving
    // at the rates of the instant. On a refusal false, as castAt.
    bool castOwnChart(const BirthRecord& place, double jd8);
    // A's natal chart back on the engine (after a chart cast for another instant).
    void castA();
    // The chart's instant on the clock of `place`.
    void setInstant(const BirthRecord& place, double jd8);
    // Aspects within one chart, or from an inner set to the outer chart; the caption lines,
    // the aspect list and the reading pane's text under `head`.
    void aspectsWithin(const NatalPoints& p, const std::array<double, 12>* speeds, bool moving);
    void aspectsBetween(const std::vector<AspectPoint>& inner, const std::vector<AspectPoint>& outer,
                        bool moving, const std::string& innerOwner, const std::string& outerOwner);
    void showReading(const std::string& head, const std::string& after = std::string());
};

// The daily motions of the bodies at an instant (the mean nodes at their mean rate).
std::array<double, 12> speedsAt(MZhanXingEx& engine, double jd8);
// "YYYY-MM-DD" and "YYYY-MM-DD HH:MM".
std::string dateText(const DateTimeFields& f);
std::string minuteText(const DateTimeFields& f);

// The kinds, each from its definition.
bool castSynastry(TypeCast& c);
bool castComposite(TypeCast& c);
bool castDavison(TypeCast& c);
bool castProgressed(TypeCast& c);
bool castSolarArc(TypeCast& c);
bool castReturn(TypeCast& c);

}  // namespace charttypes
