// The chart settings of dat/set.ini, section "pan": the aspect orb ("pos"), the sign boundary
// lines ("line") and the chart background ("bkcolor", 0x00BBGGRR), and the chart options (house
// system, orbs per aspect, minor aspects, further points, precise calculation, Chiron and the
// asteroids, the fixed stars). The chart engine
// reads them at the start of every cast; the chart-settings dialog edits them.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "chart/Xiangwei.h"

class IniFile;

struct ChartSettings {
    int32_t orb = 5;                     // "pos": whole degrees (the dialog offers 1..10)
    int32_t signLines = 0;               // "line": non-zero draws the sign boundaries
    int32_t backgroundColor = 0xFFFFFF;  // "bkcolor": 0x00BBGGRR, white
    bool precise = false;                // "precise": positions and houses to the arcsecond

    // Chart options. A file without their keys gives these defaults, which draw the chart as
    // the three settings above alone do.
    char houseSystem = 'P';  // "houses": P Placidus, K Koch, E Equal, W Whole Sign, O Porphyry,
                             // R Regiomontanus, C Campanus; any other letter reads as P
    // "orbcon", "orbsex", "orbsqu", "orbtri", "orbopp": the orb of each major aspect in whole
    // degrees (AspectKind order); 0 takes the common orb "pos".
    std::array<int32_t, 5> majorOrbs{};
    bool minorAspects = false;  // "minor": the five minor aspects take part
    int32_t minorOrb = 2;       // "minororb": their orb, whole degrees
    bool trueNode = false;      // "truenode": the true ascending node as a further point
    bool lilith = false;        // "lilith": the mean Black Moon Lilith
    bool fortune = false;       // "fortune": the Part of Fortune
    // Chiron and the asteroids (astro/Asteroids.h order), each its own key: "chiron", "ceres",
    // "pallas", "juno", "vesta"; they take part in the aspects with the minor-aspect orb.
    std::array<bool, 5> asteroids{};
    bool fixedStars = false;    // "stars": the named fixed stars in conjunction with the points
    int32_t starOrb = 60;       // "starorb": their orb in arcminutes (1..600)
    bool starMarks = false;     // "starmarks": the stars' marks on the zodiac ring

    // Progressed angles (推运盘): how the progressed MC moves; the ascendant and cusps follow
    // from that MC at the birth latitude. "progangles": 0 by the solar arc, 1 Naibod (mean Sun
    // a year, in right ascension), 2 quotidian (the chart of the progressed instant).
    enum ProgressedAngles : int32_t { kSolarArcAngles = 0, kNaibodAngles = 1, kQuotidianAngles = 2 };
    int32_t progressedAngles = kSolarArcAngles;

    // The orbs the aspects are found with: each major its own or the common orb, the minors
    // when they are on.
    AspectOrbs aspectOrbs() const;

    // The stored values as they are; a missing file or key gives the default.
    static ChartSettings load(const IniFile& file);
    // Writes "pos", "bkcolor", "line" in this order (decimal), then each option that differs from
    // its default; an option back at its default loses its key. Throws IniWriteError.
    void save(IniFile& file) const;

private:
    void saveOptions(IniFile& file) const;
};

// "dat/set.ini" below a program folder (which ends in "/").
std::string chartSettingsPath(const std::string& programFolder);
