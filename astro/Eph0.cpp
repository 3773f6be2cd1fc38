#include "astro/Eph0.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "astro/AstroConstants.h"
#include "astro/tables/PlanetSeriesTable.h"
#include "astro/tables/PlutoSeriesTable.h"

using AstroConstants::pi;

// Outside the range of a 32-bit integer the conversion would be undefined: such values (and
// NaN) saturate instead (NaN gives 0). No date or angle of the program comes near.
int32_t floorInt(double x) {
    const double f = std::floor(x);
    if (f >= 2147483647.0) return INT32_MAX;
    if (f <= -2147483648.0) return INT32_MIN;
    if (f != f) return 0;
    return static_cast<int32_t>(f);
}

// a - k * 2pi with k = a / 2pi truncated toward zero, then one turn added to a negative rest.
// A rest above -4.4e-16 would become exactly 2pi after the addition (and 360 degrees for a
// longitude); the nearest value inside [0, 2pi) is 0, which is returned instead.
double normRad(double a) {
    const double k = std::trunc(a / (2.0 * pi));
    double v = a - k * 2.0 * pi;
    if (v < 0) {
        v += 2.0 * pi;
        if (v >= 2.0 * pi) v = 0;
    }
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

// ---------------------------------------------------------------------------------------------
// Reference frames. Angles in radians; distances keep the unit of the input.

using AstroConstants::rad;

RectangularPosition sphericalToRectangular(const SphericalPosition& p) {
    const double cb = std::cos(p.latitude);
    return {p.distance * cb * std::cos(p.longitude), p.distance * cb * std::sin(p.longitude),
            p.distance * std::sin(p.latitude)};
}

SphericalPosition rectangularToSpherical(const RectangularPosition& r) {
    SphericalPosition p;
    p.distance = std::sqrt(r.x * r.x + r.y * r.y + r.z * r.z);
    // The origin has no direction; report (0, 0, 0) rather than NaN.
    p.latitude = p.distance > 0 ? std::asin(r.z / p.distance) : 0.0;
    p.longitude = normRad(std::atan2(r.y, r.x));
    return p;
}

SphericalPosition rotateAboutXAxis(const SphericalPosition& p, double E) {
    const double sE = std::sin(E), cE = std::cos(E);
    const double sL = std::sin(p.longitude), cL = std::cos(p.longitude);
    SphericalPosition q;
    q.longitude = normRad(std::atan2(sL * cE - std::tan(p.latitude) * sE, cL));
    q.latitude = std::asin(cE * std::sin(p.latitude) + sE * std::cos(p.latitude) * sL);
    q.distance = p.distance;
    return q;
}

SphericalPosition relativePosition(const SphericalPosition& target, const SphericalPosition& origin) {
    const RectangularPosition a = sphericalToRectangular(target);
    const RectangularPosition b = sphericalToRectangular(origin);
    return rectangularToSpherical({a.x - b.x, a.y - b.y, a.z - b.z});
}

// Mean obliquity of the ecliptic (P03), T in Julian centuries of TT from J2000.
double meanObliquity(double T) {
    const double T2 = T * T, T3 = T2 * T, T4 = T3 * T, T5 = T4 * T;
    return (84381.406 - 46.836769 * T - 0.0001831 * T2 + 0.0020034 * T3 - 5.76e-7 * T4 -
            4.34e-8 * T5) /
           rad;
}

namespace {
// Ten leading nutation terms: argument B0 + B1 T + B2 T^2 (rad), amplitudes in 0.01".
struct NutationRow {
    double b0, b1, b2, apsi, aeps;
};
constexpr std::array<NutationRow, 10> kNutation = {{
    {2.1824, -33.75705, 0.000036, -1720, 920},
    {3.5069, 1256.66393, 0.000011, -132, 57},
    {1.3375, 16799.4182, -0.000051, -23, 10},
    {4.3649, -67.5141, 0.000072, 21, -9},
    {0.04, -628.302, 0, -14, 0},
    {2.36, 8328.691, 0, 7, 0},
    {3.46, 1884.966, 0, -5, 2},
    {5.44, 16833.175, 0, -4, 2},
    {3.69, 25128.11, 0, -3, 0},
    {3.55, 628.362, 0, 2, 0},
}};
}  // namespace

// Nutation in longitude and obliquity (radians) at T (Julian centuries of TT from J2000):
// the ten leading terms of the 1980 series, within 0.1" of the full IAU 2000 series 1600-2200.
Nutation nutation(double T) {
    const double T2 = T * T;
    double dpsi = 0, deps = 0;
    for (size_t i = 0; i < kNutation.size(); ++i) {
        const NutationRow& r = kNutation[i];
        const double B = r.b0 + r.b1 * T + r.b2 * T2;
        const double c = i == 0 ? -1.742 * T : 0.0;
        dpsi += (r.apsi + c) * std::sin(B);
        deps += r.aeps * std::cos(B);
    }
    return {dpsi * 0.01 / rad, deps * 0.01 / rad};
}

double nutationInLongitude(double T) {
    const double T2 = T * T;
    double dpsi = 0;
    for (size_t i = 0; i < kNutation.size(); ++i) {
        const NutationRow& r = kNutation[i];
        const double c = i == 0 ? -1.742 * T : 0.0;
        dpsi += (r.apsi + c) * std::sin(r.b0 + r.b1 * T + r.b2 * T2);
    }
    return dpsi * 0.01 / rad;
}

// ---------------------------------------------------------------------------------------------
// Precession angles of three models; polynomial coefficients in arcseconds, T in centuries.

namespace {
// Twelve names in three-character cells; a name's row is its cell number.
constexpr char kPrecessionNames[] = "fi w  P  Q  E  x  pi II p  th Z  z ";

using PrecessionRows = std::array<std::array<double, 6>, 12>;
constexpr PrecessionRows kIau1976 = {{
    {0, 5038.7784, -1.07259, -0.001147, 0, 0},
    {84381.448, 0, 0.05127, -0.007726, 0, 0},
    {0, 4.1976, 0.19447, -0.000179, 0, 0},
    {0, -46.815, 0.05059, 0.000344, 0, 0},
    {84381.448, -46.815, -0.00059, 0.001813, 0, 0},
    {0, 10.5526, -2.38064, -0.001125, 0, 0},
    {0, 47.0028, -0.03301, 0.000057, 0, 0},
    {629554.886, -869.8192, 0.03666, -0.001504, 0, 0},
    {0, 5029.0966, 1.11113, 0.000006, 0, 0},
    {0, 2004.3109, -0.42665, -0.041833, 0, 0},
    {0, 2306.2181, 0.30188, 0.017998, 0, 0},
    {0, 2306.2181, 1.09468, 0.018203, 0, 0},
}};
constexpr PrecessionRows kIau2000 = {{
    {0, 5038.47875, -1.07259, -0.001147, 0, 0},
    {84381.448, -0.02524, 0.05127, -0.007726, 0, 0},
    {0, 4.1976, 0.19447, -0.000179, 0, 0},
    {0, -46.815, 0.05059, 0.000344, 0, 0},
    {84381.448, -46.84024, -0.00059, 0.001813, 0, 0},
    {0, 10.5526, -2.38064, -0.001125, 0, 0},
    {0, 47.0028, -0.03301, 0.000057, 0, 0},
    {629554.886, -869.8192, 0.03666, -0.001504, 0, 0},
    {0, 5028.79695, 1.11113, 0.000006, 0, 0},
    {0, 2004.1917476, -0.4269353, -0.0418251, -0.0000601, -1e-7},
    {2.5976176, 2306.0809506, 0.3019015, 0.0179663, -0.0000327, -2e-7},
    {-2.5976176, 2306.0803226, 1.094779, 0.0182273, 0.000047, -3e-7},
}};
constexpr PrecessionRows kP03 = {{
    {0, 5038.481507, -1.0790069, -0.00114045, 0.000132851, -9.51e-8},
    {84381.406, -0.025754, 0.0512623, -0.00772503, -4.67e-7, 3.337e-7},
    {0, 4.199094, 0.1939873, -0.00022466, -9.12e-7, 1.2e-8},
    {0, -46.811015, 0.0510283, 0.00052413, -6.46e-7, -1.72e-8},
    {84381.406, -46.836769, -0.0001831, 0.0020034, -5.76e-7, -4.34e-8},
    {0, 10.556403, -2.3814292, -0.00121197, 0.000170663, -5.6e-8},
    {0, 46.998973, -0.0334926, -0.00012559, 1.13e-7, -2.2e-9},
    {629546.7936, -867.95758, 0.157992, -0.0005371, -0.00004797, 7.2e-8},
    {0, 5028.796195, 1.1054348, 0.00007964, -0.000023857, 3.83e-8},
    {0, 2004.191903, -0.4294934, -0.04182264, -7.089e-6, -1.274e-7},
    {2.650545, 2306.083227, 0.2988499, 0.01801828, -5.971e-6, -3.173e-7},
    {-2.650545, 2306.077181, 1.0927348, 0.01826837, -0.000028596, -2.904e-7},
}};

bool equalsIgnoringCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        const char ca = (*a >= 'A' && *a <= 'Z') ? static_cast<char>(*a - 'A' + 'a') : *a;
        const char cb = (*b >= 'A' && *b <= 'Z') ? static_cast<char>(*b - 'A' + 'a') : *b;
        if (ca != cb) return false;
        if (ca == '\0') return true;
    }
}

// Row of a parameter name: the first cell where the name is followed by one blank (a
// case-sensitive search over the name list); an unknown name gives row 0.
int precessionRow(const char* name) {
    const size_t n = std::strlen(name);
    constexpr size_t listLen = sizeof(kPrecessionNames) - 1;
    if (n == 0 || n + 1 > listLen) return 0;
    for (size_t pos = 0; pos + n + 1 <= listLen; ++pos) {
        if (std::memcmp(kPrecessionNames + pos, name, n) == 0 && kPrecessionNames[pos + n] == ' ')
            return static_cast<int>(pos / 3);  // 1-based position p: (p - 1) / 3
    }
    return 0;
}
}  // namespace

double precessionAngle(double T, const char* name, const char* model) {
    if (name == nullptr || model == nullptr) return 0;
    const PrecessionRows* rows = nullptr;
    int n = 0;
    if (equalsIgnoringCase(model, "IAU1976'")) {
        rows = &kIau1976;
        n = 4;
    } else if (equalsIgnoringCase(model, "IAU2000")) {
        rows = &kIau2000;
        n = 6;
    } else if (equalsIgnoringCase(model, "P03")) {
        rows = &kP03;
        n = 6;
    }
    if (rows == nullptr) return 0;
    const auto& c = (*rows)[static_cast<size_t>(precessionRow(name))];
    double v = 0, tn = 1;
    for (int i = 0; i < n; ++i, tn *= T) v += c[static_cast<size_t>(i)] * tn;
    return v / rad;
}

// J2000 ecliptic -> ecliptic and equinox of date: add the lunisolar precession, tilt to the
// mean equator of J2000 (omega_A), remove the planetary precession, tilt back by the obliquity
// of date.
SphericalPosition precessEclipticToDate(double T, const SphericalPosition& p, const char* model) {
    SphericalPosition q = p;
    q.longitude += precessionAngle(T, "fi", model);
    q = rotateAboutXAxis(q, precessionAngle(T, "w", model));
    q.longitude -= precessionAngle(T, "x", model);
    return rotateAboutXAxis(q, -precessionAngle(T, "E", model));
}

// ---------------------------------------------------------------------------------------------
// Planetary series (VSOP87D, ecliptic and equinox of date) and the Pluto series.

// Coordinate c (0 L, 1 B in radians; 2 R in AU) of body 0..7 at T (Julian centuries of TT from
// J2000), heliocentric, mean ecliptic and equinox of date. n terms of the tau^0 sub-series are
// kept (n < 0: all); every higher power keeps the same fraction of its own terms, rounded,
// plus one. The fitted corrections after the series bring the frame and mean longitudes in
// line with the numerical ephemeris (Earth: a polynomial in tau; planets: -3" tau and a fixed
// offset per coordinate). Out-of-range body or coordinate gives 0.
double libraryTermSum(const double* a, int lo, int hi, double tau) {
    double sum = 0;
    for (int j = lo; j < hi; j += 3) sum += a[j] * std::cos(a[j + 1] + a[j + 2] * tau);
    return sum;
}

double seriesValue(int body, int c, double T, int n) { return seriesValueWith(body, c, T, n, libraryTermSum); }

double seriesValueWith(int body, int c, double T, int n, TermSum termSum) {
    if (body < 0 || body >= PlanetSeriesTable::kBodies || c < 0 || c > 2) return 0;
    const auto& block = PlanetSeriesTable::blocks[static_cast<size_t>(body)];
    const auto& start = PlanetSeriesTable::starts[static_cast<size_t>(body)];
    const double tau = T / 10;  // Julian millennia
    double v = 0, tn = 1;
    const int first = 6 * c;
    const int N0 = start[static_cast<size_t>(first + 1)] - start[static_cast<size_t>(first)];
    for (int i = 0; i < 6; ++i, tn *= tau) {
        const int lo = start[static_cast<size_t>(first + i)];
        const int hi = start[static_cast<size_t>(first + i + 1)];
        if (hi <= lo) continue;
        int end = hi;
        if (n >= 0) {
            // Keep the same fraction of this power's terms as of tau^0, one more above tau^0.
            double e = N0 > 0 ? std::floor(3.0 * n * (hi - lo) / N0 + 0.5) : 0.0;
            if (i > 0) e += 3;
            if (e < hi - lo) end = lo + static_cast<int>(e);
        }
        v += termSum(block.data(), lo, end, tau) * tn;
    }
    v /= block[0];
    return withSeriesCorrections(body, c, tau, v);
}

double withSeriesCorrections(int body, int c, double tau, double v) {
    if (body < 0 || body >= PlanetSeriesTable::kBodies) return v;
    const double t2 = tau * tau, t3 = t2 * tau;
    if (body == 0) {
        if (c == 0) v += (-0.0728 - 2.7702 * tau - 1.1019 * t2 - 0.0996 * t3) / rad;
        if (c == 1) v += (0.0004 * tau + 0.0004 * t2 - 0.0026 * t3) / rad;
        if (c == 2) v += (-0.002 + 0.0044 * tau + 0.0213 * t2 - 0.025 * t3) * 1e-6;
    } else {
        const auto& corr = PlanetCorrections::rows[static_cast<size_t>(body)];
        if (c == 0) {
            v += -3 * tau / rad;
            v += corr.L / rad;
        }
        if (c == 1) v += corr.B / rad;
        if (c == 2) v += corr.R * 1e-6;
    }
    return v;
}

namespace {
double librarySlotSum(int s, double T) {
    const auto& slot = PlutoSeriesTable::series[static_cast<size_t>(s)];
    double sum = 0;
    for (size_t j = 0; j + 2 < slot.size(); j += 3) {
        if (slot[j] == PlutoSeriesTable::kTerminator) break;
        sum += static_cast<double>(slot[j]) *
               std::sin(static_cast<double>(slot[j + 1]) * T * 1e-8 +
                        static_cast<double>(slot[j + 2]) * (pi / 180) * 1e-5);
    }
    return sum;
}
}  // namespace

// Heliocentric rectangular position of Pluto (AU) on the J2000 ecliptic, T in centuries.
RectangularPosition plutoPosition(double T) { return plutoPositionWith(T, librarySlotSum); }

RectangularPosition plutoPositionWith(double T, PlutoSlotSum slotSum) {
    // u runs from -1 to 1 over the 2185000 days starting at JD 626150.5.
    const double u = (T * 36525 + 1825394.5) * 2 / 2185000 - 1;
    double xyz[3] = {0, 0, 0};
    for (int s = 0; s < PlutoSeriesTable::kSeries; ++s) {
        double sum = slotSum(s, T);
        if (s % 3 == 1) sum *= u;
        if (s % 3 == 2) sum *= u * u;
        xyz[s / 3] += sum * 1e-8;
    }
    xyz[0] += 9.922274 + 0.154154 * u;
    xyz[1] += 10.01609 + 0.064073 * u;
    xyz[2] += -3.947474 - 0.042746 * u;
    return {xyz[0], xyz[1], xyz[2]};
}

SphericalPosition plutoOfDate(double T, const RectangularPosition& j2000) {
    return precessEclipticToDate(T, rectangularToSpherical(j2000), "P03");
}

// Heliocentric L, B (radians) and R (AU) on the ecliptic and equinox of date of body code 0..9
// at T: the planetary series with nL, nB, nR terms for 0..7, Pluto's series precessed from
// J2000 with P03 for 8 (term counts unused), the zero vector for the Sun (9) and other codes.
// The complete series are the costly case and come in repeats (the Earth at the instant for
// each body, a planet at the instant for its light time and again for its motion), so each body
// keeps its last two complete results per thread; a repeat returns the same numbers.
namespace {
struct SeriesMemo {
    double T[2] = {0, 0};
    SphericalPosition value[2];
    bool valid[2] = {false, false};
    int older = 0;  // the slot replaced next
};
SphericalPosition completeSeries(int code, double T) {
    thread_local std::array<SeriesMemo, 8> memo;
    SeriesMemo& m = memo[static_cast<size_t>(code)];
    for (int i = 0; i < 2; ++i)
        if (m.valid[i] && m.T[i] == T) {
            m.older = 1 - i;
            return m.value[i];
        }
    const int slot = m.older;
    m.value[slot] = {seriesValue(code, 0, T, -1), seriesValue(code, 1, T, -1), seriesValue(code, 2, T, -1)};
    m.T[slot] = T;
    m.valid[slot] = true;
    m.older = 1 - slot;
    return m.value[slot];
}
}  // namespace

SphericalPosition heliocentricPosition(int code, double T, int nL, int nB, int nR) {
    if (code >= 0 && code <= 7 && nL < 0 && nB < 0 && nR < 0) return completeSeries(code, T);
    if (code >= 0 && code <= 7)
        return {seriesValue(code, 0, T, nL), seriesValue(code, 1, T, nB), seriesValue(code, 2, T, nR)};
    if (code == 8) return plutoOfDate(T, plutoPosition(T));
    return {0, 0, 0};
}
