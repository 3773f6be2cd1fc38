// 天象 in the perpetual calendar: the sky's events of the month shown, found by the forecasting
// library at the true instant in UTC+8 (the calendar's clock), as a short mark in each day cell
// and the full list in the grid's tooltip.
#include <QCheckBox>
#include <QEvent>
#include <QHelpEvent>
#include <QToolTip>

#include "astro/Eph0.h"
#include "chart/XiangweiList.h"
#include "calendar/ui/Untwnl.h"
#include "forecast/EventText.h"
#include "platform/qt/Controls.h"

namespace {
constexpr int kFirstSkyYear = 1000, kLastSkyYear = 3000;  // the precise engine's good range
const Rgb kMarkColour{128, 0, 128};

// The one-character mark of a day, by the weight of its events.
const char* markOf(forecast::SkyKind k) {
    switch (k) {
    case forecast::SkyKind::SolarEclipse:
    case forecast::SkyKind::LunarEclipse: return "食";
    case forecast::SkyKind::NewMoon: return "朔";
    case forecast::SkyKind::FullMoon: return "望";
    case forecast::SkyKind::Station: return "留";
    case forecast::SkyKind::Ingress: return "入";
    default: return "";
    }
}
int weightOf(forecast::SkyKind k) {
    switch (k) {
    case forecast::SkyKind::SolarEclipse:
    case forecast::SkyKind::LunarEclipse: return 5;
    case forecast::SkyKind::NewMoon:
    case forecast::SkyKind::FullMoon: return 4;
    case forecast::SkyKind::Station: return 3;
    case forecast::SkyKind::Ingress: return 2;
    default: return 0;
    }
}
}  // namespace

bool TWnlImage::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip && tipAt) {
        auto* help = static_cast<QHelpEvent*>(e);
        const std::string tip = tipAt(help->pos().x(), help->pos().y());
        if (tip.empty()) QToolTip::hideText();
        else QToolTip::showText(help->globalPos(), qs(tip), this);
        return true;
    }
    return QWidget::event(e);
}

void TFrmWnl::buildSky() {
    ChkSky = new QCheckBox(qs("天象"), this);
    ChkSky->setObjectName(QStringLiteral("ChkSky"));
    ChkSky->setGeometry(10, 42, 70, 20);
    nameControl(ChkSky, "天象");
    connect(ChkSky, &QCheckBox::toggled, this, [this] { redraw(); });
    ChkTransit = new QCheckBox(qs("行运"), this);
    ChkTransit->setObjectName(QStringLiteral("ChkTransit"));
    ChkTransit->setGeometry(80, 42, 70, 20);
    ChkTransit->setEnabled(false);
    nameControl(ChkTransit, "行运");
    connect(ChkTransit, &QCheckBox::toggled, this, [this] { redraw(); });
    Img1->tipAt = [this](int x, int y) { return skyTipAt(x, y); };
}

void TFrmWnl::setTransitChart(std::vector<forecast::NatalPoint> natal, const AspectOrbs& orbs) {
    transitNatal_ = std::move(natal);
    transitOrbs_ = orbs;
    ChkTransit->setEnabled(!transitNatal_.empty());
    if (ChkTransit->isChecked() && ChkSky->isChecked()) redraw();
}

void TFrmWnl::collectMonthSky() {
    daySky_.assign(static_cast<std::size_t>(std::max(daysInMonth_, 0)) + 10, {});
    daySkyMark_.assign(daySky_.size(), "");
    if (!ChkSky || !ChkSky->isChecked() || selected_.year < kFirstSkyYear || selected_.year > kLastSkyYear) return;
    if (!skyEphemeris_) skyEphemeris_ = std::make_shared<forecast::Ephemeris>();
    auto& eph = *static_cast<forecast::Ephemeris*>(skyEphemeris_.get());
    const forecast::ClockOffset clock = forecast::fixedOffset(8 * 3600);
    const double t1 = forecast::localMidnight(selected_.year, selected_.month, 1, clock);
    const double t2 = forecast::localMidnight(selected_.month == 12 ? selected_.year + 1 : selected_.year,
                                              selected_.month == 12 ? 1 : selected_.month + 1, 1, clock);
    forecast::SkyKinds kinds;
    kinds.term = false;  // the calendar shows the terms already
    std::vector<int> weight(daySky_.size(), 0);
    for (const auto& e : forecast::findSkyEvents(eph, kinds, t1, t2)) {
        const std::string when = forecast::localTimeText(e.jd, clock);
        const auto day = static_cast<std::size_t>(std::stoi(when.substr(8, 2)));
        if (day >= daySky_.size()) continue;
        std::string line = when.substr(11) + " " + forecast::skyKindName(e.kind);
        for (const auto& f : forecast::skyEventFields(e, calendar_, clock)) line += " " + f;
        daySky_[day - 1].push_back(line);
        if (weightOf(e.kind) > weight[day - 1]) {
            weight[day - 1] = weightOf(e.kind);
            daySkyMark_[day - 1] = markOf(e.kind);
        }
    }
    if (!ChkTransit->isChecked() || transitNatal_.empty()) return;
    forecast::TransitOptions o;
    o.orbs = transitOrbs_;
    o.orbTimes = false;
    for (const auto& h : forecast::findTransits(eph, transitNatal_, o, t1, t2)) {
        const std::string when = forecast::localTimeText(h.jd, clock);
        const auto day = static_cast<std::size_t>(std::stoi(when.substr(8, 2)));
        if (day >= daySky_.size()) continue;
        daySky_[day - 1].push_back(when.substr(11) + " 行运 " + forecast::bodyName(h.body) + " " +
                                   aspectKindName(h.kind) + " " + transitNatal_[static_cast<std::size_t>(h.natal)].name);
        if (daySkyMark_[day - 1].empty()) daySkyMark_[day - 1] = "运";
    }
}

void TFrmWnl::drawSkyMark(Canvas& c, int x, int y, int cw, int ch, int label) {
    (void)cw;
    (void)ch;
    const auto i = static_cast<std::size_t>(label - 1);
    if (label < 1 || i >= daySkyMark_.size() || daySkyMark_[i].empty()) return;
    c.setFontSize(8);
    c.setFontColor(kMarkColour);
    c.textOut(x + 2, y + 1, daySkyMark_[i]);
}

std::string TFrmWnl::skyTipAt(int x, int y) {
    if (daysInMonth_ == 0 || !ChkSky || !ChkSky->isChecked() || !canvas_) return {};
    const int cw = canvas_->width() / 7, ch = canvas_->height() / 7;
    if (cw <= 0 || ch <= 0 || x < 0 || y < 0) return {};
    const int cell = (y / ch) * 7 + std::min(x / cw, 6) - 7;
    if (cell < firstColumn_ || cell >= firstColumn_ + daysInMonth_) return {};
    int day = cell - firstColumn_ + 1;
    if (selected_.year == 1582 && selected_.month == 10 && day > 4) day += 10;
    const auto i = static_cast<std::size_t>(day - 1);
    if (i >= daySky_.size() || daySky_[i].empty()) return {};
    std::string tip;
    for (const auto& l : daySky_[i]) tip += (tip.empty() ? "" : "\n") + l;
    return tip;
}
