// Chart options of the engine: the house systems other than Placidus, the further points (true
// node, Lilith, Part of Fortune, Chiron and the asteroids) in the model, the data panel and the wheel, the orbs per
// aspect, and the aspect list of the natal chart and of a transit to it.
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "chart/XiangweiList.h"
#include "chart/ExtraPoints.h"
#include "chart/HouseSystems.h"
#include "chart/Zhanxing.h"

namespace {
double centuriesOf(double jdUT) { return (jdUT - 2451545.0) / 36525.0; }

std::string format(const char* fmt, ...) {
    char buf[256];
    va_list ap;
    va_start(ap, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    return buf;
}
}  // namespace

void MZhanXingEx::applyOptions() {
    extraShown_ = {settings_.trueNode, settings_.lilith, settings_.fortune};
    for (std::size_t b = 0; b < settings_.asteroids.size(); ++b)
        extraShown_[kFirstAsteroid + b] = settings_.asteroids[b];
}

AspectOrbs MZhanXingEx::aspectOrbs(bool withMinor) const {
    ChartSettings s = settings_;
    s.orb = orb_;  // the common orb as the chart took it
    if (!withMinor) s.minorAspects = false;
    return s.aspectOrbs();
}

bool MZhanXingEx::otherHouseSystem(double ramc, double obliquity) {
    HouseSystem system = HouseSystem::Placidus;
    if (!houseSystemFromLetter(settings_.houseSystem, system) || system == HouseSystem::Placidus)
        return false;
    HouseFrame f = houseFrame(ramc, obliquity, request_.latitude);
    // The cusps keep to the chart's own angles: the MC the meridian point of the mode's
    // formula, the ascendant in the half after it (inside the polar circles the rising point
    // can lie before it, and the default mode's MC would be turned instead).
    if (!precise_) natal_.mc.longitude = midheavenOf(ramc);
    double asc = natal_.asc.longitude;
    double past = asc - natal_.mc.longitude;
    if (past < 0) past += 360;
    if (past >= 180) asc = asc >= 180 ? asc - 180 : asc + 180;
    natal_.asc.longitude = asc;
    fillSign(natal_.asc);
    fillSign(natal_.mc);
    f.asc = natal_.asc.longitude;
    f.mc = natal_.mc.longitude;
    bool fellBack = false;
    natal_.cusps = houseCusps(system, f, &fellBack);
    if (fellBack) housesNote_ = HousesNote::Porphyry;
    return true;
}

void MZhanXingEx::computeExtraPoints() {
    // Only the points shown: the true node takes the full lunar series several times over.
    extras_ = {};
    extraSpeeds_ = {};
    const double T = centuriesOf(calculator_.julianDayUT());
    if (extraShown_[kTrueNode]) {
        extras_[kTrueNode].longitude = trueNodeLongitude(T);
        extraSpeeds_[kTrueNode] = trueNodeSpeed(T);
    }
    if (extraShown_[kLilith]) {
        extras_[kLilith].longitude = meanLilithLongitude(T);
        extraSpeeds_[kLilith] = meanLilithSpeed(T);
    }
    if (extraShown_[kFortune])
        extras_[kFortune].longitude = partOfFortune(
            natal_.asc.longitude, natal_.bodies[0].longitude, natal_.bodies[1].longitude);
    for (int k = kFirstAsteroid; k < kExtraPoints; ++k) {
        const std::size_t i = static_cast<std::size_t>(k);
        if (!extraShown_[i]) continue;
        calculator_.asteroidPosition(k - kFirstAsteroid, extras_[i].longitude, extras_[i].latitude);
        extraSpeeds_[i] = calculator_.asteroidSpeed(k - kFirstAsteroid);
        extras_[i].motion = extraSpeeds_[i] < 0 ? 2 : 1;
    }
    for (ChartPoint& p : extras_) {
        fillSign(p);
        locateInHouse(p);
    }
}

std::array<double, 10> MZhanXingEx::motionsAt(double jd8) const {
    // Daily motion from the positions half a day either side, with a calculator of its own so
    // that the chart's stays at the chart's moment.
    MAstroCalc calc;
    std::array<double, 10> before{}, after{};
    for (int side = 0; side < 2; ++side) {
        calc.setTime(calendar_.fromJulianDay(jd8 + (side == 0 ? -0.5 : 0.5)));
        for (std::size_t i = 0; i < 10; ++i) {
            double latitude = 0;
            calc.bodyPosition(static_cast<int>(i), side == 0 ? before[i] : after[i], latitude);
        }
    }
    std::array<double, 10> speed{};
    for (std::size_t i = 0; i < 10; ++i) {
        double d = std::fmod(after[i] - before[i] + 540.0, 360.0) - 180.0;
        speed[i] = d;
    }
    return speed;
}

std::vector<std::string> MZhanXingEx::pointNames() {
    std::vector<std::string> names(BodyNames.begin(), BodyNames.end());
    names.insert(names.end(), ExtraPointNames.begin(), ExtraPointNames.end());
    return names;
}

namespace {
bool isAsteroidId(int id) { return id >= kFirstExtraId + kFirstAsteroid && id < kFirstExtraId + kExtraPoints; }

// The aspects of the points under the chart's orbs, where those of Chiron and the asteroids
// take the minor-aspect orb for every kind: found once with each set of orbs, each pair kept
// from the set that applies to it.
template <class Find>
std::vector<Aspect> withAsteroidOrbs(bool anyAsteroid, const AspectOrbs& orbs, int asteroidOrb,
                                     const Find& find) {
    if (!anyAsteroid) return find(orbs);
    std::vector<Aspect> out;
    for (const Aspect& a : find(orbs))
        if (!isAsteroidId(a.a) && !isAsteroidId(a.b)) out.push_back(a);
    AspectOrbs small = orbs;
    small.orb.fill(asteroidOrb);
    for (const Aspect& a : find(small))
        if (isAsteroidId(a.a) || isAsteroidId(a.b)) out.push_back(a);
    return out;
}
}  // namespace

bool MZhanXingEx::anyAsteroidShown() const {
    for (int k = kFirstAsteroid; k < kExtraPoints; ++k)
        if (extraShown_[static_cast<std::size_t>(k)]) return true;
    return false;
}

std::vector<Aspect> MZhanXingEx::natalAspects() const {
    if (!natalSpeedsValid_ && mode_ != ChartMode::None) {
        natalSpeeds_ = motionsAt(jd8_);
        natalSpeedsValid_ = true;
    }
    std::vector<AspectPoint> points;
    for (std::size_t i = 0; i < 10; ++i)
        points.push_back({static_cast<int>(i), natal_.bodies[i].longitude, natalSpeeds_[i]});
    for (std::size_t k = 0; k < extras_.size(); ++k)
        if (extraShown_[k])
            points.push_back({kFirstExtraId + static_cast<int>(k), extras_[k].longitude,
                              extraSpeeds_[k]});
    return withAsteroidOrbs(anyAsteroidShown(), aspectOrbs(), settings_.minorOrb,
                            [&](const AspectOrbs& o) { return findAspects(points, o); });
}

std::vector<Aspect> MZhanXingEx::transitAspects() const {
    if (mode_ != ChartMode::Transit) return {};
    if (!transitSpeedsValid_) {
        transitSpeeds_ = motionsAt(transitJd8_);
        transitSpeedsValid_ = true;
    }
    std::vector<AspectPoint> outer;
    for (std::size_t i = 0; i < 10; ++i)
        outer.push_back({static_cast<int>(i), transitBodies_[i].longitude, transitSpeeds_[i]});
    for (std::size_t b = 0; b < transitAsteroids_.size(); ++b)
        if (transitAsteroidsShown_ && extraShown_[kFirstAsteroid + b])
            outer.push_back({kFirstExtraId + kFirstAsteroid + static_cast<int>(b),
                             transitAsteroids_[b].longitude, transitAsteroidSpeeds_[b]});
    std::vector<AspectPoint> inner;
    for (std::size_t i = 0; i < 10; ++i)
        inner.push_back({static_cast<int>(i), natal_.bodies[i].longitude, 0});
    for (std::size_t k = 0; k < extras_.size(); ++k)
        if (extraShown_[k])
            inner.push_back({kFirstExtraId + static_cast<int>(k), extras_[k].longitude, 0});
    return withAsteroidOrbs(anyAsteroidShown(), aspectOrbs(), settings_.minorOrb,
                            [&](const AspectOrbs& o) { return findAspects(outer, inner, o); });
}

std::vector<std::string> MZhanXingEx::aspectList(bool transit, const std::string& separator) const {
    const std::vector<std::string> names = pointNames();
    if (!transit) {
        std::vector<std::string> lines = aspectListLines(natalAspects(), names, names, separator);
        for (const std::string& line : starLines(separator)) lines.push_back(line);
        return lines;
    }
    std::vector<std::string> transitNames;
    for (const std::string& n : names) transitNames.push_back("流" + n);
    return aspectListLines(transitAspects(), transitNames, names, separator);
}

int MZhanXingEx::drawExtraPointLines(int x, int y, int step) {
    Canvas& c = image_;
    for (std::size_t k = 0; k < extras_.size(); ++k) {
        if (!extraShown_[k]) continue;
        const ChartPoint& p = extras_[k];
        int deg = static_cast<int>(p.degreesInSign);
        int min = static_cast<int>((p.degreesInSign - static_cast<float>(deg)) * 60);
        std::string line = format("%s ", ExtraPointShortNames[k]);
        line += format("%s%02d:%02d  ", SignNames[p.sign % 12], deg, min);
        line += format("%02d宫%02d  ", p.house + 1, static_cast<int>(p.pastCusp));
        deg = static_cast<int>(p.longitude);
        min = static_cast<int>((p.longitude - deg) * 60);
        line += format("%03d:%02d", deg, min);
        if (p.motion == 1) line += "  +";
        else if (p.motion == 2) line += "  -";
        c.textOut(x, y, line);
        y += step;
    }
    return y;
}

void MZhanXingEx::drawExtraLabels(const LabelLayout& layout) {
    // As the bodies' labels: leader lines first, then the names in the layout's font size.
    Canvas& c = image_;
    for (int pass = 0; pass < 2; ++pass)
        for (int k = 0; k < kExtraPoints; ++k) {
            const LabelEntry* e = findLabel(kFirstExtraId + k, layout);
            if (!e) continue;
            const Rgb colour = labelColour(kFirstExtraId + k);
            c.setFontColor(colour);
            c.setPenColor(colour);
            if (pass == 0) {
                c.moveTo(static_cast<int>(e->startX), static_cast<int>(e->startY));
                c.lineTo(static_cast<int>(e->endX), static_cast<int>(e->endY));
                continue;
            }
            c.setFontSize(layout.fontSize);
            c.textOut(e->anchorX - layout.cellWidth / 2, e->anchorY - layout.cellHeight / 2,
                      ExtraPointShortNames[static_cast<std::size_t>(k)]);
            c.setFontSize(baseFontSize_);
        }
}

void MZhanXingEx::layoutWithExtras(LabelLayout& layout, const std::array<double, 12>& lon,
                                   const LabelGeometry& g) const {
    std::vector<double> longitudes(lon.begin(), lon.end());
    std::vector<uint8_t> ids;
    for (std::size_t i = 0; i < 12; ++i) ids.push_back(static_cast<uint8_t>(i));
    for (std::size_t k = 0; k < extras_.size(); ++k)
        if (extraShown_[k]) {
            longitudes.push_back(extras_[k].longitude);
            ids.push_back(static_cast<uint8_t>(kFirstExtraId + static_cast<int>(k)));
        }
    placeLabels(layout, longitudes, ids, natal_.asc.longitude, g);
}

void MZhanXingEx::layoutTransitAsteroids(LabelLayout& layout, const std::array<double, 12>& lon,
                                         const LabelGeometry& g) const {
    std::vector<double> longitudes(lon.begin(), lon.end());
    std::vector<uint8_t> ids;
    for (std::size_t i = 0; i < 12; ++i) ids.push_back(static_cast<uint8_t>(i));
    for (std::size_t b = 0; b < transitAsteroids_.size(); ++b)
        if (extraShown_[kFirstAsteroid + b]) {
            longitudes.push_back(transitAsteroids_[b].longitude);
            ids.push_back(static_cast<uint8_t>(kFirstExtraId + kFirstAsteroid + static_cast<int>(b)));
        }
    placeLabels(layout, longitudes, ids, natal_.asc.longitude, g);
}
