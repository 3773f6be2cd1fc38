// The case commands: save (append, then update), open (comment, checks, the previous case's
// changed comment), delete, new; import and export round trip, compaction, stale numbers.
#include <QComboBox>
#include <QTextEdit>

#include "CasesFixture.h"
#include "platform/qt/QtRichText.h"

TEST_F(CasesTest, SavingTwiceAppendsThenUpdatesTheSameRecordAndComment) {
    start();
    ui.expectMessage("请先排一个正确的盘后再保存");
    window->SbtoSaveClick();
    EXPECT_EQ(ui.lastCall().caption, "提示");

    cast("某人");
    window->comment().setText("第一稿");
    ui.answerModal(false, "分类保存");
    window->SbtoSaveClick();
    EXPECT_EQ(db->Count(), 0);  // cancelled

    saveNew("客户");
    ASSERT_EQ(db->Count(), 1);
    EXPECT_EQ(stored(0).categoryUtf8(), "客户");
    EXPECT_EQ(stored(0).commentUtf8(), "某人_198503070905");
    EXPECT_EQ(saveButtonText(), "存旧");
    EXPECT_EQ(control<QToolButton>("SbtoSave")->palette().color(QPalette::ButtonText), QColor(0, 0, 255));
    EXPECT_EQ(casesUnder(category("客户")), std::vector<int>{0});
    EXPECT_TRUE(category("客户")->isExpanded());
    EXPECT_EQ(commentText(commentFile("某人_198503070905")), "第一稿");

    window->comment().setText("第二稿");
    control<QComboBox>("CboXue")->setCurrentIndex(3);
    cast("某人");
    ui.answerYes("要修改“某人”这条记录吗？").expectPlain("已保存编辑后的命例。");
    window->SbtoSaveClick();
    EXPECT_EQ(db->Count(), 1);
    EXPECT_EQ(stored(0).blood, 3);
    EXPECT_EQ(stored(0).categoryUtf8(), "客户");
    EXPECT_EQ(commentText(commentFile("某人_198503070905")), "第二稿");
    EXPECT_FALSE(std::filesystem::exists(commentFile("某人_198503070905") + ".part~"));

    // "新建": the comment box starts again, the next save appends with a suffixed comment name.
    ui.answerYes("确定要开始建立一个新命例吗？这将清除现有评语！");
    window->BtoNewClick();
    EXPECT_EQ(window->comment().text(), "输入自己的评语：");
    EXPECT_EQ(saveButtonText(), "存新");
    EXPECT_FALSE(window->natalCast());
    cast("某人");
    saveNew("客户");
    EXPECT_EQ(stored(1).commentUtf8(), "某人_198503070905_0");
    closeWithYes();
}

TEST_F(CasesTest, UpdatingAfterCastingSomeoneElseNamesTheOpenCaseAndDefaultsToNo) {
    seed({sample("甲一", 1980)});
    start();
    selectCase(0);
    commands().openCase();
    cast("丁四", 1991);
    ui.answerNo("要修改“甲一”这条记录吗？\n输入栏中的姓名是“丁四”；要保存为新命例请按“存新”。");
    window->SbtoSaveClick();
    EXPECT_EQ(ui.lastCall().defaultButton, MsgResult::No);
    EXPECT_EQ(stored(0).year, 1980);
    // The open case's own name again: the plain question with 是 as the default.
    cast("甲一", 1982);
    ui.answerYes("要修改“甲一”这条记录吗？").expectPlain("已保存编辑后的命例。");
    window->SbtoSaveClick();
    EXPECT_EQ(stored(0).year, 1982);
    closeWithYes();
}

TEST_F(CasesTest, OpeningAnotherCaseSavesTheChangedCommentUnderTheOpenCasesNumber) {
    CaseRecord a = sample("甲", 1980);
    a.setComment("甲_198003070905");
    CaseRecord b = sample("乙", 1990, "家人", false);
    b.setComment("乙_199003070905");
    b.blood = 2;
    seed({a, b});
    writeFile("Kelvora_f/甲_198003070905.rtf", "甲的评语");
    start();
    window->comment().setText("别的文字");
    selectCase(0);
    commands().openCase();
    EXPECT_EQ(window->comment().text(), "甲的评语");
    EXPECT_TRUE(window->caseOpen() && window->natalCast());
    EXPECT_EQ(saveButtonText(), "存旧");
    EXPECT_EQ(window->birthRequest().name, "甲");

    window->comment().setText("甲的新评语");
    selectCase(1);
    ui.answerYes("当前命例文本已改变，要保存吗？").answerYes("要修改“甲”这条记录吗？").expectPlain();
    commands().openCase();
    EXPECT_EQ(commentText(commentFile("甲_198003070905")), "甲的新评语");
    EXPECT_EQ(stored(0).nameUtf8(), "甲");
    EXPECT_EQ(stored(0).blood, 0);
    // 乙 has no comment file: the initial text, never 甲's comment under 乙.
    EXPECT_EQ(window->comment().text(), "输入自己的评语：");
    EXPECT_EQ(commands().openCaseNumber(), 1);
    EXPECT_EQ(window->currentCase().blood, 2);
    EXPECT_EQ(control<QLineEdit>("Edtname")->text().toStdString(), "乙");
    closeWithYes();
}

TEST_F(CasesTest, ARecordFailingThePanelChecksIsNotOpenedAndLeavesThePreviousCase) {
    CaseRecord early = sample("早", 1500);
    seed({sample("甲", 1980), early});
    start();
    selectCase(0);
    commands().openCase();
    selectCase(1);
    ui.expectMessage("年份必须在1600到2200年之间");
    commands().openCase();
    EXPECT_EQ(ui.lastCall().caption, "年份错误");
    EXPECT_FALSE(window->caseOpen());
    EXPECT_FALSE(window->natalCast());
    EXPECT_EQ(saveButtonText(), "存新");
    // Cast from the panel now: the save appends; record 0 keeps 甲.
    control<QLineEdit>("EdtYear")->setText("1985");
    window->BtnpaiClick();
    saveNew("家人");
    EXPECT_EQ(db->Count(), 3);
    EXPECT_EQ(stored(0).nameUtf8(), "甲");
    closeWithYes();
}

TEST_F(CasesTest, DeletingTheOpenCaseLeavesItSoTheNextSaveAppends) {
    CaseRecord a = sample("甲", 1980);
    a.setComment("甲_198003070905");
    seed({a, sample("乙", 1981)});
    writeFile("Kelvora_f/甲_198003070905.rtf", "甲的评语");
    start();
    ui.expectPlain("请先选择一个记录！");
    commands().deleteCase();
    selectCase(0);
    commands().openCase();
    ui.answerYes("确定要删除“甲”这个记录吗？").answerNo("确定要删除当前正在查看的记录吗？");
    commands().deleteCase();
    EXPECT_EQ(ui.calls()[ui.calls().size() - 2].defaultButton, MsgResult::No);
    CaseRecord kept{};
    EXPECT_TRUE(db->ReadRecord(0, kept));

    ui.answerYes().answerYes();
    commands().deleteCase();
    CaseRecord gone{};
    EXPECT_FALSE(db->ReadRecord(0, gone));
    EXPECT_FALSE(std::filesystem::exists(commentFile("甲_198003070905")));
    EXPECT_EQ(window->caseTree().findCase(0), nullptr);
    EXPECT_FALSE(window->caseOpen());
    EXPECT_TRUE(window->reading().text().empty());
    EXPECT_EQ(saveButtonText(), "存新");
    cast("丙");
    saveNew("家人");
    EXPECT_EQ(db->Count(), 3);
    EXPECT_FALSE(db->ReadRecord(0, gone));  // not revived
    closeWithYes();
}

TEST_F(CasesTest, ExportThenImportIntoAFreshFolderGivesTheSameBytes) {
    std::vector<CaseRecord> three;
    for (const char* n : {"甲", "乙", "丙"}) {
        CaseRecord r = sample(n, 1980);
        r.setComment(std::string(n) + "_198003070905");
        three.push_back(r);
    }
    seed(three);
    for (const char* n : {"甲", "乙", "丙"})
        writeFile(std::string("Kelvora_f/") + n + "_198003070905.rtf", std::string("{\\rtf1 ") + n + "}");
    start();
    const std::string target = testdata::freshTempDir("export");
    const std::string exported = target + "Tarmin天文占星_导出数据/";
    ui.answerFolder(target.substr(0, target.size() - 1)).expectPlain("成功导出，已保存到" + exported + "目录下");
    window->N8Click();
    EXPECT_EQ(std::filesystem::file_size(exported + "Kelvora.dat"), 456u);
    ui.answerFolder(target).expectPlain();  // twice: overwritten, success again
    window->N8Click();
    const std::string originalRecords = bytesOf(recordFile());
    const std::string originalComment = bytesOf(commentFile("乙_198003070905"));
    closeWithYes();

    // A fresh program folder with one case of its own and a changed comment open.
    window.reset();
    db.reset();
    folder = testdata::freshTempDir("import");
    std::filesystem::create_directories(folder + "dat");
    seed({sample("旧", 1970)});
    writeFile("dat/zxinit.ini", "[classes]\ncount=1\n1=旧类\n");
    start();
    selectCase(0);
    commands().openCase();
    window->comment().setText("改过");
    ui.answerNo("执行此操作将覆盖现有的历史记录，要继续吗？");
    window->N7Click();
    EXPECT_EQ(ui.lastCall().caption, "注意了");
    EXPECT_EQ(ui.lastCall().defaultButton, MsgResult::No);
    ui.answerYes().answerFile(testui::UiKind::OpenFile, exported + "other.dat").expectPlain("没有导入的数据文件！");
    window->N7Click();
    EXPECT_EQ(ui.callsOf(testui::UiKind::OpenFile).back().file.filter, "all.dat|*.dat");
    EXPECT_EQ(ui.callsOf(testui::UiKind::OpenFile).back().file.initialName, "Kelvora.dat");
    writeFile("lone/KELVORA.DAT", "");
    ui.answerYes().answerFile(testui::UiKind::OpenFile, folder + "lone/KELVORA.DAT").expectPlain("没有导入的数据文件夹！");
    window->N7Click();
    ASSERT_EQ(db->Count(), 1);

    // The import closes the window: no offer to save the old case's comment, no categories
    // of the old tree written.
    ui.answerYes().answerFile(testui::UiKind::OpenFile, exported + "Kelvora.dat")
        .answerNo("成功导入，请重启软件！现在就重启吗？").answerYes("确定要关闭软件吗？");
    window->N7Click();
    EXPECT_TRUE(window->closed());
    EXPECT_EQ(bytesOf(recordFile()), originalRecords);
    EXPECT_EQ(bytesOf(commentFile("乙_198003070905")), originalComment);
    const IniFile ini(settingsPath());
    EXPECT_EQ(ini.readInteger("classes", "count", 0), 1);
    EXPECT_EQ(ini.readString("classes", "1", ""), "旧类");
}

TEST_F(CasesTest, CompactionNeedsTwoThousandRecordsAndEndsTheProgramAtOnce) {
    std::vector<CaseRecord> records(1999, sample("某", 1980));
    seed(records);
    start();
    // Too few to tidy: said at once, without first asking whether to tidy.
    ui.expectPlain("命例数据过少，无需整理！");
    window->N9Click();
    closeWithYes();

    window.reset();
    db.reset();
    {
        MDataBase store;
        store.Open(folder);
        CaseRecord r = sample("新", 1990);
        store.Append(r);
        for (int n = 0; n < 2000; n += 4) store.MarkDeleted(n);
    }
    start();
    ui.answerNo("命例数据过多，读取速度慢才需要整理，确定要整理吗？");
    window->N9Click();
    EXPECT_EQ(ui.lastCall().defaultButton, MsgResult::No);
    ui.answerYes().expectPlain("整理数据完成，需重启软件！");
    window->N9Click();
    EXPECT_TRUE(window->programEnded());
    EXPECT_EQ(std::filesystem::file_size(recordFile()), 1500u * 152u);
    EXPECT_FALSE(std::filesystem::exists(folder + "dat/ming.bak"));
    EXPECT_EQ(ui.pending(), 0u);  // no closing question was asked
}

TEST_F(CasesTest, NumbersMadeStaleByAnotherRunAreRefusedWithARestartMessage) {
    seed({sample("甲", 1980), sample("乙", 1981)});
    start();
    selectCase(0);
    commands().openCase();
    {
        MDataBase other;  // another running copy compacts
        other.Open(folder);
        other.MarkDeleted(0);
        std::vector<CaseRecord> more(2000, sample("某", 1980));
        for (CaseRecord& r : more) other.Append(r);
        ASSERT_TRUE(other.Compact());
    }
    selectCase(1);
    ui.expectMessage("记录文件已被整理或导入，命例列表已经过时，请重启软件！");
    commands().openCase();
    window->comment().setText("改过");
    ui.answerYes("要修改“甲”这条记录吗？").expectMessage("记录文件已被整理或导入，命例列表已经过时，请重启软件！");
    window->SbtoSaveClick();
    EXPECT_EQ(stored(0).nameUtf8(), "");  // refused: nothing read, nothing written
    MDataBase fresh;
    fresh.Open(folder);
    CaseRecord r{};
    ASSERT_TRUE(fresh.ReadRecord(0, r));
    EXPECT_EQ(r.nameUtf8(), "乙");
    ui.answerYes("确定要关闭软件吗？").answerNo("当前评语文本已改变，要保存吗？");
    EXPECT_TRUE(window->FormClose());
}

TEST_F(CasesTest, FailedWritesAreReportedAndLeaveNoHalfSavedCase) {
    start();
    cast("某人");
    // No comment folder: nothing is appended.
    std::filesystem::remove_all(folder + "Kelvora_f");
    writeFile("Kelvora_f", "not a folder");
    ui.answerModal(true, "分类保存", [](ModalWindow& w) {
          dynamic_cast<TFrmFenLei&>(w).CboFenLei->setEditText("家人");
      }).expectMessage();
    window->SbtoSaveClick();
    EXPECT_EQ(ui.lastCall().text.rfind("评语文件无法写入：", 0), 0u);
    EXPECT_EQ(db->Count(), 0);
    EXPECT_FALSE(window->caseOpen());

    // The record file cannot be written: the comment just written goes again, no node is made
    // and no case is open (never a case numbered -1).
    std::filesystem::remove(folder + "Kelvora_f");
    std::filesystem::create_directories(folder + "Kelvora_f");
    std::filesystem::remove(recordFile());
    std::filesystem::create_directories(recordFile());
    ui.answerModal(true, "分类保存", [](ModalWindow& w) {
          dynamic_cast<TFrmFenLei&>(w).CboFenLei->setEditText("家人");
      }).expectMessage("命例没有保存：记录文件无法写入。");
    window->SbtoSaveClick();
    EXPECT_TRUE(std::filesystem::is_empty(folder + "Kelvora_f"));
    EXPECT_EQ(window->caseTree().findCase(-1), nullptr);
    EXPECT_EQ(category("家人"), nullptr);
    EXPECT_FALSE(window->caseOpen());
    EXPECT_EQ(saveButtonText(), "存新");

    // An import whose source is not whole is refused and the program keeps running.
    std::filesystem::remove(recordFile());
    writeFile("src/Kelvora.dat", std::string(200, 'x'));
    std::filesystem::create_directories(folder + "src/Kelvora_f");
    ui.answerYes().answerFile(testui::UiKind::OpenFile, folder + "src/Kelvora.dat")
        .expectMessage("导入没有完成，现有的历史记录没有改变。");
    window->N7Click();
    EXPECT_FALSE(window->closed());
    // An export into a place where no folder can be made.
    writeFile("blocked", "a file");
    ui.answerFolder(folder + "blocked").expectMessage();
    window->N8Click();
    EXPECT_EQ(ui.lastCall().caption, "错误");
    closeWithYes();
}
