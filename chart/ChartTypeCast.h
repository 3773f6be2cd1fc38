// Casting a chart of one of the chart types on the engine: the natal casts it needs, the
// checks with their messages, and the result the command line and the window print.
#pragma once
#include <string>
#include <vector>

#include "chart/ChartTypes.h"

namespace charttypes {

struct TypeRequest {
    Kind kind = Kind::Natal;
    BirthRecord a;            // the chart's owner (outer wheel)
    BirthRecord b;            // second person: synastry, composite, Davison
    DateTimeFields to;        // progressed / solar arc: the date (its time of day is used too)
    int year = 0;             // return year
    int month = 1;            // lunar return month
    bool returnPlace = false; // return cast at the place and zone below instead of the birth place
    float returnLongitude = 0;
    float returnLatitude = 0;
    int8_t returnZoneIndex = 8;
    std::string returnPlaceName;
};

struct TypeResult {
    Kind kind = Kind::Natal;
    std::string caption;                 // kind name
    std::vector<std::string> captionLines;  // for whom, for when
    bool hasInner = false;               // a second set of bodies in the inner ring
    NatalPoints outer;                   // the chart's own points (as drawn in the wheel)
    std::array<ChartPoint, 12> inner{};  // the inner ring
    std::string innerTitle;              // e.g. "推运盘(内圈):"
    double instantJd8 = 0;               // Davison, progressed, return: the chart's instant
    std::string instantText;             // return: "YYYY-MM-DD HH:MM:SS" in the chart's zone
    std::vector<Aspect> aspects;         // inner-to-outer for overlays, within the chart otherwise
    std::vector<std::string> aspectText; // the aspect list, one tab-separated line each
    std::string readingText;             // the text put in the reading pane
};

// Casts the chart on `engine`; false with `error`, and nothing left half drawn: a request
// refused by its own checks (same person, return year or month) leaves the engine as it was;
// one refused by a cast leaves person A's plain natal chart (or nothing when A is refused).
bool castChartType(MZhanXingEx& engine, const TypeRequest& q, TypeResult& out,
                   std::string& error);

// Same person: the same name, moment, calendar, zone and place.
bool samePerson(const BirthRecord& a, const BirthRecord& b);

}  // namespace charttypes
