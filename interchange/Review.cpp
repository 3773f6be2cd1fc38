// The review of an import and its commit: each chart's place, offset and marks, then all
// included charts appended to the store as one step.
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

#include "atlas/TimeZones.h"
#include "atlas/WorldAtlas.h"
#include "calendar/Yidateex.h"
#include "chart/WordLists.h"
#include "interchange/Aaf.h"
#include "interchange/Cases.h"
#include "interchange/Csv.h"
#include "platform/core/Gbk.h"

namespace interchange {
namespace {

// Zone list index of a whole-hour offset (0..12 east, 13..23 west one to eleven).
int zoneIndexOfHours(int hours) {
    if (hours > 12 || hours < -11) hours = 12;
    return hours >= 0 ? hours : 12 - hours;
}

// A name agrees and the coordinates (when the file has them) lie within 0.1 degree.
constexpr double kPlaceTolerance = 0.1;

class PlaceMatcher {
public:
    explicit PlaceMatcher(const atlas::WorldAtlas* a) : atlas_(a) {}

    const atlas::Place* match(const ImportedChart& c) {
        if (!atlas_ || c.place.empty()) return nullptr;
        for (const std::string& key : keys(c.place)) {
            const auto& found = candidates(key);
            for (const auto& p : found) {
                if (!sameName(p, key)) continue;
                if (!c.hasCoordinates) return &p;
                if (std::fabs(p.latitude - c.latitude) <= kPlaceTolerance &&
                    std::fabs(p.longitude - c.longitude) <= kPlaceTolerance)
                    return &p;
            }
        }
        return nullptr;
    }

private:
    const atlas::WorldAtlas* atlas_;
    std::map<std::string, std::vector<atlas::Place>> cache_;

    static std::vector<std::string> keys(const std::string& place) {
        std::vector<std::string> out{std::string(trimmed(place))};
        // "Kandel/Pfalz", "Paris (France)", "Springfield, IL": the part before the mark too.
        const std::size_t cut = place.find_first_of("/(,;");
        if (cut != std::string::npos && cut > 0) out.emplace_back(trimmed(std::string_view(place).substr(0, cut)));
        return out;
    }
    static bool sameName(const atlas::Place& p, const std::string& key) {
        auto fold = [](std::string s) {
            for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            return s;
        };
        const std::string k = fold(key);
        return fold(p.name) == k || fold(p.latinName) == k;
    }
    const std::vector<atlas::Place>& candidates(const std::string& key) {
        auto it = cache_.find(key);
        if (it == cache_.end()) it = cache_.emplace(key, atlas_->find(key, 20)).first;
        return it->second;
    }
};

// The record's UT minute: local clock less its offset (a lunar date converted first).
bool instantKey(const CaseRecord& r, int64_t& minutes, MYiDateEx& calendar) {
    CivilDate d{r.year, r.month, r.day};
    if (r.lunar == 1) {
        DateTimeFields g;
        std::string error;
        if (!calendar.lunarToGregorian({r.year, r.month, r.day, r.hour, r.minute}, r.leap != 0, g, error)) return false;
        d = {g.year, g.month, g.day};
    }
    int32_t offset = 0;
    if (!r.exactOffset(offset)) offset = zoneOffset(r.zone) * 3600;
    minutes = (daysFromCivil(d) * 86400 + r.hour * 3600 + r.minute * 60 - offset) / 60;
    return true;
}

std::string dupKey(const std::string& name, int64_t minutes) { return name + '\x1f' + std::to_string(minutes); }

}  // namespace

std::string marksText(unsigned marks) {
    if (marks == 0) return "正常";
    std::string out;
    auto add = [&](unsigned bit, const char* text) {
        if (!(marks & bit)) return;
        if (!out.empty()) out += "；";
        out += text;
    };
    add(kDuplicate, "重复(已有同名同时刻命例)");
    add(kZoneUnresolved, "时区无法确定");
    add(kTimeUnknown, "时间不详(按正午12:00)");
    add(kPlaceNotFound, "地点未找到(保留坐标)");
    add(kNoPlace, "无地点无坐标(按未知地)");
    return out;
}

int Review::count(unsigned mark) const {
    int n = 0;
    for (const auto& i : items) n += (mark == 0 ? i.marks == 0 : (i.marks & mark) != 0) ? 1 : 0;
    return n;
}

bool looksLikeAaf(const std::string& raw) {
    const std::string text = fromUtf16File(raw.substr(0, 16384));
    std::size_t at = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) at = 3;
    for (int lines = 0; at < text.size() && lines < 50; ++lines) {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
        if (text.compare(at, 5, "#A93:") == 0) return true;
        const std::size_t nl = text.find('\n', at);
        if (nl == std::string::npos) break;
        at = nl + 1;
    }
    return false;
}

Review reviewCharts(ReadResult read, const atlas::WorldAtlas* atlas, const MDataBase& store) {
    Review review;
    review.problems = std::move(read.problems);
    std::set<std::string> seen;
    MYiDateEx calendar;
    store.ForEachRecord([&](int, const CaseRecord& r) {
        int64_t m = 0;
        if (r.isLive() && instantKey(r, m, calendar)) seen.insert(dupKey(r.displayNameUtf8(), m));
    });
    PlaceMatcher matcher(atlas);
    review.items.reserve(read.charts.size());
    for (auto& chart : read.charts) {
        // The years the program casts.
        if (chart.date.year < 1600 || chart.date.year > 2200) {
            review.problems.push_back({chart.line, "年份" + std::to_string(chart.date.year) + "超出1600-2200"});
            continue;
        }
        ReviewItem item;
        item.chart = std::move(chart);
        ImportedChart& c = item.chart;
        CaseRecord& rec = item.record;
        std::string note;
        rec.setFullName(c.name);
        rec.year = static_cast<int16_t>(c.date.year);
        rec.month = static_cast<int16_t>(c.date.month);
        rec.day = static_cast<int16_t>(c.date.day);
        rec.hour = static_cast<int16_t>(c.time.hour);
        rec.minute = static_cast<int16_t>(c.time.minute);
        rec.male = c.male ? 1 : 0;
        std::string zoneId;
        const atlas::Place* p = matcher.match(c);
        double lon = c.longitude, lat = c.latitude;
        if (p) {
            if (!c.hasCoordinates) lon = p->longitude, lat = p->latitude;
            zoneId = p->zoneId;
            item.placeText = p->placeText();
            if (p->world) {
                rec.province = kUnknownProvince;
                rec.setWorldCity(p->worldIndex);
            } else {
                rec.province = static_cast<int16_t>(p->province);
                rec.city = static_cast<int16_t>(p->city);
                zoneId = atlas::provinceZone(p->province);
            }
        } else {
            rec.province = kUnknownProvince;
            const std::string where = c.place.empty() ? c.country : c.country.empty() ? c.place : c.place + ", " + c.country;
            if (c.hasCoordinates) {
                rec.setTypedPlace(true);
                item.marks |= c.place.empty() ? 0u : kPlaceNotFound;
                item.placeText = where.empty() ? "自定义坐标" : where;
                if (!where.empty()) note += "出生地：" + where + "（地点库中未找到，按文件中的坐标排盘）\n";
            } else {
                item.marks |= kNoPlace;
                item.include = false;
                lon = 120.0, lat = 30.0;
                item.placeText = kUnknownPlace;
                if (!where.empty()) note += "出生地：" + where + "（地点库中未找到，文件中没有坐标）\n";
            }
        }
        rec.longitude = static_cast<float>(lon);
        rec.latitude = static_cast<float>(lat);
        // The clock's offset: the file's, else the zone of the place or the zone the file names.
        if (!c.hasOffset) {
            const std::string zone = zoneId.empty() && atlas::zoneExists(c.zoneName) ? c.zoneName : zoneId;
            const atlas::ZoneAnswer a = zone.empty() ? atlas::ZoneAnswer{}
                                                     : atlas::offsetAt(zone, {c.date.year, c.date.month, c.date.day,
                                                                              c.time.hour, c.time.minute});
            if (a.kind == atlas::WallTimeKind::Unique) {
                c.hasOffset = true;
                c.offsetSeconds = a.offsetSeconds;
                c.summer = a.summerTime;
            } else {
                item.marks |= kZoneUnresolved;
                item.include = false;
                c.offsetSeconds = static_cast<int>(std::lround(lon * 240.0));  // local mean time until decided
                note += "时区" + (c.zoneName.empty() ? std::string() : "“" + c.zoneName + "”") +
                        "无法确定，按当地平太阳时导入\n";
            }
        }
        rec.zone = static_cast<int16_t>(zoneIndexOfHours(static_cast<int>(std::lround(c.offsetSeconds / 3600.0))));
        rec.setExactOffset(true, c.offsetSeconds);
        if (c.summer) rec.setSummerAnswer(1);
        if (!c.timeKnown) {
            item.marks |= kTimeUnknown;
            note += "出生时间不详，按正午12:00导入\n";
        }
        int64_t m = 0;
        if (instantKey(rec, m, calendar) && !seen.insert(dupKey(rec.displayNameUtf8(), m)).second) {
            item.marks |= kDuplicate;
            item.include = false;
        }
        if (!note.empty()) item.note = "导入的命例：\n" + note;
        review.items.push_back(std::move(item));
    }
    return review;
}

Review reviewFile(const std::string& text, const atlas::WorldAtlas* atlas, const MDataBase& store) {
    return reviewCharts(looksLikeAaf(text) ? readAaf(text) : readCsv(text), atlas, store);
}

std::string noteRtf(const std::string& utf8) {
    std::string out = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}\\f0\\fs21 ";
    for (char ch : gbk::fromUtf8(utf8)) {
        const auto u = static_cast<unsigned char>(ch);
        if (ch == '\n') {
            out += "\\par\n";
        } else if (ch == '\\' || ch == '{' || ch == '}') {
            out += '\\';
            out += ch;
        } else if (u >= 0x80) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\'%02x", u);
            out += buf;
        } else if (u >= 0x20) {
            out += ch;
        }
    }
    return out + "}";
}

int commitImport(MDataBase& store, const Review& review, const std::string& category,
                 const std::function<bool(std::size_t, std::size_t)>& progress) {
    std::vector<CaseRecord> recs;
    std::vector<std::string> comments;
    bool anyComment = false;
    for (const auto& item : review.items) {
        if (!item.include) continue;
        recs.push_back(item.record);
        recs.back().setCategory(category);
        comments.push_back(item.note.empty() ? std::string() : noteRtf(item.note));
        anyComment = anyComment || !item.note.empty();
    }
    if (!anyComment) comments.clear();
    if (recs.empty()) return 0;
    return store.AppendCases(recs, comments, progress) ? static_cast<int>(recs.size()) : -1;
}

}  // namespace interchange
