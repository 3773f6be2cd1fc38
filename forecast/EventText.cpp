#include "forecast/EventText.h"

#include <cmath>
#include <cstdio>

#include "astro/Eph0.h"
#include "calendar/Yidateex.h"
#include "chart/XiangweiList.h"
#include "chart/Zhanxing.h"

namespace forecast {

ClockOffset fixedOffset(int seconds) {
    return [seconds](double) { return seconds; };
}

std::string localTimeText(double jdUT, const ClockOffset& clock) {
    const double local = jdUT + clock(jdUT) / 86400.0;
    // Whole minutes counted from JD 0 (midnight-based), then the calendar date of that minute.
    const double minutes = std::floor((local + 0.5) * 1440 + 0.5);
    const double dayStart = std::floor(minutes / 1440);
    const int minuteOfDay = static_cast<int>(minutes - dayStart * 1440);
    const CivilDateTime c = civilFromJulianDay(dayStart);  // noon of that civil day
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d", c.year, c.month, c.day, minuteOfDay / 60,
                  minuteOfDay % 60);
    return buf;
}

double localMidnight(int year, int month, int day, const ClockOffset& clock) {
    const double local = julianDay(year, month, day);  // 0h of the date
    double jd = local - clock(local) / 86400.0;
    jd = local - clock(jd) / 86400.0;  // the offset in force at that instant
    return jd;
}

std::string signDegreeText(double longitude) {
    double l = std::fmod(longitude, 360.0);
    if (l < 0) l += 360;
    const int sign = static_cast<int>(l / 30) % 12;
    const double in = l - 30.0 * sign;
    int deg = static_cast<int>(in);
    int min = static_cast<int>((in - deg) * 60);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d°%02d′", deg, min);
    return std::string(SignNames[static_cast<std::size_t>(sign)]) + buf;
}

std::string lunarMonthText(MYiDateEx& calendar, double jdUT, bool newMoon) {
    // The month begun by a new moon holds the day after it, whichever side of midnight the
    // calendar puts the new moon.
    const double jd8 = jdUT + 8.0 / 24 + (newMoon ? 1 : 0);
    const CivilDateTime c = civilFromJulianDay(jd8);
    DateTimeFields g{static_cast<int16_t>(c.year), static_cast<int16_t>(c.month), static_cast<int16_t>(c.day), 12, 0};
    DateTimeFields lunar;
    const bool leap = calendar.gregorianToLunar(g, lunar);
    std::string s = leap ? "闰" : "";
    s += lunar.month == 1 ? std::string("正") : calendar.chineseNumeral(lunar.month);
    s += newMoon ? "月朔" : "月望";
    return s;
}

const char* bodyName(int body) { return bodyInfo(body).name; }

std::vector<std::string> skyEventFields(const SkyEvent& e, MYiDateEx& calendar, const ClockOffset& clock) {
    switch (e.kind) {
    case SkyKind::Ingress:
        return {bodyName(e.body), SignNames[static_cast<std::size_t>(e.sign)]};
    case SkyKind::Station:
        return {bodyName(e.body), e.retrograde ? "逆" : "顺"};
    case SkyKind::NewMoon:
    case SkyKind::FullMoon:
        return {signDegreeText(e.longitude), lunarMonthText(calendar, e.jd, e.kind == SkyKind::NewMoon)};
    case SkyKind::SolarEclipse:
    case SkyKind::LunarEclipse:
        return {eclipseKindName(e.eclipse)};
    case SkyKind::SolarTerm:
        return {SolarTermNames[static_cast<std::size_t>(e.term)]};
    case SkyKind::VoidMoon: {
        std::vector<std::string> f{localTimeText(e.endJd, clock), SignNames[static_cast<std::size_t>(e.sign)]};
        if (e.lastBody >= 0)
            f.push_back(std::string("月亮") + aspectKindName(e.lastKind) + bodyName(e.lastBody));
        return f;
    }
    }
    return {};
}

std::string skyEventLine(const SkyEvent& e, MYiDateEx& calendar, const ClockOffset& clock) {
    std::string s = localTimeText(e.jd, clock) + "\t" + skyKindName(e.kind);
    for (const std::string& f : skyEventFields(e, calendar, clock)) s += "\t" + f;
    return s;
}

std::string transitLine(const TransitHit& h, const std::vector<NatalPoint>& natal, const ClockOffset& clock,
                        bool orbTimes) {
    std::string s = localTimeText(h.jd, clock) + "\t" + bodyName(h.body) + "\t" + aspectKindName(h.kind) + "\t" +
                    natal[static_cast<std::size_t>(h.natal)].name;
    if (orbTimes) {
        s += "\t" + (std::isnan(h.enters) ? std::string() : localTimeText(h.enters, clock));
        s += "\t" + (std::isnan(h.leaves) ? std::string() : localTimeText(h.leaves, clock));
    }
    return s;
}

}  // namespace forecast
