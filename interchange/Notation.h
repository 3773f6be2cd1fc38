// The pieces of a chart as other chart programs write them: dates, clock times, coordinates,
// UTC offsets and zone abbreviations in their usual notations, the Julian day of an instant,
// and the text encoding of a line. Plain functions; every reader returns false on anything it
// does not recognise.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace interchange {

struct CivilDate {
    int year = 0, month = 0, day = 0;
};
struct ClockTime {
    int hour = 0, minute = 0, second = 0;
};

// "27.9.1970", "27/09/1970", "1970-09-27", "1970/9/27", "1970.09.27", "19700927",
// "1970年9月27日", and month first "9/27/1970" when only that reading is a date. Years 100..9999 (a two-digit year is refused), a day the month has.
bool readDate(std::string_view text, CivilDate& d);
// "11:04", "11:04:30", "11h04", "11.04", "1104", "11:04 PM", "11时4分". Hours 0..23 (24:00 is
// refused), minutes and seconds 0..59.
bool readTime(std::string_view text, ClockTime& t);
// A latitude (`north` true) or longitude: "49n05", "49N05'30", "49n05:30", "8e11", "122w25",
// "49°05'N", "-33.8688", "151.2093E". Degrees within +-90 / +-180, east and north positive.
bool readAngle(std::string_view text, bool latitude, double& degrees);
// A UTC offset: "+08:00", "-5", "UTC+5:30", "GMT-3", "+0530", "8he00", "5hw30", "1he", "0h".
// Seconds east of UTC, within +-18 h.
bool readOffset(std::string_view text, int& seconds);
// The standard offsets of the common zone abbreviations ("CET" +1 h, "EST" -5 h, "CEST" +2 h).
// `summer` tells a summer-time abbreviation. False for an abbreviation that is unknown or names
// several offsets ("CST", "IST").
bool zoneAbbreviation(std::string_view abbreviation, int& seconds, bool& summer);

// Julian day of a UT instant of the proleptic Gregorian calendar, and back (to the second).
double julianDay(const CivilDate& d, const ClockTime& t);
bool fromJulianDay(double jd, CivilDate& d, ClockTime& t);
// Days since 1970-01-01 of a Gregorian date, and back.
int64_t daysFromCivil(const CivilDate& d);
CivilDate civilFromDays(int64_t days);
// A local clock moment moved by `seconds` (the offset taken off gives UT).
void shiftSeconds(CivilDate& d, ClockTime& t, int64_t seconds);

// One line of an imported file as UTF-8: kept when it is UTF-8, converted when it is GBK.
// False when it is neither (or holds a NUL or other control bytes besides tab).
bool lineAsUtf8(std::string_view raw, std::string& utf8);
// A file's text as UTF-8 when it starts with a UTF-16 byte-order mark (a spreadsheet's
// "Unicode text"); otherwise, or when it cannot be converted, the text unchanged.
std::string fromUtf16File(std::string_view text);
// Leading and trailing blanks off.
std::string_view trimmed(std::string_view s);

// "39n54'27" / "116e23" as the chart line writes them: degrees, letter, minutes (two digits),
// and seconds after an apostrophe when there are any.
std::string angleText(double degrees, bool latitude);
// "+08:00" (with ":SS" when there are seconds).
std::string offsetText(int seconds);

}  // namespace interchange
