// Small POSIX file helpers of the case store: owned descriptors, advisory locks with a bounded
// wait, complete reads and writes, durable copies (temporary name, fsync, rename) and folder
// listings. Every function reports failure by its result and never throws.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace recfs {

using StepHook = std::function<void(const char*)>;

// An owned file descriptor; closing releases any flock held through it.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(Fd&& o) noexcept : fd_(o.release()) {}
    Fd& operator=(Fd&& o) noexcept {
        if (this != &o) {
            reset();
            fd_ = o.release();
        }
        return *this;
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() {
        const int f = fd_;
        fd_ = -1;
        return f;
    }
    void reset();
    // close() with its result; the descriptor is gone either way.
    bool close();

private:
    int fd_ = -1;
};

enum class Lock { Shared, Exclusive };

// Opens `path` with `flags` and takes a flock on it, waiting at most `timeoutMs`. Once locked it
// makes sure the path still names the locked file (another program may have replaced it by a
// rename meanwhile) and opens again if not. Invalid Fd on any failure.
Fd openLocked(const std::string& path, int flags, Lock lock, int timeoutMs);

// Size of an open file in bytes, -1 on failure.
off_t fileSize(int fd);
// True when a file of `bytes` bytes may be written under this process's file-size limit.
bool fitsFileSizeLimit(off_t bytes);

// pread/pwrite until `n` bytes are moved; false on an error or a short transfer (EOF).
bool readFully(int fd, void* buf, std::size_t n, off_t offset);
bool writeFully(int fd, const void* buf, std::size_t n, off_t offset);

// fsync of a folder, so that a rename or unlink in it is on disk.
bool syncFolder(const std::string& folder);

// Copies the first `bytes` bytes of the open file `src` to `dst` through `dst` + ".part~":
// write, fsync, rename. False (the temporary removed, `dst` untouched) when the source gives
// fewer bytes or anything fails. `hook` is called before each chunk is written and before the
// rename.
bool copyToFile(int src, off_t bytes, const std::string& dst, const StepHook& hook);
// The same for a whole regular file named `src`.
bool copyFile(const std::string& src, const std::string& dst, const StepHook& hook);

bool isFolder(const std::string& path);
bool exists(const std::string& path);  // any directory entry, dangling symlinks included
// mkdir of one level; true when the folder exists afterwards.
bool makeFolder(const std::string& path);
// Names of the regular files in `folder` whose name ends in ".rtf" (any letter case), sorted.
// False when the folder cannot be read.
bool listRtf(const std::string& folder, std::vector<std::string>& names);
// The name of the entry of `folder` called `name` regardless of ASCII letter case (the exact
// spelling first), or "" when there is none. Folders written on Windows may spell
// "Kelvora.dat" in any case.
std::string entryNoCase(const std::string& folder, const std::string& name);
// Removes a folder with everything in it; true when it is gone.
bool removeTree(const std::string& path);

}  // namespace recfs
