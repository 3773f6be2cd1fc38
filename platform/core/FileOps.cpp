#include "platform/core/FileOps.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <chrono>
#include <cstring>
#include <thread>

namespace recfs {

void Fd::reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool Fd::close() {
    if (fd_ < 0) return false;
    const int r = ::close(fd_);
    fd_ = -1;
    return r == 0;
}

namespace {
int openRetry(const std::string& path, int flags, mode_t mode = 0644) {
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool lockWithin(int fd, Lock lock, int timeoutMs) {
    const int op = (lock == Lock::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (::flock(fd, op) == 0) return true;
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) return false;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}
}  // namespace

namespace {
// An open that cannot block on a FIFO, kept only when it names a regular file; the descriptor
// is made blocking again (for a regular file the flag changes nothing, but it is not ours).
Fd openRegular(const std::string& path, int flags) {
    Fd fd(openRetry(path, flags | O_NONBLOCK));
    if (!fd.valid()) return {};
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    const int fl = ::fcntl(fd.get(), F_GETFL);
    if (fl == -1 || ::fcntl(fd.get(), F_SETFL, fl & ~O_NONBLOCK) == -1) return {};
    return fd;
}

// The path without trailing slashes ("/" stays "/").
std::string withoutSlash(std::string p) {
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return p;
}
}  // namespace

Fd openLocked(const std::string& path, int flags, Lock lock, int timeoutMs) {
    // A few rounds are enough: each retry means another program replaced the file just now.
    for (int round = 0; round < 20; ++round) {
        Fd fd = openRegular(path, flags);
        if (!fd.valid()) return {};
        if (!lockWithin(fd.get(), lock, timeoutMs)) return {};
        struct stat held {}, named {};
        if (::fstat(fd.get(), &held) != 0) return {};
        if (::stat(path.c_str(), &named) == 0 && named.st_dev == held.st_dev &&
            named.st_ino == held.st_ino)
            return fd;
        // The path now names another file (or none): lock that one instead.
    }
    return {};
}

Fd openRegularForReading(const std::string& path, bool followLink) {
    return openRegular(path, followLink ? O_RDONLY : O_RDONLY | O_NOFOLLOW);
}

Fd createExclusive(const std::string& path, mode_t mode, std::string& created) {
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
    for (int i = 0; i < 100; ++i) {
        const std::string name = i == 0 ? path : path + std::to_string(i);
        Fd fd(openRetry(name, flags, mode));
        if (fd.valid()) {
            created = name;
            return fd;
        }
        if (errno != EEXIST) return {};
        if (i == 0) {
            // A temporary a killed run left behind, or something planted there: unlink removes
            // a link itself, never its target. A folder stays and the next name is tried.
            struct stat st {};
            if (::lstat(name.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) &&
                ::unlink(name.c_str()) == 0) {
                Fd again(openRetry(name, flags, mode));
                if (again.valid()) {
                    created = name;
                    return again;
                }
                if (errno != EEXIST) return {};
            }
        }
    }
    return {};
}

off_t fileSize(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return -1;
    return st.st_size;
}

off_t dataSize(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return -1;
    // Only a file with fewer blocks than bytes can have a hole; the search for one is skipped
    // for every other file (on some file systems it waits for pending writes to reach disk).
    if (static_cast<long long>(st.st_blocks) * 512 >= static_cast<long long>(st.st_size))
        return st.st_size;
    const off_t hole = ::lseek(fd, 0, SEEK_HOLE);
    if (hole < 0) return st.st_size;  // no hole search here: take the size as it stands
    return std::min(hole, st.st_size);
}

bool fitsFileSizeLimit(off_t bytes) {
    struct rlimit rl {};
    if (::getrlimit(RLIMIT_FSIZE, &rl) != 0) return true;
    if (rl.rlim_cur == RLIM_INFINITY) return true;
    return static_cast<unsigned long long>(bytes) <= static_cast<unsigned long long>(rl.rlim_cur);
}

bool readFully(int fd, void* buf, std::size_t n, off_t offset) {
    auto* p = static_cast<char*>(buf);
    while (n > 0) {
        const ssize_t r = ::pread(fd, p, n, offset);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        p += r;
        n -= static_cast<std::size_t>(r);
        offset += r;
    }
    return true;
}

bool writeFully(int fd, const void* buf, std::size_t n, off_t offset) {
    const auto* p = static_cast<const char*>(buf);
    while (n > 0) {
        const ssize_t r = ::pwrite(fd, p, n, offset);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        p += r;
        n -= static_cast<std::size_t>(r);
        offset += r;
    }
    return true;
}

bool syncFolder(const std::string& folder) {
    Fd d(openRetry(folder, O_RDONLY | O_DIRECTORY));
    if (!d.valid()) return false;
    return ::fsync(d.get()) == 0;
}

namespace {
std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}
}  // namespace

bool copyToFile(int src, off_t bytes, const std::string& dst, const StepHook& hook) {
    std::string tmp;
    Fd out = createExclusive(dst + ".part~", 0644, tmp);
    if (!out.valid()) return false;
    auto fail = [&] {
        out.reset();
        ::unlink(tmp.c_str());
        return false;
    };
    std::vector<char> buf(1 << 16);
    off_t done = 0;
    while (done < bytes) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<off_t>(static_cast<off_t>(buf.size()), bytes - done));
        if (!readFully(src, buf.data(), want, done)) return fail();  // short or unreadable source
        if (hook) hook("copy: write chunk");
        if (!writeFully(out.get(), buf.data(), want, done)) return fail();
        done += static_cast<off_t>(want);
    }
    if (hook) hook("copy: fsync");
    if (::fsync(out.get()) != 0) return fail();
    if (!out.close()) {
        ::unlink(tmp.c_str());
        return false;
    }
    if (hook) hook("copy: rename");
    if (::rename(tmp.c_str(), dst.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    syncFolder(folderOf(dst));
    return true;
}

bool copyFile(const std::string& src, const std::string& dst, const StepHook& hook) {
    Fd in = openRegularForReading(src);
    if (!in.valid()) return false;
    const off_t size = fileSize(in.get());
    if (size < 0) return false;
    return copyToFile(in.get(), size, dst, hook);
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(withoutSlash(path).c_str(), &st) == 0;
}

bool makeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) == 0) return true;
    return errno == EEXIST && isFolder(path);
}

namespace {
std::string lowerAscii(std::string s) {
    for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return s;
}
}  // namespace

bool listRtf(const std::string& folder, std::vector<std::string>& names, bool withLinks) {
    names.clear();
    DIR* d = ::opendir(folder.c_str());
    if (!d) return false;
    std::string dir = folder;
    if (!dir.empty() && dir.back() != '/') dir += '/';
    while (const dirent* e = ::readdir(d)) {
        const std::string n = e->d_name;
        if (n.size() < 4) continue;
        if (lowerAscii(n.substr(n.size() - 4)) != ".rtf") continue;
        struct stat st {};
        if (::lstat((dir + n).c_str(), &st) != 0) continue;
        if (!S_ISREG(st.st_mode) && !(withLinks && S_ISLNK(st.st_mode))) continue;
        names.push_back(n);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    return true;
}


std::string entryNoCase(const std::string& folder, const std::string& name) {
    std::string dir = folder;
    if (!dir.empty() && dir.back() != '/') dir += '/';
    if (exists(dir + name)) return name;
    DIR* d = ::opendir(dir.c_str());
    if (!d) return {};
    const std::string want = lowerAscii(name);
    std::vector<std::string> hits;
    while (const dirent* e = ::readdir(d))
        if (lowerAscii(e->d_name) == want) hits.push_back(e->d_name);
    ::closedir(d);
    if (hits.empty()) return {};
    std::sort(hits.begin(), hits.end());
    return hits.front();
}

bool isRealFolder(const std::string& path) {
    struct stat st {};
    return ::lstat(withoutSlash(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool listEntries(const std::string& folder, std::vector<std::string>& names) {
    names.clear();
    DIR* d = ::opendir(folder.c_str());
    if (!d) return false;
    while (const dirent* e = ::readdir(d)) {
        const std::string n = e->d_name;
        if (n != "." && n != "..") names.push_back(n);
    }
    ::closedir(d);
    return true;
}

bool readRegularFile(const std::string& path, std::size_t maxBytes, std::string& bytes) {
    bytes.clear();
    Fd in = openRegularForReading(path);
    if (!in.valid()) return false;
    const off_t size = fileSize(in.get());
    if (size < 0 || static_cast<unsigned long long>(size) > maxBytes) return false;
    bytes.resize(static_cast<std::size_t>(size));
    return size == 0 || readFully(in.get(), bytes.data(), bytes.size(), 0);
}

bool writeFileDurably(const std::string& dst, const std::string& bytes, const StepHook& hook) {
    std::string tmp;
    Fd out = createExclusive(dst + ".part~", 0644, tmp);
    if (!out.valid()) return false;
    if (hook) hook("write: data");
    const bool written = (bytes.empty() || writeFully(out.get(), bytes.data(), bytes.size(), 0)) &&
                         ::fsync(out.get()) == 0 && out.close();
    if (hook && written) hook("write: rename");
    if (!written || ::rename(tmp.c_str(), dst.c_str()) != 0) {
        out.reset();
        ::unlink(tmp.c_str());
        return false;
    }
    syncFolder(folderOf(dst));
    return true;
}

bool processAlive(long pid) {
    if (pid <= 0 || pid > INT_MAX) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

bool removeTree(const std::string& named) {
    // "link/" would name the folder behind the link: the slash goes, so the link is removed.
    const std::string path = withoutSlash(named);
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT;
    if (!S_ISDIR(st.st_mode)) return ::unlink(path.c_str()) == 0;
    // Opened without following a link, in case the folder was replaced by one just now.
    const int dfd = openRetry(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    DIR* d = dfd >= 0 ? ::fdopendir(dfd) : nullptr;
    if (!d && dfd >= 0) ::close(dfd);
    if (d) {
        std::vector<std::string> entries;
        while (const dirent* e = ::readdir(d)) {
            const std::string n = e->d_name;
            if (n != "." && n != "..") entries.push_back(n);
        }
        ::closedir(d);
        std::string dir = path;
        if (dir.back() != '/') dir += '/';
        for (const auto& n : entries) removeTree(dir + n);
    }
    return ::rmdir(path.c_str()) == 0 || errno == ENOENT;
}

}  // namespace recfs
