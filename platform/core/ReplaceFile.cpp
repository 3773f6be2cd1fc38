#include "platform/core/ReplaceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>

#include "platform/core/FileOps.h"

namespace recfs {
namespace {
std::string folderPart(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string namePart(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A new file beside `target`, created exclusively under a name nobody else uses
// (".<name>.<pid>-<n>.tmp", hidden like other programs' save temporaries).
Fd createTemporary(const std::string& target, mode_t mode, std::string& created) {
    const std::string folder = folderPart(target);
    std::string stem = namePart(target);
    if (stem.size() > 200) stem.resize(200);  // room for the suffix within NAME_MAX
    const auto seed = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    for (unsigned i = 0; i < 100; ++i) {
        const std::string name = folder + "/." + stem + "." + std::to_string(::getpid()) + "-" +
                                 std::to_string((seed + i * 7919ull) % 1000000ull) + ".tmp";
        int fd;
        do {
            fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        } while (fd < 0 && errno == EINTR);
        if (fd >= 0) {
            created = name;
            return Fd(fd);
        }
        if (errno != EEXIST) return {};
    }
    return {};
}
}  // namespace

ReplaceResult replaceFile(const std::string& path, const std::string& bytes,
                          const std::function<void(const char*)>& hook) {
    if (path.empty()) return ReplaceResult::NotWritable;
    std::string target = path;
    mode_t mode = 0666;  // narrowed by the umask for a new file
    bool existed = false;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        // Only a look at the entry: a FIFO or a device is never opened.
        if (!S_ISREG(st.st_mode)) return ReplaceResult::NotRegularFile;
        if (::access(path.c_str(), W_OK) != 0) return ReplaceResult::NotWritable;
        struct stat lst {};
        if (::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
            // The link stays; the file it names is replaced.
            char* real = ::realpath(path.c_str(), nullptr);
            if (!real) return ReplaceResult::NotWritable;
            target = real;
            std::free(real);
        }
        mode = st.st_mode & 07777;
        existed = true;
    } else if (errno != ENOENT) {
        return ReplaceResult::NotWritable;
    } else {
        struct stat lst {};
        if (::lstat(path.c_str(), &lst) == 0) return ReplaceResult::NotWritable;  // a dangling link
    }
    if (!isFolder(folderPart(target))) return ReplaceResult::NotWritable;

    std::string tmp;
    Fd out = createTemporary(target, existed ? (mode & 0600) : mode, tmp);
    if (!out.valid()) return errno == EACCES || errno == EPERM || errno == EROFS
                                 ? ReplaceResult::NotWritable
                                 : ReplaceResult::WriteFailed;
    if (hook) hook("replace: write");
    bool ok = bytes.empty() || writeFully(out.get(), bytes.data(), bytes.size(), 0);
    if (ok && existed) ok = ::fchmod(out.get(), mode) == 0;
    ok = ok && ::fsync(out.get()) == 0;
    ok = out.close() && ok;
    if (ok && hook) hook("replace: rename");
    if (!ok || ::rename(tmp.c_str(), target.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return ReplaceResult::WriteFailed;
    }
    syncFolder(folderPart(target));
    return ReplaceResult::Written;
}

std::string replaceFailureText(ReplaceResult result, const std::string& path) {
    switch (result) {
        case ReplaceResult::Written: return {};
        case ReplaceResult::NotRegularFile:
            return "无法保存到“" + path + "”：这个名称不是普通文件（可能是设备、管道或文件夹），没有写入任何内容。";
        case ReplaceResult::NotWritable:
            return "无法保存到“" + path + "”：没有写入权限，或文件夹不存在。原有的文件保持不变。";
        case ReplaceResult::WriteFailed:
            return "保存“" + path + "”时写入失败（磁盘可能已满）。原有的文件保持不变。";
    }
    return {};
}

}  // namespace recfs
