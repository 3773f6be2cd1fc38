// MAstroCalc: the chart engine's single entry into astronomy.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

#include "astro/DateTypes.h"
#include "astro/Eph0.h"
#include "astro/Precise.h"

class MAstroCalc {
public:
    MAstroCalc() = default;

    // Sets the instant (UTC+8 civil time, minute resolution); jd becomes UT.
    void setTime(const DateTimeFields& utc8);
    // Sets the instant as a UT Julian day, to any fraction of a second (return searches).
    void setJulianDayUT(double jd) { jd_ = jd; }
    // Apparent longitude and latitude in degrees of chart index 0..11.
    void bodyPosition(int index, double& longitude, double& latitude) const;
    // The same for printing with six decimals (tarmin-cli positions): from the quick sums of the
    // series where every value they may differ by prints the same, else from bodyPosition; the
    // printed text is bodyPosition's either way.
    void printedBodyPosition(int index, double& longitude, double& latitude) const;
    // Mean lunar nodes (degrees); flag set: ascending first.
    void lunarNodes(bool flag, double& first, double& second) const;
    // 2 retrograde, 1 direct, 0 not determined.
    int retrogradeState(int index, const DateTimeFields& utc8);
    // Used by the station search: right ascension, declination, distance (AU).
    static SphericalPosition apparentEquatorial(int code, double T, int n, double lt);
    // T (dynamical time, centuries) of the station near T; kind 0 or 1; `passes` of the four
    // refinements. With 3 (the truncated series only, a quarter of the cost) the station lies
    // within 0.35 day of the full one from kRoughFirstYear to kRoughLastYear (Mercury 0.32,
    // Neptune 0.29, the others less); with 0 (the conjunction moved by the mean lead) within 25
    // days. Further out the rough station can be days off.
    static double stationTime(int code, double T, int kind, int passes = 4);
    static constexpr int kRoughFirstYear = 1300;
    static constexpr int kRoughLastYear = 3000;
    // An instant farther than this from every rough station it is compared with gets the same
    // state from the rough lists as from the full ones.
    static constexpr double kRoughMarginDays = 1.5;
    // The full lists of retrograde starts (0) and ends (1) of body code 1..7 for a chart year,
    // UTC+8 JD, as the search finds them: what the station table holds for its years.
    static std::array<std::array<double, 20>, 2> searchedStations(int code, int year);
    // The states of the table's years come from the table (the default); off, they are searched
    // like those of the other years, with the same result.
    void setStationTable(bool on) { stationTable_ = on; }

    double julianDayUT() const { return jd_; }
    // Chiron and the four asteroids (astro/Asteroids.h order) at the instant, in the mode set:
    // apparent longitude and latitude (degrees), the daily motion of the longitude (degrees a
    // day) and from its sign the motion mark (2 retrograde, 1 direct).
    void asteroidPosition(int body, double& longitude, double& latitude) const;
    double asteroidSpeed(int body) const;
    int asteroidMotion(int body) const { return asteroidSpeed(body) < 0 ? 2 : 1; }
    // Precise mode: positions and nodes at the true instant (astro/Precise.h) and the motion
    // from the sign of the daily motion at the instant, for Mercury .. Pluto.
    void setPrecise(bool on) { precise_ = on; }
    bool precise() const { return precise_; }

private:
    // Retrograde starts (list 0) and ends (list 1), UTC+8 JD, of one body for one chart year,
    // computed lazily: entry k of a list depends only on the entries before it.
    static constexpr std::size_t kStations = 20;
    struct StationLists {
        int code = 0;
        int year = 0;
        bool valid = false;
        bool refine = true;  // full stations, or rough ones (crude far before the instant)
        std::array<std::size_t, 2> count{};  // entries computed per list
        std::array<double, 2> nextT{};       // search start of the next entry (TT, centuries)
        std::array<std::array<double, kStations>, 2> jd{};
        // Rough lists: the search start of each entry, and whether it is still the crude one.
        std::array<std::array<double, kStations>, 2> startT{};
        std::array<std::array<bool, kStations>, 2> crude{};
    };
    static double stationEntry(StationLists& s, int list, std::size_t k, double g);
    static constexpr double kCrudeDays = 60;
    // The lists of one body and chart year from a cache (computed lazily).
    static StationLists& listsFor(std::array<StationLists, 2>& slots, std::size_t& newest, int code, int year,
                                  bool refine);
    // The state at g (UTC+8 JD) from the lists; `nearest` (when given) gets the distance in
    // days from g to the closest entry the decision compared g with.
    static int stateAt(StationLists& s, double g, double* nearest);

    // The Earth of the last instant the asteroids were asked for, shared by the five.
    const precise::EarthState& earthForAsteroids() const;
    mutable precise::EarthState earth_;
    mutable double earthJd_ = -1;
    mutable bool earthPrecise_ = false;

    CivilDateTime scratch_;
    double jd_ = 2451545.0;
    bool precise_ = false;
    bool stationTable_ = true;
    // A pure cache: two years per body code 1..7 (a natal and a transit chart), the older
    // one replaced.
    std::array<std::array<StationLists, 2>, 8> stations_{};
    std::array<std::size_t, 8> newest_{};
    // The same for the rough lists that decide every instant not close to a station.
    std::array<std::array<StationLists, 2>, 8> roughStations_{};
    std::array<std::size_t, 8> roughNewest_{};
};
