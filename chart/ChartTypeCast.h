// Casting a chart of one of the chart types on the engine: the natal casts it needs, the
// checks with their messages, and the result the command line and the window print. Each kind
// is cast by a unit of its own (ChartTypeCast_people.cpp, ChartTypeCast_time.cpp) over the
// shared steps of ChartTypeSteps.h.
#pragma once
#include <string>
#include <vector>

#include "chart/ChartTypes.h"
#include "chart/PlaceClock.h"

namespace charttypes {

struct TypeRequest {
    Kind kind = Kind::Natal;
    BirthRecord a;            // the chart's owner (outer wheel)
    BirthRecord b;            // second person: synastry, composite, Davison
    DateTimeFields to;        // progressed / solar arc: the date (its time of day is used too)
    int year = 0;             // return year
    int month = 1;            // lunar return month
    bool returnPlace = false; // return cast at the place below instead of the birth place
    BirthRecord returnAt;     // its longitude, latitude, place text and clock (zone, zoneId)
    // Composite houses: the midpoints of the two charts' cusps kept in order (default), or the
    // houses of the composite MC at the mean of the two latitudes.
    bool compositeHousesFromMc = false;
};

struct TypeResult {
    Kind kind = Kind::Natal;
    std::string caption;                 // kind name
    std::vector<std::string> captionLines;  // for whom, for when
    bool hasInner = false;               // a second set of bodies in the inner ring
    NatalPoints outer;                   // the chart's own points (as drawn in the wheel)
    std::array<ChartPoint, 12> inner{};  // the inner ring
    bool hasInnerAngles = false;         // progressions and solar arc: the moved angles
    ChartPoint innerAsc, innerMc;        // located in the natal houses
    std::string innerTitle;              // e.g. "推运盘(内圈):"
    bool hasInstant = false;             // Davison, progressed, return: the chart's instant
    double instantJd8 = 0;
    int instantOffsetSeconds = 0;        // the clock of the chart's place at that instant
    std::string instantText;             // "YYYY-MM-DD HH:MM:SS" on that clock
    std::vector<Aspect> aspects;         // inner-to-outer for overlays, within the chart otherwise
    std::vector<std::string> aspectText; // the aspect list, one tab-separated line each
    std::string readingText;             // the text put in the reading pane
};

// Casts the chart on `engine`, reading the clocks of places through `clocks`; false with
// `error`, and nothing left half drawn: a request refused by its own checks (same person,
// return year or month) leaves the engine as it was; one refused by a cast leaves person A's
// plain natal chart (or nothing when A is refused).
bool castChartType(MZhanXingEx& engine, const TypeRequest& q, TypeResult& out,
                   std::string& error, const PlaceClocks& clocks = PlaceClocks());

// Same person: the same name, moment, calendar, clock and place.
bool samePerson(const BirthRecord& a, const BirthRecord& b);

}  // namespace charttypes
