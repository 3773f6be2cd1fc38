// The record file and its operations: layout on disk, record numbers, the partial tail, reads
// of deleted and missing records, search, the scan bracket, comment names and locking.
#include <fcntl.h>
#include <sys/file.h>

#include <set>
#include <vector>

#include "StoreHelpers.h"

using rt::fs::file_size;

namespace {
std::string le(int64_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    return s;
}

struct Store : ::testing::Test {
    std::string base = rt::freshProgramFolder("records");
    MDataBase db;
    void SetUp() override { ASSERT_TRUE(db.Open(base)); }
    std::string file() const { return rt::readFile(db.RecordFilePath()); }
    void append(const CaseRecord& r) {
        CaseRecord c = r;
        ASSERT_GE(db.Append(c), 0);
    }
};
}  // namespace

TEST_F(Store, RecordBytesSitAtTheirOffsetsLittleEndian) {
    CaseRecord r = rt::sampleCase("某人", -119, 12, 31, 23, 59, true, "客户", 34);
    r.lunar = 1;
    r.leap = 1;
    r.zone = -3;
    r.blood = 2;
    r.longitude = -73.5f;
    r.latitude = 40.25f;
    r.setComment("某人_-11912312359");
    ASSERT_EQ(db.Append(r), 0);
    const std::string b = file();
    ASSERT_EQ(b.size(), 152u);
    EXPECT_EQ(b.substr(0, 4), le(0, 4));
    EXPECT_EQ(b[4], 0);
    EXPECT_EQ(b.substr(5, 5), gbk::fromUtf8("某人") + '\0');
    EXPECT_EQ(b.substr(16, 5), gbk::fromUtf8("客户") + '\0');
    EXPECT_EQ(b.substr(30, 2), le(-119, 2));
    EXPECT_EQ(b.substr(32, 2), le(12, 2));
    EXPECT_EQ(b.substr(34, 2), le(31, 2));
    EXPECT_EQ(b.substr(36, 2), le(23, 2));
    EXPECT_EQ(b.substr(38, 2), le(59, 2));
    EXPECT_EQ(b.substr(40, 4), std::string("\x01\x01\x01\x00", 4));
    EXPECT_EQ(b.substr(44, 2), le(34, 2));
    EXPECT_EQ(b.substr(46, 2), le(2, 2));
    EXPECT_EQ(b.substr(48, 2), le(-3, 2));
    float lon = 0, lat = 0;
    std::memcpy(&lon, b.data() + 52, 4);
    std::memcpy(&lat, b.data() + 56, 4);
    EXPECT_EQ(lon, -73.5f);
    EXPECT_EQ(lat, 40.25f);
    EXPECT_EQ(b.substr(60, 4), le(2, 4));
    EXPECT_EQ(b.substr(64, 55), std::string(55, '\0'));
    EXPECT_EQ(b.substr(119, 18), gbk::fromUtf8("某人_-11912312359") + '\0');
}

TEST_F(Store, TextFieldsCutAtCharacterBoundariesAndReadUpToTheNul) {
    CaseRecord r;
    r.setName("诸葛孔明先生");  // 12 GBK bytes: five characters fit the 10-byte field
    EXPECT_EQ(r.nameUtf8(), "诸葛孔明先");
    r.setName("ab诸葛孔明先");  // 12 bytes: "ab" + four characters = 10
    EXPECT_EQ(r.nameUtf8(), "ab诸葛孔明");
    r.setName("abc诸葛孔明");  // 11 bytes: the last character would need byte 11
    EXPECT_EQ(r.nameUtf8(), "abc诸葛孔");
    r.setCategory("一二三四五六七");  // 14 bytes -> 12
    EXPECT_EQ(r.categoryUtf8(), "一二三四五六");
    r.setComment(std::string(40, 'x'));
    EXPECT_EQ(r.commentGbk().size(), 32u);
    // A damaged record without NUL is read to the end of its field, never beyond.
    std::memset(r.name, 'A', sizeof r.name);
    EXPECT_EQ(r.nameGbk(), std::string(11, 'A'));
    CaseFilter f;
    // The name filter holds a full name: 32 bytes.
    f.setNameText("诸葛孔明先生诸葛孔明先生诸葛孔明先生");  // 36 bytes, 32 allowed
    EXPECT_EQ(f.nameTextUtf8(), "诸葛孔明先生诸葛孔明先生诸葛孔明");
    f.setCategoryText("一二三四五六七");
    EXPECT_EQ(f.categoryTextUtf8(), "一二三四五六");
}

TEST_F(Store, OpenCreatesAnEmptyStore) {
    EXPECT_TRUE(rt::fs::exists(db.RecordFilePath()));
    EXPECT_EQ(file_size(db.RecordFilePath()), 0u);
    EXPECT_EQ(db.Count(), 0);
    std::vector<int> found{7};
    db.Find(CaseFilter{}, found);
    EXPECT_TRUE(found.empty());
    // Missing installation folders are made too, so saving a comment works.
    const std::string bare = testdata::freshTempDir("records-bare");
    MDataBase other;
    EXPECT_TRUE(other.Open(bare.substr(0, bare.size() - 1)));  // no trailing '/'
    EXPECT_EQ(other.BaseFolder(), bare);
    EXPECT_TRUE(rt::fs::is_directory(bare + "Kelvora_f"));
    EXPECT_EQ(other.Count(), 0);
}

TEST_F(Store, AppendNumbersFromThePositionAndOverwritesAPartialTail) {
    for (int i = 0; i < 3; ++i) append(rt::sampleCase("甲", 1980 + i));
    CaseRecord r = rt::sampleCase("乙", 1990);
    r.number = 77;
    r.deleted = 1;
    EXPECT_EQ(db.Append(r), 3);
    EXPECT_EQ(r.number, 3);
    EXPECT_EQ(r.deleted, 0);
    EXPECT_EQ(db.Count(), 4);

    // A crash left 40 bytes of a fifth record: they are no record and the next Append takes them.
    {
        std::ofstream out(db.RecordFilePath(), std::ios::binary | std::ios::app);
        out << std::string(40, '\x01');
    }
    EXPECT_EQ(db.Count(), 4);
    CaseRecord probe;
    EXPECT_FALSE(db.ReadRecord(4, probe));
    std::vector<int> found;
    db.Find(CaseFilter{}, found);
    EXPECT_EQ(found, (std::vector<int>{0, 1, 2, 3}));
    CaseRecord s = rt::sampleCase("丙", 2000);
    EXPECT_EQ(db.Append(s), 4);
    EXPECT_EQ(file_size(db.RecordFilePath()), 5u * 152u);
    ASSERT_TRUE(db.ReadRecord(4, probe));
    EXPECT_EQ(probe.nameUtf8(), "丙");
    EXPECT_EQ(probe.number, 4);
}

TEST_F(Store, AppendReportsMinusOneWhenTheFileIsGone) {
    rt::fs::remove(db.RecordFilePath());
    CaseRecord r = rt::sampleCase("甲", 1980);
    r.number = 5;
    EXPECT_EQ(db.Append(r), -1);
    EXPECT_EQ(r.number, 5);  // untouched
    EXPECT_FALSE(rt::fs::exists(db.RecordFilePath()));
    EXPECT_EQ(db.Count(), 0);
    CaseRecord probe;
    EXPECT_FALSE(db.ReadRecord(0, probe));
    EXPECT_FALSE(db.WriteRecord(0, r));
    EXPECT_FALSE(db.MarkDeleted(0));
    db.BeginScan();
    EXPECT_FALSE(db.ReadScanned(0, probe));
    db.EndScan();
    MDataBase never;  // not opened: everything fails quietly
    EXPECT_EQ(never.Append(r), -1);
    EXPECT_EQ(never.Count(), 0);
}

TEST_F(Store, ReadRecordOutOfRangeLeavesTheBufferAndDeletedFillsIt) {
    for (int i = 0; i < 3; ++i) append(rt::sampleCase("甲" + std::to_string(i), 1980 + i));
    CaseRecord buf = rt::sampleCase("哨兵", 1111);
    const std::string before(reinterpret_cast<const char*>(&buf), sizeof buf);
    EXPECT_FALSE(db.ReadRecord(-1, buf));
    EXPECT_FALSE(db.ReadRecord(3, buf));
    EXPECT_FALSE(db.ReadRecord(INT32_MIN, buf));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&buf), sizeof buf), before);

    EXPECT_TRUE(db.MarkDeleted(1));
    EXPECT_FALSE(db.ReadRecord(1, buf));
    EXPECT_EQ(buf.nameUtf8(), "甲1");
    EXPECT_EQ(buf.deleted, 1);
    EXPECT_EQ(buf.number, 1);
}

TEST_F(Store, WriteAndDeleteOutsideTheFileChangeNothing) {
    for (int i = 0; i < 3; ++i) append(rt::sampleCase("甲", 1980 + i));
    const std::string before = file();
    CaseRecord r = rt::sampleCase("乙", 1999);
    EXPECT_FALSE(db.WriteRecord(-1, r));
    EXPECT_FALSE(db.WriteRecord(3, r));
    EXPECT_FALSE(db.MarkDeleted(-1));
    EXPECT_FALSE(db.MarkDeleted(3));
    EXPECT_EQ(file(), before);
}

TEST_F(Store, WriteRecordKeepsReservedBytesAndTheRecordNumber) {
    for (int i = 0; i < 3; ++i) append(rt::sampleCase("甲", 1980 + i));
    // Reserved bytes written by some other program version survive a read-modify-write.
    std::string bytes = file();
    bytes[152 + 43] = '\x5A';
    bytes[152 + 50] = '\x11';
    bytes[152 + 100] = '\x77';
    rt::writeFile(db.RecordFilePath(), bytes);
    CaseRecord r;
    ASSERT_TRUE(db.ReadRecord(1, r));
    r.setCategory("朋友");
    r.number = 2;  // a stale copy must not break the number = position rule
    EXPECT_TRUE(db.WriteRecord(1, r));
    const std::string after = file();
    EXPECT_EQ(after[152 + 43], '\x5A');
    EXPECT_EQ(after[152 + 50], '\x11');
    EXPECT_EQ(after[152 + 100], '\x77');
    EXPECT_EQ(after.substr(152, 4), le(1, 4));
    ASSERT_TRUE(db.ReadRecord(1, r));
    EXPECT_EQ(r.categoryUtf8(), "朋友");
    EXPECT_EQ(after.substr(0, 152), bytes.substr(0, 152));
    EXPECT_EQ(after.substr(304), bytes.substr(304));
}

TEST_F(Store, MarkDeletedTwiceAndFindSkipsIt) {
    for (int i = 0; i < 4; ++i) append(rt::sampleCase("甲", 1980 + i));
    EXPECT_TRUE(db.MarkDeleted(2));
    const std::string once = file();
    EXPECT_TRUE(db.MarkDeleted(2));
    EXPECT_EQ(file(), once);
    EXPECT_EQ(once[2 * 152 + 4], 1);
    std::vector<int> found;
    db.Find(CaseFilter{}, found);
    EXPECT_EQ(found, (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(db.Count(), 4);
}

TEST_F(Store, FindAppliesEveryTest) {
    append(rt::sampleCase("某人", 1985, 3, 7, 9, 5, true, "家人", 3));     // 0
    append(rt::sampleCase("某甲", 0, 1, 1, 0, 0, false, "Work", 3));       // 1
    append(rt::sampleCase("张三", -119, 1, 1, 0, 0, true, "work", 5));     // 2
    append(rt::sampleCase("某", 2001, 1, 1, 0, 0, false, "家人朋友", 3));  // 3
    append(rt::sampleCase("李某人", -120, 1, 1, 0, 0, true, "客户", 0));   // 4
    append(rt::sampleCase("某人", 1990, 1, 1, 0, 0, true, "家人", 3));     // 5
    EXPECT_TRUE(db.MarkDeleted(5));
    auto find = [&](const CaseFilter& f) {
        std::vector<int> v;
        db.Find(f, v);
        return v;
    };
    CaseFilter all;
    EXPECT_EQ(find(all), (std::vector<int>{0, 1, 2, 3, 4}));

    CaseFilter name;
    name.setNameText("某");
    name.nameMode = 1;
    EXPECT_EQ(find(name), (std::vector<int>{0, 1, 3, 4}));
    name.nameMode = 2;
    EXPECT_EQ(find(name), (std::vector<int>{3}));
    name.setNameText("某人");
    EXPECT_EQ(find(name), (std::vector<int>{0}));
    name.setNameText("");
    name.nameMode = 1;  // an empty text always occurs
    EXPECT_EQ(find(name).size(), 5u);
    name.nameMode = 2;  // ... but equals no stored name
    EXPECT_TRUE(find(name).empty());

    CaseFilter cat;
    cat.setCategoryText("work");
    cat.categoryMode = 1;  // case-sensitive
    EXPECT_EQ(find(cat), (std::vector<int>{2}));
    cat.setCategoryText("家人");
    EXPECT_EQ(find(cat), (std::vector<int>{0, 3}));
    cat.categoryMode = 2;
    EXPECT_EQ(find(cat), (std::vector<int>{0}));

    CaseFilter sex;
    sex.sexFilter = true;
    sex.male = 0;
    EXPECT_EQ(find(sex), (std::vector<int>{1, 3}));

    CaseFilter years;
    years.yearFilter = true;
    years.yearFrom = -119;  // 120 BC
    years.yearTo = 2000;
    EXPECT_EQ(find(years), (std::vector<int>{0, 1, 2}));  // year 0 (1 BC) included

    CaseFilter prov;
    prov.province = 3;
    EXPECT_EQ(find(prov), (std::vector<int>{0, 1, 3}));
    prov.province = 0;
    EXPECT_EQ(find(prov), (std::vector<int>{4}));

    CaseFilter combined = name;
    combined.setNameText("某");
    combined.nameMode = 1;
    combined.sexFilter = true;
    combined.male = 1;
    combined.province = 3;
    EXPECT_EQ(find(combined), (std::vector<int>{0}));
}

TEST_F(Store, NameSearchNeverMatchesAcrossTwoCharacters) {
    // GBK 牛 is C5 A3, 九 is BE C5 and 吃 is B3 D4: in "九吃" the bytes C5 B3 straddle two
    // characters; so do A3 BE in "牛九" for the text "＞" (A3 BE).
    ASSERT_EQ(gbk::fromUtf8("牛九"), "\xC5\xA3\xBE\xC5");
    ASSERT_EQ(gbk::fromUtf8("＞"), "\xA3\xBE");
    append(rt::sampleCase("牛九", 1980));
    append(rt::sampleCase("＞号", 1980));
    CaseFilter f;
    f.setNameText("＞");
    f.nameMode = 1;
    std::vector<int> v;
    db.Find(f, v);
    EXPECT_EQ(v, (std::vector<int>{1}));
}

TEST_F(Store, ScanReadsInAnyOrderThroughOneHandle) {
    for (int i = 0; i < 5; ++i) append(rt::sampleCase("甲" + std::to_string(i), 1980 + i));
    EXPECT_TRUE(db.MarkDeleted(3));
    db.BeginScan();
    // The file may be replaced while the bracket is open; the scan keeps reading its handle.
    const std::string moved = db.RecordFilePath() + ".moved";
    rt::fs::rename(db.RecordFilePath(), moved);
    CaseRecord r;
    std::vector<int> live;
    for (int n = 6; n >= -1; --n)
        if (db.ReadScanned(n, r)) live.push_back(n);
    EXPECT_EQ(live, (std::vector<int>{4, 2, 1, 0}));
    ASSERT_TRUE(db.ReadScanned(2, r));
    EXPECT_EQ(r.nameUtf8(), "甲2");
    db.EndScan();
    EXPECT_FALSE(db.ReadScanned(2, r));
    rt::fs::rename(moved, db.RecordFilePath());
}

TEST_F(Store, WritesInsideTheScanBracketDoNotWaitForTheScan) {
    for (int i = 0; i < 3; ++i) append(rt::sampleCase("甲", 1980 + i));
    db.SetLockTimeout(50);
    db.BeginScan();
    CaseRecord r;
    ASSERT_TRUE(db.ReadScanned(0, r));
    EXPECT_TRUE(db.ReadRecord(1, r));
    r.setCategory("朋友");
    EXPECT_TRUE(db.WriteRecord(1, r));
    EXPECT_TRUE(db.MarkDeleted(2));
    EXPECT_EQ(db.Append(r), 3);
    EXPECT_TRUE(db.ReadScanned(1, r));
    EXPECT_EQ(r.categoryUtf8(), "朋友");
    EXPECT_FALSE(db.ReadScanned(3, r));  // the scan keeps the count it started with
    db.EndScan();
}

TEST_F(Store, CommentNamesCountUpWhileFilesExist) {
    CaseRecord r = rt::sampleCase("某人", 1985, 3, 7, 9, 5);
    EXPECT_EQ(gbk::toUtf8(db.MakeCommentName(r)), "某人_198503070905");
    rt::writeFile(db.CommentFolder() + "某人_198503070905.rtf", "x");
    EXPECT_EQ(gbk::toUtf8(db.MakeCommentName(r)), "某人_198503070905_0");
    rt::writeFile(db.CommentFolder() + "某人_198503070905_0.rtf", "x");
    rt::writeFile(db.CommentFolder() + "某人_198503070905_1.rtf", "x");
    EXPECT_EQ(gbk::toUtf8(db.MakeCommentName(r)), "某人_198503070905_2");

    CaseRecord old = rt::sampleCase("古人", -5, 1, 2, 3, 4);
    EXPECT_EQ(gbk::toUtf8(db.MakeCommentName(old)), "古人_-00501020304");
    // The longest regular name and a five-digit counter fit the 32-byte field.
    CaseRecord longest = rt::sampleCase("一二三四五", -32768, 12, 31, 23, 59);
    const std::string key = db.MakeCommentName(longest);
    EXPECT_LE(key.size() + 6, CaseRecord::kCommentBytes);
    // Damaged fields still give a name that fits with its counter.
    CaseRecord wild = rt::sampleCase("一二三四五", -32768, -32768, -32768, -32768, -32768);
    EXPECT_LE(db.MakeCommentName(wild).size() + 6, CaseRecord::kCommentBytes);
}

TEST_F(Store, CommentFilesNeverLeaveTheCommentFolder) {
    const std::string folder = db.CommentFolder();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"../x", ".._x_198503070905"},   {"a/b", "a_b_198503070905"},
        {"a\\b", "a_b_198503070905"},     {"\x01tab\t", "_tab__198503070905"},
        {"..", "__198503070905"},          {".", "__198503070905"},
    };
    for (const auto& [name, expected] : cases) {
        CaseRecord r = rt::sampleCase("x", 1985, 3, 7, 9, 5);
        r.setNameGbk(name);
        const std::string made = db.MakeCommentName(r);
        EXPECT_EQ(made, expected) << name;
        r.setCommentGbk(made);
        const std::string path = db.CommentFilePath(r);
        EXPECT_EQ(path.rfind(folder, 0), 0u) << path;
        EXPECT_EQ(path.find('/', folder.size()), std::string::npos) << path;
    }
    // A stored comment name from a damaged or foreign file is made safe at the file boundary,
    // also when a broken two-byte sequence hides a '/'.
    for (const std::string bad : {"../../etc/passwd", "\x81/../x", "..", "a\\..\\b", "\xFF/"}) {
        const std::string path = db.CommentFilePathForName(bad);
        EXPECT_EQ(path.rfind(folder, 0), 0u) << path;
        EXPECT_EQ(path.find('/', folder.size()), std::string::npos) << path;
        EXPECT_EQ(path.substr(path.size() - 4), ".rtf");
    }
    CaseRecord r;
    r.setComment("某人_198503070905");
    EXPECT_EQ(db.CommentFilePath(r), folder + "某人_198503070905.rtf");
}

TEST_F(Store, AnotherProgramsLockMakesOperationsWaitThenFail) {
    append(rt::sampleCase("甲", 1980));
    const std::string before = file();
    db.SetLockTimeout(100);
    const int fd = ::open(db.RecordFilePath().c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    // flock locks belong to the open file, so this process's own operations meet it like
    // another program's would.
    CaseRecord r = rt::sampleCase("乙", 1981);
    EXPECT_EQ(db.Append(r), -1);
    EXPECT_FALSE(db.WriteRecord(0, r));
    EXPECT_FALSE(db.MarkDeleted(0));
    EXPECT_FALSE(db.Compact());
    EXPECT_EQ(file(), before);
    ::flock(fd, LOCK_UN);
    ::close(fd);
    EXPECT_EQ(db.Append(r), 1);
}

TEST_F(Store, TwoProgramsAppendingAtOnceNeverShareANumber) {
    constexpr int kEach = 150;
    auto writer = [&](const char* who) {
        return [&, who] {
            MDataBase mine;
            if (!mine.Open(base)) return 1;
            for (int i = 0; i < kEach; ++i) {
                CaseRecord r = rt::sampleCase(who, 1900 + i);
                if (mine.Append(r) < 0) return 2;
            }
            return 0;
        };
    };
    std::fflush(nullptr);
    const pid_t a = ::fork();
    if (a == 0) ::_exit(writer("甲")());
    const pid_t b = ::fork();
    if (b == 0) ::_exit(writer("乙")());
    int sa = 0, sb = 0;
    ::waitpid(a, &sa, 0);
    ::waitpid(b, &sb, 0);
    ASSERT_TRUE(WIFEXITED(sa) && WEXITSTATUS(sa) == 0);
    ASSERT_TRUE(WIFEXITED(sb) && WEXITSTATUS(sb) == 0);
    ASSERT_EQ(db.Count(), 2 * kEach);
    std::map<std::string, int> perName;
    for (int n = 0; n < 2 * kEach; ++n) {
        CaseRecord r;
        ASSERT_TRUE(db.ReadRecord(n, r));
        EXPECT_EQ(r.number, n);
        ++perName[r.nameUtf8()];
    }
    EXPECT_EQ(perName["甲"], kEach);
    EXPECT_EQ(perName["乙"], kEach);
}

TEST_F(Store, NewCommentNamesHoldNoBrokenOrReservedBytes) {
    const std::string stamp = "_198503070905";
    const std::vector<std::pair<std::string, std::string>> cases = {
        // A lead byte cut off at the end of the name would pair with the key's "_".
        {"a\x81", "a_"},
        {"\xC4\xB3\xB1", "某_"},
        // Characters a Windows disk refuses in file names (an export may go to one).
        {"a:b*c?", "a_b_c_"},
        {"<\"|>", "____"},
        // A user-defined GBK character that has no Unicode counterpart here.
        {"\xAA\xA1x", "_x"},
        {"\xD5\xC5 \xC8\xFD.", "张 三."},
    };
    for (const auto& [name, expectedPart] : cases) {
        CaseRecord r = rt::sampleCase("x", 1985, 3, 7, 9, 5);
        std::memset(r.name, 0, sizeof r.name);
        std::memcpy(r.name, name.data(), name.size());  // raw bytes, as a damaged file holds
        const std::string made = db.MakeCommentName(r);
        EXPECT_EQ(made, gbk::fromUtf8(expectedPart) + stamp) << name;
        // The name is valid GBK throughout: it survives the way to a file name and back.
        EXPECT_EQ(gbk::fromUtf8(gbk::toUtf8(made)), made) << name;
    }
    // The widest key: a 10-byte name and a six-character year, with the five-digit counter.
    CaseRecord wide = rt::sampleCase("一二三四五", -32768, 12, 31, 23, 59);
    const std::string key = db.MakeCommentName(wide);
    EXPECT_EQ(gbk::toUtf8(key), "一二三四五_-32768123" "12359");
    EXPECT_EQ(key.size() + 6, 31u);  // "_99999" included: fits the 32 text bytes
    CaseRecord fiveDigits = rt::sampleCase("一二三四五", 12345, 1, 1, 0, 0);
    EXPECT_EQ(gbk::toUtf8(db.MakeCommentName(fiveDigits)), "一二三四五_123450101" "0000");
}

TEST(CommentCounter, TheLastCounterIsTakenWithoutChecking) {
    // 100,001 files: only in memory, where making them takes well under a second.
    std::error_code ec;
    if (!rt::fs::is_directory("/dev/shm", ec)) GTEST_SKIP() << "no /dev/shm";
    std::string tmpl = "/dev/shm/tarmin-records-counter-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    const std::string base = tmpl + "/";
    struct Cleanup {
        std::string path;
        ~Cleanup() {
            std::error_code e;
            rt::fs::remove_all(path, e);
        }
    } cleanup{base};
    MDataBase db;
    ASSERT_TRUE(db.Open(base));
    CaseRecord r = rt::sampleCase("某人", 1985, 3, 7, 9, 5);
    const std::string folder = db.CommentFolder();
    auto touch = [&](const std::string& name) {
        const int fd = ::open((folder + name + ".rtf").c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
    };
    touch("某人_198503070905");
    for (int i = 0; i <= 99997; ++i) touch("某人_198503070905_" + std::to_string(i));
    EXPECT_EQ(gbk::toUtf8(db.MakeCommentName(r)), "某人_198503070905_99998");
    touch("某人_198503070905_99998");
    touch("某人_198503070905_99999");  // the last one is taken all the same
    EXPECT_EQ(gbk::toUtf8(db.MakeCommentName(r)), "某人_198503070905_99999");
}
