// Who may include whom. The engines stay plain C++ (no Qt header reaches astro, calendar, chart,
// records or the plain side of the platform layer), each library includes only the libraries
// below it, and no form reaches into the main window.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/TestData.h"

namespace fs = std::filesystem;

namespace {
// Lines of the sources under `dir` (skipping paths that contain one of `skip`) whose include
// matches `pattern`, as "path:line".
std::vector<std::string> includesUnder(const fs::path& dir, const std::regex& pattern,
                                       const std::vector<std::string>& skip) {
    std::vector<std::string> hits;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        if (!e.is_regular_file()) continue;
        const std::string path = e.path().string();
        bool skipped = false;
        for (const auto& s : skip)
            if (path.find(s) != std::string::npos) skipped = true;
        if (skipped) continue;
        const auto ext = e.path().extension().string();
        if (ext != ".h" && ext != ".cpp" && ext != ".hpp" && ext != ".inc") continue;
        std::ifstream in(e.path());
        std::string line;
        int n = 0;
        while (std::getline(in, line)) {
            ++n;
            if (std::regex_search(line, pattern)) hits.push_back(path + ":" + std::to_string(n));
        }
    }
    return hits;
}

struct Rule {
    const char* dir;
    std::vector<std::string> skip;
    const char* forbidden;  // include path pattern after the opening quote or bracket
};
}  // namespace

TEST(Layering, LogicLibrariesIncludeNoQtHeader) {
    const fs::path src = testdata::sourceDir();
    const std::regex qtInclude(R"(^\s*#\s*include\s*[<"](Q[A-Za-z]|qt[a-z]*/|Qt[A-Z]))");
    const std::vector<std::pair<std::string, std::vector<std::string>>> roots = {
        {"astro", {}},
        {"calendar", {"/calendar/ui/"}},
        {"chart", {}},
        {"records", {"/records/ui/"}},
        {"atlas", {}},
        {"platform/core", {}},
        {"forecast", {}},
        {"platform/opencc", {}},
        {"interchange", {}},
    };
    for (const auto& [dir, skip] : roots) {
        ASSERT_TRUE(fs::is_directory(src / dir)) << dir;
        const auto hits = includesUnder(src / dir, qtInclude, skip);
        EXPECT_TRUE(hits.empty()) << "Qt header in logic code: " << hits.front();
    }
}

TEST(Layering, EachLibraryIncludesOnlyWhatIsBelowIt) {
    const fs::path src = testdata::sourceDir();
    const std::vector<Rule> rules = {
        {"astro", {}, "(calendar|chart|records|atlas|platform|dialogs|app)/"},
        {"calendar", {"/calendar/ui/"}, "(calendar/ui|chart|records|atlas|platform|dialogs|app)/"},
        {"chart", {}, "(records|atlas|platform/qt|dialogs|calendar/ui|app)/"},
        {"records", {"/records/ui/"}, "(astro|calendar|chart|atlas|records/ui|platform/qt|dialogs|app)/"},
        {"atlas", {}, "(records|platform/qt|dialogs|calendar/ui|records/ui|app|cli)/"},
        {"platform/core", {}, "(astro|calendar|chart|records|atlas|platform/qt|dialogs|app)/"},
        {"platform/qt", {}, "(astro|calendar|chart|records|dialogs|app)/"},
        {"platform/opencc", {}, "(astro|calendar|chart|records|atlas|platform/qt|dialogs|app)/"},
        {"dialogs", {}, "(app|calendar/ui|records/ui)/"},
        {"calendar/ui", {}, "(app|records/ui)/"},
        {"records/ui", {}, "(app|calendar/ui)/"},
        {"forecast", {}, "(records|atlas|platform/qt|dialogs|calendar/ui|records/ui|app|cli)/"},
        {"interchange", {}, "(platform/qt|dialogs|calendar/ui|records/ui|app|cli)/"},
    };
    for (const Rule& r : rules) {
        if (!fs::is_directory(src / r.dir)) continue;
        const std::regex forbidden(std::string(R"(^\s*#\s*include\s*")") + r.forbidden);
        const auto hits = includesUnder(src / r.dir, forbidden, r.skip);
        EXPECT_TRUE(hits.empty()) << r.dir << " includes a library it may not use: " << hits.front();
    }
}

// Forecasting sits above the engines: none of them reaches up into it.
TEST(Layering, EnginesDoNotIncludeForecasting) {
    const fs::path src = testdata::sourceDir();
    const std::regex forbidden(R"(^\s*#\s*include\s*"forecast/)");
    for (const char* dir : {"astro", "calendar", "chart", "atlas", "records", "platform"}) {
        const auto hits = includesUnder(src / dir, forbidden, {"/ui/"});
        EXPECT_TRUE(hits.empty()) << dir << " includes forecasting: " << hits.front();
    }
}
