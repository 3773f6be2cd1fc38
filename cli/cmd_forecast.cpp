// tarmin-cli events / transits: the sky's events in a period, and the exact transits to a
// person's chart, one line per event in time order (tab-separated), with CSV and iCalendar files.
#include <QImage>

#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>

#include "astro/DateText.h"
#include "astro/Eph0.h"
#include "atlas/TimeZones.h"
#include "calendar/Yidateex.h"
#include "chart/ChartSettings.h"
#include "chart/PlaceText.h"
#include "chart/WordLists.h"
#include "chart/Zhanxing.h"
#include "cli/ArgText.h"
#include "cli/ChartOptionArgs.h"
#include "cli/ChartRun.h"
#include "cli/Cli.h"
#include "cli/WorldArgs.h"
#include "forecast/EventText.h"
#include "forecast/Export.h"
#include "platform/core/IniFile.h"
#include "platform/core/PlainTextTarget.h"
#include "platform/qt/QImageCanvas.h"

namespace {
constexpr const char* kEventsUsage =
    "events --from YYYY-MM-DD --to YYYY-MM-DD [--tz ZONE|--zone INDEX] "
    "[--kinds ingress,station,lunation,eclipse,term,void] [--asteroids | --bodies chiron,ceres,pallas,juno,vesta] "
    "[--csv FILE] [--ics FILE]";
constexpr const char* kTransitsUsage =
    "transits PERSON --from YYYY-MM-DD --to YYYY-MM-DD [--moon] [--node] [--asteroids | --bodies LIST] [--orb-times] "
    "[--csv FILE] [--ics FILE]";
constexpr double kLongestPeriodDays = 100 * 365.25 + 1;

int usage(const char* text) {
    std::fprintf(stderr, "usage: tarmin-cli %s\n", text);
    return 2;
}

// The clock of the lists: an IANA zone (offset at each event), a fixed offset, or UTC+8.
struct Clock {
    std::string zone;
    int fixed = 8 * 3600;
    forecast::ClockOffset offset() const {
        if (!zone.empty()) {
            const std::string z = zone;
            return [z](double jd) {
                const auto utc = static_cast<long long>(std::floor((jd - 2440587.5) * 86400.0));
                return atlas::clockAt(z, utc, std::nan("")).offsetSeconds;
            };
        }
        return forecast::fixedOffset(fixed);
    }
};

// "+09:00" or a zone identifier; the message and false on anything else.
bool readClock(const std::string& tz, Clock& c) {
    int fixed = 0;
    if (atlas::parseOffsetText(tz, fixed)) {
        c.fixed = fixed;
        return true;
    }
    if (!atlas::zoneExists(tz)) {
        std::fprintf(stderr, "时区“%s”不存在\n", tz.c_str());
        return false;
    }
    c.zone = tz;
    return true;
}

struct Period {
    DateTimeFields from, to;
    bool haveFrom = false, haveTo = false;
};

// --from and --to: 1 taken, 0 not these, -1 bad value.
int periodOption(const cli::Args& args, std::size_t& i, Period& p) {
    const std::string& a = args[i];
    if (a != "--from" && a != "--to") return 0;
    if (i + 1 >= args.size()) return -1;
    DateTimeFields d;
    if (!parseDateText(args[++i], d) || !dateExists(d)) return -1;
    (a == "--from" ? p.from : p.to) = d;
    (a == "--from" ? p.haveFrom : p.haveTo) = true;
    return 1;
}

// The period in UT: from the start of the first day to the end of the last in the clock.
bool periodBounds(const Period& p, const forecast::ClockOffset& clock, double& t1, double& t2) {
    t1 = forecast::localMidnight(p.from.year, p.from.month, p.from.day, clock);
    t2 = forecast::localMidnight(p.to.year, p.to.month, p.to.day + 1, clock);
    if (t2 <= t1 || t2 - t1 > kLongestPeriodDays) {
        std::fprintf(stderr, "时段须从--from到--to，最长一百年\n");
        return false;
    }
    return true;
}

bool readKinds(const std::string& list, forecast::SkyKinds& k) {
    k.ingress = k.station = k.lunation = k.eclipse = k.term = k.voidMoon = false;
    std::stringstream in(list);
    std::string w;
    bool any = false;
    while (std::getline(in, w, ',')) {
        if (w == "ingress") k.ingress = true;
        else if (w == "station") k.station = true;
        else if (w == "lunation") k.lunation = true;
        else if (w == "eclipse") k.eclipse = true;
        else if (w == "term") k.term = true;
        else if (w == "void") k.voidMoon = true;
        else return false;
        any = true;
    }
    return any;
}

// Chiron and the asteroids are tabulated for 1600-2200 only.
bool asteroidYearsOk(const Period& p, const std::array<bool, 5>& asteroids) {
    bool any = false;
    for (bool b : asteroids) any = any || b;
    if (!any || (p.from.year >= 1600 && p.to.year <= 2200)) return true;
    std::fprintf(stderr, "凯龙星和小行星只能查1600-2200年\n");
    return false;
}

bool writeFiles(const std::string& csv, const std::vector<std::vector<std::string>>& rows, const std::string& ics,
                const std::string& icsText) {
    // Each file through the safe writer: a FIFO or device is refused, a failed write leaves the
    // old file as it was; either is reported with its reason (exit 1).
    recfs::ReplaceResult result = recfs::ReplaceResult::Written;
    if (!csv.empty() && !forecast::writeCsv(csv, rows, &result)) {
        std::fprintf(stderr, "%s\n", recfs::replaceFailureText(result, csv).c_str());
        return false;
    }
    if (!ics.empty() && !forecast::writeTextFile(ics, icsText, &result)) {
        std::fprintf(stderr, "%s\n", recfs::replaceFailureText(result, ics).c_str());
        return false;
    }
    return true;
}

int runEvents(const cli::Args& args) {
    Period p;
    Clock clock;
    forecast::SkyKinds kinds;
    std::string csv, ics;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (const int r = periodOption(args, i, p)) {
            if (r < 0) return usage(kEventsUsage);
            continue;
        }
        if (const int r = cli::readAsteroidOption(args, i, kinds.asteroids)) {
            if (r < 0) return usage(kEventsUsage);
            continue;
        }
        if (i + 1 >= args.size()) return usage(kEventsUsage);
        const std::string v = args[++i];
        long n = 0;
        if (a == "--tz") {
            if (!readClock(v, clock)) return 1;
        } else if (a == "--zone") {
            if (!cli::readBounded(v, 0, 23, n)) return usage(kEventsUsage);
            clock = Clock{};
            clock.fixed = zoneOffset(static_cast<int>(n)) * 3600;
        } else if (a == "--kinds") {
            if (!readKinds(v, kinds)) return usage(kEventsUsage);
        } else if (a == "--csv") csv = v;
        else if (a == "--ics") ics = v;
        else return usage(kEventsUsage);
    }
    if (!p.haveFrom || !p.haveTo) return usage(kEventsUsage);
    if (!asteroidYearsOk(p, kinds.asteroids)) return 1;
    const forecast::ClockOffset offset = clock.offset();
    double t1 = 0, t2 = 0;
    if (!periodBounds(p, offset, t1, t2)) return 1;
    forecast::Ephemeris eph;
    const auto events = forecast::findSkyEvents(eph, kinds, t1, t2);
    MYiDateEx calendar;
    for (const auto& e : events) std::printf("%s\n", forecast::skyEventLine(e, calendar, offset).c_str());
    if (csv.empty() && ics.empty()) return 0;
    return writeFiles(csv, forecast::skyEventRows(events, calendar, offset), ics,
                      ics.empty() ? std::string() : forecast::skyEventsIcs(events, calendar, offset))
               ? 0
               : 1;
}

int runTransits(const cli::Args& args) {
    BirthRecord r;
    r.name = "某人";
    r.place = " 未知";
    bool haveDate = false, zoneGiven = false, precise = false;
    std::string lon = "120:00", lat = "30:00", city, tz, csv, ics;
    long orb = -1;
    cli::ChartOptionArgs options;
    Period p;
    forecast::TransitOptions o;
    o.orbTimes = false;
    bool orbTimes = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (const int t = periodOption(args, i, p)) {
            if (t < 0) return usage(kTransitsUsage);
            continue;
        }
        if (const int t = cli::readChartOption(args, i, options)) {
            if (t < 0) return usage(kTransitsUsage);
            continue;
        }
        if (a == "--moon") { o.moon = true; continue; }
        if (a == "--node") { o.node = true; continue; }
        if (a == "--orb-times") { orbTimes = true; continue; }
        if (a == "--lunar") { r.lunar = 1; continue; }
        if (a == "--leap") { r.leapMonth = 1; continue; }
        if (a == "--female") { r.male = 0; continue; }
        if (a == "--precise") { precise = true; continue; }
        if (i + 1 >= args.size()) return usage(kTransitsUsage);
        const std::string v = args[++i];
        long n = 0;
        if (a == "--name") r.name = v;
        else if (a == "--place") r.place = v;
        else if (a == "--date") {
            if (!parseDateTimeText(v, r.birth)) return usage(kTransitsUsage);
            haveDate = true;
        } else if (a == "--zone") {
            if (!cli::readBounded(v, 0, 23, n)) return usage(kTransitsUsage);
            r.zoneIndex = static_cast<int8_t>(n);
            zoneGiven = true;
        } else if (a == "--lon") lon = v;
        else if (a == "--lat") lat = v;
        else if (a == "--city") city = v;
        else if (a == "--tz") tz = v;
        else if (a == "--orb") {
            if (!cli::readBounded(v, 0, 255, orb)) return usage(kTransitsUsage);
        } else if (a == "--csv") csv = v;
        else if (a == "--ics") ics = v;
        else return usage(kTransitsUsage);
    }
    if (!haveDate || !p.haveFrom || !p.haveTo) return usage(kTransitsUsage);
    const CoordinateCheck place = checkCoordinates(lon, lat);
    if (!place.ok) {
        std::fprintf(stderr, "%s\n", place.message.c_str());
        return 1;
    }
    r.longitude = place.longitude;
    r.latitude = place.latitude;

    // The clock of the list: the city's zone or the zone given, else the chart's own offset.
    std::string folder = cli::programFolder();
    Clock clock;
    clock.fixed = zoneOffset(r.zoneIndex) * 3600;
    std::string zoneId;
    if (!city.empty()) {
        const atlas::WorldAtlas world(cli::placeTablePath(folder));
        atlas::Place found;
        std::string message;
        if (!cli::pickCity(world, city, found, message)) {
            std::fprintf(stderr, "%s\n", message.c_str());
            return 1;
        }
        r.longitude = static_cast<float>(found.longitude);
        r.latitude = static_cast<float>(found.latitude);
        r.place = found.placeText();
        zoneId = found.zoneId;
        if (tz.empty() && !zoneGiven) tz = "auto";
    }
    if (!tz.empty()) {
        std::string why, message;
        if (!cli::applyTimeZone(tz, zoneId, r, why, message)) {
            std::fprintf(stderr, "%s\n", message.c_str());
            return 1;
        }
        if (!readClock(tz == "auto" ? zoneId : tz, clock)) return 1;
    } else if (r.utcOffsetSeconds != BirthRecord::kZoneListOffset) {
        clock.fixed = r.utcOffsetSeconds;
    }

    cli::TempFolder temp;
    if (orb >= 0 || precise || options.changesSettings()) {
        ChartSettings settings = ChartSettings::load(IniFile(chartSettingsPath(folder)));
        if (orb >= 0) settings.orb = static_cast<int32_t>(orb);
        if (precise) settings.precise = true;
        cli::applyChartOptions(options, settings);
        folder = cli::privateSettingsFolder(settings, temp);
        if (folder.empty()) {
            std::fprintf(stderr, "tarmin-cli transits: cannot create a temporary folder\n");
            return 1;
        }
    }
    std::unique_ptr<QGuiApplication> app;
    cli::ensureGuiApplication(app);
    QImage image(800, 700, QImage::Format_RGB32);
    QImageCanvas canvas(image);
    PlainTextTarget rich;
    MZhanXingEx engine(rich, canvas, folder);
    if (!engine.castNatal(r)) {
        std::fprintf(stderr, "%s\n", engine.errorText().c_str());
        return 1;
    }
    const std::vector<forecast::NatalPoint> natal = forecast::natalPointsOf(engine);
    o.orbs = engine.aspectOrbs();
    o.asteroids = forecast::shownAsteroids(engine);
    if (!asteroidYearsOk(p, o.asteroids)) return 1;
    o.orbTimes = orbTimes || !ics.empty() || !csv.empty();

    const forecast::ClockOffset offset = clock.offset();
    double t1 = 0, t2 = 0;
    if (!periodBounds(p, offset, t1, t2)) return 1;
    forecast::Ephemeris eph;
    const auto hits = forecast::findTransits(eph, natal, o, t1, t2);
    for (const auto& h : hits) std::printf("%s\n", forecast::transitLine(h, natal, offset, orbTimes).c_str());
    if (csv.empty() && ics.empty()) return 0;
    return writeFiles(csv, forecast::transitRows(hits, natal, offset), ics,
                      ics.empty() ? std::string() : forecast::transitsIcs(hits, natal, r.name, offset))
               ? 0
               : 1;
}
}  // namespace

TARMIN_CLI_COMMAND(events, "events", kEventsUsage,
                   "the sky's events in a period: ingresses, stations, new and full moons, eclipses, "
                   "solar terms, void-of-course Moon; --asteroids, --bodies: ingresses and stations of "
                   "Chiron and the asteroids too",
                   runEvents);
TARMIN_CLI_COMMAND(transits, "transits", kTransitsUsage,
                   "exact transits of Sun ... Pluto (--moon, --node; Chiron and the asteroids shown: "
                   "--asteroids, --bodies) to a chart in a period, with the orb times",
                   runTransits);
