#include "chart/LabelContrast.h"

#include <algorithm>
#include <cmath>

namespace labelcontrast {
namespace {
double channel(uint8_t v) {
    const double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
double luminance(Rgb c) {
    return 0.2126 * channel(c.r) + 0.7152 * channel(c.g) + 0.0722 * channel(c.b);
}
uint8_t mix(uint8_t from, uint8_t to, int step, int steps) {
    return static_cast<uint8_t>((from * (steps - step) + to * step + steps / 2) / steps);
}
Rgb shade(Rgb c, Rgb towards, int step, int steps) {
    return Rgb{mix(c.r, towards.r, step, steps), mix(c.g, towards.g, step, steps),
               mix(c.b, towards.b, step, steps)};
}
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
}  // namespace

double ratio(Rgb a, Rgb b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

double defaultContrast() {
    // Black, red, blue, the gold of the nodes and the transit greens.
    static const double least = [] {
        double m = 21;
        for (const Rgb c : {Rgb{0, 0, 0}, Rgb{255, 0, 0}, Rgb{0, 0, 255}, Rgb{228, 187, 0},
                            Rgb{0, 128, 0}, Rgb{0, 144, 0}})
            m = std::min(m, ratio(c, kWhite));
        return m;
    }();
    return least;
}

Rgb readableOn(Rgb c, Rgb bg) {
    if (bg == kWhite || ratio(c, bg) >= defaultContrast() - 1e-9) return c;
    // A label that falls short is shaded to the 3:1 of large text, which reads comfortably,
    // not merely to the bar.
    const double bar = std::max(defaultContrast(), 3.0);
    constexpr int kSteps = 32;
    // Away from the background: darker on a light one, lighter on a dark one, whichever gets
    // there first; failing both, the end with more contrast.
    for (int step = 1; step <= kSteps; ++step) {
        for (const Rgb end : {kBlack, kWhite}) {
            const Rgb s = shade(c, end, step, kSteps);
            if (ratio(s, bg) >= bar) return s;
        }
    }
    return ratio(kBlack, bg) >= ratio(kWhite, bg) ? kBlack : kWhite;
}
}  // namespace labelcontrast

void ReadableLabelCanvas::setFontColor(Rgb c) {
    fontColor_ = c;
    drawnColor_ = labelcontrast::readableOn(c, background_);
    target_.setFontColor(drawnColor_);
}

void ReadableLabelCanvas::rectangle(int x1, int y1, int x2, int y2) {
    target_.rectangle(x1, y1, x2, y2);
    if (std::min(x1, x2) <= 0 && std::min(y1, y2) <= 0 && std::max(x1, x2) >= width() &&
        std::max(y1, y2) >= height() && brush_ != background_) {
        background_ = brush_;
        const Rgb now = labelcontrast::readableOn(fontColor_, background_);
        if (now != drawnColor_) {
            drawnColor_ = now;
            target_.setFontColor(now);
        }
    }
}
