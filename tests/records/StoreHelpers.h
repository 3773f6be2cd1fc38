// Helpers of the records tests: fresh program folders, sample cases, raw file access and forked
// children (which end with _exit so that the parent's temporary folders survive them).
#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>

#include "records/Database.h"
#include "platform/core/Gbk.h"
#include "tests/support/TestData.h"

namespace rt {
namespace fs = std::filesystem;

// A program folder with the installed dat/ and Kelvora_f/ folders, ending in '/'.
inline std::string freshProgramFolder(const std::string& tag) {
    const std::string base = testdata::freshTempDir(tag);
    fs::create_directories(base + "dat");
    fs::create_directories(base + "Kelvora_f");
    return base;
}

inline CaseRecord sampleCase(const std::string& nameUtf8, int year, int month = 3, int day = 7,
                             int hour = 9, int minute = 5, bool male = true,
                             const std::string& categoryUtf8 = "家人", int province = 0) {
    CaseRecord r;
    r.setName(nameUtf8);
    r.setCategory(categoryUtf8);
    r.year = static_cast<int16_t>(year);
    r.month = static_cast<int16_t>(month);
    r.day = static_cast<int16_t>(day);
    r.hour = static_cast<int16_t>(hour);
    r.minute = static_cast<int16_t>(minute);
    r.male = male ? 1 : 0;
    r.province = static_cast<int16_t>(province);
    r.city = 2;
    r.zone = 8;
    r.longitude = 116.4f;
    r.latitude = 39.9f;
    r.blood = 3;
    return r;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The live records of record-file bytes, numbered by their place, as an export writes them.
inline std::string liveOnly(const std::string& recordBytes) {
    std::string out;
    for (std::size_t at = 0; at + 152 <= recordBytes.size(); at += 152) {
        if (recordBytes[at + 4] != 0) continue;
        std::string rec = recordBytes.substr(at, 152);
        const int32_t number = static_cast<int32_t>(out.size() / 152);
        std::memcpy(rec.data(), &number, sizeof number);
        out += rec;
    }
    return out;
}

// name -> content of every regular file in a folder (empty map when it is missing).
inline std::map<std::string, std::string> folderContents(const std::string& folder) {
    std::map<std::string, std::string> m;
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return m;
    for (const auto& e : fs::directory_iterator(folder, ec))
        if (e.is_regular_file(ec)) m[e.path().filename().string()] = readFile(e.path().string());
    return m;
}

// Runs `body` in a forked child and returns its exit code, or 128 + signal number.
inline int inChild(const std::function<int()>& body) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        int rc = 99;
        rc = body();
        ::_exit(rc);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

// The same with a file-size limit of `limitBytes` in the child, SIGXFSZ ignored so that a write
// past the limit fails with EFBIG like a full disk.
inline int inChildWithFileLimit(rlim_t limitBytes, const std::function<int()>& body) {
    return inChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit rl {limitBytes, limitBytes};
        if (::setrlimit(RLIMIT_FSIZE, &rl) != 0) return 98;
        return body();
    });
}
}  // namespace rt
