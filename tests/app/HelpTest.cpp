// The help window: every command a user can reach is explained on the usage page, and the pages
// come out as formatted text (a Markdown mark that did not take shows as stray * or #).
#include <QRegularExpression>
#include <QTabWidget>
#include <QTextEdit>
#include <set>

#include "MainWindowFixture.h"
#include "app/Unttxthelp.h"

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
