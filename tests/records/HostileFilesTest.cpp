// Files that are not what the store expects under its names: symbolic links planted under the
// staging folder and the temporary names of an export, FIFOs and folders as record files, comment
// files that are links, and a sparse record file claiming two thousand million records. Every
// case that could hang runs in a child with an alarm, so a regression fails instead of blocking.
#include <fcntl.h>
#include <sys/stat.h>

#include <vector>

#include "StoreHelpers.h"

namespace {
struct Hostile : ::testing::Test {
    std::string base = rt::freshProgramFolder("records-hostile");
    MDataBase db;
    void SetUp() override { ASSERT_TRUE(db.Open(base)); }

    void fill(int n) {
        for (int i = 0; i < n; ++i) {
            CaseRecord r = rt::sampleCase("客" + std::to_string(i), 1960 + i);
            r.setCommentGbk(db.MakeCommentName(r));
            ASSERT_EQ(db.Append(r), i);
            rt::writeFile(db.CommentFilePath(r), "{\\rtf1 " + std::to_string(i) + "}");
        }
    }
    // An export of `n` other cases, as an import source.
    static std::string source(int n) {
        const std::string src = rt::freshProgramFolder("records-hostile-src");
        MDataBase other;
        EXPECT_TRUE(other.Open(src));
        for (int i = 0; i < n; ++i) {
            CaseRecord r = rt::sampleCase("源" + std::to_string(i), 1900 + i);
            r.setCommentGbk(other.MakeCommentName(r));
            other.Append(r);
            rt::writeFile(other.CommentFilePath(r), "{\\rtf1 source}");
        }
        EXPECT_TRUE(other.ExportTo(src + "export"));
        return src + "export/";
    }
    // A folder outside the program folder with one file in it.
    static std::string outsideFolder() {
        const std::string out = testdata::freshTempDir("records-outside");
        rt::writeFile(out + "keep.txt", "the user's own file");
        return out;
    }
};

// Runs `body` in a child that an alarm ends after `seconds` (exit code 128 + SIGALRM).
int withinSeconds(unsigned seconds, const std::function<int()>& body) {
    return rt::inChild([&] {
        ::alarm(seconds);
        return body();
    });
}
}  // namespace

TEST_F(Hostile, AStagingFolderThatIsALinkIsRemovedAsALink) {
    fill(2);
    const std::string outside = outsideFolder();
    const std::string stage = base + "dat/import.stage";
    // At Open: what an interrupted import seems to have left is cleaned up.
    rt::fs::create_directory_symlink(outside, stage);
    MDataBase again;
    ASSERT_TRUE(again.Open(base));
    EXPECT_EQ(rt::readFile(outside + "keep.txt"), "the user's own file");
    EXPECT_FALSE(rt::fs::is_symlink(stage));
    // At an import: the old stage is cleared before copying.
    rt::fs::create_directory_symlink(outside, stage);
    ASSERT_TRUE(again.ImportFrom(source(3)));
    EXPECT_EQ(rt::readFile(outside + "keep.txt"), "the user's own file");
    EXPECT_EQ(rt::folderContents(outside).size(), 1u);
    MDataBase reopened;
    ASSERT_TRUE(reopened.Open(base));
    EXPECT_EQ(reopened.Count(), 3);
}

TEST_F(Hostile, ExportNeverWritesThroughALinkUnderATemporaryName) {
    fill(2);
    CaseRecord first;
    ASSERT_TRUE(db.ReadRecord(0, first));
    const std::string commentName = rt::fs::path(db.CommentFilePath(first)).filename().string();
    const std::string outside = outsideFolder();
    const std::string target = testdata::freshTempDir("records-hostile-export");
    rt::fs::create_directories(target + "Kelvora_f");
    rt::fs::create_symlink(outside + "keep.txt", target + "Kelvora.dat.part~");
    rt::fs::create_symlink(outside + "keep.txt", target + "Kelvora_f/" + commentName + ".part~");
    ASSERT_TRUE(db.ExportTo(target));
    EXPECT_EQ(rt::readFile(outside + "keep.txt"), "the user's own file");
    EXPECT_FALSE(rt::fs::is_symlink(target + "Kelvora.dat"));
    EXPECT_EQ(rt::readFile(target + "Kelvora.dat"), rt::readFile(db.RecordFilePath()));
    EXPECT_FALSE(rt::fs::is_symlink(target + "Kelvora_f/" + commentName));
    EXPECT_EQ(rt::readFile(target + "Kelvora_f/" + commentName), "{\\rtf1 0}");
}

TEST_F(Hostile, AFifoAsImportSourceIsRefusedAtOnce) {
    fill(2);
    const std::string before = rt::readFile(db.RecordFilePath());
    const std::string src = testdata::freshTempDir("records-fifo-src");
    ASSERT_EQ(::mkfifo((src + "Kelvora.dat").c_str(), 0644), 0);
    const int rc = withinSeconds(10, [&] { return db.ImportFrom(src) ? 1 : 0; });
    EXPECT_EQ(rc, 0) << "128 + 14 means the import hung on the FIFO";
    EXPECT_EQ(rt::readFile(db.RecordFilePath()), before);
    EXPECT_EQ(db.Count(), 2);
}

TEST_F(Hostile, AFifoOrAFolderAsTheRecordFileIsNoStore) {
    fill(1);
    rt::fs::remove(db.RecordFilePath());
    ASSERT_EQ(::mkfifo(db.RecordFilePath().c_str(), 0644), 0);
    const int rc = withinSeconds(10, [&] {
        CaseRecord r = rt::sampleCase("新", 2000);
        std::vector<int> found;
        db.Find(CaseFilter{}, found);
        MDataBase other;
        const bool opened = other.Open(base);
        return db.Count() == 0 && db.Append(r) == -1 && found.empty() && !opened ? 0 : 1;
    });
    EXPECT_EQ(rc, 0) << "128 + 14 means an operation hung on the FIFO";

    rt::fs::remove(db.RecordFilePath());
    rt::fs::create_directories(db.RecordFilePath() + "/sub");
    EXPECT_EQ(db.Count(), 0);
    CaseRecord r;
    EXPECT_FALSE(db.ReadRecord(0, r));
    MDataBase other;
    EXPECT_FALSE(other.Open(base));
}

TEST_F(Hostile, CommentLinksInAnImportSourceAreNotCopiedIn) {
    const std::string outside = outsideFolder();
    const std::string src = source(2);
    rt::fs::create_symlink(outside + "keep.txt", src + "Kelvora_f/secret.rtf");
    ASSERT_TRUE(db.ImportFrom(src));
    const auto comments = rt::folderContents(db.CommentFolder());
    EXPECT_EQ(comments.size(), 2u);
    EXPECT_EQ(comments.count("secret.rtf"), 0u);
    EXPECT_FALSE(rt::fs::exists(rt::fs::symlink_status(db.CommentFolder() + "secret.rtf")));
}

TEST_F(Hostile, ClearingRemovesCommentLinksButNotWhatTheyPointTo) {
    const std::string outside = outsideFolder();
    rt::fs::create_symlink(outside + "keep.txt", db.CommentFolder() + "link.rtf");
    ASSERT_TRUE(db.ClearAll());
    EXPECT_FALSE(rt::fs::exists(rt::fs::symlink_status(db.CommentFolder() + "link.rtf")));
    EXPECT_EQ(rt::readFile(outside + "keep.txt"), "the user's own file");
}

TEST_F(Hostile, ASparseRecordFileCountsOnlyTheRecordsItHolds) {
    fill(3);
    {
        const int fd = ::open(db.RecordFilePath().c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        // 2^31 - 1 records claimed, 326 GB, none of it on disk past the first block.
        const off_t claimed = static_cast<off_t>(2147483647) * 152;
        const int r = ::ftruncate(fd, claimed);
        ::close(fd);
        if (r != 0) GTEST_SKIP() << "no sparse file of that size here";
    }
    struct stat st {};
    ASSERT_EQ(::stat(db.RecordFilePath().c_str(), &st), 0);
    if (static_cast<long long>(st.st_blocks) * 512 >= st.st_size)
        GTEST_SKIP() << "the file system allocated the whole file";
    // The records up to the first hole: the three cases and the zeros of the rest of their
    // block, never more than the blocks on disk hold.
    const int count = db.Count();
    ASSERT_GE(count, 3);
    ASSERT_LE(count, static_cast<long long>(st.st_blocks) * 512 / 152);
    const int rc = withinSeconds(20, [&] {
        std::vector<int> found;
        db.Find(CaseFilter{}, found);
        CaseRecord r = rt::sampleCase("后", 2001);
        return static_cast<int>(found.size()) == count && found[2] == 2 && db.Append(r) == count
                   ? 0
                   : 1;
    });
    EXPECT_EQ(rc, 0) << "128 + 14 means the search read the holes";
    // An import refuses such a file as its source (and never copies its holes).
    const std::string src = testdata::freshTempDir("records-sparse-src");
    rt::writeFile(src + "Kelvora.dat", "");
    {
        const int fd = ::open((src + "Kelvora.dat").c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        CaseRecord one = rt::sampleCase("源", 1999);
        ASSERT_EQ(::pwrite(fd, &one, sizeof one, 0), static_cast<ssize_t>(sizeof one));
        ASSERT_EQ(::ftruncate(fd, st.st_size), 0);
        ::close(fd);
    }
    MDataBase target;
    ASSERT_TRUE(target.Open(rt::freshProgramFolder("records-sparse-target")));
    EXPECT_EQ(withinSeconds(20, [&] { return target.ImportFrom(src) ? 1 : 0; }), 0);
    EXPECT_EQ(target.Count(), 0);
}
