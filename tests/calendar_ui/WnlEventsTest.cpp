// The perpetual calendar's controls and events: the year box and its limits, month stepping
// across the missing year 0 and at the ends of the range, "now", clicks in the grid (October
// 1582 among them) and "本命盘" handing the moment to the input panel.
#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>

#include "platform/qt/UpDown.h"
#include "tests/calendar_ui/WnlFixture.h"

TEST_F(WnlTest, WindowAndControlsAsDesigned) {
    TFrmWnl& w = *window;
    EXPECT_EQ(w.windowTitle().toStdString(), "Tarmin万年历");
    EXPECT_EQ(w.size(), QSize(542, 413));
    EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(w.isModal());
    EXPECT_FALSE(w.windowIcon().isNull());
    EXPECT_EQ(w.palette().color(QPalette::Window), QColor(255, 255, 200));
    struct Place {
        QWidget* control;
        QRect geometry;
        const char* accessible;
    };
    for (const Place& p : std::initializer_list<Place>{
             {w.labxiao, {10, 5, 527, 25}, "纪年"},
             {w.BitBtn2, {272, 37, 49, 28}, "上一月"},
             {w.BitBtn1, {336, 37, 49, 28}, "下一月"},
             {w.sbtnnow, {400, 40, 41, 22}, "当前时间"},
             {w.EdtYear, {462, 40, 53, 21}, "年"},
             {w.UdYear, {515, 39, 18, 22}, "年份"},
             {w.cbom, {462, 70, 73, 22}, "月"},
             {w.cbod, {462, 96, 73, 22}, "日"},
             {w.cbos, {462, 126, 73, 22}, "时"},
             {w.cbomin, {462, 155, 73, 22}, "分"},
             {w.memjie1, {461, 181, 76, 108}, "节气"},
             {w.memgz, {463, 293, 74, 84}, "四柱"},
             {w.Img1, {4, 72, 450, 330}, "月历"},
             {w.BtnPai, {464, 379, 73, 30}, nullptr}}) {
        EXPECT_EQ(p.control->geometry(), p.geometry) << p.control->objectName().toStdString();
        if (p.accessible) {
            EXPECT_EQ(p.control->accessibleName().toStdString(), p.accessible)
                << p.control->objectName().toStdString();
        }
    }
    // The glyph buttons carry their hints; the others their captions.
    for (QToolButton* b : {w.BitBtn2, w.BitBtn1, w.sbtnnow}) {
        EXPECT_EQ(b->toolTip(), b->accessibleName());
        EXPECT_FALSE(b->icon().isNull()) << b->objectName().toStdString();
    }
    EXPECT_EQ(w.BtnPai->text().toStdString(), "本命盘");
    EXPECT_EQ(w.EdtYear->text().toStdString(), "1900");
    EXPECT_EQ(w.EdtYear->maxLength(), 5);
    EXPECT_EQ(w.UdYear->minimum(), -4712);
    EXPECT_EQ(w.UdYear->maximum(), 9999);
    for (QComboBox* list : {w.cbom, w.cbod, w.cbos, w.cbomin}) {
        EXPECT_TRUE(list->font().bold());
        EXPECT_EQ(list->font().pixelSize(), 13);
    }
    EXPECT_EQ(w.cbom->count(), 12);
    EXPECT_EQ(w.cbom->itemText(11).toStdString(), "12月");
    EXPECT_EQ(w.cbod->itemText(30).toStdString(), "31日");
    EXPECT_EQ(w.cbos->itemText(0).toStdString(), "0时");
    EXPECT_EQ(w.cbomin->itemText(59).toStdString(), "59分");
    EXPECT_EQ(w.cbod->maxVisibleItems(), 31);
}

TEST_F(WnlTest, October1582HasTwentyOneDaysAndItsFifthCellIsThe15th) {
    show(1582, 10, 10);  // a dropped day: the window shows the 15th instead
    EXPECT_EQ(window->selected(), (DateTimeFields{1582, 10, 15, 12, 0}));
    EXPECT_EQ(window->daysInMonth(), 21);
    EXPECT_EQ(window->firstColumn(), 0);  // 1 October 1582 (Julian) was a Monday
    const auto& cells = window->cells();
    ASSERT_EQ(cells.size(), 21u);
    std::vector<std::string> days;
    for (const auto& c : cells) days.push_back(c.top.substr(0, c.top.find(' ')));
    EXPECT_EQ(days, (std::vector<std::string>{"10月", "2", "3", "4", "15", "16", "17", "18", "19",
                                              "20", "21", "22", "23", "24", "25", "26", "27", "28",
                                              "29", "30", "31"}));

    window->cbod->setCurrentIndex(0);  // a change of a list redraws
    EXPECT_EQ(window->selected().day, 1);
    clickCell(4);
    EXPECT_EQ(window->cbod->currentIndex(), 14);
    EXPECT_EQ(window->selected().day, 15);
    // The frame sits on the fifth cell: column 4 of the first week.
    EXPECT_EQ(window->Shape1->pos(), QPoint(4 + 4 * kCellW, 72 + kCellH));
    EXPECT_EQ(window->Shape1->size(), QSize(kCellW, kCellH));
    clickCell(3);
    EXPECT_EQ(window->selected().day, 4);

    // Clicks on the header, before day 1 of a month and with the right button change nothing.
    show(2026, 12, 9);  // 1 December 2026 is a Tuesday
    ASSERT_EQ(window->firstColumn(), 1);
    window->Img1MouseDown(Qt::LeftButton, 10, 10);
    window->Img1MouseDown(Qt::LeftButton, 10, kCellH + 10);
    window->Img1MouseDown(Qt::RightButton, kCellW + 10, kCellH + 10);
    EXPECT_EQ(window->selected().day, 9);
    // The two pixels right of the last column belong to Sunday.
    window->Img1MouseDown(Qt::LeftButton, 449, kCellH + 10);
    EXPECT_EQ(window->selected().day, 6);
}

TEST_F(WnlTest, YearBoxLimitsAndMessages) {
    show(2000, 6, 15);
    // 0 is inside the range but no year: 1 BC (-1) is followed by AD 1.
    for (const char* zero : {"0", "-0", "+00"}) {
        ui.expectMessage("没有公元0年：公元前1年（-1）之后就是公元1年");
        enterYear(zero);
        EXPECT_EQ(ui.lastCall().caption, "错误") << zero;
    }
    for (const char* bad : {"10000", "-4714", "abc", ""}) {
        ui.expectMessage("年份在-4713 到 9999之间");
        enterYear(bad);
        EXPECT_EQ(ui.lastCall().caption, "错误") << bad;
        EXPECT_EQ(ui.lastCall().icon, MsgIcon::Error) << bad;
    }
    EXPECT_EQ(window->selected().year, 2000);  // nothing changed
    enterYear("-4713");
    EXPECT_EQ(window->selected().year, -4712);
    EXPECT_EQ(window->UdYear->position(), -4712);
    EXPECT_EQ(window->labtitle->text().toStdString(), "-4713年6月");
    enterYear("9999");
    EXPECT_EQ(window->selected().year, 9999);

    // A list changed while the year box holds no year: the drawing's own message, and the
    // previous drawing stays.
    window->EdtYear->setText("0");
    canvas.clearOps();
    ui.expectMessage("年份在-4713 到 9999年之间，并且没有公元0年");
    window->cbom->setCurrentIndex(2);
    EXPECT_EQ(ui.lastCall().caption, "年份不对");
    EXPECT_EQ(ui.lastCall().icon, MsgIcon::Error);
    EXPECT_TRUE(canvas.ops().empty());
    EXPECT_EQ(window->selected().month, 6);

    // A day past the month's end.
    show(2001, 2, 1);
    canvas.clearOps();
    ui.expectMessage("不存在这个日期，请重新输入！");
    window->cbod->setCurrentIndex(28);  // 29 February 2001
    EXPECT_EQ(ui.lastCall().caption, "日期不对");
    EXPECT_EQ(ui.lastCall().icon, MsgIcon::Information);
    EXPECT_TRUE(canvas.ops().empty());
    EXPECT_EQ(window->selected().day, 1);
}

TEST_F(WnlTest, MonthStepsSkipYearZeroAndStopAtTheEnds) {
    show(-4713, 1, 20);
    canvas.clearOps();
    window->BitBtn2Click();  // nothing before January 4713 BC
    EXPECT_EQ(yearBox(), "-4713");
    EXPECT_EQ(window->cbom->currentIndex(), 0);
    EXPECT_EQ(window->cbod->currentIndex(), 19);
    EXPECT_TRUE(canvas.ops().empty());
    window->BitBtn1Click();
    EXPECT_EQ(window->selected(), (DateTimeFields{-4712, 2, 1, 12, 0}));

    show(1, 1, 20);
    window->BitBtn2->click();  // back from January of year 1: December of 1 BC
    EXPECT_EQ(yearBox(), "-1");
    EXPECT_EQ(window->UdYear->position(), 0);
    EXPECT_EQ(window->selected(), (DateTimeFields{0, 12, 1, 12, 0}));
    EXPECT_EQ(window->labtitle->text().toStdString(), "-1年12月");
    window->BitBtn1->click();
    EXPECT_EQ(yearBox(), "1");
    EXPECT_EQ(window->selected(), (DateTimeFields{1, 1, 1, 12, 0}));

    show(9999, 12, 5);
    canvas.clearOps();
    window->BitBtn1Click();  // nothing after December 9999
    EXPECT_EQ(window->selected(), (DateTimeFields{9999, 12, 5, 12, 0}));
    EXPECT_TRUE(canvas.ops().empty());

    // The arrows hold the astronomical year and step across year 0 in the box.
    show(-2, 6, 1);
    EXPECT_EQ(window->UdYear->position(), -1);
    window->UdYear->upButton()->click();
    EXPECT_EQ(yearBox(), "-1");
    window->UdYear->upButton()->click();
    EXPECT_EQ(yearBox(), "1");
    EXPECT_EQ(window->selected().year, 1);

    // "当前时间": the clock's minute (the scripted clock reads 2026-05-17 14:35).
    window->sbtnnow->click();
    EXPECT_EQ(yearBox(), "2026");
    EXPECT_EQ(window->selected(), (DateTimeFields{2026, 5, 17, 14, 35}));
}

TEST_F(WnlTest, NatalButtonHandsTheMomentToThePanelAndCasts) {
    window->show();
    show(1990, 5, 17, 8, 30);
    window->BtnPai->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(natal.calls, (std::vector<std::string>{"setMoment", "runNatalCommand"}));
    ASSERT_EQ(natal.moments.size(), 1u);
    const PanelMoment& m = natal.moments[0];
    EXPECT_EQ(m.year, 1990);
    EXPECT_EQ(m.month, 5);
    EXPECT_EQ(m.day, 17);
    EXPECT_EQ(m.hour, 8);
    EXPECT_EQ(m.minute, 30);

    // A year before Christ: the year as the box shows it (no year 0).
    show(-100, 3, 4, 0, 0);
    window->BtnPaiClick();
    EXPECT_EQ(natal.moments.back().year, -100);
}

TEST_F(WnlTest, SelectedDayIsTintedGreenAndItsTextStaysDark) {
    window->setGridCanvas(nullptr);  // the window's own image
    window->show();
    show(2024, 6, 12);
    const QImage shot = window->grab().toImage();
    const QRect cell = window->Shape1->geometry().adjusted(4, 4, -4, -4);
    int green = 0, dark = 0, other = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (c.red() == 0 && c.green() == 128 && c.blue() == 0) ++green;
            else if (c.red() < 60 && c.green() < 60 && c.blue() < 60) ++dark;
            else ++other;
        }
    // The paper turns green under the mask; the day's text is not washed out.
    EXPECT_GT(green, (green + dark + other) / 2) << green << " " << dark << " " << other;
    EXPECT_GT(dark, 0);
}

TEST_F(WnlTest, TypedYearAppliesWhenTheBoxIsLeftAndTheArrowsCountFromIt) {
    window->show();
    show(1500, 6, 1);
    window->EdtYear->setText("2000");
    window->EdtYear->setModified(true);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);  // Tab to the next control
    QCoreApplication::sendEvent(window->EdtYear, &out);
    EXPECT_EQ(window->labtitle->text().toStdString(), "2000年6月");
    // Typed and not applied yet: the arrows step from what the box shows, across year 0 too.
    window->EdtYear->setText("1949");
    window->UdYear->upButton()->click();
    EXPECT_EQ(window->selected().year, 1950);
    window->EdtYear->setText("1");
    window->UdYear->downButton()->click();
    EXPECT_EQ(yearBox(), "-1");
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(window->EdtYear, &escape);
    EXPECT_FALSE(window->isVisible());
}
