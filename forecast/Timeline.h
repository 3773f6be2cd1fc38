// The timeline of a period's transits: one row per transit (transiting body, aspect, natal
// point), a bar from entering to leaving orb and a mark at each exact hit, under a scale of the
// months. Drawn on any Canvas, so the window, the pictures and the printer share it.
#pragma once
#include <string>
#include <vector>

#include "forecast/EventText.h"
#include "platform/core/Canvas.h"

namespace forecast {

struct TimelineRow {
    std::string label;             // "土星 四分 太阳"
    int body = 0;
    std::vector<double> hits;      // UT of the exact hits
    double enters = 0, leaves = 0; // the orb period (UT), clipped to the period when drawn
};

// The rows of a list of hits (in the order of their first hit).
std::vector<TimelineRow> timelineRows(const std::vector<TransitHit>& hits, const std::vector<NatalPoint>& natal);

struct TimelineLayout {
    static constexpr int kLabelWidth = 150;
    static constexpr int kRowHeight = 18;
    static constexpr int kScaleHeight = 24;
    int width = 900;
    int height(std::size_t rows) const { return kScaleHeight + static_cast<int>(rows) * kRowHeight + 4; }
};

// The colour of a body's bars.
Rgb bodyColour(int body);

// Draws the rows over [t1, t2] (UT) on a canvas of layout.width x layout.height(rows.size());
// the month marks in the clock given.
void drawTimeline(Canvas& c, const std::vector<TimelineRow>& rows, double t1, double t2, const ClockOffset& clock,
                  const TimelineLayout& layout = {});
// The row at canvas y (-1 for the scale or below the rows) and the instant at canvas x.
int timelineRowAt(int y, std::size_t rows);
double timelineTimeAt(int x, double t1, double t2, const TimelineLayout& layout = {});

}  // namespace forecast
