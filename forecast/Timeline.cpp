#include "forecast/Timeline.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "astro/Eph0.h"
#include "chart/XiangweiList.h"

namespace forecast {

std::vector<TimelineRow> timelineRows(const std::vector<TransitHit>& hits, const std::vector<NatalPoint>& natal) {
    std::vector<TimelineRow> rows;
    std::map<std::tuple<int, int, int>, std::size_t> index;
    for (const TransitHit& h : hits) {
        const auto key = std::make_tuple(h.body, h.kind, h.natal);
        auto it = index.find(key);
        if (it == index.end()) {
            TimelineRow r;
            r.label = std::string(bodyName(h.body)) + " " + aspectKindName(h.kind) + " " +
                      natal[static_cast<std::size_t>(h.natal)].name;
            r.body = h.body;
            r.enters = std::isnan(h.enters) ? h.jd : h.enters;
            r.leaves = std::isnan(h.leaves) ? h.jd : h.leaves;
            it = index.emplace(key, rows.size()).first;
            rows.push_back(r);
        }
        TimelineRow& r = rows[it->second];
        r.hits.push_back(h.jd);
        if (!std::isnan(h.enters)) r.enters = std::min(r.enters, h.enters);
        if (!std::isnan(h.leaves)) r.leaves = std::max(r.leaves, h.leaves);
    }
    return rows;
}

Rgb bodyColour(int body) {
    static const Rgb colours[] = {
        {220, 120, 0}, {90, 90, 160}, {0, 140, 140}, {0, 150, 60}, {210, 0, 0}, {150, 90, 0},
        {90, 70, 50},  {0, 110, 200}, {60, 60, 200}, {110, 0, 110}, {100, 100, 100},
        {120, 60, 30}, {150, 120, 0}, {0, 120, 100}, {170, 60, 120}, {200, 70, 40}};
    static_assert(sizeof colours / sizeof colours[0] == kBodyCount, "a colour for each body");
    return body >= 0 && body < kBodyCount ? colours[body] : Rgb{0, 0, 0};
}

int timelineRowAt(int y, std::size_t rows) {
    const int r = (y - TimelineLayout::kScaleHeight) / TimelineLayout::kRowHeight;
    if (y < TimelineLayout::kScaleHeight || r < 0 || static_cast<std::size_t>(r) >= rows) return -1;
    return r;
}

double timelineTimeAt(int x, double t1, double t2, const TimelineLayout& layout) {
    const int w = layout.width - TimelineLayout::kLabelWidth - 8;
    return t1 + (t2 - t1) * (x - TimelineLayout::kLabelWidth) / std::max(1, w);
}

void drawTimeline(Canvas& c, const std::vector<TimelineRow>& rows, double t1, double t2, const ClockOffset& clock,
                  const TimelineLayout& layout) {
    const Rgb white{255, 255, 255}, grey{200, 200, 200}, black{0, 0, 0};
    const int W = layout.width, H = layout.height(rows.size());
    const int x0 = TimelineLayout::kLabelWidth, x1 = W - 8;
    auto xOf = [&](double t) {
        return x0 + static_cast<int>(std::lround((std::clamp(t, t1, t2) - t1) / (t2 - t1) * (x1 - x0)));
    };
    c.setFontName("宋体");
    c.setFontSize(9);
    c.setBrushColor(white);
    c.setPenColor(white);
    c.rectangle(0, 0, W, H);
    // Month marks in the clock of the list (every month up to three years, else every year).
    const bool yearly = t2 - t1 > 3 * 366;
    const CivilDateTime first = civilFromJulianDay(t1 + clock(t1) / 86400.0);
    int y = first.year, m = first.month;
    c.setFontColor(black);
    for (int guard = 0; guard < 2000; ++guard) {
        const double local = julianDay(y, m, 1.0);  // 0h of the first
        const double t = local - clock(local) / 86400.0;
        if (t > t2) break;
        if (t >= t1) {
            const int x = xOf(t);
            c.setPenColor(grey);
            c.moveTo(x, TimelineLayout::kScaleHeight - 4);
            c.lineTo(x, H);
            if (!yearly || m == 1) {
                c.setBrushColor(white);
                c.textOut(x + 2, 4, yearly || m == 1 ? std::to_string(y) + (yearly ? "" : "年") : std::to_string(m) + "月");
            }
        }
        if (yearly) {
            ++y;
            m = 1;
        } else if (++m > 12) {
            m = 1;
            ++y;
        }
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TimelineRow& r = rows[i];
        const int top = TimelineLayout::kScaleHeight + static_cast<int>(i) * TimelineLayout::kRowHeight;
        c.setBrushColor(white);
        c.setFontColor(black);
        c.textOut(4, top + 2, r.label);
        const Rgb colour = bodyColour(r.body);
        c.setBrushColor(colour);
        c.setPenColor(colour);
        c.rectangle(xOf(r.enters), top + 6, std::max(xOf(r.leaves), xOf(r.enters) + 2), top + TimelineLayout::kRowHeight - 5);
        c.setBrushColor(black);
        c.setPenColor(black);
        for (double h : r.hits) {
            const int x = xOf(h);
            c.rectangle(x - 1, top + 2, x + 2, top + TimelineLayout::kRowHeight - 1);
        }
    }
}

}  // namespace forecast
