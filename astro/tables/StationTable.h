// The retrograde stations of Mercury .. Neptune around every chart year from 1600 to 2200, as
// the full station search finds them (MAstroCalc::searchedStations). The data lives in
// StationTable.cpp, which tools/gen_station_table writes.
#pragma once
#include <cstdint>

namespace StationTable {
constexpr int kFirstYear = 1600;
constexpr int kLastYear = 2200;
constexpr int kYears = kLastYear - kFirstYear + 1;
constexpr int kBodies = 7;  // body codes 1..7

// Stations in time order, UTC+8 Julian days: positive where a retrograde motion begins,
// negated where it ends.
extern const double stations[];
// The stations of body code b and chart year y are [begin[i], begin[i + 1]) with
// i = (b - 1) * kYears + (y - kFirstYear): the last one at or before 1 January 00:00 of the
// year, then every one inside the year.
extern const uint32_t begin[kBodies * kYears + 1];
}  // namespace StationTable
