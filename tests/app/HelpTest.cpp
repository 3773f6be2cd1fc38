// The help window: every command a user can reach is explained on the usage page, and the pages
// come out as formatted text (a Markdown mark that did not take shows as stray * or #).
#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>
#include <set>

#include "MainWindowFixture.h"
#include "app/Unttxthelp.h"
#include "dialogs/Untforecast.h"
#include "dialogs/Untpanxing.h"
#include "dialogs/Untsetpan.h"

namespace {
std::string pageText(const TFrmTxtHelp& help, int index) {
    auto* text = qobject_cast<QTextEdit*>(help.pages()->widget(index));
    return text ? text->toPlainText().toStdString() : std::string();
}

// A caption as the user reads it: "文件(&F)" is the menu 文件, "&&" a plain "&".
std::string shown(QString caption) {
    caption.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return caption.trimmed().toStdString();
}

// What a user reads on a dialog: labels, check boxes, buttons, frames and the entries of its
// lists. Numbers ("5", "12月") are values, not settings; a list entry's code in brackets
// ("整宫 (W)") is left off. Lists of names (zones, bodies) are values too where `lists` is false.
void addCaptions(const QWidget& dialog, std::set<std::string>& out, bool lists = true) {
    auto add = [&](const QString& text) {
        QString t = text;
        t.remove(QRegularExpression(QStringLiteral("\\s*\\([A-Z]\\)$")));
        const std::string c = shown(t);
        if (!c.empty() && !t.contains(QRegularExpression(QStringLiteral("[0-9]")))) out.insert(c);
    };
    for (const QLabel* l : dialog.findChildren<QLabel*>()) add(l->text());
    for (const QGroupBox* g : dialog.findChildren<QGroupBox*>()) add(g->title());
    for (const QAbstractButton* b : dialog.findChildren<QAbstractButton*>())
        if (!qobject_cast<const QToolButton*>(b)) add(b->text());
    for (const QComboBox* c : dialog.findChildren<QComboBox*>())
        if (lists)
            for (int i = 0; i < c->count(); ++i) add(c->itemText(i));
}
}  // namespace

TEST_F(MainWindowTest, UsagePageExplainsEveryMenuAndContextMenuEntry) {
    writeFile("skins/Mx1.skn", "");  // so the skin menu offers 系统默认 too
    TFrmMain& w = start();

    // Every menu of the window: the menu bar and its submenus, the popups over the chart, the
    // reading and the comment, and the case tree's context menu. Entries that are file or
    // category names (the skins, the "移动到" targets) are the user's, not commands.
    std::set<std::string> captions;
    for (QMenu* menu : w.findChildren<QMenu*>()) {
        const std::string title = shown(menu->title());
        if (!title.empty()) captions.insert(title);
        if (title == "移动到") continue;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator() || a->menu() != nullptr) continue;
            if (menu == w.skinMenu() && a->property("tag").toInt() == 0) continue;
            captions.insert(shown(a->text()));
        }
    }
    // The case tree's context menu, also while it is built elsewhere.
    for (const char* c : {"查看命例", "移动到", "删除命例", "增加类别", "修改类名", "删除类别",
                          "保存类别", "查找", "显示全部命例", "展开", "收缩"})
        captions.insert(c);
    // (The two popups now share "粘贴" and "设置选中文字".)
    ASSERT_GE(captions.size(), 43u) << "the walk missed the window's menus";

    TFrmTxtHelp help;
    const std::string usage = pageText(help, 0);
    for (const std::string& c : captions)
        EXPECT_NE(usage.find(c), std::string::npos) << "no help for " << c;
    closeWithYes();
}

TEST_F(MainWindowTest, UsagePageExplainsEveryPageSettingAndChartTypeControl) {
    TFrmMain& w = start();
    std::set<std::string> captions;
    for (const QTabWidget* tabs : w.findChildren<QTabWidget*>())
        for (int i = 0; i < tabs->count(); ++i) captions.insert(shown(tabs->tabText(i)));
    {
        TFrmSetPan settings(ui, folder);
        addCaptions(settings, captions);
    }
    using charttypes::Kind;
    for (const Kind k : {Kind::Synastry, Kind::Composite, Kind::Davison, Kind::Progressed,
                         Kind::SolarArc, Kind::SolarReturn, Kind::LunarReturn}) {
        PanXingChoice choice;
        TFrmPanXing dialog(k, {}, choice, ui);
        addCaptions(dialog, captions);
    }
    {
        ForecastSubject subject;
        subject.name = "甲";
        TFrmForecast forecast(subject, ui, {});
        addCaptions(forecast, captions, false);
    }
    // The settings dialog alone has some twenty captions of its own.
    ASSERT_GE(captions.size(), 30u);

    TFrmTxtHelp help;
    const std::string usage = pageText(help, 0);
    for (const std::string& c : captions)
        EXPECT_NE(usage.find(c), std::string::npos) << "no help for " << c;
    closeWithYes();
}

TEST(HelpWindow, PagesAreFormattedTextWithoutStrayMarks) {
    testqt::app();
    TFrmTxtHelp help;
    for (int i = 0; i < help.pages()->count(); ++i) {
        const std::string text = pageText(help, i);
        SCOPED_TRACE(help.pages()->tabText(i).toStdString());
        EXPECT_GT(text.size(), 1000u);
        EXPECT_EQ(text.find("**"), std::string::npos);
        EXPECT_EQ(text.find("\n#"), std::string::npos);
        EXPECT_EQ(text.find("\\_"), std::string::npos);
    }
}
