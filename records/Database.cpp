// The case store: record fields, the search filter, the record operations and the scan.
// Comment names are in Database_names.cpp; whole-file work (compaction, export, import,
// clearing, the undo and generation files, recovery at Open) in Database_files.cpp.
#include "records/Database.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/core/FileOps.h"
#include "platform/core/Gbk.h"
#include "records/DatabaseDetail.h"

using recfs::Fd;
using recfs::Lock;
using namespace records_detail;

namespace {
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

// GBK text in simplified characters (as it is when folding gives nothing GBK can hold).
std::string foldedGbk(ScriptConverter* fold, const std::string& gbkText) {
    if (!fold || gbkText.empty()) return gbkText;
    bool ascii = true;
    for (const unsigned char ch : gbkText) ascii = ascii && ch < 0x80;
    if (ascii) return gbkText;
    const std::string folded = fold->folded(gbk::toUtf8(gbkText));
    return gbk::encodable(folded) ? gbk::fromUtf8(folded) : gbkText;
}

bool passes(const CaseRecord& r, const CaseFilter& f, std::string_view nameText,
            std::string_view categoryText, ScriptConverter* fold) {
    if (r.deleted != 0) return false;
    if (f.nameMode != 0 && !textTest(f.nameMode, foldedGbk(fold, r.displayNameGbk()), nameText))
        return false;
    if (f.categoryMode != 0 &&
        !textTest(f.categoryMode,
                  foldedGbk(fold, std::string(r.category, ::strnlen(r.category, sizeof r.category))),
                  categoryText))
        return false;
    if (f.sexFilter && r.male != f.male) return false;
    if (f.yearFilter && (r.year < f.yearFrom || r.year > f.yearTo)) return false;
    if (f.province != -1 && r.province != f.province) return false;
    return true;
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

MDataBase::~MDataBase() { EndScan(); }

// ---- record operations ---------------------------------------------------------------------

int MDataBase::Count() const {
    if (!opened_) return 0;
    Fd fd = recfs::openLocked(RecordFilePath(), O_RDONLY, Lock::Shared, lockTimeoutMs_);
    if (!fd.valid()) return 0;
    return recordCount(fd.get());
}

int MDataBase::Append(CaseRecord& rec) {
    if (!opened_) return -1;
    const ScanPause pause(scanFd_);
    Fd fd = recfs::openLocked(RecordFilePath(), O_WRONLY, Lock::Exclusive, lockTimeoutMs_);
    if (!fd.valid()) return -1;
    const off_t size = recfs::dataSize(fd.get());
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
    if (number >= recordCount(fd.get())) return false;
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
    if (number >= recordCount(fd.get())) return false;
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
        Fd u(::open(undo.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                    0644));
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
    if (number >= recordCount(fd.get())) return false;
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
    scanCount_ = recordCount(fd.get());
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
    const int count = recordCount(fd.get());
    const std::string nameText = foldedGbk(folding_, filter.nameTextGbk());
    const std::string categoryText = foldedGbk(folding_, filter.categoryTextGbk());
    std::vector<CaseRecord> chunk(kChunkRecords);
    for (int first = 0; first < count;) {
        const int n = std::min<int>(static_cast<int>(kChunkRecords), count - first);
        if (!recfs::readFully(fd.get(), chunk.data(), static_cast<std::size_t>(n) * kRec,
                              first * kRec))
            return;  // the file shrank under us: keep what was found
        for (int i = 0; i < n; ++i)
            if (passes(chunk[i], filter, nameText, categoryText, folding_)) out.push_back(first + i);
        first += n;
    }
}
