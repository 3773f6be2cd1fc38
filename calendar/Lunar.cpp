#include "calendar/Lunar.h"

#include <cmath>

#include "astro/AstroConstants.h"
#include "astro/Eph0.h"

using AstroConstants::pi;
using AstroConstants::rad;

// ---------------------------------------------------------------------------------------------
// Apparent longitudes and rates.

double sunAberration(double T) {
    const double M = -0.043126 + 628.301955 * T - 0.000002732 * T * T;
    const double e = 0.016708634 - 0.000042037 * T - 0.0000001267 * T * T;
    return -20.49552 * (1 + e * std::cos(M)) / rad;
}

double sunApparentLongitude(double T, int n) {
    return seriesValue(0, 0, T, n) + nutationInLongitude(T) + sunAberration(T) + pi;
}

double moonSunElongation(double T, int nMoon, int nEarth) {
    // The Moon's aberration is a constant -3.4e-6 rad; nutation is common to both and cancels.
    return (moonSeriesValue(0, T, nMoon) - 3.4e-6) -
           (seriesValue(0, 0, T, nEarth) + sunAberration(T) + pi);
}

double sunSpeed(double T) {
    const double f = 628.307585 * T;
    return 628.332 + 21 * std::sin(1.527 + f) + 0.44 * std::sin(1.48 + 2 * f) +
           0.129 * T * std::sin(5.82 + f) + 0.00055 * T * T * std::sin(4.21 + f);
}

double moonSpeed(double T) {
    return 8399.71 - 914 * std::sin(0.7848 + 8328.691425 * T + 0.0001523 * T * T) -
           179 * std::sin(2.543 + 15542.7543 * T) - 160 * std::sin(0.1874 + 7214.0629 * T) -
           62 * std::sin(3.14 + 16657.3828 * T) - 34 * std::sin(4.827 + 16866.9323 * T) -
           22 * std::sin(4.9 + 23871.4457 * T) - 12 * std::sin(2.59 + 14914.4523 * T) -
           7 * std::sin(0.23 + 6585.7609 * T) - 5 * std::sin(0.9 + 25195.624 * T) -
           5 * std::sin(2.32 - 7700.3895 * T) - 5 * std::sin(3.88 + 8956.9934 * T) -
           5 * std::sin(0.49 + 7771.3771 * T);
}

// ---------------------------------------------------------------------------------------------
// Inversions: Newton steps on the series with growing numbers of terms.

double sunLongitudeTime(double W) {
    double T = (W - 1.75347 - pi) / 628.3319653318;
    double v = sunSpeed(T);
    T += (W - sunApparentLongitude(T, 10)) / v;
    v = sunSpeed(T);
    T += (W - sunApparentLongitude(T, -1)) / v;
    return T;
}

double elongationTime(double W) {
    double T = (W + 1.08472) / 7771.37714500204;
    T += (W - moonSunElongation(T, 3, 3)) / 7771.37714500204;
    const double v = moonSpeed(T) - sunSpeed(T);
    T += (W - moonSunElongation(T, 20, 10)) / v;
    T += (W - moonSunElongation(T, -1, 60)) / v;
    return T;
}

double sunLongitudeTimeFast(double W) {
    double T = (W - 1.75347 - pi) / 628.3319653318;
    T -= (0.000005297 * T * T + 0.0334166 * std::cos(4.669257 + 628.307585 * T) +
          0.0002061 * T * std::cos(2.67823 + 628.307585 * T)) /
         628.3319653318;
    T +=
        (W - seriesValue(0, 0, T, 8) - pi + (20.5 + 17.2 * std::sin(2.1824 - 33.75705 * T)) / rad) /
        628.3319653318;
    return T;
}

double elongationTimeFast(double W) {
    double T = (W + 1.08472) / 7771.37714500204;
    T -= (-0.00003309 * T * T +
          0.10976 * std::cos(0.784758 + 8328.6914246 * T + 0.000152292 * T * T) +
          0.02224 * std::cos(0.1874 + 7214.0628654 * T - 0.00021848 * T * T) -
          0.03342 * std::cos(4.669257 + 628.307585 * T)) /
         7771.37714500204;
    const double L =
        moonSeriesValue(0, T, 20) - (4.8950632 + 628.3319653318 * T + 0.000005297 * T * T +
                                     0.0334166 * std::cos(4.669257 + 628.307585 * T) +
                                     0.0002061 * T * std::cos(2.67823 + 628.307585 * T) +
                                     0.000349 * std::cos(4.6261 + 1256.61517 * T) - 20.5 / rad);
    const double v = 7771.38 - 914 * std::sin(0.7848 + 8328.691425 * T + 0.0001523 * T * T) -
                     179 * std::sin(2.543 + 15542.7543 * T) -
                     160 * std::sin(0.1874 + 7214.0629 * T);
    T += (W - L) / v;
    return T;
}

namespace {
// Seconds past UTC+8 midnight of an instant given as days from J2000 (noon based).
double secondsOfDay(double d) {
    const double x = d + 0.5;
    return (x - std::floor(x)) * 86400;
}
}  // namespace

double solarTermHigh(double W) {
    double d = sunLongitudeTimeFast(W) * 36525;
    d = d - deltaTDays(d) + 1.0 / 3;
    const double s = secondsOfDay(d);
    if (s < 1200 || s > 86400 - 1200) d = sunLongitudeTime(W) * 36525 - deltaTDays(d) + 1.0 / 3;
    return d;
}

double newMoonHigh(double W) {
    double d = elongationTimeFast(W) * 36525;
    d = d - deltaTDays(d) + 1.0 / 3;
    const double s = secondsOfDay(d);
    if (s < 1800 || s > 86400 - 1800) d = elongationTime(W) * 36525 - deltaTDays(d) + 1.0 / 3;
    return d;
}

double solarTermLow(double W) {
    double T = (W - 4.895062166) / 628.3319653318;
    T -= (53 * T * T + 334116 * std::cos(4.67 + 628.307585 * T) +
          2061 * T * std::cos(2.678 + 628.3076 * T)) /
         628.3319653318 / 1e7;
    const double L = 48950621.66 + 6283319653.318 * T + 53 * T * T +
                     334166 * std::cos(4.669257 + 628.307585 * T) +
                     3489 * std::cos(4.6261 + 1256.61517 * T) +
                     2060.6 * T * std::cos(2.67823 + 628.307585 * T) - 994 -
                     834 * std::sin(2.1824 - 33.75705 * T);
    T -= (L / 1e7 - W) / 628.332 + (32 * (T + 1.8) * (T + 1.8) - 20) / 86400 / 36525;
    return T * 36525 + 1.0 / 3;
}

double newMoonLow(double W) {
    double T = (W + 1.08472) / 7771.37714500204;
    T -= (-0.0000331 * T * T + 0.10976 * std::cos(0.785 + 8328.6914 * T) +
          0.02224 * std::cos(0.187 + 7214.0629 * T) - 0.03342 * std::cos(4.669 + 628.3076 * T)) /
             7771.37714500204 +
         (32 * (T + 1.8) * (T + 1.8) - 20) / 86400 / 36525;
    return T * 36525 + 1.0 / 3;
}

// ---------------------------------------------------------------------------------------------
// Mean elements of the ancient calendars (JD of the epoch, period in days), then the end JD.

const std::array<double, 23> MeanNewMoonTable = {
    1457698.231017, 29.53067166, 1546082.512234, 29.53085106, 1640640.7353,   29.5306,
    1642472.151543, 29.53085439, 1683430.5093,   29.53086148, 1752148.041079, 29.53085097,
    1807665.420323, 29.53059851, 1883618.1141,   29.5306,     1907360.7047,   29.5306,
    1936596.2249,   29.5306,     1939135.6753,   29.5306,     1947168.0};

const std::array<double, 71> MeanTermTable = {
    1640650.479938, 15.218425,    1642476.703182, 15.21874996,  1683430.515601, 15.218750011,
    1752157.640664, 15.218749978, 1807675.003759, 15.218620279, 1883627.765182, 15.218612292,
    1907369.1281,   15.218449176, 1936603.140413, 15.218425,    1939145.52418,  15.218466998,
    1947180.7983,   15.218524844, 1964362.041824, 15.218533526, 1987372.340971, 15.218513908,
    1999653.819126, 15.218530782, 2007445.469786, 15.218535181, 2021324.917146, 15.218526248,
    2047257.232342, 15.218519654, 2070282.898213, 15.218425,    2073204.87285,  15.218515221,
    2080144.500926, 15.218530782, 2086703.688963, 15.218523776, 2110033.182763, 15.218425,
    2111190.300888, 15.218425,    2113731.271005, 15.218515671, 2120670.840263, 15.218425,
    2123973.309063, 15.218425,    2125068.997336, 15.218477932, 2136026.312633, 15.218472436,
    2156099.495538, 15.218425,    2159021.324663, 15.218425,    2162308.575254, 15.218461742,
    2178485.706538, 15.218425,    2178759.662849, 15.218445786, 2185334.0208,   15.218425,
    2187525.481425, 15.218425,    2188621.191481, 15.218437494, 2322147.76};

// ---------------------------------------------------------------------------------------------
// Letter code of the correction strings.

namespace {
struct Run {
    char letter;
    const char* digits;
};

// clang-format off
constexpr std::array<Run, 30> kRuns = {{
    {'J', "00"},         {'I', "000"},        {'H', "0000"},       {'G', "00000"},
    {'t', "02"},         {'s', "002"},        {'r', "0002"},       {'q', "00002"},
    {'p', "000002"},     {'o', "0000002"},    {'n', "00000002"},   {'m', "000000002"},
    {'l', "0000000002"}, {'k', "01"},         {'j', "0101"},       {'i', "001"},
    {'h', "001001"},     {'g', "0001"},       {'f', "00001"},      {'e', "000001"},
    {'d', "0000001"},    {'c', "00000001"},   {'b', "000000001"},  {'a', "0000000001"},
    // A..F: 60, 50, 40, 30, 20 and 10 zeros.
    {'A', "0000000000" "0000000000" "0000000000" "0000000000" "0000000000" "0000000000"},
    {'B', "0000000000" "0000000000" "0000000000" "0000000000" "0000000000"},
    {'C', "0000000000" "0000000000" "0000000000" "0000000000"},
    {'D', "0000000000" "0000000000" "0000000000"},
    {'E', "0000000000" "0000000000"},
    {'F', "0000000000"},
}};
// clang-format on
constexpr size_t kLetterCount = kRuns.size();
}  // namespace

std::string unpackCorrections(std::string_view packed) {
    std::string out;
    out.reserve(packed.size() * 10);
    for (char ch : packed) {
        bool replaced = false;
        for (size_t i = 0; i < kLetterCount; ++i) {
            if (kRuns[i].letter == ch) {
                out += kRuns[i].digits;
                replaced = true;
                break;
            }
        }
        if (!replaced) out += ch;
    }
    return out;
}

std::string packCorrections(std::string_view digits) {
    std::string out;
    size_t pos = 0;
    while (pos < digits.size()) {
        size_t bestLen = 0;
        char best = 0;
        for (size_t i = 0; i < kLetterCount; ++i) {
            const std::string_view run(kRuns[i].digits);
            if (run.size() > bestLen && digits.substr(pos, run.size()) == run) {
                bestLen = run.size();
                best = kRuns[i].letter;
            }
        }
        if (bestLen == 0) {
            out += digits[pos];
            ++pos;
        } else {
            out += best;
            pos += bestLen;
        }
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// The day of an event by era.

namespace {
template <size_t N>
int32_t meanEventDay(const std::array<double, N>& table, double Jp) {
    // Last pair whose epoch is not after Jp.
    size_t i = 0;
    while (i + 3 < N && Jp >= table[i + 2]) i += 2;
    const double epoch = table[i];
    const double period = table[i + 1];
    double D = epoch + period * std::floor((Jp - epoch) / period);
    int32_t day = floorInt(D + 0.5);
    if (day == 1683460) day = 1683461;  // the new moon of -103 stood one day later
    return day - 2451545;
}

char digitAt(const std::string& s, int32_t pos) {
    if (pos < 0 || static_cast<size_t>(pos) >= s.size()) return '0';
    return s[static_cast<size_t>(pos)];
}

int32_t applyDigit(int32_t D, char digit) {
    if (digit == '1') return D + 1;
    if (digit == '2') return D - 1;
    return D;
}
}  // namespace

int32_t eventDay(double d, std::string_view kind, const EventCorrections& corrections) {
    const double J = d + 2451545;
    const bool term = kind == "气";
    const double pc = term ? 7 : 14;
    const double f1 = (term ? MeanTermTable.front() : MeanNewMoonTable.front()) - pc;
    const double f2 = (term ? MeanTermTable.back() : MeanNewMoonTable.back()) - pc;
    const double f3 = kModernEraStart;

    if (J < f1 || J >= f3) {
        if (term) {
            const double W = floorInt((J + pc - 2451259) / 365.2422 * 24) * pi / 12;
            return floorInt(solarTermHigh(W) + 0.5);
        }
        const double W = floorInt((J + pc - 2451551) / 29.5306) * 2 * pi;
        return floorInt(newMoonHigh(W) + 0.5);
    }
    if (J < f2) {
        return term ? meanEventDay(MeanTermTable, J + pc) : meanEventDay(MeanNewMoonTable, J + pc);
    }
    if (term) {
        const double W = floorInt((J + pc - 2451259) / 365.2422 * 24) * pi / 12;
        const int32_t D = floorInt(solarTermLow(W) + 0.5);
        return applyDigit(D, digitAt(corrections.terms, floorInt((J - f2) / 365.2422 * 24)));
    }
    const double W = floorInt((J + pc - 2451551) / 29.5306) * 2 * pi;
    const int32_t D = floorInt(newMoonLow(W) + 0.5);
    return applyDigit(D, digitAt(corrections.newMoons, floorInt((J - f2) / 29.5306)));
}
