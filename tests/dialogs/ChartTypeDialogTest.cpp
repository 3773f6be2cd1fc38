// The chart-type dialog: which controls each type gets, the transit dialog's year check, and
// that only "确定" writes the choice.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "DialogTestSupport.h"
#include "dialogs/Untpanxing.h"
#include "platform/qt/UpDown.h"
#include "tests/support/ScriptedUi.h"

using charttypes::Kind;

TEST(ChartTypeDialog, EachTypeAsksForWhatItNeeds) {
    testqt::app();
    testui::ScriptedUi ui;
    PanXingChoice c;
    c.date = DateTimeFields{2026, 12, 9, 0, 0};
    c.year = 2030;
    {
        TFrmPanXing d(Kind::Synastry, {"李四", "王五"}, c, ui);
        dialogtest::expectFrame(d, "盘型:合盘", 10.5);
        ASSERT_NE(d.CboPerson, nullptr);
        EXPECT_EQ(d.CboPerson->count(), 3);
        EXPECT_EQ(d.CboPerson->itemText(0).toStdString(), "输入面板");
        EXPECT_EQ(d.EdtYear, nullptr);
        EXPECT_EQ(d.CboPlace, nullptr);
        d.CboPerson->setCurrentIndex(2);
        d.BtnokClick();
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_EQ(c.person, 2);
    }
    {
        TFrmPanXing d(Kind::Progressed, {}, c, ui);
        EXPECT_EQ(d.CboPerson, nullptr);
        ASSERT_NE(d.cbod, nullptr);
        EXPECT_EQ(d.EdtYear->text().toStdString(), "2026");
        EXPECT_EQ(d.cbom->currentText().toStdString(), "12月");
        EXPECT_EQ(d.cbod->currentText().toStdString(), "9日");
        EXPECT_EQ(d.cbod->count(), 31);
        d.UpDyear->upButton()->click();
        EXPECT_EQ(d.EdtYear->text().toStdString(), "2027");
        d.EdtYear->setText("2000");  // the arrows count from the typed year
        d.UpDyear->upButton()->click();
        EXPECT_EQ(d.EdtYear->text().toStdString(), "2001");
    }
    {
        TFrmPanXing d(Kind::SolarReturn, {}, c, ui);
        EXPECT_EQ(d.cbom, nullptr);
        EXPECT_EQ(d.cbod, nullptr);
        ASSERT_NE(d.CboPlace, nullptr);
        EXPECT_EQ(d.CboPlace->itemText(1).toStdString(), "输入面板的地点");
        EXPECT_EQ(d.EdtYear->text().toStdString(), "2030");
    }
    TFrmPanXing d(Kind::LunarReturn, {}, c, ui);
    ASSERT_NE(d.cbom, nullptr);
    EXPECT_EQ(d.cbod, nullptr);
}

TEST(ChartTypeDialog, YearOutsideTheRangeKeepsTheDialogOpen) {
    testqt::app();
    testui::ScriptedUi ui;
    PanXingChoice c;
    c.date = DateTimeFields{2026, 12, 9, 0, 0};
    for (const Kind kind : {Kind::Progressed, Kind::LunarReturn}) {
        TFrmPanXing d(kind, {}, c, ui);
        const PanXingChoice before = c;
        for (const char* year : {"1599", "2201", "abc"}) {
            d.EdtYear->setText(QString::fromUtf8(year));
            ui.expectMessage("年份最大范围1600-2200");
            d.Btnok->click();
            EXPECT_EQ(ui.lastCall().caption, "年份错误");
            EXPECT_NE(d.result(), QDialog::Accepted) << year;
        }
        EXPECT_EQ(c.date, before.date);
        EXPECT_EQ(c.year, before.year);
        d.EdtYear->setText("2200");
        d.cbom->setCurrentIndex(1);
        if (d.cbod) d.cbod->setCurrentIndex(29);
        if (d.CboPlace) d.CboPlace->setCurrentIndex(1);
        d.BtnokClick();
        EXPECT_EQ(d.result(), QDialog::Accepted);
    }
    // Progressed: the date as chosen (the cast refuses a day the month lacks); lunar return:
    // year, month and place.
    EXPECT_EQ(c.date, (DateTimeFields{2200, 2, 30, 0, 0}));
    EXPECT_EQ(c.year, 2200);
    EXPECT_EQ(c.month, 2);
    EXPECT_EQ(c.place, 1);
}
