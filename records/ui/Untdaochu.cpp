#include "records/ui/Untdaochu.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "platform/qt/Controls.h"

TFrmDaoChu::TFrmDaoChu(const std::vector<std::string>& categories, const std::string& selectedCase, QWidget* parent)
    : QDialog(parent), categories_(categories), hasCase_(!selectedCase.empty()) {
    setObjectName(QStringLiteral("FrmDaoChu"));
    setWindowTitle(qs("导出星盘"));
    auto* grid = new QGridLayout(this);
    CboScope = new QComboBox(this);
    CboScope->setObjectName(QStringLiteral("CboScope"));
    CboScope->addItem(qs("全部命例"));
    if (hasCase_) CboScope->addItem(qs("选中的命例：" + selectedCase));
    for (const auto& c : categories_) CboScope->addItem(qs("分类：" + c));
    CboScope->setAccessibleDescription(qs("导出范围"));
    CboFormat = new QComboBox(this);
    CboFormat->setObjectName(QStringLiteral("CboFormat"));
    CboFormat->addItems({qs("AAF (*.aaf)"), qs("CSV (*.csv)"), qs("JSON (*.json)")});
    CboFormat->setAccessibleDescription(qs("文件格式"));
    grid->addWidget(labelFor(CboScope, "导出范围", this), 0, 0);
    grid->addWidget(CboScope, 0, 1);
    grid->addWidget(labelFor(CboFormat, "文件格式", this), 1, 0);
    grid->addWidget(CboFormat, 1, 1);
    Btnok = new QPushButton(qs("确定"), this);
    Btnok->setObjectName(QStringLiteral("Btnok"));
    Btnok->setDefault(true);
    Btnno = new QPushButton(qs("取消"), this);
    Btnno->setObjectName(QStringLiteral("Btnno"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Btnok);
    buttons->addWidget(Btnno);
    grid->addLayout(buttons, 2, 0, 1, 2);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    connect(Btnok, &QPushButton::clicked, this, &QDialog::accept);
    connect(Btnno, &QPushButton::clicked, this, &QDialog::reject);
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
