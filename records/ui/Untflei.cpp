#include "records/ui/Untflei.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/qt/Controls.h"
#include "records/ui/CategoryList.h"

TFrmFenLei::TFrmFenLei(UiServices& ui, const std::vector<std::string>& categories, QWidget* parent)
    : QDialog(parent), ui_(ui) {
    setObjectName(QStringLiteral("FrmFenLei"));
    setWindowTitle(qs("分类保存"));
    auto* grid = new QGridLayout(this);
    CboFenLei = new QComboBox(this);
    CboFenLei->setObjectName(QStringLiteral("CboFenLei"));
    CboFenLei->setEditable(true);
    CboFenLei->setInsertPolicy(QComboBox::NoInsert);
    CboFenLei->setMaxVisibleItems(16);
    CboFenLei->setMinimumWidth(150);
    limitGbkBytes(CboFenLei->lineEdit(), 13);
    Label1 = labelFor(CboFenLei, "保存类别", this);
    Label1->setObjectName(QStringLiteral("Label1"));
    // The line edit inside the list is what a screen reader lands on: it carries the name too.
    CboFenLei->lineEdit()->setAccessibleName(qs("保存类别"));
    // The categories of the tree as it is now; none is chosen, so typed text stands alone.
    for (const std::string& c : categories) CboFenLei->addItem(qs(c));
    CboFenLei->setCurrentIndex(-1);
    CboFenLei->setCurrentText(QString());
    Btnok = new QPushButton(qs("确定"), this);
    Btnok->setObjectName(QStringLiteral("Btnok"));
    Btnok->setDefault(true);
    Btnno = new QPushButton(qs("取消"), this);
    Btnno->setObjectName(QStringLiteral("Btnno"));
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(CboFenLei, 0, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Btnok);
    buttons->addWidget(Btnno);
    grid->addLayout(buttons, 1, 0, 1, 2);
    layout()->setSizeConstraint(QLayout::SetFixedSize);  // a fixed dialog frame
    connect(Btnok, &QPushButton::clicked, this, &TFrmFenLei::BtnokClick);
    connect(Btnno, &QPushButton::clicked, this, &TFrmFenLei::BtnnoClick);
}

std::string TFrmFenLei::modalTitle() const { return windowTitle().toStdString(); }

std::string TFrmFenLei::category() const { return trimBlanks(CboFenLei->currentText().toStdString()); }

void TFrmFenLei::BtnokClick() {
    if (category().empty()) {
        ui_.messageBox("类别名不能为空", "错误", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    if (!fitsGbk(category())) {
        ui_.messageBox(kCategoryNotGbk, "错误", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    accept();
}
