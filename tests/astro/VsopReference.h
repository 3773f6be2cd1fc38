// Independent reference for the astro tests: the complete published VSOP87D series read from
// the shared data folder, and the same apparent-place steps (light time from the Earth at the
// time of emission, ten-term nutation) applied to it.
#pragma once
#include <array>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "astro/AstroConstants.h"
#include "astro/Eph0.h"
#include "tests/support/TestData.h"
#include "astro/tables/PlanetSeriesTable.h"

namespace vsopref {

struct Term {
    double a, p, f;
};

class FullVsop {
public:
    // Loads the eight files; loaded() is false when any of them is missing.
    FullVsop() {
        const char* files[8] = {"ear", "mer", "ven", "mar", "jup", "sat", "ura", "nep"};
        ok_ = true;
        for (int b = 0; b < 8 && ok_; ++b) ok_ = load(b, testdata::sharedFile(std::string("vsop87d/VSOP87D.") + files[b]));
    }
    bool loaded() const { return ok_; }
    const std::vector<Term>& sub(int b, int c, int i) const { return s_[b][c][i]; }

    // Full series value of coordinate c of body b at T (centuries, TT): L, B rad; R AU; with
    // the program's fitted corrections added, so that only the truncation differs.
    double value(int b, int c, double T) const {
        const double tau = T / 10;
        double v = 0, tn = 1;
        for (int i = 0; i < 6; ++i, tn *= tau) {
            double s = 0;
            for (const Term& t : s_[b][c][i]) s += t.a * std::cos(t.p + t.f * tau);
            v += s * tn;
        }
        const double rad = AstroConstants::rad;
        if (b == 0) {
            const double corr[3] = {(-0.0728 - 2.7702 * tau - 1.1019 * tau * tau - 0.0996 * tau * tau * tau) / rad,
                                    (0.0004 * tau + 0.0004 * tau * tau - 0.0026 * tau * tau * tau) / rad,
                                    (-0.002 + 0.0044 * tau + 0.0213 * tau * tau - 0.025 * tau * tau * tau) * 1e-6};
            return v + corr[c];
        }
        const auto& r = PlanetCorrections::rows[static_cast<size_t>(b)];
        const double corr[3] = {(-3 * tau + r.L) / rad, r.B / rad, r.R * 1e-6};
        return v + corr[c];
    }
    SphericalPosition helio(int code, double T) const {
        if (code == 9) return {0, 0, 0};
        if (code == 8) return heliocentricPosition(8, T, -1, -1, -1);
        return {value(code, 0, T), value(code, 1, T), value(code, 2, T)};
    }
    // Apparent ecliptic longitude and latitude of date, radians.
    SphericalPosition apparent(int code, double T) const {
        const SphericalPosition E = helio(0, T);
        const SphericalPosition G = relativePosition(helio(code, T), E);
        const double T2 = T - G.distance * AstroConstants::lightTimePerAU;
        SphericalPosition A = relativePosition(helio(code, T2), helio(0, T2));
        A.longitude = normRad(A.longitude + nutation(T).dpsi);
        return A;
    }

private:
    bool load(int b, const std::string& path) {
        std::ifstream in(path);
        if (!in) return false;
        std::string line;
        int c = -1, i = -1;
        while (std::getline(in, line)) {
            const auto v = line.find("VARIABLE");
            if (v != std::string::npos) {
                c = std::stoi(line.substr(v + 8, 3)) - 1;
                i = std::stoi(line.substr(line.find("*T**") + 4, 2));
                continue;
            }
            std::istringstream ls(line);
            std::vector<std::string> tok;
            for (std::string w; ls >> w;) tok.push_back(w);
            if (tok.size() < 5 || c < 0) continue;
            const size_t n = tok.size();
            s_[b][c][i].push_back({std::stod(tok[n - 3]), std::stod(tok[n - 2]), std::stod(tok[n - 1])});
        }
        return true;
    }
    bool ok_ = false;
    std::array<std::array<std::array<std::vector<Term>, 6>, 3>, 8> s_;
};

}  // namespace vsopref
