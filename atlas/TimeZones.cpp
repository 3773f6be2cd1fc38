#include "atlas/TimeZones.h"

#include <glib.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace atlas {
namespace {

struct ZoneDeleter {
    void operator()(GTimeZone* z) const { g_time_zone_unref(z); }
};
using Zone = std::unique_ptr<GTimeZone, ZoneDeleter>;

Zone openZone(const std::string& id) {
    // An empty or relative-looking identifier would name the local zone or a file outside
    // the database; only plain identifiers are looked up.
    if (id.empty() || id[0] == '/' || id.find("..") != std::string::npos) return nullptr;
    return Zone(g_time_zone_new_identifier(id.c_str()));
}

// Days from 1970-01-01 of a proleptic Gregorian date (the civil-from-days inverse).
long long daysFromCivil(long long y, long long m, long long d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct Interval {
    int offset = 0;
    bool dst = false;
};

Interval intervalAt(GTimeZone* z, long long utcSeconds) {
    const int i = g_time_zone_find_interval(z, G_TIME_TYPE_UNIVERSAL, static_cast<gint64>(utcSeconds));
    return {static_cast<int>(g_time_zone_get_offset(z, i)), g_time_zone_is_dst(z, i) != FALSE};
}

}  // namespace

bool zoneExists(const std::string& zoneId) { return openZone(zoneId) != nullptr; }

ZoneAnswer offsetAt(const std::string& zoneId, const WallTime& t) {
    ZoneAnswer a;
    const Zone z = openZone(zoneId);
    if (!z) return a;
    const long long wall = daysFromCivil(t.year, t.month, t.day) * 86400LL + t.hour * 3600LL + t.minute * 60LL;
    // The offsets in force two days either side; a wall time is valid under an offset when the
    // instant it names has that offset.
    const Interval before = intervalAt(z.get(), wall - 2 * 86400LL);
    const Interval after = intervalAt(z.get(), wall + 2 * 86400LL);
    auto valid = [&](const Interval& c) { return intervalAt(z.get(), wall - c.offset).offset == c.offset; };
    if (before.offset == after.offset) {
        const Interval here = intervalAt(z.get(), wall - before.offset);
        a.kind = WallTimeKind::Unique;
        a.offsetSeconds = here.offset;
        a.summerTime = here.dst;
        return a;
    }
    const bool vb = valid(before), va = valid(after);
    a.earlierOffsetSeconds = before.offset;
    a.laterOffsetSeconds = after.offset;
    if (vb && va) {
        a.kind = WallTimeKind::Repeated;
    } else if (vb || va) {
        const Interval& c = vb ? before : after;
        a.kind = WallTimeKind::Unique;
        a.offsetSeconds = c.offset;
        a.summerTime = intervalAt(z.get(), wall - c.offset).dst;
    } else {
        a.kind = WallTimeKind::Skipped;
    }
    return a;
}

std::string offsetText(int s) {
    const char sign = s < 0 ? '-' : '+';
    const int a = std::abs(s);
    char buf[32];
    if (a % 60 != 0)
        std::snprintf(buf, sizeof buf, "UTC%c%02d:%02d:%02d", sign, a / 3600, a / 60 % 60, a % 60);
    else
        std::snprintf(buf, sizeof buf, "UTC%c%02d:%02d", sign, a / 3600, a / 60 % 60);
    return buf;
}

bool parseOffsetText(const std::string& text, int& out) {
    if (text.size() < 2 || (text[0] != '+' && text[0] != '-')) return false;
    const std::size_t colon = text.find(':');
    const std::string h = text.substr(1, colon == std::string::npos ? std::string::npos : colon - 1);
    const std::string m = colon == std::string::npos ? "0" : text.substr(colon + 1);
    auto digits = [](const std::string& s) {
        if (s.empty() || s.size() > 2) return false;
        for (char c : s)
            if (c < '0' || c > '9') return false;
        return true;
    };
    if (!digits(h) || !digits(m)) return false;
    const int hours = std::atoi(h.c_str()), minutes = std::atoi(m.c_str());
    if (hours > 14 || minutes > 59) return false;
    out = (text[0] == '-' ? -1 : 1) * (hours * 3600 + minutes * 60);
    return true;
}

std::string wallTimeProblemText(const std::string& zoneId, const WallTime& t, const ZoneAnswer& a) {
    char when[96];
    std::snprintf(when, sizeof when, "%d年%d月%d日%d时%d分", t.year, t.month, t.day, t.hour, t.minute);
    const std::string from = offsetText(a.earlierOffsetSeconds), to = offsetText(a.laterOffsetSeconds);
    switch (a.kind) {
    case WallTimeKind::Skipped:
        return std::string(when) + "在" + zoneId + "不存在：时钟从" + from + "拨到" + to +
               "，跳过了这段时间。请核对出生时间，或直接给出时区（" + from + " 或 " + to + "）。";
    case WallTimeKind::Repeated:
        return std::string(when) + "在" + zoneId + "出现两次：先是" + from + "，时钟回拨后又是" + to +
               "。请直接给出时区（" + from + " 或 " + to + "）。";
    case WallTimeKind::UnknownZone:
        return "时区数据库中没有时区“" + zoneId + "”";
    case WallTimeKind::Unique:
        break;
    }
    return std::string();
}

}  // namespace atlas
