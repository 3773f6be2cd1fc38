// The lines of the event and transit lists: local time "YYYY-MM-DD HH:MM" in a clock given as
// its UTC offset at each instant, then the fields, tab-separated.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "forecast/SkyEvents.h"
#include "forecast/Transits.h"

class MYiDateEx;

namespace forecast {

// Seconds east of UTC of the chosen clock at a UT instant.
using ClockOffset = std::function<int(double jdUT)>;
ClockOffset fixedOffset(int seconds);

// "YYYY-MM-DD HH:MM" of jdUT in the clock, to the nearest minute.
std::string localTimeText(double jdUT, const ClockOffset& clock);
// Julian day (UT) of local midnight starting a Gregorian date in the clock.
double localMidnight(int year, int month, int day, const ClockOffset& clock);

// "双鱼28°48′": the sign and the degrees and minutes in it (truncated).
std::string signDegreeText(double longitude);
// The Chinese month a new moon begins ("正月朔", "闰四月朔") or a full moon halves ("正月望"),
// from the calendar's dates in UTC+8.
std::string lunarMonthText(MYiDateEx& calendar, double jdUT, bool newMoon);

// The detail fields of an event after its kind (without the time and the kind).
std::vector<std::string> skyEventFields(const SkyEvent& e, MYiDateEx& calendar, const ClockOffset& clock);
// time, kind, fields, tab-separated.
std::string skyEventLine(const SkyEvent& e, MYiDateEx& calendar, const ClockOffset& clock);

// time, transiting body, aspect, natal point; with orbTimes the times it enters and leaves orb
// ("" where not found).
std::string transitLine(const TransitHit& h, const std::vector<NatalPoint>& natal, const ClockOffset& clock,
                        bool orbTimes);
// The transiting body's name ("太阳" ... "冥王星", "月亮", "升交点").
const char* bodyName(int body);

}  // namespace forecast
