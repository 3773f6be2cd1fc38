// The aspect list's text: names by id from each side's list, the orb in truncated minutes,
// applying/separating, and safe output for ids and orbs a caller got wrong.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "chart/XiangweiList.h"

TEST(AspectList, OrbTextTruncatesToWholeMinutes) {
    EXPECT_EQ(orbText(0), "0°00′");
    EXPECT_EQ(orbText(2.0917), "2°05′");
    EXPECT_EQ(orbText(2.5), "2°30′");
    EXPECT_EQ(orbText(0.1 + 0.2 + 2.2), "2°30′");  // 2.5 a hair short
    EXPECT_EQ(orbText(9.9999), "9°59′");
    EXPECT_EQ(orbText(-1), "0°00′");
    EXPECT_EQ(orbText(std::numeric_limits<double>::quiet_NaN()), "0°00′");
}

TEST(AspectList, LinesNameBothSidesFromTheirOwnLists) {
    const std::vector<std::string> transit = {"T日", "T月"};
    const std::vector<std::string> natal = {"日", "月", "水"};
    std::vector<Aspect> list(3);
    list[0] = {1, 2, kTrine, 1.25, true};
    list[1] = {0, 0, kQuincunx, 0.5, false};
    list[2] = {5, -1, 42, 0, false};  // ids and kind out of range
    const auto lines = aspectListLines(list, transit, natal);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "T月\t三分\t水\t1°15′\t入相");
    EXPECT_EQ(lines[1], "T日\t梅花\t日\t0°30′\t出相");
    EXPECT_EQ(lines[2], "?\t?\t?\t0°00′\t出相");
    EXPECT_EQ(aspectListLines({list[0]}, natal, natal, " ")[0], "月 三分 水 1°15′ 入相");
}

TEST(AspectList, EveryKindHasItsOwnGlyph) {
    for (int k = 0; k < kAspectKinds; ++k)
        for (int j = k + 1; j < kAspectKinds; ++j)
            EXPECT_STRNE(aspectKindGlyph(k), aspectKindGlyph(j)) << k << " " << j;
    EXPECT_STREQ(aspectKindGlyph(kConjunction), "合");
    EXPECT_STREQ(aspectKindName(kOpposition), "相冲");
}
