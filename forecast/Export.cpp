#include "forecast/Export.h"

#include <csv.h>
#include <libical/ical.h>

#include <cmath>
#include <ctime>

#include "calendar/Yidateex.h"
#include "chart/XiangweiList.h"

namespace forecast {
namespace {
long long unixSeconds(double jdUT) { return static_cast<long long>(std::llround((jdUT - 2440587.5) * 86400.0)); }

icaltimetype icalUtc(double jdUT) {
    return icaltime_from_timet_with_zone(static_cast<time_t>(unixSeconds(jdUT)), 0, icaltimezone_get_utc_timezone());
}

icalcomponent* newCalendar() {
    icalcomponent* cal = icalcomponent_new(ICAL_VCALENDAR_COMPONENT);
    icalcomponent_add_property(cal, icalproperty_new_version("2.0"));
    icalcomponent_add_property(cal, icalproperty_new_prodid("-//Tarmin//Tarmin 3.6//ZH"));
    icalcomponent_add_property(cal, icalproperty_new_calscale("GREGORIAN"));
    return cal;
}

void addEvent(icalcomponent* cal, const std::string& uid, double start, double end, const std::string& summary,
              const std::string& description) {
    icalcomponent* ev = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    icalcomponent_add_property(ev, icalproperty_new_uid(uid.c_str()));
    icalcomponent_add_property(ev, icalproperty_new_dtstamp(
                                       icaltime_from_timet_with_zone(std::time(nullptr), 0, icaltimezone_get_utc_timezone())));
    icalcomponent_add_property(ev, icalproperty_new_dtstart(icalUtc(start)));
    icalcomponent_add_property(ev, icalproperty_new_dtend(icalUtc(end < start ? start : end)));
    icalcomponent_add_property(ev, icalproperty_new_summary(summary.c_str()));
    if (!description.empty()) icalcomponent_add_property(ev, icalproperty_new_description(description.c_str()));
    icalcomponent_add_component(cal, ev);
}

std::string finish(icalcomponent* cal) {
    char* text = icalcomponent_as_ical_string_r(cal);
    std::string s = text ? text : "";
    free(text);
    icalcomponent_free(cal);
    return s;
}

std::string join(const std::vector<std::string>& f, const char* sep) {
    std::string s;
    for (std::size_t i = 0; i < f.size(); ++i) s += (i ? sep : "") + f[i];
    return s;
}
}  // namespace

bool writeTextFile(const std::string& path, const std::string& text, recfs::ReplaceResult* result) {
    const recfs::ReplaceResult r = recfs::replaceFile(path, text);
    if (result) *result = r;
    return r == recfs::ReplaceResult::Written;
}

bool writeCsv(const std::string& path, const std::vector<std::vector<std::string>>& rows,
              recfs::ReplaceResult* result) {
    std::string text;
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i) text += ',';
            // csv_write quotes the field and doubles its quotes: at most 2n + 2 bytes.
            std::string out(2 * row[i].size() + 2, '\0');
            out.resize(csv_write(out.data(), out.size(), row[i].data(), row[i].size()));
            text += out;
        }
        text += "\r\n";
    }
    return writeTextFile(path, text, result);
}

std::vector<std::vector<std::string>> skyEventRows(const std::vector<SkyEvent>& events, MYiDateEx& calendar,
                                                   const ClockOffset& clock) {
    std::vector<std::vector<std::string>> rows{{"时间", "天象", "内容"}};
    for (const SkyEvent& e : events)
        rows.push_back({localTimeText(e.jd, clock), skyKindName(e.kind), join(skyEventFields(e, calendar, clock), " ")});
    return rows;
}

std::vector<std::vector<std::string>> transitRows(const std::vector<TransitHit>& hits,
                                                  const std::vector<NatalPoint>& natal, const ClockOffset& clock) {
    std::vector<std::vector<std::string>> rows{{"时间", "行运星", "相位", "本命点", "逆行", "入相位", "出相位"}};
    for (const TransitHit& h : hits)
        rows.push_back({localTimeText(h.jd, clock), bodyName(h.body), aspectKindName(h.kind),
                        natal[static_cast<std::size_t>(h.natal)].name, h.retrograde ? "逆" : "",
                        std::isnan(h.enters) ? "" : localTimeText(h.enters, clock),
                        std::isnan(h.leaves) ? "" : localTimeText(h.leaves, clock)});
    return rows;
}

std::string listsIcs(const std::vector<TransitHit>& hits, const std::vector<NatalPoint>& natal,
                     const std::string& forWhom, const std::vector<SkyEvent>& events, MYiDateEx& calendar,
                     const ClockOffset& clock) {
    icalcomponent* cal = newCalendar();
    for (const TransitHit& h : hits) {
        const std::string what = std::string(bodyName(h.body)) + " " + aspectKindName(h.kind) + " " +
                                 natal[static_cast<std::size_t>(h.natal)].name;
        const std::string uid = "transit-" + std::to_string(unixSeconds(h.jd)) + "-" + std::to_string(h.body) + "-" +
                                std::to_string(h.kind) + "-" + std::to_string(h.natal) + "@tarmin";
        const double start = std::isnan(h.enters) ? h.jd : h.enters;
        const double end = std::isnan(h.leaves) ? h.jd : h.leaves;
        std::string description = "精确：" + localTimeText(h.jd, clock) + (h.retrograde ? "（逆行）" : "");
        if (!forWhom.empty()) description = forWhom + "\n" + description;
        addEvent(cal, uid, start, end, what, description);
    }
    for (const SkyEvent& e : events) {
        const std::string summary = std::string(skyKindName(e.kind)) + " " + join(skyEventFields(e, calendar, clock), " ");
        const std::string uid = "sky-" + std::to_string(unixSeconds(e.jd)) + "-" + std::to_string(static_cast<int>(e.kind)) +
                                "-" + std::to_string(e.body) + "@tarmin";
        addEvent(cal, uid, e.jd, e.kind == SkyKind::VoidMoon ? e.endJd : e.jd, summary, localTimeText(e.jd, clock));
    }
    return finish(cal);
}

std::string skyEventsIcs(const std::vector<SkyEvent>& events, MYiDateEx& calendar, const ClockOffset& clock) {
    return listsIcs({}, {}, "", events, calendar, clock);
}

std::string transitsIcs(const std::vector<TransitHit>& hits, const std::vector<NatalPoint>& natal,
                        const std::string& forWhom, const ClockOffset& clock) {
    MYiDateEx calendar;
    return listsIcs(hits, natal, forWhom, {}, calendar, clock);
}

}  // namespace forecast
