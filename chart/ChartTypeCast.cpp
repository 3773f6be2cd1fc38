#include "chart/ChartTypeCast.h"

#include <cmath>
#include <cstdio>

#include "astro/Eph0.h"
#include "chart/ChartAsteroids.h"
#include "chart/XiangweiList.h"
#include "chart/SynastryReading.h"
#include "platform/core/Gbk.h"

namespace charttypes {
namespace {

constexpr double kNodeSpeed = -0.0529539;  // mean node, degrees a day

std::array<double, 12> speedsAt(MZhanXingEx& engine, double jd8) {
    std::array<double, 12> s{};
    for (int i = 0; i < 10; ++i) s[static_cast<std::size_t>(i)] = engine.bodySpeedAt(i, jd8);
    s[10] = s[11] = kNodeSpeed;
    return s;
}

std::string dateText(const DateTimeFields& f) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%d-%02d-%02d", f.year, f.month, f.day);
    return buf;
}

std::string minuteText(const DateTimeFields& f) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%d-%02d-%02d %02d:%02d", f.year, f.month, f.day, f.hour,
                  f.minute);
    return buf;
}

// Civil fields (to the minute, rounded) of a UTC+8 Julian day in a zone (hour offset).
DateTimeFields fieldsIn(double jd8, int zoneOffsetHours) {
    const double local = jd8 + (zoneOffsetHours - 8) / 24.0;
    const double minutes = std::round((local + 0.5) * 1440.0);
    return fieldsFromJulianDay(minutes / 1440.0 - 0.5 + 1.0 / 86400);
}

// A natal cast of `r` that names the person in its message when `who` is given.
bool cast(MZhanXingEx& engine, const BirthRecord& r, const char* who, std::string& error) {
    if (engine.castNatal(r)) return true;
    error = std::string(who) + engine.errorText();
    return false;
}

std::string shortName(const BirthRecord& r) { return gbk::cutUtf8(r.name, BirthRecord::kNameBytes); }

void listAspects(TypeResult& out, const std::string& outerOwner, const std::string& innerOwner) {
    // Aspect::a is the inner ring's point, Aspect::b the outer chart's.
    out.aspectText = aspectListLines(out.aspects, pointNames(innerOwner), pointNames(outerOwner));
}

std::string joinLines(const std::string& head, const std::vector<std::string>& lines) {
    std::string t = head + "\n";
    for (const std::string& l : lines) t += l + "\n";
    if (lines.empty()) t += "(无相位)\n";
    return t;
}

}  // namespace

bool samePerson(const BirthRecord& a, const BirthRecord& b) {
    return shortName(a) == shortName(b) && a.birth == b.birth && (a.lunar != 0) == (b.lunar != 0) &&
           (a.lunar == 0 || (a.leapMonth != 0) == (b.leapMonth != 0)) &&
           zoneOffset(a.zoneIndex) == zoneOffset(b.zoneIndex) && a.longitude == b.longitude &&
           a.latitude == b.latitude;
}

bool castChartType(MZhanXingEx& engine, const TypeRequest& q, TypeResult& out,
                   std::string& error) {
    out = TypeResult{};
    out.kind = q.kind;
    out.caption = kindName(q.kind);
    error.clear();
    const bool twoPeople =
        q.kind == Kind::Synastry || q.kind == Kind::Composite || q.kind == Kind::Davison;
    if (twoPeople && samePerson(q.a, q.b)) {
        error = "两个盘是同一个人，请选择另一个人。";
        return false;
    }
    if ((q.kind == Kind::SolarReturn || q.kind == Kind::LunarReturn) &&
        (q.year < 1600 || q.year > 2200)) {
        error = "返照年份应在1600-2200之间。";
        return false;
    }
    if (q.kind == Kind::LunarReturn && (q.month < 1 || q.month > 12)) {
        error = "返照月份应在1-12之间。";
        return false;
    }

    // Person B first, so that a refusal leaves A's chart (cast next) on screen.
    NatalPoints pb;
    AsteroidSet asteroidsB;
    std::array<double, 12> speedB{};
    double jdB = 0;
    if (twoPeople) {
        if (!cast(engine, q.b, "第二个人：", error)) {
            std::string ignored;
            cast(engine, q.a, "", ignored);
            return false;
        }
        pb = engine.natal();
        asteroidsB = asteroidsOf(engine);
        jdB = engine.jd8();
        speedB = speedsAt(engine, jdB);
    }
    if (!cast(engine, q.a, twoPeople ? "第一个人：" : "", error)) return false;
    const NatalPoints pa = engine.natal();
    const double jdA = engine.jd8();
    const BirthRecord ra = engine.request();  // zoneIndex holds the hour offset now
    const int zoneA = ra.zoneIndex;
    const std::array<double, 12> speedA = speedsAt(engine, jdA);
    const std::string nameA = shortName(q.a);
    const std::string nameB = shortName(q.b);
    const AspectOrbs orbs = engine.aspectOrbs();

    switch (q.kind) {
    case Kind::Natal:
        out.outer = pa;
        out.aspects = findAspects(aspectPoints(pa, &speedA), orbs);
        listAspects(out, "", "");
        return true;

    case Kind::Synastry: {
        out.outer = pa;
        out.hasInner = true;
        out.inner = pb.bodies;
        out.innerTitle = "合盘(内圈):" + nameB;
        out.captionLines = {nameA + "(外)", nameB + "(内)"};
        out.aspects = findAspects(aspectPoints(pb, &speedB), aspectPoints(pa, &speedA), orbs);
        appendAsteroidAspects(out.aspects, aspectPoints(pb, &speedB), asteroidsB, aspectPoints(pa, &speedA),
                              asteroidsOf(engine), engine);
        listAspects(out, nameA + "的", nameB + "的");
        engine.setCaption(out.caption, out.captionLines);
        engine.setOverlayAsteroids(asteroidsB.points);  // the second person's, where shown
        if (!engine.castOverlay(out.inner, out.innerTitle, minuteText(q.b.birth))) break;
        out.readingText = joinLines("合盘相位(" + nameB + "对" + nameA + "):", out.aspectText) +
                          synastryReading(pa, pb, nameA, nameB, orbs);
        engine.showText(out.readingText);
        return true;
    }

    case Kind::Composite: {
        out.outer = compositeOf(pa, pb);
        out.captionLines = {nameA, "与" + nameB};
        out.aspects = findAspects(aspectPoints(out.outer), orbs);
        // Chiron and the asteroids shown: the midpoints of the two people's, in the wheel, the
        // panel and the aspects.
        const AsteroidSet composite = compositeAsteroids(asteroidsOf(engine), asteroidsB);
        engine.setAsteroidPoints(composite.points);
        appendAsteroidAspects(out.aspects, aspectPoints(out.outer), composite, {}, composite, engine);
        listAspects(out, "", "");
        engine.setCaption(out.caption, out.captionLines);
        if (!engine.showPoints(out.outer)) break;
        out.readingText = joinLines("组合盘相位:", out.aspectText);
        engine.showText(out.readingText);
        return true;
    }

    case Kind::Davison: {
        const double mid = (jdA + jdB) / 2;
        const GeoPlace place = greatCircleMidpoint({q.a.longitude, q.a.latitude},
                                                   {q.b.longitude, q.b.latitude});
        BirthRecord d = q.a;
        d.name = gbk::cutUtf8(nameA + "&" + nameB, BirthRecord::kNameBytes);
        d.lunar = 0;
        d.leapMonth = 0;
        d.birth = fieldsIn(mid, zoneA);
        d.longitude = static_cast<float>(place.longitude);
        d.latitude = static_cast<float>(place.latitude);
        d.place = "时空中点";
        if (!cast(engine, d, "", error)) {
            std::string ignored;
            cast(engine, q.a, "", ignored);
            return false;
        }
        out.instantJd8 = mid;
        out.outer = engine.natal();
        out.captionLines = {nameA, "与" + nameB, dateText(d.birth)};
        out.aspects = findAspects(aspectPoints(out.outer, nullptr), orbs);
        // The chart's own, where shown; without motions, as its bodies here.
        const AsteroidSet own{engine.asteroidPoints(), {}};
        appendAsteroidAspects(out.aspects, aspectPoints(out.outer), own, {}, own, engine);
        listAspects(out, "", "");
        engine.setCaption(out.caption, out.captionLines);
        engine.showPoints(out.outer);
        out.readingText = joinLines("时空中点盘相位:", out.aspectText);
        engine.showText(out.readingText);
        return true;
    }

    case Kind::Progressed:
    case Kind::SolarArc: {
        MYiDateEx calendar;
        if (!calendar.isValidDate(q.to)) {
            error = "不存在这个推运日期";
            return false;
        }
        const double target = calendar.toJulianDay(q.to) + (8 - zoneA) / 24.0;
        if (std::llround(target * 1440.0) < std::llround(jdA * 1440.0)) {
            error = "推运日期应在出生时间之后。";
            return false;
        }
        const double p = progressedInstant(jdA, target);
        out.instantJd8 = p;
        out.outer = pa;
        out.hasInner = true;
        AsteroidSet innerAsteroids;
        std::string when = dateText(q.to);
        if (q.kind == Kind::Progressed) {
            BirthRecord r = q.a;
            r.lunar = 0;
            r.leapMonth = 0;
            r.birth = fieldsIn(p, zoneA);
            if (!cast(engine, r, "", error)) {
                std::string ignored;
                cast(engine, q.a, "", ignored);
                return false;
            }
            const NatalPoints progressed = engine.natal();
            const std::array<double, 12> speedP = speedsAt(engine, engine.jd8());
            innerAsteroids = asteroidsOf(engine);
            out.inner = progressed.bodies;
            out.innerTitle = "推运盘(内圈):" + when;
            out.aspects = findAspects(aspectPoints(progressed, &speedP), aspectPoints(pa, &speedA),
                                      orbs);
            cast(engine, q.a, "", error);
            appendAsteroidAspects(out.aspects, aspectPoints(progressed, &speedP), innerAsteroids,
                                  aspectPoints(pa, &speedA), asteroidsOf(engine), engine);
            listAspects(out, "本命", "推运");
            when = "推运时刻:" + minuteText(r.birth);
        } else {
            const double arc = solarArc(pa.bodies[0].longitude, engine.bodyLongitudeAt(0, p));
            const NatalPoints d = directed(pa, arc);
            out.inner = d.bodies;
            char buf[48];
            std::snprintf(buf, sizeof buf, "弧:%.4f°", arc);
            out.innerTitle = "太阳弧(内圈):" + dateText(q.to);
            out.aspects = findAspects(aspectPoints(d), aspectPoints(pa), orbs);
            innerAsteroids = directedAsteroids(asteroidsOf(engine), arc);
            appendAsteroidAspects(out.aspects, aspectPoints(d), innerAsteroids, aspectPoints(pa),
                                  AsteroidSet{engine.asteroidPoints(), {}}, engine);
            listAspects(out, "本命", "太阳弧");
            when = buf;
        }
        out.captionLines = {nameA, dateText(q.to)};
        engine.setCaption(out.caption, out.captionLines);
        engine.setOverlayAsteroids(innerAsteroids.points);  // where shown
        if (!engine.castOverlay(out.inner, out.innerTitle, when)) break;
        out.readingText = joinLines(out.innerTitle, out.aspectText);
        engine.showText(out.readingText);
        return true;
    }

    case Kind::SolarReturn:
    case Kind::LunarReturn: {
        const bool sun = q.kind == Kind::SolarReturn;
        const int body = sun ? 0 : 1;
        const double target = pa.bodies[static_cast<std::size_t>(body)].longitude;
        const int zone = q.returnPlace ? zoneOffset(q.returnZoneIndex) : zoneA;
        double start = 0;
        if (sun) {
            // Around the birthday of that year: the Sun comes back within a day or so of it.
            const DateTimeFields g = engine.gregorianMoment();
            start = julianDay(q.year, g.month, g.day + (g.hour + g.minute / 60.0) / 24.0) +
                    (8 - zoneA) / 24.0 - 3;
        } else {
            start = julianDay(q.year, q.month, 1) + (8 - zone) / 24.0;
        }
        auto lon = [&](double t) { return engine.bodyLongitudeAt(body, t); };
        const double t = sun ? findCrossing(lon, target, start, 8, 1.0)
                             : findCrossing(lon, target, start, 29, 0.25);
        if (std::isnan(t)) {
            error = "找不到返照时刻。";
            return false;
        }
        BirthRecord r = q.a;
        r.lunar = 0;
        r.leapMonth = 0;
        if (q.returnPlace) {
            r.longitude = q.returnLongitude;
            r.latitude = q.returnLatitude;
            r.zoneIndex = q.returnZoneIndex;
            r.place = q.returnPlaceName;
        }
        r.birth = fieldsIn(t, zone);
        if (!cast(engine, r, "", error)) {
            std::string ignored;
            cast(engine, q.a, "", ignored);
            return false;
        }
        out.instantJd8 = t;
        out.instantText = secondText(t, zone);
        out.outer = engine.natal();
        out.captionLines = {nameA, out.instantText.substr(0, 10), out.instantText.substr(11)};
        out.aspects = findAspects(aspectPoints(out.outer, nullptr), orbs);
        // The chart's own, where shown; without motions, as its bodies here.
        const AsteroidSet own{engine.asteroidPoints(), {}};
        appendAsteroidAspects(out.aspects, aspectPoints(out.outer), own, {}, own, engine);
        listAspects(out, "", "");
        engine.setCaption(out.caption, out.captionLines);
        engine.showPoints(out.outer);
        out.readingText = joinLines(std::string(sun ? "日返照" : "月返照") + "时刻:" +
                                        out.instantText + "\n返照盘相位:",
                                    out.aspectText);
        engine.showText(out.readingText);
        return true;
    }
    }
    error = engine.errorText();
    return false;
}

}  // namespace charttypes
