#include "app/InputPanel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "atlas/WorldAtlas.h"
#include "chart/PlaceText.h"
#include "chart/WordLists.h"
#include "platform/core/Gbk.h"
#include "platform/core/IniFile.h"
#include "platform/core/Numbers.h"
#include "platform/qt/WidgetScript.h"
#include "platform/qt/Controls.h"
#include "platform/qt/UpDown.h"
#include "records/ui/CategoryList.h"

InputPanel::InputPanel(QWidget* parent, std::string programFolder)
    : QWidget(parent), programFolder_(std::move(programFolder)) {
    build();
}

void InputPanel::build() {
    setObjectName(QStringLiteral("PanelInput"));
    setFixedWidth(176);
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(4, 2, 4, 2);
    col->setSpacing(4);

    auto* r1 = new QHBoxLayout;
    BtoNew = new QPushButton(qs("新建"), this);
    BtoNew->setObjectName(QStringLiteral("BtoNew"));
    BtoNew->setToolTip(qs("新建命例"));
    SbtoNow = flatButton(this, "SbtoNow", nullptr, "现在时间");
    SbtoNow->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    r1->addWidget(BtoNew, 1);
    r1->addWidget(SbtoNow);
    col->addLayout(r1);

    auto* r2 = new QHBoxLayout;
    r2->setSpacing(1);
    EdtYear = new QLineEdit(qs("2004"), this);
    EdtYear->setObjectName(QStringLiteral("EdtYear"));
    // Five characters: a year handed over by the perpetual calendar ("-1000") shows whole, and is
    // then refused by the year check like any other year outside 1600-2200.
    EdtYear->setMaxLength(5);
    EdtYear->setFixedWidth(48);
    nameControl(EdtYear, "年");
    UpDyear = new TUpDown(this);
    UpDyear->setObjectName(QStringLiteral("UpDyear"));
    UpDyear->setRange(1600, 2200);
    nameControl(UpDyear, "年份");
    cbom = fixedList(this, "cbom", "月");
    r2->addWidget(EdtYear);
    r2->addWidget(UpDyear);
    r2->addSpacing(4);
    r2->addWidget(cbom, 1);
    col->addLayout(r2);

    auto* r3 = new QHBoxLayout;
    cbod = fixedList(this, "cbod", "日");
    cbos = fixedList(this, "cbos", "时");
    r3->addWidget(cbod, 1);
    r3->addWidget(cbos, 1);
    col->addLayout(r3);
    cbomin = fixedList(this, "cbomin", "分");
    col->addWidget(cbomin);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    Edtname = new QLineEdit(qs("某人"), this);
    Edtname->setObjectName(QStringLiteral("Edtname"));
    limitGbkBytes(Edtname, BirthRecord::kNameBytes);
    grid->addWidget(labelFor(Edtname, "姓名", this), 0, 0);
    grid->addWidget(Edtname, 0, 1);
    col->addLayout(grid);

    auto* r4 = new QHBoxLayout;
    Rdogl = new QRadioButton(qs("公历"), this);
    Rdogl->setObjectName(QStringLiteral("Rdogl"));
    Rdonl = new QRadioButton(qs("农历"), this);
    Rdonl->setObjectName(QStringLiteral("Rdonl"));
    Rdogl->setChecked(true);
    auto* calendarGroup = new QButtonGroup(this);
    calendarGroup->addButton(Rdogl);
    calendarGroup->addButton(Rdonl);
    r4->addWidget(Rdogl);
    r4->addWidget(Rdonl);
    col->addLayout(r4);
    Chkrun = new QCheckBox(qs("农历闰月"), this);
    Chkrun->setObjectName(QStringLiteral("Chkrun"));
    col->addWidget(Chkrun);

    auto* r5 = new QHBoxLayout;
    Rdona = new QRadioButton(qs("男"), this);
    Rdona->setObjectName(QStringLiteral("Rdona"));
    Rdonv = new QRadioButton(qs("女"), this);
    Rdonv->setObjectName(QStringLiteral("Rdonv"));
    Rdona->setChecked(true);
    auto* sexGroup = new QButtonGroup(this);
    sexGroup->addButton(Rdona);
    sexGroup->addButton(Rdonv);
    r5->addWidget(Rdona);
    r5->addWidget(Rdonv);
    col->addLayout(r5);

    CboXue = fixedList(this, "CboXue", "血型");
    for (const char* b : BloodTypeItems) CboXue->addItem(qs(b));
    col->addWidget(CboXue);
    Cboshiqu = fixedList(this, "Cboshiqu", "时区");
    Cboshiqu->setToolTip(qs("时区"));
    col->addWidget(Cboshiqu);

    auto* r6 = new QHBoxLayout;
    cbodiZ = fixedList(this, "cbodiZ", "省份");
    SpeedButton1 = flatButton(this, "SpeedButton1", ">", "输入县市名");
    r6->addWidget(cbodiZ, 1);
    r6->addWidget(SpeedButton1);
    col->addLayout(r6);
    cbodiC = fixedList(this, "cbodiC", "选择邻近城市");
    cbodiC->setToolTip(qs("选择邻近城市"));
    col->addWidget(cbodiC);

    buildCitySearch(col);

    auto* coords = new QGridLayout;
    ledtjing = new QLineEdit(qs("120:00"), this);
    ledtjing->setObjectName(QStringLiteral("ledtjing"));
    ledtjing->setMaxLength(7);
    ledtwei = new QLineEdit(qs("30:00"), this);
    ledtwei->setObjectName(QStringLiteral("ledtwei"));
    ledtwei->setMaxLength(6);
    coords->addWidget(labelFor(ledtjing, "经度", this), 0, 0);
    coords->addWidget(ledtjing, 0, 1);
    coords->addWidget(labelFor(ledtwei, "纬度", this), 1, 0);
    coords->addWidget(ledtwei, 1, 1);
    col->addLayout(coords);

    auto* r7 = new QHBoxLayout;
    SbtoSave = flatButton(this, "SbtoSave", "存新", "保存命例");
    // Its caption tells a new case from an opened one: the name is the caption, the hint the
    // description.
    SbtoSave->setAccessibleName(qs("存新"));
    SbtoSave->setAccessibleDescription(qs("保存命例"));
    SbtoZw_liu = flatButton(this, "SbtoZw_liu", "流", "流年盘");
    Btnpai = new QPushButton(qs("本命盘"), this);
    Btnpai->setObjectName(QStringLiteral("Btnpai"));
    r7->addWidget(SbtoSave);
    r7->addWidget(SbtoZw_liu);
    r7->addWidget(Btnpai, 1);
    col->addLayout(r7);
    col->addStretch(1);
    // Every control stays whole: the panel is as tall as its contents need.
    setMinimumHeight(col->sizeHint().height());
}

void InputPanel::fillLists() {
    Cboshiqu->clear();
    for (const auto& z : ZoneNames()) Cboshiqu->addItem(qs(z));
    fillList(cbom, numberedItems(1, 12, "月"));
    cbos->clear();
    for (const auto& h : HourNames()) cbos->addItem(qs(h));
    fillList(cbod, numberedItems(1, 31, "日"));
    cbodiZ->clear();
    for (const char* p : ProvinceNames) cbodiZ->addItem(qs(p));
    fillList(cbomin, numberedItems(0, 59, "分"));
    cbodiC->clear();
    cbodiC->addItem(qs(kUnknownPlace));
}

void InputPanel::setDate(int yearPosition, const QString& yearText, int month, int day, int hour,
                         int minute) {
    UpDyear->setPosition(yearPosition);
    EdtYear->setText(yearText);
    cbom->setCurrentIndex(month - 1);
    cbod->setCurrentIndex(day - 1);
    cbos->setCurrentIndex(hour);
    cbomin->setCurrentIndex(minute);
}

void InputPanel::setNow(const LocalMinute& now) {
    Rdogl->setChecked(true);
    Rdonl->setChecked(false);
    Chkrun->setChecked(false);
    const int year = (now.year > 2200 || now.year < 1600) ? 2200 : now.year;
    setDate(year, QString::number(year), now.month, now.day, now.hour, now.minute);
}

void InputPanel::setMoment(const PanelMoment& m) {
    setDate(m.year, QString::number(m.year), m.month, m.day, m.hour, m.minute);
    Rdogl->setChecked(true);
    Rdonl->setChecked(false);
    Chkrun->setChecked(false);
}

bool InputPanel::yearArrowsMoved(UiServices& ui) {
    const int typed = wholeNumber(EdtYear->text().toStdString(), 0);
    if (typed < 1600 || typed > 2200) {
        ui.messageBox("年份最大范围1600 - 2200", "年份错误", MsgIcon::Warning, MsgButtons::Ok);
        EdtYear->setFocus();
        return false;
    }
    const int year = std::clamp(typed + UpDyear->lastArrow(), 1600, 2200);
    UpDyear->setPosition(year);
    EdtYear->setText(QString::number(year));
    return true;
}

void InputPanel::provinceChosen() {
    worldCity_.reset();
    const int province = cbodiZ->currentIndex();
    if (province < 0) return;
    cityLongitudes_.clear();
    cityLatitudes_.clear();
    cbodiC->clear();
    if (province == cbodiZ->count() - 1) {
        cbodiC->addItem(qs(kUnknownPlace));
        cityLongitudes_.assign(1, 120.0f);
        cityLatitudes_.assign(1, 30.0f);
    } else {
        const IniFile places(programFolder_ + "dat/dili.ini");
        const std::string section = sourceText(cbodiZ).toStdString();
        for (const std::string& key : places.readSection(section)) {
            float lon = 0, lat = 0;
            // An entry whose parts are not whole numbers is left out rather than shown with
            // coordinates it does not have.
            if (!parsePlaceValue(places.readString(section, key, kDefaultPlaceValue), lon, lat)) continue;
            cbodiC->addItem(qs(key));
            cityLongitudes_.push_back(lon);
            cityLatitudes_.push_back(lat);
        }
    }
    if (cbodiC->count() == 0) return;
    cbodiC->setCurrentIndex(0);
    cityChosen();
}

void InputPanel::cityChosen() {
    worldCity_.reset();
    const int city = cbodiC->currentIndex();
    if (cbodiZ->currentIndex() < 0 || city < 0) return;
    if (cbodiZ->currentIndex() == cbodiZ->count() - 1) {
        ledtjing->setText(qs("120:00"));
        ledtwei->setText(qs("30:00"));
        return;
    }
    if (city >= static_cast<int>(cityLongitudes_.size())) return;
    ledtjing->setText(qs(degreesText(cityLongitudes_[static_cast<std::size_t>(city)])));
    ledtwei->setText(qs(degreesText(cityLatitudes_[static_cast<std::size_t>(city)])));
}

void InputPanel::searchCity(UiServices& ui, ScriptConverter* fold) {
    auto answer = ui.inputLine("输入", "输入县、市、区名：", "");
    if (!answer || answer->empty()) return;
    if (fold) answer = fold->folded(*answer);  // the table is in simplified characters
    const std::size_t want = gbk::byteLength(*answer);
    // The place typed in full wins over an earlier entry that merely contains it (眉山市 must
    // not select 峨眉山市); otherwise the first entry that contains the text and is at most two
    // bytes longer (福州 finds 福州市).
    int found = -1;
    for (int i = 0; i < cbodiC->count() && found < 0; ++i)
        if (sourceText(cbodiC, i).toStdString() == *answer) found = i;
    for (int i = 0; i < cbodiC->count() && found < 0; ++i) {
        const std::string entry = sourceText(cbodiC, i).toStdString();
        const std::size_t have = gbk::byteLength(entry);
        if (entry.find(*answer) != std::string::npos && have >= want && have - want <= 2) found = i;
    }
    if (found < 0) return;
    cbodiC->setCurrentIndex(found);
    cityChosen();
}

std::string InputPanel::placeText(bool forOpenedCase) const {
    if (typed_) return "自定义坐标";
    if (worldCity_) return worldCity_->placeText();
    if (cbodiZ->currentIndex() == cbodiZ->count() - 1) return forOpenedCase ? kUnknownPlace : " 未知";
    return sourceText(cbodiZ).toStdString() + "-" + sourceText(cbodiC).toStdString();
}

bool InputPanel::readRequest(UiServices& ui, BirthRecord& out) {
    if (Edtname->text().trimmed().isEmpty()) {
        ui.messageBox("姓名不能为空", "提示", MsgIcon::Information, MsgButtons::Ok);
        return false;
    }
    const int year = wholeNumber(EdtYear->text().toStdString(), 0);
    if (year < 1600 || year > 2200) {
        ui.messageBox("年份最大范围1600 - 2200", "年份错误", MsgIcon::Warning, MsgButtons::Ok);
        EdtYear->setFocus();
        return false;
    }
    const CoordinateCheck place =
        checkCoordinates(ledtjing->text().toStdString(), ledtwei->text().toStdString());
    if (!place.ok) {
        ui.messageBox(place.message, place.caption, MsgIcon::Error, MsgButtons::Ok);
        return false;
    }
    typed_ = coordinatesTyped(place.longitude, place.latitude);
    BirthRecord r = request(year, place.longitude, place.latitude, false);
    if (!settleClock(ui, r)) return false;
    out = r;
    UpDyear->setPosition(year);
    return true;
}

void InputPanel::fillFromCase(const CaseRecord& c) {
    UpDyear->setPosition(c.year);
    EdtYear->setText(QString::number(c.year <= 0 ? c.year - 1 : c.year));
    cbom->setCurrentIndex(c.month - 1);
    cbod->setCurrentIndex(c.day - 1);
    cbos->setCurrentIndex(c.hour);
    cbomin->setCurrentIndex(c.minute);
    (c.lunar == 1 ? Rdonl : Rdogl)->setChecked(true);
    Chkrun->setChecked(c.leap != 0);
    (c.male == 1 ? Rdona : Rdonv)->setChecked(true);
    Edtname->setText(qs(c.displayNameUtf8()));
    CboXue->setCurrentIndex(c.blood);
    Cboshiqu->setCurrentIndex(c.zone);
    cbodiZ->setCurrentIndex(c.province);
    provinceChosen();
    if (cbodiC->count() > 0) cbodiC->setCurrentIndex(c.city >= 0 && c.city < cbodiC->count() ? c.city : 0);
    ledtjing->setText(qs(degreesText(c.longitude)));
    ledtwei->setText(qs(degreesText(c.latitude)));
    restoreWorldFields(c);
    showCast(requestFromCase(c));
}

BirthRecord InputPanel::requestFromCase(const CaseRecord& c) const {
    BirthRecord r = request(wholeNumber(EdtYear->text().toStdString(), -1000), c.longitude, c.latitude, true);
    int32_t offset = 0;
    if (c.exactOffset(offset)) r.utcOffsetSeconds = offset;
    // The place restored with the case (restoreWorldFields) names the zone its clock follows.
    if (!typed_ && c.summerAnswer() != 2)
        r.zoneId = worldCity_ ? worldCity_->zoneId
                   : c.province >= 0 && c.province < kUnknownProvince ? atlas::provinceZone(c.province)
                                                                      : std::string();
    return r;
}

BirthRecord InputPanel::request(int year, float longitude, float latitude, bool forOpenedCase) const {
    BirthRecord r{};
    // A longer name is cut at a character boundary to the 32 GBK bytes the case keeps, so the
    // chart and the saved case carry the same name.
    r.name = gbk::cutUtf8(Edtname->text().toStdString(), BirthRecord::kNameBytes);
    r.birth = DateTimeFields{static_cast<int16_t>(year), static_cast<int16_t>(cbom->currentIndex() + 1),
                             static_cast<int16_t>(cbod->currentIndex() + 1),
                             static_cast<int16_t>(cbos->currentIndex()),
                             static_cast<int16_t>(cbomin->currentIndex())};
    r.zoneIndex = static_cast<int8_t>(Cboshiqu->currentIndex());
    r.lunar = Rdonl->isChecked() ? 1 : 0;
    r.leapMonth = Chkrun->isChecked() ? 1 : 0;
    r.male = Rdona->isChecked() ? 1 : 0;
    r.provinceIndex = static_cast<int16_t>(cbodiZ->currentIndex());
    r.cityIndex = static_cast<int16_t>(cbodiC->currentIndex());
    r.longitude = longitude;
    r.latitude = latitude;
    r.bloodType = static_cast<uint8_t>(std::max(0, CboXue->currentIndex()));
    r.place = gbk::cutUtf8(placeText(forOpenedCase), BirthRecord::kPlaceBytes);
    return r;
}

void InputPanel::showCaseOpen(bool open) {
    SbtoSave->setText(qs(open ? "存旧" : "存新"));
    SbtoSave->setAccessibleName(SbtoSave->text());
    QPalette p = SbtoSave->palette();
    p.setColor(QPalette::ButtonText, open ? QColor(0, 0, 255) : QColor(0, 0, 0));
    SbtoSave->setPalette(p);
}

int InputPanel::provinceIndex() const { return cbodiZ->currentIndex(); }
int InputPanel::cityIndex() const { return cbodiC->currentIndex(); }

void InputPanel::restorePlace(int province, int city) {
    if (province < 0 || province >= cbodiZ->count()) province = 0;
    cbodiZ->setCurrentIndex(province);
    provinceChosen();
    if (city < 0 || city >= cbodiC->count()) city = 0;
    if (cbodiC->count() > 0) {
        cbodiC->setCurrentIndex(city);
        cityChosen();
    }
}

void InputPanel::focusYear() { EdtYear->setFocus(); }

void InputPanel::releaseCities() {
    cityLongitudes_.clear();
    cityLatitudes_.clear();
}
