// The case store: steps that change a record and a comment file (or several records) together:
// a save, a category rename, a delete. Each writes a journal in dat/ first
// ("Kelvora.journal.<pid>", locked by its writer while the step runs); the next Open rolls a
// journal a killed run left back or forward, so a case is always wholly old or wholly new. Also
// the removal of temporaries dead runs left behind.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>

#include "platform/core/FileOps.h"
#include "records/Database.h"
#include "records/DatabaseDetail.h"

using recfs::Fd;
using recfs::Lock;
using namespace records_detail;

namespace {
constexpr char kJournalMagic[4] = {'T', 'C', 'J', '1'};
constexpr uint32_t kSaveStep = 1;    // a case and its comment
constexpr uint32_t kRenameStep = 2;  // a category given to several records
constexpr uint32_t kDeleteStep = 3;  // cases deleted with their comment files
const char* const kJournalPrefix = "Kelvora.journal.";

struct JournalHead {
    char magic[4];
    uint32_t kind;
    int32_t number;   // save: the record overwritten, or -1 for an append
    uint32_t count;   // rename, delete: record numbers that follow; save: bytes of the two names
    uint64_t generation;
    CaseRecord rec;   // save: the record as written; rename: holds the new category
};

bool plainFileName(const std::string& n) {
    return !n.empty() && n != "." && n != ".." && n.find('/') == std::string::npos;
}

std::string fileNameOfPath(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// The digits at the end of `s` as a number, -1 when there are none.
long trailingNumber(const std::string& s) {
    std::size_t i = s.size();
    while (i > 0 && s[i - 1] >= '0' && s[i - 1] <= '9') --i;
    if (i == s.size() || s.size() - i > 9) return -1;
    return std::stol(s.substr(i));
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// A journal being written: durable and locked before it takes its name, removed at the end.
class JournalFile {
public:
    bool write(const std::string& path, const std::string& bytes) {
        std::string tmp;
        Fd fd = recfs::createExclusive(path + ".part~", 0644, tmp);
        if (!fd.valid()) return false;
        if (!recfs::writeFully(fd.get(), bytes.data(), bytes.size(), 0) || ::fsync(fd.get()) != 0 ||
            ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 || ::rename(tmp.c_str(), path.c_str()) != 0) {
            ::unlink(tmp.c_str());
            return false;
        }
        recfs::syncFolder(path.substr(0, path.rfind('/')));
        path_ = path;
        fd_ = std::move(fd);
        return true;
    }
    // The step is over (done or wholly undone): the journal goes.
    void drop() {
        if (!fd_.valid()) return;
        ::unlink(path_.c_str());
        fd_.reset();
    }
    // The step could not be finished: the journal stays for the next Open.
    void keep() { fd_.reset(); }
    ~JournalFile() { drop(); }

private:
    std::string path_;
    Fd fd_;
};

std::string journalBytes(const JournalHead& head, const std::string& payload) {
    std::string all(reinterpret_cast<const char*>(&head), sizeof head);
    all += payload;
    const uint32_t check = fnv1a(all.data(), all.size());
    all.append(reinterpret_cast<const char*>(&check), sizeof check);
    return all;
}
}  // namespace

bool MDataBase::ForEachRecord(const std::function<void(int, const CaseRecord&)>& visit) const {
    if (!opened_) return false;
    undoTornWriteIfPending();
    Fd fd = recfs::openLocked(RecordFilePath(), O_RDONLY, Lock::Shared, lockTimeoutMs_);
    if (!fd.valid()) return false;
    const int count = recordCount(fd.get());
    std::vector<CaseRecord> chunk(kChunkRecords);
    for (int first = 0; first < count;) {
        const int n = std::min<int>(static_cast<int>(kChunkRecords), count - first);
        if (!recfs::readFully(fd.get(), chunk.data(), static_cast<std::size_t>(n) * kRec, first * kRec))
            return false;
        for (int i = 0; i < n; ++i) visit(first + i, chunk[static_cast<std::size_t>(i)]);
        first += n;
    }
    return true;
}

bool MDataBase::ReadCommentFile(const std::string& path, std::string& bytes) {
    return recfs::readRegularFile(path, kMaxCommentBytes, bytes);
}

MDataBase::SaveResult MDataBase::SaveCase(int number, CaseRecord& rec, const std::string& commentBytes) {
    if (!opened_) return SaveResult::RecordFailed;
    const std::string finalPath = CommentFilePath(rec);
    // 1. The new comment under a temporary name, created exclusively (never through a link
    // planted under the name) and on disk before anything refers to it.
    std::string temp;
    Fd out = recfs::createExclusive(finalPath + "." + std::to_string(::getpid()) + ".part~", 0644, temp);
    if (!out.valid()) return SaveResult::CommentFailed;
    step("save: write comment");
    const bool written =
        (commentBytes.empty() || recfs::writeFully(out.get(), commentBytes.data(), commentBytes.size(), 0)) &&
        ::fsync(out.get()) == 0 && out.close();
    if (!written) {
        out.reset();
        ::unlink(temp.c_str());
        return SaveResult::CommentFailed;
    }
    // 2. The journal: what the record will hold and which file replaces which.
    JournalHead head{};
    std::memcpy(head.magic, kJournalMagic, sizeof head.magic);
    head.kind = kSaveStep;
    head.number = number < 0 ? -1 : number;
    head.generation = generation_;
    head.rec = rec;
    if (number >= 0) head.rec.number = number;
    std::string names = fileNameOfPath(temp) + '\0' + fileNameOfPath(finalPath) + '\0';
    head.count = static_cast<uint32_t>(names.size());
    JournalFile journal;
    step("save: write journal");
    if (!journal.write(base_ + "dat/" + kJournalPrefix + std::to_string(::getpid()),
                       journalBytes(head, names))) {
        ::unlink(temp.c_str());
        return SaveResult::RecordFailed;
    }
    // 3. The record. Refused: the temporary goes and nothing has changed.
    CaseRecord old{};
    const bool hadOld = number >= 0 && (ReadRecord(number, old) || old.number == number);
    step("save: write record");
    const int writtenNumber = number < 0 ? Append(rec) : (WriteRecord(number, rec) ? number : -1);
    if (writtenNumber < 0) {
        ::unlink(temp.c_str());
        journal.drop();
        return SaveResult::RecordFailed;
    }
    // 4. The comment takes its place.
    step("save: rename comment");
    if (::rename(temp.c_str(), finalPath.c_str()) != 0) {
        // Put the record back as it was, so that "not saved" still means nothing changed.
        const bool undone = number < 0 ? MarkDeleted(writtenNumber) : (hadOld && WriteRecord(number, old));
        if (!undone) {
            journal.keep();  // the next Open finishes the save
            return SaveResult::CommentFailed;
        }
        ::unlink(temp.c_str());
        journal.drop();
        return SaveResult::CommentFailed;
    }
    recfs::syncFolder(CommentFolder());
    journal.drop();
    return SaveResult::Saved;
}

bool MDataBase::RenameCategory(const std::vector<int>& numbers, std::string_view categoryGbk,
                               std::string_view oldCategoryGbk, const std::function<void()>& afterJournal) {
    if (!opened_) return false;
    JournalHead head{};
    std::memcpy(head.magic, kJournalMagic, sizeof head.magic);
    head.kind = kRenameStep;
    head.number = -1;
    head.generation = generation_;
    head.rec.setCategoryGbk(categoryGbk);
    head.rec.setCommentGbk(oldCategoryGbk);  // read by this program only; older ones ignore it
    head.count = static_cast<uint32_t>(numbers.size());
    std::string payload(reinterpret_cast<const char*>(numbers.data()), numbers.size() * sizeof(int));
    JournalFile journal;
    step("rename: write journal");
    if (!journal.write(base_ + "dat/" + kJournalPrefix + std::to_string(::getpid()),
                       journalBytes(head, payload)))
        return false;
    if (afterJournal) {
        step("rename: category list");
        afterJournal();  // a throw drops the journal: nothing has changed
    }
    if (!applyJournal(journalBytes(head, payload))) {
        journal.keep();
        return false;
    }
    journal.drop();
    return true;
}

bool MDataBase::DeleteCases(const std::vector<int>& numbers, std::vector<CaseRecord>& deleted,
                            std::vector<CommentRemoval>& removals) {
    deleted.clear();
    removals.clear();
    if (!opened_) return false;
    if (numbers.empty()) return true;
    JournalHead head{};
    std::memcpy(head.magic, kJournalMagic, sizeof head.magic);
    head.kind = kDeleteStep;
    head.number = -1;
    head.generation = generation_;
    head.count = static_cast<uint32_t>(numbers.size());
    const std::string payload(reinterpret_cast<const char*>(numbers.data()), numbers.size() * sizeof(int));
    JournalFile journal;
    step("delete: write journal");
    if (!journal.write(base_ + "dat/" + kJournalPrefix + std::to_string(::getpid()),
                       journalBytes(head, payload)))
        return false;
    bool all = true;
    for (int n : numbers) {
        CaseRecord rec{};
        ReadRecord(n, rec);  // a deleted record still names its comment file
        step("delete: mark record");
        CaseRecord now{};
        if (!MarkDeleted(n) && ReadRecord(n, now)) {
            all = false;  // still live: the record file cannot be written
            break;
        }
        deleted.push_back(rec);
    }
    step("delete: remove comments");
    removals = RemoveCommentsOf(deleted);
    // A comment file that could not be removed is tried again at the next start.
    for (const CommentRemoval r : removals)
        if (r == CommentRemoval::Failed) journal.keep();
    return all;
}

// Rolls one journal back or forward; true when nothing of it is left to do.
bool MDataBase::applyJournal(const std::string& bytes, bool recovering) {
    if (bytes.size() < sizeof(JournalHead) + sizeof(uint32_t)) return true;  // torn: never took effect
    JournalHead head{};
    std::memcpy(&head, bytes.data(), sizeof head);
    uint32_t check = 0;
    std::memcpy(&check, bytes.data() + bytes.size() - sizeof check, sizeof check);
    const std::size_t payloadSize = bytes.size() - sizeof head - sizeof check;
    if (std::memcmp(head.magic, kJournalMagic, sizeof head.magic) != 0 ||
        check != fnv1a(bytes.data(), bytes.size() - sizeof check) || head.count > payloadSize * 4 + 1)
        return true;  // not a journal of ours: nothing to do
    const char* payload = bytes.data() + sizeof head;
    const bool current = generationMatches() && head.generation == generation_;

    if (head.kind == kRenameStep) {
        if (payloadSize != head.count * sizeof(int32_t) || !current) return true;
        bool ok = true;
        for (uint32_t i = 0; i < head.count; ++i) {
            int32_t n = 0;
            std::memcpy(&n, payload + i * sizeof n, sizeof n);
            CaseRecord rec{};
            if (!ReadRecord(n, rec) || rec.categoryGbk() == head.rec.categoryGbk()) continue;
            rec.setCategoryGbk(head.rec.categoryGbk());
            step("rename: write record");
            if (!WriteRecord(n, rec)) ok = false;
        }
        // A rename finished for a killed run: the caller's category list follows it.
        if (ok && recovering && !head.rec.commentGbk().empty())
            finishedRenames_.emplace_back(head.rec.commentGbk(), head.rec.categoryGbk());
        return ok;
    }
    if (head.kind == kDeleteStep) {
        // Forward for every record the step marked deleted: its comment file goes (unless a live
        // record names it). A record still live was not reached: its case stays whole.
        if (payloadSize != head.count * sizeof(int32_t) || !current) return true;
        std::vector<CaseRecord> gone;
        for (uint32_t i = 0; i < head.count; ++i) {
            int32_t n = 0;
            std::memcpy(&n, payload + i * sizeof n, sizeof n);
            CaseRecord rec{};
            if (!ReadRecord(n, rec) && rec.deleted != 0) gone.push_back(rec);
        }
        for (const CommentRemoval r : RemoveCommentsOf(gone))
            if (r == CommentRemoval::Failed) return false;
        return true;
    }
    if (head.kind != kSaveStep || payloadSize != head.count) return true;
    const std::string names(payload, payloadSize);
    const std::size_t cut = names.find('\0');
    if (cut == std::string::npos || names.back() != '\0') return true;
    const std::string temp = names.substr(0, cut);
    const std::string finalName = names.substr(cut + 1, names.size() - cut - 2);
    if (!plainFileName(temp) || !plainFileName(finalName) || temp.find(".part~") == std::string::npos)
        return true;
    // Did the record reach the file?
    bool written = false;
    if (current && head.number >= 0) {
        ForEachRecord([&](int n, const CaseRecord& r) {
            if (n == head.number) written = std::memcmp(&r, &head.rec, sizeof r) == 0;
        });
    } else if (current) {
        const std::string name = head.rec.commentGbk();
        ForEachRecord([&](int, const CaseRecord& r) { written = written || (r.isLive() && r.commentGbk() == name); });
    }
    const std::string folder = CommentFolder();
    if (!written) return ::unlink((folder + temp).c_str()) == 0 || errno == ENOENT;
    if (!recfs::exists(folder + temp)) return true;  // renamed before the kill
    const bool ok = ::rename((folder + temp).c_str(), (folder + finalName).c_str()) == 0;
    recfs::syncFolder(folder);
    return ok;
}

void MDataBase::recoverJournals() {
    finishedRenames_.clear();
    const std::string dat = base_ + "dat/";
    std::vector<std::string> entries;
    if (!recfs::listEntries(dat, entries)) return;
    for (const auto& n : entries) {
        if (n.compare(0, std::strlen(kJournalPrefix), kJournalPrefix) != 0 ||
            n.find(".part~") != std::string::npos)
            continue;
        const std::string path = dat + n;
        Fd fd = recfs::openRegularForReading(path);
        if (!fd.valid()) continue;
        // Held by its writer: that run is still at work.
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) continue;
        struct stat held {}, named {};
        if (::fstat(fd.get(), &held) != 0 || ::lstat(path.c_str(), &named) != 0 ||
            held.st_ino != named.st_ino || held.st_dev != named.st_dev)
            continue;  // finished and removed just now
        std::string bytes;
        const off_t size = recfs::fileSize(fd.get());
        if (size < 0 || size > (16 << 20)) continue;
        bytes.resize(static_cast<std::size_t>(size));
        if (size > 0 && !recfs::readFully(fd.get(), bytes.data(), bytes.size(), 0)) continue;
        if (applyJournal(bytes, true)) {
            ::unlink(path.c_str());
            recfs::syncFolder(dat);
        }
    }
}

void MDataBase::removeDeadTemporaries() {
    auto removeIfDead = [](const std::string& path, long pid) {
        if (pid >= 0 && recfs::processAlive(pid)) return;
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) ::unlink(path.c_str());
    };
    const std::string dat = base_ + "dat/";
    std::vector<std::string> entries;
    if (recfs::listEntries(dat, entries)) {
        for (const auto& n : entries) {
            // Settings written through "<name>.ini.tmp<pid>", journals through
            // "Kelvora.journal.<pid>.part~".
            const std::size_t tmp = n.find(".ini.tmp");
            if (tmp != std::string::npos) {
                const std::string rest = n.substr(tmp + 8);
                if (!rest.empty() && rest.find_first_not_of("0123456789") == std::string::npos)
                    removeIfDead(dat + n, trailingNumber(rest));
            } else if (n.compare(0, std::strlen(kJournalPrefix), kJournalPrefix) == 0) {
                const std::size_t part = n.find(".part~");
                if (part != std::string::npos) removeIfDead(dat + n, trailingNumber(n.substr(0, part)));
            }
        }
    }
    // Comment temporaries: "<comment>.rtf.<pid>.part~", and "<comment>.rtf.part~" of a copy.
    const std::string folder = CommentFolder();
    if (!recfs::isRealFolder(folder) || !recfs::listEntries(folder, entries)) return;
    for (const auto& n : entries) {
        const std::size_t part = n.rfind(".part~");
        if (part == std::string::npos) continue;
        const std::string rest = n.substr(part + 6);
        if (rest.find_first_not_of("0123456789") != std::string::npos) continue;
        const std::string stem = n.substr(0, part);
        if (endsWith(stem, ".rtf") || endsWith(stem, ".RTF")) {
            removeIfDead(folder + n, -1);
        } else {
            const std::size_t dot = stem.rfind('.');
            if (dot == std::string::npos || !endsWith(stem.substr(0, dot), ".rtf")) continue;
            removeIfDead(folder + n, trailingNumber(stem));
        }
    }
}
