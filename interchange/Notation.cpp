// Dates, times, coordinates and offsets in the notations chart programs write.
#include "interchange/Notation.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>


namespace interchange {
namespace {

bool digit(char c) { return c >= '0' && c <= '9'; }

// The runs of digits of `s` (at most `most` of them, each at most 9 digits), and the text
// between them in `separators`.
bool numbers(std::string_view s, std::vector<long>& out, std::vector<std::string>& separators, std::size_t most) {
    std::string sep;
    for (std::size_t i = 0; i < s.size();) {
        if (!digit(s[i])) {
            sep += s[i++];
            continue;
        }
        std::size_t j = i;
        while (j < s.size() && digit(s[j])) ++j;
        if (j - i > 9 || out.size() >= most) return false;
        separators.push_back(sep);
        sep.clear();
        out.push_back(std::strtol(std::string(s.substr(i, j - i)).c_str(), nullptr, 10));
        i = j;
    }
    separators.push_back(sep);
    return true;
}

bool leapYear(long y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

bool validDate(long y, long m, long d) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    // A two-digit year ("27.9.70") names no century: refused rather than taken as year 70.
    if (y < 100 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
    return d <= days[m - 1] + (m == 2 && leapYear(y) ? 1 : 0);
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Reads a decimal number "12", "12.5", "-3.25" filling all of `s`.
bool decimal(std::string_view s, double& v) {
    if (s.empty() || s.size() > 40) return false;
    std::size_t i = 0;
    if (s[0] == '+' || s[0] == '-') ++i;
    bool dot = false, any = false;
    for (std::size_t k = i; k < s.size(); ++k) {
        if (digit(s[k])) any = true;
        else if (s[k] == '.' && !dot) dot = true;
        else return false;
    }
    if (!any) return false;
    v = std::strtod(std::string(s).c_str(), nullptr);
    return std::isfinite(v);
}
}  // namespace

std::string_view trimmed(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

bool readDate(std::string_view text, CivilDate& d) {
    text = trimmed(text);
    // A calendar letter after the date: 'g' Gregorian, 'j' Julian (converted).
    bool julian = false;
    if (!text.empty() && (text.back() == 'g' || text.back() == 'G' || text.back() == 'j' || text.back() == 'J')) {
        julian = text.back() == 'j' || text.back() == 'J';
        text.remove_suffix(1);
        if (text.empty() || !digit(text.back())) return false;
    }
    std::vector<long> n;
    std::vector<std::string> sep;
    if (text.empty() || !numbers(text, n, sep, 3)) return false;
    long y = 0, m = 0, dd = 0;
    if (n.size() == 1 && text.size() == 8 && sep.front().empty() && sep.back().empty()) {
        y = n[0] / 10000, m = n[0] / 100 % 100, dd = n[0] % 100;
    } else if (n.size() == 3) {
        const std::string& s1 = sep[1];
        const std::string& s2 = sep[2];
        const bool chinese = s1 == "年" && s2 == "月" && (sep[3].empty() || sep[3] == "日");
        const bool plain = sep[0].empty() && sep[3].empty() && s1 == s2 && (s1 == "." || s1 == "/" || s1 == "-");
        if (!chinese && !plain) return false;
        // Year first when the first number has more than two digits (1970-09-27), otherwise day
        // first (27.9.1970), as European programs write.
        const std::size_t firstDigits = text.find_first_not_of("0123456789");
        if (firstDigits > 2 || chinese) y = n[0], m = n[1], dd = n[2];
        else dd = n[0], m = n[1], y = n[2];
        // An American spreadsheet's month first ("9/27/1970"): taken when the day-first reading
        // has no such month and the other one has; an ambiguous date stays day first.
        if (firstDigits <= 2 && !chinese && s1 == "/" && m > 12 && dd <= 12) std::swap(m, dd);
    } else {
        return false;
    }
    if (julian) {
        static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        if (y < 100 || y > 9999 || m < 1 || m > 12 || dd < 1 || dd > days[m - 1] + (m == 2 && y % 4 == 0 ? 1 : 0))
            return false;
        // Day number of the Julian calendar date, then its Gregorian date.
        const long a = (14 - m) / 12, yy = y + 4800 - a, mm = m + 12 * a - 3;
        const long jdn = dd + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - 32083;
        d = civilFromDays(jdn - 2440588);
        return true;
    }
    if (!validDate(y, m, dd)) return false;
    d = {static_cast<int>(y), static_cast<int>(m), static_cast<int>(dd)};
    return true;
}

bool readTime(std::string_view text, ClockTime& t) {
    text = trimmed(text);
    int add = 0;
    bool meridiem = false;
    if (text.size() > 2) {
        const std::string_view tail = text.substr(text.size() - 2);
        if (equalsNoCase(tail, "am") || equalsNoCase(tail, "pm")) {
            meridiem = true;
            add = equalsNoCase(tail, "pm") ? 12 : 0;
            text = trimmed(text.substr(0, text.size() - 2));
        }
    }
    std::vector<long> n;
    std::vector<std::string> sep;
    if (text.empty() || !numbers(text, n, sep, 3) || !sep.front().empty()) return false;
    long h = 0, m = 0, s = 0;
    if (n.size() == 1 && text.size() == 4 && sep.back().empty()) {
        h = n[0] / 100, m = n[0] % 100;
    } else if (n.size() >= 2) {
        const std::string& s1 = sep[1];
        if (!(s1 == ":" || s1 == "h" || s1 == "H" || s1 == "." || s1 == "时" || s1 == "點" || s1 == "点")) return false;
        if (n.size() == 3 && !(sep[2] == ":" || sep[2] == "m" || sep[2] == "'" || sep[2] == "分")) return false;
        const std::string& last = sep.back();
        if (!(last.empty() || last == "分" || last == "秒" || last == "m" || last == "s")) return false;
        h = n[0], m = n[1], s = n.size() == 3 ? n[2] : 0;
    } else {
        return false;
    }
    if (meridiem) {
        if (h < 1 || h > 12) return false;
        h = h % 12 + add;
    }
    if (h > 23 || m > 59 || s > 59) return false;
    t = {static_cast<int>(h), static_cast<int>(m), static_cast<int>(s)};
    return true;
}

bool readAngle(std::string_view text, bool latitude, double& degrees) {
    text = trimmed(text);
    if (text.empty() || text.size() > 40) return false;
    const char plus = latitude ? 'n' : 'e';
    const char minus = latitude ? 's' : 'w';
    const double limit = latitude ? 90.0 : 180.0;
    // Signed decimal degrees, with an optional hemisphere letter at the end.
    std::string_view body = text;
    int sign = 1;
    const char lastLower = static_cast<char>(std::tolower(static_cast<unsigned char>(body.back())));
    bool lettered = false;
    if (lastLower == plus || lastLower == minus) {
        sign = lastLower == minus ? -1 : 1;
        body = trimmed(body.substr(0, body.size() - 1));
        lettered = true;
    }
    double v = 0;
    if (decimal(body, v) && !(lettered && (body[0] == '-' || body[0] == '+'))) {
        v *= sign;
        if (std::fabs(v) > limit) return false;
        degrees = v;
        return true;
    }
    // Degrees, a hemisphere letter between or after, minutes and seconds: 49n05, 49N05'30,
    // 49n05:30, 49°05'30"N, 8e11. A sign besides the letter says the same twice: refused.
    if (text.find_first_of("+-") != std::string_view::npos) return false;
    std::string lower;
    for (char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    int hemi = 0;
    std::string cleaned;
    for (std::size_t i = 0; i < lower.size(); ++i) {
        const char c = lower[i];
        if (c == plus || c == minus) {
            if (hemi != 0) return false;
            hemi = c == minus ? -1 : 1;
            cleaned += ' ';
        } else if (digit(c) || c == '.') {
            cleaned += c;
        } else {
            cleaned += ' ';
        }
    }
    if (hemi == 0) return false;
    std::vector<double> parts;
    std::size_t i = 0;
    while (i < cleaned.size()) {
        if (cleaned[i] == ' ') {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < cleaned.size() && cleaned[j] != ' ') ++j;
        double p = 0;
        if (!decimal(std::string_view(cleaned).substr(i, j - i), p) || parts.size() >= 3) return false;
        parts.push_back(p);
        i = j;
    }
    if (parts.empty() || (parts.size() > 1 && (parts[1] >= 60 || parts[1] < 0)) ||
        (parts.size() > 2 && (parts[2] >= 60 || parts[2] < 0)))
        return false;
    v = parts[0] + (parts.size() > 1 ? parts[1] / 60 : 0) + (parts.size() > 2 ? parts[2] / 3600 : 0);
    if (v > limit) return false;
    degrees = hemi * v;
    return true;
}

bool readOffset(std::string_view text, int& seconds) {
    text = trimmed(text);
    if (text.size() >= 3 && (equalsNoCase(text.substr(0, 3), "utc") || equalsNoCase(text.substr(0, 3), "gmt"))) {
        text = trimmed(text.substr(3));
        if (text.empty()) {
            seconds = 0;
            return true;
        }
    }
    if (text.empty() || text.size() > 16) return false;
    long h = 0, m = 0, s = 0;
    int sign = 0;
    std::vector<long> n;
    std::vector<std::string> sep;
    // The chart line's notation: hours, 'h', 'e' or 'w', minutes ("1he", "5hw30", "0h00").
    const std::size_t hpos = text.find_first_of("hH");
    if (hpos != std::string_view::npos && hpos > 0 && digit(text[0])) {
        std::string_view rest = text.substr(hpos + 1);
        if (!rest.empty() && (rest[0] == 'e' || rest[0] == 'E' || rest[0] == 'w' || rest[0] == 'W')) {
            sign = (rest[0] == 'w' || rest[0] == 'W') ? -1 : 1;
            rest.remove_prefix(1);
        } else if (!rest.empty() && (rest.back() == 'e' || rest.back() == 'E' || rest.back() == 'w' || rest.back() == 'W')) {
            // The letter after the minutes: "0h40e".
            sign = (rest.back() == 'w' || rest.back() == 'W') ? -1 : 1;
            rest.remove_suffix(1);
        } else {
            sign = 1;
        }
        if (!numbers(text.substr(0, hpos), n, sep, 1) || n.size() != 1 || !sep.back().empty()) return false;
        h = n[0];
        if (!rest.empty()) {
            std::vector<long> mm;
            std::vector<std::string> ms;
            if (!numbers(rest, mm, ms, 1) || mm.size() != 1 || !ms.front().empty() || !ms.back().empty() ||
                rest.size() > 2)
                return false;
            m = mm[0];
        }
    } else {
        if (text[0] != '+' && text[0] != '-') {
            if (!digit(text[0])) return false;
            sign = 1;
        } else {
            sign = text[0] == '-' ? -1 : 1;
            text.remove_prefix(1);
        }
        if (!numbers(text, n, sep, 3) || n.empty() || !sep.front().empty() || !sep.back().empty()) return false;
        for (std::size_t k = 1; k + 1 < sep.size(); ++k)
            if (sep[k] != ":") return false;
        if (n.size() == 1 && text.size() == 4) h = n[0] / 100, m = n[0] % 100;
        else if (n.size() == 1 && text.size() <= 2) h = n[0];
        else if (n.size() >= 2 && text.find('.') == std::string_view::npos) h = n[0], m = n[1], s = n.size() == 3 ? n[2] : 0;
        else return false;
    }
    if (h > 18 || m > 59 || s > 59) return false;
    const long total = sign * (h * 3600 + m * 60 + s);
    if (total <= -18 * 3600 || total >= 18 * 3600) return false;
    seconds = static_cast<int>(total);
    return true;
}

bool zoneAbbreviation(std::string_view a, int& seconds, bool& summer) {
    struct Entry {
        const char* name;
        int minutes;
        bool summer;
    };
    static const Entry table[] = {
        {"UT", 0, false},     {"UTC", 0, false},    {"GMT", 0, false},    {"WET", 0, false},
        {"WEST", 60, true},   {"BST", 60, true},    {"CET", 60, false},   {"MET", 60, false},
        {"MEZ", 60, false},   {"CEST", 120, true},  {"MEST", 120, true},  {"MESZ", 120, true},
        {"EET", 120, false},  {"EEST", 180, true},  {"MSK", 180, false},  {"MSD", 240, true},
        {"JST", 540, false},  {"KST", 540, false},  {"HKT", 480, false},  {"AWST", 480, false},
        {"ACST", 570, false}, {"AEST", 600, false}, {"AEDT", 660, true},  {"NZST", 720, false},
        {"NZDT", 780, true},  {"EST", -300, false}, {"EDT", -240, true},  {"CDT", -300, true},
        {"MST", -420, false}, {"MDT", -360, true},  {"PST", -480, false}, {"PDT", -420, true},
        {"AKST", -540, false}, {"AKDT", -480, true}, {"HST", -600, false}, {"LMT", 0, false},
    };
    for (const Entry& e : table) {
        if (!equalsNoCase(a, e.name) || std::strcmp(e.name, "LMT") == 0) continue;
        seconds = e.minutes * 60;
        summer = e.summer;
        return true;
    }
    return false;
}

}  // namespace interchange
