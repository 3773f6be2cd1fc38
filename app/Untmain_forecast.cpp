// 行运与天象: the entry of the menu "盘型" opens the window for the natal chart on screen (the sky
// alone when none is cast), the case tree's entry for a saved case. A row double-clicked there
// casts that person's natal chart with the transit at the row's instant.
#include <QImage>

#include "app/InputPanel.h"
#include "app/Untmain.h"
#include "astro/Eph0.h"
#include "chart/WordLists.h"
#include "dialogs/Untforecast.h"
#include "forecast/Transits.h"
#include "platform/core/PlainTextTarget.h"
#include "platform/qt/QImageCanvas.h"

namespace {
ForecastSubject subjectOf(const MZhanXingEx& engine, const BirthRecord& r) {
    ForecastSubject s;
    s.name = r.name;
    s.natal = forecast::natalPointsOf(engine);
    s.orbs = engine.aspectOrbs();
    s.zoneIndex = r.zoneIndex;
    s.zoneId = r.zoneId;
    s.longitude = r.longitude;
    s.asteroids = forecast::shownAsteroids(engine);
    return s;
}
}  // namespace

void TFrmMain::mnuP_forecastClick() {
    ForecastSubject subject;
    if (natalCast_ && engine_) subject = subjectOf(*engine_, birth_);
    const BirthRecord natal = birth_;
    const bool haveChart = natalCast_ && engine_;
    if (forecast_) forecast_->close();
    auto* w = new TFrmForecast(subject, ui_, haveChart ? std::function<void(double)>([this, natal](double jd) {
                                   castTransitAt(natal, jd);
                               })
                                                       : std::function<void(double)>(),
                               this);
    w->setAttribute(Qt::WA_DeleteOnClose);
    forecast_ = w;
    w->show();
}

void TFrmMain::showForecast(const CaseRecord& c) {
    BirthRecord r = panelRequestFromCase(c);
    r.zoneId = panel_->zoneOfCase(c);  // the clock the case's place follows
    // The case's chart is cast on a canvas of its own: the chart on screen stays.
    QImage image(800, 700, QImage::Format_RGB32);
    QImageCanvas canvas(image);
    PlainTextTarget text;
    MZhanXingEx engine(text, canvas, programFolder_);
    if (!engine.castNatal(r)) {
        ui_.messageBox(engine.errorText(), "错误", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    if (forecast_) forecast_->close();
    auto* w = new TFrmForecast(subjectOf(engine, r), ui_, [this, r](double jd) { castTransitAt(r, jd); }, this);
    w->setAttribute(Qt::WA_DeleteOnClose);
    forecast_ = w;
    w->show();
}

void TFrmMain::castTransitAt(const BirthRecord& natal, double jdUT) {
    std::string error;
    if (!castCase(natal, error)) {
        ui_.messageBox(error, "错误", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    // The transit in the clock of the chart's zone list entry, to the minute.
    const DateTimeFields f = fieldsFromJulianDay(jdUT + zoneOffset(natal.zoneIndex) / 24.0 + 0.5 / 1440);
    transit_.when = f;
    transit_.zoneIndex = natal.zoneIndex;
    showTransit();
}
