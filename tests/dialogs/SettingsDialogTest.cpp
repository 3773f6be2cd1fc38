// The chart settings dialog over dat/set.ini: defaults, "确认" in its order, "取消" writing
// nothing, the colour dialog, stored values the arrows cannot hold, a failed write, the typed
// orb, and the chart options.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <cctype>
#include <filesystem>
#include <sys/stat.h>

#include "DialogTestSupport.h"
#include "chart/ChartSettings.h"
#include "dialogs/Untsetpan.h"
#include "platform/core/IniFile.h"
#include "tests/support/ScriptedUi.h"

namespace {
const char* const kWritten = "[pan]\r\npos=%d\r\nbkcolor=%d\r\nline=%d\r\n";

// Types into a field key by key, as the keyboard does (the field's validator sees each key).
void typeInto(QLineEdit* field, const char* text) {
    for (const char* c = text; *c; ++c) {
        QKeyEvent key(QEvent::KeyPress, std::toupper(static_cast<unsigned char>(*c)), Qt::NoModifier,
                      QString(QChar::fromLatin1(*c)));
        QApplication::sendEvent(field, &key);
    }
}

std::string written(int pos, int bkcolor, int line) {
    char buf[96];
    std::snprintf(buf, sizeof buf, kWritten, pos, bkcolor, line);
    return buf;
}
}  // namespace

TEST(SettingsDialog, FirstOpenShowsTheDefaultsAndConfirmCreatesTheFile) {
    const std::string folder = dialogtest::programFolder("setpan");
    testui::ScriptedUi ui;
    TFrmSetPan d(ui, folder);
    dialogtest::expectFrame(d, "排盘设置", 9);
    EXPECT_EQ(d.GroupBox1->title().toStdString(), "背景色");
    EXPECT_EQ(d.Button1->text().toStdString(), "设置");
    EXPECT_EQ(d.Label1->text().toStdString(), "相位最大允许误差值(度)");
    EXPECT_EQ(d.ChkLine->text().toStdString(), "显示星座界线");
    EXPECT_EQ(d.Button2->text().toStdString(), "默认值");
    EXPECT_EQ(d.BitBtn2->text().toStdString(), "确认");
    EXPECT_EQ(d.BitBtn1->text().toStdString(), "取消");
    EXPECT_EQ(d.LabColor->size(), QSize(49, 49));
    EXPECT_FALSE(d.Edit1->isReadOnly());

    EXPECT_EQ(d.Edit1->text().toStdString(), "5");
    EXPECT_EQ(d.swatchColor(), (Rgb{255, 255, 255}));
    EXPECT_FALSE(d.ChkLine->isChecked());
    d.BitBtn2->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(dialogtest::readBytes(folder + "dat/set.ini"), written(5, 16777215, 0));
}

TEST(SettingsDialog, CancelAndDefaultsWriteNothing) {
    const std::string folder = dialogtest::programFolder("setpan");
    const std::string path = folder + "dat/set.ini";
    dialogtest::writeUtf8AsGbk(path, "[pan]\npos=3\nline=1\nbkcolor=255\n");
    testui::ScriptedUi ui;
    {
        TFrmSetPan d(ui, folder);
        EXPECT_EQ(d.Edit1->text().toStdString(), "3");
        EXPECT_EQ(d.swatchColor(), (Rgb{255, 0, 0}));
        EXPECT_TRUE(d.ChkLine->isChecked());
        // The orb moves through the arrows within 1..10.
        for (int i = 0; i < 5; ++i) d.UDownPos->upButton()->click();
        EXPECT_EQ(d.Edit1->text().toStdString(), "8");
        ui.answerColor(Rgb{0, 0, 255});
        d.Button1->click();
        EXPECT_EQ(ui.lastCall().color, (Rgb{255, 0, 0}));  // pre-set with the swatch
        EXPECT_EQ(d.swatchColor(), (Rgb{0, 0, 255}));
        ui.cancelColor();
        d.Button1Click();
        EXPECT_EQ(d.swatchColor(), (Rgb{0, 0, 255}));
        d.Button2->click();
        EXPECT_EQ(d.Edit1->text().toStdString(), "5");
        EXPECT_EQ(d.swatchColor(), (Rgb{255, 255, 255}));
        EXPECT_FALSE(d.ChkLine->isChecked());
        d.BitBtn1->click();
        EXPECT_EQ(d.result(), QDialog::Rejected);
    }
    EXPECT_EQ(dialogtest::readBytes(path), gbk::fromUtf8("[pan]\npos=3\nline=1\nbkcolor=255\n"));
}

TEST(SettingsDialog, StoredValuesOutsideTheControlsAreShownAndWrittenInRange) {
    const std::string folder = dialogtest::programFolder("setpan");
    const std::string path = folder + "dat/set.ini";
    testui::ScriptedUi ui;
    for (const auto& [stored, shown] : {std::pair{15, "10"}, std::pair{0, "1"}, std::pair{-3, "1"}}) {
        dialogtest::writeUtf8AsGbk(path, "[pan]\npos=" + std::to_string(stored) + "\nline=7\nbkcolor=$FF8040\n");
        TFrmSetPan d(ui, folder);
        EXPECT_EQ(d.Edit1->text().toStdString(), shown) << stored;
        EXPECT_TRUE(d.ChkLine->isChecked());
        d.BitBtn2Click();
        EXPECT_EQ(dialogtest::readBytes(path),
                  gbk::fromUtf8("[pan]\r\npos=" + std::string(shown) + "\r\nline=1\r\nbkcolor=16744512\r\n"));
    }
}

TEST(SettingsDialog, FailedWriteIsShownAndTheDialogStaysOpen) {
    const std::string folder = dialogtest::programFolder("setpan");
    const std::string path = folder + "dat/set.ini";
    dialogtest::writeUtf8AsGbk(path, "[pan]\npos=3\n");
    ::chmod(path.c_str(), 0444);
    testui::ScriptedUi ui;
    TFrmSetPan d(ui, folder);
    d.UDownPos->upButton()->click();
    ui.expectError("无法写入文件“" + path + "”（可能是只读文件或磁盘已满）。");
    d.BitBtn2->click();
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_EQ(dialogtest::readBytes(path), "[pan]\npos=3\n");
    ::chmod(path.c_str(), 0644);
}

TEST(SettingsDialog, TheOrbIsTypedAsWellAsSteppedAndOnlyOneToTenIsStored) {
    const std::string folder = dialogtest::programFolder("setpan");
    const std::string path = folder + "dat/set.ini";
    testui::ScriptedUi ui;
    TFrmSetPan d(ui, folder);
    // Typed: the arrows count on from the typed value.
    d.Edit1->setText(QString());
    typeInto(d.Edit1, "8");
    EXPECT_EQ(d.orb(), 8);
    d.UDownPos->upButton()->click();
    EXPECT_EQ(d.Edit1->text().toStdString(), "9");
    // The field takes nothing outside 1..10.
    for (const char* refused : {"x", "-1", "5.5"}) {
        d.Edit1->setText(QStringLiteral("7"));
        d.Edit1->selectAll();
        typeInto(d.Edit1, refused);
        EXPECT_NE(d.Edit1->text().toStdString(), refused) << refused;
    }
    d.Edit1->setText(QStringLiteral("10"));
    EXPECT_EQ(d.orb(), 10);
    // A field on its way to a number (empty, "0") is refused on 确认 with what it accepts;
    // nothing is written.
    for (const char* unfinished : {"", "0", "11"}) {
        d.Edit1->setText(QString::fromLatin1(unfinished));
        EXPECT_EQ(d.orb(), 0);
        ui.expectMessage("相位最大允许误差值在1到10度之间");
        d.BitBtn2->click();
        EXPECT_NE(d.result(), QDialog::Accepted);
        EXPECT_FALSE(std::filesystem::exists(path));
    }
    d.Edit1->setText(QStringLiteral("2"));
    d.BitBtn2->click();
    EXPECT_EQ(dialogtest::readBytes(path), written(2, 16777215, 0));
}

TEST(SettingsDialog, ChartOptionsAreShownStoredAndGoBackToTheirDefaults) {
    const std::string folder = dialogtest::programFolder("setpan");
    const std::string path = folder + "dat/set.ini";
    dialogtest::writeUtf8AsGbk(path, "[pan]\npos=4\nhouses=K\norbtri=8\nminor=1\nminororb=3\n"
                                     "lilith=1\nprecise=1\n");
    testui::ScriptedUi ui;
    {
        TFrmSetPan d(ui, folder);
        dialogtest::expectFrame(d, "排盘设置", 9);
        // Every new control is named by its caption.
        EXPECT_EQ(d.ChkPrecise->text().toStdString(), "精确计算");
        EXPECT_EQ(d.GrpOptions->accessibleName().toStdString(), "星盘选项");
        EXPECT_EQ(d.CbxHouses->accessibleName().toStdString(), "宫位制");
        EXPECT_EQ(d.CbxOrbs[0]->accessibleName().toStdString(), "相合容许度");
        EXPECT_EQ(d.CbxOrbs[4]->accessibleName().toStdString(), "相冲容许度");
        EXPECT_EQ(d.CbxMinorOrb->accessibleName().toStdString(), "次要相位容许度");
        EXPECT_EQ(d.ChkMinor->text().toStdString(), "次要相位");
        EXPECT_EQ(d.CbxHouses->count(), 7);

        EXPECT_TRUE(d.ChkPrecise->isChecked());
        EXPECT_EQ(d.CbxHouses->currentText().toStdString(), "科赫 (K)");
        EXPECT_EQ(d.CbxOrbs[0]->currentText().toStdString(), "通用");
        EXPECT_EQ(d.CbxOrbs[3]->currentText().toStdString(), "8");
        EXPECT_TRUE(d.ChkMinor->isChecked());
        EXPECT_EQ(d.CbxMinorOrb->currentText().toStdString(), "3");
        EXPECT_TRUE(d.ChkLilith->isChecked());
        EXPECT_FALSE(d.ChkTrueNode->isChecked() || d.ChkFortune->isChecked());
        // Progressed angles: a file without the key means the solar arc.
        EXPECT_EQ(d.CbxProgAngles->accessibleName().toStdString(), "推运天顶");
        EXPECT_EQ(d.CbxProgAngles->currentText().toStdString(), "太阳弧");
        d.CbxProgAngles->setCurrentIndex(1);

        d.CbxHouses->setCurrentIndex(d.CbxHouses->findText(QString::fromUtf8("整宫 (W)")));
        d.CbxOrbs[4]->setCurrentIndex(10);
        d.ChkFortune->setChecked(true);
        d.ChkPrecise->setChecked(false);
        d.BitBtn2->click();
        ASSERT_EQ(d.result(), QDialog::Accepted);
    }
    const ChartSettings s = ChartSettings::load(IniFile(path));
    EXPECT_EQ(s.orb, 4);
    EXPECT_EQ(s.houseSystem, 'W');
    EXPECT_EQ(s.majorOrbs, (std::array<int32_t, 5>{0, 0, 0, 8, 10}));
    EXPECT_TRUE(s.minorAspects && s.lilith && s.fortune);
    EXPECT_FALSE(s.precise || s.trueNode);
    EXPECT_EQ(s.minorOrb, 3);
    EXPECT_EQ(s.progressedAngles, ChartSettings::kNaibodAngles);
    {
        TFrmSetPan d(ui, folder);
        d.Button2->click();
        EXPECT_EQ(d.CbxProgAngles->currentIndex(), 0);
        EXPECT_EQ(d.CbxHouses->currentText().toStdString(), "普拉西度 (P)");
        EXPECT_FALSE(d.ChkMinor->isChecked() || d.ChkFortune->isChecked());
        d.BitBtn2->click();
    }
    EXPECT_EQ(dialogtest::readBytes(path), written(5, 16777215, 0));
}

TEST(SettingsDialog, AsteroidsAndFixedStarsInGroupsOfTheirOwn) {
    const std::string folder = dialogtest::programFolder("setpan");
    const std::string path = folder + "dat/set.ini";
    dialogtest::writeUtf8AsGbk(path, "[pan]\npos=5\njuno=1\nstars=1\nstarorb=90\n");
    testui::ScriptedUi ui;
    {
        TFrmSetPan d(ui, folder);
        EXPECT_EQ(d.GrpAsteroids->accessibleName().toStdString(), "小行星");
        EXPECT_EQ(d.GrpStars->accessibleName().toStdString(), "恒星");
        EXPECT_EQ(d.CbxStarOrb->accessibleName().toStdString(), "恒星误差");
        const char* names[5] = {"凯龙星", "谷神星", "智神星", "婚神星", "灶神星"};
        for (int b = 0; b < 5; ++b) {
            EXPECT_EQ(d.ChkAsteroids[b]->text().toStdString(), names[b]);
            EXPECT_EQ(d.ChkAsteroids[b]->isChecked(), b == 3) << names[b];
        }
        EXPECT_TRUE(d.ChkStars->isChecked());
        EXPECT_FALSE(d.ChkStarMarks->isChecked());
        EXPECT_EQ(d.CbxStarOrb->currentText().toStdString(), "1.5°");
        d.ChkAsteroids[0]->setChecked(true);
        d.ChkAsteroids[3]->setChecked(false);
        d.CbxStarOrb->setCurrentIndex(0);
        d.ChkStarMarks->setChecked(true);
        d.BitBtn2->click();
        ASSERT_EQ(d.result(), QDialog::Accepted);
    }
    const ChartSettings s = ChartSettings::load(IniFile(path));
    EXPECT_EQ(s.asteroids, (std::array<bool, 5>{true, false, false, false, false}));
    EXPECT_TRUE(s.fixedStars && s.starMarks);
    EXPECT_EQ(s.starOrb, 30);
    {
        TFrmSetPan d(ui, folder);
        d.Button2->click();  // all off, the orb back to 1 degree: no key of theirs is left
        EXPECT_FALSE(d.ChkAsteroids[0]->isChecked() || d.ChkStars->isChecked());
        d.BitBtn2->click();
    }
    EXPECT_EQ(dialogtest::readBytes(path), written(5, 16777215, 0));
}
