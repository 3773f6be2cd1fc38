// TFrmWnl: the month grid drawn through the canvas, the month's solar terms and the information
// panel (title, era line with the animal year, the four pillars).
#include <QLabel>
#include <QLineEdit>
#include <QComboBox>
#include <QTextEdit>
#include <cstdio>

#include "calendar/Eras.h"
#include "calendar/ui/Untwnl.h"
#include "chart/Zhanxing.h"
#include "platform/core/Gbk.h"
#include "platform/core/Numbers.h"
#include "platform/qt/Controls.h"
#include "platform/qt/UpDown.h"

namespace {
constexpr Rgb kPaper{255, 255, 200};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kGreen{0, 128, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr int kNoTerm = -100;
constexpr std::array<const char*, 7> kWeekdays = {"一", "二", "三", "四", "五", "六", "日"};
// Indexed by sexagenary number mod 12, as the branches.
constexpr std::array<const char*, 12> kAnimals = {"猪", "鼠", "牛", "虎", "兔", "龙",
                                                  "蛇", "马", "羊", "猴", "鸡", "狗"};

int positiveMod(int a, int m) {
    const int r = a % m;
    return r < 0 ? r + m : r;
}

std::string format(const char* pattern, int a) {
    char buf[64];
    std::snprintf(buf, sizeof buf, pattern, a);
    return buf;
}

std::string pillar(int number, const char* unit) {
    return std::string(StemNames[static_cast<size_t>(positiveMod(number, 10))]) +
           BranchNames[static_cast<size_t>(positiveMod(number, 12))] + unit;
}

QString forMemo(const std::string& text) {
    QString s = qs(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}
}  // namespace

void TFrmWnl::redraw() {
    // 1. The year of the box.
    const int y = wholeNumber(EdtYear->text().toStdString(), 0);
    if (y == 0 || y < kFirstYear || y > kLastYear) {
        ui_.messageBox("年份在-4713 到 9999年之间，并且没有公元0年", "年份不对", MsgIcon::Error,
                       MsgButtons::Ok);
        return;
    }
    // 2. The date of the lists.
    DateTimeFields s;
    s.year = static_cast<int16_t>(internalYear(y));
    s.month = static_cast<int16_t>(cbom->currentIndex() + 1);
    s.day = static_cast<int16_t>(cbod->currentIndex() + 1);
    s.hour = static_cast<int16_t>(cbos->currentIndex());
    s.minute = static_cast<int16_t>(cbomin->currentIndex());
    const int n = daysInMonthOf(s);
    if (n == 0) {
        ui_.messageBox("不存在这个日期，请重新输入！", "日期不对", MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    selected_ = s;
    daysInMonth_ = n;
    UdYear->setPosition(s.year);

    // 3-4. Geometry and paper.
    Canvas& c = *canvas_;
    const int cw = c.width() / 7;
    const int ch = c.height() / 7;
    Shape1->resize(cw, ch);
    c.setFontName(gridFontName_);
    c.setBrushColor(kPaper);
    c.rectangle(0, 0, c.width(), c.height());
    c.setPenColor(kBlack);
    c.setPenStyle(PenStyle::Solid);
    c.setFontSize(13);
    c.setFontColor(kGreen);

    drawHeader(c, cw, ch);
    collectMonthTerms();
    collectMonthSky();
    memjie1->setPlainText(forMemo(termText_));
    firstColumn_ = (calendar_.weekday({s.year, s.month, 1, 0, 0}) + 6) % 7;
    drawCells(c, cw, ch);
    // A six-character leap-month text (闰十一月初一) at 8 points is as wide as its cell and
    // its text cell covers the column lines: they are drawn again over the day rows.
    for (int i = 1; i <= 6; ++i) {
        c.moveTo(i * cw, ch);
        c.lineTo(i * cw, c.height());
    }
    fillPanel();
    publishGrid();
}

// 5. The lines and the weekday header, Saturday and Sunday in red.
void TFrmWnl::drawHeader(Canvas& c, int cw, int ch) {
    const int W = c.width();
    const int H = c.height();
    const auto header = [&](int column) {
        const std::string text = std::string("星期") + kWeekdays[static_cast<size_t>(column)];
        c.textOut(column * cw + (cw - c.textWidth(text)) / 2, (ch - c.textHeight(text)) / 2, text);
    };
    for (int i = 1; i <= 6; ++i) {
        if (i == 6) c.setFontColor(kRed);
        c.moveTo(0, i * ch);
        c.lineTo(W, i * ch);
        c.moveTo(i * cw, 0);
        c.lineTo(i * cw, H);
        header(i - 1);
    }
    header(6);
}

// 6. The solar terms that fall in the selected month, into monthTerms and the term text.
void TFrmWnl::collectMonthTerms() {
    termText_.clear();
    for (MonthTerm& t : monthTerms_) {
        t = MonthTerm{};
        t.when.day = kNoTerm;
    }
    size_t slot = 0;
    const size_t count = std::min<size_t>(yearTerms_.size(), 30);
    for (size_t i = 0; i < count && slot < monthTerms_.size(); ++i) {
        const SolarTermRecord& r = yearTerms_[i];
        if (r.when.year == -5000) break;
        if (r.when.month != selected_.month) continue;
        monthTerms_[slot++] = MonthTerm{r.when, r.index};
        char line[96];
        std::snprintf(line, sizeof line, "%s:%d日%d时%d分\r\n\r\n", SolarTermNames[static_cast<size_t>(r.index)],
                      r.when.day, r.when.hour, r.when.minute);
        termText_ += line;
    }
}

// 7-8. The day cells: the day (or "n月" on the first) with a term's name in red, the lunar date
// below it.
void TFrmWnl::drawCells(Canvas& c, int cw, int ch) {
    const int W = c.width();
    const bool october1582 = selected_.year == 1582 && selected_.month == 10;
    cells_.clear();
    int x = firstColumn_ * cw;
    int y = ch;
    for (int j = 1; j <= daysInMonth_; ++j) {
        const int label = (october1582 && j > 4) ? j + 10 : j;
        std::string top = j == 1 ? format("%d月", selected_.month) : format("%d", label);
        const MonthTerm* term = nullptr;
        for (const MonthTerm& t : monthTerms_)
            if (t.when.day == label) {
                term = &t;
                break;
            }
        if (term) {
            c.setFontSize(10);
            c.setFontColor(kRed);
            top += std::string(" ") + SolarTermNames[static_cast<size_t>(term->index)];
        } else {
            c.setFontSize(14);
            c.setFontColor(kBlue);
        }
        c.textOut(x + (cw - c.textWidth(top)) / 2, y + (ch / 2 - c.textHeight(top)) / 2, top);

        c.setFontSize(9);
        const DateTimeFields day{selected_.year, selected_.month, static_cast<int16_t>(label), 0, 0};
        const bool leap = calendar_.gregorianToLunar(day, lunarOfDay_);
        std::string lunar = leap ? "闰" : "";
        lunar += lunarOfDay_.month == 1 ? std::string("正月")
                                        : calendar_.chineseNumeral(lunarOfDay_.month) + "月";
        if (lunarOfDay_.day <= 10) lunar += "初";
        lunar += calendar_.chineseNumeral(lunarOfDay_.day);
        if (gbk::byteLength(lunar) > 10) c.setFontSize(8);
        c.textOut(x + (cw - c.textWidth(lunar)) / 2, y + ch / 2 + (ch / 2 - c.textHeight(lunar)) / 2,
                  lunar);

        drawSkyMark(c, x, y, cw, ch, label);
        if (label == selected_.day) Shape1->move(Img1->x() + x, Img1->y() + y);
        cells_.push_back({top, lunar});
        x += cw;
        if (x >= W - cw) {
            x = 0;
            y += ch;
        }
    }
}

// 9. Title, era line with the animal of the year (counted from 立春), the four pillars.
void TFrmWnl::fillPanel() {
    const DateTimeFields& s = selected_;
    char title[48];
    std::snprintf(title, sizeof title, "%d年%d月", displayYear(s.year), s.month);
    labtitle->setText(qs(title));
    labtitle->adjustSize();

    const double J = calendar_.toJulianDay(s);
    const DateTimeFields spring = calendar_.solarTermMoment(s.year, 2, true);
    const int b = J < calendar_.toJulianDay(spring) ? spring.year - 1 : spring.year;
    const int yearNumber = positiveMod(b + 6897, 60);
    const std::array<int16_t, 4> pillars = calendar_.stemBranchPillars(s, J);

    const std::string xiao = eraText(b) + "  【" + kAnimals[static_cast<size_t>(yearNumber % 12)] + "年】";
    labxiao->setPlainText(qs(xiao));
    labxiao->setToolTip(qs(xiao));
    const std::string gz = pillar(yearNumber, "年\r\n") + pillar(pillars[1], "月\r\n") +
                           pillar(pillars[2], "日\r\n") + pillar(pillars[3], "时");
    memgz->setPlainText(forMemo(gz));
}

// The grid on screen, and its cells as text for screen readers.
void TFrmWnl::publishGrid() {
    QString description;
    for (std::size_t i = 0; i < cells_.size(); ++i) {
        const CellText& cell = cells_[i];
        if (!description.isEmpty()) description += QStringLiteral("；");
        description += qs(cell.top) + QLatin1Char(' ') + qs(cell.lunar);
        if (i < daySkyMark_.size() && !daySkyMark_[i].empty()) description += QLatin1Char(' ') + qs(daySkyMark_[i]);
    }
    Img1->setAccessibleDescription(description);
    Img1->update();
}
