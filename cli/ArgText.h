// The numbers tarmin-cli reads from its arguments and input lines. Plain functions of text, so
// that the fuzz targets can drive them without running a command.
#pragma once
#include <string>
#include <vector>

namespace cli {
// A whole number of one to six digits with an optional sign ("+12", "-4713").
bool readWhole(const std::string& s, int& v);
// A decimal number ("08" is eight), or a hexadecimal one after "0x" as colours are given,
// within [lo, hi].
bool readBounded(const std::string& s, long lo, long hi, long& out);

// The lunar date of the gregorian command: year, month 1-12, day 1-30 and leap flag 0 or 1, the
// year within [minYear, maxYear]. Nothing wraps: a field out of range refuses the whole date.
struct LunarDateArgs {
    int year = 0, month = 0, day = 0, leap = 0;
};
bool readLunarDate(const std::vector<std::string>& fields, int minYear, int maxYear,
                   LunarDateArgs& out);
}  // namespace cli
