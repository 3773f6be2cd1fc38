#include "chart/Zhanxing2.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "chart/Zhanxing.h"

namespace {
constexpr double kDegToRad = static_cast<double>(0.017453292f);

double intoCircle(double a) {
    if (a < 0) a += 360;
    if (a >= 360) a -= 360;
    return a;
}
}  // namespace

std::array<double, 12> assignSlots(const std::array<double, 12>& lon, int k) {
    const std::vector<double> slots = assignSlots(std::vector<double>(lon.begin(), lon.end()), k);
    std::array<double, 12> out{};
    for (std::size_t j = 0; j < 12; ++j) out[j] = slots[j];
    return out;
}

std::vector<double> assignSlots(const std::vector<double>& lon, int k) {
    const int n = 12 * k;
    const double v = 30.0 / k;
    const int count = static_cast<int>(lon.size());
    std::vector<int> slot(n, -1);  // occupant index j, -1 empty
    std::vector<int> slotOf(lon.size(), 0);
    for (int j = 0; j < count; ++j) {
        int home = static_cast<int>(lon[j] / v) % n;
        if (home < 0) home += n;
        int found = -1;
        for (int p = 0; p <= n; ++p) {
            const int s = (home + p) % n;
            if (slot[s] < 0) {
                found = s;
                break;
            }
        }
        if (found < 0) continue;  // cannot happen with no more points than slots
        if (found >= home) {
            slot[found] = j;
            slotOf[j] = found;
            continue;
        }
        // Wrapped past the last slot: walk again from home, pushing the early-longitude
        // occupants along by one slot.
        int carry = j;
        bool shifting = false;
        for (int p = 0; p <= n; ++p) {
            const int s = (home + p) % n;
            if (slot[s] < 0) {
                slot[s] = carry;
                slotOf[carry] = s;
                break;
            }
            const int occ = slot[s];
            if (!shifting && lon[occ] >= 0 && lon[occ] <= 60) shifting = true;
            if (shifting) {
                slot[s] = carry;
                slotOf[carry] = s;
                carry = occ;
            }
        }
    }
    std::vector<double> out(lon.size());
    for (std::size_t j = 0; j < lon.size(); ++j) out[j] = v * slotOf[j] + v / 2;
    return out;
}

void placeLabels(LabelLayout& layout, const std::array<double, 12>& longitudes, double asc,
                 const LabelGeometry& g) {
    std::vector<uint8_t> ids(12);
    for (std::size_t i = 0; i < 12; ++i) ids[i] = static_cast<uint8_t>(i);
    placeLabels(layout, std::vector<double>(longitudes.begin(), longitudes.end()), ids, asc, g);
}

void placeLabels(LabelLayout& layout, const std::vector<double>& longitudes,
                 const std::vector<uint8_t>& ids, double asc, const LabelGeometry& g) {
    for (auto& b : layout.buckets) b = LabelBucket{};
    const std::size_t count = std::min(longitudes.size(), ids.size());
    std::vector<uint8_t> index(ids.begin(), ids.begin() + static_cast<std::ptrdiff_t>(count));
    std::vector<double> lon(longitudes.begin(), longitudes.begin() + static_cast<std::ptrdiff_t>(count));
    for (std::size_t a = 0; a + 1 < count; ++a)
        for (std::size_t b = a + 1; b < count; ++b)
            if (lon[a] > lon[b]) {
                std::swap(lon[a], lon[b]);
                std::swap(index[a], index[b]);
            }
    const std::vector<double> slots = assignSlots(lon, g.slotsPerSign);
    double r0 = -(asc + 180);
    while (r0 < 0) r0 += 360;
    for (std::size_t e = 0; e < count; ++e) {
        const double thetaT = intoCircle(r0 + lon[e]);
        const double sigma = intoCircle(slots[e]);
        int bucket = 11 - static_cast<int>(std::floor(sigma / 30));
        if (bucket < 0) bucket = 0;
        if (bucket > 11) bucket = 11;
        LabelBucket& bk = layout.buckets[bucket];
        if (bk.count >= LabelBucket::kCapacity) continue;
        LabelEntry& en = bk.entries[bk.count++];
        en.body = index[e];
        en.angle = static_cast<float>(thetaT);
        const double ta = thetaT * kDegToRad;
        en.startX = static_cast<float>(g.cx + g.leaderRadius * std::cos(ta));
        en.startY = static_cast<float>(g.cy - g.leaderRadius * std::sin(ta));
        const double tb = (r0 + slots[e]) * kDegToRad;
        en.endX = static_cast<float>(g.cx + g.anchorRadius * std::cos(tb));
        en.endY = static_cast<float>(g.cy - g.anchorRadius * std::sin(tb));
        en.anchorX = static_cast<int32_t>(en.endX);
        en.anchorY = static_cast<int32_t>(en.endY);
    }
}

const LabelEntry* findLabel(int body, const LabelLayout& layout) {
    for (const auto& b : layout.buckets)
        for (int e = 0; e < b.count; ++e)
            if (b.entries[e].body == body) return &b.entries[e];
    return nullptr;
}

Rgb labelColour(int body) {
    if (body <= 1) return Rgb{255, 0, 0};
    if (body >= 10) return Rgb{228, 187, 0};
    return Rgb{0, 0, 255};
}

void drawLabels(Canvas& c, const LabelLayout& layout, int baseSize) {
    c.setFontName("宋体");
    // Leader lines first, then the labels: a label's cell is filled with the background, so
    // the lines of a crowded group never run across a neighbour's name.
    for (int i = 0; i < 12; ++i) {
        const LabelEntry* e = findLabel(i, layout);
        if (!e) continue;
        const Rgb colour = labelColour(i);
        c.setFontColor(colour);
        c.setPenColor(colour);
        c.moveTo(static_cast<int>(e->startX), static_cast<int>(e->startY));
        c.lineTo(static_cast<int>(e->endX), static_cast<int>(e->endY));
    }
    for (int i = 0; i < 12; ++i) {
        const LabelEntry* e = findLabel(i, layout);
        if (!e) continue;
        const Rgb colour = labelColour(i);
        c.setFontColor(colour);
        c.setPenColor(colour);
        c.setFontSize(layout.fontSize);
        c.textOut(e->anchorX - layout.cellWidth / 2, e->anchorY - layout.cellHeight / 2,
                  BodyShortNames[i]);
        c.setFontSize(baseSize);
    }
}
