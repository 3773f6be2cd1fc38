// TFrmWnl: showing a date, the year's terms and the events of the controls.
#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

#include "calendar/ui/Untwnl.h"
#include "platform/core/Numbers.h"
#include "platform/qt/UpDown.h"

void TFrmWnl::setYear(int shown) {
    EdtYear->setText(QString::number(shown));
    UdYear->setPosition(internalYear(shown));
}

void TFrmWnl::setIndex(QComboBox* list, int index) {
    settingControls_ = true;
    list->setCurrentIndex(index);
    settingControls_ = false;
}

// ---------------------------------------------------------------------------------------------
// Interfaces

int TFrmWnl::daysInMonthOf(const DateTimeFields& d) { return calendar_.daysInMonth(d); }

void TFrmWnl::showDate(const DateTimeFields& d) {
    buildLists();
    DateTimeFields shown = d;
    DateTimeFields asDate = d;
    asDate.year = static_cast<int16_t>(internalYear(d.year));
    if (daysInMonthOf(asDate) == 0) shown.day = 15;
    setYear(shown.year);
    setIndex(cbom, std::clamp<int>(shown.month, 1, 12) - 1);
    setIndex(cbod, std::clamp<int>(shown.day, 1, 31) - 1);
    setIndex(cbos, std::clamp<int>(shown.hour, 0, 23));
    setIndex(cbomin, std::clamp<int>(shown.minute, 0, 59));
    gridFontName_ = "宋体";
    reloadTerms();
    redraw();
}

void TFrmWnl::reloadTerms() {
    const int year = internalYear(wholeNumber(EdtYear->text().toStdString(), 1900));
    // A year the window cannot show has no terms to look up.
    if (year < internalYear(kFirstYear) || year > kLastYear) {
        yearTerms_.clear();
        return;
    }
    yearTerms_ = calendar_.yearSolarTerms(year);
}

// ---------------------------------------------------------------------------------------------
// Events

void TFrmWnl::cboChange() { redraw(); }

void TFrmWnl::UdYearClick() {
    // One year on from what the box shows (-1 and 1 are neighbours), within the calendar.
    if (!checkYearBox()) return;
    const int shown = wholeNumber(EdtYear->text().toStdString(), 1900);
    const int year = std::clamp(internalYear(shown) + UdYear->lastArrow(), internalYear(kFirstYear), kLastYear);
    setYear(displayYear(year));
    reloadTerms();
    redraw();
}

bool TFrmWnl::checkYearBox() {
    constexpr int notANumber = -1000000;
    const int y = wholeNumber(EdtYear->text().toStdString(), notANumber);
    if (y != 0 && y >= kFirstYear && y <= kLastYear) return true;
    // The years run ... -2, -1, 1, 2 ...: 0 is in the range but is no year of the calendar.
    ui_.messageBox(y == 0 ? "没有公元0年：公元前1年（-1）之后就是公元1年" : "年份在-4713 到 9999之间",
                   "错误", MsgIcon::Error, MsgButtons::Ok);
    EdtYear->setFocus();
    return false;
}

void TFrmWnl::EdtYearEnter() {
    if (!checkYearBox()) return;
    reloadTerms();
    redraw();
}

void TFrmWnl::BitBtn2Click() {
    int y = wholeNumber(EdtYear->text().toStdString(), 1900);
    int k = cbom->currentIndex();
    if (y == kFirstYear && k == 0) return;
    if (k == 0) {
        y = (y == 1) ? -1 : y - 1;
        setYear(y);
        reloadTerms();
        k = 12;
    }
    setIndex(cbom, k - 1);
    setIndex(cbod, 0);
    redraw();
}

void TFrmWnl::BitBtn1Click() {
    int y = wholeNumber(EdtYear->text().toStdString(), 1900);
    const int k = cbom->currentIndex();
    if (y == kLastYear && k == 11) return;
    if (k == 11) {
        y = (y == -1) ? 1 : y + 1;
        setYear(y);
        reloadTerms();
        setIndex(cbom, 0);
    } else {
        setIndex(cbom, k + 1);
    }
    setIndex(cbod, 0);
    redraw();
}

void TFrmWnl::sbtnnowClick() {
    const LocalMinute now = ui_.clock().now();
    if (now.year < kFirstYear || now.year > kLastYear) return;
    setYear(now.year);
    setIndex(cbom, now.month - 1);
    setIndex(cbod, now.day - 1);
    setIndex(cbos, now.hour);
    setIndex(cbomin, now.minute);
    reloadTerms();
    redraw();
}

void TFrmWnl::Img1MouseDown(Qt::MouseButton button, int x, int y) {
    if (button != Qt::LeftButton || daysInMonth_ == 0) return;
    const int cw = canvas_->width() / 7;
    const int ch = canvas_->height() / 7;
    if (x < 0 || y < 0) return;
    // The image is two pixels wider than seven cells: those columns belong to the last cell.
    const int column = std::min(x / cw, 6);
    const int cell = (y / ch) * 7 + column - 7;
    if (cell < firstColumn_ || cell >= firstColumn_ + daysInMonth_) return;
    int index = cell - firstColumn_;
    if (selected_.year == 1582 && selected_.month == 10 && index > 3) index += 10;
    setIndex(cbod, index);
    redraw();
}

void TFrmWnl::BtnPaiClick() {
    // The year box is read as the calendar reads it ("+2000" and "02000" are 2000), and a year
    // it refuses stays here with its message: the panel gets a number, never a cut text.
    if (!checkYearBox()) return;
    hide();
    PanelMoment m;
    m.year = wholeNumber(EdtYear->text().toStdString(), 0);
    m.month = cbom->currentIndex() + 1;
    m.day = cbod->currentIndex() + 1;
    m.hour = cbos->currentIndex();
    m.minute = cbomin->currentIndex();
    natal_.setMoment(m);
    natal_.runNatalCommand();
}
