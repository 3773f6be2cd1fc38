// Record files of random bytes and cut-off files: every operation stays inside its buffers
// (run under -DTARMIN_SANITIZE=ON to see it) and keeps its promises about counts and numbers.
#include <random>
#include <vector>

#include "StoreHelpers.h"

namespace {
std::string randomBytes(std::mt19937& rng, std::size_t n) {
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(rng() & 0xFF);
    return s;
}

CaseFilter randomFilter(std::mt19937& rng) {
    CaseFilter f;
    for (char& c : f.nameText) c = static_cast<char>(rng() % 3 == 0 ? 0 : rng() & 0xFF);
    for (char& c : f.categoryText) c = static_cast<char>(rng() % 4 == 0 ? 0 : rng() & 0xFF);
    f.nameMode = static_cast<uint8_t>(rng() % 4);
    f.categoryMode = static_cast<uint8_t>(rng() % 4);
    f.sexFilter = rng() % 2;
    f.male = static_cast<uint8_t>(rng() % 3);
    f.yearFilter = rng() % 2;
    f.yearFrom = static_cast<int16_t>(rng());
    f.yearTo = static_cast<int16_t>(rng());
    f.province = static_cast<int16_t>(rng() % 2 ? -1 : static_cast<int>(rng() % 40));
    return f;
}
}  // namespace

TEST(DamagedFiles, RandomRecordFilesAreReadSafely) {
    const std::string base = rt::freshProgramFolder("records-damaged");
    std::mt19937 rng(4242);
    int checkedRecords = 0;
    for (int round = 0; round < 60; ++round) {
        const std::size_t size = rng() % (152 * 12);
        rt::writeFile(base + "dat/Kelvora.dat", randomBytes(rng, size));
        MDataBase db;
        ASSERT_TRUE(db.Open(base));
        const int count = db.Count();
        ASSERT_EQ(count, static_cast<int>(size / 152));
        int live = 0;
        db.BeginScan();
        for (int n = -2; n <= count + 2; ++n) {
            CaseRecord a, b;
            const bool ra = db.ReadRecord(n, a);
            const bool rb = db.ReadScanned(n, b);
            ASSERT_EQ(ra, rb);
            if (n >= 0 && n < count) {
                ASSERT_EQ(std::memcmp(&a, &b, sizeof a), 0);
                live += ra;
                // Texts and comment names of garbage stay inside their fields and the folder.
                EXPECT_LE(a.nameGbk().size(), 11u);
                EXPECT_LE(a.categoryGbk().size(), 14u);
                EXPECT_LE(a.commentGbk().size(), 33u);
                (void)a.nameUtf8();
                (void)a.categoryUtf8();
                const std::string made = db.MakeCommentName(a);
                EXPECT_LE(made.size(), CaseRecord::kCommentBytes);
                const std::string path = db.CommentFilePath(a);
                EXPECT_EQ(path.find('/', db.CommentFolder().size()), std::string::npos) << path;
                ++checkedRecords;
            }
        }
        db.EndScan();
        std::vector<int> all;
        db.Find(CaseFilter{}, all);
        EXPECT_EQ(static_cast<int>(all.size()), live);
        for (int i = 0; i < 20; ++i) {
            std::vector<int> some;
            db.Find(randomFilter(rng), some);
            EXPECT_LE(some.size(), all.size());
        }
        // Compaction keeps every record whose deleted byte is not 1, renumbered.
        int keep = 0;
        const std::string bytes = rt::readFile(db.RecordFilePath());
        for (int n = 0; n < count; ++n) keep += bytes[static_cast<std::size_t>(n) * 152 + 4] != 1;
        ASSERT_TRUE(db.Compact());
        ASSERT_EQ(db.Count(), keep);
        const std::string after = rt::readFile(db.RecordFilePath());
        for (int n = 0; n < keep; ++n) {
            int32_t number = -1;
            std::memcpy(&number, after.data() + static_cast<std::size_t>(n) * 152, 4);
            EXPECT_EQ(number, n);
        }
    }
    std::printf("    %d garbage records read\n", checkedRecords);
}

TEST(DamagedFiles, EveryCutOfAValidFileKeepsTheWholeRecords) {
    const std::string base = rt::freshProgramFolder("records-damaged");
    MDataBase db;
    ASSERT_TRUE(db.Open(base));
    for (int i = 0; i < 4; ++i) {
        CaseRecord r = rt::sampleCase("某" + std::to_string(i), 1990 + i);
        ASSERT_EQ(db.Append(r), i);
    }
    const std::string full = rt::readFile(db.RecordFilePath());
    for (std::size_t cut = 0; cut <= full.size(); ++cut) {
        rt::writeFile(db.RecordFilePath(), full.substr(0, cut));
        const int whole = static_cast<int>(cut / 152);
        ASSERT_EQ(db.Count(), whole);
        std::vector<int> found;
        db.Find(CaseFilter{}, found);
        ASSERT_EQ(static_cast<int>(found.size()), whole);
        CaseRecord r;
        EXPECT_FALSE(db.ReadRecord(whole, r));
        if (cut % 37 == 0) {
            CaseRecord a = rt::sampleCase("新", 2000);
            ASSERT_EQ(db.Append(a), whole);
            ASSERT_EQ(rt::fs::file_size(db.RecordFilePath()), static_cast<std::uintmax_t>(whole + 1) * 152);
        }
    }
}
