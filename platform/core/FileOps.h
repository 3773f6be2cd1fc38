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
// rename meanwhile) and opens again if not. Only a regular file is opened: a FIFO, a device or
// a folder gives an invalid Fd at once (the open never blocks). Invalid Fd on any failure.
Fd openLocked(const std::string& path, int flags, Lock lock, int timeoutMs);
// Opens an existing regular file for reading without blocking on a FIFO and, unless
// `followLink`, without following a symbolic link in its last component. Invalid Fd for
// anything but a regular file.
Fd openRegularForReading(const std::string& path, bool followLink = false);
// Creates a new file for writing under `path`, never through an existing entry: O_EXCL and
// O_NOFOLLOW, so a symbolic link planted under the name is not followed. When the name is
// taken, a left-over entry (a file or a link, never a folder) is removed once and the creation
// tried again; after that `path` + "1", "2", ... are tried. `created` receives the name used.
Fd createExclusive(const std::string& path, mode_t mode, std::string& created);

// Size of an open file in bytes, -1 on failure.
off_t fileSize(int fd);
// The bytes of an open file that hold data: its size, or less when the file is sparse and a
// hole begins before its end (a record file planted with a huge size and no blocks behind it
// must not make a search read hundreds of gigabytes of nothing). -1 on failure.
off_t dataSize(int fd);
// True when a file of `bytes` bytes may be written under this process's file-size limit.
bool fitsFileSizeLimit(off_t bytes);

// pread/pwrite until `n` bytes are moved; false on an error or a short transfer (EOF).
bool readFully(int fd, void* buf, std::size_t n, off_t offset);
bool writeFully(int fd, const void* buf, std::size_t n, off_t offset);

// fsync of a folder, so that a rename or unlink in it is on disk.
bool syncFolder(const std::string& folder);

// Copies the first `bytes` bytes of the open file `src` to `dst` through a temporary file
// created exclusively beside it (`dst` + ".part~", see createExclusive): write, fsync, rename. False (the temporary removed, `dst` untouched) when the source gives
// fewer bytes or anything fails. `hook` is called before each chunk is written and before the
// rename.
bool copyToFile(int src, off_t bytes, const std::string& dst, const StepHook& hook);
// The same for a whole regular file named `src` (opened as openRegularForReading does).
bool copyFile(const std::string& src, const std::string& dst, const StepHook& hook);

bool isFolder(const std::string& path);
// Any directory entry, dangling symlinks included. A trailing '/' is ignored: "link/" names the
// link, not the folder it points to.
bool exists(const std::string& path);
// mkdir of one level; true when the folder exists afterwards.
bool makeFolder(const std::string& path);
// Names of the entries of `folder` whose name ends in ".rtf" (any letter case), sorted: the
// regular files only (a symbolic link is not followed, so a link to a file elsewhere is never
// copied), or with `withLinks` the symbolic links too (for removing them). False when the
// folder cannot be read.
bool listRtf(const std::string& folder, std::vector<std::string>& names, bool withLinks = false);
// The name of the entry of `folder` called `name` regardless of ASCII letter case (the exact
// spelling first), or "" when there is none. Folders written on Windows may spell
// "Kelvora.dat" in any case.
std::string entryNoCase(const std::string& folder, const std::string& name);
// A folder itself, not a symbolic link to one.
bool isRealFolder(const std::string& path);
// Names of every entry of `folder` but "." and ".." (unsorted); false when it cannot be read.
bool listEntries(const std::string& folder, std::vector<std::string>& names);
// Reads a whole regular file (no FIFO, device or folder; a link in the last component is not
// followed) of at most `maxBytes` bytes. False when it is anything else, larger or unreadable.
bool readRegularFile(const std::string& path, std::size_t maxBytes, std::string& bytes);
// Writes `bytes` to `dst` durably through a temporary created as createExclusive does
// (`dst` + ".part~"): write, fsync, rename. False (temporary removed, `dst` untouched) on failure.
bool writeFileDurably(const std::string& dst, const std::string& bytes, const StepHook& hook);
// True while a process of that id runs (also when it belongs to another user).
bool processAlive(long pid);
// Removes a folder with everything in it; true when it is gone. A symbolic link is removed as
// a link and never followed, also when `path` ends in '/'.
bool removeTree(const std::string& path);

}  // namespace recfs
