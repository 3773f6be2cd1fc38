// gen_planet_series <data folder> <output .cpp>
// gen_planet_series --precise <data folder> <output .cpp>
//
// The second form writes astro/tables/PlanetSeriesPrecise.cpp, the fuller series of the precise
// mode (see writePrecise). The first writes astro/tables/PlanetSeriesTable.cpp from the published VSOP87 version D files
// (vsop87d/VSOP87D.ear ... VSOP87D.nep). For every body, coordinate (L, B, R) and power of tau
// it keeps the largest terms of the published sub-series, in the counts of kTermCounts below,
// ordered by decreasing amplitude. (The files list the terms nearly, not strictly, by decreasing
// amplitude: a stable sort by amplitude comes first, so the first n stored terms of every
// sub-series are its n largest and equal amplitudes keep the file order.) Amplitudes are written as the file's decimal
// digits shifted by the body's scale (exact, no rounding), phases and frequencies as printed in
// the file, so the output is byte-for-byte reproducible.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kBodies = 8;
constexpr int kBlock = 6600;
const char* const kFiles[kBodies] = {"ear", "mer", "ven", "mar", "jup", "sat", "ura", "nep"};
const char* const kNames[kBodies] = {"Earth",   "Mercury", "Venus",  "Mars",
                                     "Jupiter", "Saturn",  "Uranus", "Neptune"};
// Power of ten of each body's amplitude scale (1e10 Earth, 1e9 inner, 1e8 outer planets).
constexpr int kScaleExp[kBodies] = {10, 9, 9, 9, 8, 8, 8, 8};

// Terms kept per body, coordinate L/B/R, power tau^0..tau^5.
constexpr int kTermCounts[kBodies][3][6] = {
    {{186, 114, 60, 8, 4, 4}, {23, 3, 1, 0, 0, 0}, {236, 142, 85, 5, 9, 2}},
    {{141, 89, 17, 10, 9, 2}, {73, 21, 12, 9, 7, 2}, {118, 64, 13, 9, 5, 0}},
    {{79, 39, 17, 4, 4, 3}, {36, 21, 4, 4, 4, 1}, {87, 37, 14, 3, 1, 0}},
    {{192, 144, 87, 32, 14, 9}, {44, 28, 8, 5, 3, 2}, {212, 171, 94, 28, 12, 4}},
    {{161, 120, 131, 65, 26, 7}, {42, 42, 36, 18, 8, 1}, {174, 144, 179, 93, 45, 9}},
    {{262, 200, 180, 77, 35, 17}, {68, 63, 47, 32, 15, 6}, {355, 324, 242, 157, 64, 28}},
    {{173, 99, 48, 30, 5, 1}, {35, 26, 12, 5, 1, 0}, {275, 170, 92, 51, 11, 0}},
    {{56, 24, 7, 4, 2, 1}, {19, 15, 5, 1, 1, 0}, {71, 21, 14, 1, 0, 0}},
};

struct Term {
    std::string a, p, f;  // amplitude (file units), phase (rad), frequency (rad / millennium)
};
using SubSeries = std::vector<Term>;

// Moves the decimal point of a plain decimal literal k places to the right, keeping every digit.
std::string shiftDecimal(const std::string& s, int k) {
    std::string sign;
    std::string body = s;
    if (!body.empty() && (body[0] == '-' || body[0] == '+')) {
        if (body[0] == '-') sign = "-";
        body.erase(0, 1);
    }
    const auto dot = body.find('.');
    std::string ip = dot == std::string::npos ? body : body.substr(0, dot);
    std::string fp = dot == std::string::npos ? "" : body.substr(dot + 1);
    while (static_cast<int>(fp.size()) < k) fp += '0';
    ip += fp.substr(0, k);
    fp = fp.substr(k);
    ip.erase(0, std::min(ip.find_first_not_of('0'), ip.size() - 1));
    while (!fp.empty() && fp.back() == '0') fp.pop_back();
    return sign + ip + (fp.empty() ? ".0" : "." + fp);
}

// Reads one VSOP87D file: series[c][i] for coordinate c (0 L, 1 B, 2 R) and power i.
bool readVsop(const std::string& path, std::array<std::array<SubSeries, 6>, 3>& series) {
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    int c = -1, i = -1;
    while (std::getline(in, line)) {
        if (line.find("VSOP87") != std::string::npos) {
            const auto v = line.find("VARIABLE");
            const auto t = line.find("*T**");
            if (v == std::string::npos || t == std::string::npos) return false;
            c = std::stoi(line.substr(v + 8, 3)) - 1;
            i = std::stoi(line.substr(t + 4, 2));
            if (c < 0 || c > 2 || i < 0 || i > 5) return false;
            continue;
        }
        std::istringstream ls(line);
        std::vector<std::string> tok;
        for (std::string w; ls >> w;) tok.push_back(w);
        if (tok.empty()) continue;
        if (c < 0 || tok.size() < 5) return false;
        const size_t n = tok.size();
        series[c][i].push_back({tok[n - 3], tok[n - 2], tok[n - 1]});
    }
    return c >= 0;
}

}  // namespace

// The fuller table of the precise mode (PlanetSeriesPrecise.cpp): every term whose amplitude
// times |tau|^i at |tau| = 0.4 (the years 1600 and 2400) reaches kPreciseFloor radians (L, B) or
// kPreciseFloor times the mean distance (R); half that floor for the Earth, whose errors enter
// every geocentric place. Written as one run of (A, P, F) triples after the start indices.
constexpr double kPreciseFloor = 2e-9;
constexpr double kPreciseTau = 0.4;
constexpr double kMeanDistance[kBodies] = {1, 0.39, 0.72, 1.52, 5.2, 9.5, 19.2, 30.1};

int writePrecise(const std::string& dataDir, const char* outPath) {
    std::ostringstream terms;
    std::array<std::array<int32_t, 19>, kBodies> starts{};
    int32_t pos = 0;
    std::string counts;
    for (int b = 0; b < kBodies; ++b) {
        std::array<std::array<SubSeries, 6>, 3> series;
        const std::string path = dataDir + "/vsop87d/VSOP87D." + kFiles[b];
        if (!readVsop(path, series)) {
            std::fprintf(stderr, "gen_planet_series: cannot read %s\n", path.c_str());
            return 1;
        }
        terms << "    // " << kNames[b] << "\n";
        int kept = 0, all = 0;
        for (int c = 0; c < 3; ++c) {
            for (int i = 0; i < 6; ++i) {
                starts[b][6 * c + i] = pos;
                std::stable_sort(series[c][i].begin(), series[c][i].end(), [](const Term& x, const Term& y) {
                    return std::fabs(std::stod(x.a)) > std::fabs(std::stod(y.a));
                });
                const double floor = kPreciseFloor * (b == 0 ? 0.5 : 1.0) * (c == 2 ? kMeanDistance[b] : 1.0);
                all += static_cast<int>(series[c][i].size());
                for (const Term& t : series[c][i]) {
                    if (std::fabs(std::stod(t.a)) * std::pow(kPreciseTau, i) < floor) break;
                    terms << "    " << t.a << ", " << t.p << ", " << t.f << ",\n";
                    pos += 3;
                    ++kept;
                }
            }
        }
        starts[b][18] = pos;
        counts += std::string("\n//   ") + kNames[b] + " " + std::to_string(kept) + " of " +
                  std::to_string(all);
    }
    std::ostringstream out;
    out << "// Generated by tools/gen_planet_series --precise from vsop87d/VSOP87D.* of the shared data\n"
           "// folder (VSOP87 version D, Bretagnon & Francou 1988, A&A 202, 309; CDS VI/81). Do not edit.\n"
           "//\n"
           "// The fuller series of the precise mode: every term that can reach 2e-9 rad (1e-9 for the\n"
           "// Earth; R: 2e-9 of the mean distance) between 1600 and 2400. Amplitudes as published (rad,\n"
           "// AU), phases in radians, frequencies in radians per Julian millennium. Terms kept:"
        << counts
        << ".\n#include \"astro/tables/PlanetSeriesPrecise.h\"\n\nnamespace PlanetSeriesPrecise {\n\n"
           "const std::array<std::array<int32_t, 19>, kBodies> starts = {{\n";
    for (int b = 0; b < kBodies; ++b) {
        out << "    {{";
        for (int k = 0; k < 19; ++k) out << starts[b][k] << (k == 18 ? "" : ", ");
        out << "}},  // " << kNames[b] << "\n";
    }
    out << "}};\n\nconst int32_t termDoubles = " << pos << ";\n\nconst double terms[] = {\n"
        << terms.str() << "};\n\n}  // namespace PlanetSeriesPrecise\n";
    std::ofstream f(outPath, std::ios::binary);
    f << out.str();
    if (!f.flush()) {
        std::fprintf(stderr, "gen_planet_series: cannot write %s\n", outPath);
        return 1;
    }
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--precise") return writePrecise(argv[2], argv[3]);
    if (argc != 3) {
        std::fprintf(stderr, "usage: gen_planet_series [--precise] <data folder> <output .cpp>\n");
        return 2;
    }
    const std::string dataDir = argv[1];
    std::ostringstream out;
    out << "// Generated by tools/gen_planet_series from vsop87d/VSOP87D.* of the shared data folder\n"
           "// (VSOP87 version D, Bretagnon & Francou 1988, A&A 202, 309; CDS VI/81). Do not edit.\n"
           "//\n"
           "// Heliocentric L, B (rad) and R (AU) referred to the mean ecliptic and equinox of date.\n"
           "// Each sub-series keeps its largest terms by decreasing amplitude; amplitudes are the\n"
           "// published values times the body's scale, phases in radians, frequencies in radians per\n"
           "// Julian millennium.\n"
           "// Cost of the truncation against the full published series (same fitted corrections,\n"
           "// light time and nutation), geocentric apparent place, largest error at 250 random\n"
           "// instants 1600-2200 (tests/astro/PlanetAccuracyTest): longitude Sun 0.04\", Mercury\n"
           "// 0.09\", Venus 0.24\", Mars 0.52\", Jupiter 0.25\", Saturn 0.29\", Uranus 0.49\",\n"
           "// Neptune 0.42\"; latitude at most 0.7\" (Mars).\n"
           "#include \"astro/tables/PlanetSeriesTable.h\"\n\n"
           "namespace PlanetSeriesTable {\n\n";
    std::array<std::array<int32_t, 19>, kBodies> starts{};
    std::ostringstream blocks;
    for (int b = 0; b < kBodies; ++b) {
        std::array<std::array<SubSeries, 6>, 3> series;
        const std::string path = dataDir + "/vsop87d/VSOP87D." + kFiles[b];
        if (!readVsop(path, series)) {
            std::fprintf(stderr, "gen_planet_series: cannot read %s\n", path.c_str());
            return 1;
        }
        int32_t pos = 20;
        blocks << "    // " << kNames[b] << "\n    {{\n        1e" << kScaleExp[b] << ",\n        ";
        for (int k = 0; k < 18; ++k) {
            starts[b][k] = pos;
            pos += 3 * kTermCounts[b][k / 6][k % 6];
        }
        starts[b][18] = pos;
        if (pos > kBlock) {
            std::fprintf(stderr, "gen_planet_series: block of %s overflows\n", kNames[b]);
            return 1;
        }
        for (int k = 0; k < 19; ++k) blocks << starts[b][k] << (k == 18 ? ",\n" : ", ");
        for (int c = 0; c < 3; ++c) {
            for (int i = 0; i < 6; ++i) {
                std::stable_sort(series[c][i].begin(), series[c][i].end(), [](const Term& x, const Term& y) {
                    return std::fabs(std::stod(x.a)) > std::fabs(std::stod(y.a));
                });
                const int n = kTermCounts[b][c][i];
                if (n == 0) continue;
                if (static_cast<int>(series[c][i].size()) < n) {
                    std::fprintf(stderr, "gen_planet_series: %s %c T^%d has %zu terms, need %d\n",
                                 kNames[b], "LBR"[c], i, series[c][i].size(), n);
                    return 1;
                }
                blocks << "        // " << "LBR"[c] << " tau^" << i << ": " << n << " of "
                       << series[c][i].size() << " terms\n";
                for (int j = 0; j < n; ++j) {
                    const Term& t = series[c][i][j];
                    blocks << "        " << shiftDecimal(t.a, kScaleExp[b]) << ", " << t.p << ", "
                           << t.f << ",\n";
                }
            }
        }
        blocks << "    }},\n";
    }
    out << "const std::array<std::array<int32_t, 19>, kBodies> starts = {{\n";
    for (int b = 0; b < kBodies; ++b) {
        out << "    {{";
        for (int k = 0; k < 19; ++k) out << starts[b][k] << (k == 18 ? "" : ", ");
        out << "}},  // " << kNames[b] << "\n";
    }
    out << "}};\n\n";
    out << "// Blocks of kBlockSize doubles: scale, 19 start indices, then (A, P, F) terms; the rest\n"
           "// of each block is zero.\n"
           "const std::array<std::array<double, kBlockSize>, kBodies> blocks = {{\n"
        << blocks.str() << "}};\n\n}  // namespace PlanetSeriesTable\n";
    std::ofstream f(argv[2], std::ios::binary);
    f << out.str();
    if (!f.flush()) {
        std::fprintf(stderr, "gen_planet_series: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
