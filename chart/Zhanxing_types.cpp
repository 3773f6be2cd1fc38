// The engine's side of the chart types: positions at any instant, the overlay of a second set
// of bodies inside the wheel, computed points in place of the natal ones, and the caption.
#include <cmath>
#include <cstdio>
#include <utility>

#include "chart/Zhanxing.h"

namespace {
const Rgb kRed{255, 0, 0};
}  // namespace

double MZhanXingEx::bodyLongitudeAt(int body, double jd8) {
    calculator_.setJulianDayUT(jd8 - 1.0 / 3);
    double longitude = 0;
    double latitude = 0;
    calculator_.bodyPosition(body, longitude, latitude);
    return longitude;
}

double MZhanXingEx::bodySpeedAt(int body, double jd8) {
    const double h = 0.05;
    double d = bodyLongitudeAt(body, jd8 + h) - bodyLongitudeAt(body, jd8 - h);
    if (d > 180) d -= 360;
    if (d < -180) d += 360;
    return d / (2 * h);
}

void MZhanXingEx::setCaption(const std::string& kind, const std::vector<std::string>& lines) {
    caption_ = kind;
    captionLines_ = lines;
}

void MZhanXingEx::drawCaptionLines() {
    // Under the kind caption, a point smaller, in the corner the wheel leaves free.
    Canvas& c = image_;
    c.setFontName("宋体");
    c.setFontSize(baseFontSize_ - 1);
    c.setFontColor(kRed);
    const int step = c.textHeight("国") + 1;
    int y = 2 + 3 * cellHeight_ + 8;
    // These lines may reach into the wheel's outer rings as they always have; a long name that
    // would run on past the wheel's centre line is drawn smaller.
    for (const std::string& line : captionLines_) {
        textOutFitted(2, y, line, cx_ - 4, baseFontSize_ - 1);
        y += step;
    }
    c.setFontSize(baseFontSize_);
}

bool MZhanXingEx::castOverlay(const std::array<ChartPoint, 12>& inner,
                              const std::string& innerTitle, const std::string& innerWhen) {
    if (mode_ == ChartMode::None) {
        errorText_ = "请先排一个本命盘。";
        return false;
    }
    errorText_.clear();
    transitBodies_ = inner;
    transitAsteroidsShown_ = overlayAsteroidsPending_ && anyAsteroidShown();
    overlayAsteroidsPending_ = false;
    if (!transitAsteroidsShown_) transitAsteroids_ = {};
    transitAsteroidSpeeds_ = {};
    for (ChartPoint& p : transitAsteroids_) {
        fillSign(p);
        locateInHouse(p);
    }
    for (ChartPoint& p : transitBodies_) {
        fillSign(p);
        locateInHouse(p);
    }
    mode_ = ChartMode::Transit;
    drawRings();
    drawZodiac();
    drawBodyLabels();
    drawCusps();
    drawPanel();
    drawCaptionLines();

    drawInnerHeading(innerTitle, innerWhen);
    layoutLabels(true);
    drawTransit(TransitRequest{});
    if (innerAnglesShown_) drawInnerAngles();
    return true;
}

void MZhanXingEx::setOverlayAsteroids(const std::array<ChartPoint, 5>& points) {
    transitAsteroids_ = points;
    overlayAsteroidsPending_ = true;
}

std::array<ChartPoint, 5> MZhanXingEx::asteroidPoints() const {
    std::array<ChartPoint, 5> a{};
    for (std::size_t b = 0; b < a.size(); ++b) a[b] = extras_[kFirstAsteroid + b];
    return a;
}

std::array<double, 5> MZhanXingEx::asteroidSpeeds() const {
    std::array<double, 5> v{};
    for (std::size_t b = 0; b < v.size(); ++b) v[b] = extraSpeeds_[kFirstAsteroid + b];
    return v;
}

void MZhanXingEx::setAsteroidPoints(const std::array<ChartPoint, 5>& points) {
    for (std::size_t b = 0; b < points.size(); ++b) {
        extras_[kFirstAsteroid + b] = points[b];
        extraSpeeds_[kFirstAsteroid + b] = 0;
    }
}

void MZhanXingEx::setExtraLongitude(int k, double longitude) {
    if (k < 0 || k >= kFirstAsteroid) return;
    extras_[static_cast<std::size_t>(k)] = ChartPoint{};
    extras_[static_cast<std::size_t>(k)].longitude = longitude;
    extraSpeeds_[static_cast<std::size_t>(k)] = 0;
}

bool MZhanXingEx::showPoints(const NatalPoints& points) {
    if (mode_ == ChartMode::None) {
        errorText_ = "请先排一个本命盘。";
        return false;
    }
    errorText_.clear();
    natal_ = points;
    mode_ = ChartMode::Natal;
    // Every extra point in the houses shown (a composite's are not those of the first chart).
    for (std::size_t k = 0; k < extras_.size(); ++k) {
        fillSign(extras_[k]);
        locateInHouse(extras_[k]);
    }
    layoutLabels(false);
    drawRings();
    drawZodiac();
    drawBodyLabels();
    drawCusps();
    drawPanel();
    drawCaptionLines();
    return true;
}

void MZhanXingEx::showText(const std::string& text) {
    reading_.clear();
    richText_.clear();
    richText_.setDefaultAttributes(richText_.fontSize(), Rgb{0, 0, 0}, TextStyle{});
    richText_.setText(text);
}

void MZhanXingEx::setInnerAngles(double asc, double mc) {
    innerAnglesShown_ = true;
    innerAsc_ = asc;
    innerMc_ = mc;
}

void MZhanXingEx::setCompositeParts(const std::vector<std::string>& lines) { compositeParts_ = lines; }

// The moved ascendant and MC: green strokes across the inner ring with their initials, and a
// line under the inner ring's list.
void MZhanXingEx::drawInnerAngles() {
    Canvas& c = image_;
    const Rgb green{0, 144, 0};
    c.setPenColor(green);
    c.setFontColor(green);
    c.setFontSize(baseFontSize_);
    const int rOuter = static_cast<int>(transitRadius_ * static_cast<float>(width_));
    const int rInner = static_cast<int>(0.05 * width_);
    const double asc = natal_.asc.longitude;
    std::string line;
    const double angles[2] = {innerAsc_, innerMc_};
    const char* const names[2] = {"升", "顶"};
    const char* const labels[2] = {"推运上升:", "推运天顶:"};
    for (int k = 0; k < 2; ++k) {
        const double t = (angles[k] - asc + 180) * 3.14159265358979323846 / 180;
        auto at = [&](int r) {
            return std::pair<int, int>{static_cast<int>(cx_ + r * std::cos(t)),
                                       static_cast<int>(cy_ - r * std::sin(t))};
        };
        const auto a = at(rInner), b = at(rOuter);
        c.moveTo(a.first, a.second);
        c.lineTo(b.first, b.second);
        const auto m = at((rInner + rOuter) / 2);
        c.textOut(m.first - cellWidth_ / 2, m.second - cellHeight_ / 2, names[k]);
        ChartPoint p;
        p.longitude = angles[k];
        fillSign(p);
        const int deg = static_cast<int>(p.degreesInSign);
        const int min = static_cast<int>((p.degreesInSign - static_cast<float>(deg)) * 60);
        char buf[64];
        std::snprintf(buf, sizeof buf, "%s%s%02d:%02d  ", labels[k], SignNames[p.sign % 12], deg, min);
        line += buf;
    }
    const int x0 = static_cast<int>(cx_ + 0.28 * width_);
    c.textOut(x0, cy_ + 17 * cellHeight_ + 10 + 6 * (cellHeight_ + 5), line);
    c.setPenColor(Rgb{0, 0, 0});
}
