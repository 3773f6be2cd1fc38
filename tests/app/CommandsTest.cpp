// Main window commands: chart image copy, save and print, the reading's save, import, print and
// font settings, the topic list and the transit command's refusal.
#include <sys/stat.h>

#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QMenuBar>
#include <QScrollBar>
#include <QWheelEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QTreeWidget>
#include <QListWidget>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextEdit>

#include "MainWindowFixture.h"
#include "app/Unttxthelp.h"
#include "platform/core/ReplaceFile.h"
#include "records/ui/CaseTree.h"

namespace {
// Mean absolute difference per channel of two images of one size, 0 to 255.
double meanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
}  // namespace

TEST_F(MainWindowTest, SavingTheChartAddsTheExtensionOnlyWhenMissing) {
    TFrmMain& w = start();
    ui.answerFile(testui::UiKind::SavePicture, folder + "chart", 2).expectPlain("已保存！");
    w.MenuItem3Click();
    const auto dlg = ui.callsOf(testui::UiKind::SavePicture).back();
    EXPECT_EQ(dlg.file.filter,
              "bmp格式|*.bmp|jpg格式|*.jpg|png格式|*.png|png格式(2倍大小)|*.png|"
              "png格式(指定宽度)|*.png|svg矢量图|*.svg|pdf文档|*.pdf");
    EXPECT_EQ(dlg.caption, "另存为Bmp图片");
    ASSERT_EQ(dlg.file.filterTitles.size(), 7u);  // the title follows the chosen format
    EXPECT_EQ(dlg.file.filterTitles[1], "另存为Jpeg图片");
    EXPECT_EQ(dlg.file.filterTitles[5], "另存为Svg矢量图");
    EXPECT_TRUE(dlg.file.overwritePrompt);
    EXPECT_EQ(readBytes(folder + "chart.jpg").substr(0, 2), "\xFF\xD8");

    ui.answerFile(testui::UiKind::SavePicture, folder + "again.JPG", 2).expectPlain("已保存！");
    w.MenuItem3Click();
    EXPECT_EQ(readBytes(folder + "again.JPG").substr(0, 2), "\xFF\xD8");
    EXPECT_FALSE(std::filesystem::exists(folder + "again.JPG.jpg"));

    ui.answerFile(testui::UiKind::SavePicture, folder + "chart", 1).expectPlain("已保存！");
    w.MenuItem3Click();
    const QImage back(QString::fromStdString(folder + "chart.bmp"));
    EXPECT_EQ(back.size(), QSize(800, 700));

    // A name with another offered extension is written in that format.
    ui.answerFile(testui::UiKind::SavePicture, folder + "typed.png", 1).expectPlain("已保存！");
    w.MenuItem3Click();
    EXPECT_EQ(QImage(QString::fromStdString(folder + "typed.png")).convertToFormat(QImage::Format_RGB32),
              w.chartImage());
    EXPECT_FALSE(std::filesystem::exists(folder + "typed.png.bmp"));

    ui.answerFile(testui::UiKind::SavePicture, folder + "big", 4).expectPlain("已保存！");
    w.MenuItem3Click();
    EXPECT_EQ(QImage(QString::fromStdString(folder + "big.png")).size(), QSize(1600, 1400));

    ui.answerFile(testui::UiKind::SavePicture, folder + "wide", 5).answerInput("1000").expectPlain("已保存！");
    w.MenuItem3Click();
    EXPECT_EQ(QImage(QString::fromStdString(folder + "wide.png")).size(), QSize(1000, 875));
    ui.answerFile(testui::UiKind::SavePicture, folder + "tiny", 5).answerInput("12").expectError();
    w.MenuItem3Click();
    EXPECT_FALSE(std::filesystem::exists(folder + "tiny.png"));

    ui.answerFile(testui::UiKind::SavePicture, folder + "vec", 6).expectPlain("已保存！");
    w.MenuItem3Click();
    EXPECT_NE(readBytes(folder + "vec.svg").find("<svg"), std::string::npos);
    ui.answerFile(testui::UiKind::SavePicture, folder + "doc", 7).expectPlain("已保存！");
    w.MenuItem3Click();
    EXPECT_EQ(readBytes(folder + "doc.pdf").substr(0, 5), "%PDF-");

    // A folder that does not exist: the failure is reported, not "已保存！".
    ui.answerFile(testui::UiKind::SavePicture, folder + "none/chart", 1)
        .expectError(recfs::replaceFailureText(recfs::ReplaceResult::NotWritable, folder + "none/chart.bmp"));
    w.MenuItem3Click();
    ui.answerFile(testui::UiKind::SavePicture, folder + "none/chart", 6).expectError();
    w.MenuItem3Click();
    // A FIFO under the chosen name is refused in every format and stays a FIFO.
    const char* const kExtensions[] = {"bmp", "jpg", "png", "png", "png", "svg", "pdf"};
    for (const char* e : {"bmp", "jpg", "png", "svg", "pdf"}) ::mkfifo((folder + "pipe." + e).c_str(), 0644);
    for (int format = 1; format <= 7; ++format) {
        ui.answerFile(testui::UiKind::SavePicture, folder + "pipe", format);
        if (format == 5) ui.answerInput("1000");
        const std::string target = folder + "pipe." + kExtensions[format - 1];
        ui.expectError(recfs::replaceFailureText(recfs::ReplaceResult::NotRegularFile, target));
        w.MenuItem3Click();
        struct stat st {};
        EXPECT_TRUE(::lstat(target.c_str(), &st) == 0 && S_ISFIFO(st.st_mode)) << target;
    }
    ui.cancelFile(testui::UiKind::SavePicture);
    w.MenuItem3Click();
    closeWithYes();
}

TEST_F(MainWindowTest, PrintingTheChartFitsItToNineTenthsOfThePageEitherWay) {
    TFrmMain& w = start();
    ui.answerYes("准备开始打印吗？").answerPrint(PageOrientation::Portrait);
    w.MenuItem4Click();
    ASSERT_EQ(ui.printer_.draws.size(), 1u);
    // Page 4961 x 7016: scale min(0.9 * 4961 / 800, 0.9 * 7016 / 700) = 5.581125, so
    // 4464 x 3906, centred. The scripted printer takes pictures only: the 1x image goes.
    const auto& d = ui.printer_.draws[0];
    EXPECT_EQ(d.left, 248);
    EXPECT_EQ(d.top, 1555);
    EXPECT_EQ(d.right, 248 + 4464);
    EXPECT_EQ(d.bottom, 1555 + 3906);
    EXPECT_EQ(d.pictureWidth, 800);
    EXPECT_EQ(ui.printer_.jobsEnded, 1);

    // Landscape prints too (the scripted page keeps its size; a real one turns).
    ui.printer_.pageWidth_ = 7016;
    ui.printer_.pageHeight_ = 4961;
    ui.answerYes().answerPrint(PageOrientation::Landscape);
    w.MenuItem4Click();
    ASSERT_EQ(ui.printer_.draws.size(), 2u);
    EXPECT_EQ(ui.printer_.draws[1].bottom - ui.printer_.draws[1].top, 4464);  // 0.9 of the height
    EXPECT_LE(ui.printer_.draws[1].right - ui.printer_.draws[1].left, 7016 * 9 / 10);

    ui.answerNo();
    w.MenuItem4Click();
    ui.answerYes().cancelPrint();
    w.MenuItem4Click();

    ui.printer_.failOnDraw = true;
    ui.answerYes().answerPrint(PageOrientation::Portrait).expectMessage("请检查打印机能否正常工作！");
    w.MenuItem4Click();
    EXPECT_EQ(ui.lastCall().caption, "打印错误");
    EXPECT_EQ(ui.lastCall().icon, MsgIcon::Error);
    closeWithYes();
}

TEST_F(MainWindowTest, CopyPutsTheChartOnTheClipboard) {
    TFrmMain& w = start();
    w.MenuItem2Click();
    EXPECT_EQ(ui.clipboard_.picture().width, 800);
    EXPECT_EQ(ui.clipboard_.picture().height, 700);
    closeWithYes();
}

TEST_F(MainWindowTest, SavingTheReadingAsksBeforeOverwritingAndTheCommentDoesNot) {
    TFrmMain& w = start();
    w.reading().setText("星座分析:\n白羊座");
    writeFile("old.txt", "旧内容");
    ui.answerFile(testui::UiKind::SaveFile, folder + "old", 2).answerNo("文件已存在，要覆盖吗？");
    w.RdysaveClick();
    EXPECT_EQ(readBytes(folder + "old.txt"), gbk::fromUtf8("旧内容"));
    EXPECT_EQ(ui.lastCall().caption, "保存");
    EXPECT_EQ(ui.lastCall().icon, MsgIcon::Warning);

    // Text is UTF-8 with LF line ends; the name typed with its extension keeps it.
    ui.answerFile(testui::UiKind::SaveFile, folder + "old.txt", 2).answerYes().expectPlain("已保存！");
    w.RdysaveClick();
    EXPECT_EQ(readBytes(folder + "old.txt"), "星座分析:\n白羊座");
    EXPECT_EQ(ui.callsOf(testui::UiKind::SaveFile).back().file.filter,
              "Rtf格式|*.rtf|Txt格式(UTF-8)|*.txt|Txt格式(GBK)|*.txt");
    // GBK with CRLF for old programs.
    ui.answerFile(testui::UiKind::SaveFile, folder + "old", 3).answerYes().expectPlain("已保存！");
    w.RdysaveClick();
    EXPECT_EQ(readBytes(folder + "old.txt"), gbk::fromUtf8("星座分析:\r\n白羊座"));

    // After a refused overwrite of a .txt, a save as .rtf writes rich text.
    ui.answerFile(testui::UiKind::SaveFile, folder + "old", 1).expectPlain("已保存！");
    w.RdysaveClick();
    EXPECT_EQ(readBytes(folder + "old.rtf").substr(0, 6), "{\\rtf1");

    w.comment().setText("评语\n第二行");
    ui.answerFile(testui::UiKind::SaveFile, folder + "old", 2).expectPlain("已保存！");
    w.MenuItem32Click();
    EXPECT_EQ(readBytes(folder + "old.txt"), "评语\n第二行");
    ui.answerFile(testui::UiKind::SaveFile, folder + "none/old", 3)
        .expectError(recfs::replaceFailureText(recfs::ReplaceResult::NotWritable, folder + "none/old.txt"));
    w.MenuItem32Click();
    // A FIFO under the name: refused (no wait for a reader), as text and as RTF.
    for (int format : {1, 2}) {
        const std::string target = folder + (format == 1 ? "pipe.rtf" : "pipe.txt");
        ::mkfifo(target.c_str(), 0644);
        ui.answerFile(testui::UiKind::SaveFile, folder + "pipe", format)
            .expectError(recfs::replaceFailureText(recfs::ReplaceResult::NotRegularFile, target));
        w.MenuItem32Click();
    }
    closeWithYes();
}

// Office programs may put a copied passage on the clipboard as RTF only: 粘贴 in the comment box
// reads it with the RTF file reader (GBK text, bold kept).
TEST_F(MainWindowTest, PastingRtfOnlyClipboardContentIntoTheComment) {
    TFrmMain& w = start();
    w.comment().setText("评语：");
    auto* mime = new QMimeData;
    mime->setData(QStringLiteral("text/rtf"),
                  QByteArray("{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 SimSun;}}\\f0 \\b \\'d6\\'d0\\'ce\\'c4\\b0  office}"));
    QApplication::clipboard()->setMimeData(mime);
    QTextEdit* box = w.findChild<QTextEdit*>(QStringLiteral("RedtPingYu"));
    ASSERT_NE(box, nullptr);
    box->moveCursor(QTextCursor::End);
    w.MenuItem7Click();
    EXPECT_EQ(w.comment().text(), "评语：中文 office");
    QTextCursor c(box->document());
    c.setPosition(4);  // inside 中文
    EXPECT_EQ(c.charFormat().fontWeight(), QFont::Bold);
    closeWithYes();
}

TEST_F(MainWindowTest, ImportingAMissingFileReportsTheRetryMessage) {
    TFrmMain& w = start();
    writeFile("in.txt", "导入的命稿");
    ui.answerFile(testui::UiKind::OpenFile, folder + "in.txt", 2);
    w.RdyimportClick();
    EXPECT_EQ(w.reading().text(), "导入的命稿");
    EXPECT_EQ(ui.lastCall().file.filter, "All.rtf|*.rtf|All.txt|*.txt");

    ui.answerFile(testui::UiKind::OpenFile, folder + "gone.txt", 2)
        .expectMessage("导入文件出错，请重试一次");
    w.RdyimportClick();
    EXPECT_EQ(ui.lastCall().caption, "重试一次");
    EXPECT_EQ(ui.lastCall().icon, MsgIcon::None);
    EXPECT_TRUE(w.reading().text().empty());  // cleared before the load
    closeWithYes();
}

TEST_F(MainWindowTest, TopicListMovesTheCaretToTheHeading) {
    TFrmMain& w = start();
    QListWidget* topics = control<QListWidget>("LstTitle");
    topics->setCurrentRow(2);
    w.LstTitleClick();  // no reading yet: nothing happens, nothing is asked
    w.reading().setText("星座分析:\n一\n行星与星座:\n二");
    w.LstTitleClick();
    QTextEdit* edit = control<QTextEdit>("Redtzhanxing");
    EXPECT_EQ(edit->textCursor().position(), 8);
    EXPECT_FALSE(edit->textCursor().hasSelection());
    closeWithYes();
}

TEST_F(MainWindowTest, ReadingFontMenuAndItsSettings) {
    TFrmMain& w = start();
    w.BtnpaiClick();
    ASSERT_TRUE(w.natalCast());
    QTextEdit* reading = control<QTextEdit>("Redtzhanxing");
    reading->document()->setModified(false);
    FontChoice f;
    f.name = "DejaVu Sans";
    f.size = 16;
    f.style.bold = true;
    ui.answerFont(f).expectPlain("设置完成");
    w.OmnusetfontClick();
    // The dialog offers face and size only.
    EXPECT_EQ(ui.callsOf(testui::UiKind::ChooseFont).back().font.name, "宋体");
    EXPECT_FALSE(ui.callsOf(testui::UiKind::ChooseFont).back().font.effects);
    EXPECT_EQ(w.reading().fontName(), "DejaVu Sans");
    EXPECT_EQ(w.reading().fontSize(), 16);
    // The reading on screen takes them at once, every run of it; the bold asked for is not
    // the dialog's to give, and the reading does not count as edited.
    for (QTextBlock b = reading->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat cf = it.fragment().charFormat();
            ASSERT_EQ(cf.fontPointSize(), 16.0) << it.fragment().text().toStdString();
            ASSERT_EQ(cf.fontFamilies().toStringList().value(0).toStdString(), "DejaVu Sans");
        }
    EXPECT_FALSE(reading->document()->isModified());
    ui.answerColor(Rgb{1, 2, 3}).expectPlain("设置完成");
    w.OmnusetcolorClick();
    EXPECT_EQ(w.reading().backgroundColor(), (Rgb{1, 2, 3}));
    ui.cancelColor();
    w.OmnusetcolorClick();
    closeWithYes();
    {
        const IniFile ini(settingsPath());
        EXPECT_EQ(ini.readString("minggao", "fname", ""), "DejaVu Sans");
        EXPECT_EQ(ini.readInteger("minggao", "fsize", 0), 16);
        EXPECT_EQ(ini.readInteger("minggao", "bcolor", 0), 0x030201);
    }
    restart();
    ui.expectPlain("设置完成");
    window->OsetmoClick();
    EXPECT_EQ(window->reading().fontName(), "宋体");
    EXPECT_EQ(window->reading().fontSize(), 10);
    EXPECT_EQ(window->reading().backgroundColor().toBgr(), 0xFFFFFFu);
    closeWithYes();
}

TEST_F(MainWindowTest, SelectionFontNeedsASelection) {
    TFrmMain& w = start();
    w.reading().setText("行星与星座:");
    w.RdtsetFClick();  // no selection: no dialog
    w.reading().select(0, 2);
    FontChoice f;
    f.name = "宋体";
    f.size = 20;
    f.color = Rgb{0, 0, 255};
    ui.answerFont(f);
    w.RdtsetFClick();
    w.reading().select(0, 1);
    EXPECT_EQ(w.reading().selectionFont().size, 20);
    EXPECT_EQ(w.reading().selectionFont().color, (Rgb{0, 0, 255}));
    closeWithYes();
}

TEST_F(MainWindowTest, PrintingTheReadingReportsAPrinterFault) {
    TFrmMain& w = start();
    ui.answerNo("确定要打印了吗？");
    w.RpyprtClick();
    // The scripted printer cannot print a document: the fault message.
    ui.answerYes("准备开始打印吗？").answerPrint(PageOrientation::Portrait)
        .expectMessage("打印错误，请检查打印设备！");
    w.MenuItem33Click();
    EXPECT_EQ(ui.lastCall().caption, "打印错误");
    closeWithYes();
}

TEST_F(MainWindowTest, HelpWindowHasItsThreeReadOnlyPages) {
    TFrmMain& w = start();
    int pagesSeen = 0;
    ui.answerModal(true, "软件帮助", [&](ModalWindow& m) {
        pagesSeen = dynamic_cast<TFrmTxtHelp&>(m).pages()->count();
    });
    w.mnuH_helpClick();
    EXPECT_EQ(pagesSeen, 3);
    closeWithYes();

    TFrmTxtHelp help;
    EXPECT_EQ(help.windowTitle().toStdString(), "软件帮助");
    EXPECT_EQ(help.size(), QSize(702, 662));
    ASSERT_EQ(help.pages()->count(), 3);
    EXPECT_EQ(help.pages()->tabText(0).toStdString(), "使用说明");
    EXPECT_EQ(help.pages()->tabText(1).toStdString(), "Tarmin软件");
    EXPECT_EQ(help.pages()->tabText(2).toStdString(), "升级改进历史");
    for (int i = 0; i < 3; ++i) {
        auto* text = qobject_cast<QTextEdit*>(help.pages()->widget(i));
        ASSERT_NE(text, nullptr);
        EXPECT_TRUE(text->isReadOnly());
        EXPECT_FALSE(text->toPlainText().isEmpty());
    }
}

namespace {
void mouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton b) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(b);
    QMouseEvent e(type, QPointF(p), w->mapToGlobal(QPointF(p)), b, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}
}  // namespace

TEST_F(MainWindowTest, DraggingAZoomedChartScrollsItButNeverPastItsEdges) {
    TFrmMain& w = start();
    ChartPage& page = w.chartPage();
    QWidget* img = control<QWidget>("Imgzhanxing");
    for (int i = 0; i < 4; ++i) w.zoomChart(1);
    ASSERT_GT(img->width(), page.viewport()->width());
    page.centre();
    QScrollBar* h = page.horizontalScrollBar();
    QScrollBar* v = page.verticalScrollBar();
    const int x0 = h->value();
    const int y0 = v->value();
    mouse(img, QEvent::MouseButtonPress, {100, 100}, Qt::RightButton);  // other buttons: nothing
    mouse(img, QEvent::MouseMove, {130, 90}, Qt::NoButton);
    EXPECT_EQ(h->value(), x0);
    mouse(img, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
    mouse(img, QEvent::MouseMove, {150, 120}, Qt::NoButton);
    EXPECT_EQ(h->value(), x0 - 50);
    EXPECT_EQ(v->value(), y0 - 20);
    // Flung far away the chart stops at its edge: the view still shows chart.
    mouse(img, QEvent::MouseMove, {-100000, -100000}, Qt::NoButton);
    EXPECT_EQ(h->value(), h->maximum());
    EXPECT_EQ(v->value(), v->maximum());
    EXPECT_EQ(h->maximum(), img->width() - page.viewport()->width());
    mouse(img, QEvent::MouseButtonRelease, {90, 100}, Qt::LeftButton);
    mouse(img, QEvent::MouseMove, {100000, 100000}, Qt::NoButton);
    EXPECT_EQ(h->value(), h->maximum());
    closeWithYes();
}

TEST_F(MainWindowTest, ChartHintFollowsThePointerAndBlankHintsShowNoBox) {
    TFrmMain& w = start();
    QWidget* img = control<QWidget>("Imgzhanxing");
    mouse(img, QEvent::MouseMove, {400, 350}, Qt::NoButton);  // no chart yet
    EXPECT_TRUE(img->toolTip().isEmpty()) << "'" << img->toolTip().toStdString() << "'";
    control<QPushButton>("Btnpai")->click();
    ASSERT_TRUE(w.natalCast());
    const std::string centre = w.engine()->hintAt(400, 350);
    mouse(img, QEvent::MouseMove, {400, 350}, Qt::NoButton);
    EXPECT_EQ(img->toolTip().toStdString(), QString::fromStdString(centre).trimmed().isEmpty() ? "" : centre);
    closeWithYes();
}

TEST_F(MainWindowTest, TheChartFitsThePageUntilZoomedAndFitsAgainOnCtrlZero) {
    writeFile("dat/zxinit.ini", "[winpos]\nwidth=1400\nheight=1000\ntreewid=100\npinghei=40\n");
    TFrmMain& w = start();
    w.show();
    QCoreApplication::processEvents();
    QWidget* img = control<QWidget>("Imgzhanxing");
    ChartPage& page = w.chartPage();
    auto expectFitted = [&] {
        const QSize view = page.viewport()->size();
        EXPECT_TRUE(page.fitting());
        EXPECT_DOUBLE_EQ(page.zoom(), chartzoom::fit(view.width(), view.height(), 800, 700));
        EXPECT_LE(img->width(), view.width());
        EXPECT_LE(img->height(), view.height());
        // One side fills the view (to a pixel), the chart is centred along the other.
        EXPECT_TRUE(view.width() - img->width() <= 1 || view.height() - img->height() <= 1);
        EXPECT_EQ(img->x(), (view.width() - img->width()) / 2);
        EXPECT_EQ(img->y(), (view.height() - img->height()) / 2);
    };
    expectFitted();
    w.resize(500, 400);
    QCoreApplication::processEvents();
    expectFitted();

    const double fitted = page.zoom();
    // The zoom entries carry the keys, for the whole window.
    const auto keys = [&](const char* name) { return action(name)->shortcuts(); };
    EXPECT_TRUE(keys("mnuZoomIn").contains(QKeySequence(Qt::CTRL | Qt::Key_Plus)));
    EXPECT_TRUE(keys("mnuZoomIn").contains(QKeySequence(Qt::CTRL | Qt::Key_Equal)));
    EXPECT_TRUE(keys("mnuZoomOut").contains(QKeySequence(Qt::CTRL | Qt::Key_Minus)));
    EXPECT_TRUE(keys("mnuZoomFit").contains(QKeySequence(Qt::CTRL | Qt::Key_0)));
    EXPECT_EQ(action("mnuZoomIn")->shortcutContext(), Qt::WindowShortcut);
    action("mnuZoomIn")->trigger();
    EXPECT_FALSE(page.fitting());
    EXPECT_DOUBLE_EQ(page.zoom(), fitted * 1.25);
    action("mnuZoomOut")->trigger();
    action("mnuZoomOut")->trigger();
    EXPECT_DOUBLE_EQ(page.zoom(), fitted / 1.25);
    action("mnuZoomFit")->trigger();
    expectFitted();

    // Ctrl with the wheel zooms about the pointer: the chart point under it stays there.
    const QPoint pointer(page.viewport()->width() / 3, page.viewport()->height() / 3);
    const QPointF before = (QPointF(page.horizontalScrollBar()->value(), page.verticalScrollBar()->value()) +
                            pointer - img->pos()) / page.zoom();
    QWheelEvent wheel(pointer, page.viewport()->mapToGlobal(pointer), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(page.viewport(), &wheel);
    EXPECT_DOUBLE_EQ(page.zoom(), fitted * 1.25);
    const QPointF after = (QPointF(page.horizontalScrollBar()->value(), page.verticalScrollBar()->value()) +
                           pointer - img->pos()) / page.zoom();
    // Along an axis where the chart is larger than the view (a smaller one is centred).
    const QSize view = page.viewport()->size();
    ASSERT_TRUE(img->width() > view.width() || img->height() > view.height());
    if (img->width() > view.width()) {
        EXPECT_NEAR(after.x(), before.x(), 1.0);
    }
    if (img->height() > view.height()) {
        EXPECT_NEAR(after.y(), before.y(), 1.0);
    }
    closeWithYes();
}

TEST_F(MainWindowTest, TheChartIsDrawnAtTheScreensPixelRatio) {
    TFrmMain& w = start();
    control<QPushButton>("Btnpai")->click();
    auto* img = static_cast<TChartImage*>(control<QWidget>("Imgzhanxing"));
    w.zoomChart(0);
    const QPixmap& pm = img->renderedPixmap();
    EXPECT_EQ(pm.size(), img->size() * img->devicePixelRatioF());
    // At 100 % the vector replay matches the chart image closely.
    img->setZoom(1.0);
    // (At a screen scale of 2, as with QT_SCALE_FACTOR=2, the pixmap has 1600 x 1400 pixels.)
    QImage shown = img->renderedPixmap().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(800, 700) * img->devicePixelRatioF());
    if (shown.width() != 800)
        shown = shown.scaled(800, 700, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_LT(meanDifference(shown, w.chartImage()), 6.0);
    closeWithYes();
}

TEST_F(MainWindowTest, RecordTreeShowsCategoriesThenCasesNewestFirst) {
    {
        MDataBase store;
        ASSERT_TRUE(store.Open(folder));
        auto add = [&](const char* name, const char* category, int year, bool male, bool lunar, bool leap) {
            CaseRecord r{};
            r.setName(name);
            r.setCategory(category);
            r.year = static_cast<int16_t>(year);
            r.month = 3;
            r.day = 7;
            r.male = male;
            r.lunar = lunar;
            r.leap = leap;
            ASSERT_GE(store.Append(r), 0);
        };
        add("某人", "朋友", 1985, true, false, false);  // 0
        add("甲", "Work", 0, false, true, true);         // 1
        add("乙", "work", 1990, true, true, false);      // 2: same category, ASCII case ignored
    }
    writeFile("dat/zxinit.ini", "[classes]\ncount=2\n1=同事\n2=朋友\n");
    start();
    QTreeWidgetItem* root = control<QTreeWidget>("Tree")->topLevelItem(0);
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->childCount(), 3);
    EXPECT_FALSE(root->child(2)->isExpanded());
    // The case nodes of a category are made when it is first opened.
    for (int i = 0; i < root->childCount(); ++i) window->caseTree().materialize(root->child(i));
    EXPECT_EQ(root->child(0)->text(0).toStdString(), "同事");
    EXPECT_EQ(root->child(0)->childCount(), 0);
    EXPECT_EQ(root->child(1)->text(0).toStdString(), "朋友");
    EXPECT_EQ(root->child(1)->child(0)->text(0).toStdString(), "某人  公1985-3-7|0");
    QTreeWidgetItem* work = root->child(2);
    EXPECT_EQ(work->text(0).toStdString(), "work");  // first met: record 2, the newest
    ASSERT_EQ(work->childCount(), 2);
    EXPECT_EQ(work->child(0)->text(0).toStdString(), "乙  农1990-3-7|2");
    EXPECT_EQ(work->child(1)->text(0).toStdString(), "甲  农闰-1-3-7|1");
    EXPECT_TRUE(root->isExpanded());
    EXPECT_FALSE(work->isExpanded());
    closeWithYes();
    const IniFile ini(settingsPath());
    EXPECT_EQ(ini.readInteger("classes", "count", 0), 3);
    EXPECT_EQ(ini.readString("classes", "3", ""), "work");
}

TEST_F(MainWindowTest, MenusCarryTheirCaptionsInOrder) {
    TFrmMain& w = start();
    auto captions = [](const QMenu* m) {
        std::vector<std::string> out;
        for (QAction* a : m->actions()) out.push_back(a->isSeparator() ? "-" : a->text().toStdString());
        return out;
    };
    std::vector<std::string> top;
    for (QAction* a : w.menuBar()->actions()) top.push_back(a->text().toStdString());
    EXPECT_EQ(top, (std::vector<std::string>{"文件(&F)", "辅助工具(&T)", "选项(&O)", "盘型(&X)", "帮助(&H)"}));
    EXPECT_EQ(captions(w.menuBar()->actions()[0]->menu()),
              (std::vector<std::string>{"保存命例", "-", "导入历史记录", "导出历史记录", "整理记录文件", "-",
                                        "导入星盘(AAF/CSV)...", "导出星盘(AAF/CSV/JSON)...", "-", "退出程序"}));
    EXPECT_EQ(captions(w.menuBar()->actions()[1]->menu()),
              (std::vector<std::string>{"血型测试", "经纬度设置", "万年历"}));
    EXPECT_EQ(captions(w.menuBar()->actions()[2]->menu()),
              (std::vector<std::string>{"命稿设置", "排盘设置", "界面风格", "界面文字"}));
    EXPECT_EQ(captions(w.menuBar()->actions()[2]->menu()->actions()[0]->menu()),
              (std::vector<std::string>{"默认", "字体设置", "背景色设置"}));
    EXPECT_EQ(captions(w.menuBar()->actions()[3]->menu()),
              (std::vector<std::string>{"本命盘", "-", "合盘...", "组合盘...", "时空中点盘...", "推运盘...",
                                        "太阳弧盘...", "日返照盘...", "月返照盘...", "-", "行运与天象..."}));
    EXPECT_EQ(captions(w.menuBar()->actions()[4]->menu()), std::vector<std::string>{"软件帮助"});
    // Each entry carries the name of its handler (the handler is the name plus "Click").
    for (const char* name : {"N4", "N7", "N8", "N9", "N6", "mnuT_xue", "mnuT_dili", "mnuT_wnl",
                             "Osetmo", "Omnusetfont", "Omnusetcolor", "Omnusetcan", "mnuH_help",
                             "MenuItem2", "MenuItem3", "MenuItem4", "ppyundo", "Rpycopy",
                             "Rpypaste", "Rpycut", "Rpydel", "Rpyselall", "RdtsetF", "Rdyimport",
                             "Rdysave", "Rpyprt", "MenuItem21", "MenuItem6", "MenuItem7",
                             "MenuItem25", "MenuItem26", "MenuItem27", "MenuItem29", "MenuItem32",
                             "MenuItem33"})
        action(name);
    EXPECT_EQ(action("MenuItem7")->text().toStdString(), "粘贴");
    EXPECT_EQ(action("Rpypaste")->text().toStdString(), "粘贴");
    EXPECT_EQ(captions(w.findChild<QMenu*>("PopZhangX")),
              (std::vector<std::string>{"复制", "另存为...", "打印", "-", "放大", "缩小", "适合窗口"}));
    EXPECT_EQ(captions(w.findChild<QMenu*>("popRdtzx")),
              (std::vector<std::string>{"撤销", "-", "复制", "粘贴", "剪切", "删除", "全选", "-",
                                        "设置选中文字", "-", "导入命稿文件", "另存为", "打印命稿"}));
    EXPECT_EQ(captions(w.findChild<QMenu*>("PopPingYu")),
              (std::vector<std::string>{"撤销", "-", "复制", "粘贴", "剪切", "删除", "全选", "-",
                                        "设置选中文字", "-", "另存为", "打印"}));
    // "退出程序" closes through the confirmation.
    ui.answerNo("确定要关闭软件吗？");
    action("N6")->trigger();
    EXPECT_NE(w.engine(), nullptr);
    ui.answerYes("确定要关闭软件吗？");
    action("N6")->trigger();
    EXPECT_EQ(w.engine(), nullptr);
}

TEST(MainWindowSource, OpensNoStandardDialogDirectly) {
    // Message boxes and standard dialogs go through the user-interface services, so the tests can
    // answer them; the sources of the windows and dialogs name none of Qt's dialog classes.
    const std::vector<std::string> banned = {"QMessageBox", "QFileDialog", "QInputDialog",
                                             "QFontDialog", "QColorDialog", "QPrintDialog"};
    int files = 0;
    for (const char* folder : {"app", "dialogs", "calendar/ui", "records/ui"}) {
        const std::filesystem::path dir = testdata::sourceDir() + folder;
        if (!std::filesystem::is_directory(dir)) continue;
        for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
            const auto ext = e.path().extension();
            if (ext != ".cpp" && ext != ".h") continue;
            ++files;
            std::ifstream in(e.path());
            const std::string text((std::istreambuf_iterator<char>(in)), {});
            for (const auto& b : banned)
                EXPECT_EQ(text.find(b), std::string::npos) << e.path() << ": " << b;
        }
    }
    EXPECT_GE(files, 5);
}
