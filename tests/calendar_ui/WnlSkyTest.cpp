// 天象 in the perpetual calendar: off, the month is drawn as before; on, the day of the total
// solar eclipse of 2024-04-08 (the 9th in UTC+8) is marked and its tooltip lists the eclipse and
// the new moon at their published minutes, and days without events carry nothing.
#include <QCheckBox>

#include "WnlFixture.h"

TEST_F(WnlTest, SkyMarksAndTooltipOfApril2024) {
    show(2024, 4, 9);
    auto texts = [this] {
        std::vector<std::string> t;
        for (const auto& op : canvas.ops()) t.push_back(op.text + "@" + std::to_string(op.a) + "," + std::to_string(op.b));
        return t;
    };
    const auto before = texts();
    EXPECT_TRUE(window->skyTipAt(kCellW * 2, kCellH * 2).empty());
    window->ChkSky->setChecked(true);
    const auto& sky = window->daySky();
    ASSERT_GE(sky.size(), 30u);
    std::string ninth;
    for (const auto& l : sky[8]) ninth += l + "\n";
    EXPECT_NE(ninth.find("02:17 日食 全食"), std::string::npos) << ninth;
    EXPECT_NE(ninth.find("新月 白羊19°24′"), std::string::npos) << ninth;
    EXPECT_TRUE(sky[9].empty());  // the 10th
    // The tooltip of the 9th's cell is that list; the mark is drawn in it.
    const int cell = window->firstColumn() + 8 + 7;
    const std::string tip = window->skyTipAt((cell % 7) * kCellW + 5, (cell / 7) * kCellH + 5);
    EXPECT_NE(tip.find("日食 全食"), std::string::npos);
    bool marked = false;
    for (const auto& op : canvas.ops()) marked = marked || op.text == "食";
    EXPECT_TRUE(marked);
    window->ChkSky->setChecked(false);
    canvas.clearOps();
    show(2024, 4, 9);
    EXPECT_EQ(texts(), before);
}

TEST_F(WnlTest, ChartTransitsInTheDayCells) {
    EXPECT_FALSE(window->ChkTransit->isEnabled());
    // A natal Sun at 0° 白羊: the transiting Sun conjoins it at the March equinox of 2024
    // (2024-03-20 11:06 UTC+8).
    window->setTransitChart({{"太阳", 0.0}}, AspectOrbs::uniform(5));
    EXPECT_TRUE(window->ChkTransit->isEnabled());
    show(2024, 3, 20);
    window->ChkSky->setChecked(true);
    window->ChkTransit->setChecked(true);
    std::string day;
    for (const auto& l : window->daySky()[19]) day += l + "\n";
    EXPECT_NE(day.find("11:06 行运 太阳 相合 太阳"), std::string::npos) << day;
}
