#include "records/ui/Untdaochu.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "interchange/Aaf.h"
#include "interchange/Cases.h"
#include "interchange/Csv.h"
#include "platform/core/FileOps.h"
#include "platform/qt/Controls.h"

TFrmDaoChu::TFrmDaoChu(UiServices& ui, const MDataBase& db, const atlas::WorldAtlas& atlas,
                       const std::vector<std::string>& categories, const CaseRecord* selectedCase, QWidget* parent)
    : QDialog(parent), ui_(ui), db_(db), atlas_(atlas), categories_(categories), hasCase_(selectedCase != nullptr) {
    if (selectedCase) selected_ = *selectedCase;
    setObjectName(QStringLiteral("FrmDaoChu"));
    setWindowTitle(qs("导出星盘"));
    auto* grid = new QGridLayout(this);
    CboScope = new QComboBox(this);
    CboScope->setObjectName(QStringLiteral("CboScope"));
    CboScope->addItem(qs("全部命例"));
    if (hasCase_) CboScope->addItem(qs("选中的命例：" + selected_.displayNameUtf8()));
    for (const auto& c : categories_) CboScope->addItem(qs("分类：" + c));
    CboScope->setAccessibleDescription(qs("导出范围"));
    CboFormat = new QComboBox(this);
    CboFormat->setObjectName(QStringLiteral("CboFormat"));
    CboFormat->addItems({qs("AAF (*.aaf)"), qs("CSV (*.csv)"), qs("JSON (*.json)")});
    CboFormat->setAccessibleDescription(qs("文件格式"));
    Progress = new QProgressBar(this);
    Progress->setObjectName(QStringLiteral("Progress"));
    nameControl(Progress, "进度");
    Progress->setRange(0, 100);
    Progress->setValue(0);
    grid->addWidget(labelFor(CboScope, "导出范围", this), 0, 0);
    grid->addWidget(CboScope, 0, 1);
    grid->addWidget(labelFor(CboFormat, "文件格式", this), 1, 0);
    grid->addWidget(CboFormat, 1, 1);
    grid->addWidget(Progress, 2, 0, 1, 2);
    Btnok = new QPushButton(qs("确定"), this);
    Btnok->setObjectName(QStringLiteral("Btnok"));
    Btnok->setDefault(true);
    Btnno = new QPushButton(qs("取消"), this);
    Btnno->setObjectName(QStringLiteral("Btnno"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Btnok);
    buttons->addWidget(Btnno);
    grid->addLayout(buttons, 3, 0, 1, 2);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    connect(Btnok, &QPushButton::clicked, this, &TFrmDaoChu::BtnokClick);
    connect(Btnno, &QPushButton::clicked, this, &TFrmDaoChu::BtnnoClick);
}

std::string TFrmDaoChu::modalTitle() const { return windowTitle().toStdString(); }

TFrmDaoChu::Scope TFrmDaoChu::scope() const {
    const int i = CboScope->currentIndex();
    if (i <= 0) return Scope::All;
    if (hasCase_ && i == 1) return Scope::SelectedCase;
    return Scope::Category;
}

std::string TFrmDaoChu::category() const {
    const int i = CboScope->currentIndex() - 1 - (hasCase_ ? 1 : 0);
    return i >= 0 && static_cast<std::size_t>(i) < categories_.size() ? categories_[static_cast<std::size_t>(i)]
                                                                       : std::string();
}

int TFrmDaoChu::format() const { return CboFormat->currentIndex() < 0 ? 0 : CboFormat->currentIndex(); }

void TFrmDaoChu::BtnnoClick() {
    if (running_) {
        cancelled_ = true;
        return;
    }
    reject();
}

void TFrmDaoChu::BtnokClick() {
    if (running_) return;
    static const char* const kFormats[] = {"aaf", "csv", "json"};
    const int f = format();
    FileDialogRequest request;
    request.title = "导出星盘到文件";
    request.filter = f == 0 ? "AAF文件|*.aaf" : f == 1 ? "CSV文件|*.csv" : "JSON文件|*.json";
    request.defaultExtension = kFormats[f];
    request.initialName = std::string("星盘.") + kFormats[f];
    request.overwritePrompt = true;
    const FileDialogResult file = ui_.saveFile(request);
    if (!file.accepted) return;
    running_ = true;
    cancelled_ = false;
    Btnok->setEnabled(false);
    std::vector<CaseRecord> cases;
    if (scope() == Scope::SelectedCase) cases.push_back(selected_);
    else cases = interchange::selectCases(db_, scope() == Scope::Category ? category() : std::string(), "");
    const interchange::ProvincePlaces places(db_.BaseFolder() + "dat/dili.ini");
    std::vector<interchange::ExportedChart> charts;
    charts.reserve(cases.size());
    for (std::size_t i = 0; i < cases.size() && !cancelled_; ++i) {
        interchange::ExportedChart c;
        if (interchange::exportedChart(cases[i], &atlas_, &places, c)) charts.push_back(std::move(c));
        if (i % 2000 == 1999) {
            Progress->setValue(static_cast<int>((i + 1) * 90 / cases.size()));
            QApplication::processEvents();
        }
    }
    bool written = false;
    if (!cancelled_) {
        const std::string text = f == 0   ? interchange::writeAaf(charts)
                                 : f == 1 ? interchange::writeCsv(charts)
                                          : interchange::writeJson(charts);
        Progress->setValue(95);
        written = recfs::writeFileDurably(file.path, text, {});
    }
    running_ = false;
    Btnok->setEnabled(true);
    Progress->setValue(0);
    if (cancelled_) {
        ui_.messageBox("导出已取消，没有写入文件。", "导出星盘", MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    if (!written) {
        ui_.messageBox("无法写入文件：" + file.path, "导出星盘", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    path_ = file.path;
    exported_ = static_cast<int>(charts.size());
    accept();
}
