// tarmin-cli positions: the chart's astronomy (apparent longitude and latitude, motion flag)
// for instants in UTC+8 civil time, one block of 12 lines per instant.
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "cli/Cli.h"
#include "cli/ChartOptionArgs.h"
#include "astro/Asteroids.h"
#include "astro/DateText.h"
#include "astro/Eph0.h"
#include "astro/Mastrocalc.h"

namespace {

const char* const kBodyNames[12] = {"太阳", "月亮", "水星", "金星", "火星", "木星",
                                    "土星", "天王星", "海王星", "冥王星", "升交点", "降交点"};

// "YYYY-MM-DD HH:MM"; the date must exist in the calendar (proleptic Julian before
// 1582-10-15, Gregorian from then on).
bool parseInstant(const std::string& s, DateTimeFields& f) {
    return parseDateTimeText(s, f) && dateExists(f);
}

using AsteroidChoice = std::array<bool, 5>;

// One instant: the chart engine's calling order (setTime, positions with motion, nodes), then
// the asteroids asked for as lines 12 to 16, appended to out; a refusal goes to err.
bool formatInstant(MAstroCalc& calc, const std::string& text, const AsteroidChoice& extra, std::string& out,
                   std::string& err) {
    char line[512];
    DateTimeFields f;
    if (!parseInstant(text, f)) {
        std::snprintf(line, sizeof line,
                      "tarmin-cli positions: cannot read the instant '%.400s' (expected \"YYYY-MM-DD HH:MM\")\n",
                      text.c_str());
        err += line;
        return false;
    }
    bool anyAsteroid = false;
    for (bool b : extra) anyAsteroid = anyAsteroid || b;
    if (anyAsteroid && (f.year < 1600 || f.year > 2200)) {
        std::snprintf(line, sizeof line, "tarmin-cli positions: the asteroids are tabulated for the years 1600-2200 ('%.400s')\n",
                      text.c_str());
        err += line;
        return false;
    }
    calc.setTime(f);
    for (int i = 0; i < 10; ++i) {
        double lon = 0, lat = 0;
        calc.printedBodyPosition(i, lon, lat);
        const int motion = calc.retrogradeState(i, f);
        std::snprintf(line, sizeof line, "\t%d\t%s\t%.6f\t%.6f\t%d\n", i, kBodyNames[i], lon, lat, motion);
        out += text;
        out += line;
    }
    double north = 0, south = 0;
    calc.lunarNodes(true, north, south);
    std::snprintf(line, sizeof line, "\t10\t%s\t%.6f\t%.6f\t0\n", kBodyNames[10], north, 0.0);
    out += text;
    out += line;
    std::snprintf(line, sizeof line, "\t11\t%s\t%.6f\t%.6f\t0\n", kBodyNames[11], south, 0.0);
    out += text;
    out += line;
    for (int b = 0; b < asteroids::kCount; ++b) {
        if (!extra[static_cast<std::size_t>(b)]) continue;
        double lon = 0, lat = 0;
        calc.asteroidPosition(b, lon, lat);
        std::snprintf(line, sizeof line, "\t%d\t%s\t%.6f\t%.6f\t%d\n", 12 + b,
                      asteroids::Names[static_cast<std::size_t>(b)], lon, lat, calc.asteroidMotion(b));
        out += text;
        out += line;
    }
    return true;
}

// Standard input in batches of lines: a batch ends where the input has nothing more to give at
// once (a program that writes one instant and waits for its lines gets them), or at kBatch
// lines.
class LineBatches {
public:
    static constexpr std::size_t kBatch = 4096;
    // The next batch; false at the end of the input.
    bool next(std::vector<std::string>& lines) {
        lines.clear();
        for (;;) {
            std::size_t from = 0;
            for (std::size_t nl; lines.size() < kBatch && (nl = pending_.find('\n', from)) != std::string::npos;
                 from = nl + 1)
                lines.push_back(pending_.substr(from, nl - from));
            pending_.erase(0, from);
            if (!lines.empty() && (lines.size() >= kBatch || eof_ || !inputWaiting())) return true;
            if (eof_) {
                if (pending_.empty()) return !lines.empty();
                lines.push_back(pending_);
                pending_.clear();
                return true;
            }
            char buf[65536];
            const ssize_t n = ::read(0, buf, sizeof buf);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) eof_ = true;
            else pending_.append(buf, static_cast<std::size_t>(n));
        }
    }

private:
    static bool inputWaiting() {
        pollfd p{0, POLLIN, 0};
        return ::poll(&p, 1, 0) > 0;
    }
    std::string pending_;
    bool eof_ = false;
};

// The instants of one batch, the batch cut into one run of consecutive lines per processor
// (each with its own engine: consecutive instants share its station lists); the text in the
// order of the lines, whatever the number of threads.
bool runBatch(const std::vector<std::string>& lines, bool precise, const AsteroidChoice& extra) {
    std::vector<std::string> out(lines.size()), err(lines.size());
    std::vector<char> ok(lines.size(), 1);
    auto work = [&](std::size_t lo, std::size_t hi) {
        MAstroCalc calc;
        calc.setPrecise(precise);
        for (std::size_t i = lo; i < hi; ++i) {
            std::string line = lines[i];
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.find_first_not_of(" \t") == std::string::npos) continue;
            ok[i] = formatInstant(calc, line, extra, out[i], err[i]) ? 1 : 0;
        }
    };
    const std::size_t cores = std::max(1u, std::min(16u, std::thread::hardware_concurrency()));
    const std::size_t threads = std::max<std::size_t>(1, std::min(cores, lines.size() / 16));
    std::vector<std::thread> pool;
    for (std::size_t t = 1; t < threads; ++t)
        pool.emplace_back(work, lines.size() * t / threads, lines.size() * (t + 1) / threads);
    work(0, lines.size() / threads);
    for (auto& th : pool) th.join();
    bool all = true;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!err[i].empty()) {
            std::fflush(stdout);
            std::fputs(err[i].c_str(), stderr);
        }
        std::fwrite(out[i].data(), 1, out[i].size(), stdout);
        all = all && ok[i];
    }
    std::fflush(stdout);
    return all;
}

int runPositions(const cli::Args& args);

const cli::Command kPositions = {"positions",
                                 "positions [--precise] [--asteroids | --bodies chiron,ceres,pallas,juno,vesta] "
                                 "[\"YYYY-MM-DD HH:MM\"]",
                                 "apparent positions and motion of the chart's bodies (UTC+8; no argument: "
                                 "one instant per line from standard input; --precise: at the true "
                                 "instant, motion from the daily motion; --asteroids or --bodies: Chiron "
                                 "and the asteroids after the nodes as lines 12-16, 1600-2200)",
                                 runPositions};

int runPositions(const cli::Args& all) {
    // --precise anywhere among the arguments; the rest as before.
    cli::Args args;
    bool precise = false;
    AsteroidChoice extra{};
    for (std::size_t i = 0; i < all.size(); ++i) {
        const int taken = cli::readAsteroidOption(all, i, extra);
        if (taken < 0) return cli::usageError(kPositions);
        if (taken > 0) continue;
        if (all[i] == "--precise") precise = true;
        else args.push_back(all[i]);
    }
    if (args.size() > 1) return cli::usageError(kPositions);
    if (args.size() == 1) {
        MAstroCalc calc;
        calc.setPrecise(precise);
        std::string out, err;
        const bool ok = formatInstant(calc, args[0], extra, out, err);
        std::fputs(err.c_str(), stderr);
        std::fwrite(out.data(), 1, out.size(), stdout);
        return ok ? 0 : 1;
    }
    bool ok = true;
    LineBatches input;
    for (std::vector<std::string> lines; input.next(lines);) ok = runBatch(lines, precise, extra) && ok;
    return ok ? 0 : 1;
}

}  // namespace

TARMIN_CLI_COMMAND(positions, kPositions.name, kPositions.usage, kPositions.summary, kPositions.run);
