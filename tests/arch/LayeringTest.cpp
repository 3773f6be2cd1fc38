// The engines stay plain C++: no Qt header may reach astro, calendar, chart, records or the
// plain side of the platform layer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "tests/support/TestData.h"

namespace fs = std::filesystem;

namespace {
std::vector<std::string> qtIncludesUnder(const fs::path& dir, const std::vector<std::string>& skip) {
    static const std::regex qtInclude(R"(^\s*#\s*include\s*[<"](Q[A-Za-z]|qt[a-z]*/|Qt[A-Z]))");
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
            if (std::regex_search(line, qtInclude)) hits.push_back(path + ":" + std::to_string(n));
        }
    }
    return hits;
}
}  // namespace

TEST(Layering, LogicLibrariesIncludeNoQtHeader) {
    const fs::path src = testdata::sourceDir();
    const std::vector<std::pair<std::string, std::vector<std::string>>> roots = {
        {"astro", {}},
        {"calendar", {"/calendar/ui/"}},
        {"chart", {}},
        {"records", {"/records/ui/"}},
        {"platform/core", {}},
    };
    for (const auto& [dir, skip] : roots) {
        ASSERT_TRUE(fs::is_directory(src / dir)) << dir;
        const auto hits = qtIncludesUnder(src / dir, skip);
        EXPECT_TRUE(hits.empty()) << "Qt header in logic code: " << hits.front();
    }
}
