// A chart as it travels between chart programs: what a file line gives (read from AAF or CSV)
// and what an export writes. Texts UTF-8.
#pragma once
#include <string>
#include <vector>

#include "interchange/Notation.h"

namespace interchange {

// One chart read from a file, before it meets the atlas and the case store.
struct ImportedChart {
    int line = 0;             // the file line the chart starts on (1-based)
    std::string name;         // as the file gives it; never empty
    bool male = true;
    CivilDate date;           // the local clock's date and time at the birth place
    ClockTime time;
    bool timeKnown = true;    // false: the file gives no time (the chart is cast at noon)
    bool hasOffset = false;   // the clock's offset east of UTC is known
    int offsetSeconds = 0;
    bool summer = false;      // the offset includes summer time
    std::string zoneName;     // a zone abbreviation or identifier the file gives
    bool hasCoordinates = false;
    double latitude = 0;      // degrees, north positive
    double longitude = 0;     // degrees, east positive
    std::string place;        // the place's name in the file ("" when none)
    std::string country;
    std::string category;     // CSV only: the file's own category column
};

// A line the reader could not take, with the reason in the program's words.
struct LineProblem {
    int line = 0;
    std::string reason;
};

struct ReadResult {
    std::vector<ImportedChart> charts;
    std::vector<LineProblem> problems;
};

// A stored case on its way out.
struct ExportedChart {
    std::string name;
    bool male = true;
    CivilDate date;           // Gregorian local clock time
    ClockTime time;
    int offsetSeconds = 0;    // east of UTC
    bool summer = false;
    double latitude = 0, longitude = 0;
    std::string place;        // a name the atlas finds again, or the place text
    std::string country;
    std::string zoneId;       // IANA identifier when the place is a known city
    std::string category;
    int blood = 0;
    bool lunar = false;       // entered as a Chinese lunar date (the date here is Gregorian)
};

}  // namespace interchange
