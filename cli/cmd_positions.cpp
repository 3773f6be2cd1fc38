// tarmin-cli positions: the chart's astronomy (apparent longitude and latitude, motion flag)
// for instants in UTC+8 civil time, one block of 12 lines per instant.
#include <array>
#include <cctype>
#include <cstdio>
#include <iostream>
#include <string>

#include "cli/Cli.h"
#include "cli/ChartOptionArgs.h"
#include "astro/Asteroids.h"
#include "astro/DateText.h"
#include "astro/Eph0.h"
#include "astro/Mastrocalc.h"

namespace {

const char* const kBodyNames[12] = {"太阳", "月亮", "水星", "金星", "火星", "木星",
                                    "土星", "天王星", "海王星", "冥王星", "升交点", "降交点"};

// "YYYY-MM-DD HH:MM"; the date must exist in the calendar (proleptic Julian before
// 1582-10-15, Gregorian from then on).
bool parseInstant(const std::string& s, DateTimeFields& f) {
    return parseDateTimeText(s, f) && dateExists(f);
}

using AsteroidChoice = std::array<bool, 5>;

// One instant: the chart engine's calling order (setTime, positions with motion, nodes), then
// the asteroids asked for as lines 12 to 16.
bool printInstant(MAstroCalc& calc, const std::string& text, const AsteroidChoice& extra) {
    DateTimeFields f;
    if (!parseInstant(text, f)) {
        std::fprintf(stderr, "tarmin-cli positions: cannot read the instant '%s' (expected \"YYYY-MM-DD HH:MM\")\n",
                     text.c_str());
        return false;
    }
    bool anyAsteroid = false;
    for (bool b : extra) anyAsteroid = anyAsteroid || b;
    if (anyAsteroid && (f.year < 1600 || f.year > 2200)) {
        std::fprintf(stderr, "tarmin-cli positions: the asteroids are tabulated for the years 1600-2200 ('%s')\n",
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
    for (int b = 0; b < asteroids::kCount; ++b) {
        if (!extra[static_cast<std::size_t>(b)]) continue;
        double lon = 0, lat = 0;
        calc.asteroidPosition(b, lon, lat);
        std::printf("%s\t%d\t%s\t%.6f\t%.6f\t%d\n", text.c_str(), 12 + b,
                    asteroids::Names[static_cast<std::size_t>(b)], lon, lat, calc.asteroidMotion(b));
    }
    return true;
}

int runPositions(const cli::Args& args);

const cli::Command kPositions = {"positions",
                                 "positions [--precise] [--asteroids | --bodies chiron,ceres,pallas,juno,vesta] "
                                 "[\"YYYY-MM-DD HH:MM\"]",
                                 "apparent positions and motion of the chart's bodies (UTC+8; no argument: "
                                 "one instant per line from standard input; --precise: at the true "
                                 "instant, motion from the daily motion; --asteroids or --bodies: Chiron "
                                 "and the asteroids after the nodes as lines 12-16, 1600-2200)",
                                 runPositions};

int runPositions(const cli::Args& all) {
    // --precise anywhere among the arguments; the rest as before.
    cli::Args args;
    bool precise = false;
    AsteroidChoice extra{};
    for (std::size_t i = 0; i < all.size(); ++i) {
        const int taken = cli::readAsteroidOption(all, i, extra);
        if (taken < 0) return cli::usageError(kPositions);
        if (taken > 0) continue;
        if (all[i] == "--precise") precise = true;
        else args.push_back(all[i]);
    }
    if (args.size() > 1) return cli::usageError(kPositions);
    MAstroCalc calc;
    calc.setPrecise(precise);
    if (args.size() == 1) return printInstant(calc, args[0], extra) ? 0 : 1;
    bool ok = true;
    for (std::string line; std::getline(std::cin, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        ok = printInstant(calc, line, extra) && ok;
        std::fflush(stdout);
    }
    return ok ? 0 : 1;
}

}  // namespace

TARMIN_CLI_COMMAND(positions, kPositions.name, kPositions.usage, kPositions.summary, kPositions.run);
