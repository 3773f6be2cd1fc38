// The UTC offset of a place's clock at a local (wall-clock) moment, from the IANA time-zone
// database of the system (/usr/share/zoneinfo) read through GLib's GTimeZone: historical
// offsets, local mean time before a country took standard time, and summer time.
#pragma once
#include <string>

namespace atlas {

// A wall-clock moment of the proleptic Gregorian calendar.
struct WallTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0;
};

enum class WallTimeKind {
    Unique,       // the clock showed this time once
    Skipped,      // the clock jumped over it (summer time began)
    Repeated,     // the clock showed it twice (summer time ended)
    UnknownZone,  // the database has no zone of that identifier
};

struct ZoneAnswer {
    WallTimeKind kind = WallTimeKind::UnknownZone;
    int offsetSeconds = 0;   // Unique: seconds east of UTC
    bool summerTime = false; // Unique: the offset is the zone's summer (daylight) time
    // Skipped and Repeated: the offset before and after the change (Repeated: the first and
    // the second time the clock showed the moment).
    int earlierOffsetSeconds = 0;
    int laterOffsetSeconds = 0;
};

// True when the database has a zone of this identifier ("Asia/Shanghai").
bool zoneExists(const std::string& zoneId);
// The offset of zone `zoneId` at wall time `t`.
ZoneAnswer offsetAt(const std::string& zoneId, const WallTime& t);
// "UTC+09:00", "UTC-03:30", "UTC+08:05:43" (seconds only when there are any).
std::string offsetText(int offsetSeconds);
// "+09:00" or "-3:30" read as seconds east of UTC; false on anything else (hours 0..14,
// minutes 0..59).
bool parseOffsetText(const std::string& text, int& offsetSeconds);
// The message for a moment the zone's clock skipped or showed twice, naming both offsets, e.g.
// "1986年5月4日2时0分在Asia/Shanghai不存在：时钟从UTC+08:00拨到UTC+09:00，跳过了这一小时。".
std::string wallTimeProblemText(const std::string& zoneId, const WallTime& t, const ZoneAnswer& a);

}  // namespace atlas
