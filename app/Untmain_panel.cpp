// The input panel on the right of the main window: its controls and lists, "now", the year
// arrows, the province and city pickers, the city search and the natal command "本命盘".
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include <cstdio>
#include <limits>

#include "Gbk.h"
#include "Untmain.h"

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
QString q(const char* s) { return QString::fromUtf8(s); }

// A decimal integer with an optional sign and nothing else; def otherwise.
int wholeNumber(const std::string& s, int def) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i == s.size()) return def;
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return def;
        v = v * 10 + (s[i] - '0');
        if (v > std::numeric_limits<int32_t>::max()) return def;
    }
    return static_cast<int>(negative ? -v : v);
}

QComboBox* fixedList(QWidget* parent, const char* name) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setEditable(false);
    c->setMaxVisibleItems(24);
    return c;
}

QToolButton* flatButton(QWidget* parent, const char* name, const char* caption, const char* hint) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoRaise(true);
    if (caption) b->setText(q(caption));
    b->setToolTip(q(hint));
    return b;
}

const char* const kFormatExample =
    "例如:东经117度48分,北纬25度42分,就按以下格式输入:\n"
    " 经度=117:48  纬度=25:42\n"
    "注意:东经为正，西经为负。北纬为正，南纬为负。";
}  // namespace

bool parsePlaceValue(const std::string& value, float& longitude, float& latitude) {
    const std::size_t star = value.find('*');
    if (star == std::string::npos) return false;
    auto part = [](const std::string& s, float& out) {
        const std::size_t colon = s.find(':');
        if (colon == std::string::npos) return false;
        constexpr int bad = std::numeric_limits<int>::min();
        const int d = wholeNumber(s.substr(0, colon), bad);
        const int m = wholeNumber(s.substr(colon + 1), bad);
        if (d == bad || m == bad) return false;
        // The minutes take the sign of the degrees, as the panel's own parser reads them.
        const bool negative = s.find('-') < colon;
        out = static_cast<float>(negative ? d - m / 60.0 : d + m / 60.0);
        return true;
    };
    return part(value.substr(0, star), longitude) && part(value.substr(star + 1), latitude);
}

std::string degreesText(float value) {
    const double v = value;
    const double a = std::fabs(v);
    int d = static_cast<int>(a);  // toward zero
    // Nearest minute, a tie going down.
    int m = static_cast<int>(std::ceil((a - d) * 60.0 - 0.5));
    if (m >= 60) {
        ++d;
        m -= 60;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%d:%d", (v < 0 && (d != 0 || m != 0)) ? "-" : "", d, m);
    return buf;
}

QWidget* TFrmMain::buildInputPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("PanelInput"));
    panel->setFixedWidth(176);
    auto* col = new QVBoxLayout(panel);
    col->setContentsMargins(4, 2, 4, 2);
    col->setSpacing(4);

    auto* r1 = new QHBoxLayout;
    BtoNew = new QPushButton(q("新建"), panel);
    BtoNew->setObjectName(QStringLiteral("BtoNew"));
    BtoNew->setToolTip(q("新建命例"));
    SbtoNow = flatButton(panel, "SbtoNow", nullptr, "现在时间");
    SbtoNow->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    r1->addWidget(BtoNew, 1);
    r1->addWidget(SbtoNow);
    col->addLayout(r1);

    auto* r2 = new QHBoxLayout;
    r2->setSpacing(1);
    EdtYear = new QLineEdit(q("2004"), panel);
    EdtYear->setObjectName(QStringLiteral("EdtYear"));
    EdtYear->setMaxLength(4);
    EdtYear->setFixedWidth(48);
    UpDyear = new TUpDown(panel);
    UpDyear->setObjectName(QStringLiteral("UpDyear"));
    UpDyear->setRange(1600, 2200);
    cbom = fixedList(panel, "cbom");
    r2->addWidget(EdtYear);
    r2->addWidget(UpDyear);
    r2->addSpacing(4);
    r2->addWidget(cbom, 1);
    col->addLayout(r2);

    auto* r3 = new QHBoxLayout;
    cbod = fixedList(panel, "cbod");
    cbos = fixedList(panel, "cbos");
    r3->addWidget(cbod, 1);
    r3->addWidget(cbos, 1);
    col->addLayout(r3);
    cbomin = fixedList(panel, "cbomin");
    col->addWidget(cbomin);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    Edtname = new QLineEdit(q("某人"), panel);
    Edtname->setObjectName(QStringLiteral("Edtname"));
    grid->addWidget(new QLabel(q("姓名"), panel), 0, 0);
    grid->addWidget(Edtname, 0, 1);
    col->addLayout(grid);

    auto* r4 = new QHBoxLayout;
    Rdogl = new QRadioButton(q("公历"), panel);
    Rdogl->setObjectName(QStringLiteral("Rdogl"));
    Rdonl = new QRadioButton(q("农历"), panel);
    Rdonl->setObjectName(QStringLiteral("Rdonl"));
    Rdogl->setChecked(true);
    auto* calendarGroup = new QButtonGroup(panel);
    calendarGroup->addButton(Rdogl);
    calendarGroup->addButton(Rdonl);
    r4->addWidget(Rdogl);
    r4->addWidget(Rdonl);
    col->addLayout(r4);
    Chkrun = new QCheckBox(q("农历闰月"), panel);
    Chkrun->setObjectName(QStringLiteral("Chkrun"));
    col->addWidget(Chkrun);

    auto* r5 = new QHBoxLayout;
    Rdona = new QRadioButton(q("男"), panel);
    Rdona->setObjectName(QStringLiteral("Rdona"));
    Rdonv = new QRadioButton(q("女"), panel);
    Rdonv->setObjectName(QStringLiteral("Rdonv"));
    Rdona->setChecked(true);
    auto* sexGroup = new QButtonGroup(panel);
    sexGroup->addButton(Rdona);
    sexGroup->addButton(Rdonv);
    r5->addWidget(Rdona);
    r5->addWidget(Rdonv);
    col->addLayout(r5);

    CboXue = fixedList(panel, "CboXue");
    for (const char* b : {"A型血", "B型血", "AB型血", "O型血"}) CboXue->addItem(q(b));
    col->addWidget(CboXue);
    Cboshiqu = fixedList(panel, "Cboshiqu");
    Cboshiqu->setToolTip(q("时区"));
    col->addWidget(Cboshiqu);

    auto* r6 = new QHBoxLayout;
    cbodiZ = fixedList(panel, "cbodiZ");
    SpeedButton1 = flatButton(panel, "SpeedButton1", ">", "输入县市名");
    r6->addWidget(cbodiZ, 1);
    r6->addWidget(SpeedButton1);
    col->addLayout(r6);
    cbodiC = fixedList(panel, "cbodiC");
    cbodiC->setToolTip(q("选择邻近城市"));
    col->addWidget(cbodiC);

    auto* coords = new QGridLayout;
    ledtjing = new QLineEdit(q("120:00"), panel);
    ledtjing->setObjectName(QStringLiteral("ledtjing"));
    ledtjing->setMaxLength(7);
    ledtwei = new QLineEdit(q("30:00"), panel);
    ledtwei->setObjectName(QStringLiteral("ledtwei"));
    ledtwei->setMaxLength(6);
    coords->addWidget(new QLabel(q("经度"), panel), 0, 0);
    coords->addWidget(ledtjing, 0, 1);
    coords->addWidget(new QLabel(q("纬度"), panel), 1, 0);
    coords->addWidget(ledtwei, 1, 1);
    col->addLayout(coords);

    auto* r7 = new QHBoxLayout;
    SbtoSave = flatButton(panel, "SbtoSave", "存新", "保存命例");
    SbtoZw_liu = flatButton(panel, "SbtoZw_liu", "流", "流年盘");
    Btnpai = new QPushButton(q("本命盘"), panel);
    Btnpai->setObjectName(QStringLiteral("Btnpai"));
    r7->addWidget(SbtoSave);
    r7->addWidget(SbtoZw_liu);
    r7->addWidget(Btnpai, 1);
    col->addLayout(r7);
    col->addStretch(1);

    auto hook = [this](auto* sender, auto signal, void (TFrmMain::*slot)()) {
        connect(sender, signal, this, [this, slot] { guarded([&] { (this->*slot)(); }); });
    };
    hook(BtoNew, &QPushButton::clicked, &TFrmMain::BtoNewClick);
    hook(SbtoNow, &QToolButton::clicked, &TFrmMain::SbtoNowClick);
    hook(UpDyear, &TUpDown::clicked, &TFrmMain::UpDyearClick);
    hook(cbodiZ, &QComboBox::activated, &TFrmMain::cbodiZClick);
    hook(cbodiC, &QComboBox::activated, &TFrmMain::cbodiCClick);
    hook(SpeedButton1, &QToolButton::clicked, &TFrmMain::SpeedButton1Click);
    hook(SbtoSave, &QToolButton::clicked, &TFrmMain::SbtoSaveClick);
    hook(SbtoZw_liu, &QToolButton::clicked, &TFrmMain::SbtoZw_liuClick);
    hook(Btnpai, &QPushButton::clicked, &TFrmMain::BtnpaiClick);
    return panel;
}

void TFrmMain::SbtoNowClick() {
    const LocalMinute now = ui_.clock().now();
    Rdogl->setChecked(true);
    Rdonl->setChecked(false);
    Chkrun->setChecked(false);
    const int year = (now.year > 2200 || now.year < 1600) ? 2200 : now.year;
    UpDyear->setPosition(year);
    EdtYear->setText(QString::number(year));
    cbom->setCurrentIndex(now.month - 1);
    cbod->setCurrentIndex(now.day - 1);
    cbos->setCurrentIndex(now.hour);
    cbomin->setCurrentIndex(now.minute);
}

void TFrmMain::UpDyearClick() { EdtYear->setText(QString::number(UpDyear->position())); }

void TFrmMain::cbodiZClick() {
    const int province = cbodiZ->currentIndex();
    if (province < 0) return;
    cityLongitudes_.clear();
    cityLatitudes_.clear();
    cbodiC->clear();
    if (province == cbodiZ->count() - 1) {
        cbodiC->addItem(q("未知地"));
        cityLongitudes_.assign(1, 120.0f);
        cityLatitudes_.assign(1, 30.0f);
    } else {
        const IniFile places(programFolder_ + "dat/dili.ini");
        const std::string section = cbodiZ->currentText().toStdString();
        for (const std::string& key : places.readSection(section)) {
            float lon = 0, lat = 0;
            // An entry whose parts are not whole numbers is left out rather than shown with
            // coordinates it does not have.
            if (!parsePlaceValue(places.readString(section, key, "120:0*30:0"), lon, lat)) continue;
            cbodiC->addItem(q(key));
            cityLongitudes_.push_back(lon);
            cityLatitudes_.push_back(lat);
        }
    }
    if (cbodiC->count() == 0) return;
    cbodiC->setCurrentIndex(0);
    cbodiCClick();
}

void TFrmMain::cbodiCClick() {
    const int city = cbodiC->currentIndex();
    if (cbodiZ->currentIndex() < 0 || city < 0) return;
    if (cbodiZ->currentIndex() == cbodiZ->count() - 1) {
        ledtjing->setText(q("120:00"));
        ledtwei->setText(q("30:00"));
        return;
    }
    if (city >= static_cast<int>(cityLongitudes_.size())) return;
    ledtjing->setText(q(degreesText(cityLongitudes_[city])));
    ledtwei->setText(q(degreesText(cityLatitudes_[city])));
}

void TFrmMain::SpeedButton1Click() {
    const auto answer = ui_.inputLine("输入", "输入县、市、区名：", "");
    if (!answer || answer->empty()) return;
    const std::size_t want = gbk::byteLength(*answer);
    // The place typed in full wins over an earlier entry that merely contains it (眉山市 must
    // not select 峨眉山市); otherwise the first entry that contains the text and is at most two
    // bytes longer (福州 finds 福州市).
    int found = -1;
    for (int i = 0; i < cbodiC->count() && found < 0; ++i)
        if (cbodiC->itemText(i).toStdString() == *answer) found = i;
    for (int i = 0; i < cbodiC->count() && found < 0; ++i) {
        const std::string entry = cbodiC->itemText(i).toStdString();
        const std::size_t have = gbk::byteLength(entry);
        if (entry.find(*answer) != std::string::npos && have >= want && have - want <= 2) found = i;
    }
    if (found < 0) return;
    cbodiC->setCurrentIndex(found);
    cbodiCClick();
}

void TFrmMain::BtnpaiClick() {
    natalCast_ = false;
    const std::string name = Edtname->text().toStdString();
    if (Edtname->text().trimmed().isEmpty()) {
        ui_.messageBox("姓名不能为空", "提示", MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    const int year = wholeNumber(EdtYear->text().toStdString(), 0);
    if (year < 1600 || year > 2200) {
        ui_.messageBox("年份最大范围1600 - 2200", "年份错误", MsgIcon::Warning, MsgButtons::Ok);
        EdtYear->setFocus();
        return;
    }
    const std::string jing = ledtjing->text().toStdString();
    const std::string wei = ledtwei->text().toStdString();
    auto formatError = [this] {
        ui_.messageBox(kFormatExample, "格式错误", MsgIcon::Error, MsgButtons::Ok);
    };
    if (gbk::byteLength(jing) < 3 || gbk::byteLength(wei) < 3) return formatError();
    const std::size_t cj = jing.find(':');
    const std::size_t cw = wei.find(':');
    if (cj == std::string::npos || cj + 1 == jing.size() || cw == std::string::npos ||
        cw + 1 == wei.size())
        return formatError();
    const int lonDeg = wholeNumber(jing.substr(0, cj), 1000000);
    if (lonDeg < -180 || lonDeg > 180) {
        ui_.messageBox("经度在-180至180之间", "经度错误", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    const int lonMin = wholeNumber(jing.substr(cj + 1), 1000000);
    if (lonMin < 0 || lonMin > 59) {
        ui_.messageBox("分数在0-59", "格式错误", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    const float longitude =
        static_cast<float>(lonDeg >= 0 ? lonDeg + lonMin / 60.0 : lonDeg - lonMin / 60.0);
    const int latDeg = wholeNumber(wei.substr(0, cw), 1000000);
    if (latDeg < -90 || latDeg > 90) {
        ui_.messageBox("纬度在-90至90之间", "纬度错误", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    const int latMin = wholeNumber(wei.substr(cw + 1), 1000000);
    if (latMin < 0 || latMin > 59) {
        ui_.messageBox("分数在0-59", "格式错误", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    const float latitude =
        static_cast<float>(latDeg >= 0 ? latDeg + latMin / 60.0 : latDeg - latMin / 60.0);
    if (!(longitude > -180 && longitude < 180 && latitude > -90 && latitude < 90)) {
        ui_.messageBox("经度在-180至180之间，纬度在-90至90之间", "数据无效", MsgIcon::Error,
                       MsgButtons::Ok);
        return;
    }

    // The request.
    BirthRecord r{};
    // A longer name is cut at a character boundary to the request's 9 GBK bytes, so the chart and
    // the saved case carry the same name.
    r.name = gbk::cutUtf8(name, BirthRecord::kNameBytes);
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
    if (cbodiZ->currentIndex() == cbodiZ->count() - 1)
        r.place = " 未知";
    else
        r.place = cbodiZ->currentText().toStdString() + "-" + cbodiC->currentText().toStdString();
    r.place = gbk::cutUtf8(r.place, BirthRecord::kPlaceBytes);
    birth_ = r;
    UpDyear->setPosition(year);

    // The working case record, before the engine runs and whatever its result.
    currentCase_.setName(r.name);
    currentCase_.year = r.birth.year;
    currentCase_.month = r.birth.month;
    currentCase_.day = r.birth.day;
    currentCase_.hour = r.birth.hour;
    currentCase_.minute = r.birth.minute;
    currentCase_.lunar = r.lunar;
    currentCase_.leap = r.leapMonth;
    currentCase_.male = r.male;
    currentCase_.province = r.provinceIndex;
    currentCase_.city = r.cityIndex;
    currentCase_.zone = r.zoneIndex;
    currentCase_.longitude = r.longitude;
    currentCase_.latitude = r.latitude;
    currentCase_.blood = r.bloodType;

    if (!engine_) return;
    const bool ok = engine_->castNatal(birth_);
    Imgzhanxing->update();
    if (!ok) {
        ui_.messageBox(engine_->errorText(), "错误", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    transit_.place = birth_.place;
    transit_.zoneIndex = birth_.zoneIndex;
    Page1->setCurrentIndex(0);
    ScrollPan->horizontalScrollBar()->setValue(0);
    ScrollPan->verticalScrollBar()->setValue(0);
    centerChartImage();
    natalCast_ = true;
}

// Case commands (新建, 存新/存旧) belong to the case store's commands.
void TFrmMain::BtoNewClick() {}
void TFrmMain::SbtoSaveClick() {}
