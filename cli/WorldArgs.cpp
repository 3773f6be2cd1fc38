#include "cli/WorldArgs.h"

#include <cmath>
#include <cstdio>
#include <cstring>

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

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
}

std::string trimmed(const std::string& s) {
    const std::size_t a = s.find_first_not_of(" \t");
    const std::size_t b = s.find_last_not_of(" \t");
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

// A name as written, or with the administrative suffix the place lists often carry
// ("拉萨" for "拉萨市"), or the Latin name in any letter case.
bool sameName(const atlas::Place& p, const std::string& name) {
    if (p.name == name) return true;
    for (const char* suffix : {"市", "县", "区"})
        if (p.name == name + suffix) return true;
    return !p.latinName.empty() && lower(p.latinName) == lower(name);
}

// "US", "United States", "美国", a region's name: what may follow the comma.
bool qualifies(const atlas::Place& p, const std::string& q) {
    const std::string l = lower(q);
    const std::string code = l == "uk" ? "gb" : l == "usa" ? "us" : l;
    for (const std::string* t : {&p.country, &p.region})
        if (*t == q || (t->size() > q.size() && t->compare(0, q.size(), q) == 0)) return true;
    return lower(p.latinCountry) == l || lower(p.latinRegion) == l || lower(p.countryCode) == code;
}

// A world city that is a place of the province table as well (the same name, within half a
// degree): the one place, counted once as the province table's.
bool sameAsTableEntry(const atlas::Place& w, const std::vector<atlas::Place>& places) {
    if (!w.world) return false;
    for (const auto& t : places)
        if (!t.world && (t.name == w.name || sameName(t, w.name) || sameName(w, t.name)) &&
            std::fabs(t.longitude - w.longitude) < 0.5 && std::fabs(t.latitude - w.latitude) < 0.5)
            return true;
    return false;
}
}  // namespace

bool pickCity(const atlas::WorldAtlas& atlas, const std::string& typed, atlas::Place& out,
              std::string& message) {
    // "NAME, COUNTRY" or "NAME, REGION" picks among namesakes.
    std::string name = trimmed(typed), qualifier;
    for (const char* comma : {"，", ","}) {
        const std::size_t at = name.rfind(comma);
        if (at != std::string::npos) {
            qualifier = trimmed(name.substr(at + std::strlen(comma)));
            name = trimmed(name.substr(0, at));
            break;
        }
    }
    const std::vector<atlas::Place> found = atlas.find(name, 50);
    std::vector<atlas::Place> exact, partial;
    for (const auto& p : found) {
        if (sameAsTableEntry(p, found)) continue;
        if (!qualifier.empty() && !qualifies(p, qualifier)) continue;
        (sameName(p, name) ? exact : partial).push_back(p);
    }
    const std::vector<atlas::Place>& choice = exact.empty() ? partial : exact;
    if (choice.empty()) {
        message = "找不到城市“" + typed + "”";
        return false;
    }
    if (choice.size() == 1) {
        out = choice.front();
        return true;
    }
    message = "“" + typed + "”不止一处，请用更完整的名称，或写作“名称, 国家”“名称, 省/州”：";
    for (std::size_t i = 0; i < choice.size() && i < 20; ++i) message += "\n" + placeLine(choice[i]);
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
