// The chart options of tarmin-cli chart: house system, orbs per aspect, minor aspects, further
// points and the aspect list. Read from the arguments, put into a run's private settings, and
// the lines they add to the output.
#pragma once
#include <array>
#include <cstddef>
#include <string>

#include "cli/Cli.h"

struct ChartSettings;
class MZhanXingEx;

namespace cli {
struct ChartOptionArgs {
    char houses = 0;                // --houses P|K|E|W|O|R|C
    std::array<long, 5> orbs{-1, -1, -1, -1, -1};  // --orbs CON,SEX,SQU,TRI,OPP (0: common)
    bool minor = false;             // --minor
    long minorOrb = -1;             // --minor-orb N
    bool trueNode = false;          // --true-node
    bool lilith = false;            // --lilith
    bool fortune = false;           // --fortune
    bool aspectList = false;        // --aspect-list
    // --asteroids (all five) or --bodies chiron,ceres,pallas,juno,vesta (astro/Asteroids.h order)
    std::array<bool, 5> asteroids{};
    bool stars = false;             // --stars

    // Something that the settings file has to carry for this run.
    bool changesSettings() const;
};

// Reads the option at args[i] (moving i past its value): 1 taken, 0 not a chart option,
// -1 a chart option with a bad or missing value.
int readChartOption(const Args& args, std::size_t& i, ChartOptionArgs& out);
// "--asteroids" sets all five; "--bodies LIST" (args[i + 1]) the ones named, comma-separated:
// 1 taken, 0 neither option, -1 an unknown name or a missing list.
int readAsteroidOption(const Args& args, std::size_t& i, std::array<bool, 5>& out);
void applyChartOptions(const ChartOptionArgs& o, ChartSettings& s);
// "point" lines of the shown further points and, with --aspect-list, the aspect list
// ("aspect\tnatal\t..." and, with a transit, "aspect\ttransit\t...").
void printChartOptionLines(const MZhanXingEx& engine, const ChartOptionArgs& o);
// Only the `point` lines of the extra points shown.
void printExtraPoints(const MZhanXingEx& engine);
}  // namespace cli
