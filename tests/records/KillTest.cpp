// A program killed (SIGKILL) in the middle of compaction, import or an overwrite: 200 runs
// each, killed either at a random file-changing step (the store's fault hook) or after a random
// short delay. After every kill the next Open must find each case and comment in its old or its new
// state, never a mix and never lost.
#include <signal.h>
#include <time.h>

#include <chrono>
#include <random>

#include "StoreHelpers.h"

namespace {
// A program folder in memory when the system has /dev/shm: a kill loses nothing that fsync
// would have kept (the page cache survives the process), and 400 runs stay quick there.
struct MemoryFolder {
    std::string path;
    explicit MemoryFolder(const std::string& tag) {
        std::error_code ec;
        if (rt::fs::is_directory("/dev/shm", ec)) {
            std::string tmpl = "/dev/shm/tarmin-" + tag + "-XXXXXX";
            if (::mkdtemp(tmpl.data())) path = tmpl + "/";
        }
        if (path.empty()) path = testdata::freshTempDir(tag);
        rt::fs::create_directories(path + "dat");
        rt::fs::create_directories(path + "Kelvora_f");
    }
    ~MemoryFolder() {
        std::error_code ec;
        if (path.rfind("/dev/shm/", 0) == 0) rt::fs::remove_all(path, ec);
    }
};

struct StoreState {
    std::string records;
    std::map<std::string, std::string> comments;
    bool operator==(const StoreState& o) const {
        return records == o.records && comments == o.comments;
    }
};

StoreState stateOf(const std::string& base) {
    return {rt::readFile(base + "dat/Kelvora.dat"), rt::folderContents(base + "Kelvora_f")};
}

void restore(const std::string& base, const StoreState& s) {
    rt::fs::remove_all(base + "dat");
    rt::fs::remove_all(base + "Kelvora_f");
    rt::fs::create_directories(base + "dat");
    rt::fs::create_directories(base + "Kelvora_f");
    rt::writeFile(base + "dat/Kelvora.dat", s.records);
    for (const auto& [name, content] : s.comments) rt::writeFile(base + "Kelvora_f/" + name, content);
}

// A store of `n` cases with comments; every third one deleted when `withDeleted`.
StoreState buildStore(const std::string& base, int n, const std::string& prefix, bool withDeleted) {
    restore(base, {});
    MDataBase db;
    db.Open(base);
    for (int i = 0; i < n; ++i) {
        CaseRecord r = rt::sampleCase(prefix + std::to_string(i), 1900 + i);
        r.setCommentGbk(db.MakeCommentName(r));
        db.Append(r);
        rt::writeFile(db.CommentFilePath(r), "{\\rtf1 " + prefix + std::to_string(i) + "}");
        if (withDeleted && i % 3 == 1) db.MarkDeleted(i);
    }
    return stateOf(base);
}

// Runs `op` on the store in a child; `killAtStep` >= 0 kills it at that hook call, -1 has the
// parent kill it after `delay`, anything else lets it finish. Returns how many hook calls the child reached when it was
// not killed (for the dry run).
struct KillRun {
    bool killed = false;
    int exitCode = -1;
};

KillRun runAndKill(const std::string& base, const std::function<bool(MDataBase&)>& op,
                   int killAtStep, std::chrono::microseconds delay) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        MDataBase db;
        db.Open(base);
        int calls = 0;
        db.SetFaultHook([&](const char*) {
            if (calls++ == killAtStep) ::raise(SIGKILL);
        });
        const bool ok = op(db);
        ::_exit(ok ? std::min(calls, 200) : 250);
    }
    if (killAtStep == -1) {
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(delay).count();
        timespec ts{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        ::nanosleep(&ts, nullptr);
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    KillRun r;
    r.killed = WIFSIGNALED(status);
    if (WIFEXITED(status)) r.exitCode = WEXITSTATUS(status);
    return r;
}

struct Outcome {
    int oldStates = 0, newStates = 0, mixed = 0, broken = 0;
};

// Kills `op` 200 times and checks the store after each kill.
// A state that is neither counts as `mixed` when `acceptable` takes it, else as broken.
Outcome killRepeatedly(const std::string& base, const StoreState& before,
                       const std::function<bool(MDataBase&)>& op, StoreState& after,
                       const std::function<bool(const StoreState&)>& acceptable = {}) {
    // Dry run: the end state, the number of hook steps and the running time.
    restore(base, before);
    const auto t0 = std::chrono::steady_clock::now();
    const KillRun dry = runAndKill(base, op, -2, {});
    const auto took = std::chrono::steady_clock::now() - t0;
    EXPECT_FALSE(dry.killed);
    EXPECT_GT(dry.exitCode, 0);
    EXPECT_LT(dry.exitCode, 200);
    const int steps = dry.exitCode;
    if (steps <= 0) return {};
    {
        MDataBase db;
        db.Open(base);
    }
    after = stateOf(base);
    const auto window =
        std::chrono::duration_cast<std::chrono::microseconds>(took) + std::chrono::microseconds(500);

    std::mt19937 rng(20261209);
    Outcome out;
    for (int run = 0; run < 200; ++run) {
        restore(base, before);
        if (run % 2 == 0) {
            runAndKill(base, op, static_cast<int>(rng() % static_cast<unsigned>(steps + 1)), {});
        } else {
            const auto us = std::uniform_int_distribution<long>(0, window.count())(rng);
            runAndKill(base, op, -1, std::chrono::microseconds(us));
        }
        MDataBase db;  // the next start of the program
        db.Open(base);
        const StoreState now = stateOf(base);
        if (now == before)
            ++out.oldStates;
        else if (now == after)
            ++out.newStates;
        else if (acceptable && acceptable(now))
            ++out.mixed;
        else
            ++out.broken;
        EXPECT_FALSE(rt::fs::exists(base + "dat/ming.bak")) << "run " << run;
        EXPECT_FALSE(rt::fs::exists(base + "dat/import.stage")) << "run " << run;
    }
    std::printf("    %d hook steps, dry run %lld us; after 200 kills: %d old, %d new, %d mixed, %d broken\n",
                steps,
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::microseconds>(took).count()),
                out.oldStates, out.newStates, out.mixed, out.broken);
    return out;
}
}  // namespace

TEST(KilledMidway, CompactionLeavesTheOldOrTheCompactedFile) {
    const MemoryFolder folder("records-kill");
    const std::string& base = folder.path;
    const StoreState before = buildStore(base, 40, "人", true);
    StoreState after;
    const Outcome o = killRepeatedly(base, before, [](MDataBase& db) { return db.Compact(); }, after);
    EXPECT_EQ(o.broken, 0);
    EXPECT_GT(o.oldStates, 0);
    EXPECT_GT(o.newStates, 0);
    EXPECT_EQ(after.records.size(), 27u * 152u);  // 40 less the 13 deleted
    EXPECT_EQ(after.comments, before.comments);
}

TEST(KilledMidway, ImportLeavesTheOldOrTheImportedStore) {
    const MemoryFolder folder("records-kill"), sourceFolder("records-kill-src");
    const std::string& base = folder.path;
    const std::string& srcBase = sourceFolder.path;
    buildStore(srcBase, 8, "新", false);
    const std::string source = srcBase + "export/";
    {
        MDataBase src;
        src.Open(srcBase);
        ASSERT_TRUE(src.ExportTo(source));
    }
    const StoreState before = buildStore(base, 7, "旧", true);
    // One comment name in both stores, with different content.
    StoreState seeded = before;
    seeded.comments["新3_190303070905.rtf"] = "old content of a shared name";
    StoreState after;
    const Outcome o = killRepeatedly(
        base, seeded, [&](MDataBase& db) { return db.ImportFrom(source); }, after);
    EXPECT_EQ(o.broken, 0);
    EXPECT_GT(o.oldStates, 0);
    EXPECT_GT(o.newStates, 0);
    EXPECT_EQ(after.records, rt::readFile(source + "Kelvora.dat"));
    EXPECT_EQ(after.comments, rt::folderContents(source + "Kelvora_f"));
}

TEST(KilledMidway, OverwriteLeavesTheOldOrTheNewRecord) {
    const MemoryFolder folder("records-kill");
    const std::string& base = folder.path;
    const StoreState before = buildStore(base, 30, "人", false);
    // Record 26 spans the first page boundary of the file (bytes 3952..4103).
    CaseRecord fresh = rt::sampleCase("新新新新新", 2020, 6, 6, 6, 6, false, "改过的类别");
    StoreState after;
    const Outcome o = killRepeatedly(
        base, before, [&](MDataBase& db) { return db.WriteRecord(26, fresh); }, after);
    EXPECT_EQ(o.broken, 0);
    EXPECT_GT(o.oldStates, 0);
    EXPECT_EQ(after.records.substr(26 * 152 + 5, 11), std::string(fresh.name, 11));
}

// A case saved with its comment: killed anywhere, the next start finds the case wholly old
// (record and comment) or wholly new, and no temporary left in the comment folder.
TEST(KilledMidway, SavingACaseLeavesItWhollyOldOrWhollyNew) {
    const MemoryFolder folder("records-kill");
    const std::string& base = folder.path;
    const StoreState before = buildStore(base, 30, "人", false);
    CaseRecord changed{}, added = rt::sampleCase("新人", 2001);
    {
        MDataBase db;
        db.Open(base);
        db.ReadRecord(26, changed);
        added.setCommentGbk(db.MakeCommentName(added));
    }
    changed.year = 2020;
    changed.setCategory("改过的类别");
    auto save = [](int number, const CaseRecord& rec, const std::string& rtf) {
        return [=](MDataBase& db) {
            CaseRecord r = rec;
            return db.SaveCase(number, r, rtf) == MDataBase::SaveResult::Saved;
        };
    };
    StoreState after;
    Outcome o = killRepeatedly(base, before, save(26, changed, "{\\rtf1 new}"), after);
    EXPECT_EQ(o.broken, 0);
    EXPECT_GT(o.oldStates, 0);
    EXPECT_GT(o.newStates, 0);
    EXPECT_EQ(after.comments.size(), before.comments.size());
    EXPECT_EQ(after.records.substr(26 * 152 + 30, 2), std::string("\xE4\x07", 2));
    o = killRepeatedly(base, before, save(-1, added, "{\\rtf1 added}"), after);
    EXPECT_EQ(o.broken, 0);
    EXPECT_GT(o.oldStates, 0);
    EXPECT_GT(o.newStates, 0);
    EXPECT_EQ(after.records.size(), 31u * 152u);
    EXPECT_EQ(after.comments.size(), before.comments.size() + 1);
}

TEST(KilledMidway, ACategoryRenameIsCompletedOrNotBegun) {
    const MemoryFolder folder("records-kill");
    const std::string& base = folder.path;
    const StoreState before = buildStore(base, 30, "人", false);
    std::vector<int> all(30);
    for (int i = 0; i < 30; ++i) all[static_cast<std::size_t>(i)] = i;
    StoreState after;
    const Outcome o = killRepeatedly(
        base, before, [&](MDataBase& db) { return db.RenameCategory(all, gbk::fromUtf8("新类")); }, after);
    // A rename interrupted after its journal is finished by the next start: never split.
    EXPECT_EQ(o.broken, 0);
    EXPECT_GT(o.newStates, 0);
    // The finished rename (the last kill may have left the old state in the folder).
    restore(base, after);
    MDataBase db;
    db.Open(base);
    CaseRecord r{};
    ASSERT_TRUE(db.ReadRecord(29, r));
    EXPECT_EQ(r.categoryUtf8(), "新类");
}

// 删除命例 and a category's delete: killed anywhere, each case is whole (a live record with its
// comment file) or gone (a deleted record and no comment file), never a comment left behind.
TEST(KilledMidway, DeletingCasesLeavesEachWholeOrGone) {
    const MemoryFolder folder("records-kill");
    const std::string& base = folder.path;
    const StoreState before = buildStore(base, 30, "人", false);
    auto remove = [](MDataBase& db) {
        std::vector<CaseRecord> deleted;
        std::vector<MDataBase::CommentRemoval> removals;
        return db.DeleteCases({3, 11, 26, 29}, deleted, removals);
    };
    auto eachWholeOrGone = [](const StoreState& s) {
        for (std::size_t at = 0; at + 152 <= s.records.size(); at += 152) {
            CaseRecord r{};
            std::memcpy(&r, s.records.data() + at, sizeof r);
            if (r.isLive() != (s.comments.count(r.commentUtf8() + ".rtf") > 0)) return false;
        }
        return true;
    };
    StoreState after;
    const Outcome o = killRepeatedly(base, before, remove, after, eachWholeOrGone);
    EXPECT_EQ(o.broken, 0);
    EXPECT_GT(o.oldStates, 0);
    EXPECT_GT(o.mixed, 0);
    EXPECT_EQ(after.comments.size(), before.comments.size() - 4);
    EXPECT_TRUE(eachWholeOrGone(after));
}

// Charts imported from another program: many cases and their comment files appended as one
// step. Killed anywhere, the next Open finds the store as before or with every case.
TEST(KilledMidway, BatchAppendLeavesTheOldOrTheWholeBatch) {
    const MemoryFolder folder("records-kill");
    const std::string& base = folder.path;
    const StoreState before = buildStore(base, 5, "旧", true);
    auto op = [](MDataBase& db) {
        std::vector<CaseRecord> recs;
        std::vector<std::string> comments;
        for (int i = 0; i < 5000; ++i) {  // two transfers of the store's chunk size
            recs.push_back(rt::sampleCase("导" + std::to_string(i), 1950 + i % 50));
            comments.push_back(i % 2000 == 0 ? "{\\rtf1 note " + std::to_string(i) + "}" : "");
        }
        return db.AppendCases(recs, comments);
    };
    StoreState after;
    const Outcome o = killRepeatedly(base, before, op, after);
    EXPECT_EQ(o.broken, 0);
    EXPECT_GT(o.oldStates, 0);
    EXPECT_GT(o.newStates, 0);
    EXPECT_EQ(after.records.size(), before.records.size() + 5000u * 152u);
    EXPECT_EQ(after.comments.size(), before.comments.size() + 3u);
}
