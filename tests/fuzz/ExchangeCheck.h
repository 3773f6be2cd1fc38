// What the two chart readers' fuzz targets check on whatever they read: every chart holds a
// valid date, time, offset and coordinates, every refused line lies inside the file, and the
// charts written again read back whole, to the same instant and place.
#pragma once
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "interchange/Chart.h"
#include "tests/fuzz/FuzzSupport.h"

namespace fuzz {
inline bool validChart(const interchange::ImportedChart& c) {
    interchange::CivilDate d;
    char date[48];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", c.date.year, c.date.month, c.date.day);
    return !c.name.empty() && interchange::readDate(date, d) && c.time.hour >= 0 && c.time.hour < 24 &&
           c.time.minute >= 0 && c.time.minute < 60 && c.offsetSeconds > -18 * 3600 &&
           c.offsetSeconds < 18 * 3600 && std::fabs(c.latitude) <= 90 && std::fabs(c.longitude) <= 180;
}

inline int64_t utSeconds(const interchange::ImportedChart& c) {
    return interchange::daysFromCivil(c.date) * 86400 + c.time.hour * 3600 + c.time.minute * 60 + c.time.second -
           c.offsetSeconds;
}

template <typename Read, typename Write>
void checkCharts(const std::string& text, Read read, Write write) {
    const interchange::ReadResult r = read(text);
    int lines = 1;
    for (char ch : text) lines += (ch == '\n' || ch == '\r') ? 1 : 0;
    for (const auto& p : r.problems) FUZZ_CHECK(p.line >= 1 && p.line <= lines && !p.reason.empty());
    std::vector<interchange::ExportedChart> out;
    for (const auto& c : r.charts) {
        FUZZ_CHECK(validChart(c));
        interchange::ExportedChart e;
        e.name = c.name;
        e.male = c.male;
        e.date = c.date;
        e.time = {c.time.hour, c.time.minute, 0};
        e.offsetSeconds = c.offsetSeconds;
        e.latitude = c.latitude;
        e.longitude = c.longitude;
        e.place = c.place;
        out.push_back(e);
    }
    const interchange::ReadResult again = read(write(out));
    FUZZ_CHECK(again.problems.empty() && again.charts.size() == out.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
        interchange::ImportedChart want = r.charts[i];
        want.time.second = 0;
        FUZZ_CHECK(std::llabs(utSeconds(again.charts[i]) - utSeconds(want)) < 60);
        FUZZ_CHECK(std::fabs(again.charts[i].latitude - out[i].latitude) <= 1.0 / 3600);
        FUZZ_CHECK(std::fabs(again.charts[i].longitude - out[i].longitude) <= 1.0 / 3600);
    }
}
}  // namespace fuzz
