#include "atlas/ZoneClock.h"

#include <glib.h>

#include <cmath>

namespace atlas {

struct ZoneClock::Zone {
    GTimeZone* tz = nullptr;
};

ZoneClock::ZoneClock(const std::string& zoneId) {
    // Only plain identifiers: an empty one would name the local zone, a path a file elsewhere.
    if (zoneId.empty() || zoneId[0] == '/' || zoneId.find("..") != std::string::npos) return;
    if (GTimeZone* tz = g_time_zone_new_identifier(zoneId.c_str())) zone_ = new Zone{tz};
}

ZoneClock::~ZoneClock() {
    if (zone_) g_time_zone_unref(zone_->tz);
    delete zone_;
}

int ZoneClock::offsetAt(long long utcSeconds) const {
    if (!zone_) return 0;
    const int i = g_time_zone_find_interval(zone_->tz, G_TIME_TYPE_UNIVERSAL, static_cast<gint64>(utcSeconds));
    return static_cast<int>(g_time_zone_get_offset(zone_->tz, i));
}

int ZoneClock::offsetAtJulianDay(double jdUT) const {
    return offsetAt(static_cast<long long>(std::floor((jdUT - 2440587.5) * 86400.0)));
}

}  // namespace atlas
