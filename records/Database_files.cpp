// The case store: whole-file work. Compaction, export, import with its staging folder and
// commit file, clearing, the undo file of an overwrite, the generation counter, and the
// recovery at Open of whatever an interrupted operation left behind.
#include "records/Database.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>

#include "platform/core/FileOps.h"
#include "platform/core/Gbk.h"
#include "records/DatabaseDetail.h"

using recfs::Fd;
using recfs::Lock;
using namespace records_detail;

namespace {
const char* const kRecordFile = "dat/Kelvora.dat";
const char* const kCompactFile = "dat/ming.bak";
const char* const kCommentFolder = "Kelvora_f/";
const char* const kStageFolder = "dat/import.stage/";
const char* const kCommitFile = "dat/import.commit";
const char* const kUndoFile = "dat/Kelvora.undo";
const char* const kGenerationFile = "dat/Kelvora.gen";

// The manifest of an import: the comment file names, NUL-terminated one after another.
bool readManifest(const std::string& path, std::vector<std::string>& names) {
    names.clear();
    Fd fd = recfs::openRegularForReading(path);
    if (!fd.valid()) return false;
    const off_t size = recfs::fileSize(fd.get());
    if (size < 0) return false;
    std::string all(static_cast<std::size_t>(size), '\0');
    if (size > 0 && !recfs::readFully(fd.get(), all.data(), all.size(), 0)) return false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i] == '\0') {
            names.push_back(all.substr(start, i - start));
            start = i + 1;
        }
    return true;
}

// rename, or copy and delete when the two names lie on different file systems.
bool moveFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    if (errno != EXDEV) return false;
    return recfs::copyFile(from, to, {}) && ::unlink(from.c_str()) == 0;
}

// The store's generation counter (8 bytes, little-endian); 0 when the file is missing.
uint64_t readGeneration(const std::string& path) {
    Fd fd = recfs::openRegularForReading(path);
    uint64_t v = 0;
    if (!fd.valid() || !recfs::readFully(fd.get(), &v, sizeof v, 0)) return 0;
    return v;
}

bool writeGeneration(const std::string& path, uint64_t v) {
    Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644));
    return fd.valid() && recfs::writeFully(fd.get(), &v, sizeof v, 0) && fd.close();
}

bool plainName(const std::string& n) {
    return !n.empty() && n != "." && n != ".." && n.find('/') == std::string::npos;
}
}  // namespace

// ---- MDataBase: paths and opening ----------------------------------------------------------

std::string MDataBase::RecordFilePath() const { return base_ + kRecordFile; }
std::string MDataBase::CompactFilePath() const { return base_ + kCompactFile; }
std::string MDataBase::UndoFilePath() const { return base_ + kUndoFile; }
std::string MDataBase::GenerationFilePath() const { return base_ + kGenerationFile; }
std::string MDataBase::CommentFolder() const { return base_ + kCommentFolder; }

bool MDataBase::Open(const std::string& baseFolder) {
    EndScan();
    base_ = withSlash(baseFolder);
    opened_ = true;
    recfs::makeFolder(base_ + "dat");
    recfs::makeFolder(base_ + "Kelvora_f");
    const std::string path = RecordFilePath();
    if (!recfs::exists(path)) {
        Fd created(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    }
    // A FIFO, a device or a folder under the record file's name is no store (and would hang or
    // mislead every operation).
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    finishInterruptedWork();
    generation_ = readGeneration(GenerationFilePath());
    recoverJournals();
    recoverBatches();
    removeDeadTemporaries();
    return true;
}

bool MDataBase::ImportPending() const { return opened_ && recfs::exists(base_ + kCommitFile); }

// Finishes or undoes what a killed compaction or import left: an import past its commit point
// is completed, anything earlier is thrown away. Takes the exclusive lock itself.
bool MDataBase::finishInterruptedWork() {
    const std::string commit = base_ + kCommitFile;
    const std::string stage = base_ + kStageFolder;
    const bool pending = recfs::exists(commit) || recfs::exists(stage) ||
                         recfs::exists(CompactFilePath()) || recfs::exists(commit + ".part~") ||
                         recfs::exists(UndoFilePath());
    if (!pending) return true;
    Fd lock = recfs::openLocked(RecordFilePath(), O_RDWR, Lock::Exclusive, lockTimeoutMs_);
    if (!lock.valid()) return false;
    if (!undoTornWrite(lock.get())) return false;
    bool ok = true;
    std::vector<std::string> names;
    if (recfs::exists(commit)) {
        // Past the commit point: finish the swap. An unreadable commit file leaves everything
        // as it is for a later try.
        if (!readManifest(commit, names)) return false;
        ok = applyImport(names);
    } else {
        ::unlink((commit + ".part~").c_str());
        ok = recfs::removeTree(stage);
    }
    ::unlink(CompactFilePath().c_str());
    return ok;
}

// The swap of an import, from its commit file on. Every step can be repeated, so a swap killed
// half-way is simply run again by the next Open.
bool MDataBase::applyImport(const std::vector<std::string>& newComments) {
    const std::string stage = base_ + kStageFolder;
    const std::string stagedRecords = stage + "Kelvora.dat";
    bool ok = true;
    // Locked before it is renamed in and until the comments are swapped too: another copy of
    // the program that opens the new record file meanwhile waits instead of working on a half
    // swapped store (or finishing the same swap at its start).
    Fd newLock;
    if (recfs::exists(stagedRecords)) {
        newLock = Fd(::open(stagedRecords.c_str(), O_RDONLY | O_CLOEXEC));
        if (!newLock.valid() || ::flock(newLock.get(), LOCK_EX | LOCK_NB) != 0) return false;
        if (!raiseGeneration()) return false;
        step("import: rename record file");
        ok = ::rename(stagedRecords.c_str(), RecordFilePath().c_str()) == 0 && ok;
        recfs::syncFolder(base_ + "dat");
    }
    const std::string live = CommentFolder();
    recfs::makeFolder(base_ + "Kelvora_f");
    // A comment folder that is a link points at files the store does not own: nothing there is
    // deleted or replaced. The commit file stays until the folder is a folder again.
    if (!recfs::isRealFolder(live)) return false;
    std::set<std::string> keep;
    for (const auto& n : newComments)
        if (plainName(n)) keep.insert(n);
    std::vector<std::string> old;
    if (recfs::listRtf(live, old, true)) {
        for (const auto& n : old) {
            if (keep.count(n)) continue;
            step("import: delete old comment");
            if (::unlink((live + n).c_str()) != 0) ok = false;
        }
    }
    for (const auto& n : keep) {
        const std::string from = stage + "Kelvora_f/" + n;
        if (!recfs::exists(from)) continue;  // moved before an interruption
        step("import: move comment");
        if (!moveFile(from, live + n)) ok = false;
    }
    recfs::syncFolder(live);
    if (!ok) return false;  // the commit file stays; the next Open tries again
    step("import: remove commit file");
    ::unlink((base_ + kCommitFile).c_str());
    recfs::syncFolder(base_ + "dat");
    recfs::removeTree(stage);
    return true;
}

// ---- generation and undo -------------------------------------------------------------------

bool MDataBase::generationMatches() const {
    return readGeneration(GenerationFilePath()) == generation_;
}

bool MDataBase::RecordNumbersCurrent() const { return opened_ && generationMatches(); }

// Called under the exclusive lock before the record numbers change. The new value is above both
// the file's and our own, so every copy sees a difference, this one included: the tree and the
// open case of this copy hold the old numbers too (after an import the closing path would
// otherwise save the open case over whatever the imported file holds at its number).
bool MDataBase::raiseGeneration() {
    const uint64_t next = std::max(readGeneration(GenerationFilePath()), generation_) + 1;
    return writeGeneration(GenerationFilePath(), next);
}

bool MDataBase::undoTornWrite(int fd) const {
    const std::string undo = UndoFilePath();
    Fd in = recfs::openRegularForReading(undo);
    if (!in.valid()) {
        struct stat st {};
        if (::lstat(undo.c_str(), &st) != 0) return errno == ENOENT;
        // Not a file an overwrite wrote (a link, a FIFO...): nothing of ours to put back.
        if (!S_ISREG(st.st_mode)) return ::unlink(undo.c_str()) == 0;
        return false;  // ours, but unreadable now: keep it for a later try
    }
    UndoEntry e{};
    const bool whole = recfs::fileSize(in.get()) == static_cast<off_t>(sizeof e) &&
                       recfs::readFully(in.get(), &e, sizeof e, 0) &&
                       std::memcmp(e.magic, kUndoMagic, sizeof e.magic) == 0 &&
                       e.check == fnv1a(&e, offsetof(UndoEntry, check));
    in.reset();
    // An incomplete entry means the overwrite had not begun: nothing to put back.
    if (whole && e.number >= 0 && e.number < recordCount(fd)) {
        if (!recfs::writeFully(fd, &e.old, sizeof e.old, e.number * kRec)) return false;
    }
    return ::unlink(undo.c_str()) == 0 || errno == ENOENT;
}

void MDataBase::undoTornWriteIfPending() const {
    if (!recfs::exists(UndoFilePath())) return;
    const ScanPause pause(scanFd_);
    Fd fd = recfs::openLocked(RecordFilePath(), O_RDWR, Lock::Exclusive, lockTimeoutMs_);
    if (fd.valid()) undoTornWrite(fd.get());
}

// ---- whole-file operations -----------------------------------------------------------------

bool MDataBase::Compact() {
    if (!opened_) return false;
    EndScan();
    finishInterruptedWork();
    const std::string path = RecordFilePath();
    const std::string bak = CompactFilePath();
    Fd src = recfs::openLocked(path, O_RDWR, Lock::Exclusive, lockTimeoutMs_);
    if (!src.valid()) return false;
    if (!undoTornWrite(src.get())) return false;
    struct stat st {};
    if (::fstat(src.get(), &st) != 0) return false;
    const int count = recordCount(src.get());

    step("compact: create ming.bak");
    Fd out(::open(bak.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                  st.st_mode & 07777));
    if (!out.valid()) {
        ::unlink(bak.c_str());  // something not ours under the name (a link is not followed)
        return false;
    }
    auto fail = [&] {
        out.reset();
        ::unlink(bak.c_str());
        return false;
    };
    std::vector<CaseRecord> chunk(kChunkRecords);
    int k = 0;
    for (int first = 0; first < count;) {
        const int n = std::min<int>(static_cast<int>(kChunkRecords), count - first);
        if (!recfs::readFully(src.get(), chunk.data(), static_cast<std::size_t>(n) * kRec,
                              first * kRec))
            return fail();
        int kept = 0;
        for (int i = 0; i < n; ++i) {
            if (chunk[i].deleted == 1) continue;
            chunk[kept] = chunk[i];
            chunk[kept].number = k + kept;
            ++kept;
        }
        if (kept > 0) {
            step("compact: write ming.bak");
            if (!recfs::writeFully(out.get(), chunk.data(), static_cast<std::size_t>(kept) * kRec,
                                   k * kRec))
                return fail();
        }
        k += kept;
        first += n;
    }
    step("compact: fsync ming.bak");
    if (::fsync(out.get()) != 0) return fail();
    if (!out.close()) {
        ::unlink(bak.c_str());
        return false;
    }
    const uint64_t generationBefore = readGeneration(GenerationFilePath());
    if (!raiseGeneration()) {
        ::unlink(bak.c_str());
        return false;
    }
    step("compact: rename");
    if (::rename(bak.c_str(), path.c_str()) != 0) {
        ::unlink(bak.c_str());
        // Nothing was renumbered after all; no other copy can have changed the counter while
        // we hold the lock.
        writeGeneration(GenerationFilePath(), generationBefore);
        return false;
    }
    recfs::syncFolder(base_ + "dat");
    return true;
}

bool MDataBase::ExportTo(const std::string& targetFolder) {
    if (!opened_) return false;
    finishInterruptedWork();
    undoTornWriteIfPending();  // never export a record a killed overwrite left half written
    const std::string target = withSlash(targetFolder);
    if (!recfs::makeFolder(target.substr(0, target.size() - 1))) return false;
    // The live cases only, numbered by their place in the written file, and the comment files
    // they name: deleted cases and orphaned comments stay behind.
    std::string records;
    std::set<std::string> named;
    const bool readable = ForEachRecord([&](int, const CaseRecord& r) {
        if (!r.isLive()) return;
        CaseRecord out = r;
        out.number = static_cast<int32_t>(records.size() / MDataBase::kRecordSize);
        records.append(reinterpret_cast<const char*>(&out), sizeof out);
        if (!r.commentGbk().empty()) named.insert(CommentFilePath(r));
    });
    if (!readable) return false;
    bool ok = recfs::writeFileDurably(target + "Kelvora.dat", records, faultHook_);
    if (!recfs::makeFolder(target + "Kelvora_f")) return false;
    std::vector<std::string> names;
    if (recfs::isFolder(CommentFolder()) && !recfs::listRtf(CommentFolder(), names)) ok = false;
    for (const auto& n : names)
        if (named.count(CommentFolder() + n) &&
            !recfs::copyFile(CommentFolder() + n, target + "Kelvora_f/" + n, faultHook_))
            ok = false;
    return ok;
}

bool MDataBase::ImportFrom(const std::string& sourceFolder) {
    if (!opened_) return false;
    EndScan();
    finishInterruptedWork();
    const std::string source = withSlash(sourceFolder);
    const std::string stage = base_ + kStageFolder;
    const std::string commit = base_ + kCommitFile;
    if (!recfs::isRealFolder(CommentFolder())) return false;  // a link: its files are not ours

    // Held for the whole import: no other copy of the program writes the store meanwhile.
    Fd lock = recfs::openLocked(RecordFilePath(), O_RDWR, Lock::Exclusive, lockTimeoutMs_);
    if (!lock.valid() || !undoTornWrite(lock.get())) return false;
    bool raised = false;
    const uint64_t generationBefore = readGeneration(GenerationFilePath());
    auto fail = [&] {
        ::unlink((commit + ".part~").c_str());
        recfs::removeTree(stage);
        if (raised) writeGeneration(GenerationFilePath(), generationBefore);
        return false;
    };

    // 1. Copy everything into the staging folder; the live store is not touched yet.
    step("import: stage");
    if (!recfs::removeTree(stage) || !recfs::makeFolder(stage.substr(0, stage.size() - 1)) ||
        !recfs::makeFolder(stage + "Kelvora_f"))
        return fail();
    const std::string recordName = recfs::entryNoCase(source, "Kelvora.dat");
    if (recordName.empty()) return fail();
    {
        // A regular file only: a FIFO would block the open for ever, with the store locked. (A
        // link to a record file is the user's choice, like the folder itself.)
        Fd in = recfs::openRegularForReading(source + recordName, true);
        if (!in.valid()) return fail();
        const off_t size = recfs::fileSize(in.get());
        if (size < 0 || size % kRec != 0) return fail();  // a cut-off record: the source is damaged
        if (recfs::dataSize(in.get()) != size) return fail();  // sparse: no record file of ours
        if (!recfs::copyToFile(in.get(), size, stage + "Kelvora.dat", faultHook_))
            return fail();
    }
    std::vector<std::string> names;
    const std::string commentName = recfs::entryNoCase(source, "Kelvora_f");
    const std::string sourceComments = source + commentName + "/";
    if (!commentName.empty() && recfs::isFolder(sourceComments)) {
        if (!recfs::listRtf(sourceComments, names)) return fail();
        for (const auto& n : names)
            if (!recfs::copyFile(sourceComments + n, stage + "Kelvora_f/" + n, faultHook_))
                return fail();
    }
    recfs::syncFolder(stage + "Kelvora_f");
    recfs::syncFolder(stage);

    // 2. The commit point: once the manifest is in place the swap is always finished. The
    // generation file is raised before it, so that it exists and its raise during the swap is
    // an overwrite in place that cannot run out of disk.
    if (!raiseGeneration()) return fail();
    raised = true;
    std::string manifest;
    for (const auto& n : names) manifest += n + '\0';
    {
        step("import: write commit file");
        Fd m(::open((commit + ".part~").c_str(),
                    O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644));
        if (!m.valid()) return fail();
        if (!manifest.empty() && !recfs::writeFully(m.get(), manifest.data(), manifest.size(), 0))
            return fail();
        if (::fsync(m.get()) != 0 || !m.close()) return fail();
        step("import: commit");
        if (::rename((commit + ".part~").c_str(), commit.c_str()) != 0) return fail();
        recfs::syncFolder(base_ + "dat");
    }

    // 3. The swap.
    return applyImport(names);
}

bool MDataBase::ClearAll() {
    if (!opened_) return false;
    if (!recfs::isRealFolder(CommentFolder())) return false;  // never delete through a link
    EndScan();
    finishInterruptedWork();
    bool ok = true;
    {
        // Emptied rather than deleted, so that new cases can be saved without a restart.
        Fd fd = recfs::openLocked(RecordFilePath(), O_RDWR | O_CREAT, Lock::Exclusive,
                                  lockTimeoutMs_);
        if (!fd.valid() || !undoTornWrite(fd.get()) || !raiseGeneration()) return false;
        step("clear: truncate record file");
        if (::ftruncate(fd.get(), 0) != 0) ok = false;
    }
    std::vector<std::string> names;
    if (recfs::listRtf(CommentFolder(), names, true))
        for (const auto& n : names) {
            step("clear: delete comment");
            if (::unlink((CommentFolder() + n).c_str()) != 0) ok = false;
        }
    return ok;
}
