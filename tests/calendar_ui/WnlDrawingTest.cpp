// The month grid as canvas operations, the month's terms and the information panel.
#include <QLabel>
#include <QTextEdit>

#include "platform/core/Gbk.h"
#include "tests/calendar_ui/WnlFixture.h"

namespace {
const Rgb kRed{255, 0, 0};
const Rgb kBlue{0, 0, 255};
const Rgb kGreen{0, 128, 0};
}  // namespace

TEST_F(WnlTest, GridLinesHeaderAndWeekendInRed) {
    show(2000, 1, 15);
    // Paper first, then six lines each way.
    const auto rects = canvas.of(RecordingCanvas::Kind::Rectangle);
    ASSERT_FALSE(rects.empty());
    EXPECT_EQ(rects[0].a, 0);
    EXPECT_EQ(rects[0].c, 450);
    EXPECT_EQ(rects[0].d, 330);
    EXPECT_EQ(rects[0].color, (Rgb{255, 255, 200}));
    const auto lines = canvas.lines();
    ASSERT_GE(lines.size(), 12u);
    EXPECT_EQ(lines[0].y1, 47);
    EXPECT_EQ(lines[0].x2, 450);
    EXPECT_EQ(lines[11].x1, 6 * 64);
    EXPECT_EQ(lines[11].y2, 330);
    for (const auto& l : lines) EXPECT_EQ(l.color, (Rgb{0, 0, 0}));

    // Headers centred in their cells: 星期一 at 13 points is 3 x 17 pixels wide in the
    // recording canvas.
    const auto* monday = text("星期一");
    ASSERT_NE(monday, nullptr);
    EXPECT_EQ(monday->a, (64 - 51) / 2);
    EXPECT_EQ(monday->b, (47 - 17) / 2);
    EXPECT_EQ(monday->fontSize, 13);
    EXPECT_EQ(monday->fontName, "宋体");
    EXPECT_EQ(text("星期五")->fontColor, kGreen);
    EXPECT_EQ(text("星期六")->fontColor, kRed);
    EXPECT_EQ(text("星期日")->fontColor, kRed);
    EXPECT_EQ(text("星期日")->a, 6 * 64 + (64 - 51) / 2);
}

TEST_F(WnlTest, SolarTermDayInRedAtSizeTenWithItsName) {
    show(2000, 1, 15);
    // January 2000: 小寒 on the 6th, 大寒 on the 21st.
    const auto* term = text("6 小寒");
    ASSERT_NE(term, nullptr);
    EXPECT_EQ(term->fontSize, 10);
    EXPECT_EQ(term->fontColor, kRed);
    const auto* plain = text("7");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->fontSize, 14);
    EXPECT_EQ(plain->fontColor, kBlue);
    EXPECT_NE(text("21 大寒"), nullptr);
    // Day 1 shows its month; 1 January 2000 was a Saturday (column 5, first week).
    const auto* first = text("1月");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->a, 5 * 64 + (64 - (9 + 18)) / 2);  // "1" half, "月" full width
    EXPECT_EQ(first->b, 47 + (47 / 2 - 18) / 2);

    const std::string& terms = window->termText();
    EXPECT_EQ(terms.rfind("小寒:6日", 0), 0u) << terms;
    EXPECT_NE(terms.find("分\r\n\r\n大寒:21日"), std::string::npos) << terms;
    EXPECT_EQ(terms.substr(terms.size() - 4), "\r\n\r\n");
    QString shown = QString::fromStdString(terms);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(window->memjie1->toPlainText(), shown);
}

TEST_F(WnlTest, LunarTextsOfTheCells) {
    // 1640 had a leap first month, beginning on 22 February.
    show(1640, 2, 22);
    ASSERT_GE(window->cells().size(), 23u);
    EXPECT_EQ(window->cells()[21].lunar, "闰正月初一");
    EXPECT_EQ(window->cells()[22].lunar, "闰正月初二");
    EXPECT_EQ(text("闰正月初一")->fontSize, 9);  // ten GBK bytes still take size 9

    // Chinese New Year 2000 fell on 5 February.
    show(2000, 2, 5);
    const auto& cells = window->cells();
    EXPECT_EQ(cells[4].lunar, "正月初一");
    EXPECT_EQ(cells[13].lunar, "正月初十");
    EXPECT_EQ(cells[23].lunar, "正月二十");
    EXPECT_EQ(cells[25].lunar, "正月廿二");

    // A leap eleventh month (2033) is twelve bytes long: size 8.
    show(2033, 12, 22);
    EXPECT_EQ(window->cells()[21].lunar, "闰十一月初一");
    EXPECT_EQ(gbk::byteLength(window->cells()[21].lunar), 12u);
    EXPECT_EQ(text("闰十一月初一")->fontSize, 8);
    EXPECT_EQ(window->cells()[20].lunar, "十一月三十");
    // The lunar text of a term day is drawn in the term's red.
    EXPECT_EQ(text("十一月三十")->fontColor, kRed);
    // Screen readers get the cells as text.
    EXPECT_TRUE(window->Img1->accessibleDescription().contains(QStringLiteral("22 闰十一月初一")));
}

TEST_F(WnlTest, PanelWithEraAnimalAndPillarsAndTheElevenPmRule) {
    show(2000, 1, 1, 12, 0);
    EXPECT_EQ(window->labtitle->text().toStdString(), "2000年1月");
    // Before 立春 the year still counts as 1999, the year of the rabbit.
    EXPECT_EQ(window->labxiao->toPlainText().toStdString(), "[当代] 中国  公历纪元1999年  【兔年】");
    EXPECT_EQ(window->memgz->toPlainText().toStdString(), "己卯年\n丙子月\n戊午日\n戊午时");
    // At 23 o'clock the day pillar is the next day's and the hour that day's 子 hour.
    window->cbos->setCurrentIndex(23);
    EXPECT_EQ(window->memgz->toPlainText().toStdString(), "己卯年\n丙子月\n己未日\n甲子时");
    window->cbos->setCurrentIndex(22);
    EXPECT_EQ(window->memgz->toPlainText().toStdString(), "己卯年\n丙子月\n戊午日\n癸亥时");

    // After 立春 (4 February 2000) the year is 庚辰, the dragon.
    show(2000, 2, 10, 12, 0);
    EXPECT_EQ(window->memgz->toPlainText().toStdString().substr(0, 9), "庚辰年");
    EXPECT_NE(window->labxiao->toPlainText().toStdString().find("【龙年】"), std::string::npos);

    // The title shows the year without a year 0.
    show(-1, 12, 1);
    EXPECT_EQ(window->labtitle->text().toStdString(), "-1年12月");
}
