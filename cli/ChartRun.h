// What every chart-drawing subcommand needs around the engine: the program folder, a private
// copy of the chart settings for one run's overrides, and a GUI application for the fonts.
#pragma once
#include <QGuiApplication>

#include <filesystem>
#include <memory>
#include <string>

struct ChartSettings;
struct NatalPoints;

namespace cli {
// The folder of the running executable, ending in "/" ("./" when it cannot be found).
std::string programFolder();

// A folder removed with everything in it when this goes out of scope.
struct TempFolder {
    std::filesystem::path path;
    TempFolder() = default;
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();
};

// A program folder whose dat/set.ini holds `settings`, made in `temp` (ending in "/"); empty
// when no temporary folder can be made.
std::string privateSettingsFolder(const ChartSettings& settings, TempFolder& temp);

// A QGuiApplication (offscreen unless a platform is set) when none exists yet.
void ensureGuiApplication(std::unique_ptr<QGuiApplication>& app);
// The angles, the cusps and the twelve bodies as the chart commands print them.
void printPoints(const NatalPoints& p);
}  // namespace cli
