// What the three parts of the case store share: the record transfer unit, the undo entry,
// the record count of a file size, GBK character stepping and the scan pause. Only
// records/Database*.cpp include this file.
#pragma once

#include <sys/file.h>
#include <sys/types.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/FileOps.h"
#include "platform/core/Gbk.h"
#include "records/Database.h"

namespace records_detail {

constexpr off_t kRec = static_cast<off_t>(MDataBase::kRecordSize);
// Records per transfer when the whole file is walked (Find, Compact): about 600 KiB.
constexpr std::size_t kChunkRecords = 4096;

// The undo file of an overwrite: magic, record number, the old 152 bytes, FNV-1a of all that.
constexpr char kUndoMagic[4] = {'T', 'U', 'R', '1'};
struct UndoEntry {
    char magic[4];
    int32_t number;
    CaseRecord old;
    uint32_t check;
};
static_assert(sizeof(UndoEntry) == 164, "undo entry: 4 + 4 + 152 + 4 bytes");

inline uint32_t fnv1a(const void* data, std::size_t n) {
    uint32_t h = 2166136261u;
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 16777619u;
    return h;
}

// Record count of a file of `size` bytes: whole records only, and never more than an int holds.
inline int countOf(off_t size) {
    if (size <= 0) return 0;
    const off_t n = size / kRec;
    return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

// Record count of an open record file: the whole records of its data (a sparse file counts
// only up to its first hole), capped as countOf does.
inline int recordCount(int fd) { return countOf(recfs::dataSize(fd)); }

// Length of the GBK character starting at s[i] (1 for ASCII and for broken bytes).
inline std::size_t gbkCharLength(std::string_view s, std::size_t i) {
    if (gbk::isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() &&
        gbk::isTrailByte(static_cast<unsigned char>(s[i + 1])))
        return 2;
    return 1;
}

inline std::string withSlash(std::string s) {
    if (s.empty() || s.back() != '/') s += '/';
    return s;
}

// A write inside a scan bracket of the same store: the scan's shared lock is set aside for
// the write (flock would otherwise make this process wait for itself) and taken again after.
class ScanPause {
public:
    explicit ScanPause(int scanFd) : fd_(scanFd) {
        if (fd_ >= 0) ::flock(fd_, LOCK_UN);
    }
    ~ScanPause() {
        if (fd_ >= 0) ::flock(fd_, LOCK_SH | LOCK_NB);
    }
    ScanPause(const ScanPause&) = delete;
    ScanPause& operator=(const ScanPause&) = delete;

private:
    int fd_;
};

}  // namespace records_detail
