// The case store: one flat file of fixed 152-byte case records (dat/Kelvora.dat under the program
// folder) and one RTF comment file per case (Kelvora_f/<comment name>.rtf).
//
// Every text kept in a record is GBK (code page 936), NUL-terminated inside its fixed-width
// field; callers use the UTF-8 accessors below. File names on disk are UTF-8, converted from the
// GBK comment name where the store meets the file system.
//
// No file stays open between operations (except inside a BeginScan/EndScan bracket). Each
// operation takes an advisory lock (flock) on the record file for its whole length: shared for
// reading, exclusive for writing, so two running copies of the program never interleave writes.
//
// Whole-file operations are crash safe: compaction writes dat/ming.bak completely, flushes it
// and replaces the record file by an atomic rename; an import copies the source into a staging
// folder (dat/import.stage/) first and only then swaps it in, finishing an interrupted swap at
// the next Open. After a kill at any point every case and comment is in either its old or its
// new state.
//
// Overwriting a record keeps its old 152 bytes in dat/Kelvora.undo until the new ones are in
// place: a write cut short (a kill between two pages of the file, an I/O error) is undone by the
// next operation, so a record is never left half old, half new.
//
// Record numbers are positions, and compaction, import and clearing give every case a new one.
// These operations raise a counter in dat/Kelvora.gen; a store that sees the counter changed
// since its Open (this copy of the program or another one did it) refuses ReadRecord,
// WriteRecord and MarkDeleted until it is opened again, because the numbers its caller holds
// (tree nodes, the open case) now name other cases. Append, Count, Find and the scan go on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/core/TextScript.h"

// One stored case, exactly as laid out in the record file (little-endian, no padding).
// Reserved bytes are zero in a new record and carried unchanged when a record is rewritten.
// Bytes 43, 50-51 and 64-101 carry the world fields (exact clock offset, full name, world city,
// the summer-time answer; layout in docs/CASE_RECORD.md) through the accessors below; a record
// whose byte 43 is zero has none of them and reads exactly as before.
struct CaseRecord {
    static constexpr std::size_t kNameBytes = 10;      // text bytes of `name` (field 11)
    static constexpr std::size_t kCategoryBytes = 13;  // text bytes of `category` (field 14)
    static constexpr std::size_t kCommentBytes = 32;   // text bytes of `comment` (field 33)

    int32_t number = 0;    // the record's own position in the file
    uint8_t deleted = 0;   // 0 = live, 1 = deleted
    char name[11] = {};    // GBK, NUL-terminated
    char category[14] = {};
    int16_t year = 0;      // astronomical numbering (0 = 1 BC)
    int16_t month = 0;     // 1..12 (lunar month when lunar = 1)
    int16_t day = 0;
    int16_t hour = 0;
    int16_t minute = 0;
    uint8_t lunar = 0;     // 1 = entered as a Chinese lunar date
    uint8_t leap = 0;      // 1 = leap lunar month
    uint8_t male = 0;      // 1 = male, 0 = female
    uint8_t reserved43 = 0;  // world flags (kWorld*)
    int16_t province = 0;  // index into the input panel's province list
    int16_t city = 0;      // index into that province's place list
    int16_t zone = 0;      // time-zone index 0..23
    uint8_t reserved50[2] = {};  // with kWorldExactOffset: offset in minutes east of UTC
    float longitude = 0;   // degrees, east positive
    float latitude = 0;    // degrees, north positive
    int32_t blood = 0;     // 0..3 = A, B, AB, O
    uint8_t reserved64[55] = {};  // full name 64-96, world city 97-100, offset seconds 101
    char comment[33] = {};  // comment name: the comment file's name without ".rtf"

    // GBK bytes of a text field, up to its NUL (or the whole field when a damaged record has none).
    std::string nameGbk() const;
    std::string categoryGbk() const;
    std::string commentGbk() const;
    // The same as UTF-8.
    std::string nameUtf8() const;
    std::string categoryUtf8() const;
    std::string commentUtf8() const;
    // Store a UTF-8 text, converted to GBK and cut at a character boundary to the field's text
    // width (name 10, category 13, comment 32 bytes); the rest of the field is cleared.
    void setName(std::string_view utf8);
    void setCategory(std::string_view utf8);
    void setComment(std::string_view utf8);
    // The same for text that is GBK already.
    void setNameGbk(std::string_view gbkBytes);
    void setCategoryGbk(std::string_view gbkBytes);
    void setCommentGbk(std::string_view gbkBytes);

    bool isLive() const { return deleted == 0; }

    // The world fields. Flags of byte 43:
    static constexpr uint8_t kWorldExactOffset = 0x01;   // the clock's exact offset is stored
    static constexpr uint8_t kWorldSummerAsked = 0x02;   // the summer-time question was answered
    static constexpr uint8_t kWorldSummerYes = 0x04;     // ... with 是 (the exact offset was taken)
    static constexpr uint8_t kWorldCity = 0x08;          // the place is a world city
    static constexpr uint8_t kWorldTypedPlace = 0x10;    // the coordinates were typed
    static constexpr uint8_t kWorldFullName = 0x20;      // the full name is stored
    static constexpr std::size_t kFullNameBytes = 32;    // text bytes of the full name

    uint8_t worldFlags() const { return reserved43; }
    // The name as the user gave it: the full name when one is stored, else the name field.
    std::string displayNameGbk() const;
    std::string displayNameUtf8() const;
    // The name field cut as before; a longer name (up to 32 GBK bytes) also whole in the full
    // name, a short one clears it.
    void setFullName(std::string_view utf8);
    // Seconds east of UTC, or false when no exact offset is stored.
    bool exactOffset(int32_t& seconds) const;
    // Stores an exact offset (within +-18 h); clears it when `has` is false.
    void setExactOffset(bool has, int32_t seconds = 0);
    // The world city's index in the atlas, -1 when the place is none.
    int32_t worldCity() const;
    void setWorldCity(int32_t index);
    // The place kind: typed coordinates (自定义坐标) or not.
    void setTypedPlace(bool typed);
    bool typedPlace() const { return (reserved43 & kWorldTypedPlace) != 0; }
    // The summer-time answer: 0 not asked, 1 是, 2 否.
    int summerAnswer() const;
    void setSummerAnswer(int answer);
};

// The in-memory record is the file record byte for byte (the store copies it with one 152-byte
// transfer), so every offset is pinned here.
static_assert(sizeof(CaseRecord) == 152, "CaseRecord is the 152-byte record of the case file");
static_assert(offsetof(CaseRecord, number) == 0 && offsetof(CaseRecord, deleted) == 4);
static_assert(offsetof(CaseRecord, name) == 5 && offsetof(CaseRecord, category) == 16);
static_assert(offsetof(CaseRecord, year) == 30 && offsetof(CaseRecord, month) == 32);
static_assert(offsetof(CaseRecord, day) == 34 && offsetof(CaseRecord, hour) == 36);
static_assert(offsetof(CaseRecord, minute) == 38 && offsetof(CaseRecord, lunar) == 40);
static_assert(offsetof(CaseRecord, leap) == 41 && offsetof(CaseRecord, male) == 42);
static_assert(offsetof(CaseRecord, reserved43) == 43 && offsetof(CaseRecord, province) == 44);
static_assert(offsetof(CaseRecord, city) == 46 && offsetof(CaseRecord, zone) == 48);
static_assert(offsetof(CaseRecord, reserved50) == 50 && offsetof(CaseRecord, longitude) == 52);
static_assert(offsetof(CaseRecord, latitude) == 56 && offsetof(CaseRecord, blood) == 60);
static_assert(offsetof(CaseRecord, reserved64) == 64 && offsetof(CaseRecord, comment) == 119);
static_assert(std::is_trivially_copyable_v<CaseRecord> && std::is_standard_layout_v<CaseRecord>);
static_assert(std::numeric_limits<float>::is_iec559 && sizeof(float) == 4);
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the record file is little-endian");

// The condition of a case search. A default-constructed filter has every test off and
// province -1 (any), which lists every live case.
struct CaseFilter {
    char nameText[33] = {};      // GBK, up to 32 bytes of text (a full name)
    char categoryText[14] = {};  // GBK, up to 13 bytes of text
    uint8_t male = 0;            // required `male` when sexFilter is set
    int16_t yearFrom = 0;        // inclusive, astronomical numbering
    int16_t yearTo = 0;
    int16_t province = -1;       // required province index; -1 = any
    uint8_t nameMode = 0;        // 0 = no test, 1 = name contains nameText, 2 = name equals it
    uint8_t categoryMode = 0;    // the same for the category
    bool sexFilter = false;
    bool yearFilter = false;

    // UTF-8 in, stored as GBK cut at a character boundary (name 32, category 13 bytes).
    void setNameText(std::string_view utf8);
    void setCategoryText(std::string_view utf8);
    std::string nameTextUtf8() const;
    std::string categoryTextUtf8() const;
    std::string nameTextGbk() const;
    std::string categoryTextGbk() const;
};

// The one records store of the program.
//
// What the menu commands call:
//  - After `Compact`, `ImportFrom` or `ClearAll` the program restarts: until then ReadRecord,
//    WriteRecord and MarkDeleted refuse the old record numbers (false, nothing changed).
//  - "导入历史记录": `ImportFrom(source)` alone. It replaces the record file and every comment
//    file itself once the whole source has been copied; do NOT call `ClearAll` before it (that
//    would empty the store even when the source turns out unreadable). On false show a failure
//    message: the store is as it was, unless ImportPending() (the swap passed its commit point
//    and the next Open finishes it; no case may be written until then).
//  - "导出历史记录": `ExportTo(folder)`; on false the export is incomplete, tell the user.
//  - "整理记录文件": `Compact()`; on false the record file is unchanged: show a failure message
//    instead of the restart message and keep running.
//  - Saving a new case: `Append` returns -1 when nothing was written (file missing, locked,
//    disk full); never use -1 as a record number.
class MDataBase {
public:
    static constexpr std::size_t kRecordSize = 152;
    // The folder an export creates inside the folder the user picks.
    static constexpr const char* kExportFolderName = "Tarmin天文占星_导出数据";

    MDataBase() = default;
    ~MDataBase();
    MDataBase(const MDataBase&) = delete;
    MDataBase& operator=(const MDataBase&) = delete;

    // Binds the store to the program folder (a trailing '/' is added when missing). Creates the
    // `dat` and `Kelvora_f` folders and an empty record file when they are missing, finishes an
    // import that was interrupted after its commit point, and removes what an interrupted
    // compaction or import left behind. Returns false when the record file cannot be created.
    bool Open(const std::string& baseFolder);

    // Number of whole records in the file, live and deleted; 0 when it cannot be opened.
    int Count() const;
    // Writes `rec` after the last whole record (over a trailing partial one); sets rec.number
    // and clears rec.deleted. Returns the new number, or -1 with nothing written and `rec`
    // unchanged.
    int Append(CaseRecord& rec);
    // Fills `rec` with record `number`; true only when it exists and is live. Out of range:
    // false, `rec` untouched. Deleted: false, `rec` holds the deleted record. Numbers stale (see
    // RecordNumbersCurrent): false, `rec` cleared (an empty comment name names no file). A caller
    // that uses the buffer after a false (the comment name of a deleted case) starts from a
    // zeroed buffer and checks that it was filled.
    bool ReadRecord(int number, CaseRecord& rec) const;
    // Overwrites record `number` (0 .. Count-1) with the caller's 152 bytes. False and nothing
    // changed when the number is out of range or stale or the file cannot be written.
    bool WriteRecord(int number, const CaseRecord& rec);
    // Sets the deleted byte of record `number`. False and nothing changed when out of range or
    // stale.
    bool MarkDeleted(int number);
    // False once this or another copy of the program has compacted, imported or cleared the
    // store since this object's Open: record numbers from the tree are stale until the program
    // starts again (or Open is called again).
    bool RecordNumbersCurrent() const;

    // A read bracket for the tree builder: one handle (shared lock) from BeginScan to EndScan.
    // Reads inside the bracket share its lock; a write of this store inside it sets the scan's
    // lock aside for its own length.
    void BeginScan();
    // Record `number` through the scan handle; true only when it exists and is live.
    bool ReadScanned(int number, CaseRecord& rec);
    void EndScan();

    // Numbers of the live records that pass every enabled test, in file order.
    void Find(const CaseFilter& filter, std::vector<int>& out) const;

    // Rewrites the record file without its deleted records, renumbered 0..k-1 in their old
    // order. False (record file untouched, ming.bak removed) on any failure.
    bool Compact();
    // Writes the live records of the record file to target + "Kelvora.dat" (numbered by their
    // place there) and the comment files they name into target + "Kelvora_f/" (both created
    // when missing). Each file
    // is written under a temporary name and renamed, so an old export there stays whole. False
    // when anything could not be copied.
    bool ExportTo(const std::string& targetFolder);
    // Replaces the store by source + "Kelvora.dat" and the "*.rtf" files of source +
    // "Kelvora_f/" (no comment files when that folder is missing); both names match in any
    // letter case, as on the system the export may come from. The source must be readable
    // whole and hold whole records only; otherwise false and the store is unchanged.
    bool ImportFrom(const std::string& sourceFolder);
    // Empties the record file and deletes every "*.rtf" of the comment folder (false, nothing
    // deleted there, when that folder is a link). ImportFrom refuses such a folder too.
    bool ClearAll();

    // Saves a case together with its comment as one step. `number` -1 appends `rec` (its
    // number is set as Append does), otherwise overwrites that record. The comment (the RTF
    // bytes) goes to a temporary beside the comment file; a journal in dat/ names both; then the
    // record is written and the temporary renamed over the comment file. A kill at any point is
    // rolled back (record unchanged: the temporary goes) or forward (record written: the
    // temporary takes the comment's place) by the next Open. On anything but Saved nothing has
    // changed, comment included.
    enum class SaveResult { Saved, CommentFailed, RecordFailed };
    SaveResult SaveCase(int number, CaseRecord& rec, const std::string& commentBytes);
    // Removes the comment file of a record just deleted, unless another live record names the
    // same file. Kept is that case (or a record naming no file); Failed: the file stays.
    enum class CommentRemoval { Removed, Kept, Failed };
    CommentRemoval RemoveCommentOf(const CaseRecord& rec);
    // The same for several deleted records, reading the record file once.
    std::vector<CommentRemoval> RemoveCommentsOf(const std::vector<CaseRecord>& recs);
    // Deletes cases together with their comment files: a journal names the records first, then
    // each is marked deleted, then the comment files no live record names any more are removed.
    // A kill at any point is finished by the next Open, so each case is either whole (record and
    // comment) or gone (both). `deleted` receives the records marked deleted (as they were, in
    // order; a deleted record still names its comment file), `removals` what became of their
    // comment files. Stops at the first record that cannot be written and returns false; the
    // records before it stay deleted.
    bool DeleteCases(const std::vector<int>& numbers, std::vector<CaseRecord>& deleted,
                     std::vector<CommentRemoval>& removals);
    // Gives the listed live records a new category (GBK) as one step: a journal names them all,
    // so a rename cut short is completed by the next Open. False when a record could not be
    // written; the journal then stays and the next Open completes the rename. `afterJournal`
    // runs once the journal is on disk and before any record changes (the caller's category
    // list): if it throws, the journal goes and nothing has changed. `oldCategoryGbk` goes into
    // the journal, so that the next Open can tell which category a rename it finished renamed
    // (FinishedCategoryRenames).
    bool RenameCategory(const std::vector<int>& numbers, std::string_view categoryGbk,
                        std::string_view oldCategoryGbk = {},
                        const std::function<void()>& afterJournal = {});
    // The renames (old, new category, GBK) the last Open finished for a killed run.
    const std::vector<std::pair<std::string, std::string>>& FinishedCategoryRenames() const {
        return finishedRenames_;
    }
    // Reads a comment file: a regular file only (never a FIFO or a device; a link is not
    // followed), at most kMaxCommentBytes. False when it is anything else.
    static constexpr std::size_t kMaxCommentBytes = 64u << 20;
    static bool ReadCommentFile(const std::string& path, std::string& bytes);
    // An import has passed its commit point without finishing: the next Open completes it.
    bool ImportPending() const;
    // Calls `visit` with every whole record of the file (live and deleted) in file order; false
    // when the file could not be read (to its end).
    bool ForEachRecord(const std::function<void(int, const CaseRecord&)>& visit) const;
    // Appends all `recs` as one step, each with its comment (RTF bytes; `comments` empty or one
    // per record, an empty one names no comment file: the comment name is set here). The record
    // file stays locked for the whole step, so no other writer comes between. `progress`
    // (records written, total) returning false cancels. True: every record appended with its
    // number set. False (refused, cancelled, failed, or killed: then the next Open): the record
    // file and the comment folder are as before.
    bool AppendCases(std::vector<CaseRecord>& recs, const std::vector<std::string>& comments,
                     const std::function<bool(std::size_t, std::size_t)>& progress = {});

    // The comment name for a new case (GBK, at most 32 bytes): name + "_%04d%02d%02d%02d%02d"
    // of the birth minute, then "_0", "_1" ... "_99999" while a comment file of that name
    // exists or a stored record (live or deleted) names the same file. Characters of the name that cannot stand in a file name here or on a Windows disk
    // an export may go to ('/', '\', control characters, < > : " | ? *), bytes that are no
    // complete GBK character and a name "." or ".." become '_'.
    std::string MakeCommentName(const CaseRecord& rec) const;
    // Full UTF-8 path of the comment file of a record (its stored comment name, made safe the
    // same way, so it always lies inside the comment folder).
    std::string CommentFilePath(const CaseRecord& rec) const;
    std::string CommentFilePathForName(std::string_view commentGbk) const;

    const std::string& BaseFolder() const { return base_; }
    std::string RecordFilePath() const;   // base + "dat/Kelvora.dat"
    std::string CompactFilePath() const;  // base + "dat/ming.bak"
    std::string UndoFilePath() const;     // base + "dat/Kelvora.undo"
    std::string GenerationFilePath() const;  // base + "dat/Kelvora.gen"
    std::string CommentFolder() const;    // base + "Kelvora_f/"

    // Test seam for fault injection: called with a short step name before every step that
    // changes a file during Compact, ExportTo, ImportFrom and ClearAll, and before WriteRecord
    // puts the new bytes in place. Empty by default.
    void SetFaultHook(std::function<void(const char* step)> hook) { faultHook_ = std::move(hook); }
    // How long an operation waits for another program's lock before it gives up (ms).
    void SetLockTimeout(int milliseconds) { lockTimeoutMs_ = milliseconds; }
    // With a converter set, Find compares names and categories folded to simplified
    // characters, so 張三 finds 张三 and the reverse; the records are not changed.
    void SetScriptFolding(ScriptConverter* script) { folding_ = script; }

private:
    void step(const char* name) const {
        if (faultHook_) faultHook_(name);
    }
    bool finishInterruptedWork();
    bool applyImport(const std::vector<std::string>& newComments);
    // Puts back the record saved in the undo file; `fd` is the record file, locked exclusively
    // and open for writing. True when no undo is pending afterwards.
    bool undoTornWrite(int fd) const;
    // The same for readers: only when an undo file exists, under an exclusive lock of its own.
    void undoTornWriteIfPending() const;
    bool generationMatches() const;
    // The journals of saves, renames and deletes a killed run left: rolled back or forward; then the
    // temporaries of dead runs are removed from dat/ and the comment folder.
    void recoverJournals();
    void recoverBatches();  // the batch appends a killed run left: rolled back
    void removeDeadTemporaries();
    // `recovering`: a journal a killed run left (its finished rename is remembered).
    bool applyJournal(const std::string& bytes, bool recovering = false);
    bool raiseGeneration();
    // MakeCommentName with the stored names given: `named` tells a comment path a record holds.
    std::string commentNameWith(const CaseRecord& rec, const std::function<bool(const std::string&)>& named) const;

    std::string base_;
    bool opened_ = false;
    int scanFd_ = -1;
    int scanCount_ = 0;
    int lockTimeoutMs_ = 5000;
    ScriptConverter* folding_ = nullptr;
    uint64_t generation_ = 0;  // value of the generation file at Open or after our own change
    std::function<void(const char*)> faultHook_;
    std::vector<std::pair<std::string, std::string>> finishedRenames_;
};
