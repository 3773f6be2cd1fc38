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

void MZhanXingEx::drawStarLines(int x, int y, int bottom) {
    if (starContacts_.empty()) return;
    Canvas& c = image_;
    c.setFontSize(baseFontSize_ - 1);
    c.setFontColor(kStarColour);
    const int step = c.textHeight("国") + 1;
    // Short: "★角宿一合日0°12′", the points by their short names, the angles as 上升 and 天顶.
    std::vector<std::string> lines;
    for (const Aspect& a : starContacts_) {
        std::string point = a.b == kAscendantId ? "上升" : a.b == kMidheavenId ? "天顶" : "";
        if (a.b >= 0 && a.b < 10) point = BodyShortNames[static_cast<std::size_t>(a.b)];
        if (a.b >= kFirstExtraId && a.b < kFirstExtraId + kExtraPoints)
            point = ExtraPointShortNames[static_cast<std::size_t>(a.b - kFirstExtraId)];
        lines.push_back(std::string("★") + stars::kCatalogue[a.a].chinese + "合" + point + orbText(a.orb));
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        // Where the room ends, the last line says how many more the aspect list holds.
        if (y + 2 * step > bottom && i + 1 < lines.size()) {
            c.textOut(x, y, "★…另有" + std::to_string(lines.size() - i) + "条见相位表");
            break;
        }
        c.textOut(x, y, lines[i]);
        y += step;
    }
    c.setFontSize(baseFontSize_);
    c.setFontColor(Rgb{0, 0, 0});
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
