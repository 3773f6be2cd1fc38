// Saved cases as exchange charts, and their JSON form.
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>

#include "atlas/WorldAtlas.h"
#include "calendar/Yidateex.h"
#include "chart/WordLists.h"
#include "interchange/Cases.h"
#include "platform/core/IniFile.h"

namespace interchange {

ProvincePlaces::ProvincePlaces(const std::string& placeTablePath) {
    const IniFile table(placeTablePath);
    for (std::size_t p = 0; p + 1 < ProvinceNames.size(); ++p) names_.push_back(table.readSection(ProvinceNames[p]));
}

std::string ProvincePlaces::city(int province, int cityIndex) const {
    if (province < 0 || static_cast<std::size_t>(province) >= names_.size()) return {};
    const auto& list = names_[static_cast<std::size_t>(province)];
    if (cityIndex < 0 || static_cast<std::size_t>(cityIndex) >= list.size()) return {};
    return list[static_cast<std::size_t>(cityIndex)];
}

bool exportedChart(const CaseRecord& rec, const atlas::WorldAtlas* atlas, const ProvincePlaces* places,
                   ExportedChart& out) {
    out = ExportedChart{};
    out.name = rec.displayNameUtf8();
    out.male = rec.male != 0;
    out.date = {rec.year, rec.month, rec.day};
    if (rec.lunar == 1) {
        static thread_local MYiDateEx calendar;  // unpacks its tables once
        DateTimeFields g;
        std::string error;
        if (!calendar.lunarToGregorian({rec.year, rec.month, rec.day, rec.hour, rec.minute}, rec.leap != 0, g, error))
            return false;
        out.date = {g.year, g.month, g.day};
        out.lunar = true;
    }
    if (out.date.year < 1 || out.date.month < 1 || out.date.month > 12 || out.date.day < 1 || out.date.day > 31 ||
        rec.hour < 0 || rec.hour > 23 || rec.minute < 0 || rec.minute > 59)
        return false;
    out.time = {rec.hour, rec.minute, 0};
    int32_t offset = 0;
    if (!rec.exactOffset(offset)) offset = zoneOffset(rec.zone) * 3600;
    out.offsetSeconds = offset;
    out.summer = rec.summerAnswer() == 1;
    out.latitude = static_cast<double>(rec.latitude);
    out.longitude = static_cast<double>(rec.longitude);
    out.category = rec.categoryUtf8();
    out.blood = rec.blood;
    const int32_t world = rec.worldCity();
    if (world >= 0 && atlas) {
        if (const auto p = atlas->worldCity(world)) {
            out.place = p->latinName.empty() ? p->name : p->latinName;
            out.country = p->country;
            out.zoneId = p->zoneId;
        }
    } else if (!rec.typedPlace() && rec.province >= 0 && rec.province < kUnknownProvince) {
        out.place = places ? places->city(rec.province, rec.city) : std::string();
        out.country = "中国";
        out.zoneId = atlas::provinceZone(rec.province);
    }
    return true;
}

std::vector<CaseRecord> selectCases(const MDataBase& store, const std::string& category, const std::string& search) {
    std::vector<CaseRecord> out;
    store.ForEachRecord([&](int, const CaseRecord& r) {
        if (!r.isLive()) return;
        if (!category.empty() && r.categoryUtf8() != category) return;
        if (!search.empty() && r.displayNameUtf8().find(search) == std::string::npos &&
            r.categoryUtf8().find(search) == std::string::npos)
            return;
        out.push_back(r);
    });
    return out;
}

std::string writeJson(const std::vector<ExportedChart>& charts) {
    nlohmann::json all = nlohmann::json::array();
    char buf[64];
    for (const auto& c : charts) {
        nlohmann::json j;
        j["name"] = c.name;
        j["sex"] = c.male ? "m" : "f";
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", c.date.year, c.date.month, c.date.day);
        j["date"] = buf;
        std::snprintf(buf, sizeof buf, "%02d:%02d", c.time.hour, c.time.minute);
        j["time"] = buf;
        j["utc_offset"] = offsetText(c.offsetSeconds);
        j["summer_time"] = c.summer;
        CivilDate d = c.date;
        ClockTime t = c.time;
        shiftSeconds(d, t, -static_cast<int64_t>(c.offsetSeconds));
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02dZ", d.year, d.month, d.day, t.hour, t.minute,
                      t.second);
        j["utc"] = buf;
        j["julian_day"] = std::round(julianDay(d, t) * 1e6) / 1e6;
        j["latitude"] = std::round(c.latitude * 1e6) / 1e6;
        j["longitude"] = std::round(c.longitude * 1e6) / 1e6;
        j["place"] = c.place;
        j["country"] = c.country;
        j["zone"] = c.zoneId;
        j["category"] = c.category;
        j["blood_type"] = BloodTypeItems[static_cast<std::size_t>(c.blood >= 0 && c.blood < 4 ? c.blood : 0)];
        j["entered_as_lunar"] = c.lunar;
        all.push_back(std::move(j));
    }
    return all.dump(1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace interchange
