#include "chart/PlaceText.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <tuple>
#include <utility>

#include "platform/core/Gbk.h"
#include "platform/core/Numbers.h"

const char* const kCoordinateFormatExample =
    "例如:东经117度48分,北纬25度42分,就按以下格式输入:\n"
    " 经度=117:48  纬度=25:42\n"
    "注意:东经为正，西经为负。北纬为正，南纬为负。";

namespace {
std::pair<std::string, std::string> splitAt(const std::string& s, char c) {
    const std::size_t p = s.find(c);
    if (p == std::string::npos) return {s, std::string()};
    return {s.substr(0, p), s.substr(p + 1)};
}

// Degrees and minutes with the sign of the degrees text, as a 32-bit float.
float signedDegrees(const std::string& degreesText, int degrees, int minutes) {
    const bool negative = degreesText.find('-') != std::string::npos;
    return static_cast<float>(negative ? degrees - minutes / 60.0 : degrees + minutes / 60.0);
}
}  // namespace

PlaceValueParts splitPlaceValue(const std::string& value) {
    const auto [lon, lat] = splitAt(value, '*');
    PlaceValueParts p;
    std::tie(p.longitudeDegrees, p.longitudeMinutes) = splitAt(lon, ':');
    std::tie(p.latitudeDegrees, p.latitudeMinutes) = splitAt(lat, ':');
    return p;
}

std::string formatPlaceValue(int lonDegrees, int lonMinutes, int latDegrees, int latMinutes) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d:%d*%d:%d", lonDegrees, lonMinutes, latDegrees, latMinutes);
    return buf;
}

bool parsePlaceValue(const std::string& value, float& longitude, float& latitude) {
    const PlaceValueParts p = splitPlaceValue(value);
    constexpr int bad = std::numeric_limits<int>::min();
    const int lonD = wholeNumber(p.longitudeDegrees, bad), lonM = wholeNumber(p.longitudeMinutes, bad);
    const int latD = wholeNumber(p.latitudeDegrees, bad), latM = wholeNumber(p.latitudeMinutes, bad);
    if (lonD == bad || lonM == bad || latD == bad || latM == bad) return false;
    longitude = signedDegrees(p.longitudeDegrees, lonD, lonM);
    latitude = signedDegrees(p.latitudeDegrees, latD, latM);
    return true;
}

std::string degreesText(float value) {
    const double v = value;
    if (!std::isfinite(v)) return "0:00";
    const double a = std::fabs(v);
    // Degrees toward zero, kept in a double: a damaged place table may hold any number.
    double d = std::floor(a);
    // Nearest minute, a tie going down.
    int m = static_cast<int>(std::ceil((a - d) * 60.0 - 0.5));
    if (m >= 60) {
        d += 1;
        m -= 60;
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s%.0f:%02d", (v < 0 && (d != 0 || m != 0)) ? "-" : "", d, m);
    return buf;
}

CoordinateCheck checkCoordinates(const std::string& jing, const std::string& wei) {
    CoordinateCheck r;
    auto fail = [&r](const char* message, const char* caption) {
        r.message = message;
        r.caption = caption;
        return r;
    };
    if (gbk::byteLength(jing) < 3 || gbk::byteLength(wei) < 3)
        return fail(kCoordinateFormatExample, "格式错误");
    const std::size_t cj = jing.find(':');
    const std::size_t cw = wei.find(':');
    if (cj == std::string::npos || cj + 1 == jing.size() || cw == std::string::npos ||
        cw + 1 == wei.size())
        return fail(kCoordinateFormatExample, "格式错误");
    const std::string lonDegText = jing.substr(0, cj), latDegText = wei.substr(0, cw);
    const int lonDeg = wholeNumber(lonDegText, 1000000);
    if (lonDeg < -180 || lonDeg > 180) return fail("经度在-180至180之间", "经度错误");
    const int lonMin = wholeNumber(jing.substr(cj + 1), 1000000);
    if (lonMin < 0 || lonMin > 59) return fail("分数在0-59", "格式错误");
    const float longitude =
        static_cast<float>(lonDeg >= 0 ? lonDeg + lonMin / 60.0 : lonDeg - lonMin / 60.0);
    const int latDeg = wholeNumber(latDegText, 1000000);
    if (latDeg < -90 || latDeg > 90) return fail("纬度在-90至90之间", "纬度错误");
    const int latMin = wholeNumber(wei.substr(cw + 1), 1000000);
    if (latMin < 0 || latMin > 59) return fail("分数在0-59", "格式错误");
    const float latitude =
        static_cast<float>(latDeg >= 0 ? latDeg + latMin / 60.0 : latDeg - latMin / 60.0);
    if (!(longitude > -180 && longitude < 180 && latitude > -90 && latitude < 90))
        return fail("经度在-180至180之间，纬度在-90至90之间", "数据无效");
    r.ok = true;
    r.longitude = longitude;
    r.latitude = latitude;
    return r;
}
