#include "cli/ChartOptionArgs.h"

#include <cstdio>

#include "astro/Asteroids.h"
#include "chart/ChartSettings.h"
#include "chart/HouseSystems.h"
#include "chart/Zhanxing.h"
#include "cli/ArgText.h"

namespace cli {

bool ChartOptionArgs::changesSettings() const {
    bool orbsGiven = false;
    for (long v : orbs) orbsGiven = orbsGiven || v >= 0;
    bool anyAsteroid = false;
    for (bool b : asteroids) anyAsteroid = anyAsteroid || b;
    return houses != 0 || orbsGiven || minor || minorOrb >= 0 || trueNode || lilith || fortune ||
           anyAsteroid || stars;
}

int readAsteroidOption(const Args& args, std::size_t& i, std::array<bool, 5>& out) {
    if (args[i] == "--asteroids") {
        out.fill(true);
        return 1;
    }
    if (args[i] != "--bodies") return 0;
    if (i + 1 >= args.size()) return -1;
    const std::string& v = args[++i];
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = v.find(',', from);
        const std::string name = v.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
        bool known = false;
        for (std::size_t b = 0; b < out.size(); ++b)
            if (name == asteroids::Keys[b]) out[b] = known = true;
        if (!known) return -1;
        if (comma == std::string::npos) return 1;
        from = comma + 1;
    }
}

int readChartOption(const Args& args, std::size_t& i, ChartOptionArgs& out) {
    const std::string& a = args[i];
    if (a == "--minor") return out.minor = true, 1;
    if (a == "--true-node") return out.trueNode = true, 1;
    if (a == "--lilith") return out.lilith = true, 1;
    if (a == "--fortune") return out.fortune = true, 1;
    if (a == "--aspect-list") return out.aspectList = true, 1;
    if (a == "--stars") return out.stars = true, 1;
    if (const int r = readAsteroidOption(args, i, out.asteroids)) return r;
    if (a != "--houses" && a != "--orbs" && a != "--minor-orb") return 0;
    if (i + 1 >= args.size()) return -1;
    const std::string& v = args[++i];
    if (a == "--houses") {
        HouseSystem s = HouseSystem::Placidus;
        if (v.size() != 1 || !houseSystemFromLetter(v[0], s)) return -1;
        out.houses = static_cast<char>(s);
        return 1;
    }
    if (a == "--minor-orb") return readBounded(v, 1, 30, out.minorOrb) ? 1 : -1;
    // Five whole numbers separated by commas.
    std::size_t from = 0;
    for (std::size_t k = 0; k < out.orbs.size(); ++k) {
        const std::size_t comma = v.find(',', from);
        const bool last = k + 1 == out.orbs.size();
        if (last != (comma == std::string::npos)) return -1;
        const std::string field = v.substr(from, last ? std::string::npos : comma - from);
        if (!readBounded(field, 0, 30, out.orbs[k])) return -1;
        from = comma + 1;
    }
    return 1;
}

void applyChartOptions(const ChartOptionArgs& o, ChartSettings& s) {
    if (o.houses) s.houseSystem = o.houses;
    for (std::size_t k = 0; k < o.orbs.size(); ++k)
        if (o.orbs[k] >= 0) s.majorOrbs[k] = static_cast<int32_t>(o.orbs[k]);
    if (o.minor) s.minorAspects = true;
    if (o.minorOrb > 0) s.minorOrb = static_cast<int32_t>(o.minorOrb);
    if (o.trueNode) s.trueNode = true;
    if (o.lilith) s.lilith = true;
    if (o.fortune) s.fortune = true;
    for (std::size_t b = 0; b < o.asteroids.size(); ++b)
        if (o.asteroids[b]) s.asteroids[b] = true;
    if (o.stars) s.fixedStars = true;
}

void printExtraPoints(const MZhanXingEx& engine) {
    for (int k = 0; k < kExtraPoints; ++k) {
        if (!engine.extraShown(k)) continue;
        const ChartPoint& p = engine.extraPoints()[static_cast<std::size_t>(k)];
        std::printf("point\t%d\t%s\t%.6f\t%s\t%d\t%.4f\n", kFirstExtraId + k,
                    ExtraPointNames[static_cast<std::size_t>(k)], p.longitude,
                    SignNames[p.sign % 12], p.house + 1, static_cast<double>(p.pastCusp));
    }
}

void printChartOptionLines(const MZhanXingEx& engine, const ChartOptionArgs& o) {
    printExtraPoints(engine);
    if (o.stars)
        for (const std::string& line : engine.starLines()) std::printf("star\t%s\n", line.c_str());
    if (!o.aspectList) return;
    for (const std::string& line : engine.aspectList(false))
        std::printf("aspect\tnatal\t%s\n", line.c_str());
    for (const std::string& line : engine.aspectList(true))
        std::printf("aspect\ttransit\t%s\n", line.c_str());
}

}  // namespace cli
