#include "Eph0.h"

#include <array>
#include <cmath>

#include "AstroConstants.h"

using AstroConstants::pi;

int32_t floorInt(double x) { return static_cast<int32_t>(std::floor(x)); }

double normRad(double a) {
    const double k = std::trunc(a / (2.0 * pi));
    double v = a - k * 2.0 * pi;
    if (v < 0) v += 2.0 * pi;
    return v;
}

double normRadSigned(double a) {
    const double k = std::trunc(a / (2.0 * pi));
    double v = a - k * 2.0 * pi;
    if (v <= -pi)
        v += 2.0 * pi;
    else if (v > pi)
        v -= 2.0 * pi;
    return v;
}

double julianDay(int y, int m, double d) {
    const bool gregorian = static_cast<int64_t>(y) * 372 + m * 31 + floorInt(d) >= 588829;
    if (m <= 2) {
        m += 12;
        y -= 1;
    }
    int n = 0;
    if (gregorian) {
        n = y / 100;
        n = 2 - n + n / 4;
    }
    return floorInt(365.25 * (y + 4716)) + floorInt(30.6001 * (m + 1)) + d + n - 1524.5;
}

CivilDateTime civilFromJulianDay(double jd) {
    CivilDateTime r;
    int32_t D = floorInt(jd + 0.5);
    double F = jd + 0.5 - D;
    if (D >= 2299161) {
        const int32_t c = floorInt((D - 1867216.25) / 36524.25);
        D += 1 + c - floorInt(c / 4.0);
    }
    D += 1524;
    int32_t y = floorInt((D - 122.1) / 365.25);
    D -= floorInt(365.25 * y);
    int32_t m = floorInt(D / 30.601);
    D -= floorInt(30.601 * m);
    r.day = D;
    if (m > 13) {
        m -= 13;
        y -= 4715;
    } else {
        m -= 1;
        y -= 4716;
    }
    r.year = y;
    r.month = m;
    F *= 24;
    r.hour = floorInt(F);
    F -= r.hour;
    F *= 60;
    r.minute = floorInt(F);
    F -= r.minute;
    F *= 60;
    r.second = static_cast<int32_t>(std::trunc(F));
    return r;
}

DateTimeFields fieldsFromJulianDay(double jd) {
    CivilDateTime c = civilFromJulianDay(jd);
    if (c.second > 30) c = civilFromJulianDay(jd - c.second / 86400.0 + 1.0 / 1440 + 5.0 / 86400);
    DateTimeFields f;
    f.year = static_cast<int16_t>(c.year);
    f.month = static_cast<int16_t>(c.month);
    f.day = static_cast<int16_t>(c.day);
    f.hour = static_cast<int16_t>(c.hour);
    f.minute = static_cast<int16_t>(c.minute);
    return f;
}

double julianDayOf(const CivilDateTime& c) {
    return julianDay(c.year, c.month,
                     c.day + ((c.second / 60.0 + c.minute) / 60.0 + c.hour) / 24.0);
}

namespace {
// Rows of (start year, a0, a1, a2, a3), then the terminal pair (2015, 69 s).
constexpr std::array<double, 102> kDeltaT = {
    -4000, 108371.7, -13036.8, 392.0,  0.0,     -500, 17201.0, -627.82, 16.17,  -0.3413,
    -150,  12200.6,  -346.41,  5.403,  -0.1593, 150,  9113.8,  -328.13, -1.647, 0.0377,
    500,   5707.5,   -391.41,  0.915,  0.3145,  900,  2203.4,  -283.45, 13.034, -0.1778,
    1300,  490.1,    -57.35,   2.085,  -0.0072, 1600, 120.0,   -9.81,   -1.532, 0.1403,
    1700,  10.2,     -0.91,    0.51,   -0.037,  1800, 13.4,    -0.72,   0.202,  -0.0193,
    1830,  7.8,      -1.81,    0.416,  -0.0247, 1860, 8.3,     -0.13,   -0.406, 0.0292,
    1880,  -5.4,     0.32,     -0.183, 0.0173,  1900, -2.3,    2.06,    0.169,  -0.0135,
    1920,  21.2,     1.69,     -0.304, 0.0167,  1940, 24.2,    1.22,    -0.064, 0.0031,
    1960,  33.2,     0.51,     0.231,  -0.0109, 1980, 51.0,    1.29,    -0.026, 0.0032,
    2000,  63.87,    0.1,      0.0,    0.0,     2005, 64.7,    0.4,     0.0,    0.0,
    2015,  69};

double deltaTExtrapolation(double y) {
    const double t = (y - 1820) / 100;
    return -20 + 31 * t * t;
}
}  // namespace

double deltaTSeconds(double y) {
    const double yEnd = kDeltaT[100];
    const double vEnd = kDeltaT[101];
    if (y >= yEnd) {
        if (y > yEnd + 100) return deltaTExtrapolation(y);
        return deltaTExtrapolation(y) - (deltaTExtrapolation(yEnd) - vEnd) * (yEnd + 100 - y) / 100;
    }
    size_t i = 0;
    while (i + 5 < 100 && y >= kDeltaT[i + 5]) i += 5;
    const double u = (y - kDeltaT[i]) / (kDeltaT[i + 5] - kDeltaT[i]) * 10;
    return kDeltaT[i + 1] + kDeltaT[i + 2] * u + kDeltaT[i + 3] * u * u + kDeltaT[i + 4] * u * u * u;
}

double deltaTDays(double d) { return deltaTSeconds(d / 365.2425 + 2000) / 86400; }
