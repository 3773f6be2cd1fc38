// JPEG writer, skins as style sheets, picture conversion, file-dialog filters and the scripted
// user-interface double the form tests rely on.
#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QWidget>
#include <iostream>
#include <QImage>
#include <filesystem>
#include <fstream>

#include "platform/core/Gbk.h"
#include "platform/qt/JpegWriter.h"
#include "platform/qt/PictureQt.h"
#include "platform/qt/QtPrinter.h"
#include "platform/qt/QtSkinEngine.h"
#include "tests/platform/QtTestApp.h"
#include "platform/qt/QtUiServices.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestData.h"

TEST(JpegWriter, WritesAFileQtReadsBackWithSmallError) {
    testqt::app();
    const std::string dir = testdata::freshTempDir("jpeg");
    QImage img(800, 700, QImage::Format_RGB32);
    img.fill(QColor(208, 204, 192));
    for (int y = 100; y < 200; ++y)
        for (int x = 100; x < 300; ++x) img.setPixelColor(x, y, QColor(0, 0, 255));
    std::string err;
    ASSERT_TRUE(writeJpeg(img, dir + "图.jpg", &err)) << err;
    QImage back(QString::fromStdString(dir + "图.jpg"), "JPG");
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.size(), img.size());
    int worst = 0;
    for (QPoint p : {QPoint(10, 10), QPoint(150, 150), QPoint(700, 600)}) {
        const QColor a = img.pixelColor(p), b = back.pixelColor(p);
        worst = std::max({worst, std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                          std::abs(a.blue() - b.blue())});
    }
    std::printf("largest channel error at flat areas: %d of 255\n", worst);
    EXPECT_LE(worst, 8);
    EXPECT_FALSE(writeJpeg(img, dir + "missing/x.jpg", &err));
    EXPECT_FALSE(err.empty());
}

TEST(QtSkinEngine, GbkStyleSheetIsAppliedWhileActive) {
    testqt::app();
    const std::string dir = testdata::freshTempDir("skin");
    {
        std::ofstream out(dir + "Mx1.skn", std::ios::binary);
        out << gbk::fromUtf8("/* 蓝色 */ QWidget { background: #d0e0f0; }");
    }
    QtSkinEngine skins;
    EXPECT_FALSE(skins.loadSkinFile(dir + "none.skn"));
    ASSERT_TRUE(skins.loadSkinFile(dir + "Mx1.skn"));
    EXPECT_TRUE(skins.styleSheet().contains(QStringLiteral("蓝色")));
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    skins.activate();
    EXPECT_TRUE(skins.active());
    EXPECT_TRUE(qApp->styleSheet().contains(QStringLiteral("#d0e0f0")));
    skins.deactivate();
    EXPECT_FALSE(skins.active());
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
}

TEST(ShippedSkins, EveryStyleSheetParsesAsGbk) {
    const std::filesystem::path dir = testdata::sourceDir() + "resources/skins";
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        if (e.path().extension() != ".skn") continue;
        ++n;
        std::ifstream in(e.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        EXPECT_EQ(gbk::fromUtf8(gbk::toUtf8(bytes)), bytes) << e.path();
        EXPECT_NE(bytes.find('{'), std::string::npos) << e.path();
    }
    EXPECT_GE(n, 2);
}

TEST(PictureQt, RoundTripKeepsPixels) {
    testqt::app();
    QImage img(3, 2, QImage::Format_RGB32);
    img.fill(Qt::white);
    img.setPixelColor(2, 1, QColor(10, 20, 30));
    const Picture p = pictureFromImage(img);
    ASSERT_EQ(p.width, 3);
    ASSERT_EQ(p.height, 2);
    EXPECT_EQ(p.pixels[5], 0xFF0A141Eu);
    const QImage back = imageFromPicture(p);
    EXPECT_EQ(back.pixelColor(2, 1), QColor(10, 20, 30));
    EXPECT_TRUE(imageFromPicture(Picture{}).isNull());
}

namespace {
// Counts the tooltip events that reach it.
class TipCounter : public QWidget {
public:
    int tips = 0;

protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::ToolTip) {
            ++tips;
            return true;
        }
        return QWidget::event(e);
    }
};
}  // namespace

TEST(QtUiServices, NextTooltipWaitsForTheReshowDelay) {
    testqt::app();
    QtUiServices ui("Tarmin天文占星 3.6");
    ui.setHintReshowDelay(250);
    TipCounter w;
    const QPoint at = QCursor::pos();
    auto tip = [&] {
        QHelpEvent e(QEvent::ToolTip, w.mapFromGlobal(at), at);
        QApplication::sendEvent(&w, &e);
    };
    tip();  // the first tooltip comes after Qt's own wake-up delay: passed through
    EXPECT_EQ(w.tips, 1);
    tip();  // the next one, right after: held back
    EXPECT_EQ(w.tips, 1);
    QElapsedTimer waited;
    waited.start();
    while (w.tips < 2 && waited.elapsed() < 5000) QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(w.tips, 2) << "the held tooltip was replayed (pointer unmoved)";
    std::cout << "tooltip replayed after " << waited.elapsed() << " ms (delay 250 ms)\n";
    ui.setHintReshowDelay(0);  // off again for the other tests
}

TEST(QtUiServices, FilterListBecomesQtNameFilters) {
    const QStringList f = QtUiServices::nameFilters("bmp格式|*.bmp|jpg格式|*.jpg");
    ASSERT_EQ(f.size(), 2);
    EXPECT_EQ(f[0], QStringLiteral("bmp格式 (*.bmp)"));
    EXPECT_EQ(f[1], QStringLiteral("jpg格式 (*.jpg)"));
    EXPECT_EQ(QtUiServices::nameFilters("文本|*.rtf;*.txt")[0], QStringLiteral("文本 (*.rtf *.txt)"));
    EXPECT_TRUE(QtUiServices::nameFilters("").isEmpty());
}

TEST(ScriptedUi, AnswersInOrderAndRecordsCalls) {
    testui::ScriptedUi ui;
    ui.answerNo("确定要关闭软件吗？").answerInput("福州").expectPlain("已保存！");
    EXPECT_EQ(ui.messageBox("确定要关闭软件吗？", "关闭", MsgIcon::Information, MsgButtons::YesNo,
                            MsgResult::Yes),
              MsgResult::No);
    EXPECT_EQ(ui.inputLine("输入", "输入县、市、区名：", "").value_or("?"), "福州");
    ui.plainMessage("已保存！");
    ASSERT_EQ(ui.calls().size(), 3u);
    EXPECT_EQ(ui.calls()[0].caption, "关闭");
    EXPECT_EQ(ui.calls()[0].icon, MsgIcon::Information);
    EXPECT_EQ(ui.calls()[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(ui.calls()[1].text, "输入县、市、区名：");
    EXPECT_EQ(ui.pending(), 0u);
}

TEST(ScriptedUi, UnexpectedOrMismatchedCallsFailTheTest) {
    EXPECT_NONFATAL_FAILURE(
        {
            testui::ScriptedUi ui;
            ui.plainMessage("完成");
        },
        "unexpected plain message");
    EXPECT_NONFATAL_FAILURE(
        {
            testui::ScriptedUi ui;
            ui.answerYes();
            ui.showError("Unable to write to x");
        },
        "expected a message box but got a error box");
    EXPECT_NONFATAL_FAILURE(
        {
            testui::ScriptedUi ui;
            ui.expectMessage("甲");
            ui.messageBox("乙", "提示", MsgIcon::Information, MsgButtons::Ok, MsgResult::Ok);
        },
        "expected \"甲\"");
    EXPECT_NONFATAL_FAILURE({ testui::ScriptedUi ui; ui.answerYes(); }, "never asked for");
}

TEST(ScriptedUi, PrinterFakeRaisesAndPrintDialogSetsOrientation) {
    testui::ScriptedUi ui;
    ui.answerPrint(PageOrientation::Landscape);
    EXPECT_TRUE(ui.printDialog(ui.printer()));
    EXPECT_EQ(ui.printer().orientation(), PageOrientation::Landscape);
    ui.printer_.failOnBegin = true;
    EXPECT_THROW(ui.printer().beginJob(""), PrinterError);
}

TEST(QtPrinter, PrintsAPictureIntoAPdfAndRaisesOnMisuse) {
    testqt::app();
    const std::string dir = testdata::freshTempDir("print");
    QtPrinter printer;
    printer.setOrientation(PageOrientation::Landscape);
    EXPECT_EQ(printer.orientation(), PageOrientation::Landscape);
    printer.setOrientation(PageOrientation::Portrait);
    EXPECT_GT(printer.pageHeight(), printer.pageWidth());
    EXPECT_THROW(printer.endJob(), PrinterError);
    printer.qprinter().setOutputFormat(QPrinter::PdfFormat);
    printer.qprinter().setOutputFileName(QString::fromStdString(dir + "chart.pdf"));
    QImage img(80, 70, QImage::Format_RGB32);
    img.fill(Qt::red);
    printer.beginJob("");
    EXPECT_THROW(printer.beginJob(""), PrinterError);
    printer.stretchDraw(10, 10, 810, 710, pictureFromImage(img));
    EXPECT_THROW(printer.stretchDraw(0, 0, 1, 1, Picture{}), PrinterError);
    printer.endJob();
    std::ifstream in(dir + "chart.pdf", std::ios::binary);
    std::string head(4, '\0');
    in.read(head.data(), 4);
    EXPECT_EQ(head, "%PDF");
}
