// Start-up and close of the main window with the settings file dat/zxinit.ini: defaults on a
// first start, every key written at close, restoring, clamping, the refused close, and failed
// writes.
#include <QListWidget>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextEdit>
#include <QTreeWidget>
#include <iostream>
#include <stdexcept>

#include <QCoreApplication>

#include <QGuiApplication>
#include <QScreen>

#include "MainWindowFixture.h"

namespace {
const std::vector<std::string> kWinposKeys = {"left", "top", "width", "height",
                                              "treewid", "pinghei", "state"};
const std::vector<std::string> kMinggaoKeys = {"fname", "fsize", "bcolor", "sheng", "shi"};

bool hasKeys(const IniFile& ini, const std::string& section, const std::vector<std::string>& keys) {
    const auto present = ini.readSection(section);
    for (const auto& k : keys)
        if (std::find(present.begin(), present.end(), k) == present.end()) {
            ADD_FAILURE() << "[" << section << "] lacks " << k;
            return false;
        }
    return true;
}
}  // namespace

TEST_F(MainWindowTest, FirstStartUsesDefaultsAndCloseWritesEveryKey) {
    writePlaces();
    TFrmMain& w = start();
    EXPECT_EQ(w.windowTitle().toStdString(), "Tarmin天文占星 3.6");
    EXPECT_EQ(w.programFolder(), folder);
    // Without stored geometry the window takes the panel and the whole chart at 100 %, as far
    // as the screen allows, centred on it.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(w.width(), area.width());
    EXPECT_LE(w.height(), area.height());
    EXPECT_GE(w.clientWidth(), std::min(800 + 180 + 176, area.width() - 8));
    EXPECT_GE(w.clientHeight(), std::min(700 + 80, area.height() - 36 - w.height() + w.clientHeight()));
    EXPECT_NEAR(w.x() + w.width() / 2, area.center().x(), 2);
    EXPECT_NEAR(w.y() + w.height() / 2, area.center().y(), 2);
    const int firstWidth = w.clientWidth();
    const int firstLeft = w.x();
    EXPECT_GT(w.height(), w.clientHeight()) << "the menu bar lies outside the client area";
    EXPECT_EQ(w.windowStateIndex(), 0);
    EXPECT_EQ(w.treeWidth(), 180);
    EXPECT_EQ(w.commentHeight(), 80);
    EXPECT_EQ(w.reading().fontName(), "宋体");
    EXPECT_EQ(w.reading().fontSize(), 10);
    EXPECT_EQ(w.reading().backgroundColor().toBgr(), 0xC0CCD0u);
    EXPECT_EQ(control<QComboBox>("cbodiZ")->currentText().toStdString(), "福建省");
    EXPECT_EQ(control<QComboBox>("cbodiC")->currentText().toStdString(), "福州市");
    EXPECT_EQ(control<QLineEdit>("ledtjing")->text().toStdString(), "119:18");
    EXPECT_EQ(control<QLineEdit>("ledtwei")->text().toStdString(), "26:05");
    EXPECT_NE(w.engine(), nullptr);
    EXPECT_FALSE(w.natalCast());
    EXPECT_EQ(ui.skins_.calls, std::vector<std::string>{"deactivate"});
    EXPECT_TRUE(ui.calls().empty()) << "start-up asked something";
    EXPECT_FALSE(std::filesystem::exists(settingsPath()));

    closeWithYes();
    EXPECT_EQ(w.engine(), nullptr);
    const IniFile ini(settingsPath());
    EXPECT_TRUE(hasKeys(ini, "winpos", kWinposKeys));
    EXPECT_TRUE(hasKeys(ini, "minggao", kMinggaoKeys));
    EXPECT_TRUE(hasKeys(ini, "classes", {"count"}));
    EXPECT_EQ(ini.readInteger("winpos", "width", -1), firstWidth);
    EXPECT_EQ(ini.readInteger("winpos", "treewid", -1), 180);
    EXPECT_EQ(ini.readInteger("minggao", "bcolor", -1), 12635344);
    EXPECT_EQ(ini.readString("minggao", "fname", ""), "宋体");
    EXPECT_EQ(ini.readInteger("classes", "count", -1), 0);
    // Integers in decimal, as the file's own text.
    std::ifstream in(settingsPath(), std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(raw.find("left=" + std::to_string(firstLeft)), std::string::npos);
    for (const char* line : {"state=0", "treewid=180", "pinghei=80", "fsize=10", "bcolor=12635344", "sheng=0",
                             "shi=0", "count=0"})
        EXPECT_NE(raw.find(line), std::string::npos) << line;
}

TEST_F(MainWindowTest, NextStartRestoresWhatTheLastCloseWrote) {
    writePlaces();
    writeFile("dat/zxinit.ini",
              "[winpos]\nleft=40\ntop=50\nwidth=900\nheight=640\nstate=0\ntreewid=222\n"
              "pinghei=120\n[minggao]\nfname=AR PL UMing CN\nfsize=14\nbcolor=16777215\n"
              "sheng=0\nshi=2\n[classes]\ncount=3\n1=朋友\n2=\n3=同事\n");
    TFrmMain& w = start();
    EXPECT_EQ(w.pos(), QPoint(40, 50));
    EXPECT_EQ(QSize(w.clientWidth(), w.clientHeight()), QSize(900, 640));
    EXPECT_EQ(w.treeWidth(), 222);
    EXPECT_EQ(w.commentHeight(), 120);
    EXPECT_EQ(w.reading().fontName(), "AR PL UMing CN");
    EXPECT_EQ(w.reading().fontSize(), 14);
    EXPECT_EQ(w.reading().backgroundColor().toBgr(), 0xFFFFFFu);
    EXPECT_EQ(control<QComboBox>("cbodiC")->currentText().toStdString(), "泉州市");
    EXPECT_EQ(control<QLineEdit>("ledtjing")->text().toStdString(), "118:36");
    // Categories: empty entries are skipped.
    QTreeWidget* tree = control<QTreeWidget>("Tree");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree->topLevelItem(0);
    EXPECT_EQ(root->text(0).toStdString(), "命例");
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_EQ(root->child(1)->text(0).toStdString(), "同事");

    w.move(70, 80);
    w.setClientSize(1000, 700);
    closeWithYes();
    const IniFile ini(settingsPath());
    EXPECT_EQ(ini.readInteger("winpos", "left", -1), 70);
    EXPECT_EQ(ini.readInteger("winpos", "height", -1), 700);
    EXPECT_EQ(ini.readInteger("minggao", "shi", -1), 2);
    EXPECT_EQ(ini.readInteger("classes", "count", -1), 2);
    EXPECT_EQ(ini.readString("classes", "1", ""), "朋友");
    EXPECT_EQ(ini.readString("classes", "2", ""), "同事");
    EXPECT_EQ(ini.readString("classes", "3", ""), "同事");  // beyond count: left as it was

    restart();
    EXPECT_EQ(window->pos(), QPoint(70, 80));
    EXPECT_EQ(QSize(window->clientWidth(), window->clientHeight()), QSize(1000, 700));
    EXPECT_EQ(window->windowStateIndex(), 0);
    EXPECT_EQ(window->treeWidth(), 222);
    EXPECT_EQ(window->commentHeight(), 120);
    EXPECT_EQ(window->reading().fontName(), "AR PL UMing CN");
    EXPECT_EQ(window->reading().fontSize(), 14);
    EXPECT_EQ(window->reading().backgroundColor().toBgr(), 0xFFFFFFu);
    EXPECT_EQ(control<QComboBox>("cbodiZ")->currentIndex(), 0);
    EXPECT_EQ(control<QComboBox>("cbodiC")->currentText().toStdString(), "泉州市");
    EXPECT_EQ(window->findChild<QTreeWidget*>("Tree")->topLevelItem(0)->childCount(), 2);
}

TEST_F(MainWindowTest, MaximisedCloseKeepsTheNormalGeometry) {
    writeFile("dat/zxinit.ini", "[winpos]\nleft=33\ntop=44\nwidth=555\nheight=466\n");
    TFrmMain& w = start();
    w.setWindowStateIndex(2);
    EXPECT_EQ(w.windowStateIndex(), 2);
    closeWithYes();
    {
        const IniFile ini(settingsPath());
        EXPECT_EQ(ini.readInteger("winpos", "state", -1), 2);
        EXPECT_EQ(ini.readInteger("winpos", "left", -1), 33);
        EXPECT_EQ(ini.readInteger("winpos", "top", -1), 44);
        EXPECT_EQ(ini.readInteger("winpos", "width", -1), 555);
        EXPECT_EQ(ini.readInteger("winpos", "height", -1), 466);
    }
    restart();
    EXPECT_EQ(window->windowStateIndex(), 2);
    EXPECT_EQ(window->normalGeometry().size(),
              QSize(555, 466 + window->height() - window->clientHeight()));
}

TEST_F(MainWindowTest, OutOfRangeValuesAreClamped) {
    writePlaces();
    writeFile("dat/zxinit.ini",
              "[winpos]\ntreewid=10\npinghei=0\n[minggao]\nsheng=99\nshi=99\n");
    TFrmMain& w = start();
    EXPECT_EQ(w.treeWidth(), 30);
    EXPECT_EQ(w.commentHeight(), 20);
    EXPECT_EQ(control<QComboBox>("cbodiZ")->currentIndex(), 0);
    EXPECT_EQ(control<QComboBox>("cbodiC")->currentIndex(), 0);
    closeWithYes();

    writeFile("dat/zxinit.ini", "[winpos]\ntreewid=31\npinghei=21\n[minggao]\nsheng=-1\nshi=-5\n");
    restart();
    EXPECT_EQ(window->treeWidth(), 31);
    EXPECT_EQ(window->commentHeight(), 21);
    EXPECT_EQ(control<QComboBox>("cbodiZ")->currentText().toStdString(), "福建省");
    EXPECT_EQ(control<QComboBox>("cbodiC")->currentIndex(), 0);
    closeWithYes();

    writeFile("dat/zxinit.ini", "[minggao]\nsheng=34\n");
    restart();
    EXPECT_EQ(control<QComboBox>("cbodiZ")->currentText().toStdString(), "未知地");
    EXPECT_EQ(control<QLineEdit>("ledtjing")->text().toStdString(), "120:00");
    EXPECT_EQ(control<QLineEdit>("ledtwei")->text().toStdString(), "30:00");
}

TEST_F(MainWindowTest, AnsweringNoKeepsTheWindowAndWritesNothing) {
    TFrmMain& w = start();
    ui.answerNo("确定要关闭软件吗？");
    EXPECT_FALSE(w.FormClose());
    EXPECT_FALSE(std::filesystem::exists(settingsPath()));
    EXPECT_NE(w.engine(), nullptr);
    const auto& c = ui.lastCall();
    EXPECT_EQ(c.caption, "关闭");
    EXPECT_EQ(c.icon, MsgIcon::Information);
    EXPECT_EQ(c.buttons, MsgButtons::YesNo);

    // An existing file stays byte for byte as it was.
    writeFile("dat/zxinit.ini", "[winpos]\nleft=5\n");
    ui.answerNo();
    EXPECT_FALSE(w.FormClose());
    std::ifstream in(settingsPath(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "[winpos]\nleft=5\n");
    closeWithYes();
}

TEST_F(MainWindowTest, UnwritableSettingsShowTheErrorAndStillClose) {
    std::filesystem::remove_all(folder + "dat");
    writeFile("dat", "");  // a file where the folder should be: nothing below it can be written
    TFrmMain& w = start();
    ui.answerYes("确定要关闭软件吗？");
    ui.expectError("无法写入文件“" + settingsPath() + "”（可能是只读文件或磁盘已满）。");
    EXPECT_TRUE(w.FormClose());
    EXPECT_EQ(w.engine(), nullptr);
    EXPECT_EQ(ui.callsOf(testui::UiKind::ErrorBox).size(), 1u);
}

TEST_F(MainWindowTest, CorruptSettingsGiveDefaults) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<char>((i * 7919) & 0xFF));
    garbage += "\n[winpos]\nleft=abc\nwidth=0x\ntreewid=$zz\n[minggao\nfsize=\xff\xfe\n";
    {
        std::ofstream out(settingsPath(), std::ios::binary);
        out << garbage;
    }
    TFrmMain& w = start();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_NEAR(w.x() + w.width() / 2, area.center().x(), 2);  // placed as at the first start
    EXPECT_EQ(w.treeWidth(), 180);
    EXPECT_EQ(w.reading().fontSize(), 10);
    closeWithYes();
}

TEST_F(MainWindowTest, StartSetsTheDateControlsAndTransitToNow) {
    ui.clock_.time = LocalMinute{2026, 5, 17, 14, 35};
    TFrmMain& w = start();
    EXPECT_EQ(control<QLineEdit>("EdtYear")->text().toStdString(), "2026");
    EXPECT_EQ(control<QComboBox>("cbom")->currentIndex(), 4);
    EXPECT_EQ(control<QComboBox>("cbod")->currentIndex(), 16);
    EXPECT_EQ(control<QComboBox>("cbos")->currentText().toStdString(), "14时未");
    EXPECT_EQ(control<QComboBox>("cbomin")->currentIndex(), 35);
    EXPECT_EQ(control<QComboBox>("Cboshiqu")->currentText().toStdString(), "东八区");
    EXPECT_EQ(control<QComboBox>("CboXue")->currentText().toStdString(), "A型血");
    EXPECT_EQ(w.transitRequest().when, (DateTimeFields{2026, 5, 17, 14, 35}));
    EXPECT_EQ(w.transitRequest().zoneIndex, 8);
    EXPECT_EQ(control<QTabWidget>("Page1")->currentIndex(), 0);
    EXPECT_TRUE(w.reading().text().empty());
    EXPECT_EQ(control<QTextEdit>("RedtPingYu")->toPlainText().toStdString(), "输入自己的评语：");
    // The chart image starts as a white page with a black border.
    EXPECT_EQ(w.chartImage().size(), QSize(800, 700));
    EXPECT_EQ(w.chartImage().pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(w.chartImage().pixelColor(799, 699), QColor(Qt::black));
    EXPECT_EQ(w.chartImage().pixelColor(400, 350), QColor(Qt::white));
    closeWithYes();

    ui.clock_.time = LocalMinute{2300, 1, 1, 0, 0};
    restart();
    EXPECT_EQ(control<QLineEdit>("EdtYear")->text().toStdString(), "2200");
    EXPECT_EQ(window->transitRequest().when.year, 2200);
}

TEST_F(MainWindowTest, SkinMenuListsSkinFilesAndRestoresTheChosenOne) {
    writeFile("skins/Mx1.skn", "QWidget { color: black; }");
    writeFile("skins/a.b.skn", "QWidget { color: red; }");
    writeFile("skins/readme.txt", "not a skin");
    writeFile("dat/zxinit.ini", "[window]\nskined=1\nskinname=Mx1\n");
    TFrmMain& w = start();
    QMenu* menu = w.skinMenu();
    std::vector<std::string> captions;
    for (QAction* a : menu->actions()) captions.push_back(a->isSeparator() ? "-" : a->text().toStdString());
    ASSERT_EQ(captions.size(), 4u);
    EXPECT_EQ(captions[2], "-");
    EXPECT_EQ(captions[3], "系统默认");
    EXPECT_EQ(captions[0], "Mx1");  // by file name
    EXPECT_EQ(captions[1], "a");
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) {
            EXPECT_EQ(a->isChecked(), a->text() == "Mx1") << a->text().toStdString();
        }
    EXPECT_EQ(ui.skins_.calls,
              (std::vector<std::string>{"load " + folder + "skins/Mx1.skn", "activate"}));

    // "a" looks for a.skn, which is missing: the message, the settings unchanged.
    QAction* a = nullptr;
    QAction* plain = nullptr;
    for (QAction* x : menu->actions()) {
        if (x->text() == "a") a = x;
        if (x->text() == "系统默认") plain = x;
    }
    ui.expectPlain("对应的皮肤文件已经丢失，请关闭软件，再重新打开软件！");
    a->trigger();
    EXPECT_TRUE(a->isChecked());
    EXPECT_EQ(IniFile(settingsPath()).readString("window", "skinname", ""), "Mx1");

    plain->trigger();
    EXPECT_EQ(ui.skins_.calls.back(), "deactivate");
    EXPECT_FALSE(IniFile(settingsPath()).readBool("window", "skined", true));
    auto raw = [this] {
        std::ifstream in(settingsPath(), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    };
    EXPECT_NE(raw().find("skined=0"), std::string::npos) << "booleans are written 1 and 0";
    QAction* mx1 = menu->actions()[0];
    mx1->trigger();
    EXPECT_EQ(ui.skins_.calls.back(), "activate");
    EXPECT_NE(raw().find("skined=1"), std::string::npos);
    EXPECT_NE(raw().find("skinname=Mx1"), std::string::npos);
    for (QAction* x : menu->actions()) EXPECT_EQ(x->isChecked(), x == mx1) << x->text().toStdString();
    closeWithYes();
}

TEST_F(MainWindowTest, NoSkinFilesLeaveTheSkinMenuEmpty) {
    TFrmMain& w = start();
    EXPECT_TRUE(w.skinMenu()->actions().isEmpty());
    closeWithYes();
}

TEST_F(MainWindowTest, ChangedCommentOfAnOpenCaseIsOfferedForSavingAtClose) {
    TFrmMain& w = start();
    QTextEdit* comment = control<QTextEdit>("RedtPingYu");
    // No case open: a changed comment is not asked about (the double fails on any extra call).
    auto type = [comment](const char* text) {
        QTextCursor c(comment->document());
        c.movePosition(QTextCursor::End);
        c.insertText(QString::fromUtf8(text));  // as typed: sets the modified flag
    };
    type("新的评语");
    ASSERT_TRUE(w.comment().modified());
    ui.answerNo("确定要关闭软件吗？");
    EXPECT_FALSE(w.FormClose());
    // A case open, the comment unchanged: no question either.
    w.setCaseOpen(true);
    comment->document()->setModified(false);
    ui.answerNo("确定要关闭软件吗？");
    EXPECT_FALSE(w.FormClose());
    // A case open and the comment changed: the question comes after the confirmation, and the
    // close goes on whatever the answer.
    type("又改了");
    ui.answerYes("确定要关闭软件吗？");
    ui.answerNo("当前评语文本已改变，要保存吗？");
    EXPECT_TRUE(w.FormClose());
    const auto boxes = ui.callsOf(testui::UiKind::MessageBox);
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[3].caption, "提示");
    EXPECT_EQ(boxes[3].icon, MsgIcon::Warning);
    EXPECT_EQ(boxes[3].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(std::filesystem::exists(settingsPath()));
}

TEST_F(MainWindowTest, SettingsFileThatIsAFolderShowsTheErrorAndStillCloses) {
    std::filesystem::create_directories(settingsPath());
    writeFile("skins/Mx1.skn", "QWidget { color: black; }");
    TFrmMain& w = start();
    EXPECT_GT(w.clientWidth(), 400);  // nothing to read: placed as at a first start
    EXPECT_EQ(w.treeWidth(), 180);
    // A command whose settings write fails ends with the error box, through the menu's handler.
    ui.expectError("无法写入文件“" + settingsPath() + "”（可能是只读文件或磁盘已满）。");
    w.skinMenu()->actions()[0]->trigger();
    EXPECT_EQ(ui.lastCall().kind, testui::UiKind::ErrorBox);
    w.show();  // FormShow has run already: showing does not run it again
    ui.answerYes("确定要关闭软件吗？");
    ui.expectError("无法写入文件“" + settingsPath() + "”（可能是只读文件或磁盘已满）。");
    EXPECT_TRUE(w.close()) << "the window still closes";
    EXPECT_EQ(w.engine(), nullptr);
    EXPECT_EQ(ui.callsOf(testui::UiKind::ErrorBox).size(), 2u);
    EXPECT_TRUE(std::filesystem::is_directory(settingsPath()));
}

TEST_F(MainWindowTest, MissingDatFolderStillClosesCleanly) {
    std::filesystem::remove_all(folder + "dat");
    TFrmMain& w = start();
    ui.answerYes("确定要关闭软件吗？");
    // The case store's Open may have created dat/ again; if it did not, the writes fail with
    // the error box, once.
    const bool datBack = std::filesystem::is_directory(folder + "dat");
    if (!datBack) ui.expectError("无法写入文件“" + settingsPath() + "”（可能是只读文件或磁盘已满）。");
    EXPECT_TRUE(w.FormClose());
    EXPECT_EQ(w.engine(), nullptr);
    EXPECT_EQ(ui.callsOf(testui::UiKind::ErrorBox).size(), datBack ? 0u : 1u);
    std::cout << "dat/ after start-up: " << (datBack ? "created by the case store" : "missing") << "\n";
}

TEST_F(MainWindowTest, SkinsOffCheckTheSystemEntryAndAMissingSkinFileLoadsNothing) {
    writeFile("skins/Mx1.skn", "QWidget { color: black; }");
    writeFile("dat/zxinit.ini", "[window]\nskined=0\nskinname=Mx1\n");
    TFrmMain& w = start();
    std::vector<bool> checks;
    for (QAction* a : w.skinMenu()->actions()) checks.push_back(a->isChecked());
    EXPECT_EQ(checks, (std::vector<bool>{false, false, true}));  // Mx1, separator, 系统默认
    EXPECT_EQ(ui.skins_.calls, std::vector<std::string>{"deactivate"});
    closeWithYes();

    // Skins on with a name whose file is gone: its entry (none here) checked, nothing loaded,
    // nothing said.
    writeFile("dat/zxinit.ini", "[window]\nskined=1\nskinname=Gone\n");
    ui.skins_.calls.clear();
    restart();
    for (QAction* a : window->skinMenu()->actions()) EXPECT_FALSE(a->isChecked()) << a->text().toStdString();
    EXPECT_EQ(ui.skins_.calls, std::vector<std::string>{"load " + folder + "skins/Gone.skn"});
    EXPECT_FALSE(ui.skins_.active());
    closeWithYes();
}

TEST_F(MainWindowTest, TooltipsReshowAfterAQuarterSecond) {
    start();
    EXPECT_EQ(ui.hintReshowDelay, 250);
    closeWithYes();
}

TEST(ProgramStart, EscapedErrorsReachTheErrorBox) {
    testui::ScriptedUi ui;
    ui.expectError("Unable to write to /x/dat/zxinit.ini");
    showEscapedError(ui, std::make_exception_ptr(std::runtime_error("Unable to write to /x/dat/zxinit.ini")));
    ui.expectError("");  // not a standard error: an empty message
    showEscapedError(ui, std::make_exception_ptr(42));
    showEscapedError(ui, nullptr);  // nothing escaped: nothing shown
    EXPECT_EQ(ui.callsOf(testui::UiKind::ErrorBox).size(), 2u);
    EXPECT_STREQ(kApplicationTitle, "Tarmin天文占星 3.6");
}

TEST_F(MainWindowTest, WindowStoredOutsideEveryScreenComesBackAtTheDefaultCorner) {
    writeFile("dat/zxinit.ini", "[winpos]\nleft=30000\ntop=-30000\nwidth=500\nheight=450\n");
    TFrmMain& w = start();
    EXPECT_EQ(w.pos(), QPoint(10, 10));
    EXPECT_EQ(QSize(w.clientWidth(), w.clientHeight()), QSize(500, 450));
    closeWithYes();
    // Partly visible is left where it was.
    writeFile("dat/zxinit.ini", "[winpos]\nleft=-100\ntop=20\nwidth=500\nheight=450\n");
    restart();
    EXPECT_EQ(window->pos(), QPoint(-100, 20));
}

TEST_F(MainWindowTest, ClientSizeStaysPutFromRunToRun) {
    writeFile("dat/zxinit.ini", "[winpos]\nwidth=640\nheight=480\n");
    start();
    for (int run = 0; run < 3; ++run) {
        closeWithYes();
        const IniFile ini(settingsPath());
        EXPECT_EQ(ini.readInteger("winpos", "width", -1), 640) << "run " << run;
        EXPECT_EQ(ini.readInteger("winpos", "height", -1), 480) << "run " << run;
        restart();
    }
}

TEST_F(MainWindowTest, ShrunkWindowKeepsTheInputPanelWhole) {
    TFrmMain& w = start();
    w.show();
    w.setClientSize(100, 100);
    QCoreApplication::processEvents();
    QWidget* panel = control<QWidget>("PanelInput");
    QWidget* last = control<QWidget>("Btnpai");
    // The window stops at a size where the panel's last row is still inside it, below the
    // rows above it.
    EXPECT_GE(panel->height(), panel->minimumHeight());
    EXPECT_LE(last->geometry().bottom(), panel->height());
    EXPECT_GT(last->geometry().top(), control<QWidget>("ledtwei")->geometry().bottom());
    EXPECT_GE(w.clientWidth(), panel->width());
    closeWithYes();
}
