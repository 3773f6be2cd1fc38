// The file menu's chart exchange: charts from AAF or CSV files reviewed and added to the store
// as one step, and saved cases written out as AAF, CSV or JSON.
#include <filesystem>
#include <memory>

#include "atlas/WorldAtlas.h"
#include "interchange/Aaf.h"
#include "interchange/Csv.h"
#include "platform/core/FileOps.h"
#include "platform/core/Gbk.h"
#include "records/ui/CaseCommands.h"
#include "records/ui/Untcsvmap.h"
#include "records/ui/Untdaochu.h"
#include "records/ui/Untdaoru.h"

namespace {
constexpr std::size_t kMaxChartFileBytes = 256u << 20;

std::string placeTable(const MDataBase& db) { return db.BaseFolder() + "dat/dili.ini"; }
}  // namespace

const atlas::WorldAtlas& CaseCommands::exchangeAtlas() {
    if (!atlas_) atlas_ = std::make_shared<atlas::WorldAtlas>(placeTable(db_));
    return *atlas_;
}

void CaseCommands::importCharts() {
    if (blockedForRestart()) return;
    FileDialogRequest request;
    request.title = "打开星盘文件";
    request.filter = "星盘文件(*.aaf;*.csv;*.txt)|*.aaf;*.csv;*.txt|所有文件|*";
    const FileDialogResult file = ui_.openFile(request);
    if (!file.accepted) return;
    std::string text;
    if (!recfs::readRegularFile(file.path, kMaxChartFileBytes, text)) {
        ui_.messageBox("无法读取文件：" + file.path, "导入星盘", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    interchange::ReadResult read;
    if (interchange::looksLikeAaf(text)) {
        read = interchange::readAaf(text);
    } else {
        const interchange::CsvTable table = interchange::readCsvTable(text);
        interchange::CsvMapping mapping = interchange::guessCsvMapping(table.header);
        if (!interchange::csvMappingUsable(mapping)) {
            if (table.header.empty()) {
                ui_.messageBox("文件中没有星盘（AAF的#A93行或带表头的CSV）。", "导入星盘", MsgIcon::Warning,
                               MsgButtons::Ok);
                return;
            }
            TFrmCsvMap map(ui_, table.header, mapping);
            if (!ui_.showModal(map)) return;
            mapping = map.mapping();
        }
        read = interchange::chartsFromCsv(table, mapping);
    }
    interchange::Review review = interchange::reviewCharts(std::move(read), &exchangeAtlas(), db_);
    if (review.items.empty()) {
        std::string text2 = "文件中没有可导入的星盘。";
        for (std::size_t i = 0; i < review.problems.size() && i < 10; ++i)
            text2 += "\n第" + std::to_string(review.problems[i].line) + "行：" + review.problems[i].reason;
        ui_.messageBox(text2, "导入星盘", MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    const std::string category = gbk::toUtf8(gbk::cut(gbk::fromUtf8(std::filesystem::path(file.path).stem().string()),
                                                      CaseRecord::kCategoryBytes));
    TFrmDaoRu dialog(ui_, db_, review, category);
    if (!ui_.showModal(dialog) || dialog.written() <= 0) return;
    std::vector<int> all;
    db_.Find(CaseFilter{}, all);
    tree_.setSearchResults(false);
    tree_.BuildCaseTree(all);
    ui_.plainMessage("已导入" + std::to_string(dialog.written()) + "个命例到分类“" + dialog.category() + "”");
}

void CaseCommands::exportCharts() {
    if (blockedForRestart()) return;
    const int selected = tree_.SelectedCaseNumber();
    CaseRecord selectedCase{};
    const bool haveCase = selected >= 0 && db_.ReadRecord(selected, selectedCase);
    TFrmDaoChu dialog(ui_, db_, exchangeAtlas(), tree_.categoryTexts(), haveCase ? &selectedCase : nullptr);
    if (!ui_.showModal(dialog) || dialog.path().empty()) return;
    ui_.plainMessage("已导出" + std::to_string(dialog.exported()) + "个命例到" + dialog.path());
}
