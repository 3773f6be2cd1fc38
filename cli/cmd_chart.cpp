// tarmin-cli chart: casts a natal chart (and optionally a transit overlay) exactly as the main
// window does, on an 800 x 700 image, and prints the angles, cusps, bodies, aspects and pillars.
// tarmin-cli text / catalogue: the interpretation texts of the built-in catalogue.
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "astro/DateText.h"
#include "chart/ChartSettings.h"
#include "chart/PlaceText.h"
#include "cli/ArgText.h"
#include "cli/ChartOptionArgs.h"
#include "cli/ChartFiles.h"
#include "cli/ChartRun.h"
#include "cli/Cli.h"
#include "cli/WorldArgs.h"
#include "platform/core/IniFile.h"
#include "platform/core/ReplaceFile.h"
#include "platform/core/CanvasRecorder.h"
#include "platform/core/ScriptCanvas.h"
#include "platform/core/ScriptRichText.h"
#include "cli/ScriptOutput.h"
#include "platform/qt/QImageCanvas.h"
#include "platform/core/PlainTextTarget.h"
#include "chart/Zhanxing.h"

namespace {
namespace fs = std::filesystem;

using cli::ensureGuiApplication;
using cli::programFolder;
using cli::TempFolder;

constexpr const char* kChartUsage =
    "chart --name TEXT --date \"YYYY-MM-DD HH:MM\" [--lunar] [--leap] [--female] "
    "[--blood A|B|AB|O] [--zone INDEX] [--lon D:M] [--lat D:M] [--place TEXT] "
    "[--transit \"YYYY-MM-DD HH:MM\" [--transit-zone INDEX | --transit-tz auto|ZONE-ID|+HH:MM]] "
    "[--png FILE [--scale N]] [--svg FILE] "
    "[--pdf FILE] [--reading FILE] "
    "[--orb N] [--lines] [--bkcolor 0xBBGGRR] [--precise] "
    "[--houses P|K|E|W|O|R|C] [--orbs CON,SEX,SQU,TRI,OPP] [--minor] [--minor-orb N] "
    "[--true-node] [--lilith] [--fortune] [--aspect-list] "
    "[--asteroids | --bodies chiron,ceres,pallas,juno,vesta] [--stars] "
    "[--city NAME] [--tz auto|ZONE-ID|+HH:MM]";

// --transit-tz: the transit moment read at a place's clock, as the window's transit dialog reads
// it at the chart's place ("auto": the zone of --city). Prints the offset line.
bool transitClock(const std::string& city, const std::string& tz, TransitRequest& q) {
    std::string autoZone, message;
    if (!city.empty()) {
        const atlas::WorldAtlas atlas(cli::placeTablePath(programFolder()));
        atlas::Place p;
        if (cli::pickCity(atlas, city, p, message)) autoZone = p.zoneId;
    }
    BirthRecord moment;
    moment.birth = q.when;
    std::string why;
    if (!cli::applyTimeZone(tz, autoZone, moment, why, message)) {
        std::fprintf(stderr, "%s\n", message.c_str());
        return false;
    }
    q.utcOffsetSeconds = moment.utcOffsetSeconds;
    std::printf("transit offset\t%s\n", why.c_str());
    return true;
}

int runChart(const cli::Args& args) {
    BirthRecord r;
    r.name = "某人";
    r.place = " 未知";
    bool haveDate = false;
    bool haveTransit = false;
    TransitRequest q;
    q.zoneIndex = 8;
    std::string readingFile;
    cli::ChartFiles files;
    std::string lonText = "120:00", latText = "30:00";
    long orb = -1, bkcolor = -1;
    bool lines = false;
    bool precise = false;  // --precise: 精确计算 for this run
    cli::ChartOptionArgs options;
    std::string city, tz;  // world places and clocks
    std::string transitTz;  // --transit-tz: the transit read at a clock (auto: the city's)
    bool zoneGiven = false;
    auto usage = [] {
        std::fprintf(stderr, "usage: tarmin-cli %s\n", kChartUsage);
        return 2;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        // The picture files.
        if (const int f = cli::readChartFileOption(args, i, files)) {
            if (f < 0) return usage();
            continue;
        }
        std::string v;
        long n = 0;
        if (const int taken = cli::readChartOption(args, i, options)) {
            if (taken < 0) return usage();
            continue;
        }
        if (a == "--lunar") r.lunar = 1;
        else if (a == "--leap") r.leapMonth = 1;
        else if (a == "--female") r.male = 0;
        else if (a == "--lines") lines = true;
        else if (a == "--precise") precise = true;
        else if (a == "--name" && value(v)) r.name = v;
        else if (a == "--place" && value(v)) r.place = v;
        else if (a == "--date" && value(v)) {
            if (!parseDateTimeText(v, r.birth)) return usage();
            haveDate = true;
        } else if (a == "--transit" && value(v)) {
            if (!parseDateTimeText(v, q.when)) return usage();
            haveTransit = true;
        } else if (a == "--blood" && value(v)) {
            if (v == "A") r.bloodType = 0;
            else if (v == "B") r.bloodType = 1;
            else if (v == "AB") r.bloodType = 2;
            else if (v == "O") r.bloodType = 3;
            else return usage();
        } else if (a == "--zone" && value(v)) {
            if (!cli::readBounded(v, 0, 23, n)) return usage();
            r.zoneIndex = static_cast<int8_t>(n);
            zoneGiven = true;
        } else if (a == "--transit-zone" && value(v)) {
            if (!cli::readBounded(v, 0, 23, n)) return usage();
            q.zoneIndex = static_cast<int8_t>(n);
        } else if (a == "--lon" && value(v)) {
            lonText = v;
        } else if (a == "--lat" && value(v)) {
            latText = v;
        } else if (a == "--reading" && value(v)) readingFile = v;
        else if (a == "--orb" && value(v)) {
            if (!cli::readBounded(v, 0, 255, orb)) return usage();
        } else if (a == "--bkcolor" && value(v)) {
            if (!cli::readBounded(v, 0, 0xFFFFFF, bkcolor)) return usage();
        } else if (a == "--city" && value(v)) city = v;
        else if (a == "--tz" && value(v)) tz = v;
        else if (a == "--transit-tz" && value(v)) transitTz = v;
        else return usage();
    }
    if (!haveDate) return usage();
    // Coordinates as the input panel checks them, with its messages.
    const CoordinateCheck place = checkCoordinates(lonText, latText);
    if (!place.ok) {
        std::fprintf(stderr, "%s\n", place.message.c_str());
        return 1;
    }
    r.longitude = place.longitude;
    r.latitude = place.latitude;
    if (!cli::applyWorldOptions(programFolder(), city, tz, zoneGiven, r)) return 1;
    if (haveTransit && !transitTz.empty() && !transitClock(city, transitTz, q)) return 1;

    // Settings: dat/set.ini of the program folder, with this run's overrides in a private copy.
    std::string folder = programFolder();
    TempFolder temp;
    if (orb >= 0 || bkcolor >= 0 || lines || precise || options.changesSettings()) {
        ChartSettings settings = ChartSettings::load(IniFile(chartSettingsPath(folder)));
        if (orb >= 0) settings.orb = static_cast<int32_t>(orb);
        if (lines) settings.signLines = 1;
        if (bkcolor >= 0) settings.backgroundColor = static_cast<int32_t>(bkcolor);
        if (precise) settings.precise = true;
        cli::applyChartOptions(options, settings);
        folder = cli::privateSettingsFolder(settings, temp);
        if (folder.empty()) {
            std::fprintf(stderr, "tarmin-cli chart: cannot create a temporary folder\n");
            return 1;
        }
    }

    std::unique_ptr<QGuiApplication> app;
    ensureGuiApplication(app);
    QImage image(800, 700, QImage::Format_RGB32);
    image.fill(Qt::white);
    QImageCanvas imageCanvas(image);
    CanvasRecorder canvas(imageCanvas);
    ScriptCanvas shownCanvas(canvas, cli::script());
    cli::keepAsTyped(r.name);
    shownCanvas.setKept([] { return cli::keptTexts(); });
    PlainTextTarget rich;
    MZhanXingEx engine(rich, shownCanvas, folder);
    if (!engine.castNatal(r)) {
        std::fprintf(stderr, "%s\n", engine.errorText().c_str());
        return 1;
    }
    const std::string reading = rich.text();
    if (haveTransit) {
        q.place = r.place;
        if (!engine.castTransit(q)) {
            std::fprintf(stderr, "%s\n", engine.errorText().c_str());
            return 1;
        }
    }

    const NatalPoints& p = engine.natal();
    cli::printPoints(p);
    const AspectOrbs orbs = engine.aspectOrbs();
    for (int i = 0; i < 9; ++i)
        for (int j = i + 1; j < 10; ++j) {
            const int k = aspectBetween(p.bodies[i].longitude, p.bodies[j].longitude, orbs);
            if (k >= 0) std::printf("%d\t%d\t%d\n", i, j, k);
        }
    std::printf("pillars");
    for (const int16_t n : engine.pillars())
        std::printf("\t%s%s", StemNames[((n % 10) + 10) % 10], BranchNames[((n % 12) + 12) % 12]);
    std::printf("\n");
    cli::printChartOptionLines(engine, options);
    // The chosen system has no cusps at this latitude and moment (Placidus in the precise
    // mode, Koch, Regiomontanus, Campanus inside the polar circles): the cusps above are
    // Porphyry's.
    if (engine.housesNote() == MZhanXingEx::HousesNote::Porphyry) std::printf("houses\tPorphyry\n");

    if (!cli::writeChartFiles(files, image, canvas)) return 1;
    if (!readingFile.empty()) {
        const recfs::ReplaceResult written = recfs::replaceFile(
            readingFile, shownByLines(cli::script(), reading, cli::keptTexts()));
        if (written != recfs::ReplaceResult::Written) {
            std::fprintf(stderr, "tarmin-cli chart: %s\n",
                         recfs::replaceFailureText(written, readingFile).c_str());
            return 1;
        }
    }
    return 0;
}

}  // namespace

TARMIN_CLI_COMMAND(chart, "chart", kChartUsage,
                   "natal chart (and transit overlay) as the main window casts it: angles, "
                   "cusps, bodies, aspects, pillars; PNG, SVG, PDF and reading files",
                   runChart);
