// The chart types of two people: synastry, composite and Davison.
#include "chart/ChartTypeSteps.h"
#include "chart/ExtraPoints.h"
#include "chart/SynastryReading.h"
#include "platform/core/Gbk.h"

namespace charttypes {

// B's bodies inside A's wheel; two births compared, nothing moves: neither 入相 nor 出相.
bool castSynastry(TypeCast& c) {
    TypeResult& out = c.out;
    out.outer = c.pa;
    out.hasInner = true;
    out.inner = c.pb.bodies;
    out.innerTitle = "合盘(内圈):" + c.nameB;
    out.captionLines = {c.nameA + "(外)", c.nameB + "(内)"};
    c.aspectsBetween(aspectPoints(c.pb), aspectPoints(c.pa), false, c.nameB + "的", c.nameA + "的");
    // Chiron and the asteroids shown: B's inside with the bodies, aspects both ways.
    c.asteroidAspects(aspectPoints(c.pb), c.asteroidsB, aspectPoints(c.pa), asteroidsOf(c.engine), false,
                      c.nameB + "的", c.nameA + "的");
    c.engine.setCaption(out.caption, out.captionLines);
    c.engine.setOverlayAsteroids(c.asteroidsB.points);
    if (!c.engine.castOverlay(out.inner, out.innerTitle, minuteText(c.q.b.birth))) {
        c.error = c.engine.errorText();
        return false;
    }
    c.showReading("合盘相位(" + c.nameB + "对" + c.nameA + "):",
                  synastryReading(c.pa, c.pb, c.nameA, c.nameB, c.orbs));
    return true;
}

// Midpoints of the two charts' points with the houses in order; no instant, no motion.
bool castComposite(TypeCast& c) {
    TypeResult& out = c.out;
    out.outer = compositeOf(c.pa, c.pb);
    if (c.q.compositeHousesFromMc) {
        // The houses of the composite MC at the mean latitude, by the chart's house system.
        double ramcOfA = 0, obliquity = 23.44;
        if (c.engine.precise()) c.engine.preciseFrame(ramcOfA, obliquity);
        const NatalPoints h = housesAtRamc(rightAscensionOf(out.outer.mc.longitude, obliquity), obliquity,
                                           (c.q.a.latitude + c.q.b.latitude) / 2.0, c.engine.settings().houseSystem);
        out.outer.asc = h.asc;
        out.outer.mc = h.mc;
        out.outer.cusps = h.cusps;
        relocate(out.outer);
    }
    out.captionLines = {c.nameA, "与" + c.nameB};
    c.aspectsWithin(out.outer, nullptr, false);
    // Chiron and the asteroids shown: the midpoints of the two people's, in the wheel, the panel
    // and the aspects.
    const AsteroidSet composite = compositeAsteroids(asteroidsOf(c.engine), c.asteroidsB);
    c.engine.setAsteroidPoints(composite.points);
    // The true node and Lilith are the midpoints of the two people's too; the Part of Fortune is
    // the composite's own, from its ascendant, Sun and Moon.
    for (int k : {kTrueNode, kLilith})
        if (c.engine.extraShown(k))
            c.engine.setExtraLongitude(k, midpoint(c.engine.extraPoints()[static_cast<std::size_t>(k)].longitude,
                                                   c.extrasB[static_cast<std::size_t>(k)].longitude));
    if (c.engine.extraShown(kFortune))
        c.engine.setExtraLongitude(kFortune, partOfFortune(out.outer.asc.longitude, out.outer.bodies[0].longitude,
                                                           out.outer.bodies[1].longitude));
    c.asteroidAspects(aspectPoints(out.outer), composite, {}, composite, false, "", "");
    c.engine.setCaption(out.caption, out.captionLines);
    c.engine.setCompositeParts({c.nameA + " " + minuteText(c.q.a.birth) + (c.q.a.lunar ? "(农历)" : ""),
                                c.nameB + " " + minuteText(c.q.b.birth) + (c.q.b.lunar ? "(农历)" : "")});
    if (!c.engine.showPoints(out.outer)) {
        c.error = c.engine.errorText();
        return false;
    }
    c.showReading("组合盘相位:");
    return true;
}

// The chart of the instant halfway between the births at the place halfway between them, read
// on the clock in force there (A's clock when no zone of that place is known).
bool castDavison(TypeCast& c) {
    TypeResult& out = c.out;
    const double mid = (c.jdA + c.jdB) / 2;
    const GeoPlace place = greatCircleMidpoint({c.q.a.longitude, c.q.a.latitude},
                                               {c.q.b.longitude, c.q.b.latitude});
    BirthRecord d = c.q.a;
    d.name = gbk::cutUtf8(c.nameA + "&" + c.nameB, BirthRecord::kNameBytes);
    d.longitude = static_cast<float>(place.longitude);
    d.latitude = static_cast<float>(place.latitude);
    d.place = "时空中点";
    const std::string zone = c.clocks.zoneOfPlace(place.longitude, place.latitude);
    if (!zone.empty()) d.zoneId = zone;
    if (!c.castOwnChart(d, mid)) return false;
    out.captionLines = {c.nameA, "与" + c.nameB, out.instantText.substr(0, 10)};
    c.engine.setCaption(out.caption, out.captionLines);
    c.engine.showPoints(out.outer);
    c.showReading("时空中点盘相位:");
    return true;
}

}  // namespace charttypes
