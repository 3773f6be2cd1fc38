// 选项 → 界面文字: switching to traditional characters converts every window at once (menus,
// captions, the reading, the chart, the perpetual calendar), keeps the choice in the settings
// file, and switching back restores every caption exactly.
#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QTabBar>
#include <QTextEdit>

#include "calendar/ui/Untwnl.h"
#include "tests/app/MainWindowFixture.h"

namespace {
// Every text a window shows of its own: titles, captions, hints, accessible names, list items
// and menu entries.
std::vector<std::string> shownTexts(QWidget* root) {
    std::vector<std::string> out;
    auto add = [&out](const QString& s) { out.push_back(s.toStdString()); };
    QList<QWidget*> all = root->findChildren<QWidget*>();
    all.prepend(root);
    for (QWidget* w : all) {
        add(w->windowTitle());
        add(w->toolTip());
        add(w->accessibleName());
        add(w->accessibleDescription());
        if (auto* l = qobject_cast<QLabel*>(w)) add(l->text());
        if (auto* b = qobject_cast<QAbstractButton*>(w)) add(b->text());
        if (auto* g = qobject_cast<QGroupBox*>(w)) add(g->title());
        if (auto* t = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < t->count(); ++i) add(t->tabText(i));
        if (auto* c = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < c->count(); ++i) add(c->itemText(i));
        for (QAction* a : w->actions()) add(a->text() + a->toolTip());
    }
    return out;
}

bool contains(const std::vector<std::string>& texts, const std::string& what) {
    for (const std::string& t : texts)
        if (t.find(what) != std::string::npos) return true;
    return false;
}
}  // namespace

TEST_F(MainWindowTest, InterfaceScriptSwitchesEveryWindowAndBack) {
    writePlaces();
    TFrmMain& w = start();
    control<QLineEdit>("Edtname")->setText(QStringLiteral("某人"));
    control<QLineEdit>("EdtYear")->setText(QStringLiteral("1985"));
    control<QComboBox>("cbom")->setCurrentIndex(2);
    w.BtnpaiClick();
    ASSERT_TRUE(w.natalCast());
    w.mnuT_wnlClick();
    TFrmWnl* wnl = w.calendarWindow();
    ASSERT_NE(wnl, nullptr);
    const std::vector<std::string> before = shownTexts(&w);
    const std::vector<std::string> calendarBefore = shownTexts(wnl);
    const std::string reading = w.reading().text();
    const QImage chart = w.chartImage().copy();
    const QImage grid = wnl->gridImage().copy();
    ASSERT_NE(reading.find("性格特征"), std::string::npos);

    action("mnuScriptTw")->trigger();
    EXPECT_EQ(w.textScript(), TextScript::Taiwan);
    EXPECT_EQ(w.menuBar()->actions()[1]->text().toStdString(), "輔助工具(&T)");
    const std::vector<std::string> tw = shownTexts(&w);
    EXPECT_TRUE(contains(tw, "天宮圖解說"));
    EXPECT_FALSE(contains(tw, "天宫图解说"));
    EXPECT_EQ(control<QLineEdit>("Edtname")->text().toStdString(), "某人");  // typed: as typed
    EXPECT_NE(w.reading().text().find("性格特徵"), std::string::npos);
    EXPECT_EQ(w.reading().text().find("性格特征"), std::string::npos);
    EXPECT_NE(w.chartImage(), chart);
    EXPECT_NE(wnl->gridImage(), grid);
    EXPECT_NE(wnl->memjie1->toPlainText().toStdString().find("驚蟄"), std::string::npos);
    EXPECT_EQ(IniFile(settingsPath()).readString("window", "script", ""), "台湾");
    // A place typed in traditional characters is found in the simplified table.
    ui.answerInput("廈門");
    w.SpeedButton1Click();
    EXPECT_EQ(sourceText(control<QComboBox>("cbodiC")).toStdString(), "厦门市");
    EXPECT_EQ(control<QComboBox>("cbodiC")->currentText().toStdString(), "廈門市");
    // A topic of the reading still finds its heading in the converted reading.
    auto* topics = control<QListWidget>("LstTitle");
    ASSERT_GE(topics->count(), 2);
    EXPECT_EQ(topics->item(1)->text().toStdString(), "血型評說");
    topics->setCurrentRow(1);
    w.LstTitleClick();
    const int heading = w.reading().find("血型評說:", 0, w.reading().length());
    ASSERT_GT(heading, 0);
    EXPECT_EQ(control<QTextEdit>("Redtzhanxing")->textCursor().position(), heading);

    action("mnuScriptHk")->trigger();
    EXPECT_TRUE(contains(shownTexts(&w), "天宮圖解説"));

    action("mnuScriptHans")->trigger();
    EXPECT_EQ(shownTexts(&w), before);
    EXPECT_EQ(shownTexts(wnl), calendarBefore);
    EXPECT_EQ(w.reading().text(), reading);
    EXPECT_EQ(w.chartImage(), chart);
    EXPECT_EQ(wnl->gridImage(), grid);

    // The choice comes back with the next start.
    action("mnuScriptTw")->trigger();
    restart();
    EXPECT_EQ(window->textScript(), TextScript::Taiwan);
    EXPECT_EQ(window->menuBar()->actions()[1]->text().toStdString(), "輔助工具(&T)");
}
