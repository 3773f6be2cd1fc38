#include "records/ui/Untdaoru.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdio>

#include "platform/qt/Controls.h"
#include "records/ui/CategoryList.h"

TFrmDaoRu::TFrmDaoRu(UiServices& ui, MDataBase& db, interchange::Review& review, const std::string& category,
                     QWidget* parent)
    : QDialog(parent), ui_(ui), db_(db), review_(review) {
    setObjectName(QStringLiteral("FrmDaoRu"));
    setWindowTitle(qs("导入星盘"));
    auto* col = new QVBoxLayout(this);
    LblSummary = new QLabel(this);
    LblSummary->setObjectName(QStringLiteral("LblSummary"));
    col->addWidget(LblSummary);

    ListCharts = new QTreeWidget(this);
    ListCharts->setObjectName(QStringLiteral("ListCharts"));
    nameControl(ListCharts, "星盘列表");
    ListCharts->setRootIsDecorated(false);
    ListCharts->setHeaderLabels({qs("状态"), qs("姓名"), qs("出生时间"), qs("时差"), qs("地点"), qs("行")});
    ListCharts->setMinimumSize(720, 260);
    char when[64];
    for (std::size_t i = 0; i < review_.items.size(); ++i) {
        const auto& item = review_.items[i];
        const auto& c = item.chart;
        std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d", c.date.year, c.date.month, c.date.day,
                      c.time.hour, c.time.minute);
        auto* row = new QTreeWidgetItem(ListCharts, {qs(interchange::marksText(item.marks)), qs(c.name), qs(when),
                                                     qs("UTC" + interchange::offsetText(c.offsetSeconds)),
                                                     qs(item.placeText), QString::number(c.line)});
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(0, item.include ? Qt::Checked : Qt::Unchecked);
        row->setData(0, Qt::UserRole, static_cast<int>(i));
    }
    ListCharts->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    col->addWidget(ListCharts, 1);
    connect(ListCharts, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* row, int column) {
        if (column != 0) return;
        const auto i = static_cast<std::size_t>(row->data(0, Qt::UserRole).toInt());
        if (i < review_.items.size()) review_.items[i].include = row->checkState(0) == Qt::Checked;
        updateSummary();
    });

    ListProblems = new QListWidget(this);
    ListProblems->setObjectName(QStringLiteral("ListProblems"));
    nameControl(ListProblems, "无法读取的行");
    for (const auto& p : review_.problems)
        ListProblems->addItem(qs("第" + std::to_string(p.line) + "行：" + p.reason));
    ListProblems->setMaximumHeight(110);
    ListProblems->setVisible(!review_.problems.empty());
    if (!review_.problems.empty()) col->addWidget(labelFor(ListProblems, "无法读取的行", this));
    col->addWidget(ListProblems);

    auto* row = new QHBoxLayout;
    EdtCategory = new QLineEdit(qs(category), this);
    EdtCategory->setObjectName(QStringLiteral("EdtCategory"));
    limitGbkBytes(EdtCategory, CaseRecord::kCategoryBytes);
    row->addWidget(labelFor(EdtCategory, "保存到分类", this));
    row->addWidget(EdtCategory, 1);
    Progress = new QProgressBar(this);
    Progress->setObjectName(QStringLiteral("Progress"));
    nameControl(Progress, "进度");
    Progress->setRange(0, 100);
    Progress->setValue(0);
    row->addWidget(Progress, 1);
    BtnImport = new QPushButton(qs("导入"), this);
    BtnImport->setObjectName(QStringLiteral("BtnImport"));
    BtnImport->setDefault(true);
    BtnCancel = new QPushButton(qs("取消"), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    row->addWidget(BtnImport);
    row->addWidget(BtnCancel);
    col->addLayout(row);
    connect(BtnImport, &QPushButton::clicked, this, &TFrmDaoRu::BtnImportClick);
    connect(BtnCancel, &QPushButton::clicked, this, &TFrmDaoRu::BtnCancelClick);
    updateSummary();
}

std::string TFrmDaoRu::modalTitle() const { return windowTitle().toStdString(); }

std::string TFrmDaoRu::category() const { return trimBlanks(EdtCategory->text().toStdString()); }

void TFrmDaoRu::updateSummary() {
    int checked = 0;
    for (const auto& i : review_.items) checked += i.include ? 1 : 0;
    const int marked = static_cast<int>(review_.items.size()) - review_.count(0);
    std::string text = "共" + std::to_string(review_.items.size()) + "个星盘，勾选" + std::to_string(checked) +
                       "个，" + std::to_string(marked) + "个需要留意";
    if (!review_.problems.empty()) text += "；" + std::to_string(review_.problems.size()) + "行无法读取";
    LblSummary->setText(qs(text));
    nameControl(LblSummary, text.c_str());
}

void TFrmDaoRu::BtnImportClick() {
    if (writing_) return;
    if (category().empty()) {
        ui_.messageBox("类别名不能为空", "错误", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    if (!fitsGbk(category())) {
        ui_.messageBox(kCategoryNotGbk, "错误", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    int checked = 0;
    for (const auto& i : review_.items) checked += i.include ? 1 : 0;
    if (checked == 0) {
        ui_.messageBox("没有勾选要导入的星盘。", "提示", MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    if (!review_.problems.empty() &&
        ui_.messageBox("文件中有" + std::to_string(review_.problems.size()) +
                           "行无法读取（见列表）。只导入勾选的" + std::to_string(checked) + "个星盘吗？",
                       "导入星盘", MsgIcon::Warning, MsgButtons::YesNo, MsgResult::No) != MsgResult::Yes)
        return;
    writing_ = true;
    cancelled_ = false;
    BtnImport->setEnabled(false);
    written_ = interchange::commitImport(db_, review_, category(), [this](std::size_t done, std::size_t total) {
        Progress->setValue(total ? static_cast<int>(done * 100 / total) : 100);
        QApplication::processEvents();
        return !cancelled_;
    });
    writing_ = false;
    BtnImport->setEnabled(true);
    if (written_ < 0) {
        Progress->setValue(0);
        ui_.messageBox(cancelled_ ? "导入已取消，命例文件没有改变。" : "导入没有完成，命例文件没有改变。",
                       "导入星盘", cancelled_ ? MsgIcon::Information : MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    accept();
}

void TFrmDaoRu::BtnCancelClick() {
    if (writing_) {
        cancelled_ = true;
        return;
    }
    reject();
}
