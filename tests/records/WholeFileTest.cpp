// Export, import, clearing and compaction of the whole store, with their failure paths:
// missing, unreadable and cut-off sources, and a full disk (a file-size limit in a child).
#include <sys/stat.h>

#include <vector>

#include "StoreHelpers.h"

namespace {
struct WholeFile : ::testing::Test {
    std::string base = rt::freshProgramFolder("records-whole");
    MDataBase db;
    void SetUp() override { ASSERT_TRUE(db.Open(base)); }

    // n cases "人0".."人n-1", each with its comment file.
    void fill(int n, const std::string& prefix = "人") {
        const int first = db.Count();
        for (int i = 0; i < n; ++i) {
            CaseRecord r = rt::sampleCase(prefix + std::to_string(i), 1950 + i % 60, 1 + i % 12);
            r.setCommentGbk(db.MakeCommentName(r));
            ASSERT_EQ(db.Append(r), first + i);
            rt::writeFile(db.CommentFilePath(r), "{\\rtf1 " + prefix + std::to_string(i) + "}");
        }
    }
    std::string records() const { return rt::readFile(db.RecordFilePath()); }
    std::map<std::string, std::string> comments() const {
        return rt::folderContents(db.CommentFolder());
    }
};

// An export-shaped source folder holding `n` cases named after `prefix`.
std::string makeSource(int n, const std::string& prefix, bool withCommentFolder = true) {
    const std::string src = rt::freshProgramFolder("records-src");
    MDataBase other;
    EXPECT_TRUE(other.Open(src));
    for (int i = 0; i < n; ++i) {
        CaseRecord r = rt::sampleCase(prefix + std::to_string(i), 1800 + i);
        r.setCommentGbk(other.MakeCommentName(r));
        other.Append(r);
        rt::writeFile(other.CommentFilePath(r), "{\\rtf1 new " + std::to_string(i) + "}");
    }
    const std::string out = src + "export/";
    EXPECT_TRUE(other.ExportTo(out));
    if (!withCommentFolder) rt::fs::remove_all(out + "Kelvora_f");
    return out;
}
}  // namespace

TEST_F(WholeFile, ExportCopiesRecordsAndCommentsAndCanRunTwice) {
    fill(3);
    rt::writeFile(db.CommentFolder() + "note.txt", "not a comment");
    const std::string target = testdata::freshTempDir("records-export") + "Tarmin天文占星_导出数据/";
    ASSERT_TRUE(db.ExportTo(target));
    EXPECT_EQ(rt::fs::file_size(target + "Kelvora.dat"), 456u);
    EXPECT_EQ(rt::readFile(target + "Kelvora.dat"), records());
    auto exported = rt::folderContents(target + "Kelvora_f");
    auto live = comments();
    live.erase("note.txt");
    EXPECT_EQ(exported, live);
    EXPECT_EQ(exported.size(), 3u);

    // Again into the same folder: overwritten, and a file that only the export holds stays.
    rt::writeFile(target + "Kelvora_f/extra.rtf", "only here");
    CaseRecord r = rt::sampleCase("后来", 2001);
    db.Append(r);
    ASSERT_TRUE(db.ExportTo(target));
    EXPECT_EQ(rt::fs::file_size(target + "Kelvora.dat"), 608u);
    EXPECT_EQ(rt::readFile(target + "Kelvora_f/extra.rtf"), "only here");
    for (const auto& e : rt::fs::directory_iterator(target))
        EXPECT_EQ(e.path().string().find(".part~"), std::string::npos) << e.path();
}

TEST_F(WholeFile, ExportLeavesAPartialTailBehindAndFailsOnAnUnwritableTarget) {
    fill(2);
    {
        std::ofstream out(db.RecordFilePath(), std::ios::binary | std::ios::app);
        out << "tail";
    }
    const std::string target = testdata::freshTempDir("records-export");
    ASSERT_TRUE(db.ExportTo(target));
    EXPECT_EQ(rt::fs::file_size(target + "Kelvora.dat"), 304u);
    // A target that is a file, not a folder.
    rt::writeFile(target + "blocked", "x");
    EXPECT_FALSE(db.ExportTo(target + "blocked/"));
    // Kelvora_f in the target is a file.
    const std::string t2 = testdata::freshTempDir("records-export");
    rt::writeFile(t2 + "Kelvora_f", "x");
    EXPECT_FALSE(db.ExportTo(t2));
}

TEST_F(WholeFile, ImportReplacesRecordsAndEveryComment) {
    fill(4, "旧");
    const std::string source = makeSource(3, "新");
    const std::string expectRecords = rt::readFile(source + "Kelvora.dat");
    const auto expectComments = rt::folderContents(source + "Kelvora_f");
    ASSERT_TRUE(db.ImportFrom(source));
    EXPECT_EQ(records(), expectRecords);
    EXPECT_EQ(comments(), expectComments);
    EXPECT_EQ(db.Count(), 3);
    EXPECT_FALSE(rt::fs::exists(base + "dat/import.stage"));
    EXPECT_FALSE(rt::fs::exists(base + "dat/import.commit"));
    // New cases can be added at once; the old numbers wait for the restart.
    CaseRecord r = rt::sampleCase("再", 2000);
    EXPECT_EQ(db.Append(r), 3);
    EXPECT_FALSE(db.WriteRecord(0, r));
    ASSERT_TRUE(db.Open(base));
    EXPECT_TRUE(db.WriteRecord(0, r));
}

TEST_F(WholeFile, ImportFindsNamesWrittenInCapitals) {
    fill(2);
    const std::string source = makeSource(3, "新");
    const auto expectComments = rt::folderContents(source + "Kelvora_f");
    rt::fs::rename(source + "Kelvora.dat", source + "KELVORA.DAT");
    rt::fs::rename(source + "Kelvora_f", source + "KELVORA_F");
    ASSERT_TRUE(db.ImportFrom(source));
    EXPECT_EQ(db.Count(), 3);
    EXPECT_EQ(comments(), expectComments);
}

TEST_F(WholeFile, ImportFromAnEmptyCommentFolderLeavesNoComments) {
    fill(3);
    const std::string source = makeSource(2, "新");
    rt::fs::remove_all(source + "Kelvora_f");
    rt::fs::create_directories(source + "Kelvora_f");
    ASSERT_TRUE(db.ImportFrom(source));
    EXPECT_EQ(db.Count(), 2);
    EXPECT_TRUE(comments().empty());
    // No comment folder at all: the same.
    fill(1, "又");
    const std::string bare = makeSource(2, "新", false);
    ASSERT_TRUE(db.ImportFrom(bare));
    EXPECT_TRUE(comments().empty());
}

TEST_F(WholeFile, ImportOfABadSourceLeavesTheStoreAsItWas) {
    fill(4);
    const std::string beforeRecords = records();
    const auto beforeComments = comments();
    auto unchanged = [&](const char* what) {
        EXPECT_EQ(records(), beforeRecords) << what;
        EXPECT_EQ(comments(), beforeComments) << what;
        EXPECT_FALSE(rt::fs::exists(base + "dat/import.stage")) << what;
        EXPECT_FALSE(rt::fs::exists(base + "dat/import.commit")) << what;
        EXPECT_TRUE(db.RecordNumbersCurrent()) << what;  // nothing was renumbered
    };
    // Missing source folder and missing record file.
    EXPECT_FALSE(db.ImportFrom(base + "nowhere/"));
    unchanged("missing folder");
    const std::string noFile = makeSource(2, "新");
    rt::fs::remove(noFile + "Kelvora.dat");
    EXPECT_FALSE(db.ImportFrom(noFile));
    unchanged("missing record file");
    // A record file cut off in the middle of a record.
    const std::string cut = makeSource(3, "新");
    rt::fs::resize_file(cut + "Kelvora.dat", 2 * 152 + 17);
    EXPECT_FALSE(db.ImportFrom(cut));
    unchanged("cut-off record file");
    // Kelvora.dat is a folder.
    const std::string dirAsFile = makeSource(1, "新");
    rt::fs::remove(dirAsFile + "Kelvora.dat");
    rt::fs::create_directories(dirAsFile + "Kelvora.dat");
    EXPECT_FALSE(db.ImportFrom(dirAsFile));
    unchanged("record file is a folder");
    // The commit file cannot be written (a folder has taken its name): the last step before the
    // swap fails.
    const std::string good = makeSource(2, "新");
    db.SetFaultHook([&](const char* step) {
        if (std::string(step) == "import: write commit file")
            rt::fs::create_directories(base + "dat/import.commit.part~/x");
    });
    EXPECT_FALSE(db.ImportFrom(good));
    db.SetFaultHook({});
    rt::fs::remove_all(base + "dat/import.commit.part~");
    unchanged("commit file not written");
    // A comment file that cannot be read (only testable without root's rights).
    const std::string unreadable = makeSource(2, "新");
    const std::string victim = unreadable + "Kelvora_f/zz.rtf";
    rt::writeFile(victim, "secret");
    ::chmod(victim.c_str(), 0);
    if (::geteuid() != 0) {
        EXPECT_FALSE(db.ImportFrom(unreadable));
        unchanged("unreadable comment");
    }
}

TEST_F(WholeFile, ClearAllEmptiesTheStoreButKeepsItUsable) {
    fill(3);
    rt::writeFile(db.CommentFolder() + "keep.txt", "x");
    ASSERT_TRUE(db.ClearAll());
    EXPECT_EQ(db.Count(), 0);
    EXPECT_EQ(comments().size(), 1u);  // only *.rtf files go
    EXPECT_TRUE(rt::fs::is_directory(db.CommentFolder()));
    CaseRecord r = rt::sampleCase("新", 2000);
    EXPECT_EQ(db.Append(r), 0);
}

TEST_F(WholeFile, CompactionDropsDeletedRecordsAndRenumbers) {
    // 2500 cases, every 25th of each 100 block and more: 600 deleted in all.
    constexpr int kTotal = 2500;
    {
        std::string bytes;
        for (int i = 0; i < kTotal; ++i) {
            CaseRecord r = rt::sampleCase("人" + std::to_string(i), 1900 + i % 100);
            r.number = i;
            r.reserved64[10] = static_cast<uint8_t>(i);
            bytes.append(reinterpret_cast<const char*>(&r), sizeof r);
        }
        rt::writeFile(db.RecordFilePath(), bytes);
    }
    std::vector<int> deleted;
    for (int i = 0; i < kTotal; ++i)
        if (i % 25 < 6) deleted.push_back(i);
    ASSERT_EQ(deleted.size(), 600u);
    for (int n : deleted) ASSERT_TRUE(db.MarkDeleted(n));
    ASSERT_EQ(db.Count(), kTotal);
    ASSERT_TRUE(db.Compact());
    EXPECT_FALSE(rt::fs::exists(db.CompactFilePath()));
    ASSERT_EQ(db.Count(), 1900);
    // Until the restart the old numbers are refused: they name other cases now.
    EXPECT_FALSE(db.RecordNumbersCurrent());
    CaseRecord stale;
    EXPECT_FALSE(db.ReadRecord(10, stale));
    EXPECT_FALSE(db.WriteRecord(10, stale));
    EXPECT_FALSE(db.MarkDeleted(10));
    ASSERT_TRUE(db.Open(base));
    EXPECT_EQ(rt::fs::file_size(db.RecordFilePath()), 1900u * 152u);
    int k = 0;
    for (int i = 0; i < kTotal; ++i) {
        if (i % 25 < 6) continue;
        CaseRecord r;
        ASSERT_TRUE(db.ReadRecord(k, r));
        EXPECT_EQ(r.number, k);
        EXPECT_EQ(r.nameUtf8(), "人" + std::to_string(i));
        EXPECT_EQ(r.reserved64[10], static_cast<uint8_t>(i));
        ++k;
    }
}

TEST_F(WholeFile, CompactionKeepsRecordsWhoseDeletedByteIsNotOne) {
    fill(3);
    std::string bytes = records();
    bytes[152 + 4] = 2;  // neither live nor deleted: invisible, yet not thrown away
    bytes += "partial";
    rt::writeFile(db.RecordFilePath(), bytes);
    ASSERT_TRUE(db.Compact());
    EXPECT_EQ(db.Count(), 3);
    EXPECT_EQ(rt::fs::file_size(db.RecordFilePath()), 456u);
    ASSERT_TRUE(db.Open(base));
    CaseRecord r;
    EXPECT_FALSE(db.ReadRecord(1, r));
    EXPECT_EQ(r.deleted, 2);
}

TEST_F(WholeFile, CompactionFailureKeepsTheRecordFile) {
    fill(5);
    db.MarkDeleted(1);
    const std::string before = records();
    // ming.bak cannot be created: a folder sits in its place.
    rt::fs::create_directories(db.CompactFilePath() + "/x");
    EXPECT_FALSE(db.Compact());
    EXPECT_EQ(records(), before);
    rt::fs::remove_all(db.CompactFilePath());
    // The final rename fails (a non-empty folder has taken the record file's name meanwhile).
    const std::string aside = db.RecordFilePath() + ".aside";
    db.SetFaultHook([&](const char* step) {
        if (std::string(step) != "compact: rename") return;
        rt::fs::rename(db.RecordFilePath(), aside);
        rt::fs::create_directories(db.RecordFilePath() + "/x");
    });
    EXPECT_FALSE(db.Compact());
    db.SetFaultHook({});
    rt::fs::remove_all(db.RecordFilePath());
    rt::fs::rename(aside, db.RecordFilePath());
    EXPECT_EQ(records(), before);
    EXPECT_FALSE(rt::fs::exists(db.CompactFilePath()));
    // Nothing was renumbered, so the numbers of the running program stay good.
    EXPECT_TRUE(db.RecordNumbersCurrent());
    EXPECT_TRUE(db.MarkDeleted(2));
    const std::string marked = records();
    // A stale ming.bak from a killed run is cleaned away by the next Open.
    rt::writeFile(db.CompactFilePath(), "stale");
    MDataBase again;
    ASSERT_TRUE(again.Open(base));
    EXPECT_FALSE(rt::fs::exists(db.CompactFilePath()));
    EXPECT_EQ(records(), marked);
}

// ---- a full disk ---------------------------------------------------------------------------

TEST_F(WholeFile, FullDiskDuringAppendIsReportedAndLeavesNoPartialRecord) {
    fill(3);
    const std::string before = records();
    // Room for 100 more bytes only.
    int rc = rt::inChildWithFileLimit(456 + 100, [&] {
        MDataBase child;
        child.Open(base);
        CaseRecord r = rt::sampleCase("满", 2000);
        return child.Append(r) == -1 ? 0 : 1;
    });
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(records(), before);
    // A partial tail from an earlier crash, then the full disk: still nothing added.
    rt::writeFile(db.RecordFilePath(), before + std::string(30, '\x7F'));
    rc = rt::inChildWithFileLimit(456 + 100, [&] {
        MDataBase child;
        child.Open(base);
        CaseRecord r = rt::sampleCase("满", 2000);
        return child.Append(r) == -1 ? 0 : 1;
    });
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(db.Count(), 3);
    // Exactly enough room: the record goes in.
    rc = rt::inChildWithFileLimit(608, [&] {
        MDataBase child;
        child.Open(base);
        CaseRecord r = rt::sampleCase("满", 2000);
        return child.Append(r) == 3 ? 0 : 1;
    });
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(db.Count(), 4);
}

TEST_F(WholeFile, NoSpaceLeftIsReportedByAppendAndCompaction) {
    // /dev/full answers every write with ENOSPC, as a full disk does.
    if (!rt::fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    fill(3);
    db.MarkDeleted(0);
    const std::string before = records();
    // ming.bak turns into the full device just before compaction creates it.
    db.SetFaultHook([&](const char* step) {
        if (std::string(step) == "compact: create ming.bak")
            rt::fs::create_symlink("/dev/full", db.CompactFilePath());
    });
    EXPECT_FALSE(db.Compact());
    db.SetFaultHook({});
    EXPECT_EQ(records(), before);
    EXPECT_FALSE(rt::fs::exists(db.CompactFilePath()));
    const std::string real = db.RecordFilePath() + ".real";
    rt::fs::rename(db.RecordFilePath(), real);
    rt::fs::create_symlink("/dev/full", db.RecordFilePath());
    CaseRecord r = rt::sampleCase("满", 2000);
    r.number = 9;
    EXPECT_EQ(db.Append(r), -1);
    EXPECT_EQ(r.number, 9);
    rt::fs::remove(db.RecordFilePath());
    rt::fs::rename(real, db.RecordFilePath());
    EXPECT_EQ(records(), before);
}

TEST_F(WholeFile, FullDiskDuringWriteRecordKeepsTheOldRecord) {
    fill(3);
    const std::string before = records();
    const int rc = rt::inChildWithFileLimit(2 * 152 + 50, [&] {
        MDataBase child;
        child.Open(base);
        CaseRecord r = rt::sampleCase("改", 2000);
        return child.WriteRecord(2, r) ? 1 : 0;
    });
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(records(), before);
}

TEST_F(WholeFile, FullDiskDuringCompactionKeepsTheRecordFile) {
    fill(10);
    for (int n : {1, 4, 7}) db.MarkDeleted(n);
    const std::string before = records();
    const int rc = rt::inChildWithFileLimit(300, [&] {
        MDataBase child;
        child.Open(base);
        return child.Compact() ? 1 : 0;
    });
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(records(), before);
    EXPECT_FALSE(rt::fs::exists(db.CompactFilePath()));
}

TEST_F(WholeFile, FullDiskDuringExportIsReportedAndAnOldExportStaysWhole) {
    fill(6);
    const std::string target = testdata::freshTempDir("records-export");
    ASSERT_TRUE(db.ExportTo(target));
    const std::string oldExport = rt::readFile(target + "Kelvora.dat");
    CaseRecord r = rt::sampleCase("新增", 2002);
    db.Append(r);
    const std::string before = records();
    const int rc = rt::inChildWithFileLimit(500, [&] {
        MDataBase child;
        child.Open(base);
        return child.ExportTo(target) ? 1 : 0;
    });
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(records(), before);
    EXPECT_EQ(rt::readFile(target + "Kelvora.dat"), oldExport);
}

TEST_F(WholeFile, FullDiskDuringImportLeavesTheStoreAsItWas) {
    fill(3);
    const std::string source = makeSource(20, "新");
    const std::string before = records();
    const auto beforeComments = comments();
    const int rc = rt::inChildWithFileLimit(1000, [&] {
        MDataBase child;
        child.Open(base);
        return child.ImportFrom(source) ? 1 : 0;
    });
    EXPECT_EQ(rc, 0);
    MDataBase again;
    ASSERT_TRUE(again.Open(base));
    EXPECT_EQ(records(), before);
    EXPECT_EQ(comments(), beforeComments);
    EXPECT_FALSE(rt::fs::exists(base + "dat/import.stage"));
}

// ---- the store as its own source or target ---------------------------------------------------

TEST_F(WholeFile, ImportFromTheStoreItselfKeepsEveryCase) {
    fill(4);
    db.MarkDeleted(2);
    const std::string beforeRecords = records();
    const auto beforeComments = comments();
    // A source whose Kelvora.dat and Kelvora_f are the live record file and comment folder.
    const std::string self = testdata::freshTempDir("records-self");
    rt::fs::create_symlink(db.RecordFilePath(), self + "Kelvora.dat");
    rt::fs::create_directory_symlink(base + "Kelvora_f", self + "Kelvora_f");
    ASSERT_TRUE(db.ImportFrom(self));
    EXPECT_EQ(records(), beforeRecords);
    EXPECT_EQ(comments(), beforeComments);
    // The program folder itself after an export into it: the live cases once more.
    ASSERT_TRUE(db.ExportTo(base));
    ASSERT_TRUE(db.ImportFrom(base));
    EXPECT_EQ(records(), rt::liveOnly(beforeRecords));
    EXPECT_EQ(comments(), beforeComments);
    EXPECT_EQ(db.Count(), 3);
}

TEST_F(WholeFile, ExportIntoTheProgramFolderKeepsTheStore) {
    fill(3);
    const std::string beforeRecords = records();
    const auto beforeComments = comments();
    // Into the dat folder (the export's Kelvora.dat is the record file) and the program folder
    // (its Kelvora_f is the comment folder): nothing is lost or doubled.
    ASSERT_TRUE(db.ExportTo(base + "dat/"));
    ASSERT_TRUE(db.ExportTo(base));
    EXPECT_EQ(records(), beforeRecords);
    EXPECT_EQ(comments(), beforeComments);
    // Into the comment folder: the export sits in a subfolder that clearing and importing leave
    // alone, and it can be imported back.
    const std::string inside = db.CommentFolder() + MDataBase::kExportFolderName + "/";
    ASSERT_TRUE(db.ExportTo(inside));
    EXPECT_EQ(comments(), beforeComments);
    ASSERT_TRUE(db.ClearAll());
    EXPECT_TRUE(rt::fs::is_directory(inside + "Kelvora_f"));
    ASSERT_TRUE(db.ImportFrom(inside));
    EXPECT_EQ(records(), beforeRecords);
    EXPECT_EQ(comments(), beforeComments);
}
