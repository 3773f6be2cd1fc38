#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

namespace fs = std::filesystem;

namespace testdata {
std::string sharedDataDir() {
    const fs::path p(TARMIN_SHARED_DATA);
    std::error_code ec;
    if (fs::is_directory(p, ec)) return fs::canonical(p, ec).string() + "/";
    return {};
}
std::string sharedFile(const std::string& relative) {
    const std::string d = sharedDataDir();
    return d.empty() ? std::string() : d + relative;
}
std::string sourceDir() { return std::string(TARMIN_SOURCE_DIR) + "/"; }
std::string binaryDir() { return std::string(TARMIN_BINARY_DIR) + "/"; }
std::string stageDir() { return std::string(TARMIN_STAGE_DIR) + "/"; }

namespace {
struct TempRegistry {
    std::vector<fs::path> dirs;
    ~TempRegistry() {
        std::error_code ec;
        for (const auto& d : dirs) fs::remove_all(d, ec);
    }
};
TempRegistry& registry() {
    static TempRegistry r;
    return r;
}
}  // namespace

std::string freshTempDir(const std::string& tag) {
    std::random_device rd;
    const fs::path base = fs::temp_directory_path();
    for (;;) {
        fs::path p = base / ("tarmin-" + tag + "-" + std::to_string(rd()));
        std::error_code ec;
        if (fs::create_directories(p, ec)) {
            registry().dirs.push_back(p);
            return p.string() + "/";
        }
    }
}
}  // namespace testdata
