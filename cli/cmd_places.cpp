// tarmin-cli places: the cities of the world atlas and the province table that a name finds,
// with country, coordinates and zone.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "atlas/WorldAtlas.h"
#include "cli/ArgText.h"
#include "cli/Cli.h"
#include "cli/WorldArgs.h"

namespace {
constexpr const char* kPlacesUsage = "places NAME [--limit N]";

int runPlaces(const cli::Args& args) {
    std::string name;
    long limit = 50;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--limit" && i + 1 < args.size()) {
            if (!cli::readBounded(args[++i], 1, 100000, limit)) name.clear();
        } else if (name.empty() && !args[i].empty()) {
            name = args[i];
        } else {
            name.clear();
            break;
        }
    }
    if (name.empty()) {
        std::fprintf(stderr, "usage: tarmin-cli %s\n", kPlacesUsage);
        return 2;
    }
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    const std::string folder = ec ? std::string("./") : exe.parent_path().string() + "/";
    const atlas::WorldAtlas atlas(cli::placeTablePath(folder));
    const auto found = atlas.find(name, static_cast<std::size_t>(limit));
    if (found.empty()) {
        std::fprintf(stderr, "找不到城市“%s”\n", name.c_str());
        return 1;
    }
    for (const auto& p : found)
        std::printf("%s\t%s\t%s\t%.4f\t%.4f\t%s\n", p.name.c_str(), p.region.c_str(), p.country.c_str(),
                    p.longitude, p.latitude, p.zoneId.c_str());
    return 0;
}
}  // namespace

TARMIN_CLI_COMMAND(places, "places", kPlacesUsage,
                   "cities of the world atlas and the province table by Chinese or Latin name: "
                   "country, coordinates, time zone",
                   runPlaces);
