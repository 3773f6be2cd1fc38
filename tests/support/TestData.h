// Where the tests find the reference data and the build.
#pragma once
#include <sys/resource.h>

#include <csignal>
#include <string>

namespace testdata {
// ../shared/data of the source tree, or "" when it is absent (a user's fresh clone).
std::string sharedDataDir();
// Full path of a file under the shared data folder ("" when the folder is absent).
std::string sharedFile(const std::string& relative);
std::string sourceDir();
std::string binaryDir();
std::string stageDir();
// A fresh empty temporary folder, removed when the process ends; ends with '/'.
std::string freshTempDir(const std::string& tag);

// A full disk for one scope: no file of this process (or of the programs it starts) may grow
// past `bytes`; a write beyond fails with EFBIG instead of raising SIGXFSZ.
struct FileSizeLimit {
    rlimit old{};
    void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old);
        const rlimit limit{bytes, old.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }
};
}  // namespace testdata

// Skips the current test when the shared data folder is missing.
#define REQUIRE_SHARED_DATA()                                                   \
    do {                                                                        \
        if (testdata::sharedDataDir().empty()) GTEST_SKIP() << "no ../shared/data"; \
    } while (0)
