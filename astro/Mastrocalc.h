// MAstroCalc: the chart engine's single entry into astronomy.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

#include "DateTypes.h"
#include "Eph0.h"

class MAstroCalc {
public:
    MAstroCalc() = default;

    // Sets the instant (UTC+8 civil time, minute resolution); jd becomes UT.
    void setTime(const DateTimeFields& utc8);
    // Apparent longitude and latitude in degrees of chart index 0..11.
    void bodyPosition(int index, double& longitude, double& latitude) const;
    // Mean lunar nodes (degrees); flag set: ascending first.
    void lunarNodes(bool flag, double& first, double& second) const;
    // 2 retrograde, 1 direct, 0 not determined.
    int retrogradeState(int index, const DateTimeFields& utc8);
    // Used by the station search: right ascension, declination, distance (AU).
    static SphericalPosition apparentEquatorial(int code, double T, int n, double lt);
    // T (dynamical time, centuries) of the station near T; kind 0 or 1.
    static double stationTime(int code, double T, int kind);

    double julianDayUT() const { return jd_; }

private:
    // Retrograde starts and ends (UTC+8 JD) of one body for one chart year.
    static constexpr std::size_t kStations = 20;
    struct StationLists {
        int year = 0;
        bool valid = false;
        std::array<double, kStations> start{};
        std::array<double, kStations> end{};
    };
    const StationLists& stationLists(int code, int year);

    CivilDateTime scratch_;
    double jd_ = 2451545.0;
    std::array<StationLists, 8> stations_{};  // by body code 1..7; a pure cache
};
