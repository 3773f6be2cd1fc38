#include "dialogs/Untpanxing.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "chart/WordLists.h"
#include "dialogs/DialogFrame.h"
#include "platform/core/Numbers.h"
#include "platform/qt/Controls.h"
#include "platform/qt/UpDown.h"

namespace {
constexpr int kFirstYear = 1600;
constexpr int kLastYear = 2200;
using charttypes::Kind;
}  // namespace

TFrmPanXing::TFrmPanXing(Kind kind, const std::vector<std::string>& people, PanXingChoice& choice,
                         UiServices& ui, QWidget* parent)
    : QDialog(parent), kind_(kind), choice_(choice), ui_(ui) {
    setObjectName(QStringLiteral("FrmPanXing"));
    setWindowTitle(qs(std::string("盘型:") + charttypes::kindName(kind)));
    setModal(true);
    setFont(songFont(10.5));
    const QFont bold = songFont(10.5, true);
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(12, 12, 12, 10);
    col->setSpacing(8);

    const bool twoPeople = kind == Kind::Synastry || kind == Kind::Composite || kind == Kind::Davison;
    const bool dated = kind == Kind::Progressed || kind == Kind::SolarArc;
    const bool ret = kind == Kind::SolarReturn || kind == Kind::LunarReturn;

    if (twoPeople) {
        auto* row = new QHBoxLayout;
        CboPerson = fixedList(this, "CboPerson", "第二个人");
        std::vector<std::string> items{"输入面板"};
        items.insert(items.end(), people.begin(), people.end());
        fillList(CboPerson, items);
        CboPerson->setCurrentIndex(choice.person >= 0 && choice.person < static_cast<int>(items.size())
                                       ? choice.person : 0);
        row->addWidget(labelFor(CboPerson, "第二个人", this));
        row->addWidget(CboPerson, 1);
        col->addLayout(row);
    }
    if (dated || ret) {
        auto* row = new QHBoxLayout;
        row->setSpacing(4);
        SbtoNow = flatButton(this, "SbtoNow", nullptr, "现在时间");
        SbtoNow->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
        EdtYear = new QLineEdit(this);
        EdtYear->setObjectName(QStringLiteral("EdtYear"));
        EdtYear->setMaxLength(4);
        EdtYear->setFixedWidth(52);
        EdtYear->setFont(bold);
        nameControl(EdtYear, "年");
        UpDyear = new TUpDown(this);
        UpDyear->setObjectName(QStringLiteral("UpDyear"));
        UpDyear->setRange(0, kLastYear - kFirstYear);
        nameControl(UpDyear, "年份");
        row->addWidget(SbtoNow);
        row->addWidget(EdtYear);
        row->addWidget(UpDyear);
        if (dated || kind == Kind::LunarReturn) {
            cbom = fixedList(this, "cbom", "月");
            fillList(cbom, numberedItems(1, 12, "月"));
            cbom->setFont(bold);
            row->addWidget(cbom);
        }
        if (dated) {
            // Always 31 days, as in the transit dialog; a day the month lacks is refused by the cast.
            cbod = fixedList(this, "cbod", "日");
            fillList(cbod, numberedItems(1, 31, "日"));
            cbod->setFont(bold);
            row->addWidget(cbod);
        }
        col->addLayout(row);
        const int year = dated ? choice.date.year : choice.year;
        UpDyear->setPosition(std::min(std::max(year, kFirstYear), kLastYear) - kFirstYear);
        EdtYear->setText(QString::number(year));
        if (cbom) cbom->setCurrentIndex((dated ? choice.date.month : choice.month) - 1);
        if (cbod) cbod->setCurrentIndex(choice.date.day - 1);
        connect(SbtoNow, &QToolButton::clicked, this, &TFrmPanXing::SbtoNowClick);
        connect(UpDyear, &TUpDown::arrowPressed, this, &TFrmPanXing::UpDyearClick);
    }
    if (ret) {
        auto* row = new QHBoxLayout;
        CboPlace = fixedList(this, "CboPlace", "返照地点");
        fillList(CboPlace, {"出生地", "输入面板的地点"});
        CboPlace->setCurrentIndex(choice.place == 1 ? 1 : 0);
        row->addWidget(labelFor(CboPlace, "返照地点", this));
        row->addWidget(CboPlace, 1);
        col->addLayout(row);
    }

    auto* buttons = new QHBoxLayout;
    Btnok = new QPushButton(qs("确定"), this);
    Btnok->setObjectName(QStringLiteral("Btnok"));
    Btnok->setDefault(true);
    Btnok->setAutoDefault(true);
    Btncancel = new QPushButton(qs("取消"), this);
    Btncancel->setObjectName(QStringLiteral("Btncancel"));
    Btncancel->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(Btnok);
    buttons->addWidget(Btncancel);
    col->addLayout(buttons);
    connect(Btnok, &QPushButton::clicked, this, &TFrmPanXing::BtnokClick);
    connect(Btncancel, &QPushButton::clicked, this, &QDialog::reject);
    fixAndCentre(this);
}

void TFrmPanXing::SbtoNowClick() {
    const LocalMinute now = ui_.clock().now();
    const int year = (now.year > kLastYear || now.year < kFirstYear) ? kLastYear : now.year;
    UpDyear->setPosition(year - kFirstYear);
    EdtYear->setText(QString::number(year));
    if (cbom) cbom->setCurrentIndex(now.month - 1);
    if (cbod) cbod->setCurrentIndex(now.day - 1);
}

void TFrmPanXing::UpDyearClick() {
    // One year on from the year typed in the field, as the panel's arrows count.
    const int typed = wholeNumber(EdtYear->text().toStdString(), 0);
    if (typed < kFirstYear || typed > kLastYear) {
        ui_.messageBox("年份最大范围1600-2200", "年份错误", MsgIcon::Warning, MsgButtons::Ok);
        EdtYear->setFocus();
        return;
    }
    const int year = std::clamp(typed + UpDyear->lastArrow(), kFirstYear, kLastYear);
    UpDyear->setPosition(year - kFirstYear);
    EdtYear->setText(QString::number(year));
}

void TFrmPanXing::BtnokClick() {
    if (EdtYear) {
        const int year = wholeNumber(EdtYear->text().toStdString(), 0);
        if (year < kFirstYear || year > kLastYear) {
            ui_.messageBox("年份最大范围1600-2200", "年份错误", MsgIcon::Warning, MsgButtons::Ok);
            EdtYear->setFocus();
            return;
        }
        if (cbod) {
            choice_.date = DateTimeFields{static_cast<int16_t>(year),
                                          static_cast<int16_t>(cbom->currentIndex() + 1),
                                          static_cast<int16_t>(cbod->currentIndex() + 1), 0, 0};
        } else {
            choice_.year = year;
            if (cbom) choice_.month = cbom->currentIndex() + 1;
        }
    }
    if (CboPerson) choice_.person = CboPerson->currentIndex();
    if (CboPlace) choice_.place = CboPlace->currentIndex();
    accept();
}
