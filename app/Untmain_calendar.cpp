// The perpetual calendar window: created on first use, forgotten when it is closed, and shown
// without blocking the main window at the date and time of the input panel.
#include <QComboBox>

#include "app/InputPanel.h"
#include "app/Untmain.h"
#include "calendar/ui/Untwnl.h"
#include "forecast/Transits.h"
#include "platform/qt/UpDown.h"

TFrmWnl* TFrmMain::calendarWindow() const { return wnl_.data(); }

void TFrmMain::mnuT_wnlClick() {
    if (!wnl_) {
        // A child window of the main window: it stays above it and goes with it.
        wnl_ = new TFrmWnl(ui_, wnlCalendar_, *this, this);
        wnl_->setAttribute(Qt::WA_DeleteOnClose);
        wnl_->setScript(script_.get());
    }
    // The year of the panel's arrows, which hold the last accepted year, not the year field's
    // text.
    DateTimeFields d;
    d.year = static_cast<int16_t>(panel_->UpDyear->position());
    d.month = static_cast<int16_t>(panel_->cbom->currentIndex() + 1);
    d.day = static_cast<int16_t>(panel_->cbod->currentIndex() + 1);
    d.hour = static_cast<int16_t>(panel_->cbos->currentIndex());
    d.minute = static_cast<int16_t>(panel_->cbomin->currentIndex());
    // 行运 in the day cells: the transits of the natal chart on screen.
    if (natalCast_ && engine_) wnl_->setTransitChart(forecast::natalPointsOf(*engine_), engine_->aspectOrbs());
    wnl_->showDate(d);
    wnl_->show();
    wnl_->raise();
    wnl_->activateWindow();
}
