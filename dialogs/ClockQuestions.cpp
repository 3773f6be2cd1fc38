#include "dialogs/ClockQuestions.h"

#include <cmath>
#include <cstdio>

#include "astro/Eph0.h"

namespace clockq {
namespace {

// The wall time `minutes` after `t` (negative: before), across days and months.
atlas::WallTime shifted(const atlas::WallTime& t, long minutes) {
    const double jd = julianDay(t.year, t.month, t.day) + static_cast<double>(t.hour * 60 + t.minute + minutes) / 1440.0;
    const double whole = std::round((jd + 0.5) * 1440.0);
    const DateTimeFields f = fieldsFromJulianDay(whole / 1440.0 - 0.5 + 1.0 / 86400);
    return {f.year, f.month, f.day, f.hour, f.minute};
}

std::string dayText(const atlas::WallTime& t) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%d年%d月%d日", t.year, t.month, t.day);
    return buf;
}

std::string clockText(const atlas::WallTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d时%d分", t.hour, t.minute);
    return buf;
}

}  // namespace

std::string skippedText(const std::string& zoneId, const atlas::WallTime& t, const atlas::ZoneAnswer& a) {
    // The first minute the clock did not show: step back while the minute before is skipped too
    // (a jump is never longer than a few hours).
    atlas::WallTime first = t;
    for (int i = 0; i < 24 * 60; ++i) {
        const atlas::WallTime before = shifted(first, -1);
        if (atlas::offsetAt(zoneId, before).kind != atlas::WallTimeKind::Skipped) break;
        first = before;
    }
    const long jump = (a.laterOffsetSeconds - a.earlierOffsetSeconds) / 60;
    return dayText(first) + "在" + zoneId + "，时钟走到" + clockText(first) + "即拨到" +
           clockText(shifted(first, jump)) + "（" + atlas::offsetText(a.earlierOffsetSeconds) + "改为" +
           atlas::offsetText(a.laterOffsetSeconds) + "），" + dayText(t) + clockText(t) +
           "这一时刻不存在。请核对时间。";
}

void tellSkipped(UiServices& ui, const std::string& zoneId, const atlas::WallTime& t,
                 const atlas::ZoneAnswer& a) {
    ui.messageBox(skippedText(zoneId, t, a), "时间不存在", MsgIcon::Warning, MsgButtons::Ok);
}

int askRepeated(UiServices& ui, const std::string& zoneId, const atlas::WallTime& t,
                const atlas::ZoneAnswer& a) {
    const std::string from = atlas::offsetText(a.earlierOffsetSeconds);
    const std::string to = atlas::offsetText(a.laterOffsetSeconds);
    const std::string text = dayText(t) + clockText(t) + "在" + zoneId + "出现两次：先是" + from +
                             "，时钟回拨后又是" + to + "。按哪个时钟排盘？";
    return ui.chooseAnswer(text, "夏令时", MsgIcon::Information, {from, to});
}

}  // namespace clockq
