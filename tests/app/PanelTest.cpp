// The input panel: its controls and their lists, the place pickers, the city search, "now", the
// year arrows and the checks of the natal command in their order.
#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QListWidget>
#include <QRadioButton>
#include <QToolButton>

#include "MainWindowFixture.h"
#include "platform/qt/UpDown.h"

TEST_F(MainWindowTest, EveryPanelControlExistsByName) {
    start();
    for (const char* name : {"BtoNew", "SbtoNow", "EdtYear", "UpDyear", "cbom", "cbod", "cbos",
                             "cbomin", "Edtname", "Rdogl", "Rdonl", "Chkrun", "Rdona", "Rdonv",
                             "CboXue", "Cboshiqu", "cbodiZ", "SpeedButton1", "cbodiC", "ledtjing",
                             "ledtwei", "SbtoSave", "SbtoZw_liu", "Btnpai", "Tree", "Page1",
                             "ScrollPan", "Imgzhanxing", "LstTitle", "Redtzhanxing", "RedtPingYu"})
        EXPECT_NE(window->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    // Captions and hints of the panel's controls.
    struct Label {
        const char* name;
        const char* caption;  // nullptr: no caption to check
        const char* hint;     // nullptr: no hint to check
    };
    for (const Label& l : std::initializer_list<Label>{
             {"BtoNew", "新建", "新建命例"},
             {"SbtoNow", nullptr, "现在时间"},
             {"Rdogl", "公历", nullptr},
             {"Rdonl", "农历", nullptr},
             {"Chkrun", "农历闰月", nullptr},
             {"Rdona", "男", nullptr},
             {"Rdonv", "女", nullptr},
             {"Cboshiqu", nullptr, "时区"},
             {"SpeedButton1", ">", "输入县市名"},
             {"cbodiC", nullptr, "选择邻近城市"},
             {"SbtoSave", "存新", "保存命例"},
             {"SbtoZw_liu", "流", "流年盘"},
             {"Btnpai", "本命盘", nullptr}}) {
        QWidget* c = window->findChild<QWidget*>(QString::fromLatin1(l.name));
        ASSERT_NE(c, nullptr) << l.name;
        if (l.caption) {
            auto* b = qobject_cast<QAbstractButton*>(c);
            ASSERT_NE(b, nullptr) << l.name;
            EXPECT_EQ(b->text().toStdString(), l.caption) << l.name;
        }
        if (l.hint) {
            EXPECT_EQ(c->toolTip().toStdString(), l.hint) << l.name;
        }
    }
    // The save button is named by its caption, which tells a new case from an opened one; its
    // hint is the description.
    auto* save = control<QToolButton>("SbtoSave");
    EXPECT_EQ(save->accessibleName().toStdString(), "存新");
    EXPECT_EQ(save->accessibleDescription().toStdString(), "保存命例");
    window->showCaseOpen(true);
    EXPECT_EQ(save->accessibleName().toStdString(), "存旧");
    window->showCaseOpen(false);
    EXPECT_EQ(save->accessibleName().toStdString(), "存新");
    // Every button with a caption says it in its name.
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
        if (b->text().isEmpty() || b->text() == QStringLiteral(">") || b->accessibleName().isEmpty()) continue;
        EXPECT_TRUE(b->accessibleName().contains(b->text().remove(QLatin1Char('&'))))
            << b->objectName().toStdString() << ": " << b->accessibleName().toStdString();
    }
    // The labels beside the name and the coordinates.
    std::vector<std::string> labels;
    for (QLabel* label : window->findChildren<QLabel*>()) labels.push_back(label->text().toStdString());
    for (const char* want : {"姓名", "经度", "纬度", "点击选择主题"})
        EXPECT_NE(std::find(labels.begin(), labels.end(), want), labels.end()) << want;
    // The year arrows run 1600 ... 2200 without wrapping round.
    TUpDown* up = control<TUpDown>("UpDyear");
    up->setPosition(1500);
    EXPECT_EQ(up->position(), 1600);
    up->setPosition(2300);
    EXPECT_EQ(up->position(), 2200);
    EXPECT_EQ(control<QLineEdit>("ledtjing")->text().toStdString(), "120:00");  // no place table
    EXPECT_EQ(control<QLineEdit>("ledtwei")->text().toStdString(), "30:00");
    EXPECT_EQ(control<QLineEdit>("Edtname")->text().toStdString(), "某人");
    EXPECT_TRUE(control<QRadioButton>("Rdogl")->isChecked());
    EXPECT_TRUE(control<QRadioButton>("Rdona")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("Chkrun")->isChecked());
    EXPECT_EQ(control<QLineEdit>("EdtYear")->maxLength(), 5);
    EXPECT_EQ(control<QLineEdit>("ledtjing")->maxLength(), 7);
    EXPECT_EQ(control<QLineEdit>("ledtwei")->maxLength(), 6);
    QTabWidget* pages = control<QTabWidget>("Page1");
    ASSERT_EQ(pages->count(), 3);
    EXPECT_EQ(pages->tabText(0).toStdString(), "占星天宫图");
    EXPECT_EQ(pages->tabText(1).toStdString(), "天宫图解说");
    EXPECT_EQ(pages->tabText(2).toStdString(), "相位表");
    closeWithYes();
}

TEST_F(MainWindowTest, ListsHoldTheirExactEntries) {
    start();
    const std::vector<std::string> hours = {
        "0时子",  "1时丑",  "2时丑",  "3时寅",  "4时寅",  "5时卯",  "6时卯",  "7时辰",
        "8时辰",  "9时巳",  "10时巳", "11时午", "12时午", "13时未", "14时未", "15时申",
        "16时申", "17时酉", "18时酉", "19时戌", "20时戌", "21时亥", "22时亥", "23时子"};
    EXPECT_EQ(items("cbos"), hours);
    const std::vector<std::string> zones = {
        "零时区", "东一区", "东二区", "东三区", "东四区",   "东五区", "东六区", "东七区",
        "东八区", "东九区", "东十区", "东十一区", "中十二区", "西一区", "西二区", "西三区",
        "西四区", "西五区", "西六区", "西七区",   "西八区",   "西九区", "西十区", "西十一区"};
    EXPECT_EQ(items("Cboshiqu"), zones);
    const auto provinces = items("cbodiZ");
    EXPECT_EQ(provinces,
              (std::vector<std::string>{
                  "福建省", "北京市", "天津市", "河北省", "山西省", "内蒙古", "辽宁省", "吉林省",
                  "黑龙江省", "上海市", "江苏省", "浙江省", "安徽省", "江西省", "山东省", "河南省",
                  "湖北省", "湖南省", "广东省", "广西", "海南省", "四川省", "重庆市", "贵州省",
                  "云南省", "西藏", "陕西省", "甘肃省", "青海省", "宁夏", "新疆", "台湾省", "香港",
                  "澳门", "未知地"}));
    for (const auto& p : provinces) EXPECT_LE(gbk::byteLength(p), 8u) << p;
    const auto months = items("cbom");
    ASSERT_EQ(months.size(), 12u);
    for (int m = 0; m < 12; ++m) EXPECT_EQ(months[m], std::to_string(m + 1) + "月");
    const auto days = items("cbod");
    ASSERT_EQ(days.size(), 31u);
    for (int d = 0; d < 31; ++d) EXPECT_EQ(days[d], std::to_string(d + 1) + "日");
    const auto minutes = items("cbomin");
    ASSERT_EQ(minutes.size(), 60u);
    for (int m = 0; m < 60; ++m) EXPECT_EQ(minutes[m], std::to_string(m) + "分");
    EXPECT_EQ(items("CboXue"), (std::vector<std::string>{"A型血", "B型血", "AB型血", "O型血"}));
    QListWidget* topics = control<QListWidget>("LstTitle");
    std::vector<std::string> t;
    for (int i = 0; i < topics->count(); ++i) t.push_back(topics->item(i)->text().toStdString());
    EXPECT_EQ(t, (std::vector<std::string>{"星座分析", "血型评说", "行星与星座", "行星相位断",
                                           "行星入12宫"}));
    closeWithYes();
}

TEST_F(MainWindowTest, ProvinceAndCityPickersAndCitySearch) {
    writePlaces();
    writeFile("dat/dili.ini", "[福建省]\n福州市=119:18*26:5\n州=1:0*2:0\n福州市郊外区=119:20*26:10\n"
                              "坏值=119:x*26:5\n厦门市=118:5*24:29\n");
    TFrmMain& w = start();
    EXPECT_EQ(items("cbodiC"),
              (std::vector<std::string>{"福州市", "州", "福州市郊外区", "厦门市"}));  // 坏值 left out
    ASSERT_EQ(w.cityLongitudes().size(), 4u);
    EXPECT_NEAR(w.cityLatitudes()[3], 24 + 29 / 60.0, 1e-5);

    ui.answerInput("厦门");
    w.SpeedButton1Click();
    EXPECT_EQ(control<QComboBox>("cbodiC")->currentText().toStdString(), "厦门市");
    EXPECT_EQ(control<QLineEdit>("ledtjing")->text().toStdString(), "118:05");
    EXPECT_EQ(control<QLineEdit>("ledtwei")->text().toStdString(), "24:29");
    EXPECT_EQ(ui.lastCall().caption, "输入");
    EXPECT_EQ(ui.lastCall().text, "输入县、市、区名：");
    // "州" is found as the entry 州 itself (second), not inside 福州市 (4 bytes longer).
    ui.answerInput("州");
    w.SpeedButton1Click();
    EXPECT_EQ(control<QComboBox>("cbodiC")->currentIndex(), 1);
    // A name typed in full finds itself, not an earlier entry that contains it.
    writeFile("dat/dili.ini", "[福建省]\n峨眉山市=103:29*29:36\n眉山市=103:50*30:4\n");
    w.cbodiZClick();
    ui.answerInput("眉山市");
    w.SpeedButton1Click();
    EXPECT_EQ(control<QComboBox>("cbodiC")->currentIndex(), 1);
    ui.answerInput("眉山");
    w.SpeedButton1Click();
    EXPECT_EQ(control<QComboBox>("cbodiC")->currentIndex(), 1);  // 眉山市: 峨眉山市 is 4 bytes longer
    writeFile("dat/dili.ini", "[福建省]\n福州市=119:18*26:5\n州=1:0*2:0\n福州市郊外区=119:20*26:10\n"
                              "坏值=119:x*26:5\n厦门市=118:5*24:29\n");
    w.cbodiZClick();
    control<QComboBox>("cbodiC")->setCurrentIndex(1);
    w.cbodiCClick();
    // No match and cancel change nothing.
    ui.answerInput("上海");
    w.SpeedButton1Click();
    ui.cancelInput();
    w.SpeedButton1Click();
    EXPECT_EQ(control<QComboBox>("cbodiC")->currentIndex(), 1);

    // A province without a section leaves the city list empty and the fields as they were.
    QComboBox* province = control<QComboBox>("cbodiZ");
    province->setCurrentIndex(2);  // 天津市
    w.cbodiZClick();
    EXPECT_EQ(control<QComboBox>("cbodiC")->count(), 0);
    EXPECT_EQ(control<QLineEdit>("ledtjing")->text().toStdString(), "1:00");
    province->setCurrentIndex(34);
    w.cbodiZClick();
    EXPECT_EQ(items("cbodiC"), std::vector<std::string>{"未知地"});
    EXPECT_EQ(control<QLineEdit>("ledtjing")->text().toStdString(), "120:00");
    EXPECT_EQ(control<QLineEdit>("ledtwei")->text().toStdString(), "30:00");
    EXPECT_FLOAT_EQ(w.cityLongitudes().at(0), 120.0f);
    closeWithYes();
}

TEST_F(MainWindowTest, NowAndYearArrows) {
    ui.clock_.time = LocalMinute{1999, 12, 31, 23, 59};
    TFrmMain& w = start();
    control<QRadioButton>("Rdonl")->setChecked(true);
    control<QCheckBox>("Chkrun")->setChecked(true);
    control<QLineEdit>("EdtYear")->setText("1700");
    ui.clock_.time = LocalMinute{1500, 2, 3, 4, 5};
    w.SbtoNowClick();
    EXPECT_TRUE(control<QRadioButton>("Rdogl")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("Chkrun")->isChecked());
    EXPECT_EQ(control<QLineEdit>("EdtYear")->text().toStdString(), "2200");
    EXPECT_EQ(control<QComboBox>("cbom")->currentIndex(), 1);
    EXPECT_EQ(control<QComboBox>("cbod")->currentIndex(), 2);
    EXPECT_EQ(control<QComboBox>("cbos")->currentIndex(), 4);
    EXPECT_EQ(control<QComboBox>("cbomin")->currentIndex(), 5);
    TUpDown* arrows = control<TUpDown>("UpDyear");
    EXPECT_EQ(arrows->position(), 2200);
    arrows->setPosition(2300);  // no wrap-around
    EXPECT_EQ(arrows->position(), 2200);
    closeWithYes();
}

TEST_F(MainWindowTest, YearArrowsCountFromTheYearInTheField) {
    TFrmMain& w = start();
    QLineEdit* year = control<QLineEdit>("EdtYear");
    TUpDown* arrows = control<TUpDown>("UpDyear");
    const std::size_t calls = ui.calls().size();
    arrows->setPosition(1986);  // the last cast year
    year->setText("2000");
    arrows->upButton()->click();
    EXPECT_EQ(year->text().toStdString(), "2001");
    EXPECT_EQ(arrows->position(), 2001);
    year->setText("1700");
    arrows->downButton()->click();
    EXPECT_EQ(year->text().toStdString(), "1699");
    // At the ends of the range the year stays, also when the arrows' own position could move.
    year->setText("2200");
    arrows->setPosition(1990);
    arrows->upButton()->click();
    EXPECT_EQ(year->text().toStdString(), "2200");
    year->setText("1600");
    arrows->setPosition(2200);
    arrows->downButton()->click();
    EXPECT_EQ(year->text().toStdString(), "1600");
    EXPECT_EQ(ui.calls().size(), calls);
    // A text that is not such a year: the year message, the field as typed.
    for (const char* typed : {"abc", "", "1599", "19900"}) {
        year->setText(typed);
        ui.expectMessage("年份最大范围1600 - 2200");
        arrows->upButton()->click();
        EXPECT_EQ(year->text().toStdString(), typed);
        EXPECT_EQ(ui.lastCall().caption, "年份错误");
    }
    (void)w;
    closeWithYes();
}

namespace {
struct Refusal {
    const char* name;
    const char* year;
    const char* jing;
    const char* wei;
    const char* text;  // nullptr: the format example
    const char* caption;
    MsgIcon icon;
};
}  // namespace

TEST_F(MainWindowTest, NatalChecksStopAtTheFirstFailureInOrder) {
    const std::string example =
        "例如:东经117度48分,北纬25度42分,就按以下格式输入:\n 经度=117:48  纬度=25:42\n"
        "注意:东经为正，西经为负。北纬为正，南纬为负。";
    const Refusal cases[] = {
        {"   ", "abc", "x", "y", "姓名不能为空", "提示", MsgIcon::Information},
        {"某人", "abc", "120:00", "30:00", "年份最大范围1600 - 2200", "年份错误", MsgIcon::Warning},
        {"某人", "1599", "120:00", "30:00", "年份最大范围1600 - 2200", "年份错误", MsgIcon::Warning},
        {"某人", "2201", "120:00", "30:00", "年份最大范围1600 - 2200", "年份错误", MsgIcon::Warning},
        {"某人", "2000", "12", "30:00", nullptr, "格式错误", MsgIcon::Error},
        {"某人", "2000", "120", "30:00", nullptr, "格式错误", MsgIcon::Error},
        {"某人", "2000", "120:", "30:00", nullptr, "格式错误", MsgIcon::Error},
        {"某人", "2000", "120:00", "3000", nullptr, "格式错误", MsgIcon::Error},
        {"某人", "2000", "181:00", "30:00", "经度在-180至180之间", "经度错误", MsgIcon::Error},
        {"某人", "2000", "东经:00", "30:00", "经度在-180至180之间", "经度错误", MsgIcon::Error},
        {"某人", "2000", "120:60", "30:00", "分数在0-59", "格式错误", MsgIcon::Error},
        {"某人", "2000", "120:00", "91:00", "纬度在-90至90之间", "纬度错误", MsgIcon::Error},
        {"某人", "2000", "120:00", "30:-1", "分数在0-59", "格式错误", MsgIcon::Error},
        {"某人", "2000", "180:00", "30:00", "经度在-180至180之间，纬度在-90至90之间", "数据无效",
         MsgIcon::Error},
        {"某人", "2000", "120:00", "90:00", "经度在-180至180之间，纬度在-90至90之间", "数据无效",
         MsgIcon::Error},
    };
    TFrmMain& w = start();
    for (const Refusal& c : cases) {
        SCOPED_TRACE(std::string(c.name) + "|" + c.year + "|" + c.jing + "|" + c.wei);
        control<QLineEdit>("Edtname")->setText(QString::fromUtf8(c.name));
        control<QLineEdit>("EdtYear")->setText(QString::fromUtf8(c.year));
        control<QLineEdit>("ledtjing")->setText(QString::fromUtf8(c.jing));
        control<QLineEdit>("ledtwei")->setText(QString::fromUtf8(c.wei));
        ui.expectMessage(c.text ? std::string(c.text) : example);
        w.BtnpaiClick();
        EXPECT_EQ(ui.lastCall().caption, c.caption);
        EXPECT_EQ(ui.lastCall().icon, c.icon);
        EXPECT_FALSE(w.natalCast());
    }
    // After a failed check the transit command is refused.
    ui.expectMessage("请先排一个本命盘。");
    w.SbtoZw_liuClick();
    EXPECT_EQ(ui.lastCall().caption, "提示");
    closeWithYes();
}

TEST_F(MainWindowTest, NatalCommandFillsTheRequestAndCastsTheChart) {
    TFrmMain& w = start();
    control<QLineEdit>("Edtname")->setText(" 张三");
    control<QLineEdit>("EdtYear")->setText("1985");
    control<QComboBox>("cbom")->setCurrentIndex(2);
    control<QComboBox>("cbod")->setCurrentIndex(6);
    control<QComboBox>("cbos")->setCurrentIndex(8);
    control<QComboBox>("cbomin")->setCurrentIndex(30);
    control<QRadioButton>("Rdonv")->setChecked(true);
    control<QComboBox>("CboXue")->setCurrentIndex(2);
    control<QLineEdit>("ledtjing")->setText("-0:30");
    control<QLineEdit>("ledtwei")->setText("-0:30");
    w.BtnpaiClick();
    const BirthRecord& r = w.birthRequest();
    EXPECT_EQ(r.name, " 张三");  // blanks kept
    EXPECT_EQ(r.birth, (DateTimeFields{1985, 3, 7, 8, 30}));
    EXPECT_EQ(r.zoneIndex, 8);
    EXPECT_EQ(r.male, 0);
    EXPECT_EQ(r.bloodType, 2);
    EXPECT_FLOAT_EQ(r.longitude, 0.5f);  // the sign belongs to the degrees: -0 is 0
    EXPECT_FLOAT_EQ(r.latitude, 0.5f);
    EXPECT_EQ(r.place, "自定义坐标");  // typed coordinates: no city of the province is claimed
    EXPECT_EQ(r.cityIndex, -1);
    EXPECT_EQ(w.currentCase().nameUtf8(), " 张三");
    EXPECT_EQ(w.currentCase().blood, 2);
    EXPECT_EQ(control<TUpDown>("UpDyear")->position(), 1985);
    // A long name is kept whole in request and case; the old name field holds it cut to 10
    // GBK bytes on a character boundary.
    control<QLineEdit>("Edtname")->setText("欧阳诸葛长名字");
    w.BtnpaiClick();
    EXPECT_EQ(w.birthRequest().name, "欧阳诸葛长名字");
    EXPECT_EQ(w.currentCase().displayNameUtf8(), "欧阳诸葛长名字");
    EXPECT_EQ(w.currentCase().nameUtf8(), "欧阳诸葛长");
    EXPECT_TRUE(w.natalCast()) << w.engine()->errorText();
    EXPECT_EQ(w.transitRequest().place, "自定义坐标");
    EXPECT_EQ(control<QTabWidget>("Page1")->currentIndex(), 0);
    closeWithYes();
}

TEST_F(MainWindowTest, EngineRefusalIsShownUnderError) {
    TFrmMain& w = start();
    control<QComboBox>("cbom")->setCurrentIndex(3);   // April
    control<QComboBox>("cbod")->setCurrentIndex(30);  // 31
    ui.expectMessage();
    w.BtnpaiClick();
    EXPECT_EQ(ui.lastCall().caption, "错误");
    EXPECT_EQ(ui.lastCall().icon, MsgIcon::Error);
    EXPECT_FALSE(ui.lastCall().text.empty());
    EXPECT_FALSE(w.natalCast());
    closeWithYes();
}

TEST_F(MainWindowTest, WindowLayoutCarriesItsDesignAttributes) {
    start();
    QListWidget* topics = control<QListWidget>("LstTitle");
    EXPECT_EQ(topics->font().pointSize(), 9);
    EXPECT_EQ(topics->palette().color(QPalette::Text), QColor(Qt::blue));
    EXPECT_EQ(topics->flow(), QListView::LeftToRight);  // the five topics side by side
    QLabel* bar = nullptr;
    for (QLabel* l : window->findChildren<QLabel*>())
        if (l->text() == QStringLiteral("点击选择主题")) bar = l;
    ASSERT_NE(bar, nullptr);
    EXPECT_NE(bar->styleSheet().indexOf(QStringLiteral("green")), -1);
    EXPECT_EQ(control<QTextEdit>("Redtzhanxing")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_FALSE(control<QTextEdit>("RedtPingYu")->tabChangesFocus());  // the tab key is text
    EXPECT_TRUE(window->chartPage().fitting());  // the whole chart in view by default
    closeWithYes();
}
