// What the fuzz targets share: a private scratch folder per process (on /dev/shm when there is
// one, where fsync costs nothing), whole-file writes, and a check that stops the run with a
// message (libFuzzer then saves the input as a crash).
#pragma once
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/core/FileOps.h"

namespace fuzz {
inline const std::string& scratch() {
    static const std::string folder = [] {
        const char* roots[] = {"/dev/shm", std::getenv("TMPDIR"), "/tmp"};
        for (const char* root : roots) {
            if (!root || ::access(root, W_OK) != 0) continue;
            std::string tmpl = std::string(root) + "/tarmin-fuzz-XXXXXX";
            if (::mkdtemp(tmpl.data())) return tmpl + "/";
        }
        std::abort();
    }();
    static const bool cleanup = [] {
        std::atexit([] { recfs::removeTree(folder); });
        return true;
    }();
    (void)cleanup;
    return folder;
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}
}  // namespace fuzz

#define FUZZ_CHECK(cond)                                                                  \
    do {                                                                                  \
        if (!(cond)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)
