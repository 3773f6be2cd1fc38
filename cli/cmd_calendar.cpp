// Calendar commands of tarmin-cli: Gregorian <-> lunar conversion, the solar terms of a year and
// the four stem-branch pillars. Dates are UTC+8 civil dates with astronomical years.
#include <array>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

#include "cli/ArgText.h"
#include "cli/Cli.h"
#include "astro/DateText.h"
#include "astro/Eph0.h"
#include "calendar/Yidateex.h"

namespace {
constexpr std::array<const char*, 10> kStems = {"癸", "甲", "乙", "丙", "丁",
                                                "戊", "己", "庚", "辛", "壬"};
constexpr std::array<const char*, 12> kBranches = {"亥", "子", "丑", "寅", "卯", "辰",
                                                   "巳", "午", "未", "申", "酉", "戌"};
constexpr int kMinYear = -4713;
constexpr int kMaxYear = 9999;

std::string trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return "";
    const size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

// "YYYY-MM-DD" (astronomical year, optional sign) within the calendar's years.
bool parseDate(const std::string& text, DateTimeFields& d) {
    return parseDateText(text, d) && d.year >= kMinYear && d.year <= kMaxYear;
}

// "YYYY-MM-DD HH:MM" within the calendar's years.
bool parseDateTime(const std::string& text, DateTimeFields& d) {
    return parseDateTimeText(text, d) && d.year >= kMinYear && d.year <= kMaxYear;
}

std::string formatDate(const DateTimeFields& d) {
    char buf[32];
    if (d.year < 0)
        std::snprintf(buf, sizeof buf, "-%04d-%02d-%02d", -d.year, d.month, d.day);
    else
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buf;
}

std::string formatDateTime(const DateTimeFields& d) {
    char buf[16];
    std::snprintf(buf, sizeof buf, " %02d:%02d", d.hour, d.minute);
    return formatDate(d) + buf;
}

const char* const kBadDate = "日期格式错误或日期不存在";

// One Gregorian -> lunar conversion; false with the message when the date is refused.
bool lunarLine(MYiDateEx& cal, const std::string& input, std::string& out, std::string& error) {
    DateTimeFields g;
    if (!parseDate(input, g) || !cal.isValidDate(g)) {
        error = kBadDate;
        return false;
    }
    DateTimeFields l;
    const bool leap = cal.gregorianToLunar(g, l);
    std::ostringstream s;
    s << formatDate(g) << '\t' << l.year << ' ' << l.month << ' ' << l.day << ' ' << (leap ? 1 : 0);
    out = s.str();
    return true;
}

bool gregorianLine(MYiDateEx& cal, const std::vector<std::string>& f, std::string& out,
                   std::string& error) {
    cli::LunarDateArgs a;
    if (!cli::readLunarDate(f, kMinYear, kMaxYear, a)) {
        error = kBadDate;
        return false;
    }
    // Every field is in range now, so the 16-bit fields take it whole.
    const DateTimeFields l{static_cast<int16_t>(a.year), static_cast<int16_t>(a.month),
                           static_cast<int16_t>(a.day), 0, 0};
    DateTimeFields g;
    if (!cal.lunarToGregorian(l, a.leap == 1, g, error)) return false;
    std::ostringstream s;
    s << a.year << ' ' << a.month << ' ' << a.day << ' ' << a.leap << '\t' << formatDate(g);
    out = s.str();
    return true;
}

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> w;
    std::string x;
    while (in >> x) w.push_back(x);
    return w;
}

int runLunar(const cli::Args& args);
int runGregorian(const cli::Args& args);
int runTerms(const cli::Args& args);
int runPillars(const cli::Args& args);

const cli::Command kLunar{"lunar", "lunar [YYYY-MM-DD]",
                          "Gregorian date -> lunar year, month, day, leap (stdin when no date)",
                          runLunar};
const cli::Command kGregorian{"gregorian", "gregorian [YEAR MONTH DAY LEAP]",
                              "lunar date -> Gregorian date (stdin when no date)", runGregorian};
const cli::Command kTerms{"terms", "terms YEAR", "the 24 solar terms of a year (UTC+8)", runTerms};
const cli::Command kPillars{"pillars", "pillars \"YYYY-MM-DD HH:MM\"",
                            "sexagenary numbers and names of year, month, day and hour",
                            runPillars};

int runLunar(const cli::Args& args) {
    MYiDateEx cal;
    std::string out, error;
    if (args.size() == 1) {
        if (!lunarLine(cal, args[0], out, error)) {
            std::cerr << error << '\n';
            return 1;
        }
        std::cout << out << '\n';
        return 0;
    }
    if (!args.empty()) return cli::usageError(kLunar);
    std::string line;
    while (std::getline(std::cin, line)) {
        if (trim(line).empty()) continue;
        if (lunarLine(cal, line, out, error)) {
            std::cout << out << '\n';
        } else {
            std::cerr << error << '\n';
            std::cout << trim(line) << "\terror\n";
        }
    }
    return 0;
}

int runGregorian(const cli::Args& args) {
    MYiDateEx cal;
    std::string out, error;
    if (!args.empty()) {
        if (args.size() != 4) return cli::usageError(kGregorian);
        if (!gregorianLine(cal, args, out, error)) {
            std::cerr << error << '\n';
            return 1;
        }
        std::cout << out << '\n';
        return 0;
    }
    std::string line;
    while (std::getline(std::cin, line)) {
        const auto w = words(line);
        if (w.empty()) continue;
        if (gregorianLine(cal, w, out, error)) {
            std::cout << out << '\n';
        } else {
            std::cerr << error << '\n';
            std::cout << trim(line) << "\terror\n";
        }
    }
    return 0;
}

int runTerms(const cli::Args& args) {
    int y = 0;
    if (args.size() != 1 || !cli::readWhole(args[0], y)) return cli::usageError(kTerms);
    if (y < kMinYear || y > kMaxYear) {
        std::cerr << "年份超出范围 (" << kMinYear << " .. " << kMaxYear << ")\n";
        return 1;
    }
    MYiDateEx cal;
    for (const auto& t : cal.yearSolarTerms(y))
        std::cout << t.index << '\t' << SolarTermNames[t.index] << '\t' << formatDateTime(t.when)
                  << '\n';
    return 0;
}

int runPillars(const cli::Args& args) {
    if (args.size() != 1) return cli::usageError(kPillars);
    MYiDateEx cal;
    DateTimeFields d;
    if (!parseDateTime(args[0], d) || !cal.isValidDate(d)) {
        std::cerr << kBadDate << '\n';
        return 1;
    }
    const auto p = cal.stemBranchPillars(d, cal.toJulianDay(d));
    std::cout << p[0] << ' ' << p[1] << ' ' << p[2] << ' ' << p[3];
    for (int n : p) std::cout << ' ' << kStems[n % 10] << kBranches[n % 12];
    std::cout << '\n';
    return 0;
}
}  // namespace

TARMIN_CLI_COMMAND(calendarLunar, kLunar.name, kLunar.usage, kLunar.summary, kLunar.run);
TARMIN_CLI_COMMAND(calendarGregorian, kGregorian.name, kGregorian.usage, kGregorian.summary,
                   kGregorian.run);
TARMIN_CLI_COMMAND(calendarTerms, kTerms.name, kTerms.usage, kTerms.summary, kTerms.run);
TARMIN_CLI_COMMAND(calendarPillars, kPillars.name, kPillars.usage, kPillars.summary, kPillars.run);
