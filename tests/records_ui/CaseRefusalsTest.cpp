// What the case commands do when a save is refused, after an import, and with the category
// list: the command that asked for a refused save stops, every case command offers the
// restart after an import, the category chooser offers the tree's categories now, a deleted
// category stays deleted, and a category name GBK cannot hold is refused.
#include <QMenu>

#include "CasesFixture.h"
#include "records/ui/CategoryList.h"

namespace {
const char* const kRestart = "成功导入，请重启软件！现在就重启吗？";
}

TEST_F(CasesTest, ARefusedSaveStopsTheCommandThatAskedForIt) {
    CaseRecord a = sample("甲", 1980);
    a.setComment("甲_198003070905");
    seed({a, sample("乙", 1990)});
    start();
    selectCase(0);
    commands().openCase();
    window->comment().setText("新写的评语");
    window->setNatalCast(false);  // a natal command failed its checks since
    selectCase(1);
    ui.answerYes("当前命例文本已改变，要保存吗？").expectMessage("请先排一个正确的盘后再保存");
    commands().openCase();
    EXPECT_EQ(commands().openCaseNumber(), 0);
    ui.answerYes("确定要开始建立一个新命例吗？这将清除现有评语！")
        .answerYes("当前评语文本已改变，要保存吗？")
        .expectMessage("请先排一个正确的盘后再保存");
    window->BtoNewClick();
    ui.answerYes("确定要关闭软件吗？").answerYes("当前评语文本已改变，要保存吗？").expectMessage("请先排一个正确的盘后再保存");
    EXPECT_FALSE(window->FormClose());
    EXPECT_EQ(window->comment().text(), "新写的评语");  // still there to be saved
    EXPECT_EQ(saveButtonText(), "存旧");
    ui.answerYes("确定要关闭软件吗？").answerNo("当前评语文本已改变，要保存吗？");
    EXPECT_TRUE(window->FormClose());
}

TEST_F(CasesTest, AfterAnImportEveryCaseCommandOffersTheRestart) {
    CaseRecord a = sample("甲", 1980);
    a.setComment("甲_198003070905");
    seed({a});
    writeFile("Kelvora_f/甲_198003070905.rtf", "{\\rtf1 a}");
    CaseRecord imported = sample("新", 1970);
    writeFile("source/Kelvora_f/readme.txt", "");
    {
        std::ofstream out(folder + "source/Kelvora.dat", std::ios::binary);
        out.write(reinterpret_cast<const char*>(&imported), sizeof imported);
    }
    start();
    selectCase(0);
    commands().openCase();
    ui.answerYes().answerFile(testui::UiKind::OpenFile, folder + "source/Kelvora.dat").answerNo(kRestart)
        .answerNo("确定要关闭软件吗？");
    window->N7Click();
    ASSERT_FALSE(window->closed());
    // Nothing of the old store is shown to be saved into the new one.
    EXPECT_EQ(saveButtonText(), "存新");
    EXPECT_EQ(window->comment().text(), "输入自己的评语：");
    EXPECT_EQ(tree()->topLevelItemCount(), 0);
    cast("某人");
    ui.answerNo(kRestart);
    window->SbtoSaveClick();
    ui.answerNo(kRestart);
    commands().addCategory();
    ui.answerNo(kRestart);
    window->N7Click();
    EXPECT_EQ(db->Count(), 1);
    // 是: this window closes without asking and a new run is to start.
    ui.answerYes(kRestart);
    window->BtoNewClick();
    EXPECT_TRUE(window->closed());
    EXPECT_TRUE(window->restartRequested());
}

TEST_F(CasesTest, TheCategoryChooserOffersTheTreeAsItIsAndDeletedCategoriesStayDeleted) {
    seed({sample("甲", 1980, "朋友"), sample("乙", 1981, "同事")});
    writeFile("dat/zxinit.ini", "[classes]\ncount=2\n1=同事\n2=旧类\n");
    start();
    tree()->setCurrentItem(category("旧类"));
    ui.answerYes("确定要删除“旧类”这个类别吗？");
    commands().deleteCategory();
    tree()->setCurrentItem(category("朋友"));
    ui.answerYes("确定要删除“朋友”这个类别吗？其中的1个命例和它们的评语也将一起删除。");
    commands().deleteCategory();
    commands().showAllCases();
    EXPECT_EQ(category("朋友"), nullptr);
    EXPECT_EQ(category("旧类"), nullptr);
    ui.answerInput("新类");
    commands().addCategory();

    cast("某人");
    std::vector<std::string> offered;
    int chosen = 0;
    std::string shown = "?";
    ui.answerModal(false, "分类保存", [&](ModalWindow& w) {
        QComboBox* box = dynamic_cast<TFrmFenLei&>(w).CboFenLei;
        for (int i = 0; i < box->count(); ++i) offered.push_back(box->itemText(i).toStdString());
        chosen = box->currentIndex();
        shown = box->currentText().toStdString();
    });
    window->SbtoSaveClick();
    EXPECT_EQ(offered, (std::vector<std::string>{"同事", "新类"}));
    EXPECT_EQ(chosen, -1);
    EXPECT_EQ(shown, "");
    // A name GBK cannot hold is refused when typed, never stored as "?".
    ui.answerInput("星\xF0\x9F\x98\x80").expectPlain(kCategoryNotGbk);
    commands().addCategory();
    ui.answerModal(true, "分类保存", [](ModalWindow& w) {
        auto& d = dynamic_cast<TFrmFenLei&>(w);
        d.CboFenLei->setEditText(QString::fromUtf8("星\xF0\x9F\x98\x80"));
        d.BtnokClick();
        d.CboFenLei->setEditText(QString::fromUtf8("同事"));
    });
    ui.expectMessage(kCategoryNotGbk);
    window->SbtoSaveClick();
    EXPECT_EQ(db->Count(), 3);
    restart();
    EXPECT_EQ(category("朋友"), nullptr);
    EXPECT_EQ(category("旧类"), nullptr);
    // The file menu: "保存命例", a separator, then the whole-store commands.
    auto* file = qobject_cast<QMenu*>(action("N4")->parent());
    ASSERT_NE(file, nullptr);
    const QList<QAction*> entries = file->actions();
    const auto at = entries.indexOf(action("N4"));
    ASSERT_GE(at, 0);
    EXPECT_TRUE(entries.at(at + 1)->isSeparator());
    EXPECT_EQ(entries.at(at + 2), action("N7"));
    closeWithYes();
}

TEST_F(CasesTest, ADeletedCaseWhoseCommentCannotBeRemovedIsReported) {
    CaseRecord a = sample("甲", 1980);
    a.setComment("甲_198003070905");
    seed({a});
    std::filesystem::create_directories(commentFile("甲_198003070905") + "/inside");  // unlink refuses
    start();
    selectCase(0);
    ui.answerYes("确定要删除“甲”这个记录吗？")
        .expectMessage("命例已经删除，但它的评语文件无法删除：" + commentFile("甲_198003070905"));
    commands().deleteCase();
    EXPECT_EQ(ui.lastCall().caption, "错误");
    closeWithYes();
}

TEST_F(CasesTest, AnImportCutShortAfterItsCommitPointSaysSoAndBlocksCaseWrites) {
    const std::string pending =
        "导入没有完成，下次启动软件时会自动完成导入；在此之前不能修改命例。现在就重启软件吗？";
    seed({sample("甲", 1980)});
    CaseRecord imported = sample("新", 1970);
    writeFile("source/Kelvora_f/a.rtf", "{\\rtf1 a}");
    {
        std::ofstream out(folder + "source/Kelvora.dat", std::ios::binary);
        out.write(reinterpret_cast<const char*>(&imported), sizeof imported);
    }
    // A folder where the imported comment must go: the swap stops after its commit point.
    std::filesystem::create_directories(folder + "Kelvora_f/a.rtf/inside");
    start();
    ui.answerYes().answerFile(testui::UiKind::OpenFile, folder + "source/Kelvora.dat").answerNo(pending)
        .answerNo("确定要关闭软件吗？");
    window->N7Click();
    EXPECT_TRUE(db->ImportPending());
    cast("某人");
    ui.answerNo(pending);
    window->SbtoSaveClick();
    EXPECT_EQ(db->Count(), 1);
}
