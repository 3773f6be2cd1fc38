#include "dialogs/Untdili.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "chart/PlaceText.h"
#include "chart/WordLists.h"
#include "dialogs/DialogFrame.h"
#include "platform/core/IniFile.h"
#include "platform/core/Numbers.h"
#include "platform/qt/WidgetScript.h"
#include "platform/qt/Controls.h"

namespace {
std::string placeTablePath(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder + "dat/dili.ini";
}

// A part of a stored value as the field shows it: as it stands when it is a whole number that
// fits the field; empty otherwise, so a part the field cannot hold is never cut short and then
// written back changed (an empty field falls into the range check of "修改").
QString fieldText(const std::string& part, const QLineEdit* field) {
    constexpr int bad = -1000000;
    if (wholeNumber(part, bad) == bad) return QString();
    const QString text = qs(part);
    return text.size() <= field->maxLength() ? text : QString();
}
}  // namespace

TFrmDiLi::TFrmDiLi(UiServices& ui, const std::string& programFolder, QWidget* parent)
    : QDialog(parent), ui_(ui) {
    build();
    FormCreate(programFolder);
    fixAndCentre(this);
}

TFrmDiLi::~TFrmDiLi() = default;

void TFrmDiLi::build() {
    setObjectName(QStringLiteral("FrmDiLi"));
    setWindowTitle(qs("经纬度修改"));
    setModal(true);
    setFont(songFont(9));

    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(12, 12, 12, 10);
    col->setSpacing(8);

    auto* lists = new QHBoxLayout;
    CboSheng = fixedList(this, "CboSheng", "省份");
    CboSheng->setMaxVisibleItems(18);
    CboShi = fixedList(this, "CboShi", "地名");
    CboShi->setMaxVisibleItems(18);
    CboShi->setMinimumContentsLength(8);
    lists->addWidget(CboSheng);
    lists->addWidget(CboShi, 1);
    col->addLayout(lists);

    const auto field = [this](const char* name, int maxLength, const char* accessible) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setMaxLength(maxLength);
        e->setFixedWidth(44);
        nameControl(e, accessible);
        return e;
    };
    // The degree fields have room for a sign: a western longitude (-179) and a southern
    // latitude (-89) can be typed as well as the eastern and northern ones.
    LedtJingDu = field("LedtJingDu", 4, "经度度");
    LedtJingDu->setText(qs("120"));
    LedtJingFen = field("LedtJingFen", 2, "经度分");
    LedtWeiDu = field("LedtWeiDu", 3, "纬度度");
    LedtWeiFen = field("LedtWeiFen", 2, "纬度分");

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(6);
    Label1 = new QLabel(qs("经度"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(qs("纬度"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    // Each field's unit on its right; the field keeps the longer name set above.
    const auto unit = [this](QLineEdit* e, const char* text) {
        auto* l = new QLabel(qs(text), this);
        l->setBuddy(e);
        return l;
    };
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(LedtJingDu, 0, 1);
    grid->addWidget(unit(LedtJingDu, "度"), 0, 2);
    grid->addWidget(LedtJingFen, 0, 3);
    grid->addWidget(unit(LedtJingFen, "分"), 0, 4);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(LedtWeiDu, 1, 1);
    grid->addWidget(unit(LedtWeiDu, "度"), 1, 2);
    grid->addWidget(LedtWeiFen, 1, 3);
    grid->addWidget(unit(LedtWeiFen, "分"), 1, 4);
    grid->setColumnStretch(5, 1);
    col->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    BtoEdit = new QPushButton(qs("修改"), this);
    BtoEdit->setObjectName(QStringLiteral("BtoEdit"));
    BtoEdit->setAutoDefault(false);
    BtnClose = new QPushButton(qs("关闭"), this);
    BtnClose->setObjectName(QStringLiteral("BtnClose"));
    BtnClose->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(BtoEdit);
    buttons->addWidget(BtnClose);
    col->addLayout(buttons);

    connect(CboSheng, qOverload<int>(&QComboBox::activated), this, [this] { CboShengClick(); });
    connect(CboShi, qOverload<int>(&QComboBox::activated), this, [this] { CboShiClick(); });
    connect(BtoEdit, &QPushButton::clicked, this, &TFrmDiLi::BtoEditClick);
    connect(BtnClose, &QPushButton::clicked, this, &QDialog::reject);
}

void TFrmDiLi::FormCreate(const std::string& programFolder) {
    table_ = std::make_unique<IniFile>(placeTablePath(programFolder));
    CboSheng->clear();
    for (int i = 0; i < kUnknownProvince; ++i) CboSheng->addItem(qs(ProvinceNames[static_cast<std::size_t>(i)]));
    CboSheng->setCurrentIndex(0);
    CboShengClick();
}

void TFrmDiLi::CboShengClick() {
    if (!table_ || CboSheng->currentIndex() < 0) return;
    CboShi->clear();
    for (const std::string& place : table_->readSection(sourceText(CboSheng).toStdString()))
        CboShi->addItem(qs(place));
    if (CboShi->count() == 0) return;
    CboShi->setCurrentIndex(0);
    CboShiClick();
}

void TFrmDiLi::CboShiClick() {
    if (!table_ || CboSheng->currentIndex() < 0 || CboShi->currentIndex() < 0) return;
    const PlaceValueParts p = splitPlaceValue(table_->readString(
        sourceText(CboSheng).toStdString(), sourceText(CboShi).toStdString(), kDefaultPlaceValue));
    LedtJingDu->setText(fieldText(p.longitudeDegrees, LedtJingDu));
    LedtJingFen->setText(fieldText(p.longitudeMinutes, LedtJingFen));
    LedtWeiDu->setText(fieldText(p.latitudeDegrees, LedtWeiDu));
    LedtWeiFen->setText(fieldText(p.latitudeMinutes, LedtWeiFen));
}

void TFrmDiLi::selectPlace(int province, const std::string& place) {
    if (province < 0 || province >= CboSheng->count()) return;
    CboSheng->setCurrentIndex(province);
    CboShengClick();
    int at = -1;
    for (int i = 0; i < CboShi->count() && at < 0; ++i)
        if (sourceText(CboShi, i) == qs(place)) at = i;
    if (at < 0) return;
    CboShi->setCurrentIndex(at);
    CboShiClick();
}

void TFrmDiLi::BtoEditClick() {
    if (!table_ || CboSheng->currentIndex() < 0 || CboShi->currentIndex() < 0) return;
    const std::string province = sourceText(CboSheng).toStdString();
    const std::string place = sourceText(CboShi).toStdString();
    // The values are checked before the question: a change that cannot be stored is not
    // offered for confirmation. The messages name the values the check accepts.
    const int lonDegrees = wholeNumber(LedtJingDu->text().toStdString(), -300);
    const int lonMinutes = wholeNumber(LedtJingFen->text().toStdString(), -1);
    if (!(lonDegrees > -180 && lonDegrees < 180 && lonMinutes >= 0 && lonMinutes < 60)) {
        ui_.messageBox(kLongitudeRange, "输入错误", MsgIcon::Error, MsgButtons::Ok);
        LedtJingDu->setFocus();
        return;
    }
    const int latDegrees = wholeNumber(LedtWeiDu->text().toStdString(), -300);
    const int latMinutes = wholeNumber(LedtWeiFen->text().toStdString(), -1);
    if (!(latDegrees > -90 && latDegrees < 90 && latMinutes >= 0 && latMinutes < 60)) {
        ui_.messageBox(kLatitudeRange, "输入错误", MsgIcon::Error, MsgButtons::Ok);
        LedtWeiDu->setFocus();
        return;
    }
    if (ui_.messageBox("确定要修改：" + province + place + " 的经纬度数据吗？", "注意了",
                       MsgIcon::Warning, MsgButtons::YesNo, MsgResult::No) != MsgResult::Yes)
        return;
    try {
        table_->writeString(province, place, formatPlaceValue(lonDegrees, lonMinutes, latDegrees, latMinutes));
    } catch (const IniWriteError& e) {
        ui_.showError(std::string(e.what()) + "\n经纬度数据没有保存，原有的数据保持不变。");
        return;
    }
    ui_.plainMessage("完成");
}

void TFrmDiLi::FormClose() { table_.reset(); }

void TFrmDiLi::done(int result) {
    FormClose();
    QDialog::done(result);
}
