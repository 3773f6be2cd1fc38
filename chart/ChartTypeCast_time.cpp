// The chart types of one person in time: secondary progressions, solar-arc directions and
// solar and lunar returns.
#include <cmath>
#include <cstdio>

#include "chart/ChartTypeSteps.h"

namespace charttypes {
namespace {

// Obliquity of the natal chart's frame: the true one of date in the precise mode, else the
// fixed 23.44° of the default mode's houses.
double natalObliquity(MZhanXingEx& engine) {
    if (!engine.precise()) return 23.44;
    double ramc = 0, obliquity = 0;
    engine.preciseFrame(ramc, obliquity);
    return obliquity;
}

std::vector<AspectPoint> movingPoints(const NatalPoints& p, const std::array<double, 12>& speeds,
                                      double angleSpeed) {
    std::vector<AspectPoint> v = aspectPoints(p, &speeds);
    v[12].speed = v[13].speed = angleSpeed;
    return v;
}

// The moved angles beside the inner ring: located in the natal houses.
void setInnerAngles(TypeCast& c, const ChartPoint& asc, const ChartPoint& mc) {
    TypeResult& out = c.out;
    out.hasInnerAngles = true;
    out.innerAsc = asc;
    out.innerMc = mc;
    MZhanXingEx::locateIn(c.pa.cusps, asc.longitude, out.innerAsc.house, out.innerAsc.pastCusp);
    MZhanXingEx::locateIn(c.pa.cusps, mc.longitude, out.innerMc.house, out.innerMc.pastCusp);
}

// The progressed instant of the request's date on the birth place's clock; false with the
// message when the date is none, skipped or before the birth.
bool progressedInstantOf(TypeCast& c, double& p) {
    MYiDateEx calendar;
    if (!calendar.isValidDate(c.q.to)) {
        c.error = "不存在这个推运日期";
        return false;
    }
    const WallInstant target = c.clocks.instantOf(c.q.a, c.q.to);
    if (!target.ok) {
        c.error = target.message;
        return false;
    }
    if (std::llround(target.jd8 * 1440.0) < std::llround(c.jdA * 1440.0)) {
        c.error = "推运日期应在出生时间之后。";
        return false;
    }
    p = progressedInstant(c.jdA, target.jd8);
    return true;
}

bool showOverlay(TypeCast& c, const std::string& when) {
    TypeResult& out = c.out;
    out.captionLines = {c.nameA, dateText(c.q.to)};
    c.engine.setCaption(out.caption, out.captionLines);
    if (out.hasInnerAngles) c.engine.setInnerAngles(out.innerAsc.longitude, out.innerMc.longitude);
    if (!c.engine.castOverlay(out.inner, out.innerTitle, when)) {
        c.error = c.engine.errorText();
        return false;
    }
    c.showReading(out.innerTitle);
    return true;
}

}  // namespace

// A day after birth for each year of life: the bodies of the progressed instant; the angles by
// the chosen method (solar arc on the MC by default), the ascendant and cusps from that MC at
// the birth latitude. Natal points stay; the progressed ones move at their progressed rates.
bool castProgressed(TypeCast& c) {
    TypeResult& out = c.out;
    double p = 0;
    if (!progressedInstantOf(c, p)) return false;
    c.setInstant(c.q.a, p);
    const ChartSettings settings = c.engine.settings();
    const double obliquity = natalObliquity(c.engine);
    if (!c.castAt(c.q.a, p)) return false;
    NatalPoints progressed = c.engine.natal();
    const AsteroidSet progressedAsteroids = asteroidsOf(c.engine);
    c.castA();
    const std::array<double, 12> speedP = speedsAt(c.engine, p);
    double angleSpeed = 0;  // degrees a progressed day
    if (settings.progressedAngles != ChartSettings::kQuotidianAngles) {
        double ramc = 0;
        if (settings.progressedAngles == ChartSettings::kNaibodAngles) {
            ramc = rightAscensionOf(c.pa.mc.longitude, obliquity) +
                   kNaibodRate * (p - c.jdA);  // p - jdA: years of life
            angleSpeed = kNaibodRate;
        } else {
            const double arc = solarArc(c.pa.bodies[0].longitude, progressed.bodies[0].longitude);
            ramc = rightAscensionOf(c.pa.mc.longitude + arc, obliquity);
            angleSpeed = speedP[0];
        }
        const NatalPoints h =
            housesAtRamc(ramc, obliquity, c.q.a.latitude, settings.houseSystem);
        progressed.asc = h.asc;
        progressed.mc = h.mc;
    } else {
        angleSpeed = 361;
    }
    out.outer = c.pa;
    out.hasInner = true;
    out.inner = progressed.bodies;
    setInnerAngles(c, progressed.asc, progressed.mc);
    out.innerTitle = "推运盘(内圈):" + dateText(c.q.to);
    c.aspectsBetween(movingPoints(progressed, speedP, angleSpeed), aspectPoints(c.pa), true, "推运",
                     "本命");
    // The progressed Chiron and asteroids at their progressed rates; the natal ones stay.
    c.asteroidAspects(movingPoints(progressed, speedP, angleSpeed), progressedAsteroids, aspectPoints(c.pa),
                      AsteroidSet{c.engine.asteroidPoints(), {}}, true, "推运", "本命");
    c.engine.setOverlayAsteroids(progressedAsteroids.points);
    return showOverlay(c, "推运时刻:" + minuteText(wallMinute(p, out.instantOffsetSeconds)));
}

// Every natal point moved forward by the solar arc of the date; they move together at the
// progressed Sun's rate, the natal points stay.
bool castSolarArc(TypeCast& c) {
    TypeResult& out = c.out;
    double p = 0;
    if (!progressedInstantOf(c, p)) return false;
    const double arc = solarArc(c.pa.bodies[0].longitude, c.engine.bodyLongitudeAt(0, p));
    const NatalPoints d = directed(c.pa, arc);
    const double rate = c.engine.bodySpeedAt(0, p);
    std::array<double, 12> speeds{};
    speeds.fill(rate);
    out.outer = c.pa;
    out.hasInner = true;
    out.inner = d.bodies;
    setInnerAngles(c, d.asc, d.mc);
    out.innerTitle = "太阳弧(内圈):" + dateText(c.q.to);
    c.aspectsBetween(movingPoints(d, speeds, rate), aspectPoints(c.pa), true, "太阳弧", "本命");
    // Chiron and the asteroids directed by the same arc, at the same rate; the natal ones stay.
    AsteroidSet directedSet = directedAsteroids(asteroidsOf(c.engine), arc);
    directedSet.speeds.fill(rate);
    c.asteroidAspects(movingPoints(d, speeds, rate), directedSet, aspectPoints(c.pa),
                      AsteroidSet{c.engine.asteroidPoints(), {}}, true, "太阳弧", "本命");
    c.engine.setOverlayAsteroids(directedSet.points);
    char buf[48];
    std::snprintf(buf, sizeof buf, "弧:%.4f°", arc);
    return showOverlay(c, buf);
}

// The instant the Sun (or the Moon) comes back to its natal longitude, cast at the birth place
// or the place asked for, on that place's clock at that instant.
bool castReturn(TypeCast& c) {
    TypeResult& out = c.out;
    const bool sun = c.q.kind == Kind::SolarReturn;
    const int body = sun ? 0 : 1;
    const double target = c.pa.bodies[static_cast<std::size_t>(body)].longitude;
    BirthRecord place = c.q.a;
    if (c.q.returnPlace) {
        const BirthRecord& at = c.q.returnAt;
        place.longitude = at.longitude;
        place.latitude = at.latitude;
        place.zoneIndex = at.zoneIndex;
        place.utcOffsetSeconds = at.utcOffsetSeconds;
        place.zoneId = at.zoneId;
        place.place = at.place;
    }
    double start = 0;
    if (sun) {
        // A few days before the birthday of that year: the Sun comes back within a day of it.
        const int years = c.q.year - c.engine.gregorianMoment().year;
        start = c.jdA + years * 365.2422 - 3;
    } else {
        const DateTimeFields first{static_cast<int16_t>(c.q.year), static_cast<int16_t>(c.q.month), 1, 0, 0};
        start = instantAt(first, c.clocks.clockAt(place, instantAt(first, 8 * 3600)).offsetSeconds);
    }
    auto lon = [&](double t) { return c.engine.bodyLongitudeAt(body, t); };
    const double t = sun ? findCrossing(lon, target, start, 8, 1.0)
                         : findCrossing(lon, target, start, 29, 0.25);
    if (std::isnan(t)) {
        c.error = "找不到返照时刻。";
        return false;
    }
    if (!c.castOwnChart(place, t)) return false;
    out.captionLines = {c.nameA, out.instantText.substr(0, 10), out.instantText.substr(11)};
    c.engine.setCaption(out.caption, out.captionLines);
    c.engine.showPoints(out.outer);
    c.showReading(std::string(sun ? "日返照" : "月返照") + "时刻:" + out.instantText + "\n返照盘相位:");
    return true;
}

}  // namespace charttypes
