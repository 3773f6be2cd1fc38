// The window 行运与天象 on its own: a search fills the list in time order and the timeline, the
// filter hides what it should, a double-click hands the row's instant to the main window, and
// the CSV export writes what the list shows.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <chrono>
#include <fstream>
#include <sstream>

#include "DialogTestSupport.h"
#include "dialogs/Untforecast.h"
#include "tests/support/ScriptedUi.h"

namespace {
using testui::ScriptedUi;
using testui::UiKind;

ForecastSubject subject() {
    ForecastSubject s;
    s.name = "甲";
    s.natal = {{"太阳", 56.4}, {"月亮", 301.2}, {"上升", 168.2}, {"天顶", 77.0}};
    s.zoneIndex = 8;
    return s;
}

TEST(ForecastWindow, SearchListFilterCastAndExport) {
    testqt::app();
    ScriptedUi ui;
    std::vector<double> cast;
    TFrmForecast w(subject(), ui, [&](double jd) { cast.push_back(jd); });
    EXPECT_EQ(w.EdtFrom->text().toStdString(), "2026-01-01");  // this year by the clock
    w.EdtFrom->setText("2024-03-01");
    w.EdtTo->setText("2024-04-30");
    w.BtnFindClick();
    w.waitForSearch();
    ASSERT_FALSE(w.hits().empty());
    ASSERT_FALSE(w.events().empty());
    const int rows = w.LstEvents->rowCount();
    EXPECT_EQ(rows, static_cast<int>(w.hits().size() + w.events().size()));
    for (int r = 1; r < rows; ++r)
        EXPECT_LE(w.LstEvents->item(r - 1, 0)->text(), w.LstEvents->item(r, 0)->text());
    // The eclipse of 2024-04-08 (UTC+8: the 9th) is listed with its kind.
    bool eclipse = false;
    for (int r = 0; r < rows; ++r)
        eclipse = eclipse || (w.LstEvents->item(r, 1)->text() == "日食" && w.LstEvents->item(r, 4)->text() == "全食" &&
                              w.LstEvents->item(r, 0)->text().startsWith("2024-04-09"));
    EXPECT_TRUE(eclipse);
    // Filter: the Sun's rows only.
    w.CboBody->setCurrentIndex(1 + forecast::kSun);
    for (int r = 0; r < rows; ++r)
        if (!w.LstEvents->isRowHidden(r)) {
            EXPECT_EQ(w.LstEvents->item(r, 2)->text(), "太阳");
        }
    w.CboBody->setCurrentIndex(0);
    // Double-click on a transit row casts at its instant.
    int transitRow = -1;
    for (int r = 0; r < rows && transitRow < 0; ++r)
        if (w.LstEvents->item(r, 1)->text().startsWith("行运")) transitRow = r;
    ASSERT_GE(transitRow, 0);
    w.rowDoubleClicked(transitRow);
    ASSERT_EQ(cast.size(), 1u);
    EXPECT_DOUBLE_EQ(cast[0], w.LstEvents->item(transitRow, 0)->data(Qt::UserRole).toDouble());
    // CSV: a header and one line per row.
    const std::string csv = testdata::freshTempDir("forecast") + "list.csv";
    ui.answerFile(UiKind::SaveFile, csv);
    w.BtnCsvClick();
    std::ifstream in(csv);
    std::string line;
    int lines = 0;
    while (std::getline(in, line)) ++lines;
    EXPECT_EQ(lines, rows + 1);
    // PDF: the timeline's page, then the list's.
    const std::string pdf = testdata::freshTempDir("forecast-pdf") + "list.pdf";
    ui.answerFile(UiKind::SaveFile, pdf);
    w.BtnPdfClick();
    std::ifstream pin(pdf, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(pin)), std::istreambuf_iterator<char>());
    std::size_t pages = 0;
    for (std::size_t at = bytes.find("/Type /Page\n"); at != std::string::npos; at = bytes.find("/Type /Page\n", at + 1)) ++pages;
    EXPECT_GE(pages, 2u) << bytes.size();
    // Printing: the timeline's page, then the list over as many pages as it needs (a short
    // page makes several), each page drawn once and inside the page.
    auto& printer = dynamic_cast<testui::ScriptedPrinter&>(ui.printer());
    printer.pageHeight_ = printer.pageWidth_ / 4;
    ui.answerPrint(PageOrientation::Landscape);
    w.BtnPrintClick();
    ASSERT_EQ(printer.jobsEnded, 1);
    EXPECT_GE(printer.newPages, 2);
    EXPECT_EQ(static_cast<int>(printer.draws.size()), printer.newPages + 1);
    for (const auto& d : printer.draws) {
        EXPECT_LE(d.right, printer.pageWidth_);
        EXPECT_LE(d.bottom, printer.pageHeight_);
    }
}

// A chart with an IANA zone lists on that zone's clock, summer time included; Chiron shown
// joins the transiting bodies and the sky's events (its ingress into Taurus, June 2026).
TEST(ForecastWindow, TheChartsZoneAndChiron) {
    testqt::app();
    ScriptedUi ui;
    ForecastSubject s = subject();
    s.zoneId = "America/New_York";
    s.longitude = -74.0;
    s.asteroids = {true, false, false, false, false};
    TFrmForecast w(s, ui, {});
    EXPECT_EQ(w.CboZone->currentText().toStdString(), "America/New_York");
    w.EdtFrom->setText("2026-06-15");
    w.EdtTo->setText("2026-06-25");
    w.BtnFindClick();
    w.waitForSearch();
    bool ingress = false;
    for (int r = 0; r < w.LstEvents->rowCount(); ++r) {
        const double jd = w.LstEvents->item(r, 0)->data(Qt::UserRole).toDouble();
        EXPECT_EQ(w.LstEvents->item(r, 0)->text().toStdString(), forecast::localTimeText(jd, forecast::fixedOffset(-4 * 3600)));
        ingress = ingress || (w.LstEvents->item(r, 1)->text() == "入座" && w.LstEvents->item(r, 2)->text() == "凯龙星");
    }
    EXPECT_TRUE(ingress);
    w.EdtFrom->setText("1599-06-01");
    w.EdtTo->setText("1600-06-01");
    ui.expectMessage("凯龙星和小行星只能查1600-2200年。");
    w.BtnFindClick();  // Chiron and the asteroids are tabulated for 1600-2200
}
}  // namespace

namespace {
TEST(ForecastWindow, ALongSearchCanBeCancelledAndPeriodsAreChecked) {
    testqt::app();
    testui::ScriptedUi ui;
    TFrmForecast w(subject(), ui, {});
    // A period the window refuses, with its message.
    w.EdtFrom->setText("2024-03-01");
    w.EdtTo->setText("2124-03-10");
    ui.expectMessage("时段须从前一日期到后一日期，最长一百年。");
    w.BtnFindClick();
    EXPECT_FALSE(w.searching());
    // A hundred years with the Moon, cancelled at once: the window is free again at once.
    w.EdtTo->setText("2123-12-31");
    w.ChkMoon->setChecked(true);
    const auto started = std::chrono::steady_clock::now();
    w.BtnFindClick();
    EXPECT_TRUE(w.searching());
    EXPECT_FALSE(w.BtnFind->isEnabled());
    EXPECT_TRUE(w.BtnCancel->isEnabled());
    w.BtnCancelClick();
    w.waitForSearch();
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(), 3.0);
    EXPECT_TRUE(w.BtnFind->isEnabled());
    EXPECT_FALSE(w.BtnCancel->isEnabled());
}
}  // namespace
