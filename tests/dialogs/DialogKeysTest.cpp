// The keyboard rule of the dialogs: Enter presses the focused button (取消 cancels and writes
// nothing, 默认值 only restores, 修改 asks), a field or a check box leaves Enter to the default
// button, and Escape cancels.
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <filesystem>

#include "DialogTestSupport.h"
#include "dialogs/Untdili.h"
#include "dialogs/Untliun.h"
#include "dialogs/Untsetpan.h"
#include "platform/qt/DialogKeys.h"
#include "tests/support/ScriptedUi.h"

namespace {
// Focuses `w` in its shown window and presses `key` there, as the keyboard would.
void press(QWidget* w, int key = Qt::Key_Return) {
    installDialogKeys();
    w->window()->show();
    w->setFocus();
    ASSERT_EQ(w->window()->focusWidget(), w);
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(w, &up);
}
}  // namespace

TEST(DialogKeys, EnterInTheChartSettingsPressesTheFocusedButton) {
    const std::string folder = dialogtest::programFolder("keys");
    const std::string path = folder + "dat/set.ini";
    testui::ScriptedUi ui;
    {
        TFrmSetPan d(ui, folder);
        press(d.BitBtn1);  // 取消
        EXPECT_EQ(d.result(), QDialog::Rejected);
        EXPECT_FALSE(d.isVisible());
        EXPECT_FALSE(std::filesystem::exists(path)) << "Enter on 取消 wrote the settings";
    }
    dialogtest::writeUtf8AsGbk(path, "[pan]\npos=3\nline=1\nbkcolor=255\n");
    const std::string before = dialogtest::readBytes(path);
    {
        TFrmSetPan d(ui, folder);
        press(d.Button2);  // 默认值: the defaults shown, the dialog open, nothing written
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.Edit1->text().toStdString(), "5");
        EXPECT_FALSE(d.ChkLine->isChecked());
        EXPECT_EQ(dialogtest::readBytes(path), before);
        // The colour button asks for a colour and nothing else.
        ui.cancelColor();
        press(d.Button1);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(dialogtest::readBytes(path), before);
        // Escape cancels.
        press(d.Edit1, Qt::Key_Escape);
        EXPECT_EQ(d.result(), QDialog::Rejected);
        EXPECT_EQ(dialogtest::readBytes(path), before);
    }
    {
        // In the orb field and on the check box Enter is "done": the default button 确认.
        TFrmSetPan d(ui, folder);
        d.Edit1->setText(QStringLiteral("7"));
        press(d.ChkLine);
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_NE(dialogtest::readBytes(path).find("pos=7"), std::string::npos);
    }
}

TEST(DialogKeys, EnterOnCancelInTheTransitDialogKeepsTheRequest) {
    testqt::app();
    testui::ScriptedUi ui;
    TransitRequest q;
    q.when = DateTimeFields{2001, 2, 3, 4, 5};
    q.zoneIndex = 8;
    TFrmLiuNian d(q, ui);
    d.EdtYear->setText(QStringLiteral("2030"));
    press(d.Btncancel);
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(q.when.year, 2001);
    // "现在时间" is a button like the others.
    TFrmLiuNian again(q, ui);
    press(again.SbtoNow);
    EXPECT_TRUE(again.isVisible());
    EXPECT_EQ(again.EdtYear->text().toStdString(), "2026");  // the scripted clock's year
    EXPECT_EQ(q.when.year, 2001);
    // Enter in the year field confirms.
    again.EdtYear->setText(QStringLiteral("2030"));
    press(again.EdtYear);
    EXPECT_EQ(again.result(), QDialog::Accepted);
    EXPECT_EQ(q.when.year, 2030);
}

TEST(DialogKeys, EnterOnTheEditButtonOfThePlaceEditorAsks) {
    const std::string folder = dialogtest::programFolder("keys");
    dialogtest::writeUtf8AsGbk(folder + "dat/dili.ini", "[福建省]\n福州市=119:18*26:5\n");
    testui::ScriptedUi ui;
    TFrmDiLi d(ui, folder);
    ui.answerNo("确定要修改：福建省福州市 的经纬度数据吗？");
    press(d.BtoEdit);
    EXPECT_TRUE(d.isVisible());
    press(d.BtnClose);
    EXPECT_FALSE(d.isVisible());
}
