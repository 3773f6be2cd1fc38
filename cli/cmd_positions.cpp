// tarmin-cli positions: the chart's astronomy (apparent longitude and latitude, motion flag)
// for instants in UTC+8 civil time, one block of 12 lines per instant.
#include <cctype>
#include <cstdio>
#include <iostream>
#include <string>

#include "Cli.h"
#include "Eph0.h"
#include "Mastrocalc.h"

namespace {

const char* const kBodyNames[12] = {"太阳", "月亮", "水星", "金星", "火星", "木星",
                                    "土星", "天王星", "海王星", "冥王星", "升交点", "降交点"};

// Reads exactly n digits at s[pos]; returns -1 if they are not there.
long digits(const std::string& s, size_t& pos, size_t n) {
    long v = 0;
    for (size_t k = 0; k < n; ++k, ++pos) {
        if (pos >= s.size() || !std::isdigit(static_cast<unsigned char>(s[pos]))) return -1;
        v = v * 10 + (s[pos] - '0');
    }
    return v;
}

// "YYYY-MM-DD HH:MM", astronomical year with an optional sign and 1 to 5 digits. The date must
// exist in the calendar (proleptic Julian before 1582-10-15, Gregorian from then on).
bool parseInstant(const std::string& s, DateTimeFields& f) {
    size_t pos = 0;
    bool negative = false;
    if (pos < s.size() && (s[pos] == '-' || s[pos] == '+')) negative = s[pos++] == '-';
    const size_t yStart = pos;
    long year = 0;
    while (pos < s.size() && std::isdigit(static_cast<unsigned char>(s[pos])) && pos - yStart < 6)
        year = year * 10 + (s[pos++] - '0');
    if (pos == yStart || pos - yStart > 5) return false;
    if (negative) year = -year;
    if (pos >= s.size() || s[pos++] != '-') return false;
    const long month = digits(s, pos, 2);
    if (month < 0 || pos >= s.size() || s[pos++] != '-') return false;
    const long day = digits(s, pos, 2);
    if (day < 0 || pos >= s.size() || s[pos++] != ' ') return false;
    const long hour = digits(s, pos, 2);
    if (hour < 0 || pos >= s.size() || s[pos++] != ':') return false;
    const long minute = digits(s, pos, 2);
    if (minute < 0 || pos != s.size()) return false;
    if (year < -9999 || year > 29999 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 ||
        minute > 59)
        return false;
    const CivilDateTime c = civilFromJulianDay(julianDay(static_cast<int>(year), static_cast<int>(month),
                                                         static_cast<double>(day)));
    if (c.year != year || c.month != month || c.day != day) return false;
    f.year = static_cast<int16_t>(year);
    f.month = static_cast<int16_t>(month);
    f.day = static_cast<int16_t>(day);
    f.hour = static_cast<int16_t>(hour);
    f.minute = static_cast<int16_t>(minute);
    return true;
}

// One instant: the chart engine's calling order (setTime, positions with motion, nodes).
bool printInstant(MAstroCalc& calc, const std::string& text) {
    DateTimeFields f;
    if (!parseInstant(text, f)) {
        std::fprintf(stderr, "tarmin-cli positions: cannot read the instant '%s' (expected \"YYYY-MM-DD HH:MM\")\n",
                     text.c_str());
        return false;
    }
    calc.setTime(f);
    for (int i = 0; i < 10; ++i) {
        double lon = 0, lat = 0;
        calc.bodyPosition(i, lon, lat);
        const int motion = calc.retrogradeState(i, f);
        std::printf("%s\t%d\t%s\t%.6f\t%.6f\t%d\n", text.c_str(), i, kBodyNames[i], lon, lat, motion);
    }
    double north = 0, south = 0;
    calc.lunarNodes(true, north, south);
    std::printf("%s\t10\t%s\t%.6f\t%.6f\t0\n", text.c_str(), kBodyNames[10], north, 0.0);
    std::printf("%s\t11\t%s\t%.6f\t%.6f\t0\n", text.c_str(), kBodyNames[11], south, 0.0);
    return true;
}

int runPositions(const cli::Args& args);

const cli::Command kPositions = {"positions", "positions [\"YYYY-MM-DD HH:MM\"]",
                                 "apparent positions and motion of the chart's bodies (UTC+8; no argument: "
                                 "one instant per line from standard input)",
                                 runPositions};

int runPositions(const cli::Args& args) {
    if (args.size() > 1) return cli::usageError(kPositions);
    MAstroCalc calc;
    if (args.size() == 1) return printInstant(calc, args[0]) ? 0 : 1;
    bool ok = true;
    for (std::string line; std::getline(std::cin, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        ok = printInstant(calc, line) && ok;
        std::fflush(stdout);
    }
    return ok ? 0 : 1;
}

}  // namespace

TARMIN_CLI_COMMAND(positions, kPositions.name, kPositions.usage, kPositions.summary, kPositions.run);
