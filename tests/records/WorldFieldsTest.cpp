// The world fields in the record's formerly reserved bytes: older files read as before, and a
// case saved with a full name, an exact offset and a world city reopens with all of them.
#include <cstring>
#include <vector>

#include "StoreHelpers.h"

namespace {
// A record as the program wrote it before the world fields: every reserved byte zero.
std::string oldRecordBytes(int number) {
    CaseRecord r = rt::sampleCase("王小明", 1988, 7, 1, 10, 0, true, "同学", 1);
    r.number = number;
    r.zone = 8;
    r.longitude = 116.4f;
    r.latitude = 39.9f;
    r.setComment("王小明_198807011000");
    std::string b(152, '\0');
    std::memcpy(b.data(), &r, 152);
    return b;
}
}  // namespace

TEST(WorldFields, AFileWrittenBeforeOpensAndRewritesUnchanged) {
    const std::string base = rt::freshProgramFolder("worldold");
    const std::string old = oldRecordBytes(0) + oldRecordBytes(1);
    rt::writeFile(base + "dat/Kelvora.dat", old);
    MDataBase db;
    ASSERT_TRUE(db.Open(base));
    ASSERT_EQ(db.Count(), 2);
    CaseRecord r;
    ASSERT_TRUE(db.ReadRecord(1, r));
    EXPECT_EQ(r.worldFlags(), 0);
    EXPECT_EQ(r.displayNameUtf8(), "王小明");
    int32_t s = 12345;
    EXPECT_FALSE(r.exactOffset(s));
    EXPECT_EQ(r.worldCity(), -1);
    EXPECT_EQ(r.summerAnswer(), 0);
    EXPECT_FALSE(r.typedPlace());
    // Rewritten as read (the update path with a short name): the same bytes.
    r.setFullName(r.displayNameUtf8());
    ASSERT_TRUE(db.WriteRecord(1, r));
    EXPECT_EQ(rt::readFile(db.RecordFilePath()), old);
    // Search by name finds it as before.
    CaseFilter f;
    f.nameMode = 1;
    f.setNameText("小明");
    std::vector<int> hits;
    db.Find(f, hits);
    EXPECT_EQ(hits, (std::vector<int>{0, 1}));
}

TEST(WorldFields, FullNameOffsetAndCitySurviveTheFile) {
    const std::string base = rt::freshProgramFolder("worldnew");
    MDataBase db;
    ASSERT_TRUE(db.Open(base));
    const std::string longName = "欧阳青青长长的名字十个";  // 11 characters, 22 GBK bytes
    struct Case {
        int32_t offset;
        int32_t city;
        int answer;
    };
    const Case cases[] = {{9 * 3600, -1, 1}, {-(3 * 3600 + 1800), 22479, 0},
                          {8 * 3600 + 343, -1, 2}, {-(5 * 3600 + 50 * 60 + 36), 7, 0}};
    for (const Case& c : cases) {
        CaseRecord r = rt::sampleCase("x", 1988);
        r.setFullName(longName);
        r.setExactOffset(true, c.offset);
        r.setWorldCity(c.city);
        r.setSummerAnswer(c.answer);
        r.setTypedPlace(c.city < 0 && c.answer == 0);
        ASSERT_GE(db.Append(r), 0);
    }
    MDataBase again;
    ASSERT_TRUE(again.Open(base));
    for (int i = 0; i < 4; ++i) {
        const Case& c = cases[i];
        CaseRecord r;
        ASSERT_TRUE(again.ReadRecord(i, r));
        EXPECT_EQ(r.displayNameUtf8(), longName);
        EXPECT_EQ(r.nameUtf8(), "欧阳青青长");  // the old field: cut to 10 bytes
        int32_t s = 0;
        ASSERT_TRUE(r.exactOffset(s));
        EXPECT_EQ(s, c.offset) << i;
        EXPECT_EQ(r.worldCity(), c.city) << i;
        EXPECT_EQ(r.summerAnswer(), c.answer) << i;
        EXPECT_EQ(r.typedPlace(), c.city < 0 && c.answer == 0) << i;
        // The fields stay out of the bytes the record gives to other fields.
        EXPECT_EQ(r.zone, 8);
        EXPECT_EQ(r.blood, 3);
        EXPECT_EQ(r.commentGbk(), "");
    }
    // The search finds a name beyond the old 10 bytes.
    CaseFilter f;
    f.nameMode = 2;
    f.setNameText(longName);
    std::vector<int> hits;
    again.Find(f, hits);
    EXPECT_EQ(hits.size(), 4u);
    f.nameMode = 1;
    f.setNameText("名字十个");
    again.Find(f, hits);
    EXPECT_EQ(hits.size(), 4u);
}

TEST(WorldFields, ClearingLeavesTheBytesZeroAndLongNamesAreCutAt32Bytes) {
    CaseRecord r;
    r.setFullName(std::string(40, 'a'));
    EXPECT_EQ(r.displayNameUtf8(), std::string(32, 'a'));
    r.setExactOffset(true, -12 * 3600);
    r.setWorldCity(3);
    r.setSummerAnswer(1);
    r.setTypedPlace(true);
    r.setFullName("某人");
    r.setExactOffset(false);
    r.setWorldCity(-1);
    r.setSummerAnswer(0);
    r.setTypedPlace(false);
    const CaseRecord plain = [] {
        CaseRecord p;
        p.setName("某人");
        return p;
    }();
    EXPECT_EQ(std::memcmp(&r, &plain, sizeof r), 0);
    // An offset beyond any clock is not stored.
    r.setExactOffset(true, 30 * 3600);
    int32_t s = 0;
    EXPECT_FALSE(r.exactOffset(s));
}
