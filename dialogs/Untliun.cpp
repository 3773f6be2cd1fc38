#include "dialogs/Untliun.h"

#include <QCheckBox>
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
#include "dialogs/ClockQuestions.h"
#include "dialogs/DialogFrame.h"
#include "platform/core/Numbers.h"
#include "platform/qt/Controls.h"
#include "platform/qt/UpDown.h"

namespace {
constexpr int kFirstYear = 1600;
constexpr int kLastYear = 2200;
}  // namespace

TFrmLiuNian::TFrmLiuNian(TransitRequest& request, UiServices& ui, QWidget* parent)
    : QDialog(parent), request_(request), ui_(ui) {
    build();
    FormCreate();
    fixAndCentre(this);
}

void TFrmLiuNian::build() {
    setObjectName(QStringLiteral("FrmLiuNian"));
    setWindowTitle(qs("流年时间(公历)"));
    setModal(true);
    setFont(songFont(10.5));
    const QFont bold = songFont(10.5, true);

    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(12, 12, 12, 10);
    col->setSpacing(8);

    auto* date = new QHBoxLayout;
    date->setSpacing(4);
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
    cbom = fixedList(this, "cbom", "月");
    cbod = fixedList(this, "cbod", "日");
    date->addWidget(SbtoNow);
    date->addWidget(EdtYear);
    date->addWidget(UpDyear);
    date->addWidget(cbom);
    date->addWidget(cbod);
    col->addLayout(date);

    auto* time = new QHBoxLayout;
    time->setSpacing(4);
    cbos = fixedList(this, "cbos", "时");
    cbomin = fixedList(this, "cbomin", "分");
    time->addWidget(cbos, 1);
    time->addWidget(cbomin, 1);
    col->addLayout(time);

    auto* zone = new QHBoxLayout;
    zone->setSpacing(6);
    Cboshiqu = fixedList(this, "Cboshiqu", "时区");
    Label4 = labelFor(Cboshiqu, "时区", this);
    Label4->setObjectName(QStringLiteral("Label4"));
    zone->addWidget(Label4);
    zone->addWidget(Cboshiqu, 1);
    col->addLayout(zone);
    ChkLocal = new QCheckBox(this);
    ChkLocal->setObjectName(QStringLiteral("ChkLocal"));
    col->addWidget(ChkLocal);
    for (QComboBox* list : {cbom, cbod, cbos, cbomin, Cboshiqu}) list->setFont(bold);

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

    connect(SbtoNow, &QToolButton::clicked, this, &TFrmLiuNian::SbtoNowClick);
    connect(UpDyear, &TUpDown::arrowPressed, this, &TFrmLiuNian::UpDyearClick);
    connect(Btnok, &QPushButton::clicked, this, &TFrmLiuNian::BtnokClick);
    // Esc and the close box reject as well; nothing is written then.
    connect(Btncancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFrmLiuNian::FormCreate() {
    fillList(Cboshiqu, std::vector<std::string>(ZoneNames().begin(), ZoneNames().end()));
    fillList(cbom, numberedItems(1, 12, "月"));
    fillList(cbos, std::vector<std::string>(HourNames().begin(), HourNames().end()));
    // Always 31 days, as on the input panel: a day the month does not have is kept as chosen and
    // refused by the chart engine ("不存在这个流年时间"), never changed behind the user's back.
    fillList(cbod, numberedItems(1, 31, "日"));
    fillList(cbomin, numberedItems(0, 59, "分"));

    Cboshiqu->setCurrentIndex(request_.zoneIndex);
    const DateTimeFields& w = request_.when;
    showMoment(w.year, w.month, w.day, w.hour, w.minute);

    const bool hasZone = !request_.zoneId.empty();
    ChkLocal->setText(qs("按当地时钟(" + request_.zoneId + ")"));
    ChkLocal->setAccessibleName(ChkLocal->text());
    ChkLocal->setChecked(hasZone && request_.localClock);
    ChkLocal->setVisible(hasZone);
    // A zone picked from the list is the user's own: the place's clock gives way to it.
    connect(Cboshiqu, &QComboBox::currentIndexChanged, this, [this] { ChkLocal->setChecked(false); });
}

bool TFrmLiuNian::localOffset(const DateTimeFields& when, int32_t& offset) {
    const atlas::WallTime t{when.year, when.month, when.day, when.hour, when.minute};
    const atlas::ZoneAnswer a = atlas::offsetAt(request_.zoneId, t);
    switch (a.kind) {
    case atlas::WallTimeKind::Unique: offset = a.offsetSeconds; return true;
    case atlas::WallTimeKind::UnknownZone: offset = BirthRecord::kZoneListOffset; return true;
    case atlas::WallTimeKind::Skipped: clockq::tellSkipped(ui_, request_.zoneId, t, a); return false;
    case atlas::WallTimeKind::Repeated: break;
    }
    const int picked = clockq::askRepeated(ui_, request_.zoneId, t, a);
    if (picked < 0) return false;
    offset = picked == 0 ? a.earlierOffsetSeconds : a.laterOffsetSeconds;
    return true;
}

void TFrmLiuNian::showMoment(int year, int month, int day, int hour, int minute) {
    UpDyear->setPosition(year - kFirstYear);
    EdtYear->setText(QString::number(year));
    cbom->setCurrentIndex(month - 1);
    cbod->setCurrentIndex(day - 1);
    cbos->setCurrentIndex(hour);
    cbomin->setCurrentIndex(minute);
}

void TFrmLiuNian::SbtoNowClick() {
    const LocalMinute now = ui_.clock().now();
    const int year = (now.year > kLastYear || now.year < kFirstYear) ? kLastYear : now.year;
    showMoment(year, now.month, now.day, now.hour, now.minute);
}

void TFrmLiuNian::UpDyearClick() {
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

void TFrmLiuNian::BtnokClick() {
    const int year = wholeNumber(EdtYear->text().toStdString(), 0);
    if (year < kFirstYear || year > kLastYear) {
        ui_.messageBox("年份最大范围1600-2200", "年份错误", MsgIcon::Warning, MsgButtons::Ok);
        EdtYear->setFocus();
        return;
    }
    const DateTimeFields when{static_cast<int16_t>(year), static_cast<int16_t>(cbom->currentIndex() + 1),
                              static_cast<int16_t>(cbod->currentIndex() + 1),
                              static_cast<int16_t>(cbos->currentIndex()),
                              static_cast<int16_t>(cbomin->currentIndex())};
    const bool local = !request_.zoneId.empty() && ChkLocal->isChecked();
    int32_t offset = BirthRecord::kZoneListOffset;
    if (local && !localOffset(when, offset)) return;  // the dialog stays open
    request_.when = when;
    request_.zoneIndex = static_cast<int8_t>(Cboshiqu->currentIndex());
    request_.utcOffsetSeconds = offset;
    if (!request_.zoneId.empty()) request_.localClock = ChkLocal->isChecked();
    accept();
}
