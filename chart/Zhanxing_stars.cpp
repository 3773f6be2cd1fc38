// The named fixed stars in the chart: their places at the chart's instant, the stars within the
// star orb of the natal bodies, the shown further points and the angles (listed in the data panel
// and the aspect list), and their marks on the zodiac ring.
#include <cmath>

#include "astro/Stars.h"
#include "chart/XiangweiList.h"
#include "chart/Zhanxing.h"
#include "chart/Zhanxing2.h"

namespace {
const Rgb kStarColour{128, 0, 128};

struct Point {
    int x;
    int y;
};
// The wheel's polar rule: theta in degrees counter-clockwise, y downward.
Point polar(int cx, int cy, double theta, int r) {
    const double t = theta * (3.14159265358979323846 / 180);
    return {static_cast<int>(cx + r * std::cos(t)), static_cast<int>(cy - r * std::sin(t))};
}
}  // namespace

void MZhanXingEx::computeStars() {
    starLongitudes_.clear();
    starContacts_.clear();
    if (!settings_.fixedStars && !settings_.starMarks) return;
    const double jdUT = calculator_.julianDayUT();
    for (const stars::Place& p : stars::apparentPlaces(jdUT, precise_)) starLongitudes_.push_back(p.longitude);
    if (!settings_.fixedStars) return;
    std::vector<AspectPoint> outer, inner;
    for (std::size_t i = 0; i < starLongitudes_.size(); ++i)
        outer.push_back({static_cast<int>(i), starLongitudes_[i], 0});
    if (!natalSpeedsValid_) {
        natalSpeeds_ = motionsAt(jd8_);
        natalSpeedsValid_ = true;
    }
    for (std::size_t i = 0; i < 10; ++i)
        inner.push_back({static_cast<int>(i), natal_.bodies[i].longitude, natalSpeeds_[i]});
    for (std::size_t k = 0; k < extras_.size(); ++k)
        if (extraShown_[k])
            inner.push_back({kFirstExtraId + static_cast<int>(k), extras_[k].longitude, extraSpeeds_[k]});
    inner.push_back({kAscendantId, natal_.asc.longitude, 0});
    inner.push_back({kMidheavenId, natal_.mc.longitude, 0});
    AspectOrbs orbs;  // the conjunction alone
    orbs.orb[kConjunction] = settings_.starOrb / 60.0;
    starContacts_ = findAspects(outer, inner, orbs);
}

std::vector<std::string> MZhanXingEx::starLines(const std::string& separator) const {
    std::vector<std::string> stars, points = pointNames();
    for (int i = 0; i < stars::kCatalogueSize; ++i) stars.push_back(stars::kCatalogue[i].chinese);
    points.resize(kAscendantId);
    points.push_back("上升");
    points.push_back("天顶");
    return aspectListLines(starContacts_, stars, points, separator);
}

int MZhanXingEx::drawStarLines(int x, int y, int step) {
    if (starContacts_.empty()) return y;
    Canvas& c = image_;
    c.setFontColor(kStarColour);
    for (const std::string& line : starLines(" ")) {
        // The applying mark means nothing for a star: name, 相合, point, orb.
        c.textOut(x, y, "★" + line.substr(0, line.rfind(' ')));
        y += step;
    }
    c.setFontColor(Rgb{0, 0, 255});
    return y;
}

void MZhanXingEx::drawStarMarks() {
    if (!settings_.starMarks || starLongitudes_.empty()) return;
    Canvas& c = image_;
    c.setPenColor(kStarColour);
    const double asc = natal_.asc.longitude;
    for (double lambda : starLongitudes_) {
        const double theta = lambda - asc + 180;
        const Point a = polar(cx_, cy_, theta, px(0.32));
        const Point b = polar(cx_, cy_, theta, px(0.31));
        c.moveTo(a.x, a.y);
        c.lineTo(b.x, b.y);
    }
}
