#include "dialogs/Untforecast.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

#include "astro/DateText.h"
#include "astro/Eph0.h"
#include "atlas/TimeZones.h"
#include "calendar/Yidateex.h"
#include "chart/WordLists.h"
#include "chart/XiangweiList.h"
#include "dialogs/DialogFrame.h"
#include "dialogs/ForecastTimelineView.h"
#include "platform/qt/Controls.h"
#include "platform/qt/QImageCanvas.h"

namespace {
constexpr int kShowProgressAfterMs = 500;
constexpr double kLongestPeriodDays = 100 * 365.25 + 1;
enum Column { kTime = 0, kKind, kBody, kAspect, kPoint, kEnters, kLeaves, kColumns };

QCheckBox* check(QWidget* parent, const char* name, const char* caption, bool on) {
    auto* c = new QCheckBox(qs(caption), parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setChecked(on);
    nameControl(c, caption);
    return c;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(qs(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    nameControl(b, caption);
    return b;
}

long long nowMs() { return QDateTime::currentMSecsSinceEpoch(); }
}  // namespace

TFrmForecast::TFrmForecast(ForecastSubject subject, UiServices& ui, std::function<void(double)> castAt,
                           QWidget* parent)
    : QDialog(parent), subject_(std::move(subject)), ui_(ui), castAt_(std::move(castAt)) {
    build();
    const LocalMinute now = ui_.clock().now();
    EdtFrom->setText(QString::asprintf("%04d-01-01", now.year));
    EdtTo->setText(QString::asprintf("%04d-12-31", now.year));
}

TFrmForecast::~TFrmForecast() {
    cancel_ = true;
    if (worker_.joinable()) worker_.join();
}

void TFrmForecast::build() {
    setObjectName(QStringLiteral("FrmForecast"));
    setWindowTitle(qs(subject_.name.empty() ? std::string("行运与天象") : "行运与天象 - " + subject_.name));
    setFont(songFont(10.5));
    auto* col = new QVBoxLayout(this);

    auto* period = new QHBoxLayout;
    EdtFrom = new QLineEdit(this);
    EdtFrom->setObjectName(QStringLiteral("EdtFrom"));
    EdtTo = new QLineEdit(this);
    EdtTo->setObjectName(QStringLiteral("EdtTo"));
    for (QLineEdit* e : {EdtFrom, EdtTo}) e->setFixedWidth(100);
    CboZone = fixedList(this, "CboZone", "时区");
    std::vector<std::string> zones;
    for (int i = 0; i < 24; ++i) zones.push_back(zoneText(zoneOffset(i)));
    if (!subject_.zoneId.empty()) zones.push_back(subject_.zoneId);
    fillList(CboZone, zones);
    CboZone->setCurrentIndex(subject_.zoneId.empty() ? subject_.zoneIndex : 24);
    CboZone->setAccessibleDescription(qs("时区"));
    period->addWidget(labelFor(EdtFrom, "从", this));
    period->addWidget(EdtFrom);
    period->addWidget(labelFor(EdtTo, "到", this));
    period->addWidget(EdtTo);
    period->addWidget(CboZone);
    BtnFind = button(this, "BtnFind", "查找");
    BtnCancel = button(this, "BtnCancel", "取消查找");
    BtnCancel->setEnabled(false);
    Progress = new QProgressBar(this);
    Progress->setObjectName(QStringLiteral("Progress"));
    Progress->setRange(0, 1000);
    Progress->setVisible(false);
    nameControl(Progress, "进度");
    period->addWidget(BtnFind);
    period->addWidget(BtnCancel);
    period->addWidget(Progress, 1);
    col->addLayout(period);

    const bool chart = !subject_.natal.empty();
    auto* kinds = new QHBoxLayout;
    ChkTransit = check(this, "ChkTransit", "行运", chart);
    ChkTransit->setEnabled(chart);
    ChkMoon = check(this, "ChkMoon", "月亮", false);
    ChkNode = check(this, "ChkNode", "升交点", false);
    ChkIngress = check(this, "ChkIngress", "入座", true);
    ChkStation = check(this, "ChkStation", "留", true);
    ChkLunation = check(this, "ChkLunation", "新月满月", true);
    ChkEclipse = check(this, "ChkEclipse", "日月食", true);
    ChkTerm = check(this, "ChkTerm", "节气", true);
    ChkVoid = check(this, "ChkVoid", "空亡", false);
    for (QCheckBox* c : {ChkTransit, ChkMoon, ChkNode, ChkIngress, ChkStation, ChkLunation, ChkEclipse, ChkTerm, ChkVoid})
        kinds->addWidget(c);
    kinds->addStretch(1);
    col->addLayout(kinds);

    auto* filter = new QHBoxLayout;
    CboBody = fixedList(this, "CboBody", "天体");
    CboBody->setAccessibleDescription(qs("天体"));
    std::vector<std::string> bodies{"全部天体"};
    for (int b = 0; b < forecast::kBodyCount; ++b) bodies.push_back(forecast::bodyName(b));
    fillList(CboBody, bodies);
    CboKind = fixedList(this, "CboKind", "类别");
    CboKind->setAccessibleDescription(qs("类别"));
    std::vector<std::string> kindNames{"全部类别"};
    for (int k = 0; k < kAspectKinds; ++k) kindNames.push_back(aspectKindName(k));
    for (int k = 0; k <= static_cast<int>(forecast::SkyKind::VoidMoon); ++k)
        kindNames.push_back(forecast::skyKindName(static_cast<forecast::SkyKind>(k)));
    fillList(CboKind, kindNames);
    filter->addWidget(CboBody);
    filter->addWidget(CboKind);
    filter->addStretch(1);
    buildExports(filter);
    col->addLayout(filter);

    auto* split = new QSplitter(Qt::Vertical, this);
    split->setObjectName(QStringLiteral("SplitForecast"));
    LstEvents = new QTableWidget(0, kColumns, split);
    LstEvents->setObjectName(QStringLiteral("LstEvents"));
    nameControl(LstEvents, "行运与天象列表");
    LstEvents->setHorizontalHeaderLabels({qs("时间"), qs("类别"), qs("天体"), qs("相位"), qs("本命点/内容"),
                                          qs("入相位"), qs("出相位")});
    LstEvents->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LstEvents->setSelectionBehavior(QAbstractItemView::SelectRows);
    LstEvents->verticalHeader()->setVisible(false);
    LstEvents->horizontalHeader()->setStretchLastSection(true);
    LstEvents->setSortingEnabled(true);
    auto* scroll = new QScrollArea(split);
    scroll->setObjectName(QStringLiteral("TimelineScroll"));
    nameControl(scroll, "时间线区域");
    Timeline = new ForecastTimelineView(scroll);
    scroll->setWidget(Timeline);
    scroll->setWidgetResizable(true);
    split->addWidget(LstEvents);
    split->addWidget(scroll);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    col->addWidget(split, 1);
    resize(980, 680);

    timer_ = new QTimer(this);
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, [this] { poll(); });
    connect(BtnFind, &QPushButton::clicked, this, [this] { BtnFindClick(); });
    connect(BtnCancel, &QPushButton::clicked, this, [this] { BtnCancelClick(); });
    connect(CboBody, &QComboBox::currentIndexChanged, this, [this] { applyFilter(); });
    connect(CboKind, &QComboBox::currentIndexChanged, this, [this] { applyFilter(); });
    connect(LstEvents, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { rowDoubleClicked(row); });
    Timeline->onHit = [this](double jd) {
        if (castAt_) castAt_(jd);
    };
}

forecast::ClockOffset TFrmForecast::clock() const {
    if (CboZone->currentIndex() == 24 && !subject_.zoneId.empty()) {
        const std::string zone = subject_.zoneId;
        const double longitude = subject_.longitude;
        const int fallback = zoneOffset(subject_.zoneIndex) * 3600;
        return [zone, longitude, fallback](double jd) {
            const auto utc = static_cast<long long>(std::floor((jd - 2440587.5) * 86400.0));
            const atlas::ClockReading r = atlas::clockAt(zone, utc, longitude);
            return r.known ? r.offsetSeconds : fallback;
        };
    }
    return forecast::fixedOffset(zoneOffset(CboZone->currentIndex()) * 3600);
}

void TFrmForecast::BtnFindClick() {
    if (worker_.joinable()) return;
    DateTimeFields from, to;
    if (!parseDateText(EdtFrom->text().toStdString(), from) || !dateExists(from) ||
        !parseDateText(EdtTo->text().toStdString(), to) || !dateExists(to)) {
        ui_.messageBox("请输入日期，例如 2026-01-01。", "提示", MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    const forecast::ClockOffset c = clock();
    const double t1 = forecast::localMidnight(from.year, from.month, from.day, c);
    const double t2 = forecast::localMidnight(to.year, to.month, to.day + 1, c);
    if (t2 <= t1 || t2 - t1 > kLongestPeriodDays) {
        ui_.messageBox("时段须从前一日期到后一日期，最长一百年。", "提示", MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    t1_ = t1;
    t2_ = t2;
    forecast::TransitOptions o;
    o.moon = ChkMoon->isChecked();
    o.node = ChkNode->isChecked();
    o.orbs = subject_.orbs;
    o.orbTimes = true;
    o.asteroids = subject_.asteroids;
    const bool transits = ChkTransit->isChecked() && !subject_.natal.empty();
    forecast::SkyKinds k;
    k.ingress = ChkIngress->isChecked();
    k.station = ChkStation->isChecked();
    k.lunation = ChkLunation->isChecked();
    k.eclipse = ChkEclipse->isChecked();
    k.term = ChkTerm->isChecked();
    k.voidMoon = ChkVoid->isChecked();
    k.asteroids = subject_.asteroids;  // their ingresses and stations too
    bool anyAsteroid = false;
    for (bool b : subject_.asteroids) anyAsteroid = anyAsteroid || b;
    if (anyAsteroid && (from.year < 1600 || to.year > 2200)) {
        ui_.messageBox("凯龙星和小行星只能查1600-2200年。", "提示", MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    const bool sky = k.ingress || k.station || k.lunation || k.eclipse || k.term || k.voidMoon;
    cancel_ = false;
    done_ = false;
    permille_ = 0;
    startedMs_ = nowMs();
    BtnFind->setEnabled(false);
    BtnCancel->setEnabled(true);
    const std::vector<forecast::NatalPoint> natal = subject_.natal;
    worker_ = std::thread([this, natal, o, k, transits, sky, t1, t2] {
        forecast::Ephemeris eph;
        const double share = transits && sky ? 0.5 : 1.0;
        auto progress = [this](double base, double part) {
            return [this, base, part](double f) {
                permille_ = static_cast<int>((base + part * f) * 1000);
                return !cancel_;
            };
        };
        if (transits) foundHits_ = forecast::findTransits(eph, natal, o, t1, t2, progress(0, share));
        else foundHits_.clear();
        if (sky && !cancel_) foundEvents_ = forecast::findSkyEvents(eph, k, t1, t2, progress(1 - share, share));
        else foundEvents_.clear();
        done_ = true;
    });
    timer_->start();
}

void TFrmForecast::BtnCancelClick() { cancel_ = true; }

void TFrmForecast::waitForSearch() {
    if (worker_.joinable()) worker_.join();
    poll();
}

void TFrmForecast::poll() {
    if (!done_) {
        if (nowMs() - startedMs_ > kShowProgressAfterMs) Progress->setVisible(true);
        Progress->setValue(permille_);
        return;
    }
    timer_->stop();
    if (worker_.joinable()) worker_.join();
    Progress->setVisible(false);
    BtnFind->setEnabled(true);
    BtnCancel->setEnabled(false);
    hits_ = std::move(foundHits_);
    events_ = std::move(foundEvents_);
    showResults();
}

void TFrmForecast::showResults() {
    const forecast::ClockOffset c = clock();
    MYiDateEx calendar;
    LstEvents->setSortingEnabled(false);
    LstEvents->setRowCount(0);
    LstEvents->setRowCount(static_cast<int>(hits_.size() + events_.size()));
    int row = 0;
    auto put = [&](int column, const std::string& text, double jd, int body, int kind) {
        auto* item = new QTableWidgetItem(qs(text));
        item->setData(Qt::UserRole, jd);
        item->setData(Qt::UserRole + 1, body);
        item->setData(Qt::UserRole + 2, kind);
        LstEvents->setItem(row, column, item);
    };
    for (const auto& h : hits_) {
        const int kind = 1 + h.kind;
        put(kTime, forecast::localTimeText(h.jd, c), h.jd, h.body, kind);
        put(kKind, h.retrograde ? "行运(逆)" : "行运", h.jd, h.body, kind);
        put(kBody, forecast::bodyName(h.body), h.jd, h.body, kind);
        put(kAspect, aspectKindName(h.kind), h.jd, h.body, kind);
        put(kPoint, subject_.natal[static_cast<std::size_t>(h.natal)].name, h.jd, h.body, kind);
        put(kEnters, std::isnan(h.enters) ? "" : forecast::localTimeText(h.enters, c), h.jd, h.body, kind);
        put(kLeaves, std::isnan(h.leaves) ? "" : forecast::localTimeText(h.leaves, c), h.jd, h.body, kind);
        ++row;
    }
    for (const auto& e : events_) {
        const int kind = 1 + kAspectKinds + static_cast<int>(e.kind);
        const bool hasBody = e.kind == forecast::SkyKind::Ingress || e.kind == forecast::SkyKind::Station;
        const int body = hasBody ? e.body : -1;
        std::string detail;
        for (const auto& f : forecast::skyEventFields(e, calendar, c)) detail += (detail.empty() ? "" : " ") + f;
        put(kTime, forecast::localTimeText(e.jd, c), e.jd, body, kind);
        put(kKind, forecast::skyKindName(e.kind), e.jd, body, kind);
        put(kBody, hasBody ? forecast::bodyName(e.body) : "", e.jd, body, kind);
        put(kAspect, "", e.jd, body, kind);
        put(kPoint, detail, e.jd, body, kind);
        put(kEnters, "", e.jd, body, kind);
        put(kLeaves, e.kind == forecast::SkyKind::VoidMoon ? forecast::localTimeText(e.endJd, c) : "", e.jd, body, kind);
        ++row;
    }
    LstEvents->setSortingEnabled(true);
    LstEvents->sortItems(kTime);
    LstEvents->resizeColumnsToContents();
    rows_ = forecast::timelineRows(hits_, subject_.natal);
    Timeline->setRows(&rows_, t1_, t2_, c);
    applyFilter();
}

void TFrmForecast::applyFilter() {
    const int body = CboBody->currentIndex() - 1;  // -1 all
    const int kind = CboKind->currentIndex();      // 0 all
    for (int r = 0; r < LstEvents->rowCount(); ++r) {
        const QTableWidgetItem* item = LstEvents->item(r, kTime);
        if (!item) continue;
        const bool show = (body < 0 || item->data(Qt::UserRole + 1).toInt() == body) &&
                          (kind == 0 || item->data(Qt::UserRole + 2).toInt() == kind);
        LstEvents->setRowHidden(r, !show);
    }
}

void TFrmForecast::rowDoubleClicked(int row) {
    const QTableWidgetItem* item = LstEvents->item(row, kTime);
    if (item && castAt_) castAt_(item->data(Qt::UserRole).toDouble());
}
