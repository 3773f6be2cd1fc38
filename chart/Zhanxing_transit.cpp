// Transit overlay: the bodies at a later moment, labelled inside the natal wheel, with a header
// and a position list beside it. Houses, aspects and the reading stay those of the natal chart.
#include <cmath>
#include <cstdio>

#include "astro/Asteroids.h"
#include "chart/Zhanxing.h"

namespace {
const Rgb kGreen{0, 128, 0};
const Rgb kDarkGreen{0, 144, 0};
}  // namespace

void MZhanXingEx::computeTransitBodies(const DateTimeFields& d8t) {
    calculator_.setTime(d8t);
    for (int i = 0; i < 10; ++i) {
        ChartPoint& p = transitBodies_[i];
        double latitude = 0;
        calculator_.bodyPosition(i, p.longitude, latitude);
        fillSign(p);
        p.motion = static_cast<uint8_t>(calculator_.retrogradeState(i, d8t));
    }
    double ascending = 0;
    double descending = 0;
    calculator_.lunarNodes(true, ascending, descending);
    transitBodies_[10].longitude = ascending;
    transitBodies_[11].longitude = descending;
    for (int i = 10; i < 12; ++i) {
        int s = static_cast<int>(transitBodies_[i].longitude / 30);
        if (s < 0 || s > 11) s = 0;
        transitBodies_[i].sign = static_cast<uint8_t>(s);
    }
    transitAsteroids_ = {};
    transitAsteroidSpeeds_ = {};
    for (std::size_t b = 0; b < transitAsteroids_.size(); ++b) {
        if (!transitAsteroidsShown_ || !extraShown_[kFirstAsteroid + b]) continue;
        ChartPoint& p = transitAsteroids_[b];
        calculator_.asteroidPosition(static_cast<int>(b), p.longitude, p.latitude);
        transitAsteroidSpeeds_[b] = calculator_.asteroidSpeed(static_cast<int>(b));
        p.motion = transitAsteroidSpeeds_[b] < 0 ? 2 : 1;
        fillSign(p);
        locateInHouse(p);
    }
}

bool MZhanXingEx::castTransit(const TransitRequest& q) {
    if (mode_ == ChartMode::None) {
        errorText_ = "请先排一个本命盘。";
        return false;
    }
    if (!calendar_.isValidDate(q.when)) {
        errorText_ = "不存在这个流年时间";
        return false;
    }
    const int z = zoneOffset(q.zoneIndex);
    const bool exact = q.utcOffsetSeconds != BirthRecord::kZoneListOffset;
    const double jd8t = calendar_.toJulianDay(q.when) +
                        (exact ? (8 * 3600 - q.utcOffsetSeconds) / 86400.0 : (8 - z) / 24.0);
    // Both instants are whole minutes; compared as day numbers, the same instant entered in two
    // zones can differ by a rounding of the last bit and look earlier than the birth.
    if (std::llround(jd8t * 1440.0) < std::llround(jd8_ * 1440.0)) {
        errorText_ = "流年时间应大于出生时间。";
        return false;
    }
    errorText_.clear();
    caption_.clear();
    captionLines_.clear();
    innerAnglesShown_ = false;
    compositeParts_.clear();
    readSettings();
    const DateTimeFields d8t = calendar_.fromJulianDay(jd8t);
    mode_ = ChartMode::Transit;
    // The asteroid tables end with 2200: a later transit shows none.
    transitAsteroidsShown_ = anyAsteroidShown() && asteroids::covers((jd8t - 1.0 / 3 - 2451545.0) / 36525);

    drawRings();
    drawZodiac();
    drawBodyLabels();
    drawCusps();
    drawPanel();

    char buf[128];
    std::snprintf(buf, sizeof buf, "公历:%d-%d-%d %d:%d  时区:", q.when.year, q.when.month,
                  q.when.day, q.when.hour, q.when.minute);
    drawInnerHeading("流年盘(内圈):", std::string(buf) + (exact ? clockZoneText(q.utcOffsetSeconds) : zoneText(z)));

    computeTransitBodies(d8t);
    transitJd8_ = jd8t;
    transitSpeedsValid_ = false;
    layoutLabels(true);
    drawTransit(q);
    return true;
}

void MZhanXingEx::drawTransit(const TransitRequest&) {
    Canvas& c = image_;
    drawLabels(c, transitLabels_, baseFontSize_);
    c.setFontColor(kDarkGreen);
    c.setFontSize(baseFontSize_);
    const int x0 = static_cast<int>(cx_ + 0.28 * width_);
    const int th = cellHeight_;
    int x = x0;
    int y = cy_ + 17 * th + 10 - innerListShift();
    for (int i = 0; i < 12; ++i) {
        const ChartPoint& p = transitBodies_[i];
        const double inSign = p.longitude - 30.0 * p.sign;
        const int deg = static_cast<int>(inSign);
        const int min = static_cast<int>((inSign - deg) * 60);
        char buf[96];
        std::snprintf(buf, sizeof buf, "%s:%s%02d:%02d  ", BodyShortNames[i],
                      SignNames[p.sign % 12], deg, min);
        const std::string text = buf;
        c.textOut(x, y, text);
        if (i % 2 == 1) {
            y += th + 5;
            x = x0;
        } else {
            x += c.textWidth(text);
        }
    }
    if (transitAsteroidsShown_) {
        drawExtraLabels(transitLabels_);
        c.setFontColor(kDarkGreen);
        c.setFontSize(baseFontSize_);
        drawTransitAsteroids(x0, y, th + 5);
    }
}

// The inner ring's list moves up by the lines its asteroids take, which the aspect grid leaves
// free in a chart with two rings.
int MZhanXingEx::innerListShift() const {
    if (!transitAsteroidsShown_) return 0;
    int n = 0;
    for (int k = kFirstAsteroid; k < kExtraPoints; ++k) n += extraShown_[static_cast<std::size_t>(k)] ? 1 : 0;
    return (n + 1) / 2 * (cellHeight_ + 5);
}

// The shown asteroids of the inner ring after its bodies, two a line as they are.
int MZhanXingEx::drawTransitAsteroids(int x0, int y, int step) {
    Canvas& c = image_;
    int x = x0;
    int n = 0;
    for (std::size_t b = 0; b < transitAsteroids_.size(); ++b) {
        if (!extraShown_[kFirstAsteroid + b]) continue;
        const ChartPoint& p = transitAsteroids_[b];
        const double inSign = p.longitude - 30.0 * p.sign;
        const int deg = static_cast<int>(inSign);
        const int min = static_cast<int>((inSign - deg) * 60);
        char buf[96];
        std::snprintf(buf, sizeof buf, "%s:%s%02d:%02d  ", ExtraPointShortNames[kFirstAsteroid + b],
                      SignNames[p.sign % 12], deg, min);
        c.textOut(x, y, buf);
        if (++n % 2 == 0) {
            y += step;
            x = x0;
        } else {
            x += c.textWidth(buf);
        }
    }
    return y;
}

// The heading of the inner ring's list beside the wheel: what it is and for when, in green.
void MZhanXingEx::drawInnerHeading(const std::string& title, const std::string& when) {
    Canvas& c = image_;
    c.setFontName("宋体");
    c.setFontSize(baseFontSize_);
    c.setFontColor(kGreen);
    const int x0 = static_cast<int>(cx_ + 0.28 * width_);
    const int th = cellHeight_;
    textOutFitted(x0, cy_ + 15 * th - innerListShift(), title, width_ - x0 - 2, baseFontSize_);
    c.textOut(x0, cy_ + 16 * th + 5 - innerListShift(), when);
}
