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
    // Unique: the moment is before the zone's first standard offset, and the offset is the
    // local mean time of the longitude given (longitude / 15 hours), not the zone's city's.
    bool localMeanTime = false;
};

// What the clock of a place read at an instant: the one conversion from UT to a place's clock
// (offsetAt below is the way back, with the skipped and repeated hours).
struct ClockReading {
    bool known = false;  // false: the database has no zone of that identifier
    int offsetSeconds = 0;
    bool summerTime = false;
    bool localMeanTime = false;
};

// True when the database has a zone of this identifier ("Asia/Shanghai"). Only the names of
// the database's zones are identifiers; POSIX rule strings ("UTC+09:00", "EST5EDT,M3.2.0")
// are not taken (they count the hours west).
bool zoneExists(const std::string& zoneId);
// The offset of zone `zoneId` at wall time `t`. With a longitude (degrees east), a moment
// before the zone's first standard offset takes the local mean time of that longitude.
ZoneAnswer offsetAt(const std::string& zoneId, const WallTime& t);
ZoneAnswer offsetAt(const std::string& zoneId, const WallTime& t, double longitude);
// The clock of zone `zoneId` at a UT instant (seconds from 1970-01-01 00:00 UT), local mean
// time of `longitude` before the zone's first standard offset.
ClockReading clockAt(const std::string& zoneId, long long utcSeconds, double longitude);
// Local mean time of a longitude: seconds east of UTC, longitude / 15 hours, rounded.
int localMeanTimeOffset(double longitude);
// "UTC+09:00", "UTC-03:30", "UTC+08:05:43" (seconds only when there are any).
std::string offsetText(int offsetSeconds);
// An offset east of UTC, as the program writes it and as people type it: "+09:00", "-3:30",
// "UTC+09:00", "UTC+9", "GMT+8", "+0530" (the sign always counts east: UTC+9 is Tokyo). Read
// as seconds; false on anything else and beyond +-14:00.
bool parseOffsetText(const std::string& text, int& offsetSeconds);
// A zone as typed: an offset (above) or a zone identifier of the database. Sets one of the
// two (`zoneId` empty for an offset); false with a message for anything else.
bool readZoneText(const std::string& text, int& offsetSeconds, std::string& zoneId,
                  std::string& message);
// The message for a moment the zone's clock skipped or showed twice, naming both offsets, e.g.
// "1986年5月4日2时0分在Asia/Shanghai不存在：时钟从UTC+08:00拨到UTC+09:00，跳过了这一小时。".
std::string wallTimeProblemText(const std::string& zoneId, const WallTime& t, const ZoneAnswer& a);

}  // namespace atlas
