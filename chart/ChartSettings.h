// The chart settings of dat/set.ini, section "pan": the aspect orb ("pos"), the sign boundary
// lines ("line") and the chart background ("bkcolor", 0x00BBGGRR). The chart engine reads them at
// the start of every cast; the chart-settings dialog edits them.
#pragma once
#include <cstdint>
#include <string>

class IniFile;

struct ChartSettings {
    int32_t orb = 5;                     // "pos": whole degrees (the dialog offers 1..10)
    int32_t signLines = 0;               // "line": non-zero draws the sign boundaries
    int32_t backgroundColor = 0xFFFFFF;  // "bkcolor": 0x00BBGGRR, white
    bool precise = false;                // "precise": 精确计算 (positions at the true instant)

    // The stored values as they are; a missing file or key gives the default.
    static ChartSettings load(const IniFile& file);
    // Writes "pos", "bkcolor", "line" in this order (decimal), then "precise" when it is on or
    // the file already has it (so a file without it stays as before). Throws IniWriteError.
    void save(IniFile& file) const;
};

// "dat/set.ini" below a program folder (which ends in "/").
std::string chartSettingsPath(const std::string& programFolder);
