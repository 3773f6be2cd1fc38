// The file menu's chart exchange with scripted answers: a CSV whose header the program does
// not know goes through the column dialog and the review list (a chart unchecked there stays
// out), and the cases go out again as CSV.
#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidget>
#include <fstream>

#include "CasesFixture.h"
#include "records/ui/Untcsvmap.h"
#include "records/ui/Untdaochu.h"
#include "records/ui/Untdaoru.h"

using interchange::CsvField;

TEST_F(CasesTest, ForeignCsvIsMappedReviewedAndOnlyCheckedChartsAreWritten) {
    start();
    const std::string file = folder + "客户表.csv";
    std::ofstream(file) << "Who,Born,At,Lat,Lon,Off\n"
                           "Ada,10.12.1915,09:00,51.5,-0.12,+0\n"
                           "Bob,1.1.1990,10:00,40.7,-74.0,-5\n"
                           "Eve,1.1.1990,25:00,40.7,-74.0,-5\n";
    auto column = [](TFrmCsvMap& m, CsvField f, int index) {
        m.Columns[static_cast<std::size_t>(f)]->setCurrentIndex(index);
    };
    std::string shownCategory;
    ui.answerFile(testui::UiKind::OpenFile, file)
        .answerModal(true, "CSV列对应",
                     [&](ModalWindow& w) {
                         auto& m = dynamic_cast<TFrmCsvMap&>(w);
                         column(m, CsvField::Name, 1);
                         column(m, CsvField::Date, 2);
                         column(m, CsvField::Time, 3);
                         column(m, CsvField::Latitude, 4);
                         column(m, CsvField::Longitude, 5);
                         column(m, CsvField::Offset, 6);
                         m.BtnokClick();
                     })
        .answerModal(true, "导入星盘",
                     [&](ModalWindow& w) {
                         auto& d = dynamic_cast<TFrmDaoRu&>(w);
                         shownCategory = d.EdtCategory->text().toStdString();
                         ASSERT_EQ(d.ListCharts->topLevelItemCount(), 2);
                         d.ListCharts->topLevelItem(0)->setCheckState(0, Qt::Unchecked);  // Ada stays out
                         d.BtnImportClick();
                     })
        .answerYes("文件中有1行无法读取（见列表）。只导入勾选的1个星盘吗？")
        .expectPlain("已导入1个命例到分类“客户表”");
    window->mnuImportChartsClick();
    EXPECT_EQ(shownCategory, "客户表");
    ASSERT_EQ(db->Count(), 1);
    EXPECT_EQ(stored(0).displayNameUtf8(), "Bob");
    EXPECT_EQ(stored(0).categoryUtf8(), "客户表");
    EXPECT_EQ(ui.pending(), 0u);

    const std::string out = folder + "out.csv";
    ui.answerModal(true, "导出星盘",
                   [&](ModalWindow& w) {
                       auto& d = dynamic_cast<TFrmDaoChu&>(w);
                       d.CboFormat->setCurrentIndex(1);
                       d.BtnokClick();  // asks for the file and writes it
                   })
        .answerFile(testui::UiKind::SaveFile, out)
        .expectPlain("已导出1个命例到" + out);
    window->mnuExportChartsClick();
    std::ifstream in(out);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("\"Bob\",m,1990-01-01,10:00,"), std::string::npos) << text;
}
