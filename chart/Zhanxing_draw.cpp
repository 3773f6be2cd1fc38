// Chart wheel: background and rings, zodiac ring with the sign symbols, the axes, the body labels
// and the house cusps; and the hint text of a point of the image.
//
// Screen angles are degrees, 0 to the right, counter-clockwise; the screen angle of an ecliptic
// longitude is lambda - ASC + 180, so the ascendant lies on the left. Radii are fractions of
// the image width; pixel coordinates are truncated toward zero.
#include <cmath>
#include <cstdio>

#include "chart/Catalogue.h"
#include "chart/Zhanxing.h"

namespace {
constexpr double kDegToRad = static_cast<double>(0.017453292f);
constexpr double kRadToDeg = static_cast<double>(57.29578f);
const Rgb kBlack{0, 0, 0};
const Rgb kRed{255, 0, 0};
const Rgb kBlue{0, 0, 255};

// The font of SignGlyphs.
constexpr const char* kSymbolFont = "Wingdings";

struct Point {
    int x;
    int y;
};

Point polar(int cx, int cy, double theta, int r) {
    const double t = theta * kDegToRad;
    return {static_cast<int>(cx + r * std::cos(t)), static_cast<int>(cy - r * std::sin(t))};
}

}  // namespace

void MZhanXingEx::drawRings() {
    Canvas& c = image_;
    const Rgb bg = Rgb::fromBgr(backgroundColor_);
    c.setBrushColor(bg);
    c.setPenColor(kBlack);
    c.setPenStyle(PenStyle::Solid);
    c.rectangle(0, 0, width_, height_);
    c.setFontName("宋体");
    c.setFontSize(baseFontSize_);
    cellWidth_ = c.textWidth("国");
    cellHeight_ = c.textHeight("国");
    auto circle = [&](double fraction) {
        const int r = px(fraction);
        c.ellipse(cx_ - r, cy_ - r, cx_ + r, cy_ + r);
    };
    circle(0.32);
    circle(0.28);
    circle(0.28);
    circle(0.24);
    if (mode_ == ChartMode::Transit) {
        // Single-precision radius times the width, as the other transit radii.
        const int r = static_cast<int>(transitRadius_ * static_cast<float>(width_));
        c.ellipse(cx_ - r, cy_ - r, cx_ + r, cy_ + r);
    }
    circle(0.04);
}

void MZhanXingEx::drawZodiac() {
    Canvas& c = image_;
    const double asc = natal_.asc.longitude;
    c.setFontName(kSymbolFont);
    c.setFontSize(baseFontSize_);
    c.setFontColor(kBlack);
    int w = c.textWidth("a");
    int h = c.textHeight("a");
    const int i0 = (natal_.asc.sign + 6) % 12;
    const double theta0 = 30.0 * i0 - asc + 180;
    const int r28 = px(0.28);
    const int r32 = px(0.32);
    const int rSymbol = static_cast<int>(width_ * (0.28 + (0.32 - 0.28) / 2));
    for (int j = 0; j < 12; ++j) {
        const int s = (i0 + j) % 12;
        const double theta = theta0 + 30.0 * j;
        const Point outer = polar(cx_, cy_, theta, r32);
        if (signLines_) {
            c.setPenStyle(PenStyle::Dotted);
            c.moveTo(cx_, cy_);
        } else {
            c.setPenStyle(PenStyle::Solid);
            const Point inner = polar(cx_, cy_, theta, r28);
            c.moveTo(inner.x, inner.y);
        }
        c.lineTo(outer.x, outer.y);
        c.setPenStyle(PenStyle::Solid);
        const Point m = polar(cx_, cy_, theta + 15, rSymbol);
        c.textOut(m.x - w / 2, m.y - h / 2, SignGlyphs[s]);
    }
    // The Sun's sign in the centre.
    c.setFontColor(kRed);
    c.setFontSize(baseFontSize_ + 8);
    w = c.textWidth("a");
    h = c.textHeight("a");
    c.textOut(cx_ - w / 2, cy_ - h / 2, SignGlyphs[natal_.bodies[0].sign % 12]);
    // Ascendant-descendant and MC-IC axes.
    c.setPenColor(kRed);
    const int r = px(0.29);
    auto line = [&](double a, double b) {
        const Point p = polar(cx_, cy_, a, r);
        const Point q = polar(cx_, cy_, b, r);
        c.moveTo(p.x, p.y);
        c.lineTo(q.x, q.y);
    };
    for (const double lambda : {asc, natal_.mc.longitude}) {
        const double theta = lambda - asc + 180;
        line(theta, theta + 180);
        line(theta, theta - 3);
        line(theta, theta + 3);
        line(theta + 177, theta + 183);
    }
    drawStarMarks();
}

void MZhanXingEx::layoutLabels(bool transit) {
    LabelLayout& layout = transit ? transitLabels_ : natalLabels_;
    layout = LabelLayout{};
    layout.fontSize = transit ? baseFontSize_ - 1 : baseFontSize_ + 2;
    image_.setFontName("宋体");
    image_.setFontSize(layout.fontSize);
    layout.cellWidth = image_.textWidth("国");
    layout.cellHeight = image_.textHeight("国");
    image_.setFontSize(baseFontSize_);

    const auto& bodies = transit ? transitBodies_ : natal_.bodies;
    std::array<double, 12> lon{};
    for (int i = 0; i < 12; ++i) lon[i] = bodies[i].longitude;
    LabelGeometry g;
    g.cx = cx_;
    g.cy = cy_;
    if (transit) {
        g.leaderRadius = transitRadius_ * static_cast<float>(width_);
        g.anchorRadius = width_ * (0.16 - (0.16 - 0.04) * 0.2);
        g.slotsPerSign = 3;
    } else {
        g.leaderRadius = width_ * 0.24;
        g.anchorRadius = width_ * (0.24 - (0.24 - 0.04) * 0.15);
        g.slotsPerSign = 4;
    }
    placeLabels(layout, lon, natal_.asc.longitude, g);
    if (!transit && anyExtraShown()) layoutWithExtras(layout, lon, g);
    if (transit && transitAsteroidsShown_) layoutTransitAsteroids(layout, lon, g);
}

void MZhanXingEx::drawBodyLabels() {
    drawLabels(image_, natalLabels_, baseFontSize_);
    if (anyExtraShown()) drawExtraLabels(natalLabels_);
}

void MZhanXingEx::drawCusps() {
    Canvas& c = image_;
    c.setFontColor(kBlack);
    c.setPenColor(kBlack);
    const double asc = natal_.asc.longitude;
    const int r24 = px(0.24);
    const int r28 = px(0.28);
    const int rNumber = static_cast<int>(width_ * (0.24 + (0.28 - 0.24) / 2));
    for (int i = 0; i < 12; ++i) {
        const double cusp = natal_.cusps[i];
        const double theta = cusp - asc + 180;
        const Point a = polar(cx_, cy_, theta, r24);
        const Point b = polar(cx_, cy_, theta, r28);
        c.moveTo(a.x, a.y);
        c.lineTo(b.x, b.y);
        double m = natal_.cusps[(i + 1) % 12] - cusp;
        while (m < 0) m += 360;
        while (m >= 360) m -= 360;
        const Point n = polar(cx_, cy_, cusp + m / 2 - asc + 180, rNumber);
        char text[8];
        std::snprintf(text, sizeof text, "%d", i + 1);
        c.textOut(n.x - cellWidth_ / 2, n.y - cellHeight_ / 2, text);
    }
}

std::string MZhanXingEx::hintAt(int x, int y) const {
    if (mode_ == ChartMode::None) return " ";
    const double dx = x - cx_;
    const double dy = y - cy_;
    const double d = std::sqrt(dx * dx + dy * dy);
    const double W = width_;
    auto longitudeAt = [&]() {
        const double s = std::asin((cy_ - y) / d) * kRadToDeg;
        double a;
        if (x < cx_) a = 180 - s;
        else a = s >= 0 ? s : s + 360;
        return std::fmod(natal_.asc.longitude - 180 + 720 + a, 360.0);
    };
    if (d <= 0.04 * W) {
        const int s = natal_.bodies[0].sign % 12;
        return std::string("◎生于") + SignNames[s] + "座,主宰行星:" + BodyNames[SignRulers[s]];
    }
    if (d > 0.28 * W && d <= 0.32 * W) {
        int s = static_cast<int>(longitudeAt() / 30);
        if (s < 0 || s > 11) s = 0;
        return std::string(SignNames[s]) + "座,主宰行星:" + BodyNames[SignRulers[s]];
    }
    if (d > 0.24 * W && d <= 0.28 * W) {
        const double lambda = longitudeAt();
        for (int i = 0; i < 12; ++i) {
            double b = lambda - natal_.cusps[i];
            if (b < 0) b += 360;
            double w = natal_.cusps[(i + 1) % 12] - natal_.cusps[i];
            if (w < 0) w += 360;
            if (b < w) return catalogue::text(static_cast<uint16_t>(3950 + i));
        }
        return " ";
    }
    return " ";
}
