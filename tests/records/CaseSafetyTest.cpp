// Saving, deleting and reading comments against hostile folders and refused writes: links
// planted under temporary names, a linked comment folder, FIFOs and devices under a comment's
// name, comment names two cases could share, leftovers of killed runs.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <chrono>

#include "StoreHelpers.h"
#include "platform/core/FileOps.h"

namespace {
class CaseSafety : public ::testing::Test {
protected:
    void SetUp() override {
        base = rt::freshProgramFolder("records-safety");
        ASSERT_TRUE(db.Open(base));
    }
    // A stored case with a comment file of its own.
    CaseRecord stored(const std::string& name, int year, const std::string& rtf) {
        CaseRecord r = rt::sampleCase(name, year);
        r.setCommentGbk(db.MakeCommentName(r));
        EXPECT_EQ(db.SaveCase(-1, r, rtf), MDataBase::SaveResult::Saved);
        return r;
    }
    std::string base;
    MDataBase db;
};

pid_t deadPid() {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}
}  // namespace

TEST_F(CaseSafety, ACommentIsNeverWrittenThroughALinkAtItsTemporaryName) {
    CaseRecord r = stored("甲", 1980, "{\\rtf1 old}");
    const std::string victim = base + "victim.txt";
    rt::writeFile(victim, "keep me");
    const std::string path = db.CommentFilePath(r);
    rt::fs::create_symlink(victim, path + "." + std::to_string(::getpid()) + ".part~");
    ASSERT_EQ(db.SaveCase(r.number, r, "{\\rtf1 new}"), MDataBase::SaveResult::Saved);
    EXPECT_EQ(rt::readFile(victim), "keep me");
    EXPECT_FALSE(rt::fs::is_symlink(path));
    EXPECT_EQ(rt::readFile(path), "{\\rtf1 new}");
}

TEST_F(CaseSafety, ASaveRefusedByTheRecordFileChangesNothing) {
    CaseRecord r = stored("甲", 1980, "{\\rtf1 old}");
    const auto commentsBefore = rt::folderContents(base + "Kelvora_f");
    // Another running copy holds the store's lock past our wait.
    const int other = ::open(db.RecordFilePath().c_str(), O_RDONLY);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    db.SetLockTimeout(50);
    CaseRecord changed = r;
    changed.year = 1999;
    EXPECT_EQ(db.SaveCase(r.number, changed, "{\\rtf1 new}"), MDataBase::SaveResult::RecordFailed);
    CaseRecord added = rt::sampleCase("乙", 1981);
    added.setCommentGbk(db.MakeCommentName(added));
    EXPECT_EQ(db.SaveCase(-1, added, "{\\rtf1 added}"), MDataBase::SaveResult::RecordFailed);
    ::close(other);
    EXPECT_EQ(rt::folderContents(base + "Kelvora_f"), commentsBefore);
    EXPECT_EQ(db.Count(), 1);
    CaseRecord now{};
    ASSERT_TRUE(db.ReadRecord(r.number, now));
    EXPECT_EQ(now.year, 1980);
}

TEST_F(CaseSafety, CommentFilesAreReadOnlyWhenRegularAndOfBoundedSize) {
    std::string bytes;
    const std::string fifo = base + "Kelvora_f/fifo.rtf";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_FALSE(MDataBase::ReadCommentFile(fifo, bytes));  // returns at once, no writer needed
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
    rt::fs::create_symlink("/dev/zero", base + "Kelvora_f/zero.rtf");
    EXPECT_FALSE(MDataBase::ReadCommentFile(base + "Kelvora_f/zero.rtf", bytes));
    const std::string sparse = base + "Kelvora_f/huge.rtf";
    rt::writeFile(sparse, "");
    rt::fs::resize_file(sparse, MDataBase::kMaxCommentBytes + 1);
    EXPECT_FALSE(MDataBase::ReadCommentFile(sparse, bytes));
    rt::writeFile(base + "Kelvora_f/fine.rtf", "{\\rtf1 x}");
    EXPECT_TRUE(MDataBase::ReadCommentFile(base + "Kelvora_f/fine.rtf", bytes));
    EXPECT_EQ(bytes, "{\\rtf1 x}");
}

TEST_F(CaseSafety, TwoLiveCasesNeverShareACommentFile) {
    // A stored record whose comment file is missing still owns its name.
    CaseRecord first = rt::sampleCase("甲", 1980);
    first.setCommentGbk(db.MakeCommentName(first));
    ASSERT_GE(db.Append(first), 0);
    CaseRecord second = rt::sampleCase("甲", 1980);
    EXPECT_EQ(db.MakeCommentName(second), first.commentGbk() + "_0");
    // Names that clean to one file (an import can bring them): deleting one keeps the other's.
    CaseRecord slash = rt::sampleCase("x", 1990), under = rt::sampleCase("x", 1991);
    slash.setComment("a/b");
    under.setComment("a_b");
    ASSERT_GE(db.Append(slash), 0);
    ASSERT_GE(db.Append(under), 0);
    EXPECT_EQ(db.CommentFilePath(slash), db.CommentFilePath(under));
    rt::writeFile(db.CommentFilePath(under), "{\\rtf1 shared}");
    ASSERT_TRUE(db.MarkDeleted(slash.number));
    EXPECT_EQ(db.RemoveCommentOf(slash), MDataBase::CommentRemoval::Kept);
    EXPECT_TRUE(rt::fs::exists(db.CommentFilePath(under)));
    ASSERT_TRUE(db.MarkDeleted(under.number));
    EXPECT_EQ(db.RemoveCommentOf(under), MDataBase::CommentRemoval::Removed);
    EXPECT_FALSE(rt::fs::exists(db.CommentFilePath(under)));
    // A comment that cannot be removed is reported.
    CaseRecord stuck = stored("丙", 1982, "{\\rtf1 c}");
    rt::fs::remove(db.CommentFilePath(stuck));
    rt::fs::create_directories(db.CommentFilePath(stuck) + "/inside");
    ASSERT_TRUE(db.MarkDeleted(stuck.number));
    EXPECT_EQ(db.RemoveCommentOf(stuck), MDataBase::CommentRemoval::Failed);
}

TEST_F(CaseSafety, ALinkedCommentFolderIsNeverEmptiedByAnImportOrAClear) {
    stored("甲", 1980, "{\\rtf1 a}");
    const std::string elsewhere = testdata::freshTempDir("records-elsewhere");
    rt::writeFile(elsewhere + "precious.rtf", "mine");
    rt::fs::remove_all(base + "Kelvora_f");
    rt::fs::create_directory_symlink(elsewhere, base + "Kelvora_f");
    const std::string source = rt::freshProgramFolder("records-source");
    rt::writeFile(source + "Kelvora.dat", "");
    EXPECT_FALSE(db.ImportFrom(source));
    EXPECT_FALSE(db.ImportPending());
    EXPECT_FALSE(db.ClearAll());
    EXPECT_EQ(rt::readFile(elsewhere + "precious.rtf"), "mine");
}

TEST_F(CaseSafety, OnlyLiveCasesAndTheirCommentsAreExported) {
    const CaseRecord kept = stored("甲", 1980, "{\\rtf1 a}");
    const CaseRecord gone = stored("乙", 1981, "{\\rtf1 b}");
    rt::writeFile(base + "Kelvora_f/orphan.rtf", "{\\rtf1 o}");
    ASSERT_TRUE(db.MarkDeleted(gone.number));
    const std::string target = testdata::freshTempDir("records-export-live");
    ASSERT_TRUE(db.ExportTo(target));
    const std::string records = rt::readFile(target + "Kelvora.dat");
    ASSERT_EQ(records.size(), 152u);
    EXPECT_EQ(records.find(gone.nameGbk()), std::string::npos);
    const auto comments = rt::folderContents(target + "Kelvora_f");
    ASSERT_EQ(comments.size(), 1u);
    EXPECT_EQ(comments.begin()->second, "{\\rtf1 a}");
    EXPECT_EQ(kept.number, 0);
}

TEST_F(CaseSafety, TheNextStartRemovesTheTemporariesOfDeadRunsOnly) {
    const std::string dead = std::to_string(deadPid());
    const std::string alive = std::to_string(::getpid());
    const std::vector<std::string> leftovers = {
        "dat/zxinit.ini.tmp" + dead, "dat/set.ini.tmp" + dead, "Kelvora_f/甲_198003070905.rtf." + dead + ".part~",
        "Kelvora_f/乙_198103070905.rtf.part~", "dat/Kelvora.journal." + dead + ".part~"};
    const std::vector<std::string> kept = {"dat/zxinit.ini.tmp" + alive, "Kelvora_f/丙.rtf." + alive + ".part~",
                                           "Kelvora_f/notes.txt", "Kelvora_f/user.rtf", "dat/dili.ini"};
    for (const auto& n : leftovers) rt::writeFile(base + n, "x");
    for (const auto& n : kept) rt::writeFile(base + n, "x");
    MDataBase next;
    ASSERT_TRUE(next.Open(base));
    for (const auto& n : leftovers) EXPECT_FALSE(rt::fs::exists(base + n)) << n;
    for (const auto& n : kept) EXPECT_TRUE(rt::fs::exists(base + n)) << n;
}
