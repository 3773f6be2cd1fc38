// Label layout of the chart wheel: the bodies' short names are spread over slots of a few
// degrees each so that no two labels overlap, and a leader line joins each label to the body's
// true longitude. Angles are screen degrees (0 = right, counter-clockwise), pixels y downward.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "platform/core/Canvas.h"

struct LabelEntry {
    uint8_t body = 0;
    int32_t anchorX = 0;   // label centre, pixels
    int32_t anchorY = 0;
    float angle = 0;       // screen angle of the true longitude, degrees
    float startX = 0;      // leader line from the body's circle ...
    float startY = 0;
    float endX = 0;        // ... to the label anchor
    float endY = 0;
};

struct LabelBucket {
    static constexpr int kCapacity = 16;
    uint8_t count = 0;
    std::array<LabelEntry, kCapacity> entries{};
};

struct LabelLayout {
    std::array<LabelBucket, 12> buckets{};
    int32_t fontSize = 0;
    int32_t cellWidth = 0;
    int32_t cellHeight = 0;
};

// Slot angles (degrees of longitude, slot middles) of 12 longitudes sorted ascending, with k
// slots per 30-degree sign. Bodies near 360 that wrap past the last slot are put in front of
// the early-longitude bodies already placed at the start, which move on by one slot each.
std::array<double, 12> assignSlots(const std::array<double, 12>& sortedLongitudes, int k);
// The same for any number of sorted longitudes (at most the 12 k slots).
std::vector<double> assignSlots(const std::vector<double>& sortedLongitudes, int k);

// Geometry of one layout pass.
struct LabelGeometry {
    int cx = 0;
    int cy = 0;
    double leaderRadius = 0;  // pixels, leader-line start (the bodies' circle)
    double anchorRadius = 0;  // pixels, label anchors
    int slotsPerSign = 4;
};

// Fills the buckets of `layout` (font size and cell are left as they are) for the 12 body
// longitudes (degrees) of a chart whose ascendant is `asc`.
void placeLabels(LabelLayout& layout, const std::array<double, 12>& longitudes, double asc,
                 const LabelGeometry& g);
// The same for points with label ids of the caller's choosing (the bodies and further points).
void placeLabels(LabelLayout& layout, const std::vector<double>& longitudes,
                 const std::vector<uint8_t>& ids, double asc, const LabelGeometry& g);

// First entry with the body index, scanning buckets 0..11 in order; nullptr when absent.
const LabelEntry* findLabel(int body, const LabelLayout& layout);

// Label colours: red for the Sun and Moon, gold for the nodes, blue for the planets.
Rgb labelColour(int body);
// Leader lines and short names of the 12 bodies of a layout, in "宋体" at the layout's size
// (all lines first, then all labels); the font size is set back to baseSize after each label.
void drawLabels(Canvas& c, const LabelLayout& layout, int baseSize);
