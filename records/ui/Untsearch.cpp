#include "records/ui/Untsearch.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>
#include <cstdio>

#include "chart/WordLists.h"
#include "platform/core/Numbers.h"
#include "platform/qt/Controls.h"
#include "records/ui/CategoryList.h"

namespace {
constexpr const char* kYearRangeText =
    "年份必须在-850到2100年之间，并且没有公元0年\r\n注意：公元前用负数，比如公元前120年，就输入-120";

// Historical numbering (no year 0; 1 BC is -1) to the stored astronomical one and back.
int16_t storedYear(int shown) { return static_cast<int16_t>(shown < 0 ? shown + 1 : shown); }
int shownYear(int stored) { return stored <= 0 ? stored - 1 : stored; }

QRadioButton* radio(QWidget* parent, const char* caption, const char* name) {
    auto* r = new QRadioButton(qs(caption), parent);
    r->setObjectName(QString::fromLatin1(name));
    return r;
}
}  // namespace

TFrmSearch::TFrmSearch(UiServices& ui, MDataBase& db, const IniFile* settings, CaseFilter& filter,
                       QWidget* parent)
    : QDialog(parent), ui_(ui), db_(db), settings_(settings), filter_(filter) {
    build();
    showFilter();
}

std::string TFrmSearch::modalTitle() const { return windowTitle().toStdString(); }

void TFrmSearch::build() {
    setObjectName(QStringLiteral("FrmSearch"));
    setWindowTitle(qs("查找命例"));
    auto* col = new QVBoxLayout(this);
    col->setSpacing(4);

    RdoSex = new QGroupBox(qs("性别"), this);
    RdoSex->setObjectName(QStringLiteral("RdoSex"));
    auto* sexRow = new QHBoxLayout(RdoSex);
    sexRow->setContentsMargins(6, 2, 6, 2);
    sexAny = radio(RdoSex, "不分", "RdoSexAny");
    sexMale = radio(RdoSex, "男", "RdoSexMale");
    sexFemale = radio(RdoSex, "女", "RdoSexFemale");
    auto* sexGroup = new QButtonGroup(RdoSex);
    for (QRadioButton* r : {sexAny, sexMale, sexFemale}) {
        sexGroup->addButton(r);
        sexRow->addWidget(r);
    }
    sexAny->setChecked(true);
    col->addWidget(RdoSex);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    cbodiZ = fixedList(this, "cbodiZ", "省份");
    cbodiZ->setMaxVisibleItems(25);
    grid->addWidget(labelFor(cbodiZ, "省份", this), 0, 0);
    grid->addWidget(cbodiZ, 0, 1, 1, 3);

    LedtY1 = new QLineEdit(this);
    LedtY1->setObjectName(QStringLiteral("LedtY1"));
    LedtY1->setMaxLength(4);
    LedtY2 = new QLineEdit(this);
    LedtY2->setObjectName(QStringLiteral("LedtY2"));
    LedtY2->setMaxLength(4);
    grid->addWidget(labelFor(LedtY1, "出生年从", this), 1, 0);
    grid->addWidget(LedtY1, 1, 1);
    grid->addWidget(labelFor(LedtY2, "到", this), 1, 2);
    grid->addWidget(LedtY2, 1, 3);

    CboFenLei = new QComboBox(this);
    CboFenLei->setObjectName(QStringLiteral("CboFenLei"));
    CboFenLei->setEditable(true);
    CboFenLei->setInsertPolicy(QComboBox::NoInsert);
    CboFenLei->setMaxVisibleItems(16);
    limitGbkBytes(CboFenLei->lineEdit(), 13);
    QLabel* label2 = labelFor(CboFenLei, "类别", this);
    label2->setObjectName(QStringLiteral("Label2"));
    CboFenLei->lineEdit()->setAccessibleName(qs("类别"));
    ChkClass = new QCheckBox(qs("全字匹配"), this);
    ChkClass->setObjectName(QStringLiteral("ChkClass"));
    // Two boxes share the caption: each is found by what it applies to.
    nameControl(ChkClass, "类别全字匹配");
    grid->addWidget(label2, 2, 0);
    grid->addWidget(CboFenLei, 2, 1, 1, 2);
    grid->addWidget(ChkClass, 2, 3);

    Edtname = new QLineEdit(this);
    Edtname->setObjectName(QStringLiteral("Edtname"));
    limitGbkBytes(Edtname, CaseRecord::kFullNameBytes);
    ChkName = new QCheckBox(qs("全字匹配"), this);
    ChkName->setObjectName(QStringLiteral("ChkName"));
    nameControl(ChkName, "姓名全字匹配");
    grid->addWidget(labelFor(Edtname, "姓名", this), 3, 0);
    grid->addWidget(Edtname, 3, 1, 1, 2);
    grid->addWidget(ChkName, 3, 3);
    col->addLayout(grid);

    Animate1 = new QProgressBar(this);
    Animate1->setObjectName(QStringLiteral("Animate1"));
    Animate1->setRange(0, 0);  // no known end: the bar runs to and fro
    Animate1->setTextVisible(false);
    Animate1->setFixedHeight(10);
    nameControl(Animate1, "正在查找");
    auto* busyRow = new QHBoxLayout;
    busyRow->addWidget(Animate1);
    col->addLayout(busyRow);
    // Keeps its place while hidden, so the dialog does not change size during a search.
    QSizePolicy keep = Animate1->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    Animate1->setSizePolicy(keep);
    Animate1->hide();

    auto* buttons = new QHBoxLayout;
    BtoAll = new QPushButton(qs("全部"), this);
    BtoAll->setObjectName(QStringLiteral("BtoAll"));
    BtnSearch = new QPushButton(style()->standardIcon(QStyle::SP_FileDialogContentsView), qs("查找"), this);
    BtnSearch->setObjectName(QStringLiteral("BtnSearch"));
    BtnSearch->setDefault(true);
    BtoCancel = new QPushButton(qs("关闭"), this);
    BtoCancel->setObjectName(QStringLiteral("BtoCancel"));
    buttons->addWidget(BtoAll);
    buttons->addStretch(1);
    buttons->addWidget(BtnSearch);
    buttons->addWidget(BtoCancel);
    col->addLayout(buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);  // a fixed dialog frame

    connect(BtnSearch, &QPushButton::clicked, this, &TFrmSearch::BtnSearchClick);
    connect(BtoAll, &QPushButton::clicked, this, &TFrmSearch::BtoAllClick);
    connect(BtoCancel, &QPushButton::clicked, this, &TFrmSearch::BtoCancelClick);
}

void TFrmSearch::showFilter() {
    CboFenLei->clear();
    for (const std::string& c : savedCategories(settings_)) CboFenLei->addItem(qs(c));
    CboFenLei->setCurrentIndex(-1);
    CboFenLei->setEditText(QString());
    cbodiZ->clear();
    cbodiZ->addItem(qs(" "));
    for (const char* p : ProvinceNames) cbodiZ->addItem(qs(p));
    const int province = filter_.province;
    cbodiZ->setCurrentIndex(province >= 0 && province + 1 < cbodiZ->count() ? province + 1 : 0);
    if (!filter_.sexFilter)
        sexAny->setChecked(true);
    else
        (filter_.male == 1 ? sexMale : sexFemale)->setChecked(true);
    if (filter_.yearFilter) {
        LedtY1->setText(QString::number(shownYear(filter_.yearFrom)));
        LedtY2->setText(QString::number(shownYear(filter_.yearTo)));
    } else {
        LedtY1->clear();
        LedtY2->clear();
    }
    ChkName->setChecked(filter_.nameMode == 2);
    if (filter_.nameMode != 0 && filter_.nameText[0] != '\0') Edtname->setText(qs(filter_.nameTextUtf8()));
    ChkClass->setChecked(filter_.categoryMode == 2);
    if (filter_.categoryMode != 0 && filter_.categoryText[0] != '\0')
        CboFenLei->setEditText(qs(filter_.categoryTextUtf8()));
    tag_ = 0;
}

void TFrmSearch::setBusy(bool busy) {
    BtoAll->setEnabled(!busy);
    BtnSearch->setEnabled(!busy);
    BtoCancel->setEnabled(!busy);
    Animate1->setVisible(busy);
    if (busy && isVisible()) Animate1->repaint();
}

bool TFrmSearch::runSearch() {
    // 1. Province: the blank entry is any province.
    filter_.province = static_cast<int16_t>(cbodiZ->currentIndex() <= 0 ? -1 : cbodiZ->currentIndex() - 1);
    // 2. Sex.
    filter_.sexFilter = !sexAny->isChecked();
    if (filter_.sexFilter) filter_.male = sexMale->isChecked() ? 1 : 0;
    // 3. Years, typed in historical numbering.
    const QString y1 = LedtY1->text(), y2 = LedtY2->text();
    if (y1.isEmpty() && y2.isEmpty()) {
        filter_.yearFilter = false;
    } else {
        const int from = wholeNumber(y1.toStdString(), -1000);
        const int to = wholeNumber(y2.toStdString(), -1000);
        const auto valid = [](int y) { return y >= -850 && y <= 2100 && y != 0; };
        if (!valid(from) || !valid(to)) {
            ui_.messageBox(kYearRangeText, "年份错误", MsgIcon::Warning, MsgButtons::Ok);
            return false;
        }
        if (to < from) {
            ui_.messageBox("结束年必须大于或等于起始年", "年份错误", MsgIcon::Warning, MsgButtons::Ok);
            return false;
        }
        // Only years that passed turn the year test on: a refused pair never shows up as the
        // remembered range of the next dialog.
        filter_.yearFilter = true;
        filter_.yearFrom = storedYear(from);
        filter_.yearTo = storedYear(to);
    }
    // 4. Name, as typed.
    const std::string name = Edtname->text().toStdString();
    if (name.empty()) {
        filter_.nameMode = 0;
    } else {
        filter_.nameMode = ChkName->isChecked() ? 2 : 1;
        filter_.setNameText(name);
    }
    // 5. Category, trimmed.
    const std::string category = trimBlanks(CboFenLei->currentText().toStdString());
    if (category.empty()) {
        filter_.categoryMode = 0;
    } else {
        filter_.categoryMode = ChkClass->isChecked() ? 2 : 1;
        filter_.setCategoryText(category);
    }
    // 6 - 8.
    if (db_.Count() == 0) {
        ui_.plainMessage("没有记录，无从查找。");
        return false;
    }
    setBusy(true);
    results_.clear();
    db_.Find(filter_, results_);
    setBusy(false);
    if (results_.empty()) {
        ui_.messageBox("没有找到符合条件的命例。", "信息", MsgIcon::Information, MsgButtons::Ok);
        return false;
    }
    char question[128];
    std::snprintf(question, sizeof question, "共找到%d条记录，要显示到命例列表中吗？",
                  static_cast<int>(results_.size()));
    return ui_.messageBox(question, "提示", MsgIcon::Information, MsgButtons::YesNo, MsgResult::Yes) ==
           MsgResult::Yes;
}

void TFrmSearch::BtnSearchClick() {
    if (!runSearch()) return;
    tag_ = 1;
    accept();
}

void TFrmSearch::BtoAllClick() {
    if (ui_.messageBox("这将清除所有输入的条件参数，以便搜索所有命例，确定吗？", "提示", MsgIcon::Information,
                       MsgButtons::YesNo, MsgResult::Yes) != MsgResult::Yes)
        return;
    sexAny->setChecked(true);
    LedtY1->clear();
    LedtY2->clear();
    ChkName->setChecked(false);
    Edtname->clear();
    ChkClass->setChecked(false);
    CboFenLei->setCurrentIndex(-1);
    CboFenLei->setEditText(QString());
    cbodiZ->setCurrentIndex(0);
    if (!runSearch()) return;
    tag_ = 1;
    accept();
}

void TFrmSearch::BtoCancelClick() {
    tag_ = 0;
    reject();
}
