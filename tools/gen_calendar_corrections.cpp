// Derives the one-day correction strings of the historical calendar era from the compiled
// historical calendar (Yuk Tung Liu's tables) and writes them, packed in the letter code, as a
// C++ source file.
//
//   gen_calendar_corrections <data folder> <output .cpp>
//
// For every new moon of the era (from the new moon of 619-01-21) the digit makes eventDay return
// the first day of the historical month that began with it; for every solar term (from the
// equinox of 1645-09-23) the day the historical calendar used where the data gives one
// (calendrical_jdn), otherwise the astronomical day. The published beginnings of both strings
// are kept as they are.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "astro/AstroConstants.h"
#include "astro/Eph0.h"
#include "calendar/Lunar.h"

namespace {
using AstroConstants::pi;

// The published beginnings of the packed strings; they bind even where a source differs.
const char* const kNewMoonHead =
    "EqoFscDcrFpmEsF2DfFideFelFpFfFfFiaipqti1ksttikptikqckstekqttgkqttgkqteksttikptikq2fjstgjqttjkq"
    "ttgkqt";
const char* const kTermHead =
    "FrcFs22AFsckF2tsDtFqEtF1posFdFgiFseFtmelpsEfhkF2anmelpFlF1ikrotcnEqEq2FfqmcDsrFor22FgFrcgDscFs"
    "22FgEe";
constexpr int kNewMoonCount = 16598;
constexpr int kTermCount = 7567;

std::vector<std::string> splitCsv(const std::string& line) {
    std::vector<std::string> f;
    std::string cur;
    for (char c : line) {
        if (c == ',') {
            f.push_back(cur);
            cur.clear();
        } else if (c != '\r') {
            cur += c;
        }
    }
    f.push_back(cur);
    return f;
}

bool readLines(const std::string& path, std::vector<std::vector<std::string>>& rows) {
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        if (!line.empty()) rows.push_back(splitCsv(line));
    }
    return true;
}

int floorDiv(int a, int b) { return static_cast<int>(std::floor(static_cast<double>(a) / b)); }

struct Derived {
    std::string digits;
    std::vector<int> headDifferences;  // positions where the data disagrees with the quoted head
    int maxOffset = 0;
};

std::string piece(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); i += 100) {
        out += "    \"" + s.substr(i, 100) + "\"";
        out += i + 100 < s.size() ? "\n" : ";\n";
    }
    return out;
}

int count(const std::string& s, char c) {
    int n = 0;
    for (char x : s) n += x == c;
    return n;
}

// Derives the digit string: digit p corrects the day low(p) of event p to hist(p).
template <typename Low, typename Hist>
bool derive(int n, const std::string& head, Low low, Hist hist, Derived& out, const char* what) {
    out.digits.assign(static_cast<size_t>(n), '0');
    for (int p = 0; p < n; ++p) {
        const int32_t D = floorInt(low(p) + 0.5) + 2451545;
        int h = 0;
        if (!hist(p, D, h)) {
            std::cerr << what << " " << p << ": no historical day near JDN " << D << "\n";
            return false;
        }
        const int off = h - D;
        if (off < -1 || off > 1) {
            std::cerr << what << " " << p << ": historical day " << h << " is " << off
                      << " days from JDN " << D << "\n";
            return false;
        }
        out.maxOffset = std::max(out.maxOffset, std::abs(off));
        const char digit = off == 1 ? '1' : off == -1 ? '2' : '0';
        if (static_cast<size_t>(p) < head.size()) {
            if (head[static_cast<size_t>(p)] != digit) out.headDifferences.push_back(p);
            out.digits[static_cast<size_t>(p)] = head[static_cast<size_t>(p)];
        } else {
            out.digits[static_cast<size_t>(p)] = digit;
        }
    }
    return true;
}
}  // namespace

// Builds the source text of calendar/tables/CalendarCorrections.cpp from the data folder; false
// with the reason on log when the data is missing or does not fit the encoding.
bool generateCalendarCorrections(const std::string& data, std::string& source, std::ostream& log) {
    std::vector<std::vector<std::string>> months, terms;
    if (!readLines(data + "/calendar/ytliu_chinese_months_-721_2200.csv", months) ||
        !readLines(data + "/calendar/ytliu_solar_terms_-721_2200.csv", terms)) {
        log << "cannot read the calendar tables under " << data << "\n";
        return false;
    }

    // First days of the historical months (JDN).
    std::set<int> firstDays;
    for (const auto& r : months) {
        if (r.size() >= 5) firstDays.insert(std::atoi(r[4].c_str()));
    }
    // Day of each solar term by (Gregorian year, index 0 = 小寒): calendrical day if given.
    std::map<std::pair<int, int>, int> termDay;
    std::map<std::pair<int, int>, bool> termCalendrical;
    for (const auto& r : terms) {
        if (r.size() < 8) continue;
        const auto key = std::make_pair(std::atoi(r[0].c_str()), std::atoi(r[1].c_str()));
        const bool cal = !r[7].empty();
        termDay[key] = std::atoi((cal ? r[7] : r[4]).c_str());
        termCalendrical[key] = cal;
    }

    const std::string nmHead = unpackCorrections(kNewMoonHead);
    const std::string tHead = unpackCorrections(kTermHead);

    Derived nm, tm;
    const bool okNm = derive(
        kNewMoonCount, nmHead,
        [](int p) { return newMoonLow((p - kNewMoonPositionOffset) * 2 * pi); },
        [&](int, int D, int& h) {
            for (int c : {D, D - 1, D + 1}) {
                if (firstDays.count(c)) {
                    h = c;
                    return true;
                }
            }
            return false;
        },
        nm, "new moon");
    int calendricalTerms = 0;
    const bool okTm = derive(
        kTermCount, tHead, [](int p) { return solarTermLow((p - kTermPositionOffset) * pi / 12); },
        [&](int p, int, int& h) {
            // Term k from the 1999 March equinox (index 5 of the Gregorian year 1999).
            const int k = p - kTermPositionOffset;
            const auto key = std::make_pair(1999 + floorDiv(k + 5, 24), ((k + 5) % 24 + 24) % 24);
            const auto it = termDay.find(key);
            if (it == termDay.end()) return false;
            calendricalTerms += termCalendrical[key];
            h = it->second;
            return true;
        },
        tm, "solar term");
    if (!okNm || !okTm) return false;

    const std::string nmPacked =
        std::string(kNewMoonHead) + packCorrections(nm.digits.substr(nmHead.size()));
    const std::string tPacked =
        std::string(kTermHead) + packCorrections(tm.digits.substr(tHead.size()));
    if (unpackCorrections(nmPacked) != nm.digits || unpackCorrections(tPacked) != tm.digits) {
        log << "packing does not round-trip\n";
        return false;
    }

    std::ostringstream src;
    src << "// Generated by tools/gen_calendar_corrections.cpp; do not edit.\n"
           "//\n"
           "// One-day corrections of the historical calendar era, one digit per event ('0' none,\n"
           "// '1' one day later, '2' one day earlier than the low-precision formulas), packed in\n"
           "// the letter code of unpackCorrections.\n"
           "// Source: Yuk Tung Liu's compiled Chinese calendar (from Zhang Peiyu's tables, his\n"
           "// corrections and DE431/DE441), GPL-3.0: ytliu_chinese_months_-721_2200.csv (first\n"
           "// days of the months) and ytliu_solar_terms_-721_2200.csv.\n"
           "// New moons: "
        << kNewMoonCount << " digits from the new moon of 619-01-21 (JDN 1947168), "
        << count(nm.digits, '1') << " ones, " << count(nm.digits, '2') << " twos, "
        << nmPacked.size()
        << " packed characters.\n"
           "// Solar terms: "
        << kTermCount << " digits from the equinox of 1645-09-23 (JDN 2322150), "
        << count(tm.digits, '1') << " ones, " << count(tm.digits, '2') << " twos, "
        << tPacked.size()
        << " packed characters.\n"
           "// The first 100 packed characters of each string are the published ones; the data\n"
           "// differs from them at "
        << nm.headDifferences.size() << " new-moon and " << tm.headDifferences.size()
        << " solar-term positions (two sources of an event\n"
           "// seconds after midnight), where the published digit is kept.\n"
           "// Truncation: the solar-term data gives the historical day only for 1645-1733 and "
           "six\n"
           "// dates of 1912-1928 ("
        << calendricalTerms
        << " terms); for 1734-1911 the astronomical day is encoded, so\n"
           "// Qing-calendar term days that differ from the astronomical day by one day are not\n"
           "// reproduced. Digits of events from 1960 on are never read (modern era).\n"
           "#include \"calendar/Lunar.h\"\n\n"
           "const char* const NewMoonCorrections =\n"
        << piece(nmPacked) << "\nconst char* const TermCorrections =\n"
        << piece(tPacked);

    source = src.str();
    log << "new moons: " << count(nm.digits, '1') << " ones, " << count(nm.digits, '2')
        << " twos, packed " << nmPacked.size() << ", head differences:";
    for (int p : nm.headDifferences) log << ' ' << p;
    log << "\nsolar terms: " << count(tm.digits, '1') << " ones, " << count(tm.digits, '2')
        << " twos, packed " << tPacked.size() << ", calendrical days " << calendricalTerms
        << ", head differences:";
    for (int p : tm.headDifferences) log << ' ' << p;
    log << "\n";
    return true;
}

#ifndef TARMIN_GEN_NO_MAIN
int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: gen_calendar_corrections <data folder> <output .cpp>\n";
        return 2;
    }
    std::string source;
    if (!generateCalendarCorrections(argv[1], source, std::cerr)) return 1;
    std::ofstream out(argv[2], std::ios::binary);
    out << source;
    if (!out) {
        std::cerr << "cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
#endif
