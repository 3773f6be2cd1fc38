#include "astro/DateText.h"

#include <cstddef>

#include "astro/Eph0.h"

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads 1..maxDigits decimal digits at pos; -1 when there are none or too many.
long readDigits(const std::string& s, std::size_t& pos, std::size_t maxDigits) {
    const std::size_t start = pos;
    long v = 0;
    while (pos < s.size() && isDigit(s[pos])) {
        if (pos - start == maxDigits) return -1;
        v = v * 10 + (s[pos++] - '0');
    }
    return pos == start ? -1 : v;
}

std::string trimmed(const std::string& s) {
    const std::size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return std::string();
    return s.substr(a, s.find_last_not_of(" \t\r\n") - a + 1);
}

// The date part at pos; pos ends after the day.
bool readDate(const std::string& s, std::size_t& pos, DateTimeFields& d) {
    bool negative = false;
    if (pos < s.size() && (s[pos] == '-' || s[pos] == '+')) negative = s[pos++] == '-';
    const long year = readDigits(s, pos, 5);
    if (year < 0 || pos >= s.size() || s[pos++] != '-') return false;
    const long month = readDigits(s, pos, 2);
    if (month < 1 || month > 12 || pos >= s.size() || s[pos++] != '-') return false;
    const long day = readDigits(s, pos, 2);
    if (day < 1 || day > 31) return false;
    const long y = negative ? -year : year;
    if (y < -32768 || y > 32767) return false;
    d.year = static_cast<int16_t>(y);
    d.month = static_cast<int16_t>(month);
    d.day = static_cast<int16_t>(day);
    return true;
}
}  // namespace

bool parseDateText(const std::string& text, DateTimeFields& out) {
    const std::string s = trimmed(text);
    std::size_t pos = 0;
    DateTimeFields d{};
    if (!readDate(s, pos, d) || pos != s.size()) return false;
    out = d;
    return true;
}

bool parseDateTimeText(const std::string& text, DateTimeFields& out) {
    const std::string s = trimmed(text);
    std::size_t pos = 0;
    DateTimeFields d{};
    if (!readDate(s, pos, d)) return false;
    const std::size_t blanks = pos;
    while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
    if (pos == blanks) return false;
    const long hour = readDigits(s, pos, 2);
    if (hour < 0 || hour > 23 || pos >= s.size() || s[pos++] != ':') return false;
    const long minute = readDigits(s, pos, 2);
    if (minute < 0 || minute > 59 || pos != s.size()) return false;
    d.hour = static_cast<int16_t>(hour);
    d.minute = static_cast<int16_t>(minute);
    out = d;
    return true;
}

bool dateExists(const DateTimeFields& d) {
    const CivilDateTime c = civilFromJulianDay(julianDay(d.year, d.month, static_cast<double>(d.day)));
    return c.year == d.year && c.month == d.month && c.day == d.day;
}
