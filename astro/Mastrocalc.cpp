// MAstroCalc: apparent positions for the chart, mean nodes and retrograde states found from
// the planetary stations around the chart date.
#include "astro/Mastrocalc.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "astro/AstroConstants.h"
#include "astro/Eph.h"
#include "astro/Precise.h"
#include "astro/QuickSeries.h"
#include "astro/tables/StationTable.h"

using AstroConstants::J2000;
using AstroConstants::lightTimePerAU;
using AstroConstants::pi;
using AstroConstants::synodicDays;

namespace {
// Chart index -> body code for positions, and -> body searched for stations.
constexpr std::array<int, 12> kChartBody = {9, 10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
constexpr std::array<int, 12> kStationBody = {9, 10, 1, 2, 3, 4, 5, 6, 7, 8, 0, 0};
// Days between a station and the conjunction (Mercury, Venus) or opposition it surrounds,
// body codes 1..8 (index 0 unused).
constexpr std::array<double, 9> kStationLead = {0, 17.4, 28, 52, 82, 86, 88, 89, 90};
// Step of the four refinement passes, Julian centuries.
constexpr std::array<double, 4> kRefineStep = {5 / 36525.0, 1 / 36525.0, 0.5 / 36525.0, 2e-6};

// The state at g (UTC+8 JD) of body code in chart year `year` from the station table: the kind
// of the last station at or before g; 0 where the table does not decide (other years, or g
// outside the year).
int tableState(int code, int year, double g) {
    using namespace StationTable;
    if (code < 1 || code > kBodies || year < kFirstYear || year > kLastYear) return 0;
    const std::size_t slot = static_cast<std::size_t>((code - 1) * kYears + (year - kFirstYear));
    const double* p = stations + begin[slot];
    const double* const end = stations + begin[slot + 1];
    if (p == end || g < std::fabs(*p) || g >= julianDay(year + 1, 1, 1.0)) return 0;
    int state = 0;
    for (; p != end && std::fabs(*p) <= g; ++p) state = *p > 0 ? 2 : 1;
    return state;
}
}  // namespace

void MAstroCalc::setTime(const DateTimeFields& f) {
    jd_ = julianDay(f.year, f.month, f.day + (f.hour + f.minute / 60.0) / 24) - 1.0 / 3;
}

void MAstroCalc::bodyPosition(int index, double& longitude, double& latitude) const {
    if (index < 0 || index >= static_cast<int>(kChartBody.size())) return;
    const int code = kChartBody[static_cast<std::size_t>(index)];
    if (code < 1 || code > 10) return;
    if (precise_) {
        const precise::Place q = precise::apparentPlace(code, jd_);
        longitude = q.longitude;
        latitude = q.latitude;
        return;
    }
    const EclipticDegrees p = apparentPosition(code, jd_ - J2000);
    longitude = p.longitude;
    latitude = p.latitude;
}

void MAstroCalc::printedBodyPosition(int index, double& longitude, double& latitude) const {
    if (index < 0 || index >= static_cast<int>(kChartBody.size())) return;
    const int code = kChartBody[static_cast<std::size_t>(index)];
    // The planets, Pluto and the Sun, and the Moon of the precise mode (its default series is
    // quick already).
    if (code >= Mercury && (code <= Sun || (precise_ && code == Moon)) && quick::covers(jd_)) {
        double lon = 0, lat = 0;
        if (precise_) {
            static const precise::SeriesSources kQuick{quick::completeSeries, quick::fullerSeries, quick::moonTermSum};
            const precise::Place q = precise::apparentPlaceFrom(code, jd_, kQuick);
            lon = q.longitude;
            lat = q.latitude;
        } else {
            const EclipticDegrees p = apparentPositionFrom(code, jd_ - J2000, quick::completeSeries);
            lon = p.longitude;
            lat = p.latitude;
        }
        if (quick::printsTheSame(lon) && quick::printsTheSame(lat)) {
            longitude = lon;
            latitude = lat;
            return;
        }
    }
    bodyPosition(index, longitude, latitude);
}

const precise::EarthState& MAstroCalc::earthForAsteroids() const {
    if (earthJd_ != jd_ || earthPrecise_ != precise_) {
        const double T = precise_ ? (precise::terrestrialJulianDay(jd_) - J2000) / 36525 : (jd_ - J2000) / 36525;
        earth_ = precise::earthState(T, precise_);
        earthJd_ = jd_;
        earthPrecise_ = precise_;
    }
    return earth_;
}

void MAstroCalc::asteroidPosition(int body, double& longitude, double& latitude) const {
    const precise::Place q = precise::asteroidPlaceSeenFrom(body, earthForAsteroids());
    longitude = q.longitude;
    latitude = q.latitude;
}

double MAstroCalc::asteroidSpeed(int body) const { return precise::asteroidSpeedSeenFrom(body, earthForAsteroids()); }

void MAstroCalc::lunarNodes(bool flag, double& first, double& second) const {
    if (precise_) {
        const double north = precise::meanAscendingNode(jd_);
        const double south = north < 180 ? north + 180 : north - 180;
        first = flag ? north : south;
        second = flag ? south : north;
        return;
    }
    const NodePair n = meanLunarNodes(jd_, flag);
    first = n.first;
    second = n.second;
}

// Geocentric equatorial position (right ascension, declination, AU) of body code at T - lt
// seen from the Earth at T - lt, n terms of each series (n < 0: all). With lt != 0 nutation is
// applied to the longitude and the obliquity (apparent place); with lt = 0 the mean place.
SphericalPosition MAstroCalc::apparentEquatorial(int code, double T, int n, double lt) {
    double eps = meanObliquity(T);
    const SphericalPosition E = heliocentricPosition(Earth, T - lt, n, n, n);
    const SphericalPosition P = heliocentricPosition(code, T - lt, n, n, n);
    SphericalPosition G = relativePosition(P, E);
    if (lt != 0) {
        const Nutation nut = nutation(T);
        G.longitude += nut.dpsi;
        eps += nut.deps;
    }
    return rotateAboutXAxis(G, eps);
}

// Station of body code 1..8 near T (dynamical time, Julian centuries): kind 0 is the station
// before the inferior conjunction (Mercury, Venus) or after the opposition (outer planets),
// kind 1 the other one. Found as the extremum of the right ascension.
double MAstroCalc::stationTime(int code, double T, int kind, int passes) {
    if (code < 1 || code > 8) return T;
    const std::size_t c = static_cast<std::size_t>(code);
    // Heliocentric conjunction with the Earth from the mean synodic motion.
    double w = 2 * pi / (synodicDays[c] / 36525);
    if (code > 2) w = -w;
    for (int i = 0; i < 6; ++i) T -= normRadSigned(seriesValue(code, 0, T, 8) - seriesValue(0, 0, T, 8)) / w;
    const double lead = kStationLead[c] / 36525;
    if (kind == 0)
        T = code <= 2 ? T - lead : T + lead;
    else
        T = code <= 2 ? T + lead : T - lead;
    double lt = 0;
    for (std::size_t k = 0; k < std::min(kRefineStep.size(), static_cast<std::size_t>(passes)); ++k) {
        const double h = kRefineStep[k];
        const int n = k < 3 ? 8 : -1;
        double a1 = apparentEquatorial(code, T - h, n, lt).longitude;
        const SphericalPosition mid = apparentEquatorial(code, T, n, lt);
        double a3 = apparentEquatorial(code, T + h, n, lt).longitude;
        const double a2 = mid.longitude;
        // Right ascensions come in [0, 2pi): when the three straddle 0h, bring the outer two
        // within half a turn of the middle one, or the parabola runs through the jump and the
        // station moves by hours (Mercury 1703-03-07 by 7 h, 2032-03-06 by 13 h). Elsewhere the
        // values are used as they are.
        a1 += a1 - a2 > pi ? -2 * pi : a2 - a1 > pi ? 2 * pi : 0.0;
        a3 += a3 - a2 > pi ? -2 * pi : a2 - a3 > pi ? 2 * pi : 0.0;
        const double den = a1 + a3 - 2 * a2;
        if (den != 0) T += (a1 - a3) / den * h * 0.5;  // vertex of the parabola
        if (k == 2) lt = mid.distance * lightTimePerAU;
    }
    return T;
}

// Retrograde starts (S) and ends (F) come from 20 station searches each, begun at 1 January
// three years before the chart year and stepping on by the mean synodic period. The lists
// depend only on the body and the year, and entry k only on the entries before it, so they
// are computed as far as the scan below needs them and kept for the last two years of a body;
// the states are the same as with the complete lists computed afresh.
int MAstroCalc::retrogradeState(int index, const DateTimeFields& f) {
    if (index < 0 || index >= static_cast<int>(kStationBody.size())) return 0;
    const int code = kStationBody[static_cast<std::size_t>(index)];
    if (precise_) {
        // The planets from Mercury to Pluto; the Sun, the Moon and the nodes carry no mark.
        if (code < Mercury || code > Pluto) return 0;
        return precise::retrograde(code, jd_) ? 2 : 1;
    }
    if (code == 0 || code >= 8) return 0;
    const std::size_t c = static_cast<std::size_t>(code);
    const double g = julianDay(f.year, f.month, f.day + (f.hour + f.minute / 60.0) / 24);
    // Inside its years the table holds the full lists' stations around each chart year; an
    // instant of that year falls between two of them (fields whose day reaches outside the
    // year are searched).
    if (stationTable_) {
        const int state = tableState(code, f.year, g);
        if (state != 0) return state;
    }
    // Most instants are far from any station: the rough lists settle them. Near one (or outside
    // the years where the rough stations are known to be close) the full lists decide.
    if (f.year >= kRoughFirstYear && f.year <= kRoughLastYear) {
        double nearest = 0;
        const int state = stateAt(listsFor(roughStations_[c], roughNewest_[c], code, f.year, false), g, &nearest);
        if (nearest > kRoughMarginDays) return state;
    }
    return stateAt(listsFor(stations_[c], newest_[c], code, f.year, true), g, nullptr);
}

std::array<std::array<double, 20>, 2> MAstroCalc::searchedStations(int code, int year) {
    std::array<std::array<double, 20>, 2> out{};
    if (code < 1 || code > 7) return out;
    std::array<StationLists, 2> slots{};
    std::size_t newest = 0;
    StationLists& s = listsFor(slots, newest, code, year, true);
    for (int list = 0; list < 2; ++list)
        for (std::size_t k = 0; k < kStations; ++k)
            out[static_cast<std::size_t>(list)][k] = stationEntry(s, list, k, 0);
    return out;
}

MAstroCalc::StationLists& MAstroCalc::listsFor(std::array<StationLists, 2>& slots, std::size_t& newest, int code,
                                               int year, bool refine) {
    std::size_t slot = newest;
    if (!(slots[slot].valid && slots[slot].year == year)) slot = 1 - slot;
    newest = slot;
    StationLists& s = slots[slot];
    if (!s.valid || s.year != year) {
        s = StationLists{};
        s.code = code;
        s.year = year;
        s.valid = true;
        s.refine = refine;
        const double T0 = (julianDay(year - 3, 1, 1.0) - J2000) / 36525;
        s.nextT = {T0, T0};
    }
    return s;
}

int MAstroCalc::stateAt(StationLists& s, double g, double* nearest) {
    double near = 1e300;
    auto seen = [&](double jd) {
        near = std::fmin(near, std::fabs(g - jd));
        return jd;
    };
    int state = 0;
    for (std::size_t k = 0; k + 1 < kStations; ++k) {
        const double start = seen(stationEntry(s, 0, k, g));
        const double end = seen(stationEntry(s, 1, k, g));
        if (start <= g && g < end) {
            state = 2;
            break;
        }
        if (end <= g && g < seen(stationEntry(s, 0, k + 1, g))) {
            state = 1;
            break;
        }
    }
    if (nearest) *nearest = near;
    return state;
}

// Entry k of list 0 (retrograde starts) or 1 (ends), computing the entries up to k. In rough
// lists an entry more than kCrudeDays before g is only the conjunction's time moved by the mean
// lead (within 25 days of the station from 1300 to 3000, enough to know it lies before g and to
// keep the chain on the same conjunctions); nearer g it is the rough station.
double MAstroCalc::stationEntry(StationLists& s, int list, std::size_t k, double g) {
    const std::size_t l = static_cast<std::size_t>(list);
    const int kindStart = s.code < 3 ? 0 : 1;
    const int kind = list == 0 ? kindStart : 1 - kindStart;
    const double period = synodicDays[static_cast<std::size_t>(s.code)] / 36525;
    auto toJd = [](double st) { return st * 36525 + J2000 - deltaTDays(st * 36525) + 1.0 / 3; };
    while (s.count[l] <= k) {
        const std::size_t n = s.count[l]++;
        const double st = stationTime(s.code, s.nextT[l], kind, s.refine ? 4 : 0);
        s.crude[l][n] = !s.refine;
        s.startT[l][n] = s.nextT[l];
        s.nextT[l] = st + period;
        s.jd[l][n] = toJd(st);
    }
    if (s.crude[l][k] && s.jd[l][k] >= g - kCrudeDays) {
        s.jd[l][k] = toJd(stationTime(s.code, s.startT[l][k], kind, 3));
        s.crude[l][k] = false;
    }
    return s.jd[l][k];
}
