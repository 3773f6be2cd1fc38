// The record tree: the start-up list, show all, categories of the settings and of the records,
// the category commands with their messages, the context menu's enabling and "移动到", and the
// search dialog's year rules, refusals and remembered conditions.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <sys/wait.h>

#include <csignal>

#include "CasesFixture.h"
#include "records/ui/Untsearch.h"

TEST_F(CasesTest, StartUpShowsTheNewestThousandAndShowAllEveryCaseOldestFirst) {
    std::vector<CaseRecord> records;
    for (int i = 0; i < 1500; ++i) records.push_back(sample("某" + std::to_string(i % 10), 1900 + i % 100,
                                                            i % 2 ? "Work" : "work", i % 3 == 0));
    seed(records);
    {
        MDataBase store;
        store.Open(folder);
        store.MarkDeleted(1200);
    }
    writeFile("dat/zxinit.ini", "[classes]\ncount=3\n1=家人\n2=\n3=WORK\n");
    start();
    // Settings first (the empty entry skipped); Work and work both fall under WORK.
    ASSERT_EQ(root()->childCount(), 2);
    EXPECT_EQ(root()->child(0)->text(0).toStdString(), "家人");
    EXPECT_EQ(root()->child(0)->childCount(), 0);
    EXPECT_TRUE(root()->isExpanded());
    QTreeWidgetItem* work = root()->child(1);
    EXPECT_FALSE(work->isExpanded());
    // Opened as by a click on its arrow, the category shows its cases.
    EXPECT_EQ(work->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    work->setExpanded(true);
    EXPECT_EQ(work->childCount(), 999);
    const std::vector<int> shown = casesUnder(work);
    ASSERT_EQ(shown.size(), 999u);  // 1499 ... 500 without the deleted 1200
    EXPECT_EQ(shown.front(), 1499);
    EXPECT_EQ(shown.back(), 500);
    EXPECT_EQ(root()->child(1)->child(0)->text(0).toStdString(), "某9  公1999-3-7|1499");

    commands().showAllCases();
    const std::vector<int> all = casesUnder(root()->child(1));
    ASSERT_EQ(all.size(), 1499u);
    EXPECT_EQ(all.front(), 0);
    EXPECT_EQ(all.back(), 1499);
    closeWithYes();
}

TEST_F(CasesTest, NodeTextShowsHistoricalYearsAndLunarLeapMonths) {
    CaseRecord bc = sample("古人", -5);
    CaseRecord leap = sample("某人", 1985, "家人", false);
    leap.lunar = 1;
    leap.leap = 1;
    seed({bc, leap});
    start();
    QTreeWidgetItem* family = category("家人");
    ASSERT_NE(family, nullptr);
    EXPECT_EQ(family->child(0)->text(0).toStdString(), "某人  农闰1985-3-7|1");
    EXPECT_EQ(family->child(1)->text(0).toStdString(), "古人  公-6-3-7|0");
    // The images: female, male, category, root, each its own.
    const CaseTree& t = window->caseTree();
    const auto key = [&](CaseTree::TreeImage i) { return t.image(i).pixmap(16, 16).toImage(); };
    EXPECT_NE(key(CaseTree::FemaleCase), key(CaseTree::MaleCase));
    EXPECT_NE(key(CaseTree::CategoryImage), key(CaseTree::RootImage));
    EXPECT_EQ(t.image(CaseTree::FemaleCase).pixmap(16, 16).size(), QSize(16, 16));
    tree()->setCurrentItem(family);
    ui.expectPlain("请先选择一个命例！");
    emit tree()->itemDoubleClicked(family, 0);
    closeWithYes();
}

TEST_F(CasesTest, AddRenameAndDeleteCategoriesWithTheirMessages) {
    CaseRecord second = sample("乙", 1981, "朋友");
    second.setComment("乙_198103070905");
    seed({sample("甲", 1980, "朋友"), second});
    writeFile("Kelvora_f/乙_198103070905.rtf", "{\\rtf1 b}");
    start();
    ui.answerInput("  客户  ");
    commands().addCategory();
    ASSERT_NE(category("客户"), nullptr);
    IniFile ini(settingsPath());
    EXPECT_EQ(ini.readInteger("classes", "count", 0), 1);
    EXPECT_EQ(ini.readString("classes", "1", ""), "客户");
    EXPECT_EQ(ui.lastCall().caption, "新建类别");

    ui.answerInput("一二三四五六七").expectPlain("类别名不能为空，并且最多可以有6个汉字！");
    commands().addCategory();
    ui.answerInput("   ").expectPlain("类别名不能为空，并且最多可以有6个汉字！");
    commands().addCategory();
    ui.answerInput("客户").expectMessage("已有这个类别了！");
    commands().addCategory();
    EXPECT_EQ(tree()->currentItem(), category("客户"));
    ui.cancelInput();
    commands().addCategory();

    // Rename: the same name (the node itself) is refused; a new one reaches the listed records.
    tree()->setCurrentItem(category("朋友"));
    ui.answerInput("朋友").expectMessage("已有这个类别了，请另起一个名称！");
    commands().renameCategory();
    ui.answerInput("老友");
    commands().renameCategory();
    EXPECT_EQ(ui.callsOf(testui::UiKind::InputLine).back().text, "请输入新的类别名：");
    ASSERT_NE(category("老友"), nullptr);
    EXPECT_EQ(stored(0).categoryUtf8(), "老友");
    EXPECT_EQ(stored(1).categoryUtf8(), "老友");
    EXPECT_EQ(ini.readInteger("classes", "count", 0), 1);  // 朋友 was not in the list: nothing added

    // Delete: the question names the cases that go with it, 否 is its default; its cases and
    // their comment files go.
    tree()->setCurrentItem(category("老友"));
    ui.answerNo("确定要删除“老友”这个类别吗？其中的2个命例和它们的评语也将一起删除。");
    commands().deleteCategory();
    EXPECT_EQ(ui.lastCall().defaultButton, MsgResult::No);
    ui.answerYes();
    commands().deleteCategory();
    EXPECT_EQ(category("老友"), nullptr);
    EXPECT_EQ(db->Count(), 2);
    CaseRecord gone{};
    EXPECT_FALSE(db->ReadRecord(0, gone));
    EXPECT_FALSE(std::filesystem::exists(folder + "Kelvora_f/乙_198103070905.rtf"));

    ui.expectPlain("当前列表的类别已经保存！");
    commands().saveCategories();
    closeWithYes();
}

// A rename reaches every live case of the category, also one the start-up list (the newest
// thousand) leaves out; a rename killed after its journal is finished at the next start, the
// settings' category list included.
TEST_F(CasesTest, RenamingACategoryReachesEveryCaseAndAKilledRenameIsFinished) {
    std::vector<CaseRecord> records(1001, sample("某", 1990, "朋友"));
    records.push_back(sample("乙", 1981, "家人"));
    seed(records);
    writeFile("dat/zxinit.ini", "[classes]\ncount=2\n1=朋友\n2=家人\n");
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        MDataBase store;
        store.Open(folder);
        store.RenameCategory({1001}, gbk::fromUtf8("亲人"), gbk::fromUtf8("家人"), [] { ::raise(SIGKILL); });
        ::_exit(0);
    }
    int status = 0;
    ASSERT_TRUE(::waitpid(child, &status, 0) == child && WIFSIGNALED(status));
    start();
    IniFile ini(settingsPath());
    EXPECT_EQ(stored(1001).categoryUtf8() + ini.readString("classes", "2", ""), "亲人亲人");
    EXPECT_EQ(category("家人"), nullptr);

    tree()->setCurrentItem(category("朋友"));
    ui.answerInput("老友");
    commands().renameCategory();
    EXPECT_EQ(stored(0).categoryUtf8(), "老友");
    EXPECT_EQ(stored(1000).categoryUtf8(), "老友");
    EXPECT_EQ(ini.readString("classes", "1", ""), "老友");
    closeWithYes();
}

TEST_F(CasesTest, RightButtonActsOnTheRowUnderThePointerAndMoveRewritesTheCategory) {
    seed({sample("甲", 1980, "朋友"), sample("乙", 1981, "家人", false)});
    writeFile("dat/zxinit.ini", "[classes]\ncount=1\n1=同事\n");
    start();
    window->resize(900, 700);
    tree()->expandAll();
    auto rightClick = [&](QPoint at) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), tree()->viewport()->mapToGlobal(QPointF(at)),
                          Qt::RightButton, Qt::RightButton, Qt::NoModifier);
        QCoreApplication::sendEvent(tree()->viewport(), &press);
        commands().menu()->hide();
    };
    // On the root the menu is the root's.
    selectCase(0);
    rightClick(tree()->visualItemRect(root()).center());
    EXPECT_EQ(tree()->currentItem(), root());
    EXPECT_FALSE(action("PopView")->isEnabled());
    // With 甲 selected, the right button on 乙's row: the menu is 乙's.
    selectCase(1);
    QTreeWidgetItem* chosen = tree()->currentItem();
    selectCase(0);
    rightClick(tree()->visualItemRect(chosen).center());
    EXPECT_EQ(tree()->currentItem(), chosen);
    const auto enabled = [&](const char* name) { return action(name)->isEnabled(); };
    EXPECT_TRUE(enabled("PopView") && enabled("PopMove") && enabled("PopDelete"));
    EXPECT_FALSE(enabled("PopRenameClass") || enabled("PopDeleteClass") || enabled("PopExpand"));
    EXPECT_TRUE(enabled("PopAddClass") && enabled("PopSearch") && enabled("PopShowAll"));
    std::vector<std::string> captions;
    for (QAction* a : commands().moveMenu()->actions()) captions.push_back(a->text().toStdString());
    EXPECT_EQ(captions, (std::vector<std::string>{"同事", "朋友"}));  // all but its own 家人

    QAction* toColleagues = commands().moveMenu()->actions().at(0);
    EXPECT_EQ(toColleagues->data().toInt(), 0);
    toColleagues->trigger();
    EXPECT_EQ(stored(1).categoryUtf8(), "同事");
    EXPECT_EQ(casesUnder(category("同事")), std::vector<int>{1});
    EXPECT_EQ(category("家人")->childCount(), 0);

    // A category selected: the category entries on, the case entries off.
    tree()->setCurrentItem(category("朋友"));
    commands().updateMenu();
    EXPECT_TRUE(enabled("PopRenameClass") && enabled("PopExpand") && enabled("PopCollapse"));
    EXPECT_FALSE(enabled("PopView") || enabled("PopMove"));
    commands().expandSelected();
    EXPECT_TRUE(category("朋友")->isExpanded());
    commands().collapseSelected();
    EXPECT_FALSE(category("朋友")->isExpanded());
    closeWithYes();
}

namespace {
// Runs the search dialog once: `act` fills it and presses its buttons.
void inSearch(testui::ScriptedUi& ui, std::function<void(TFrmSearch&)> act) {
    ui.answerModal(false, "查找命例", [act](ModalWindow& w) { act(dynamic_cast<TFrmSearch&>(w)); });
}
}  // namespace

TEST_F(CasesTest, SearchTakesHistoricalYearsRefusesBadOnesAndRemembersItsConditions) {
    seed({sample("某人", -119), sample("某甲", 0), sample("某乙", 1), sample("张三", -120)});
    start();
    inSearch(ui, [&](TFrmSearch& d) {
        // First use: nothing set.
        EXPECT_TRUE(d.sexAny->isChecked());
        EXPECT_EQ(d.cbodiZ->currentIndex(), 0);
        EXPECT_TRUE(d.LedtY1->text().isEmpty() && d.LedtY2->text().isEmpty());
        EXPECT_EQ(d.cbodiZ->count(), 36);
        EXPECT_FALSE(d.Animate1->isVisible());
        d.sexMale->setChecked(true);
        d.LedtY1->setText("2000");
        ui.expectMessage("年份必须在-850到2100年之间，并且没有公元0年\r\n注意：公元前用负数，比如公元前120年，就输入-120");
        d.BtnSearchClick();
        EXPECT_EQ(d.resultFlag(), 0);
        d.LedtY1->setText("0");
        d.LedtY2->setText("5");
        ui.expectMessage();
        d.BtnSearchClick();
        d.LedtY1->setText("5");
        d.LedtY2->setText("-5");
        ui.expectMessage("结束年必须大于或等于起始年");
        d.BtnSearchClick();
        EXPECT_EQ(ui.lastCall().caption, "年份错误");
        d.LedtY1->setText("-120");
        d.LedtY2->setText("-1");
        ui.answerNo("共找到2条记录，要显示到命例列表中吗？");
        d.BtnSearchClick();
        EXPECT_EQ(d.resultFlag(), 0);
        d.Edtname->setText("某");
        d.ChkName->setChecked(true);
        ui.expectMessage("没有找到符合条件的命例。");
        d.BtnSearchClick();
        d.ChkName->setChecked(false);
        ui.answerYes("共找到2条记录，要显示到命例列表中吗？");
        d.BtnSearchClick();
        EXPECT_EQ(d.resultFlag(), 1);
    });
    commands().search();
    const CaseFilter& f = window->caseFilter();
    EXPECT_EQ(f.yearFrom, -119);
    EXPECT_EQ(f.yearTo, 0);
    EXPECT_TRUE(f.sexFilter && f.yearFilter);
    EXPECT_EQ(casesUnder(category("家人")), (std::vector<int>{0, 1}));
    // The root says that the tree lists search results.
    EXPECT_EQ(CaseTree::textOf(window->caseTree().root()), "命例（查找结果）");

    // The next dialog shows the conditions again; "全部" lists every live case.
    inSearch(ui, [&](TFrmSearch& d) {
        EXPECT_EQ(d.LedtY1->text().toStdString(), "-120");
        EXPECT_EQ(d.LedtY2->text().toStdString(), "-1");
        EXPECT_TRUE(d.sexMale->isChecked());
        EXPECT_EQ(d.Edtname->text().toStdString(), "某");
        ui.answerYes("这将清除所有输入的条件参数，以便搜索所有命例，确定吗？")
            .answerYes("共找到4条记录，要显示到命例列表中吗？");
        d.BtoAllClick();
        EXPECT_TRUE(d.LedtY1->text().isEmpty());
    });
    commands().search();
    EXPECT_EQ(casesUnder(category("家人")).size(), 4u);
    EXPECT_FALSE(window->caseFilter().yearFilter);

    // "关闭" leaves the tree as it is.
    inSearch(ui, [&](TFrmSearch& d) { d.BtoCancelClick(); });
    commands().search();
    EXPECT_EQ(casesUnder(category("家人")).size(), 4u);
    EXPECT_EQ(CaseTree::textOf(window->caseTree().root()), "命例（查找结果）");
    // "显示全部命例" ends it.
    commands().showAllCases();
    EXPECT_EQ(CaseTree::textOf(window->caseTree().root()), "命例");
    closeWithYes();
}

TEST_F(CasesTest, EveryDialogControlCanBeFoundByName) {
    start();
    TFrmSearch search(ui, *db, nullptr, window->caseFilter());
    TFrmFenLei fenlei(ui, {});
    for (QWidget* dialog : {static_cast<QWidget*>(&search), static_cast<QWidget*>(&fenlei)}) {
        for (QWidget* w : dialog->findChildren<QWidget*>()) {
            // Popups of the lists are windows of their own; labels take no focus.
            if (w->window() != dialog || w->focusPolicy() == Qt::NoFocus) continue;
            const auto* button = qobject_cast<QAbstractButton*>(w);
            const bool named = !w->accessibleName().isEmpty() || (button && !button->text().isEmpty());
            EXPECT_TRUE(named) << w->metaObject()->className() << " " << w->objectName().toStdString();
        }
    }
    EXPECT_EQ(search.ChkClass->accessibleName().toStdString(), "类别全字匹配");
    EXPECT_EQ(search.ChkName->accessibleName().toStdString(), "姓名全字匹配");
    closeWithYes();
}
