// The sky's events in a period: sign ingresses of Sun ... Pluto (retrograde re-entries too),
// stations of Mercury ... Pluto, new and full moons, eclipses, the 24 solar terms and the
// void-of-course Moon, all at the true instant (UT).
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "forecast/Eclipses.h"
#include "forecast/Ephemeris.h"

namespace forecast {

enum class SkyKind : int { Ingress = 0, Station, NewMoon, FullMoon, SolarEclipse, LunarEclipse, SolarTerm, VoidMoon };

// Which kinds to list (bits by SkyKind; the two lunations go with "lunation", the two eclipses
// with "eclipse").
struct SkyKinds {
    bool ingress = true, station = true, lunation = true, eclipse = true, term = true, voidMoon = false;
    std::array<bool, 5> asteroids{};  // ingresses and stations of Chiron ... Vesta as well
};

struct SkyEvent {
    double jd = 0;            // UT
    SkyKind kind = SkyKind::Ingress;
    int body = 0;             // BodyId: ingress, station
    int sign = 0;             // ingress: the sign entered; lunation: the Moon's sign; void: the next sign
    bool retrograde = false;  // ingress made moving backwards; station: turning retrograde
    double longitude = 0;     // lunation: the Moon's longitude
    EclipseKind eclipse = EclipseKind::None;
    int term = 0;             // solar term index, 0 小寒 ... 23 冬至
    double endJd = 0;         // void: when the Moon enters the next sign
    int lastBody = -1;        // void: the body of its last aspect (-1: none in the sign)
    int lastKind = -1;        // void: that aspect's kind
};

// Every event with jd in [t1, t2], in time order. `progress` as for findTransits.
std::vector<SkyEvent> findSkyEvents(Ephemeris& eph, const SkyKinds& kinds, double t1, double t2,
                                    const std::function<bool(double)>& progress = {});

// "入座", "留", "新月", "满月", "日食", "月食", "节气", "空亡".
const char* skyKindName(SkyKind k);

}  // namespace forecast
