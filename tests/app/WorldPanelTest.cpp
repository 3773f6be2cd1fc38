// The panel's world places and clocks: the city search, the place text actually used, the
// question when the time-zone database's offset differs from the panel's zone, and the case
// record keeping the answer, the offset, the city and the full name.
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QLineEdit>
#include <cmath>

#include "MainWindowFixture.h"
#include "dialogs/Untliun.h"

namespace {
struct WorldPanel : MainWindowTest {
    void setMoment(int year, int month, int day, int hour) {
        control<QLineEdit>("EdtYear")->setText(QString::number(year));
        control<QComboBox>("cbom")->setCurrentIndex(month - 1);
        control<QComboBox>("cbod")->setCurrentIndex(day - 1);
        control<QComboBox>("cbos")->setCurrentIndex(hour);
        control<QComboBox>("cbomin")->setCurrentIndex(0);
    }
    // Types into the search field and picks the first result whose label holds `label`.
    void pickCity(TFrmMain& w, const char* text, const std::string& label) {
        auto* field = control<QLineEdit>("EdtCity");
        field->setText(QString::fromUtf8(text));
        emit field->textEdited(field->text());
        auto* list = control<QComboBox>("CboCity");
        int at = -1;
        for (int i = 0; i < list->count() && at < 0; ++i)
            if (at < 0 && list->itemText(i).toStdString().find(label) != std::string::npos) at = i;
        ASSERT_GE(at, 0) << label;
        list->setCurrentIndex(at);
        emit list->activated(at);
        (void)w;
    }
};
}  // namespace

TEST_F(WorldPanel, WorldCityCastsAtTheClockOfTheBirthAfterAsking) {
    TFrmMain& w = start();
    pickCity(w, "new york", "纽约市 (New York)");
    EXPECT_EQ(control<QLineEdit>("ledtjing")->text().toStdString(), "-74:00");
    EXPECT_EQ(control<QLineEdit>("ledtwei")->text().toStdString(), "40:43");
    EXPECT_EQ(control<QComboBox>("Cboshiqu")->currentIndex(), 17);  // 西五区
    setMoment(1990, 7, 1, 10);
    ui.answerYes("1990年7月1日 纽约市处于夏令时（UTC-4）：出生证明上的时间通常是夏令时。按夏令时排盘？");
    w.BtnpaiClick();
    ASSERT_TRUE(w.natalCast()) << w.engine()->errorText();
    EXPECT_EQ(w.birthRequest().utcOffsetSeconds, -4 * 3600);
    EXPECT_EQ(w.birthRequest().place, "美国-纽约市 (New York)");
    int32_t offset = 0;
    ASSERT_TRUE(w.currentCase().exactOffset(offset));
    EXPECT_EQ(offset, -4 * 3600);
    EXPECT_GE(w.currentCase().worldCity(), 0);
    EXPECT_EQ(w.currentCase().summerAnswer(), 1);
    EXPECT_EQ(control<QLabel>("LblCast")->text().toStdString(),
              "地点:美国-纽约市 (New York)\n时钟:UTC-04:00 夏令时");
    // The answer stands for the same moment: casting again does not ask again.
    w.BtnpaiClick();
    EXPECT_EQ(w.birthRequest().utcOffsetSeconds, -4 * 3600);
    // In winter the database agrees with the panel: no question, the zone list's clock.
    setMoment(1990, 1, 1, 10);
    w.BtnpaiClick();
    EXPECT_EQ(w.birthRequest().utcOffsetSeconds, BirthRecord::kZoneListOffset);
    EXPECT_EQ(w.currentCase().summerAnswer(), 0);

    // Kolkata: half an hour off any zone of the list.
    pickCity(w, "Kolkata", "Kolkata");
    setMoment(1990, 1, 1, 10);
    ui.answerYes("1990年1月1日 加尔各答的时钟是UTC+5:30，时区列表只有整点时区。按UTC+5:30排盘？（选“否”按东六区）");
    w.BtnpaiClick();
    EXPECT_EQ(w.birthRequest().utcOffsetSeconds, 5 * 3600 + 1800);
    closeWithYes();
}

TEST_F(WorldPanel, ChinaSummerTimeIsAskedAndAnsweredEitherWay) {
    writePlaces();
    TFrmMain& w = start();
    pickCity(w, "北京", "北京 — 北京市");  // the province table's entry
    EXPECT_EQ(control<QComboBox>("cbodiZ")->currentText().toStdString(), "北京市");
    setMoment(1988, 7, 1, 10);
    ui.answerYes("1988年7月1日 北京处于夏令时（UTC+9）：出生证明上的时间通常是夏令时。按夏令时排盘？");
    w.BtnpaiClick();
    EXPECT_EQ(w.birthRequest().utcOffsetSeconds, 9 * 3600);
    EXPECT_EQ(w.birthRequest().place, "北京市-北京");
    // The same moment entered as a lunar date (1988 五月十八) is looked up at its Gregorian day:
    // the answer just given stands.
    control<QRadioButton>("Rdonl")->setChecked(true);
    setMoment(1988, 5, 18, 10);
    w.BtnpaiClick();
    EXPECT_EQ(w.birthRequest().utcOffsetSeconds, 9 * 3600);
    control<QRadioButton>("Rdogl")->setChecked(true);
    // 否: the panel's zone exactly as before, and the answer kept.
    setMoment(1989, 7, 1, 10);
    ui.answerNo();
    w.BtnpaiClick();
    EXPECT_EQ(w.birthRequest().utcOffsetSeconds, BirthRecord::kZoneListOffset);
    EXPECT_EQ(w.currentCase().summerAnswer(), 2);
    int32_t offset = 0;
    EXPECT_FALSE(w.currentCase().exactOffset(offset));
    // The hour skipped when summer time began: what the clock did, and nothing cast.
    setMoment(1986, 5, 4, 2);
    ui.expectMessage("1986年5月4日在Asia/Shanghai，时钟走到2时0分即拨到3时0分（UTC+08:00改为UTC+09:00），"
                     "1986年5月4日2时0分这一时刻不存在。请核对时间。");
    w.BtnpaiClick();
    EXPECT_EQ(w.natalCast(), false);
    // The hour shown twice when it ended: the two offsets are the answers, closing casts nothing.
    setMoment(1986, 9, 14, 1);
    ui.answerChoice(-1);
    w.BtnpaiClick();
    EXPECT_EQ(ui.lastCall().answers, (std::vector<std::string>{"UTC+09:00", "UTC+08:00"}));
    EXPECT_FALSE(w.natalCast());
    ui.answerChoice(0);
    w.BtnpaiClick();
    EXPECT_EQ(w.birthRequest().utcOffsetSeconds, 9 * 3600);
    closeWithYes();
}

TEST_F(WorldPanel, SavedCaseReopensToTheSameInstantPlaceAndName) {
    TFrmMain& w = start();
    control<QLineEdit>("Edtname")->setText("欧阳青青长长的名字十");  // 10 characters
    pickCity(w, "new york", "纽约市 (New York)");
    setMoment(1990, 7, 1, 10);
    ui.answerYes();
    w.BtnpaiClick();
    const BirthRecord cast = w.birthRequest();
    CaseRecord saved = w.currentCase();
    ASSERT_TRUE(db->Append(saved) >= 0);
    restart();
    CaseRecord read;
    ASSERT_TRUE(db->ReadRecord(saved.number, read));
    window->fillPanelFromCase(read);
    const BirthRecord again = window->panelRequestFromCase(read);
    EXPECT_EQ(again.name, "欧阳青青长长的名字十");
    EXPECT_EQ(again.utcOffsetSeconds, cast.utcOffsetSeconds);
    EXPECT_EQ(again.place, cast.place);
    EXPECT_FLOAT_EQ(again.longitude, cast.longitude);
    EXPECT_EQ(again.birth, cast.birth);
    // The zone comes back too: the chart types read New York's clock at their own instants.
    EXPECT_EQ(cast.zoneId, "America/New_York");
    EXPECT_EQ(again.zoneId, "America/New_York");
    EXPECT_EQ(control<QLabel>("LblCast")->text().toStdString(),
              "地点:美国-纽约市 (New York)\n时钟:UTC-04:00 夏令时");
    // Casting the reopened case asks nothing: the answer came with it.
    window->BtnpaiClick();
    EXPECT_EQ(window->birthRequest().utcOffsetSeconds, -4 * 3600);
    closeWithYes();
}

TEST_F(WorldPanel, TransitOfANewYorkChartIsCastAtNewYorksClock) {
    TFrmMain& w = start();
    pickCity(w, "new york", "纽约市 (New York)");
    setMoment(1990, 1, 1, 10);
    w.BtnpaiClick();
    // 4 July 2026 12:00 at the place's clock (UTC-4 in summer) is 12:00 of the list's 西四区.
    auto moonAt = [&](int zone) {
        ui.answerModal(true, "流年时间(公历)", [zone](ModalWindow& m) {
            auto& d = dynamic_cast<TFrmLiuNian&>(m);
            d.EdtYear->setText("2026");
            d.cbom->setCurrentIndex(6);
            d.cbod->setCurrentIndex(3);
            d.cbos->setCurrentIndex(12);
            if (zone >= 0) d.Cboshiqu->setCurrentIndex(zone);
            d.BtnokClick();
        });
        w.SbtoZw_liuClick();
        return w.engine()->transitBodies()[1].longitude;
    };
    EXPECT_NEAR(moonAt(-1), moonAt(16), 1e-9);
    closeWithYes();
}

TEST_F(WorldPanel, AWorldCityOfTheProvinceTableIsTakenAsItsEntry) {
    writePlaces();
    TFrmMain& w = start();
    pickCity(w, "Beijing", "(Beijing)");  // the atlas's city, not the table's line
    EXPECT_EQ(control<QComboBox>("cbodiZ")->currentText().toStdString(), "北京市");
    EXPECT_EQ(control<QComboBox>("cbodiC")->currentText().toStdString(), "北京");
    EXPECT_EQ(control<QLineEdit>("ledtjing")->text().toStdString(), "116:24");
    // The place line follows the pick before any cast.
    EXPECT_EQ(control<QLabel>("LblCast")->text().toStdString(), "地点:北京市-北京\n时钟:Asia/Shanghai");
    pickCity(w, "new york", "纽约市 (New York)");
    EXPECT_EQ(control<QLabel>("LblCast")->text().toStdString(),
              "地点:美国-纽约市 (New York)\n时钟:America/New_York");
    closeWithYes();
}

TEST_F(WorldPanel, BeforeStandardTimeTheClockIsTheLocalMeanTimeOfThePlace) {
    TFrmMain& w = start();
    pickCity(w, "北京", "北京");
    setMoment(1880, 6, 1, 12);
    ui.answerYes();
    w.BtnpaiClick();
    ASSERT_TRUE(w.natalCast()) << w.engine()->errorText();
    EXPECT_NE(ui.lastCall().text.find("地方平时"), std::string::npos) << ui.lastCall().text;
    // Beijing's own mean time, about 7 h 46 min ahead of Greenwich (not Shanghai's 8 h 05 min).
    const int offset = w.birthRequest().utcOffsetSeconds;
    EXPECT_EQ(offset, static_cast<int>(std::lround(w.birthRequest().longitude * 240.0)));
    EXPECT_NEAR(offset, 7 * 3600 + 46 * 60, 120);
    EXPECT_NE(control<QLabel>("LblCast")->text().toStdString().find("地方平时"), std::string::npos);
    closeWithYes();
}
