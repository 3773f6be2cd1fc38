// The chart exchange format of astrological programs: records of chunk lines, "#A93:" (name,
// first name, sex, date, time, place, country), "#B93:" (Julian day of the instant in UT,
// latitude, longitude, zone, summer-time hours) and "#ZNAM:" (zone abbreviation); "*" marks an
// unknown field.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "interchange/Chart.h"

namespace interchange {

// Every chart of `text`; a chart with a field that cannot be read is left out and its line
// reported. Never throws on any input.
ReadResult readAaf(std::string_view text);
// The charts as AAF lines (UTF-8, "\n" line ends).
std::string writeAaf(const std::vector<ExportedChart>& charts);

}  // namespace interchange
