// The case store: many new cases appended as one step (an import of charts from another
// program). A journal in dat/ ("Kelvora.batch.<pid>", locked by its writer while the step runs)
// holds the file's size before the step and the comment files it creates; the step is done when
// the journal goes. A journal a killed run left is rolled back by the next Open: the record file
// gets its old length again (or, when another program appended after the batch meanwhile, the
// batch's records are marked deleted) and the new comment files go.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <set>

#include "records/Database.h"
#include "records/DatabaseDetail.h"

using recfs::Fd;
using recfs::Lock;
using namespace records_detail;

namespace {
constexpr char kBatchMagic[4] = {'T', 'C', 'B', '1'};
const char* const kBatchPrefix = "Kelvora.batch.";

struct BatchHead {
    char magic[4];
    uint32_t count;     // records of the batch
    int64_t oldSize;    // bytes of the record file before the step
    uint32_t nameBytes; // NUL-terminated comment file names that follow
    uint32_t check;     // FNV-1a of the head (check zero) and the names
    uint64_t generation;  // of the store during the step
};

// The store's generation (dat/Kelvora.gen): raised by compaction, import and clearing, which
// renumber the records a rollback would cut.
uint64_t generationOf(const std::string& path) {
    Fd fd = recfs::openRegularForReading(path);
    uint64_t v = 0;
    if (!fd.valid() || !recfs::readFully(fd.get(), &v, sizeof v, 0)) return 0;
    return v;
}

std::string batchBytes(BatchHead head, const std::string& names) {
    head.check = 0;
    std::string all(reinterpret_cast<const char*>(&head), sizeof head);
    all += names;
    const uint32_t check = fnv1a(all.data(), all.size());
    std::memcpy(all.data() + offsetof(BatchHead, check), &check, sizeof check);
    return all;
}

bool parseBatch(const std::string& bytes, BatchHead& head, std::vector<std::string>& names) {
    if (bytes.size() < sizeof head) return false;
    std::memcpy(&head, bytes.data(), sizeof head);
    std::string copy = bytes;
    std::memset(copy.data() + offsetof(BatchHead, check), 0, sizeof head.check);
    if (std::memcmp(head.magic, kBatchMagic, 4) != 0 || head.nameBytes != bytes.size() - sizeof head ||
        fnv1a(copy.data(), copy.size()) != head.check || head.oldSize < 0)
        return false;
    std::size_t at = sizeof head;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find('\0', at);
        if (end == std::string::npos) return false;
        const std::string n = bytes.substr(at, end - at);
        if (n.empty() || n == "." || n == ".." || n.find('/') != std::string::npos) return false;
        names.push_back(n);
        at = end + 1;
    }
    return true;
}

// Puts the record file back to `head`'s state: cut to its old length, or the batch's records
// marked deleted when later records follow them.
bool rollBackRecords(int fd, const BatchHead& head) {
    const off_t size = recfs::fileSize(fd);
    if (size < 0) return false;
    if (size <= head.oldSize) return true;
    const off_t batchEnd = head.oldSize + static_cast<off_t>(head.count) * kRec;
    if (size <= batchEnd) return ::ftruncate(fd, head.oldSize) == 0 && ::fsync(fd) == 0;
    const uint8_t deleted = 1;
    for (off_t at = head.oldSize; at + kRec <= batchEnd; at += kRec)
        if (!recfs::writeFully(fd, &deleted, 1, at + 4)) return false;
    return ::fsync(fd) == 0;
}
}  // namespace

bool MDataBase::AppendCases(std::vector<CaseRecord>& recs, const std::vector<std::string>& comments,
                            const std::function<bool(std::size_t, std::size_t)>& progress) {
    if (!opened_ || (!comments.empty() && comments.size() != recs.size())) return false;
    if (recs.empty()) return true;
    // Comment names first (they read the record file under a lock of their own): unique among
    // the stored records, the existing files and the batch itself.
    std::set<std::string> named;
    bool anyComment = false;
    for (const auto& c : comments) anyComment = anyComment || !c.empty();
    if (anyComment)
        ForEachRecord([&](int, const CaseRecord& r) {
            if (!r.commentGbk().empty()) named.insert(CommentFilePath(r));
        });
    auto taken = [&](const std::string& path) { return named.count(path) > 0; };
    std::string names;
    std::vector<std::string> commentPaths(recs.size());
    for (std::size_t i = 0; i < comments.size(); ++i) {
        if (comments[i].empty()) {
            recs[i].setCommentGbk("");
            continue;
        }
        recs[i].setCommentGbk(commentNameWith(recs[i], taken));
        named.insert(CommentFilePath(recs[i]));
        commentPaths[i] = CommentFilePath(recs[i]);
        names += commentPaths[i].substr(commentPaths[i].rfind('/') + 1) + '\0';
    }
    ScanPause pause(scanFd_);
    Fd fd = recfs::openLocked(RecordFilePath(), O_RDWR, Lock::Exclusive, lockTimeoutMs_);
    if (!fd.valid() || !undoTornWrite(fd.get())) return false;
    const off_t oldSize = recfs::fileSize(fd.get());
    if (oldSize < 0) return false;
    const int first = recordCount(fd.get());
    const off_t start = static_cast<off_t>(first) * kRec;  // over a trailing partial record
    if (!recfs::fitsFileSizeLimit(start + static_cast<off_t>(recs.size()) * kRec)) return false;

    // 1. The journal, on disk and locked before it takes its name.
    BatchHead head{};
    std::memcpy(head.magic, kBatchMagic, 4);
    head.count = static_cast<uint32_t>(recs.size());
    head.oldSize = oldSize;
    head.nameBytes = static_cast<uint32_t>(names.size());
    head.generation = generationOf(GenerationFilePath());
    const std::string journalPath = base_ + "dat/" + kBatchPrefix + std::to_string(::getpid());
    const std::string bytes = batchBytes(head, names);
    std::string tmp;
    Fd journal = recfs::createExclusive(journalPath + ".part~", 0644, tmp);
    if (!journal.valid()) return false;
    step("batch: write journal");
    if (!recfs::writeFully(journal.get(), bytes.data(), bytes.size(), 0) || ::fsync(journal.get()) != 0 ||
        ::flock(journal.get(), LOCK_EX | LOCK_NB) != 0 || ::rename(tmp.c_str(), journalPath.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    recfs::syncFolder(base_ + "dat");
    auto undo = [&]() {
        const bool back = rollBackRecords(fd.get(), head);
        for (const auto& p : commentPaths)
            if (!p.empty()) ::unlink(p.c_str());
        if (back) ::unlink(journalPath.c_str());  // otherwise the next Open rolls it back
        return false;
    };
    // 2. The comment files, under names nothing refers to yet.
    for (std::size_t i = 0; i < comments.size(); ++i) {
        if (commentPaths[i].empty()) continue;
        std::string made;
        Fd out = recfs::createExclusive(commentPaths[i], 0644, made);
        if (!out.valid() || made != commentPaths[i]) {
            if (out.valid()) ::unlink(made.c_str());
            commentPaths[i].clear();
            return undo();
        }
        step("batch: write comment");
        if (!recfs::writeFully(out.get(), comments[i].data(), comments[i].size(), 0) || !out.close()) return undo();
    }
    // The comment files on disk before any record names them: one flush of their file system
    // instead of one per file.
    if (!names.empty()) {
        Fd folder(::open(CommentFolder().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!folder.valid() || ::syncfs(folder.get()) != 0) return undo();
    }
    // 3. The records, in chunks (a cancel or a kill between two leaves the journal to undo them).
    for (std::size_t i = 0; i < recs.size(); ++i) {
        recs[i].number = first + static_cast<int32_t>(i);
        recs[i].deleted = 0;
    }
    for (std::size_t done = 0; done < recs.size();) {
        const std::size_t n = std::min(kChunkRecords, recs.size() - done);
        step("batch: write records");
        if (!recfs::writeFully(fd.get(), recs.data() + done, n * static_cast<std::size_t>(kRec),
                               start + static_cast<off_t>(done) * kRec))
            return undo();
        done += n;
        if (progress && !progress(done, recs.size())) return undo();
    }
    if (::ftruncate(fd.get(), start + static_cast<off_t>(recs.size()) * kRec) != 0 || ::fsync(fd.get()) != 0)
        return undo();
    // 4. The commit: the journal goes.
    step("batch: commit");
    if (::unlink(journalPath.c_str()) != 0) return undo();
    recfs::syncFolder(base_ + "dat");
    return true;
}

void MDataBase::recoverBatches() {
    const std::string dat = base_ + "dat/";
    std::vector<std::string> entries;
    if (!recfs::listEntries(dat, entries)) return;
    for (const auto& n : entries) {
        if (n.compare(0, std::strlen(kBatchPrefix), kBatchPrefix) != 0) continue;
        const std::string path = dat + n;
        const std::size_t part = n.find(".part~");
        if (part != std::string::npos) {
            const std::string pid = n.substr(std::strlen(kBatchPrefix), part - std::strlen(kBatchPrefix));
            if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos || pid.size() > 9 ||
                !recfs::processAlive(std::stol(pid)))
                ::unlink(path.c_str());
            continue;
        }
        Fd jfd = recfs::openRegularForReading(path);
        if (!jfd.valid() || ::flock(jfd.get(), LOCK_EX | LOCK_NB) != 0) continue;  // still at work
        struct stat held {}, named {};
        if (::fstat(jfd.get(), &held) != 0 || ::lstat(path.c_str(), &named) != 0 || held.st_ino != named.st_ino)
            continue;
        const off_t size = recfs::fileSize(jfd.get());
        if (size < 0 || size > (16 << 20)) continue;
        std::string bytes(static_cast<std::size_t>(size), '\0');
        if (size > 0 && !recfs::readFully(jfd.get(), bytes.data(), bytes.size(), 0)) continue;
        BatchHead head{};
        std::vector<std::string> names;
        // Since the kill the store was compacted, imported or cleared: the batch's records, if
        // any are left, are ordinary cases now and keep their comments.
        if (parseBatch(bytes, head, names) && head.generation == generationOf(GenerationFilePath())) {
            Fd fd = recfs::openLocked(RecordFilePath(), O_RDWR, Lock::Exclusive, lockTimeoutMs_);
            if (!fd.valid() || !rollBackRecords(fd.get(), head)) continue;
            for (const auto& c : names) ::unlink((CommentFolder() + c).c_str());
            recfs::syncFolder(CommentFolder());
        }
        ::unlink(path.c_str());
        recfs::syncFolder(dat);
    }
}
