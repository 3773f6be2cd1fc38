#include "cli/WorldArgs.h"

#include <cstdio>

#include "atlas/TimeZones.h"
#include "calendar/Yidateex.h"

namespace cli {

std::string placeTablePath(const std::string& programFolder) { return programFolder + "dat/dili.ini"; }

namespace {
std::string placeLine(const atlas::Place& p) {
    char coords[64];
    std::snprintf(coords, sizeof coords, "%.4f\t%.4f", p.longitude, p.latitude);
    return p.label() + "\t" + coords + "\t" + p.zoneId;
}

bool sameName(const atlas::Place& p, const std::string& name) {
    if (p.name == name) return true;
    if (p.latinName.size() != name.size() || p.latinName.empty()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        auto low = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (low(p.latinName[i]) != low(name[i])) return false;
    }
    return true;
}
}  // namespace

bool pickCity(const atlas::WorldAtlas& atlas, const std::string& name, atlas::Place& out,
              std::string& message) {
    const std::vector<atlas::Place> found = atlas.find(name, 20);
    if (found.empty()) {
        message = "找不到城市“" + name + "”";
        return false;
    }
    std::vector<atlas::Place> exact;
    for (const auto& p : found)
        if (sameName(p, name)) exact.push_back(p);
    const std::vector<atlas::Place>& choice = exact.empty() ? found : exact;
    if (choice.size() == 1) {
        out = choice.front();
        return true;
    }
    message = "“" + name + "”不止一处，请用更完整的名称：";
    for (const auto& p : choice) message += "\n" + placeLine(p);
    return false;
}

bool applyTimeZone(const std::string& tz, const std::string& autoZone, BirthRecord& r,
                   std::string& why, std::string& message) {
    int fixed = 0;
    std::string zone;
    if (tz == "auto") {
        zone = autoZone;
        if (zone.empty()) {
            message = "--tz auto 需要 --city：输入的坐标没有时区";
            return false;
        }
    } else if (!atlas::readZoneText(tz, fixed, zone, message)) {
        return false;
    }
    if (zone.empty()) {
        r.utcOffsetSeconds = fixed;
        r.zoneId.clear();
        why = atlas::offsetText(fixed) + " (given)";
        return true;
    }
    DateTimeFields g = r.birth;
    if (r.lunar) {
        // The clock is looked up at the Gregorian day of a lunar date.
        MYiDateEx calendar;
        std::string error;
        if (!calendar.lunarToGregorian(r.birth, r.leapMonth != 0, g, error)) {
            message = error.empty() ? "不存在这个农历日期，无法转换到公历！" : error;
            return false;
        }
    }
    const atlas::WallTime t{g.year, g.month, g.day, r.birth.hour, r.birth.minute};
    const atlas::ZoneAnswer a = atlas::offsetAt(zone, t, static_cast<double>(r.longitude));
    if (a.kind != atlas::WallTimeKind::Unique) {
        message = atlas::wallTimeProblemText(zone, t, a);
        return false;
    }
    r.utcOffsetSeconds = a.offsetSeconds;
    r.zoneId = zone;
    why = atlas::offsetText(a.offsetSeconds) + " (" + zone +
          (a.localMeanTime ? ", local mean time)" : a.summerTime ? ", summer time)" : ", standard time)");
    return true;
}

}  // namespace cli

namespace cli {
bool applyWorldOptions(const std::string& programFolder, const std::string& city, std::string tz,
                       bool zoneGiven, BirthRecord& r, const char* label) {
    std::string zone, message;
    if (!city.empty()) {
        const atlas::WorldAtlas atlas(placeTablePath(programFolder));
        atlas::Place p;
        if (!pickCity(atlas, city, p, message)) {
            std::fprintf(stderr, "%s\n", message.c_str());
            return false;
        }
        r.longitude = static_cast<float>(p.longitude);
        r.latitude = static_cast<float>(p.latitude);
        r.place = p.placeText();
        if (!p.world) {
            r.provinceIndex = static_cast<int16_t>(p.province);
            r.cityIndex = static_cast<int16_t>(p.city);
        }
        zone = p.zoneId;
        if (tz.empty() && !zoneGiven) tz = "auto";
    }
    if (tz.empty()) return true;
    std::string why;
    if (!applyTimeZone(tz, zone, r, why, message)) {
        std::fprintf(stderr, "%s\n", message.c_str());
        return false;
    }
    std::printf("%s\t%s\n", label, why.c_str());
    return true;
}
}  // namespace cli
