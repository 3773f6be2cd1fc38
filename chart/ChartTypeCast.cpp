#include "chart/ChartTypeCast.h"

#include <cstdio>

#include "chart/ChartTypeSteps.h"
#include "chart/XiangweiList.h"
#include "platform/core/Gbk.h"

namespace charttypes {
namespace {

constexpr double kNodeSpeed = -0.0529539;  // mean node, degrees a day

std::string shortName(const BirthRecord& r) { return gbk::cutUtf8(r.name, BirthRecord::kNameBytes); }

// The two nodes of one chart always stand opposite: that is no aspect.
bool nodePair(const Aspect& a) { return (a.a == 10 && a.b == 11) || (a.a == 11 && a.b == 10); }

std::vector<Aspect> withoutNodePair(std::vector<Aspect> v, bool moving) {
    std::vector<Aspect> kept;
    for (Aspect& a : v) {
        if (nodePair(a)) continue;
        a.moving = moving;
        kept.push_back(a);
    }
    return kept;
}

bool castNamed(MZhanXingEx& engine, const BirthRecord& r, const char* who, std::string& error) {
    if (engine.castNatal(r)) return true;
    error = std::string(who) + engine.errorText();
    return false;
}

}  // namespace

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

bool TypeCast::castAt(BirthRecord place, double jd8) {
    const ClockAt k = clocks.clockAt(place, jd8);
    place.lunar = 0;
    place.leapMonth = 0;
    place.birth = wallMinute(jd8, k.offsetSeconds);
    place.instantJd8 = jd8;  // the positions at the instant itself, not at its minute
    // A clock that is the zone list's own hour stays named by the zone list.
    if (!(place.utcOffsetSeconds == BirthRecord::kZoneListOffset && place.zoneId.empty() &&
          k.offsetSeconds == fixedOffsetSeconds(place)))
        place.utcOffsetSeconds = k.offsetSeconds;
    if (engine.castNatal(place)) return true;
    error = engine.errorText();
    castA();
    return false;
}

bool TypeCast::castOwnChart(const BirthRecord& place, double jd8) {
    if (!castAt(place, jd8)) return false;
    setInstant(place, jd8);
    out.outer = engine.natal();
    const std::array<double, 12> speeds = speedsAt(engine, jd8);
    aspectsWithin(out.outer, &speeds, true);
    const AsteroidSet own = asteroidsOf(engine);
    asteroidAspects(aspectPoints(out.outer, &speeds), own, {}, own, true, "", "");
    return true;
}

void TypeCast::castA() {
    std::string ignored;
    castNamed(engine, q.a, "", ignored);
}

void TypeCast::setInstant(const BirthRecord& place, double jd8) {
    const ClockAt k = clocks.clockAt(place, jd8);
    out.hasInstant = true;
    out.instantJd8 = jd8;
    out.instantOffsetSeconds = k.offsetSeconds;
    out.instantText = wallSecondText(jd8, k.offsetSeconds);
}

void TypeCast::aspectsWithin(const NatalPoints& p, const std::array<double, 12>* speeds, bool moving) {
    out.aspects = withoutNodePair(findAspects(aspectPoints(p, speeds), orbs), moving);
    out.aspectText = aspectListLines(out.aspects, pointNames(""), pointNames(""));
}

void TypeCast::aspectsBetween(const std::vector<AspectPoint>& inner,
                              const std::vector<AspectPoint>& outer, bool moving,
                              const std::string& innerOwner, const std::string& outerOwner) {
    // Aspect::a is the inner ring's point, Aspect::b the outer chart's.
    out.aspects = withoutNodePair(findAspects(inner, outer, orbs), moving);
    out.aspectText = aspectListLines(out.aspects, pointNames(innerOwner), pointNames(outerOwner));
}

void TypeCast::asteroidAspects(const std::vector<AspectPoint>& inner, const AsteroidSet& innerAsteroids,
                               const std::vector<AspectPoint>& outer, const AsteroidSet& outerAsteroids,
                               bool moving, const std::string& innerOwner, const std::string& outerOwner) {
    if (!engine.anyAsteroidShown()) return;
    const std::size_t first = out.aspects.size();
    appendAsteroidAspects(out.aspects, inner, innerAsteroids, outer, outerAsteroids, engine);
    for (std::size_t i = first; i < out.aspects.size(); ++i) out.aspects[i].moving = moving;
    out.aspectText = aspectListLines(out.aspects, pointNames(innerOwner), pointNames(outerOwner));
}

void TypeCast::showReading(const std::string& head, const std::string& after) {
    std::string t = head + "\n";
    for (const std::string& l : out.aspectText) t += l + "\n";
    if (out.aspectText.empty()) t += "(无相位)\n";
    out.readingText = t + after;
    engine.showText(out.readingText);
}

bool samePerson(const BirthRecord& a, const BirthRecord& b) {
    return shortName(a) == shortName(b) && a.birth == b.birth && (a.lunar != 0) == (b.lunar != 0) &&
           (a.lunar == 0 || (a.leapMonth != 0) == (b.leapMonth != 0)) &&
           fixedOffsetSeconds(a) == fixedOffsetSeconds(b) && a.zoneId == b.zoneId &&
           a.longitude == b.longitude && a.latitude == b.latitude;
}

bool castChartType(MZhanXingEx& engine, const TypeRequest& q, TypeResult& out,
                   std::string& error, const PlaceClocks& clocks) {
    out = TypeResult{};
    out.kind = q.kind;
    out.caption = kindName(q.kind);
    error.clear();
    const bool twoPeople =
        q.kind == Kind::Synastry || q.kind == Kind::Composite || q.kind == Kind::Davison;
    const bool isReturn = q.kind == Kind::SolarReturn || q.kind == Kind::LunarReturn;
    if (twoPeople && samePerson(q.a, q.b)) {
        error = "两个盘是同一个人，请选择另一个人。";
        return false;
    }
    if (isReturn && (q.year < 1600 || q.year > 2200)) {
        error = "返照年份应在1600-2200之间。";
        return false;
    }
    if (q.kind == Kind::LunarReturn && (q.month < 1 || q.month > 12)) {
        error = "返照月份应在1-12之间。";
        return false;
    }

    TypeCast c{engine, q, clocks, out, error, {}, {}, 0, 0, {}, {}, {}, {}, {}, {}, {}};
    // Person B first, so that a refusal leaves A's chart (cast next) on screen.
    if (twoPeople) {
        if (!castNamed(engine, q.b, "第二个人：", error)) {
            c.castA();
            return false;
        }
        c.pb = engine.natal();
        c.jdB = engine.jd8();
        c.speedB = speedsAt(engine, c.jdB);
        c.asteroidsB = asteroidsOf(engine);
        c.extrasB = engine.extraPoints();
    }
    if (!castNamed(engine, q.a, twoPeople ? "第一个人：" : "", error)) return false;
    c.pa = engine.natal();
    c.jdA = engine.jd8();
    c.speedA = speedsAt(engine, c.jdA);
    c.nameA = shortName(q.a);
    c.nameB = shortName(q.b);
    c.orbs = engine.aspectOrbs();
    if (isReturn && q.year < engine.gregorianMoment().year) {
        error = "返照年份应在出生年份之后。";
        return false;
    }

    switch (q.kind) {
    case Kind::Natal:
        out.outer = c.pa;
        c.aspectsWithin(c.pa, &c.speedA, true);
        return true;
    case Kind::Synastry: return castSynastry(c);
    case Kind::Composite: return castComposite(c);
    case Kind::Davison: return castDavison(c);
    case Kind::Progressed: return castProgressed(c);
    case Kind::SolarArc: return castSolarArc(c);
    case Kind::SolarReturn:
    case Kind::LunarReturn: return castReturn(c);
    }
    error = engine.errorText();
    return false;
}

}  // namespace charttypes
