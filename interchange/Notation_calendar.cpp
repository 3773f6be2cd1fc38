// Julian days and calendar arithmetic, the text encodings of imported lines, and the written
// forms of coordinates and offsets.
#include <iconv.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "interchange/Notation.h"
#include "platform/core/Gbk.h"

namespace interchange {

int64_t daysFromCivil(const CivilDate& d) {
    const int64_t y = d.year - (d.month <= 2 ? 1 : 0);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t mp = (d.month + 9) % 12;
    const int64_t doy = (153 * mp + 2) / 5 + d.day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CivilDate civilFromDays(int64_t z) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    return {static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)};
}

void shiftSeconds(CivilDate& d, ClockTime& t, int64_t seconds) {
    int64_t total = daysFromCivil(d) * 86400 + t.hour * 3600 + t.minute * 60 + t.second + seconds;
    int64_t days = total / 86400;
    int64_t rest = total % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    d = civilFromDays(days);
    t = {static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60)};
}

double julianDay(const CivilDate& d, const ClockTime& t) {
    return static_cast<double>(daysFromCivil(d)) + 2440587.5 + (t.hour * 3600 + t.minute * 60 + t.second) / 86400.0;
}

bool fromJulianDay(double jd, CivilDate& d, ClockTime& t) {
    // Years 0..10000 of the proleptic Gregorian calendar (a local date of year 1 or 9999 may
    // lie in the neighbouring year at Greenwich).
    if (!std::isfinite(jd) || jd < 1721059.5 || jd >= 5373850.5) return false;
    const double fromEpoch = (jd - 2440587.5) * 86400.0;
    const int64_t s = static_cast<int64_t>(std::llround(fromEpoch));
    d = {1970, 1, 1};
    t = {};
    shiftSeconds(d, t, s);
    return true;
}

bool lineAsUtf8(std::string_view raw, std::string& utf8) {
    for (char c : raw) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t' && c != '\r') || u == 0x7F) return false;
    }
    // UTF-8: every sequence whole and shortest.
    bool valid = true;
    for (std::size_t i = 0; i < raw.size() && valid;) {
        const auto c = static_cast<unsigned char>(raw[i]);
        std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || (n == 2 && c < 0xC2) || c > 0xF4 || i + n > raw.size()) {
            valid = false;
            break;
        }
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(raw[i + k]) & 0xC0) != 0x80) valid = false;
        if (valid && n == 3) {
            const auto c1 = static_cast<unsigned char>(raw[i + 1]);
            if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0)) valid = false;
        }
        if (valid && n == 4) {
            const auto c1 = static_cast<unsigned char>(raw[i + 1]);
            if ((c == 0xF0 && c1 < 0x90) || (c == 0xF4 && c1 >= 0x90)) valid = false;
        }
        i += n;
    }
    if (valid) {
        utf8.assign(raw);
        return true;
    }
    // GBK: lead and trail bytes in pairs, and every pair a character of the code page.
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const auto c = static_cast<unsigned char>(raw[i]);
        if (c < 0x80) continue;
        if (c == 0x80 || c == 0xFF || !gbk::isLeadByte(c) || i + 1 >= raw.size() ||
            !gbk::isTrailByte(static_cast<unsigned char>(raw[i + 1])))
            return false;
        ++i;
    }
    utf8 = gbk::toUtf8(raw);
    return gbk::fromUtf8(utf8) == raw;
}

std::string fromUtf16File(std::string_view text) {
    const bool little = text.substr(0, 2) == "\xFF\xFE";
    const bool big = text.substr(0, 2) == "\xFE\xFF";
    if (!little && !big) return std::string(text);
    iconv_t cd = ::iconv_open("UTF-8", little ? "UTF-16LE" : "UTF-16BE");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(text);
    std::string in(text.substr(2));
    std::string out(in.size() * 2 + 16, '\0');
    char* src = in.data();
    std::size_t srcLeft = in.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    const std::size_t r = ::iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    ::iconv_close(cd);
    // An odd last byte or a broken surrogate: the whole file is refused line by line as it is.
    if (r == static_cast<std::size_t>(-1)) return std::string(text);
    out.resize(out.size() - dstLeft);
    return out;
}

std::string angleText(double degrees, bool latitude) {
    const char letter = latitude ? (degrees < 0 ? 's' : 'n') : (degrees < 0 ? 'w' : 'e');
    const long total = std::lround(std::fabs(degrees) * 3600.0);
    char buf[40];
    if (total % 60 == 0)
        std::snprintf(buf, sizeof buf, "%ld%c%02ld", total / 3600, letter, total / 60 % 60);
    else
        std::snprintf(buf, sizeof buf, "%ld%c%02ld'%02ld", total / 3600, letter, total / 60 % 60, total % 60);
    return buf;
}

std::string offsetText(int seconds) {
    const int a = seconds < 0 ? -seconds : seconds;
    char buf[24];
    if (a % 60 == 0)
        std::snprintf(buf, sizeof buf, "%c%02d:%02d", seconds < 0 ? '-' : '+', a / 3600, a / 60 % 60);
    else
        std::snprintf(buf, sizeof buf, "%c%02d:%02d:%02d", seconds < 0 ? '-' : '+', a / 3600, a / 60 % 60, a % 60);
    return buf;
}

}  // namespace interchange
