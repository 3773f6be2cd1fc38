// The dialogs as the main window opens them: "流" with the transit time dialog and the chart
// engine, "排盘设置" and the next chart, "经纬度设置" and the input panel.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <cmath>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

#include "dialogs/Untdili.h"
#include "dialogs/Untliun.h"
#include "dialogs/Untsetpan.h"
#include "dialogs/Untxue.h"
#include "platform/qt/UpDown.h"
#include "tests/app/MainWindowFixture.h"

namespace {

std::string when(const TransitRequest& q) {
    return std::to_string(q.when.year) + "-" + std::to_string(q.when.month) + "-" +
           std::to_string(q.when.day) + " " + std::to_string(q.when.hour) + ":" +
           std::to_string(q.when.minute) + " z" + std::to_string(q.zoneIndex);
}

// Fills the transit dialog and presses "确定".
std::function<void(ModalWindow&)> confirmTransit(const char* year, int month, int day, int hour,
                                                 int minute, int zone) {
    return [=](ModalWindow& m) {
        auto& d = dynamic_cast<TFrmLiuNian&>(m);
        d.EdtYear->setText(year);
        d.cbom->setCurrentIndex(month - 1);
        d.cbod->setCurrentIndex(day - 1);
        d.cbos->setCurrentIndex(hour);
        d.cbomin->setCurrentIndex(minute);
        d.Cboshiqu->setCurrentIndex(zone);
        d.Btnok->click();
    };
}
}  // namespace

class DialogCommandsTest : public MainWindowTest {
protected:
    void setBirth(const char* year, int month, int day, int hour, int minute) {
        control<QLineEdit>("EdtYear")->setText(year);
        control<QComboBox>("cbom")->setCurrentIndex(month - 1);
        control<QComboBox>("cbod")->setCurrentIndex(day - 1);
        control<QComboBox>("cbos")->setCurrentIndex(hour);
        control<QComboBox>("cbomin")->setCurrentIndex(minute);
    }
};

TEST_F(DialogCommandsTest, TransitCommandThroughItsDialog) {
    TFrmMain& w = start();
    ui.expectMessage("请先排一个本命盘。");
    w.SbtoZw_liuClick();
    EXPECT_EQ(ui.lastCall().caption, "提示");
    EXPECT_EQ(ui.lastCall().icon, MsgIcon::Information);

    setBirth("1990", 5, 1, 8, 0);
    control<QComboBox>("Cboshiqu")->setCurrentIndex(8);
    w.BtnpaiClick();
    ASSERT_TRUE(w.natalCast());
    const QImage natal = w.chartImage().copy();

    // The first opening shows the start-up moment and the natal zone; cancel after changing
    // everything casts nothing and changes nothing.
    std::string shownFirst;
    ui.answerModal(false, "流年时间(公历)", [&](ModalWindow& m) {
        auto& d = dynamic_cast<TFrmLiuNian&>(m);
        shownFirst = d.EdtYear->text().toStdString() + " " + d.cbom->currentText().toStdString() +
                     d.cbod->currentText().toStdString() + " " + d.cbos->currentText().toStdString() +
                     d.cbomin->currentText().toStdString() + " " + d.Cboshiqu->currentText().toStdString();
        d.EdtYear->setText("2100");
        d.Cboshiqu->setCurrentIndex(0);
        d.Btncancel->click();
    });
    w.SbtoZw_liuClick();
    EXPECT_EQ(shownFirst, "2026 5月17日 14时未35分 东八区");
    EXPECT_EQ(when(w.transitRequest()), "2026-5-17 14:35 z8");
    EXPECT_EQ(w.engine()->mode(), ChartMode::Natal);
    EXPECT_TRUE(w.chartImage() == natal);

    // 1599 is refused inside the dialog, which the user then leaves: still nothing cast.
    ui.answerModal(false, "流年时间(公历)", confirmTransit("1599", 1, 1, 0, 0, 8));
    ui.expectMessage("年份最大范围1600-2200");
    w.SbtoZw_liuClick();
    EXPECT_EQ(w.engine()->mode(), ChartMode::Natal);

    // A moment of my own in another zone: the request takes it and the transit is drawn.
    ui.answerModal(true, "流年时间(公历)", confirmTransit("2030", 3, 4, 5, 6, 0));
    w.SbtoZw_liuClick();
    EXPECT_EQ(when(w.transitRequest()), "2030-3-4 5:6 z0");
    EXPECT_EQ(w.engine()->mode(), ChartMode::Transit);
    EXPECT_FALSE(w.chartImage() == natal);

    // The next opening shows those values; the zone stays for later transits.
    std::string shownAgain;
    ui.answerModal(true, "流年时间(公历)", [&](ModalWindow& m) {
        auto& d = dynamic_cast<TFrmLiuNian&>(m);
        shownAgain = d.EdtYear->text().toStdString() + " " + d.Cboshiqu->currentText().toStdString();
        d.BtnokClick();
    });
    w.SbtoZw_liuClick();
    EXPECT_EQ(shownAgain, "2030 零时区");

    // The engine's refusals: a minute before the birth (08:00 东八区 is 04:00 东四区), a day the
    // month does not have.
    ui.answerModal(true, "流年时间(公历)", confirmTransit("1990", 5, 1, 3, 59, 4));
    ui.expectMessage("流年时间应大于出生时间。");
    w.SbtoZw_liuClick();
    EXPECT_EQ(ui.lastCall().caption, "错误");
    EXPECT_EQ(ui.lastCall().icon, MsgIcon::Error);
    ui.answerModal(true, "流年时间(公历)", confirmTransit("2030", 2, 30, 0, 0, 4));
    ui.expectMessage("不存在这个流年时间");
    w.SbtoZw_liuClick();

    // The next natal command brings the natal zone back; the date stays.
    w.BtnpaiClick();
    EXPECT_EQ(when(w.transitRequest()), "2030-2-30 0:0 z8");
    closeWithYes();
}

TEST_F(DialogCommandsTest, ChartSettingsRedrawTheChartOnScreen) {
    TFrmMain& w = start();
    w.BtnpaiClick();
    ASSERT_TRUE(w.natalCast());
    EXPECT_EQ(w.engine()->orb(), 5);
    const QImage before = w.chartImage().copy();
    // 取消 changes nothing.
    ui.answerModal(false, "排盘设置");
    w.OmnusetcanClick();
    EXPECT_TRUE(w.chartImage() == before);

    ui.answerModal(true, "排盘设置", [](ModalWindow& m) {
        auto& d = dynamic_cast<TFrmSetPan&>(m);
        d.UDownPos->downButton()->click();
        d.UDownPos->downButton()->click();
        d.BitBtn2->click();
    });
    w.OmnusetcanClick();
    IniFile set(folder + "dat/set.ini");
    EXPECT_EQ(set.readInteger("pan", "pos", 0), 3);
    // The chart on screen is drawn again with orb 3: the same chart as a new cast gives.
    EXPECT_EQ(w.engine()->orb(), 3);
    const QImage redrawn = w.chartImage().copy();
    EXPECT_FALSE(redrawn == before);
    w.BtnpaiClick();
    EXPECT_TRUE(w.chartImage() == redrawn);

    // A transit on screen is drawn again over its natal chart.
    ui.answerModal(true, "流年时间(公历)", confirmTransit("2030", 3, 4, 5, 6, 8));
    w.SbtoZw_liuClick();
    const QImage transit = w.chartImage().copy();
    ui.answerModal(true, "排盘设置", [](ModalWindow& m) {
        auto& d = dynamic_cast<TFrmSetPan&>(m);
        d.Edit1->setText("5");
        d.ChkLine->setChecked(true);
        d.BitBtn2->click();
    });
    w.OmnusetcanClick();
    EXPECT_EQ(w.engine()->mode(), ChartMode::Transit);
    EXPECT_EQ(w.engine()->orb(), 5);
    EXPECT_EQ(w.engine()->signLines(), 1);
    EXPECT_FALSE(w.chartImage() == transit);
    closeWithYes();
}

TEST_F(DialogCommandsTest, TransitFromTheReadingPageShowsTheChartPage) {
    TFrmMain& w = start();
    w.BtnpaiClick();
    ASSERT_TRUE(w.natalCast());
    QTabWidget* pages = control<QTabWidget>("Page1");
    pages->setCurrentIndex(1);
    // A refused transit leaves the page as it was.
    ui.answerModal(true, "流年时间(公历)", confirmTransit("2030", 2, 30, 0, 0, 8));
    ui.expectMessage("不存在这个流年时间");
    w.SbtoZw_liuClick();
    EXPECT_EQ(pages->currentIndex(), 1);
    ui.answerModal(true, "流年时间(公历)", confirmTransit("2030", 3, 4, 5, 6, 8));
    w.SbtoZw_liuClick();
    EXPECT_EQ(w.engine()->mode(), ChartMode::Transit);
    EXPECT_EQ(pages->currentIndex(), 0);
    closeWithYes();
}

TEST_F(DialogCommandsTest, ChartOptionsAndTheAspectPage) {
    TFrmMain& w = start();
    setBirth("1990", 5, 17, 8, 30);
    w.BtnpaiClick();
    ASSERT_TRUE(w.natalCast());
    auto* page = control<QPlainTextEdit>("RedtAspects");
    const std::string plain = page->toPlainText().toStdString();
    EXPECT_EQ(plain.rfind("本命盘相位:\n", 0), 0u) << plain;
    EXPECT_EQ(plain.find("福点"), std::string::npos);
    EXPECT_EQ(plain.find("流年对本命相位"), std::string::npos);

    ui.answerModal(true, "排盘设置", [](ModalWindow& m) {
        auto& d = dynamic_cast<TFrmSetPan&>(m);
        d.CbxHouses->setCurrentIndex(3);  // whole signs
        d.ChkMinor->setChecked(true);
        d.ChkFortune->setChecked(true);
        d.BitBtn2->click();
    });
    w.OmnusetcanClick();  // the page follows without 本命盘
    EXPECT_EQ(w.engine()->settings().houseSystem, 'W');
    EXPECT_DOUBLE_EQ(std::fmod(w.engine()->natal().cusps[0], 30.0), 0.0);
    EXPECT_TRUE(w.engine()->extraShown(kFortune));
    EXPECT_NE(page->toPlainText().toStdString().find("福点"), std::string::npos);

    ui.answerModal(true, "流年时间(公历)", confirmTransit("2026", 12, 9, 12, 0, 8));
    w.SbtoZw_liuClick();
    ASSERT_EQ(w.engine()->mode(), ChartMode::Transit);
    const std::string both = page->toPlainText().toStdString();
    EXPECT_NE(both.find("\n流年对本命相位:\n流"), std::string::npos) << both;
    closeWithYes();
}

TEST_F(DialogCommandsTest, EditedPlaceShowsWhenTheProvinceIsPickedAgain) {
    writePlaces();
    TFrmMain& w = start();
    control<QComboBox>("cbodiZ")->setCurrentIndex(0);
    w.cbodiZClick();
    EXPECT_EQ(control<QLineEdit>("ledtjing")->text().toStdString(), "119:18");

    // The editor opens at the panel's province and place.
    control<QComboBox>("cbodiC")->setCurrentIndex(1);
    w.cbodiCClick();
    ui.answerModal(false, "经纬度修改", [](ModalWindow& m) {
        auto& d = dynamic_cast<TFrmDiLi&>(m);
        EXPECT_EQ(d.CboSheng->currentText().toStdString(), "福建省");
        EXPECT_EQ(d.CboShi->currentText().toStdString(), "厦门市");
    });
    w.mnuT_diliClick();
    control<QComboBox>("cbodiC")->setCurrentIndex(0);
    w.cbodiCClick();
    ui.answerModal(true, "经纬度修改", [this](ModalWindow& m) {
        auto& d = dynamic_cast<TFrmDiLi&>(m);
        EXPECT_EQ(d.CboShi->currentText().toStdString(), "福州市");
        d.LedtJingDu->setText("119");
        d.LedtJingFen->setText("5");
        d.LedtWeiDu->setText("26");
        d.LedtWeiFen->setText("5");
        ui.answerYes("确定要修改：福建省福州市 的经纬度数据吗？").expectPlain("完成");
        d.BtoEdit->click();
    });
    w.mnuT_diliClick();
    // The city list is not reloaded by the editor; picking the province again shows the edit.
    EXPECT_EQ(control<QLineEdit>("ledtjing")->text().toStdString(), "119:18");
    w.cbodiZClick();
    EXPECT_EQ(control<QLineEdit>("ledtjing")->text().toStdString(), "119:05");
    EXPECT_EQ(control<QLineEdit>("ledtwei")->text().toStdString(), "26:05");

    // The blood-type test opens from its menu entry too.
    ui.answerModal(true, "血型测试", [](ModalWindow& m) { dynamic_cast<TFrmXue&>(m).select(1, 3, 2); });
    w.mnuT_xueClick();
    closeWithYes();
}

TEST_F(DialogCommandsTest, TheAspectPageListsTheChartTypeOnScreen) {
    TFrmMain& w = start();
    control<QLineEdit>("Edtname")->setText(QString::fromUtf8("甲"));
    w.BtnpaiClick();
    auto* page = control<QPlainTextEdit>("RedtAspects");
    auto pageText = [&] { return page->toPlainText().toStdString(); };
    CaseRecord other{};
    other.setName("乙");
    other.year = 1992, other.month = 3, other.day = 8, other.hour = 20, other.zone = 8;
    w.castWithCase(charttypes::Kind::Synastry, other);
    // A's own aspects, then those between the two people, named by owner.
    EXPECT_EQ(pageText().rfind("本命盘相位:\n", 0), 0u);
    EXPECT_NE(pageText().find("\n合盘相位(乙对甲):\n乙的"), std::string::npos) << pageText();
    w.castWithCase(charttypes::Kind::Composite, other);
    EXPECT_EQ(pageText().rfind("组合盘相位:\n", 0), 0u) << pageText();
    ui.answerModal(true, "盘型:日返照盘", [](ModalWindow& m) { dynamic_cast<TFrmPanXing&>(m).BtnokClick(); });
    w.chartTypeClick(charttypes::Kind::SolarReturn);
    const std::string returned = pageText();
    EXPECT_EQ(returned.rfind("日返照盘相位:\n", 0), 0u) << returned;
    // 排盘设置 draws the return again with the minor aspects, and the page follows.
    ui.answerModal(true, "排盘设置", [](ModalWindow& m) {
        auto& d = dynamic_cast<TFrmSetPan&>(m);
        d.ChkMinor->setChecked(true);
        d.BitBtn2->click();
    });
    w.OmnusetcanClick();
    EXPECT_EQ(w.engine()->caption(), "日返照盘");
    EXPECT_GT(pageText().size(), returned.size());
    closeWithYes();
}
