// The committed era-name table: the generator reproduces it from ../shared/data/eras, and its
// texts are simplified, GBK-encodable and within their field widths.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "calendar/Eras.h"
#include "platform/core/Gbk.h"
#include "tests/support/TestData.h"

#define TARMIN_GEN_NO_MAIN
#include "../../tools/gen_era_table.cpp"

namespace {
std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
}  // namespace

TEST(EraTable, GeneratorReproducesTheCommittedTable) {
    REQUIRE_SHARED_DATA();
    std::string source;
    std::ostringstream log;
    ASSERT_TRUE(eragen::generateEraTable(testdata::sharedDataDir(), source, log)) << log.str();
    std::printf("%s", log.str().c_str());
    const std::string committed =
        readWhole(testdata::sourceDir() + "/calendar/tables/EraTable.cpp");
    ASSERT_FALSE(committed.empty());
    EXPECT_TRUE(source == committed)
        << "calendar/tables/EraTable.cpp is stale: rerun gen_era_table <data> <file>";
    EXPECT_NE(log.str().find("gaps: none\n"), std::string::npos);
}

TEST(EraTable, MissingDataIsReportedNotWritten) {
    std::string source = "untouched";
    std::ostringstream log;
    EXPECT_FALSE(eragen::generateEraTable("/nonexistent-folder", source, log));
    EXPECT_EQ(source, "untouched");
    EXPECT_FALSE(log.str().empty());
}

// The mending tables are checked against the data: a ruler left without a title, or a fix that
// no longer matches its row (the data mended upstream), stops the generator.
TEST(EraTable, UnmatchedFixesAndUntitledRulersAreRefused) {
    const std::string dir = testing::TempDir() + "/era-data";
    std::filesystem::create_directories(dir + "/eras");
    {
        std::ofstream csv(dir + "/eras/eras_ytliu.csv", std::ios::binary);
        csv << "start_year,years,dynasty,ruler_title,ruler_personal_name,era_name,end_year,"
               "section,note\n"
               "-771,53,東周君王,平王,宜臼,,-719,春秋,\n"
               "1251,9,蒙古、元,憲宗,蒙哥,,1259,元,\n"
               "1909,3,清,,某人,宣統,1911,清,\n";
    }
    std::string source = "untouched";
    std::ostringstream log;
    EXPECT_FALSE(eragen::generateEraTable(dir, source, log));
    EXPECT_EQ(source, "untouched");
    const std::string text = log.str();
    EXPECT_NE(text.find("line 4: 清 某人 has no ruler title"), std::string::npos) << text;
    EXPECT_NE(text.find("reign fix 蒙古、元 宪宗 1251 matches 0 rows"), std::string::npos) << text;
    EXPECT_EQ(text.find("reign fix 东周 平王"), std::string::npos) << text;
    EXPECT_NE(text.find("name fix 清 \"\" \"溥仪\" matches no row"), std::string::npos) << text;
    std::filesystem::remove_all(dir);
}

TEST(EraTable, TextsFitTheirGbkFieldsAndAreSimplified) {
    ASSERT_GT(EraTableSize, 500u);
    std::size_t widest[4] = {0, 0, 0, 0};
    for (std::size_t i = 0; i < EraTableSize; ++i) {
        const EraRow& r = EraTable[i];
        const std::pair<const char*, std::size_t> fields[] = {{r.dynasty, kEraDynastyWidth},
                                                              {r.ruler, kEraRulerWidth},
                                                              {r.personalName, kEraPersonalNameWidth},
                                                              {r.eraName, kEraNameWidth}};
        for (std::size_t k = 0; k < 4; ++k) {
            const std::string text = fields[k].first;
            EXPECT_TRUE(gbk::encodable(text)) << "row " << i << ": " << text;
            const std::size_t bytes = gbk::byteLength(text);
            EXPECT_LT(bytes, fields[k].second) << "row " << i << ": " << text;
            widest[k] = std::max(widest[k], bytes);
            for (const eragen::CharPair& p : eragen::kCharMap)
                EXPECT_EQ(text.find(p.from), std::string::npos)
                    << "row " << i << " keeps " << p.from << ": " << text;
        }
        EXPECT_FALSE(std::string(r.dynasty).empty()) << "row " << i;
        EXPECT_GE(r.count, 1) << "row " << i;
        EXPECT_GE(r.base, 0) << "row " << i;
        if (i > 0) {
            EXPECT_LE(EraTable[i - 1].start, r.start) << "row " << i;
        }
    }
    std::printf("rows %zu; widest texts in GBK bytes: dynasty %zu, ruler %zu, name %zu, era %zu\n",
                EraTableSize, widest[0], widest[1], widest[2], widest[3]);
    EXPECT_EQ(EraTable[0].start, -2069);
}

TEST(EraTable, EndsWithTheRepublicAndThePresentReckoning) {
    ASSERT_GE(EraTableSize, 2u);
    const EraRow& republic = EraTable[EraTableSize - 2];
    const EraRow& present = EraTable[EraTableSize - 1];
    EXPECT_EQ(republic.start, 1912);
    EXPECT_EQ(republic.count, 37);
    EXPECT_EQ(republic.base, 0);
    EXPECT_STREQ(republic.dynasty, "近、现代");
    EXPECT_STREQ(republic.ruler, "中华民国");
    EXPECT_STREQ(republic.personalName, "");
    EXPECT_STREQ(republic.eraName, "民国");
    EXPECT_EQ(present.start, 1949);
    EXPECT_EQ(present.count, 9999);
    EXPECT_EQ(present.base, 1948);
    EXPECT_STREQ(present.dynasty, "当代");
    EXPECT_STREQ(present.ruler, "中国");
    EXPECT_STREQ(present.personalName, "");
    EXPECT_STREQ(present.eraName, "公历纪元");
    // No other row reaches 1912.
    for (std::size_t i = 0; i + 2 < EraTableSize; ++i)
        EXPECT_LE(EraTable[i].start + EraTable[i].count, 1912) << "row " << i;
}

TEST(EraTable, YearRangesInEraNamesAreRead) {
    std::string era;
    int first = 0;
    bool bad = false;
    ASSERT_TRUE(eragen::splitYearRange("天显二至十三年", era, first, bad));
    EXPECT_EQ(era, "天显");
    EXPECT_EQ(first, 2);
    ASSERT_TRUE(eragen::splitYearRange("永历十六至三十七年", era, first, bad));
    EXPECT_EQ(first, 16);
    ASSERT_TRUE(eragen::splitYearRange("乾化元、二年", era, first, bad));
    EXPECT_EQ(first, 1);
    ASSERT_TRUE(eragen::splitYearRange("天福十二年", era, first, bad));
    EXPECT_EQ(first, 12);
    EXPECT_FALSE(eragen::splitYearRange("太平兴国", era, first, bad));
    EXPECT_FALSE(bad);
    EXPECT_FALSE(eragen::splitYearRange("天祐甲年", era, first, bad));
    EXPECT_TRUE(bad);
    EXPECT_EQ(eragen::fitAlternatives("文公/湣公/缗公", 10), "文公/湣公");
    EXPECT_EQ(eragen::fitAlternatives("子异/异人/子楚", 30), "子异/异人/子楚");
}
