// tarmin-cli synastry / composite / davison / progressed / solar-arc / return: the chart types
// built on the natal cast, on the same 800 x 700 image as `chart`. Person A takes the person
// options of `chart`, person B the same with the prefix "--b-".
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "astro/DateText.h"
#include "atlas/PlaceClocks.h"
#include "atlas/TimeZones.h"
#include "chart/ChartSettings.h"
#include "chart/ChartTypeCast.h"
#include "chart/PlaceText.h"
#include "cli/ArgText.h"
#include "cli/ChartOptionArgs.h"
#include "cli/ChartRun.h"
#include "cli/WorldArgs.h"
#include "cli/Cli.h"
#include "platform/core/IniFile.h"
#include "platform/core/PlainTextTarget.h"
#include "platform/core/ReplaceFile.h"
#include "platform/qt/ChartExport.h"
#include "platform/qt/QImageCanvas.h"
#include "platform/core/ScriptCanvas.h"
#include "cli/ScriptOutput.h"

namespace {
namespace fs = std::filesystem;
using charttypes::Kind;

using cli::ensureGuiApplication;
using cli::programFolder;
using cli::TempFolder;

// The person options of `chart` under a prefix ("--" or "--b-").
struct Person {
    BirthRecord r;
    bool haveDate = false;
    bool zoneGiven = false;
    std::string lon = "120:00", lat = "30:00";
    std::string city, tz;  // --city and --tz as for chart
};

// 1 taken (i advanced past its value), 0 not a person option, -1 bad value.
int personOption(const std::string& prefix, const cli::Args& args, std::size_t& i, Person& p) {
    const std::string& a = args[i];
    if (a.rfind(prefix, 0) != 0) return 0;
    const std::string o = a.substr(prefix.size());
    if (o == "lunar") { p.r.lunar = 1; return 1; }
    if (o == "leap") { p.r.leapMonth = 1; return 1; }
    if (o == "female") { p.r.male = 0; return 1; }
    static const char* const kValued[] = {"name", "place", "date", "blood", "zone", "lon", "lat",
                                          "city", "tz"};
    bool valued = false;
    for (const char* k : kValued) valued = valued || o == k;
    if (!valued) return 0;
    if (i + 1 >= args.size()) return -1;
    const std::string v = args[++i];
    long n = 0;
    if (o == "name") p.r.name = v;
    else if (o == "place") p.r.place = v;
    else if (o == "date") {
        if (!parseDateTimeText(v, p.r.birth)) return -1;
        p.haveDate = true;
    } else if (o == "blood") {
        if (v == "A") p.r.bloodType = 0;
        else if (v == "B") p.r.bloodType = 1;
        else if (v == "AB") p.r.bloodType = 2;
        else if (v == "O") p.r.bloodType = 3;
        else return -1;
    } else if (o == "zone") {
        if (!cli::readBounded(v, 0, 23, n)) return -1;
        p.r.zoneIndex = static_cast<int8_t>(n);
        p.zoneGiven = true;
    } else if (o == "city") p.city = v;
    else if (o == "tz") p.tz = v;
    else if (o == "lon") p.lon = v;
    else if (o == "lat") p.lat = v;
    return 1;
}

// Coordinates, then --city and --tz as chart reads them; `label` heads the offset line.
bool placeOf(Person& p, const char* who, const char* label) {
    const CoordinateCheck c = checkCoordinates(p.lon, p.lat);
    if (!c.ok) {
        std::fprintf(stderr, "%s%s\n", who, c.message.c_str());
        return false;
    }
    p.r.longitude = c.longitude;
    p.r.latitude = c.latitude;
    return cli::applyWorldOptions(programFolder(), p.city, p.tz, p.zoneGiven, p.r, label);
}

// The return place: its clock is read at the return instant, so --at-tz and --at-city give a
// zone (or a fixed offset), not an offset at a date.
bool returnPlaceOf(Person& p) {
    const CoordinateCheck c = checkCoordinates(p.lon, p.lat);
    if (!c.ok) {
        std::fprintf(stderr, "返照地点：%s\n", c.message.c_str());
        return false;
    }
    p.r.longitude = c.longitude;
    p.r.latitude = c.latitude;
    std::string zone, message;
    if (!p.city.empty()) {
        const atlas::WorldAtlas atlas(cli::placeTablePath(programFolder()));
        atlas::Place place;
        if (!cli::pickCity(atlas, p.city, place, message)) {
            std::fprintf(stderr, "返照地点：%s\n", message.c_str());
            return false;
        }
        p.r.longitude = static_cast<float>(place.longitude);
        p.r.latitude = static_cast<float>(place.latitude);
        p.r.place = place.placeText();
        if (p.tz.empty() && !p.zoneGiven) p.r.zoneId = place.zoneId;
    }
    if (p.tz.empty()) return true;
    int fixed = 0;
    if (!atlas::readZoneText(p.tz, fixed, zone, message)) {
        std::fprintf(stderr, "返照地点：%s\n", message.c_str());
        return false;
    }
    p.r.zoneId = zone;
    if (zone.empty()) p.r.utcOffsetSeconds = fixed;
    return true;
}

constexpr const char* kPerson =
    "--name TEXT --date \"YYYY-MM-DD HH:MM\" [--lunar] [--leap] [--female] [--blood A|B|AB|O] "
    "[--zone INDEX] [--lon D:M] [--lat D:M] [--place TEXT] [--city NAME] "
    "[--tz auto|ZONE-ID|UTC+HH:MM] [--orb N] [--precise] "
    "[--houses P|K|E|W|O|R|C] [--orbs CON,SEX,SQU,TRI,OPP] [--minor] [--minor-orb N]";
constexpr const char* kSynastryUsage =
    "synastry PERSON --b-name TEXT --b-date \"YYYY-MM-DD HH:MM\" [--b-...] [--png FILE]";
constexpr const char* kCompositeUsage =
    "composite PERSON --b-name TEXT --b-date \"YYYY-MM-DD HH:MM\" [--b-...] "
    "[--composite-houses midpoints|mc] [--png FILE]";
constexpr const char* kDavisonUsage =
    "davison PERSON --b-name TEXT --b-date \"YYYY-MM-DD HH:MM\" [--b-...] [--png FILE]";
constexpr const char* kProgressedUsage =
    "progressed PERSON --to YYYY-MM-DD [--angles solar-arc|naibod|quotidian] [--png FILE]";
constexpr const char* kSolarArcUsage = "solar-arc PERSON --to YYYY-MM-DD [--png FILE]";
constexpr const char* kReturnUsage =
    "return PERSON --body sun|moon --year YYYY [--month MM] [--at-lon D:M --at-lat D:M "
    "[--at-zone INDEX] [--at-place TEXT] | --at-city NAME] [--at-tz ZONE-ID|UTC+HH:MM] [--png FILE]";


// The chart settings of this run: dat/set.ini of the program folder, or a private copy of it
// with the run's overrides. Empty on failure.
std::string settingsFolder(long orb, bool precise, int angles, const cli::ChartOptionArgs& options,
                           TempFolder& temp) {
    std::string folder = programFolder();
    if (orb < 0 && !precise && angles < 0 && !options.changesSettings()) return folder;
    ChartSettings settings = ChartSettings::load(IniFile(chartSettingsPath(folder)));
    if (orb >= 0) settings.orb = static_cast<int32_t>(orb);
    if (angles >= 0) settings.progressedAngles = angles;
    if (precise) settings.precise = true;
    cli::applyChartOptions(options, settings);
    return cli::privateSettingsFolder(settings, temp);
}

int runType(Kind kind, const char* usageText, const cli::Args& args) {
    Person a, b;
    a.r.name = b.r.name = "某人";
    a.r.place = b.r.place = " 未知";
    charttypes::TypeRequest q;
    q.kind = kind;
    std::string png, body;
    long orb = -1;
    int angles = -1;               // --angles: the progressed angles' method for this run
    bool precise = false;          // --precise: 精确计算 for this run
    cli::ChartOptionArgs options;  // --houses, --orbs, --minor ... as for chart
    bool haveTo = false, haveYear = false;
    Person at;
    bool haveAt = false;
    auto usage = [&] {
        std::fprintf(stderr, "usage: tarmin-cli %s\n  PERSON: %s\n", usageText, kPerson);
        return 2;
    };
    const bool twoPeople = kind == Kind::Synastry || kind == Kind::Composite || kind == Kind::Davison;
    const bool progressed = kind == Kind::Progressed || kind == Kind::SolarArc;
    const bool ret = kind == Kind::SolarReturn;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& o = args[i];
        if (twoPeople) {
            const int t = personOption("--b-", args, i, b);
            if (t < 0) return usage();
            if (t > 0) continue;
        }
        if (ret) {
            const int t = personOption("--at-", args, i, at);
            if (t < 0) return usage();
            if (t > 0) {
                haveAt = true;
                continue;
            }
        }
        const int t = personOption("--", args, i, a);
        if (t < 0) return usage();
        if (t > 0) continue;
        if (o == "--precise") {
            precise = true;
            continue;
        }
        if (const int taken = cli::readChartOption(args, i, options)) {
            if (taken < 0) return usage();
            continue;
        }
        if (i + 1 >= args.size()) return usage();
        const std::string v = args[++i];
        long n = 0;
        if (o == "--png") png = v;
        else if (o == "--orb") {
            if (!cli::readBounded(v, 0, 255, orb)) return usage();
        }
        else if (kind == Kind::Composite && o == "--composite-houses") {
            if (v != "midpoints" && v != "mc") return usage();
            q.compositeHousesFromMc = v == "mc";
        } else if (kind == Kind::Progressed && o == "--angles") {
            if (v == "solar-arc") angles = ChartSettings::kSolarArcAngles;
            else if (v == "naibod") angles = ChartSettings::kNaibodAngles;
            else if (v == "quotidian") angles = ChartSettings::kQuotidianAngles;
            else return usage();
        } else if (progressed && o == "--to") {
            DateTimeFields d;
            // A date, or a date with a time.
            if (!parseDateTimeText(v, d) && !parseDateTimeText(v + " 00:00", d)) return usage();
            q.to = d;
            haveTo = true;
        } else if (ret && o == "--body") body = v;
        else if (ret && o == "--year") {
            if (!cli::readBounded(v, -99999, 99999, n)) return usage();
            q.year = static_cast<int>(n);
            haveYear = true;
        } else if (ret && o == "--month") {
            if (!cli::readBounded(v, 0, 99, n)) return usage();
            q.month = static_cast<int>(n);
        } else return usage();
    }
    if (!a.haveDate || (twoPeople && !b.haveDate) || (progressed && !haveTo) ||
        (ret && (!haveYear || (body != "sun" && body != "moon"))))
        return usage();
    if (ret && body == "moon") q.kind = Kind::LunarReturn;
    if (!placeOf(a, "", "offset") || (twoPeople && !placeOf(b, "第二个人：", "b offset"))) return 1;
    if (haveAt) {
        if (!returnPlaceOf(at)) return 1;
        q.returnPlace = true;
        q.returnAt = at.r;
    }
    q.a = a.r;
    q.b = b.r;

    std::unique_ptr<QGuiApplication> app;
    ensureGuiApplication(app);
    QImage image(800, 700, QImage::Format_RGB32);
    image.fill(Qt::white);
    QImageCanvas canvas(image);
    PlainTextTarget rich;
    TempFolder temp;
    const std::string folder = settingsFolder(orb, precise, angles, options, temp);
    if (folder.empty()) {
        std::fprintf(stderr, "tarmin-cli: cannot create a temporary folder\n");
        return 1;
    }
    ScriptCanvas shownCanvas(canvas, cli::script());
    cli::keepAsTyped(q.a.name);
    cli::keepAsTyped(q.b.name);
    shownCanvas.setKept([] { return cli::keptTexts(); });
    MZhanXingEx engine(rich, shownCanvas, folder);
    charttypes::TypeResult r;
    std::string error;
    // The Davison place has no zone of its own: the atlas finds the clock in force there.
    std::unique_ptr<atlas::WorldAtlas> world;
    if (kind == Kind::Davison) world = std::make_unique<atlas::WorldAtlas>(cli::placeTablePath(programFolder()));
    if (!charttypes::castChartType(engine, q, r, error, atlas::ZoneClocks(world.get()))) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::printf("type\t%s\n", r.caption.c_str());
    if (r.hasInstant)
        std::printf("instant\t%s\t%s\n", r.instantText.c_str(),
                    atlas::offsetText(r.instantOffsetSeconds).c_str());
    if (kind == Kind::Davison)
        std::printf("place\t%.6f\t%.6f\n", static_cast<double>(engine.request().longitude),
                    static_cast<double>(engine.request().latitude));
    cli::printPoints(r.outer);
    if (r.hasInner)
        for (int i = 0; i < 12; ++i) {
            const ChartPoint& p = engine.overlayBodies()[static_cast<std::size_t>(i)];
            std::printf("inner %d\t%s\t%.6f\t%s\t%d\t%.4f\n", i, BodyNames[i], p.longitude,
                        SignNames[p.sign % 12], p.house + 1, p.pastCusp);
        }
    // The extra points shown (settings or options): the outer chart's as `chart` prints them,
    // and the inner ring's Chiron and asteroids (synastry: the second person's).
    cli::printExtraPoints(engine);
    if (r.hasInner && engine.transitAsteroidsShown())
        for (int n = 0; n < 5; ++n) {
            if (!engine.extraShown(kFirstAsteroid + n)) continue;
            const ChartPoint& p = engine.transitAsteroids()[static_cast<std::size_t>(n)];
            std::printf("inner %d\t%s\t%.6f\t%s\t%d\t%.4f\n", kFirstExtraId + kFirstAsteroid + n,
                        ExtraPointNames[static_cast<std::size_t>(kFirstAsteroid + n)], p.longitude,
                        SignNames[p.sign % 12], p.house + 1, static_cast<double>(p.pastCusp));
        }
    if (r.hasInnerAngles) {
        const ChartPoint* const angle[2] = {&r.innerAsc, &r.innerMc};
        const char* const label[2] = {"inner ASC", "inner MC"};
        for (int k = 0; k < 2; ++k)
            std::printf("%s\t%.6f\t%s\t%d\t%.4f\n", label[k], angle[k]->longitude,
                        SignNames[angle[k]->sign % 12], angle[k]->house + 1, angle[k]->pastCusp);
    }
    for (const std::string& l : r.aspectText) std::printf("aspect\t%s\n", l.c_str());

    recfs::ReplaceResult written = recfs::ReplaceResult::Written;
    if (!png.empty() && !saveImageFile(image, "PNG", png, &written)) {
        std::fprintf(stderr, "tarmin-cli: %s\n", recfs::replaceFailureText(written, png).c_str());
        return 1;
    }
    return 0;
}

int runSynastry(const cli::Args& a) { return runType(Kind::Synastry, kSynastryUsage, a); }
int runComposite(const cli::Args& a) { return runType(Kind::Composite, kCompositeUsage, a); }
int runDavison(const cli::Args& a) { return runType(Kind::Davison, kDavisonUsage, a); }
int runProgressed(const cli::Args& a) { return runType(Kind::Progressed, kProgressedUsage, a); }
int runSolarArc(const cli::Args& a) { return runType(Kind::SolarArc, kSolarArcUsage, a); }
int runReturn(const cli::Args& a) { return runType(Kind::SolarReturn, kReturnUsage, a); }

}  // namespace

TARMIN_CLI_COMMAND(synastry, "synastry", kSynastryUsage,
                   "synastry: person B's bodies inside person A's wheel, inter-aspects", runSynastry);
TARMIN_CLI_COMMAND(composite, "composite", kCompositeUsage,
                   "composite chart: midpoints of bodies, angles and cusps", runComposite);
TARMIN_CLI_COMMAND(davison, "davison", kDavisonUsage,
                   "Davison chart: midpoint in time and place of two births", runDavison);
TARMIN_CLI_COMMAND(progressed, "progressed", kProgressedUsage,
                   "secondary progressions (a day a year) inside the natal wheel", runProgressed);
TARMIN_CLI_COMMAND(solar_arc, "solar-arc", kSolarArcUsage,
                   "solar-arc directions inside the natal wheel", runSolarArc);
TARMIN_CLI_COMMAND(return_chart, "return", kReturnUsage,
                   "solar or lunar return: the instant to the second and its chart", runReturn);
