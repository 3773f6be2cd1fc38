// A chart state without the astronomy, for driving the drawing, panel and reading directly.
#pragma once
#include <array>
#include <cmath>

#include "chart/Zhanxing.h"

namespace chartfixture {

inline ChartPoint point(double lon) {
    ChartPoint p;
    p.longitude = lon;
    p.sign = static_cast<uint8_t>(static_cast<int>(lon / 30) % 12);
    p.degreesInSign = static_cast<float>(lon - 30 * p.sign);
    return p;
}

// Natal points from a RAMC and latitude, with the body longitudes given.
inline NatalPoints natalPoints(double ramc, double latitude, const std::array<double, 12>& bodies) {
    NatalPoints n;
    n.mc = point(MZhanXingEx::midheavenAt(ramc, latitude));
    n.asc = point(MZhanXingEx::ascendantOf(ramc, latitude));
    n.cusps = MZhanXingEx::housesOf(static_cast<float>(ramc), latitude, n.mc.longitude,
                                    n.asc.longitude);
    for (int i = 0; i < 12; ++i) {
        n.bodies[i] = point(bodies[i]);
        MZhanXingEx::locateIn(n.cusps, bodies[i], n.bodies[i].house, n.bodies[i].pastCusp);
    }
    MZhanXingEx::locateIn(n.cusps, n.asc.longitude, n.asc.house, n.asc.pastCusp);
    MZhanXingEx::locateIn(n.cusps, n.mc.longitude, n.mc.house, n.mc.pastCusp);
    return n;
}

inline std::array<double, 12> spreadBodies() {
    return {40.37, 119.91, 45.09, 356.47, 337.53, 96.94, 295.33, 279.47, 284.52, 226.57,
            312.11, 132.11};
}

inline BirthRecord request(int zoneOffset = 8) {
    BirthRecord r;
    r.name = "张三";
    r.zoneIndex = static_cast<int8_t>(zoneOffset);
    r.longitude = 116.5f;
    r.latitude = 33.875f;
    r.place = "北京-北京";
    r.male = 1;
    r.bloodType = 0;
    return r;
}

inline DateTimeFields moment(int y, int mo, int d, int h, int mi) {
    DateTimeFields f;
    f.year = static_cast<int16_t>(y);
    f.month = static_cast<int16_t>(mo);
    f.day = static_cast<int16_t>(d);
    f.hour = static_cast<int16_t>(h);
    f.minute = static_cast<int16_t>(mi);
    return f;
}

}  // namespace chartfixture
