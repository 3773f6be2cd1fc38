#include "records/Database.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <set>

#include "platform/core/FileOps.h"
#include "platform/core/Gbk.h"

using recfs::Fd;
using recfs::Lock;

namespace {
constexpr off_t kRec = static_cast<off_t>(MDataBase::kRecordSize);
// Records per transfer when the whole file is walked (Find, Compact): about 600 KiB.
constexpr std::size_t kChunkRecords = 4096;

const char* const kRecordFile = "dat/Kelvora.dat";
const char* const kCompactFile = "dat/ming.bak";
const char* const kCommentFolder = "Kelvora_f/";
const char* const kStageFolder = "dat/import.stage/";
const char* const kCommitFile = "dat/import.commit";
const char* const kUndoFile = "dat/Kelvora.undo";
const char* const kGenerationFile = "dat/Kelvora.gen";

// The undo file of an overwrite: magic, record number, the old 152 bytes, FNV-1a of all that.
constexpr char kUndoMagic[4] = {'T', 'U', 'R', '1'};
struct UndoEntry {
    char magic[4];
    int32_t number;
    CaseRecord old;
    uint32_t check;
};
static_assert(sizeof(UndoEntry) == 164, "undo entry: 4 + 4 + 152 + 4 bytes");

uint32_t fnv1a(const void* data, std::size_t n) {
    uint32_t h = 2166136261u;
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 16777619u;
    return h;
}

// Record count of a file of `size` bytes: whole records only, and never more than an int holds.
int countOf(off_t size) {
    if (size <= 0) return 0;
    const off_t n = size / kRec;
    return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

// Field text up to its NUL, or the whole field when it has none.
std::string fieldText(const char* field, std::size_t width) {
    return std::string(field, ::strnlen(field, width));
}

// Copies GBK text into a fixed field, cut at a character boundary to `textBytes`, NUL after it
// and the rest of the field cleared.
void putField(char* field, std::size_t width, std::string_view gbkBytes, std::size_t textBytes) {
    const std::string t = gbk::cut(gbkBytes, std::min(textBytes, width - 1));
    std::memset(field, 0, width);
    std::memcpy(field, t.data(), t.size());
}


// Length of the GBK character starting at s[i] (1 for ASCII and for broken bytes).
std::size_t gbkCharLength(std::string_view s, std::size_t i) {
    if (gbk::isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() &&
        gbk::isTrailByte(static_cast<unsigned char>(s[i + 1])))
        return 2;
    return 1;
}

bool unsafeInFileName(unsigned char c) { return c < 0x20 || c == 0x7F || c == '/' || c == '\\'; }

// A GBK name made fit to stand in a file name: '/', '\' and control characters become '_',
// and a name "." or ".." becomes "_". Two-byte characters are left whole.
std::string safeGbkName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t len = gbkCharLength(name, i);
        if (len == 1 && unsafeInFileName(static_cast<unsigned char>(name[i])))
            out.push_back('_');
        else
            out.append(name.substr(i, len));
        i += len;
    }
    if (out == "." || out == "..") out = "_";
    return out;
}

// The name part of a new comment name: safeGbkName, and besides the characters a Windows disk
// refuses in file names (an export may go to one) and every byte that is no complete GBK
// character, so that the key's "_" can never become the second byte of a broken character.
std::string newCommentNamePart(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t len = gbkCharLength(name, i);
        const std::string_view ch = name.substr(i, len);
        const unsigned char c = static_cast<unsigned char>(name[i]);
        const bool bad = len == 1 ? (unsafeInFileName(c) || c >= 0x80 ||
                                     std::strchr("<>:\"|?*", c) != nullptr)
                                  : gbk::fromUtf8(gbk::toUtf8(ch)) != ch;
        if (bad)
            out.push_back('_');
        else
            out.append(ch);
        i += len;
    }
    if (out == "." || out == "..") out = "_";
    return out;
}

// The UTF-8 file name of a GBK comment name. UTF-8 multi-byte sequences hold no ASCII byte, so
// a last pass over the ASCII bytes catches anything a broken GBK sequence let through.
std::string fileNameOf(std::string_view commentGbk) {
    std::string u = gbk::toUtf8(safeGbkName(commentGbk));
    for (char& c : u)
        if (unsafeInFileName(static_cast<unsigned char>(c))) c = '_';
    if (u == "." || u == "..") u = "_";
    return u;
}

// `needle` occurs in `hay` starting on a character boundary of `hay` (an empty needle always
// does). Byte comparison, case-sensitive; a match never straddles two characters.
bool containsGbk(std::string_view hay, std::string_view needle) {
    if (needle.empty()) return true;
    for (std::size_t i = 0; i + needle.size() <= hay.size(); i += gbkCharLength(hay, i))
        if (std::memcmp(hay.data() + i, needle.data(), needle.size()) == 0) return true;
    return false;
}

bool textTest(uint8_t mode, std::string_view recordText, std::string_view filterText) {
    switch (mode) {
        case 1: return containsGbk(recordText, filterText);
        case 2: return recordText == filterText;
        default: return true;
    }
}

bool passes(const CaseRecord& r, const CaseFilter& f, std::string_view nameText,
            std::string_view categoryText) {
    if (r.deleted != 0) return false;
    if (f.nameMode != 0 &&
        !textTest(f.nameMode, std::string_view(r.name, ::strnlen(r.name, sizeof r.name)), nameText))
        return false;
    if (f.categoryMode != 0 &&
        !textTest(f.categoryMode,
                  std::string_view(r.category, ::strnlen(r.category, sizeof r.category)),
                  categoryText))
        return false;
    if (f.sexFilter && r.male != f.male) return false;
    if (f.yearFilter && (r.year < f.yearFrom || r.year > f.yearTo)) return false;
    if (f.province != -1 && r.province != f.province) return false;
    return true;
}

std::string withSlash(std::string s) {
    if (s.empty() || s.back() != '/') s += '/';
    return s;
}

// The manifest of an import: the comment file names, NUL-terminated one after another.
bool readManifest(const std::string& path, std::vector<std::string>& names) {
    names.clear();
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
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

// rename, or copy and delete when the two names lie on different file systems.
bool moveFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    if (errno != EXDEV) return false;
    return recfs::copyFile(from, to, {}) && ::unlink(from.c_str()) == 0;
}

// The store's generation counter (8 bytes, little-endian); 0 when the file is missing.
uint64_t readGeneration(const std::string& path) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    uint64_t v = 0;
    if (!fd.valid() || !recfs::readFully(fd.get(), &v, sizeof v, 0)) return 0;
    return v;
}

bool writeGeneration(const std::string& path, uint64_t v) {
    Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    return fd.valid() && recfs::writeFully(fd.get(), &v, sizeof v, 0) && fd.close();
}

bool plainName(const std::string& n) {
    return !n.empty() && n != "." && n != ".." && n.find('/') == std::string::npos;
}
}  // namespace

// ---- CaseRecord ----------------------------------------------------------------------------

std::string CaseRecord::nameGbk() const { return fieldText(name, sizeof name); }
std::string CaseRecord::categoryGbk() const { return fieldText(category, sizeof category); }
std::string CaseRecord::commentGbk() const { return fieldText(comment, sizeof comment); }
std::string CaseRecord::nameUtf8() const { return gbk::toUtf8(nameGbk()); }
std::string CaseRecord::categoryUtf8() const { return gbk::toUtf8(categoryGbk()); }
std::string CaseRecord::commentUtf8() const { return gbk::toUtf8(commentGbk()); }
void CaseRecord::setNameGbk(std::string_view t) { putField(name, sizeof name, t, kNameBytes); }
void CaseRecord::setCategoryGbk(std::string_view t) {
    putField(category, sizeof category, t, kCategoryBytes);
}
void CaseRecord::setCommentGbk(std::string_view t) {
    putField(comment, sizeof comment, t, kCommentBytes);
}
void CaseRecord::setName(std::string_view u) { setNameGbk(gbk::fromUtf8(u)); }
void CaseRecord::setCategory(std::string_view u) { setCategoryGbk(gbk::fromUtf8(u)); }
void CaseRecord::setComment(std::string_view u) { setCommentGbk(gbk::fromUtf8(u)); }

// ---- CaseFilter ----------------------------------------------------------------------------

void CaseFilter::setNameText(std::string_view u) {
    putField(nameText, sizeof nameText, gbk::fromUtf8(u), sizeof nameText - 1);
}
void CaseFilter::setCategoryText(std::string_view u) {
    putField(categoryText, sizeof categoryText, gbk::fromUtf8(u), sizeof categoryText - 1);
}
std::string CaseFilter::nameTextGbk() const { return fieldText(nameText, sizeof nameText); }
std::string CaseFilter::categoryTextGbk() const {
    return fieldText(categoryText, sizeof categoryText);
}
std::string CaseFilter::nameTextUtf8() const { return gbk::toUtf8(nameTextGbk()); }
std::string CaseFilter::categoryTextUtf8() const { return gbk::toUtf8(categoryTextGbk()); }

// ---- MDataBase: paths and opening ----------------------------------------------------------

MDataBase::~MDataBase() { EndScan(); }

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
    if (!recfs::exists(path)) return false;
    finishInterruptedWork();
    generation_ = readGeneration(GenerationFilePath());
    return true;
}

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
    std::set<std::string> keep;
    for (const auto& n : newComments)
        if (plainName(n)) keep.insert(n);
    std::vector<std::string> old;
    if (recfs::listRtf(live, old)) {
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
    Fd in(::open(undo.c_str(), O_RDONLY | O_CLOEXEC));
    if (!in.valid()) return errno == ENOENT;
    UndoEntry e{};
    const bool whole = recfs::fileSize(in.get()) == static_cast<off_t>(sizeof e) &&
                       recfs::readFully(in.get(), &e, sizeof e, 0) &&
                       std::memcmp(e.magic, kUndoMagic, sizeof e.magic) == 0 &&
                       e.check == fnv1a(&e, offsetof(UndoEntry, check));
    in.reset();
    // An incomplete entry means the overwrite had not begun: nothing to put back.
    if (whole && e.number >= 0 && e.number < countOf(recfs::fileSize(fd))) {
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

// ---- record operations ---------------------------------------------------------------------

int MDataBase::Count() const {
    if (!opened_) return 0;
    Fd fd = recfs::openLocked(RecordFilePath(), O_RDONLY, Lock::Shared, lockTimeoutMs_);
    if (!fd.valid()) return 0;
    return countOf(recfs::fileSize(fd.get()));
}

int MDataBase::Append(CaseRecord& rec) {
    if (!opened_) return -1;
    const ScanPause pause(scanFd_);
    Fd fd = recfs::openLocked(RecordFilePath(), O_WRONLY, Lock::Exclusive, lockTimeoutMs_);
    if (!fd.valid()) return -1;
    const off_t size = recfs::fileSize(fd.get());
    if (size < 0) return -1;
    const off_t n = size / kRec;
    if (n >= INT_MAX) return -1;
    const off_t at = n * kRec;
    CaseRecord out = rec;
    out.number = static_cast<int32_t>(n);
    out.deleted = 0;
    if (!recfs::writeFully(fd.get(), &out, sizeof out, at)) {
        // Disk full or an I/O error: take back what reached the file, so no partial record stays.
        if (::ftruncate(fd.get(), at) != 0) { /* the partial bytes stay an ignored tail */ }
        return -1;
    }
    if (!fd.close()) return -1;
    rec.number = out.number;
    rec.deleted = 0;
    return static_cast<int>(n);
}

bool MDataBase::ReadRecord(int number, CaseRecord& rec) const {
    if (!opened_ || number < 0) return false;
    undoTornWriteIfPending();
    Fd fd = recfs::openLocked(RecordFilePath(), O_RDONLY, Lock::Shared, lockTimeoutMs_);
    if (!fd.valid()) return false;
    if (!generationMatches()) {
        // The number names another case now. An empty buffer, not the caller's old contents: a
        // caller that takes the comment name from the buffer regardless (to delete the comment
        // file) then names no file at all.
        rec = CaseRecord{};
        return false;
    }
    if (number >= countOf(recfs::fileSize(fd.get()))) return false;
    CaseRecord in;
    if (!recfs::readFully(fd.get(), &in, sizeof in, number * kRec)) return false;
    rec = in;
    return rec.deleted == 0;
}

bool MDataBase::WriteRecord(int number, const CaseRecord& rec) {
    if (!opened_ || number < 0) return false;
    const ScanPause pause(scanFd_);
    Fd fd = recfs::openLocked(RecordFilePath(), O_RDWR, Lock::Exclusive, lockTimeoutMs_);
    if (!fd.valid()) return false;
    if (!undoTornWrite(fd.get()) || !generationMatches()) return false;
    if (number >= countOf(recfs::fileSize(fd.get()))) return false;
    const off_t at = number * kRec;
    // A write the file-size limit would cut is not begun. (Overwriting blocks already allocated
    // cannot run out of disk; the undo file can, and then nothing is changed.)
    if (!recfs::fitsFileSizeLimit(at + kRec)) return false;
    // The old bytes go to the undo file first. 152 bytes may span two pages of the file, and a
    // kill between the two (the kernel checks for one per page) would leave a record half old,
    // half new: the next operation puts the old one back.
    UndoEntry e{};
    std::memcpy(e.magic, kUndoMagic, sizeof e.magic);
    e.number = number;
    if (!recfs::readFully(fd.get(), &e.old, sizeof e.old, at)) return false;
    e.check = fnv1a(&e, offsetof(UndoEntry, check));
    const std::string undo = UndoFilePath();
    {
        Fd u(::open(undo.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        if (!u.valid()) return false;
        if (!recfs::writeFully(u.get(), &e, sizeof e, 0) || !u.close()) {
            ::unlink(undo.c_str());
            return false;
        }
    }
    CaseRecord out = rec;
    out.number = number;  // a record's number is its position, whatever the caller's copy says
    step("write: record");
    if (!recfs::writeFully(fd.get(), &out, sizeof out, at)) {
        undoTornWrite(fd.get());  // back to the old bytes; if even that fails, the next operation
        return false;
    }
    ::unlink(undo.c_str());
    return fd.close();
}

bool MDataBase::MarkDeleted(int number) {
    if (!opened_ || number < 0) return false;
    const ScanPause pause(scanFd_);
    Fd fd = recfs::openLocked(RecordFilePath(), O_RDWR, Lock::Exclusive, lockTimeoutMs_);
    if (!fd.valid()) return false;
    // A pending undo first: it would otherwise bring back the deleted byte of its record.
    if (!undoTornWrite(fd.get()) || !generationMatches()) return false;
    if (number >= countOf(recfs::fileSize(fd.get()))) return false;
    // Only the deleted byte changes: a one-byte write cannot be torn.
    const uint8_t one = 1;
    const off_t at = number * kRec + static_cast<off_t>(offsetof(CaseRecord, deleted));
    if (!recfs::writeFully(fd.get(), &one, 1, at)) return false;
    return fd.close();
}

void MDataBase::BeginScan() {
    EndScan();
    if (!opened_) return;
    undoTornWriteIfPending();
    Fd fd = recfs::openLocked(RecordFilePath(), O_RDONLY, Lock::Shared, lockTimeoutMs_);
    if (!fd.valid()) return;
    scanCount_ = countOf(recfs::fileSize(fd.get()));
    scanFd_ = fd.release();
}

bool MDataBase::ReadScanned(int number, CaseRecord& rec) {
    if (scanFd_ < 0 || number < 0 || number >= scanCount_) return false;
    CaseRecord in;
    if (!recfs::readFully(scanFd_, &in, sizeof in, number * kRec)) return false;
    rec = in;
    return rec.deleted == 0;
}

void MDataBase::EndScan() {
    Fd closing(scanFd_);
    scanFd_ = -1;
    scanCount_ = 0;
}

void MDataBase::Find(const CaseFilter& filter, std::vector<int>& out) const {
    out.clear();
    if (!opened_) return;
    undoTornWriteIfPending();
    Fd fd = recfs::openLocked(RecordFilePath(), O_RDONLY, Lock::Shared, lockTimeoutMs_);
    if (!fd.valid()) return;
    const int count = countOf(recfs::fileSize(fd.get()));
    const std::string nameText = filter.nameTextGbk();
    const std::string categoryText = filter.categoryTextGbk();
    std::vector<CaseRecord> chunk(kChunkRecords);
    for (int first = 0; first < count;) {
        const int n = std::min<int>(static_cast<int>(kChunkRecords), count - first);
        if (!recfs::readFully(fd.get(), chunk.data(), static_cast<std::size_t>(n) * kRec,
                              first * kRec))
            return;  // the file shrank under us: keep what was found
        for (int i = 0; i < n; ++i)
            if (passes(chunk[i], filter, nameText, categoryText)) out.push_back(first + i);
        first += n;
    }
}

// ---- comment names -------------------------------------------------------------------------

std::string MDataBase::CommentFilePathForName(std::string_view commentGbk) const {
    return CommentFolder() + fileNameOf(commentGbk) + ".rtf";
}

std::string MDataBase::CommentFilePath(const CaseRecord& rec) const {
    return CommentFilePathForName(rec.commentGbk());
}

std::string MDataBase::MakeCommentName(const CaseRecord& rec) const {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "_%04d%02d%02d%02d%02d", rec.year, rec.month, rec.day,
                  rec.hour, rec.minute);
    // A stored name holds at most 10 bytes and the stamp of a valid minute 13 to 15 (a year
    // below -999 or above 9999 takes five or six characters), so the key is at most 25 bytes and
    // key + "_99999" (31) fits the 32 text bytes of the comment field. Only a damaged record
    // gives a longer key; it is cut to leave room for the counter.
    const std::string key = gbk::cut(newCommentNamePart(rec.nameGbk()) + stamp,
                                     CaseRecord::kCommentBytes - 6);
    // The key is whole GBK characters and the counter is ASCII, so the file name of key + "_n"
    // is the file name of key + "_n": converted once.
    const std::string keyPath = CommentFolder() + fileNameOf(key);
    if (!recfs::exists(keyPath + ".rtf")) return key;
    for (int i = 0; i < 99999; ++i) {
        const std::string counter = "_" + std::to_string(i);
        if (!recfs::exists(keyPath + counter + ".rtf")) return key + counter;
    }
    return key + "_99999";
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
    const int count = countOf(st.st_size);

    step("compact: create ming.bak");
    Fd out(::open(bak.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, st.st_mode & 07777));
    if (!out.valid()) return false;
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
    bool ok = true;
    {
        Fd src = recfs::openLocked(RecordFilePath(), O_RDONLY, Lock::Shared, lockTimeoutMs_);
        if (!src.valid()) return false;
        // Whole records only: a partial tail from a crash is no part of the store.
        const off_t bytes = countOf(recfs::fileSize(src.get())) * kRec;
        ok = recfs::copyToFile(src.get(), bytes, target + "Kelvora.dat", faultHook_);
    }
    if (!recfs::makeFolder(target + "Kelvora_f")) return false;
    std::vector<std::string> names;
    if (recfs::isFolder(CommentFolder()) && !recfs::listRtf(CommentFolder(), names)) ok = false;
    for (const auto& n : names)
        if (!recfs::copyFile(CommentFolder() + n, target + "Kelvora_f/" + n, faultHook_))
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
        Fd in(::open((source + recordName).c_str(), O_RDONLY | O_CLOEXEC));
        if (!in.valid()) return fail();
        struct stat st {};
        if (::fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode)) return fail();
        if (st.st_size % kRec != 0) return fail();  // a cut-off record: the source is damaged
        if (!recfs::copyToFile(in.get(), st.st_size, stage + "Kelvora.dat", faultHook_))
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
        Fd m(::open((commit + ".part~").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
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
    if (recfs::listRtf(CommentFolder(), names))
        for (const auto& n : names) {
            step("clear: delete comment");
            if (::unlink((CommentFolder() + n).c_str()) != 0) ok = false;
        }
    return ok;
}
