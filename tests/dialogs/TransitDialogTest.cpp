// The transit time dialog on its own: what it shows, "现在时间", the year arrows, the year check,
// and that only "确定" writes the request (cancel: the main window's test).
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QToolButton>

#include "DialogTestSupport.h"
#include "dialogs/Untliun.h"
#include "tests/support/ScriptedUi.h"

namespace {
TransitRequest request(int y, int mo, int d, int h, int mi, int zone) {
    TransitRequest q;
    q.when = DateTimeFields{static_cast<int16_t>(y), static_cast<int16_t>(mo), static_cast<int16_t>(d),
                            static_cast<int16_t>(h), static_cast<int16_t>(mi)};
    q.zoneIndex = static_cast<int8_t>(zone);
    q.place = "福建省-福州市";
    return q;
}

std::string shown(const TFrmLiuNian& d) {
    return d.EdtYear->text().toStdString() + "|" + std::to_string(d.UpDyear->position()) + "|" +
           d.cbom->currentText().toStdString() + d.cbod->currentText().toStdString() + "|" +
           d.cbos->currentText().toStdString() + d.cbomin->currentText().toStdString() + "|" +
           d.Cboshiqu->currentText().toStdString();
}

bool sameRequest(const TransitRequest& a, const TransitRequest& b) {
    return a.when.year == b.when.year && a.when.month == b.when.month && a.when.day == b.when.day &&
           a.when.hour == b.when.hour && a.when.minute == b.when.minute && a.zoneIndex == b.zoneIndex &&
           a.place == b.place;
}
}  // namespace

TEST(TransitDialog, ShowsTheRequestWithThePanelsLists) {
    testqt::app();
    testui::ScriptedUi ui;
    TransitRequest q = request(1990, 2, 28, 23, 59, 21);
    TFrmLiuNian d(q, ui);
    dialogtest::expectFrame(d, "流年时间(公历)", 10.5);
    EXPECT_TRUE(d.EdtYear->font().bold());
    EXPECT_TRUE(d.cbom->font().bold());
    EXPECT_EQ(d.SbtoNow->toolTip().toStdString(), "现在时间");
    EXPECT_EQ(d.Label4->text().toStdString(), "时区");
    EXPECT_EQ(d.EdtYear->maxLength(), 4);
    EXPECT_TRUE(d.Btnok->isDefault());
    EXPECT_EQ(d.cbom->count(), 12);
    EXPECT_EQ(d.cbod->count(), 31);  // whatever the month
    EXPECT_EQ(d.cbos->count(), 24);
    EXPECT_EQ(d.cbomin->count(), 60);
    EXPECT_EQ(d.Cboshiqu->count(), 24);
    EXPECT_EQ(shown(d), "1990|390|2月28日|23时子59分|西九区");
    EXPECT_EQ(d.UpDyear->minimum(), 0);
    EXPECT_EQ(d.UpDyear->maximum(), 600);

    // The arrows count from the typed year; they stop at 2200, and a field without a year of
    // the range gets the message.
    d.UpDyear->upButton()->click();
    EXPECT_EQ(d.EdtYear->text().toStdString(), "1991");
    d.EdtYear->setText("2200");
    d.UpDyear->upButton()->click();
    EXPECT_EQ(d.UpDyear->position(), 600);
    d.EdtYear->setText("12");
    ui.expectMessage("年份最大范围1600-2200");
    d.UpDyear->upButton()->click();
    EXPECT_EQ(d.EdtYear->text().toStdString(), "12");

    // "现在时间" sets date and time, not the zone; a clock outside 1600-2200 gives 2200.
    ui.clock_.time = LocalMinute{2026, 5, 17, 14, 35};
    d.SbtoNow->click();
    EXPECT_EQ(shown(d), "2026|426|5月17日|14时未35分|西九区");
    ui.clock_.time = LocalMinute{2301, 1, 2, 3, 4};
    d.SbtoNowClick();
    EXPECT_EQ(shown(d), "2200|600|1月2日|3时寅4分|西九区");
    EXPECT_TRUE(sameRequest(q, request(1990, 2, 28, 23, 59, 21)));  // nothing written yet
}

TEST(TransitDialog, YearOutsideTheRangeKeepsTheDialogOpenAndOkWritesEveryField) {
    testqt::app();
    testui::ScriptedUi ui;
    TransitRequest q = request(2004, 1, 1, 0, 0, 8);
    TFrmLiuNian d(q, ui);
    for (const char* year : {"1599", "2201", "abc", ""}) {
        d.EdtYear->setText(QString::fromUtf8(year));
        ui.expectMessage("年份最大范围1600-2200");
        d.Btnok->click();
        EXPECT_EQ(ui.lastCall().caption, "年份错误");
        EXPECT_EQ(ui.lastCall().icon, MsgIcon::Warning);
        EXPECT_NE(d.result(), QDialog::Accepted) << year;
        EXPECT_TRUE(sameRequest(q, request(2004, 1, 1, 0, 0, 8))) << year;
    }
    // The typed year counts, not the arrows; 2200 is accepted. A day the month does not have is
    // written as chosen (the chart engine refuses it).
    d.EdtYear->setText("2200");
    d.cbom->setCurrentIndex(1);
    d.cbod->setCurrentIndex(29);
    d.cbos->setCurrentIndex(23);
    d.cbomin->setCurrentIndex(59);
    d.Cboshiqu->setCurrentIndex(13);
    d.BtnokClick();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(sameRequest(q, request(2200, 2, 30, 23, 59, 13)));
}

TEST(TransitDialog, ReadsTheMomentAtThePlacesClockUnlessAZoneIsPicked) {
    testqt::app();
    testui::ScriptedUi ui;
    TransitRequest q = request(2026, 7, 4, 12, 0, 17);  // 西五区, as the panel gave New York
    q.zoneId = "America/New_York";
    auto confirm = [&](int month, int day, int hour, int zone) {
        TFrmLiuNian d(q, ui);
        d.cbom->setCurrentIndex(month - 1);
        d.cbod->setCurrentIndex(day - 1);
        d.cbos->setCurrentIndex(hour);
        if (zone >= 0) d.Cboshiqu->setCurrentIndex(zone);
        d.BtnokClick();
        return d.result() == QDialog::Accepted;
    };
    ASSERT_TRUE(confirm(7, 4, 12, -1));
    EXPECT_EQ(q.utcOffsetSeconds, -4 * 3600);  // summer time, though the list says 西五区
    // 2:00 on 8 March 2026 never showed: the dialog stays and nothing is written.
    ui.expectMessage();
    EXPECT_FALSE(confirm(3, 8, 2, -1));
    EXPECT_EQ(q.when.month, 7);
    // A zone picked from the list wins, and stays chosen for the next opening.
    ASSERT_TRUE(confirm(7, 4, 12, 8));
    EXPECT_EQ(q.utcOffsetSeconds, BirthRecord::kZoneListOffset);
    EXPECT_FALSE(TFrmLiuNian(q, ui).ChkLocal->isChecked());
}
