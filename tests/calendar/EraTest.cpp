// The era line of the perpetual calendar for chosen years across the table, and its coverage.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "calendar/Eras.h"
#include "platform/core/Gbk.h"

namespace {
bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}
}  // namespace

TEST(EraText, PresentAndRepublic) {
    EXPECT_EQ(eraText(2000), "[当代] 中国  公历纪元2000年");
    EXPECT_EQ(eraText(1949), "[当代] 中国  公历纪元1949年");
    EXPECT_EQ(eraText(9999), "[当代] 中国  公历纪元9999年");
    EXPECT_EQ(eraText(1912), "[近、现代] 中华民国  民国1年");
    EXPECT_EQ(eraText(1948), "[近、现代] 中华民国  民国37年");
    EXPECT_EQ(eraText(1911), "[清] 宣统帝 溥仪 宣统3年");
}

TEST(EraText, ParallelDynastiesJoinInTableOrder) {
    // 1644: the last year of 崇祯 and the first of 顺治; 1645: 清 beside the Southern Ming.
    EXPECT_EQ(eraText(1644), "[明] 思宗 朱由检 崇祯17年；[清] 世祖 福临 顺治1年");
    EXPECT_EQ(eraText(1645),
              "[清] 世祖 福临 顺治2年；[南明] 安宗 朱由崧 弘光1年；[南明] 绍宗 朱聿键 隆武1年");
    EXPECT_EQ(eraText(220),
              "[东汉] 献帝 刘协 建安25年；[东汉] 献帝 刘协 延康1年；[曹魏] 文帝 曹丕 黄初1年");
    const std::string y221 = eraText(221);
    EXPECT_TRUE(contains(y221, "[蜀汉] 昭烈帝 刘备 章武1年")) << y221;
    EXPECT_TRUE(contains(y221, "[曹魏] 文帝 曹丕 黄初2年")) << y221;
}

TEST(EraText, AncientYears) {
    EXPECT_EQ(eraText(-100), "[西汉] 武帝 刘彻 太初4年");
    EXPECT_EQ(eraText(0), "[西汉] 哀帝 刘欣 元寿2年");
    EXPECT_EQ(eraText(1), "[西汉] 平帝 刘衎 元始1年");
    // 842 BC is 厉王's 36th year; 841 BC his last and the first of the 共和 regency.
    EXPECT_EQ(eraText(-841), "[西周] 厉王 胡 36年");
    EXPECT_EQ(eraText(-840), "[西周] 厉王 胡 37年；[西周] 共和行政  共和1年");
    EXPECT_EQ(eraText(-2000), "[夏] 禹至桀  70年");
    EXPECT_EQ(eraText(-2069), "[夏] 禹至桀  1年");
    EXPECT_EQ(eraText(-1045), "[商] 帝辛 受 30年；[西周] 武王 发 1年");
    // The king of Qin becomes the First Emperor at the unification (221 BC) and counts on.
    EXPECT_EQ(eraText(-221), "[秦] 秦王政 政 25年");
    EXPECT_EQ(eraText(-220), "[秦] 始皇帝 嬴政 26年");
}

// Years across the table against the standard chronology (BC years in the comments; the table
// counts astronomically, so 770 BC is -769).
TEST(EraText, StandardChronology) {
    struct Check {
        int year;
        const char* shows;
        const char* notShown;
    };
    const Check checks[] = {
        {-1999, "[夏] 禹至桀  71年", nullptr},                          // 2000 BC
        {-1599, "[商] 汤至阳甲  1年", "[夏]"},                           // 1600 BC
        {-1045, "[西周] 武王 发 1年", nullptr},                          // 1046 BC
        {-840, "[西周] 共和行政  共和1年", nullptr},                     // 841 BC
        {-770, "[西周] 幽王 宫湦 11年", "平王"},                        // 771 BC
        {-769, "[东周] 平王 宜臼 1年", "幽王"},                          // 770 BC
        {-719, "[东周] 平王 宜臼 51年", nullptr},                        // 720 BC
        {-718, "[东周] 桓王 林 1年", "平王"},                            // 719 BC
        {-438, "[东周] 考王 嵬 2年", nullptr},                           // 439 BC
        {-366, "[东周] 显王 扁 2年", nullptr},                           // 367 BC
        {-220, "[秦] 始皇帝 嬴政 26年", nullptr},                        // 221 BC
        {-205, "[西汉] 高祖 刘邦 1年", "[秦]"},                          // 206 BC
        {-201, "[西汉] 高祖 刘邦 5年", nullptr},                         // 202 BC
        {1, "[西汉] 平帝 刘衎 元始1年", nullptr},
        {9, "[新] 新帝 王莽 始建国1年", nullptr},
        {220, "[曹魏] 文帝 曹丕 黄初1年", nullptr},
        {265, "[西晋] 武帝 司马炎 泰始1年", nullptr},
        {265, "[孙吴] 末帝 孙皓 甘露1年", nullptr},
        {589, "[隋] 文帝 杨坚 开皇9年", nullptr},
        {618, "[唐] 高祖 李渊 武德1年", nullptr},
        {690, "[武周] 则天皇帝 武曌 天授1年", nullptr},
        {705, "[唐] 中宗 李显 神龙1年", nullptr},
        {907, "[唐] 哀帝 李柷 天祐4年；[后梁] 太祖 朱温 开平1年", nullptr},
        {923, "[后唐] 庄宗 李存勖 同光1年", nullptr},
        {936, "[后晋] 高祖 石敬瑭 天福1年", nullptr},
        {951, "[后周] 太祖 郭威 广顺1年", nullptr},
        {960, "[北宋] 太祖 赵匡胤 建隆1年", nullptr},
        {1206, "[蒙古、元] 太祖 铁木真 1年", nullptr},
        {1249, "[蒙古、元] 定宗后 斡兀立海迷失 1年", nullptr},
        {1259, "[蒙古、元] 宪宗 蒙哥 9年", nullptr},
        {1260, "[蒙古、元] 世祖 忽必烈 中统1年", "蒙哥"},
        {1271, "[蒙古、元] 世祖 忽必烈 至元8年", nullptr},
        {1368, "[明] 太祖 朱元璋 洪武1年", nullptr},
        {1644, "[清] 世祖 福临 顺治1年", nullptr},
        {1683, "[明郑] 延平王 郑成功/郑经/郑克塽 永历37年", nullptr},
        {1684, "[清] 圣祖 玄烨 康熙23年", "永历"},
    };
    for (const Check& c : checks) {
        const std::string text = eraText(c.year);
        EXPECT_TRUE(contains(text, c.shows)) << c.year << ": " << text;
        if (c.notShown) {
            EXPECT_FALSE(contains(text, c.notShown)) << c.year << ": " << text;
        }
    }
}

// Every dynasty is named as histories name it: no label of the data's section headings, the Five
// Dynasties apart from 南朝梁 and 唐, and no ruler without a title.
TEST(EraText, DynastiesAndRulersAreNamed) {
    for (int y = -2069; y <= 1949; ++y) {
        const std::string text = eraText(y);
        for (const char* label : {"年号]", "君王]", "君主]", "和明郑]", "]  "})
            EXPECT_FALSE(contains(text, label)) << y << ": " << text;
        if (y > 907 && y <= 960) {
            for (const char* label : {"[梁]", "[唐]", "[晋]", "[汉]", "[周]"})
                EXPECT_FALSE(contains(text, label)) << y << ": " << text;
        }
    }
    EXPECT_TRUE(contains(eraText(502), "[梁] 武帝 萧衍 天监1年")) << eraText(502);
}

TEST(EraText, EraNamesWithYearRangesCountOn) {
    // The data writes these eras with their years (乾化三至五年, 天福十二年, 永曆十六至三十七年).
    EXPECT_EQ(eraText(913),
              "[契丹、辽] 太祖 耶律阿保机 7年；[后梁] 郢王 朱友珪 凤历1年；[后梁] 末帝 朱友贞 乾化3年");
    EXPECT_TRUE(contains(eraText(947), "[后汉] 高祖 刘知远 天福12年")) << eraText(947);
    EXPECT_TRUE(contains(eraText(1662), "[明郑] 延平王 郑成功/郑经/郑克塽 永历16年"))
        << eraText(1662);
    EXPECT_TRUE(contains(eraText(1683), "永历37年")) << eraText(1683);
    // 元文宗's 天历 runs on around 明宗's months in 1329 and is shown once for each ruler.
    EXPECT_EQ(eraText(1329),
              "[蒙古、元] 文宗 图帖睦尔 天历2年；[蒙古、元] 明宗 和世瓎 天历2年");
    EXPECT_EQ(eraText(1330),
              "[蒙古、元] 文宗 图帖睦尔 天历3年；[蒙古、元] 文宗 图帖睦尔 至顺1年");
}

TEST(EraText, EveryRowShowsFromItsFirstYearAndEveryYearIsCovered) {
    for (std::size_t i = 0; i < EraTableSize; ++i) {
        const EraRow& r = EraTable[i];
        const std::string expected = "[" + std::string(r.dynasty) + "] " + r.ruler + " " +
                                     r.personalName + " " + r.eraName +
                                     std::to_string(r.base + 1) + "年";
        EXPECT_TRUE(contains(eraText(r.start), expected)) << "row " << i << ": " << expected;
        const int last = r.start + r.count - 1;
        const std::string lastPart = std::string(r.eraName) + std::to_string(r.base + r.count) + "年";
        EXPECT_TRUE(contains(eraText(last), lastPart)) << "row " << i << ": " << lastPart;
    }
    int empty = 0;
    std::size_t longest = 0;
    int longestYear = 0;
    for (int y = -2069; y <= 9999; ++y) {
        const std::string t = eraText(y);
        if (t.empty()) {
            ++empty;
            ADD_FAILURE() << "no era for year " << y;
        }
        if (gbk::byteLength(t) > longest) {
            longest = gbk::byteLength(t);
            longestYear = y;
        }
    }
    EXPECT_EQ(eraText(-2070), "");
    std::printf("years -2069..9999 without an era: %d; longest era line %zu GBK bytes (year %d)\n",
                empty, longest, longestYear);
}
