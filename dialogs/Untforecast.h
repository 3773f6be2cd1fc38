// TFrmForecast "行运与天象": the exact transits to a chart and the sky's events over a period, as
// a list in time order (filtered by body and kind, sorted by any column) and a timeline of the
// transits (a bar from entering to leaving orb, a mark at each exact hit). Double-clicking a row
// casts the transit overlay at its instant. Searches run beside the window with a progress bar
// and a cancel button. Exports: CSV, iCalendar, PDF and printing, PNG and SVG of the timeline.
#pragma once
#include <QDialog>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "forecast/SkyEvents.h"
#include "forecast/Timeline.h"
#include "forecast/Transits.h"
#include "platform/core/CanvasRecorder.h"
#include "platform/core/UiServices.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;
class ForecastTimelineView;
class QImage;
class QImageCanvas;

// The chart the transits are found for.
struct ForecastSubject {
    std::string name;                           // empty: no chart, the sky alone
    std::vector<forecast::NatalPoint> natal;
    AspectOrbs orbs = AspectOrbs::uniform(5);
    int zoneIndex = 8;                          // the chart's zone list entry
    // The chart's IANA zone ("" for none: the zone list's hour) and its place's longitude (local
    // mean time before the zone's first standard offset): the lists read its clock, summer time
    // included, as the zone list's last entry.
    std::string zoneId;
    double longitude = 0;
    std::array<bool, 5> asteroids{};            // Chiron ... Vesta the chart shows
};

class TFrmForecast : public QDialog {
    Q_OBJECT
public:
    // `castAt` casts the transit overlay at a UT instant (may be empty).
    TFrmForecast(ForecastSubject subject, UiServices& ui, std::function<void(double)> castAt,
                 QWidget* parent = nullptr);
    ~TFrmForecast() override;

    void BtnFindClick();
    void BtnCancelClick();
    void applyFilter();
    void rowDoubleClicked(int row);
    void BtnCsvClick();
    void BtnIcsClick();
    void BtnPdfClick();
    void BtnPrintClick();
    void BtnPngClick();
    void BtnSvgClick();
    // The search running beside the window has finished (or was cancelled).
    bool searching() const { return worker_.joinable(); }
    // Waits for a running search (tests).
    void waitForSearch();

    QLineEdit* EdtFrom = nullptr;
    QLineEdit* EdtTo = nullptr;
    QComboBox* CboZone = nullptr;
    QCheckBox* ChkTransit = nullptr;
    QCheckBox* ChkMoon = nullptr;
    QCheckBox* ChkNode = nullptr;
    QCheckBox* ChkIngress = nullptr;
    QCheckBox* ChkStation = nullptr;
    QCheckBox* ChkLunation = nullptr;
    QCheckBox* ChkEclipse = nullptr;
    QCheckBox* ChkTerm = nullptr;
    QCheckBox* ChkVoid = nullptr;
    QPushButton* BtnFind = nullptr;
    QPushButton* BtnCancel = nullptr;
    QProgressBar* Progress = nullptr;
    QComboBox* CboBody = nullptr;
    QComboBox* CboKind = nullptr;
    QTableWidget* LstEvents = nullptr;
    ForecastTimelineView* Timeline = nullptr;
    QPushButton* BtnCsv = nullptr;
    QPushButton* BtnIcs = nullptr;
    QPushButton* BtnPdf = nullptr;
    QPushButton* BtnPrint = nullptr;
    QPushButton* BtnPng = nullptr;
    QPushButton* BtnSvg = nullptr;

    const std::vector<forecast::TransitHit>& hits() const { return hits_; }
    const std::vector<forecast::SkyEvent>& events() const { return events_; }

private:
    void build();
    void buildExports(class QBoxLayout* row);
    void poll();
    void showResults();
    forecast::ClockOffset clock() const;
    // The timeline and the list drawn for a picture or the printer.
    void drawTimeline(CanvasRecorder*& out, int& w, int& h, bool withList);
    std::string exportPath(const char* title, const char* filter, const char* extension);

    ForecastSubject subject_;
    UiServices& ui_;
    std::function<void(double)> castAt_;
    std::vector<forecast::TransitHit> hits_;
    std::vector<forecast::SkyEvent> events_;
    std::vector<forecast::TimelineRow> rows_;
    double t1_ = 0, t2_ = 0;
    bool orbTimes_ = true;

    // The search beside the window.
    std::thread worker_;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> done_{false};
    std::atomic<int> permille_{0};
    std::vector<forecast::TransitHit> foundHits_;
    std::vector<forecast::SkyEvent> foundEvents_;
    QTimer* timer_ = nullptr;
    long long startedMs_ = 0;
    // The last drawing made for a picture or the printer, with the image it was first drawn on.
    std::unique_ptr<QImage> exportImage_;
    std::unique_ptr<QImageCanvas> exportCanvas_;
    std::unique_ptr<CanvasRecorder> exportDrawing_;
};
