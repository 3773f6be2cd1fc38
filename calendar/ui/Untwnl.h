// TFrmWnl: the perpetual calendar (万年历). One Gregorian month as a grid of days with their
// lunar dates, the month's solar terms, the era names and animal of the year and the four
// pillars of the selected instant, for the years -4713 ... 9999 (shown without a year 0;
// astronomical inside). "本命盘" hands the selected instant to the main window's input panel and
// casts. The calendar object is the program's and comes in by reference, as do the user-interface
// services and the panel.
//
// Untwnl.cpp builds the window, Untwnl_events.cpp handles its events, Untwnl_draw.cpp draws the
// month grid through the abstract canvas and fills the information panel.
#pragma once
#include <QImage>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "astro/DateTypes.h"
#include "calendar/Yidateex.h"
#include "dialogs/NatalInput.h"
#include "forecast/Transits.h"
#include "platform/core/Canvas.h"
#include "platform/core/ScriptCanvas.h"
#include "platform/core/UiServices.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;
class QToolButton;
class TUpDown;
class QImageCanvas;

// The month grid: shows the image the window draws and reports left clicks in image pixels.
class TWnlImage : public QWidget {
    Q_OBJECT
public:
    TWnlImage(const QImage& image, QWidget* parent);
signals:
    void mouseDown(Qt::MouseButton button, int x, int y);

public:
    // The tooltip at image pixel (x, y); empty for none.
    std::function<std::string(int, int)> tipAt;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    const QImage& image_;
};

// The frame on the selected day: a green fill and a dashed green outline, both masking the grid
// beneath (the day stays readable), over the grid and letting clicks through.
class TWnlShape : public QWidget {
public:
    explicit TWnlShape(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* e) override;
};

class TFrmWnl : public QWidget {
    Q_OBJECT
public:
    // All three must outlive the window.
    TFrmWnl(UiServices& ui, MYiDateEx& calendar, NatalInput& natal, QWidget* parent = nullptr);
    ~TFrmWnl() override;

    // Shows the moment d (year in the historical numbering of the year box, no year 0): fills the
    // lists, an impossible day becomes 15, reloads the year's terms and redraws.
    void showDate(const DateTimeFields& d);
    // The display year of the year box (0 when it is not a number) turned into the astronomical
    // year's solar terms.
    void reloadTerms();
    // Checks the year box and the date of the lists, then draws the month and fills the panel.
    void redraw();

    // Event handlers.
    void cboChange();  // cbom, cbod, cbos, cbomin
    void UdYearClick();
    void EdtYearEnter();
    // The year box holds a year of the calendar (-4713 ... 9999, no year 0); otherwise its
    // message, the focus on the box, and false.
    bool checkYearBox();
    void BitBtn2Click();  // previous month
    void BitBtn1Click();  // next month
    void sbtnnowClick();
    void Img1MouseDown(Qt::MouseButton button, int x, int y);
    void BtnPaiClick();

    // The year box shows years without a year 0 (-1 is 1 BC); inside, years are astronomical.
    static constexpr int kFirstYear = -4713;
    static constexpr int kLastYear = 9999;
    static int internalYear(int displayYear) { return displayYear < 0 ? displayYear + 1 : displayYear; }
    static int displayYear(int internal) { return internal <= 0 ? internal - 1 : internal; }

    // Days of the month of d, 0 when d is not a date (the ten days dropped in October 1582, a day
    // past the month's end). October 1582 has 21.
    int daysInMonthOf(const DateTimeFields& d);

    // State after the last successful redraw.
    const DateTimeFields& selected() const { return selected_; }
    int daysInMonth() const { return daysInMonth_; }
    int firstColumn() const { return firstColumn_; }
    // The month's term text as it goes into memjie1 (lines end in "\r\n").
    const std::string& termText() const { return termText_; }
    // One entry per day cell: its top text and its lunar text, as drawn.
    struct CellText {
        std::string top;
        std::string lunar;
    };
    const std::vector<CellText>& cells() const { return cells_; }

    // Drawing goes to this canvas instead of the window's image (tests); nullptr restores it.
    void setGridCanvas(Canvas* canvas);
    // The grid's texts are drawn in the converter's script (as written with none); a shown
    // window draws again at once.
    void setScript(ScriptConverter* script);
    const QImage& gridImage() const { return image_; }

    // Controls, by their design names (owned by the window).
    QTextEdit* labxiao = nullptr;
    QLabel* labtitle = nullptr;
    QToolButton* BitBtn2 = nullptr;  // previous month
    QToolButton* BitBtn1 = nullptr;  // next month
    QToolButton* sbtnnow = nullptr;
    QLineEdit* EdtYear = nullptr;
    TUpDown* UdYear = nullptr;
    QComboBox* cbom = nullptr;
    QComboBox* cbod = nullptr;
    QComboBox* cbos = nullptr;
    QComboBox* cbomin = nullptr;
    QTextEdit* memjie1 = nullptr;
    QTextEdit* memgz = nullptr;
    TWnlImage* Img1 = nullptr;  // the month grid
    TWnlShape* Shape1 = nullptr;  // the green frame on the selected day
    QPushButton* BtnPai = nullptr;

    // 天象 (Untwnl_sky.cpp): with ChkSky on, each day cell carries a short mark of the sky's
    // events of that day (UTC+8: ingresses, stations, new and full moons, eclipses) and the grid's
    // tooltip lists them in full.
    QCheckBox* ChkSky = nullptr;
    // With ChkTransit on as well, the transits of the chart set here (Sun ... Pluto to its
    // points, at their exact minutes); the box is enabled once a chart is set.
    QCheckBox* ChkTransit = nullptr;
    void setTransitChart(std::vector<forecast::NatalPoint> natal, const AspectOrbs& orbs);
    // The events of each day of the month shown (index day - 1), as lines "HH:MM 新月 ...".
    const std::vector<std::vector<std::string>>& daySky() const { return daySky_; }
    std::string skyTipAt(int x, int y);

protected:
    void showEvent(QShowEvent* e) override;
    // Escape closes the window, as it closes the program's dialogs.
    void keyPressEvent(QKeyEvent* e) override;

private:
    void build();
    void buildLists();
    void connectEvents();
    // The year box and the arrows at a display year (the arrows hold the astronomical year).
    void setYear(int shown);
    // Sets a list without running its change handler.
    void setIndex(QComboBox* list, int index);
    // Drawing (Untwnl_draw.cpp).
    void drawHeader(Canvas& c, int cw, int ch);
    void collectMonthTerms();
    void drawCells(Canvas& c, int cw, int ch);
    void fillPanel();
    void publishGrid();
    void buildSky();
    void collectMonthSky();
    void drawSkyMark(Canvas& c, int x, int y, int cw, int ch, int label);
    std::shared_ptr<void> skyEphemeris_;  // forecast::Ephemeris, kept between months
    std::vector<std::vector<std::string>> daySky_;
    std::vector<std::string> daySkyMark_;
    std::vector<forecast::NatalPoint> transitNatal_;
    AspectOrbs transitOrbs_ = AspectOrbs::uniform(5);

    UiServices& ui_;
    MYiDateEx& calendar_;
    NatalInput& natal_;

    QImage image_;
    std::unique_ptr<QImageCanvas> imageCanvas_;
    Canvas* canvas_ = nullptr;  // where the grid is drawn
    std::unique_ptr<ScriptCanvas> scriptCanvas_;  // over the image, in the interface's script
    std::string gridFontName_ = "宋体";

    DateTimeFields selected_{};
    DateTimeFields lunarOfDay_{};
    int daysInMonth_ = 0;
    int firstColumn_ = 0;
    struct MonthTerm {
        DateTimeFields when{};
        int index = 0;
    };
    std::array<MonthTerm, 3> monthTerms_{};
    std::vector<SolarTermRecord> yearTerms_;
    std::string termText_;
    std::vector<CellText> cells_;
    bool settingControls_ = false;
    bool centred_ = false;
};
