// Overwrites cut short and record numbers gone stale: a kill in the middle of WriteRecord (the
// kernel may stop a write between two pages of the file) never leaves a record half old, half
// new; a copy of the program that compacts, imports or clears the store makes every copy, itself
// included, refuse its old record numbers until it starts again, instead of overwriting or
// deleting other cases.
#include <fcntl.h>
#include <signal.h>

#include <vector>

#include "StoreHelpers.h"

namespace {
// Record 26 occupies bytes 3952..4103: it spans the first page boundary of the file.
constexpr int kSpanning = 26;
static_assert(kSpanning * 152 < 4096 && (kSpanning + 1) * 152 > 4096);

struct Torn : ::testing::Test {
    std::string base = rt::freshProgramFolder("records-torn");
    MDataBase db;
    std::string before;
    void SetUp() override {
        ASSERT_TRUE(db.Open(base));
        for (int i = 0; i < 30; ++i) {
            CaseRecord r = rt::sampleCase("旧" + std::to_string(i), 1900 + i);
            ASSERT_EQ(db.Append(r), i);
        }
        before = records();
    }
    std::string records() const { return rt::readFile(db.RecordFilePath()); }
    std::string recordBytes(int n) const {
        return records().substr(static_cast<std::size_t>(n) * 152, 152);
    }
    // A child overwrites record `n`, and is killed after `keep` bytes of the new record reached
    // the file (as when the kernel stops the write at a page boundary).
    void tearInChild(int n, std::size_t keep) {
        const int rc = rt::inChild([&] {
            MDataBase child;
            child.Open(base);
            CaseRecord fresh = rt::sampleCase("新新新新", 2020, 6, 6, 6, 6, false, "改过");
            fresh.number = n;
            child.SetFaultHook([&](const char* step) {
                if (std::string(step) != "write: record") return;
                const int fd = ::open(child.RecordFilePath().c_str(), O_WRONLY);
                if (::pwrite(fd, &fresh, keep, static_cast<off_t>(n) * 152) !=
                    static_cast<ssize_t>(keep))
                    ::_exit(3);
                ::raise(SIGKILL);
            });
            child.WriteRecord(n, fresh);
            return 2;  // not reached
        });
        ASSERT_EQ(rc, 128 + SIGKILL);
        ASSERT_TRUE(rt::fs::exists(db.UndoFilePath()));
        ASSERT_NE(records(), before);  // the record is torn on disk now
    }
};
}  // namespace

TEST_F(Torn, AKilledOverwriteIsUndoneByTheNextReaderWriterOrStart) {
    const std::size_t pageCut = 4096 - kSpanning * 152;  // 144 bytes before the page boundary
    // Repaired by a read of the running program ...
    tearInChild(kSpanning, pageCut);
    CaseRecord r;
    ASSERT_TRUE(db.ReadRecord(kSpanning, r));
    EXPECT_EQ(r.nameUtf8(), "旧26");
    EXPECT_EQ(records(), before);
    EXPECT_FALSE(rt::fs::exists(db.UndoFilePath()));
    // ... by the next start ...
    tearInChild(kSpanning, pageCut);
    {
        MDataBase next;
        ASSERT_TRUE(next.Open(base));
    }
    EXPECT_EQ(records(), before);
    // ... by a search and a scan ...
    tearInChild(3, 60);
    std::vector<int> all;
    db.Find(CaseFilter{}, all);
    EXPECT_EQ(all.size(), 30u);
    EXPECT_EQ(records(), before);
    tearInChild(4, 100);
    db.BeginScan();
    ASSERT_TRUE(db.ReadScanned(4, r));
    EXPECT_EQ(r.nameUtf8(), "旧4");
    db.EndScan();
    EXPECT_EQ(records(), before);
    // ... and before a deletion, which must not be undone with it.
    tearInChild(kSpanning, pageCut);
    EXPECT_TRUE(db.MarkDeleted(kSpanning));
    EXPECT_FALSE(db.ReadRecord(kSpanning, r));
    EXPECT_EQ(r.nameUtf8(), "旧26");
    EXPECT_EQ(r.deleted, 1);
    // An export copies the repaired record.
    tearInChild(5, 80);
    const std::string target = testdata::freshTempDir("records-torn-export");
    ASSERT_TRUE(db.ExportTo(target));
    EXPECT_EQ(rt::readFile(target + "Kelvora.dat").substr(5 * 152, 152), before.substr(5 * 152, 152));
    EXPECT_EQ(rt::readFile(target + "Kelvora.dat"), rt::liveOnly(records()));
    // Compaction copies the repaired record, not the torn one.
    tearInChild(kSpanning + 1, 50);
    ASSERT_TRUE(db.Compact());
    ASSERT_EQ(db.Count(), 29);
    ASSERT_TRUE(db.Open(base));
    ASSERT_TRUE(db.ReadRecord(kSpanning, r));  // old 27 moved down one place
    EXPECT_EQ(r.nameUtf8(), "旧27");
    EXPECT_EQ(r.number, kSpanning);
}

TEST_F(Torn, AnIncompleteOrForeignUndoFileIsDiscarded) {
    // Killed while the undo file itself was being written: the record was not touched yet.
    CaseRecord old;
    ASSERT_TRUE(db.ReadRecord(5, old));
    std::string entry = "TUR1" + std::string(160, '\x55');
    rt::writeFile(db.UndoFilePath(), entry.substr(0, 100));
    CaseRecord r;
    ASSERT_TRUE(db.ReadRecord(5, r));
    EXPECT_FALSE(rt::fs::exists(db.UndoFilePath()));
    EXPECT_EQ(records(), before);
    // A whole-sized entry with a wrong checksum or an out-of-range number puts nothing back.
    rt::writeFile(db.UndoFilePath(), entry);
    EXPECT_TRUE(db.WriteRecord(5, old));
    EXPECT_EQ(records(), before);
    EXPECT_FALSE(rt::fs::exists(db.UndoFilePath()));
}

TEST_F(Torn, NoRoomForTheUndoFileMeansNothingIsWritten) {
    // Record 0 fits a 160-byte file-size limit, its 164-byte undo entry does not.
    const int rc = rt::inChildWithFileLimit(160, [&] {
        MDataBase child;
        child.Open(base);
        CaseRecord r = rt::sampleCase("改", 2000);
        return child.WriteRecord(0, r) ? 1 : 0;
    });
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(records(), before);
    EXPECT_FALSE(rt::fs::exists(db.UndoFilePath()));
    // A successful overwrite leaves no undo file behind.
    CaseRecord r = rt::sampleCase("改", 2000);
    ASSERT_TRUE(db.WriteRecord(0, r));
    EXPECT_FALSE(rt::fs::exists(db.UndoFilePath()));
    EXPECT_EQ(recordBytes(1), before.substr(152, 152));
}

// ---- two copies of the program ------------------------------------------------------------

TEST(TwoCopies, StaleNumbersAreRefusedAfterTheOtherCopyRenumbers) {
    enum class Op { Compact, Import, Clear };
    for (Op op : {Op::Compact, Op::Import, Op::Clear}) {
        SCOPED_TRACE(static_cast<int>(op));
        const std::string base = rt::freshProgramFolder("records-copies");
        MDataBase first, second;
        ASSERT_TRUE(first.Open(base));
        for (int i = 0; i < 6; ++i) {
            CaseRecord r = rt::sampleCase("人" + std::to_string(i), 1950 + i);
            r.setCommentGbk(first.MakeCommentName(r));
            ASSERT_EQ(first.Append(r), i);
            rt::writeFile(first.CommentFilePath(r), "{\\rtf1 " + std::to_string(i) + "}");
        }
        ASSERT_TRUE(first.MarkDeleted(1));
        ASSERT_TRUE(second.Open(base));
        // The first copy has case 4 open; the second one renumbers the store meanwhile.
        CaseRecord open;
        ASSERT_TRUE(first.ReadRecord(4, open));
        if (op == Op::Compact) {
            ASSERT_TRUE(second.Compact());
        } else if (op == Op::Import) {
            const std::string src = rt::freshProgramFolder("records-copies-src");
            MDataBase other;
            ASSERT_TRUE(other.Open(src));
            for (int i = 0; i < 8; ++i) {
                CaseRecord r = rt::sampleCase("别" + std::to_string(i), 1800 + i);
                other.Append(r);
            }
            ASSERT_TRUE(other.ExportTo(src + "out/"));
            ASSERT_TRUE(second.ImportFrom(src + "out/"));
        } else {
            ASSERT_TRUE(second.ClearAll());
            for (int i = 0; i < 6; ++i) {
                CaseRecord r = rt::sampleCase("后" + std::to_string(i), 2000 + i);
                second.Append(r);
            }
        }
        const std::string after = rt::readFile(second.RecordFilePath());
        EXPECT_FALSE(second.RecordNumbersCurrent());  // its own tree is stale as well
        EXPECT_FALSE(first.RecordNumbersCurrent());
        // Saving, deleting and reading by the old number would hit another case: refused.
        open.setCategory("改过");
        EXPECT_FALSE(first.WriteRecord(4, open));
        EXPECT_FALSE(first.MarkDeleted(4));
        CaseRecord probe = rt::sampleCase("哨兵", 1111);
        probe.setComment("哨兵_111103070905");
        EXPECT_FALSE(first.ReadRecord(2, probe));
        // Cleared: a delete command that takes the comment name from it deletes no file.
        EXPECT_EQ(probe.commentGbk(), "");
        EXPECT_EQ(probe.nameGbk(), "");
        EXPECT_EQ(rt::readFile(second.RecordFilePath()), after);
        // A new case still goes in at the end, under its true number; searches and scans work.
        CaseRecord added = rt::sampleCase("新增", 2010);
        const int count = second.Count();
        EXPECT_EQ(first.Append(added), count);
        std::vector<int> found;
        first.Find(CaseFilter{}, found);
        EXPECT_EQ(static_cast<int>(found.size()), second.Count());  // every case is live here
        // Either copy after its restart, and any copy started afterwards, go on normally.
        CaseRecord r;
        EXPECT_FALSE(second.ReadRecord(0, r));
        ASSERT_TRUE(second.Open(base));
        EXPECT_TRUE(second.ReadRecord(0, r));
        EXPECT_TRUE(second.WriteRecord(0, r));
        MDataBase restarted;
        ASSERT_TRUE(restarted.Open(base));
        EXPECT_TRUE(restarted.RecordNumbersCurrent());
        EXPECT_TRUE(restarted.MarkDeleted(0));
    }
}

TEST(TwoCopies, TheOtherCopyWaitsWhileAnImportSwapsTheComments) {
    const std::string base = rt::freshProgramFolder("records-copies");
    const std::string src = rt::freshProgramFolder("records-copies-src");
    {
        MDataBase other;
        ASSERT_TRUE(other.Open(src));
        for (int i = 0; i < 3; ++i) {
            CaseRecord r = rt::sampleCase("别" + std::to_string(i), 1800 + i);
            r.setCommentGbk(other.MakeCommentName(r));
            other.Append(r);
            rt::writeFile(other.CommentFilePath(r), "{\\rtf1 x}");
        }
        ASSERT_TRUE(other.ExportTo(src + "out/"));
    }
    MDataBase importer, bystander;
    ASSERT_TRUE(importer.Open(base));
    ASSERT_TRUE(bystander.Open(base));
    bystander.SetLockTimeout(50);
    int during = 0, seen = 0;
    importer.SetFaultHook([&](const char* step) {
        if (std::string(step) != "import: move comment") return;
        ++seen;
        // The new record file is in place, its comments are not: the other copy must wait.
        CaseRecord r = rt::sampleCase("插队", 2000);
        if (bystander.Append(r) >= 0) ++during;
    });
    ASSERT_TRUE(importer.ImportFrom(src + "out/"));
    EXPECT_EQ(seen, 3);
    EXPECT_EQ(during, 0);
    CaseRecord r = rt::sampleCase("之后", 2001);
    EXPECT_EQ(bystander.Append(r), 3);
}
