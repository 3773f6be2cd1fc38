// "万年历": the perpetual calendar opens at the input panel's moment, is created once and
// forgotten when closed, and its "本命盘" fills the panel and runs the natal command with the
// panel's own checks.
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QPushButton>
#include <QRadioButton>

#include "MainWindowFixture.h"
#include "app/InputPanel.h"
#include "calendar/ui/Untwnl.h"
#include "platform/qt/UpDown.h"

namespace {
void setPanelMoment(TFrmMain& w, int year, int month, int day, int hour, int minute) {
    InputPanel& p = w.panel();
    p.UpDyear->setPosition(year);
    p.cbom->setCurrentIndex(month - 1);
    p.cbod->setCurrentIndex(day - 1);
    p.cbos->setCurrentIndex(hour);
    p.cbomin->setCurrentIndex(minute);
}
}  // namespace

TEST_F(MainWindowTest, CalendarOpensAtThePanelsMomentOnceAndIsForgottenWhenClosed) {
    TFrmMain& w = start();
    EXPECT_EQ(w.calendarWindow(), nullptr);
    setPanelMoment(w, 1985, 3, 7, 23, 30);
    control<QLineEdit>("EdtYear")->setText("1234");  // the year comes from the arrows
    action("mnuT_wnl")->trigger();
    TFrmWnl* wnl = w.calendarWindow();
    ASSERT_NE(wnl, nullptr);
    EXPECT_TRUE(wnl->isVisible());
    EXPECT_TRUE(w.isEnabled());  // not modal
    EXPECT_EQ(wnl->EdtYear->text().toStdString(), "1985");
    EXPECT_EQ(wnl->selected(), (DateTimeFields{1985, 3, 7, 23, 30}));

    // A second command shows the same window at the panel's new moment.
    setPanelMoment(w, 2001, 5, 23, 8, 0);
    action("mnuT_wnl")->trigger();
    EXPECT_EQ(w.calendarWindow(), wnl);
    EXPECT_EQ(wnl->selected(), (DateTimeFields{2001, 5, 23, 8, 0}));

    // Closed, it is gone; the next command makes a new one.
    wnl->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w.calendarWindow(), nullptr);
    action("mnuT_wnl")->trigger();
    EXPECT_NE(w.calendarWindow(), nullptr);
    closeWithYes();
}

TEST_F(MainWindowTest, CalendarNatalButtonFillsThePanelAndCasts) {
    TFrmMain& w = start();
    control<QRadioButton>("Rdonl")->setChecked(true);
    control<QCheckBox>("Chkrun")->setChecked(true);
    action("mnuT_wnl")->trigger();
    TFrmWnl* wnl = w.calendarWindow();
    ASSERT_NE(wnl, nullptr);
    wnl->showDate({1990, 5, 17, 8, 30});
    wnl->BtnPai->click();
    EXPECT_FALSE(wnl->isVisible());
    EXPECT_TRUE(control<QRadioButton>("Rdogl")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("Chkrun")->isChecked());
    EXPECT_EQ(control<QLineEdit>("EdtYear")->text().toStdString(), "1990");
    EXPECT_EQ(w.birthRequest().birth, (DateTimeFields{1990, 5, 17, 8, 30}));
    EXPECT_TRUE(w.natalCast()) << w.engine()->errorText();

    // A year the chart cannot take gets the panel's year message.
    action("mnuT_wnl")->trigger();
    wnl->EdtYear->setText("1500");
    emit wnl->EdtYear->returnPressed();
    ui.expectMessage("年份最大范围1600 - 2200");
    wnl->BtnPaiClick();
    EXPECT_EQ(ui.lastCall().caption, "年份错误");
    EXPECT_FALSE(w.natalCast());
    closeWithYes();
}

TEST_F(MainWindowTest, CalendarHandsThePanelTheYearItReadsNeverACutText) {
    TFrmMain& w = start();
    action("mnuT_wnl")->trigger();
    TFrmWnl* wnl = w.calendarWindow();
    ASSERT_NE(wnl, nullptr);
    QLineEdit* panelYear = control<QLineEdit>("EdtYear");
    panelYear->setText("1985");
    // Typed but not confirmed: the calendar's own check refuses it and stays open.
    const char* const range = "年份在-4713 到 9999之间";
    for (const auto& [typed, message] :
         {std::pair{"19900", range}, std::pair{"x", range},
          std::pair{"0", "没有公元0年：公元前1年（-1）之后就是公元1年"}}) {
        wnl->EdtYear->setText(typed);
        ui.expectMessage(std::string(message));
        wnl->BtnPai->click();
        EXPECT_EQ(ui.lastCall().caption, "错误") << typed;
        EXPECT_TRUE(wnl->isVisible()) << typed;
        EXPECT_EQ(panelYear->text().toStdString(), "1985") << typed;
        EXPECT_FALSE(w.natalCast());
    }
    // Written as the calendar accepts it: the year as a number.
    for (const char* typed : {"+2000", "02000"}) {
        action("mnuT_wnl")->trigger();
        wnl->EdtYear->setText(typed);
        wnl->BtnPai->click();
        EXPECT_EQ(panelYear->text().toStdString(), "2000") << typed;
        EXPECT_EQ(w.birthRequest().birth.year, 2000) << typed;
        EXPECT_TRUE(w.natalCast()) << typed;
    }
    // A year before Christ reaches the panel whole and gets its year message there.
    action("mnuT_wnl")->trigger();
    wnl->EdtYear->setText("-1000");
    ui.expectMessage("年份最大范围1600 - 2200");
    wnl->BtnPai->click();
    EXPECT_EQ(panelYear->text().toStdString(), "-1000");
    closeWithYes();
}
