// tarmin-cli stars: the apparent places of the named fixed stars at an instant (UTC+8 civil
// time, as positions takes it), one line a star in catalogue order.
#include <cstdio>
#include <string>
#include <vector>

#include "astro/DateText.h"
#include "astro/Eph0.h"
#include "astro/Stars.h"
#include "cli/Cli.h"

namespace {

int runStars(const cli::Args& args);

const cli::Command kStars = {"stars", "stars [--precise] \"YYYY-MM-DD HH:MM\"",
                             "apparent ecliptic longitude and latitude of every named fixed star (UTC+8; "
                             "Chinese name, name, designation, longitude, latitude, magnitude; "
                             "--precise: at the true instant)",
                             runStars};

int runStars(const cli::Args& args) {
    bool precise = false;
    std::string when;
    for (const std::string& a : args) {
        if (a == "--precise") precise = true;
        else if (when.empty()) when = a;
        else return cli::usageError(kStars);
    }
    if (when.empty()) return cli::usageError(kStars);
    DateTimeFields f;
    if (!parseDateTimeText(when, f) || !dateExists(f)) {
        std::fprintf(stderr, "tarmin-cli stars: cannot read the instant '%s' (expected \"YYYY-MM-DD HH:MM\")\n",
                     when.c_str());
        return 1;
    }
    const double jdUT = julianDay(f.year, f.month, f.day + (f.hour + f.minute / 60.0) / 24) - 8.0 / 24;
    const std::vector<stars::Place> places = stars::apparentPlaces(jdUT, precise);
    for (int i = 0; i < stars::kCatalogueSize; ++i) {
        const stars::CatalogueStar& s = stars::kCatalogue[i];
        const stars::Place& p = places[static_cast<std::size_t>(i)];
        std::printf("%s\t%s\t%s\t%.6f\t%.6f\t%.2f\n", s.chinese, s.name, s.designation, p.longitude, p.latitude,
                    s.magnitude);
    }
    return 0;
}

}  // namespace

TARMIN_CLI_COMMAND(stars, kStars.name, kStars.usage, kStars.summary, kStars.run);
