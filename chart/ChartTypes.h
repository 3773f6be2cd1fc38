// The chart types built from natal charts: synastry (a second person's bodies inside the wheel),
// composite (shorter-arc midpoints), Davison (midpoint in time and place), secondary
// progressions, solar-arc directions and solar/lunar returns. Plain functions of longitudes and
// instants; the engine casts the charts (MZhanXingEx::cast* in Zhanxing_types.cpp).
//
// Instants here are UTC+8 Julian days (the engine's jd8), longitudes degrees in [0, 360).
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "chart/Xiangwei.h"
#include "chart/Zhanxing.h"

namespace charttypes {

enum class Kind : uint8_t {
    Natal, Synastry, Composite, Davison, Progressed, SolarArc, SolarReturn, LunarReturn
};
// "本命盘", "合盘", "组合盘", "时空中点盘", "推运盘", "太阳弧盘", "日返照盘", "月返照盘".
const char* kindName(Kind k);

// Midpoint of two longitudes on the shorter arc between them, in [0, 360). Two exactly
// opposite points have two midpoints; the one 90° after the first is taken.
double midpoint(double a, double b);

struct GeoPlace {
    double longitude = 0;  // degrees, east positive
    double latitude = 0;   // degrees, north positive
};
// Midpoint of the great-circle arc between two places (the shorter one). Antipodal places have
// no single midpoint; the result is then one point of the arc through the first place's meridian.
GeoPlace greatCircleMidpoint(const GeoPlace& a, const GeoPlace& b);

// Composite chart: each body the shorter-arc midpoint of the pair; the MC the nearer midpoint
// of the two MCs; the ascendant and every cusp the one of its two midpoints that keeps the
// twelve houses in zodiacal order with the ascendant in the eastern half (each chart's houses
// read forward from its MC, and the two readings averaged). Signs and houses of the bodies
// follow from those cusps; motion marks are dropped (a midpoint has no station). Both charts'
// houses must be in order, ascendant east of the MC.
NatalPoints compositeOf(const NatalPoints& a, const NatalPoints& b);

// Signs and houses of every point of `p` again, against its cusps.
void relocate(NatalPoints& p);

// The angles and cusps of a RAMC at a latitude under an obliquity, by a house system letter
// (HouseSystems.h; Placidus iterated as in the precise mode). `fellBack` set when the system
// has no cusps there and Porphyry stands in.
NatalPoints housesAtRamc(double ramc, double obliquity, double latitude, char houseSystem,
                         bool* fellBack = nullptr);
// Right ascension of an ecliptic longitude (latitude 0), degrees in [0, 360).
double rightAscensionOf(double longitude, double obliquity);
// Naibod's rate: the mean Sun's motion in a day, the MC's advance in right ascension a year.
constexpr double kNaibodRate = 0.98564733;

// Secondary progressions: one day after birth stands for one tropical year of life.
constexpr double kTropicalYearDays = 365.24219;
double progressedInstant(double birthJd8, double targetJd8);

// Solar arc: the progressed Sun's distance past the natal Sun, degrees in [0, 360).
double solarArc(double natalSun, double progressedSun);
// Every point of a natal chart moved forward by an arc (bodies, angles, cusps); houses are those
// of the directed cusps. Motion marks are kept.
NatalPoints directed(const NatalPoints& natal, double arc);

// The first instant at or after `start`, and before start + span, at which the longitude
// given by `longitudeAt` passes `target` going forward, to better than 0.1 s; NaN when there
// is none. `step` (days) must be shorter than the time the body takes to move 180°, and the
// body must not move backward (the Sun and the Moon).
double findCrossing(const std::function<double(double)>& longitudeAt, double target,
                    double start, double span, double step);

// Civil date and time to the second of a UTC+8 Julian day shown in a zone (hour offset),
// rounded to the nearest second: "YYYY-MM-DD HH:MM:SS" (wallSecondText for any offset).
std::string secondText(double jd8, int zoneOffsetHours);

// The twelve bodies and the two angles of a chart as aspect points: ids 0..11 the bodies, 12 the
// ascendant, 13 the MC. Speeds come from `speeds` (degrees a day, by body) when given.
std::vector<AspectPoint> aspectPoints(const NatalPoints& p,
                                      const std::array<double, 12>* speeds = nullptr);
// "太阳" ... "降交点", "上升", "天顶" for the ids of aspectPoints, each after `owner`.
std::vector<std::string> pointNames(const std::string& owner);

}  // namespace charttypes
