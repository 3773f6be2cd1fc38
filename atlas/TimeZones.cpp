#include "atlas/TimeZones.h"

#include <glib.h>

#include <sys/stat.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace atlas {
namespace {

struct ZoneDeleter {
    void operator()(GTimeZone* z) const { g_time_zone_unref(z); }
};
using Zone = std::unique_ptr<GTimeZone, ZoneDeleter>;

// The folder of the compiled zones, as GLib finds it.
std::string zoneFolder() {
    const char* dir = std::getenv("TZDIR");
    return dir && *dir ? dir : "/usr/share/zoneinfo";
}

Zone openZone(const std::string& id) {
    // An empty or relative-looking identifier would name the local zone or a file outside
    // the database; a name that is no file of the database would be read by GLib as a POSIX
    // rule ("UTC+09:00" nine hours west). Only the database's own zones are looked up.
    if (id.empty() || id[0] == '/' || id.find("..") != std::string::npos) return nullptr;
    for (const char c : id)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || std::strchr("/_+-", c))) return nullptr;
    struct stat st {};
    if (::stat((zoneFolder() + "/" + id).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
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
    bool lmt = false;
};

// The interval in force at a UT instant; the database's local mean time (that of the zone's
// city) replaced by the one of `longitude` when that is a number.
Interval intervalAt(GTimeZone* z, long long utcSeconds, double longitude) {
    const int i = g_time_zone_find_interval(z, G_TIME_TYPE_UNIVERSAL, static_cast<gint64>(utcSeconds));
    Interval v{static_cast<int>(g_time_zone_get_offset(z, i)), g_time_zone_is_dst(z, i) != FALSE, false};
    const char* abbreviation = g_time_zone_get_abbreviation(z, i);
    if (abbreviation && std::strcmp(abbreviation, "LMT") == 0 && std::isfinite(longitude)) {
        v.offset = localMeanTimeOffset(longitude);
        v.lmt = true;
    }
    return v;
}

}  // namespace

bool zoneExists(const std::string& zoneId) { return openZone(zoneId) != nullptr; }

int localMeanTimeOffset(double longitude) { return static_cast<int>(std::lround(longitude * 240)); }

ClockReading clockAt(const std::string& zoneId, long long utcSeconds, double longitude) {
    ClockReading c;
    const Zone z = openZone(zoneId);
    if (!z) return c;
    const Interval v = intervalAt(z.get(), utcSeconds, longitude);
    c.known = true;
    c.offsetSeconds = v.offset;
    c.summerTime = v.dst;
    c.localMeanTime = v.lmt;
    return c;
}

ZoneAnswer offsetAt(const std::string& zoneId, const WallTime& t) {
    return offsetAt(zoneId, t, std::nan(""));
}

ZoneAnswer offsetAt(const std::string& zoneId, const WallTime& t, double longitude) {
    ZoneAnswer a;
    const Zone z = openZone(zoneId);
    if (!z) return a;
    const long long wall = daysFromCivil(t.year, t.month, t.day) * 86400LL + t.hour * 3600LL + t.minute * 60LL;
    // The offsets in force two days either side; a wall time is valid under an offset when the
    // instant it names has that offset.
    auto at = [&](long long utc) { return intervalAt(z.get(), utc, longitude); };
    const Interval before = at(wall - 2 * 86400LL);
    const Interval after = at(wall + 2 * 86400LL);
    auto valid = [&](const Interval& c) { return at(wall - c.offset).offset == c.offset; };
    if (before.offset == after.offset) {
        const Interval here = at(wall - before.offset);
        a.kind = WallTimeKind::Unique;
        a.offsetSeconds = here.offset;
        a.summerTime = here.dst;
        a.localMeanTime = here.lmt;
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
        a.summerTime = at(wall - c.offset).dst;
        a.localMeanTime = at(wall - c.offset).lmt;
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

bool parseOffsetText(const std::string& typed, int& out) {
    std::string text = typed;
    // "UTC+9" and "GMT+8" as people write them: the sign counts east, unlike POSIX rules.
    for (const char* prefix : {"UTC", "GMT", "utc", "gmt"})
        if (text.rfind(prefix, 0) == 0 && text.size() > 3) {
            text = text.substr(3);
            break;
        }
    if (text.size() < 2 || (text[0] != '+' && text[0] != '-')) return false;
    std::string h, m = "0";
    const std::size_t colon = text.find(':');
    if (colon != std::string::npos) {
        h = text.substr(1, colon - 1);
        m = text.substr(colon + 1);
    } else if (text.size() == 5) {  // "+0530"
        h = text.substr(1, 2);
        m = text.substr(3);
    } else {
        h = text.substr(1);
    }
    auto digits = [](const std::string& s) {
        if (s.empty() || s.size() > 2) return false;
        for (char c : s)
            if (c < '0' || c > '9') return false;
        return true;
    };
    if (!digits(h) || !digits(m)) return false;
    const int hours = std::atoi(h.c_str()), minutes = std::atoi(m.c_str());
    if (minutes > 59 || hours * 60 + minutes > 14 * 60) return false;
    out = (text[0] == '-' ? -1 : 1) * (hours * 3600 + minutes * 60);
    return true;
}

bool readZoneText(const std::string& text, int& offsetSeconds, std::string& zoneId,
                  std::string& message) {
    zoneId.clear();
    if (parseOffsetText(text, offsetSeconds)) return true;
    if (zoneExists(text)) {
        zoneId = text;
        return true;
    }
    message = "时区“" + text +
              "”无法识别：请给出时区数据库的名称（如 Asia/Shanghai）或UTC偏移（如 UTC+09:00，"
              "东为正，在±14:00之内）";
    return false;
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
