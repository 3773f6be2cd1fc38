// The wheel, its label layout, the data panel and the hint, through the recording canvas.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <set>

#include "chart/Catalogue.h"
#include "ChartFixture.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/RecordingRichText.h"

using chartfixture::moment;
using chartfixture::natalPoints;
using Kind = RecordingCanvas::Kind;

namespace {
constexpr double kDegToRad = static_cast<double>(0.017453292f);

struct Rig {
    RecordingCanvas canvas{800, 700};
    RecordingRichText rich;
    MZhanXingEx engine{rich, canvas, "/nonexistent/"};

    void set(ChartMode mode, const NatalPoints& n, uint8_t signLines = 0,
             const BirthRecord& r = chartfixture::request()) {
        engine.setChartForTest(mode, r, n, moment(1990, 5, 1, 8, 0), moment(1990, 4, 7, 8, 0),
                               {7, 17, 3, 5}, 5, signLines);
    }
    void drawAll() {
        canvas.clearOps();
        engine.layoutLabels(false);
        engine.drawRings();
        engine.drawZodiac();
        engine.drawBodyLabels();
        engine.drawCusps();
        engine.drawPanel();
    }
};

std::pair<int, int> P(double theta, int r) {
    const double t = theta * kDegToRad;
    return {static_cast<int>(264 + r * std::cos(t)), static_cast<int>(264 - r * std::sin(t))};
}
}  // namespace

TEST(Wheel, RingsInOrderAndTheTransitCircle) {
    Rig rig;
    rig.set(ChartMode::Natal, natalPoints(10, 30, chartfixture::spreadBodies()));
    rig.canvas.clearOps();
    rig.engine.drawRings();
    const auto rects = rig.canvas.of(Kind::Rectangle);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].a, 0);
    EXPECT_EQ(rects[0].c, 800);
    EXPECT_EQ(rects[0].d, 700);
    EXPECT_EQ(rects[0].color, (Rgb{255, 255, 255}));
    std::vector<int> radii;
    for (const auto& e : rig.canvas.of(Kind::Ellipse)) {
        EXPECT_EQ(e.a + e.c, 2 * 264);  // centred on (264, 264)
        radii.push_back((e.c - e.a) / 2);
    }
    EXPECT_EQ(radii, (std::vector<int>{256, 224, 224, 192, 32}));
    EXPECT_EQ(rig.engine.cellWidth(), 16);
    EXPECT_EQ(rig.engine.cellHeight(), 16);

    rig.set(ChartMode::Transit, natalPoints(10, 30, chartfixture::spreadBodies()));
    rig.canvas.clearOps();
    rig.engine.drawRings();
    radii.clear();
    for (const auto& e : rig.canvas.of(Kind::Ellipse)) radii.push_back((e.c - e.a) / 2);
    EXPECT_EQ(radii, (std::vector<int>{256, 224, 224, 192, 128, 32}));
}

TEST(Wheel, ZodiacWithTheAscendantAtZeroAries) {
    Rig rig;
    NatalPoints n = natalPoints(10, 30, chartfixture::spreadBodies());
    n.asc = chartfixture::point(0);
    rig.set(ChartMode::Natal, n);
    rig.engine.drawRings();
    rig.canvas.clearOps();
    rig.engine.drawZodiac();
    const auto lines = rig.canvas.lines();
    ASSERT_GE(lines.size(), 12u);
    // First boundary: 天秤 at screen angle 0, from the 0.28 to the 0.32 circle.
    EXPECT_EQ(lines[0].x1, P(360, 224).first);
    EXPECT_EQ(lines[0].x2, P(360, 256).first);
    EXPECT_EQ(lines[0].y2, P(360, 256).second);
    // 白羊 (code 0x5E) centred at screen angle 195, left of and below the centre.
    const RecordingCanvas::Op* aries = rig.canvas.findText("^");
    ASSERT_NE(aries, nullptr);
    EXPECT_EQ(aries->fontName, "Wingdings");
    const auto c = P(195, 240);
    EXPECT_EQ(aries->a, c.first - 8 / 2);
    EXPECT_EQ(aries->b, c.second - 16 / 2);
    EXPECT_LT(aries->a, 264);
    EXPECT_GT(aries->b + 8, 264);
    // Every symbol lies inside the zodiac ring.
    int symbols = 0;
    for (const auto& t : rig.canvas.texts()) {
        if (t.fontSize != 12) continue;
        ++symbols;
        const double dx = t.a + t.c / 2.0 - 264;
        const double dy = t.b + t.d / 2.0 - 264;
        const double d = std::sqrt(dx * dx + dy * dy);
        EXPECT_GT(d - 8, 224);
        EXPECT_LT(d + 8, 256);
    }
    EXPECT_EQ(symbols, 12);
    // The centre holds the Sun's sign in red at size 20; then 8 red axis strokes.
    const auto texts = rig.canvas.texts();
    EXPECT_EQ(texts.back().fontSize, 20);
    EXPECT_EQ(texts.back().fontColor, (Rgb{255, 0, 0}));
    EXPECT_EQ(texts.back().text, std::string(1, static_cast<char>(0x5E + n.bodies[0].sign)));
    int red = 0;
    for (const auto& l : lines)
        if (l.color == (Rgb{255, 0, 0})) ++red;
    EXPECT_EQ(red, 8);
    // The centre symbol is centred on (cx, cy) with the size-20 cell of "a" (10 x 26 here).
    EXPECT_EQ(texts.back().a, 264 - texts.back().c / 2);
    EXPECT_EQ(texts.back().b, 264 - texts.back().d / 2);
    // Axes at trunc(0.29 W) (231 in double precision): the ascendant-descendant line, the bar through the ascendant tip,
    // the chord at the descendant end; then the same for the MC.
    std::vector<RecordingCanvas::Line> axes;
    for (const auto& l : lines)
        if (l.color == (Rgb{255, 0, 0})) axes.push_back(l);
    ASSERT_EQ(axes.size(), 8u);
    const double mcTheta = n.mc.longitude - 0 + 180;
    const int rAxes = static_cast<int>(0.29 * 800);
    for (int a = 0; a < 2; ++a) {
        const double t = a == 0 ? 180 : mcTheta;
        const std::pair<double, double> ends[4] = {
            {t, t + 180}, {t, t - 3}, {t, t + 3}, {t + 177, t + 183}};
        for (int k = 0; k < 4; ++k) {
            const auto& l = axes[4 * a + k];
            EXPECT_EQ(std::make_pair(l.x1, l.y1), P(ends[k].first, rAxes)) << a << " " << k;
            EXPECT_EQ(std::make_pair(l.x2, l.y2), P(ends[k].second, rAxes)) << a << " " << k;
        }
    }
}

TEST(Wheel, SignLinesRunDottedFromTheCentre) {
    Rig rig;
    rig.set(ChartMode::Natal, natalPoints(10, 30, chartfixture::spreadBodies()), 1);
    rig.engine.drawRings();
    rig.canvas.clearOps();
    rig.engine.drawZodiac();
    int dotted = 0;
    for (const auto& l : rig.canvas.lines())
        if (l.style == PenStyle::Dotted) {
            ++dotted;
            EXPECT_EQ(l.x1, 264);
            EXPECT_EQ(l.y1, 264);
            // ... to the outer circle, across the house ring and the labels.
            EXPECT_NEAR(std::hypot(l.x2 - 264, l.y2 - 264), 256, 1.5);
        }
    EXPECT_EQ(dotted, 12);
    // The pen goes back to solid after each boundary.
    EXPECT_EQ(rig.canvas.ops().back().penStyle, PenStyle::Solid);
}

TEST(Labels, SlotExamples) {
    // Natal 7.5-degree slots: 100.0 and 101.0 share home slot 13.
    std::array<double, 12> lon = {100.0, 101.0, 150, 160, 170, 180, 190, 200, 210, 220, 230, 240};
    auto s = assignSlots(lon, 4);
    EXPECT_DOUBLE_EQ(s[0], 101.25);
    EXPECT_DOUBLE_EQ(s[1], 108.75);
    // 1 deg first in slot 0; 359 keeps slot 47; 359.5 wraps, takes slot 0, pushes 1 deg on.
    lon = {1.0, 100, 130, 160, 190, 220, 250, 280, 300, 320, 359.0, 359.5};
    s = assignSlots(lon, 4);
    EXPECT_DOUBLE_EQ(s[10], 47 * 7.5 + 3.75);
    EXPECT_DOUBLE_EQ(s[11], 3.75);
    EXPECT_DOUBLE_EQ(s[0], 7.5 + 3.75);
    // Transit 10-degree slots: 100 and 105 both home slot 10.
    lon = {100.0, 105.0, 150, 160, 170, 180, 190, 200, 210, 220, 230, 240};
    s = assignSlots(lon, 3);
    EXPECT_DOUBLE_EQ(s[0], 105);
    EXPECT_DOUBLE_EQ(s[1], 115);
}

TEST(Labels, CrowdedChartsNeverShareASlot) {
    // Twelve bodies within a few degrees, also across 0: all slots distinct.
    for (double start : {0.0, 100.0, 355.0}) {
        for (int k : {3, 4}) {
            std::array<double, 12> lon{};
            for (int i = 0; i < 12; ++i) lon[i] = std::fmod(start + i * 0.4, 360.0);
            std::sort(lon.begin(), lon.end());
            const auto s = assignSlots(lon, k);
            std::set<double> distinct(s.begin(), s.end());
            EXPECT_EQ(distinct.size(), 12u) << "start " << start << " k " << k;
        }
    }
}

TEST(Labels, LayoutAnchorsLeaderLinesAndBuckets) {
    Rig rig;
    NatalPoints n = natalPoints(10, 30, chartfixture::spreadBodies());
    rig.set(ChartMode::Natal, n);
    rig.engine.layoutLabels(false);
    const LabelLayout& L = rig.engine.natalLabels();
    EXPECT_EQ(L.fontSize, 14);
    EXPECT_EQ(L.cellWidth, 18);
    int entries = 0;
    for (const auto& b : L.buckets) entries += b.count;
    EXPECT_EQ(entries, 12);
    for (int i = 0; i < 12; ++i) {
        const LabelEntry* e = findLabel(i, L);
        ASSERT_NE(e, nullptr);
        const double ra = std::hypot(e->startX - 264, e->startY - 264);
        const double rb = std::hypot(e->endX - 264, e->endY - 264);
        EXPECT_NEAR(ra, 192, 1e-3);
        EXPECT_NEAR(rb, 168, 1e-3);
        EXPECT_EQ(e->anchorX, static_cast<int>(e->endX));
        // The leader starts at the body's true screen angle.
        double theta = n.bodies[i].longitude - n.asc.longitude + 180;
        theta = std::fmod(theta + 720, 360);
        EXPECT_NEAR(std::fmod(e->angle - theta + 540, 360) - 180, 0, 1e-3);
    }
    // Transit layout: size 11, anchors on 0.136 W, leaders from 0.16 W.
    std::array<ChartPoint, 12> t{};
    for (int i = 0; i < 12; ++i) t[i] = chartfixture::point(std::fmod(20 + 29.0 * i, 360));
    rig.engine.setTransitBodiesForTest(t);
    rig.engine.layoutLabels(true);
    const LabelLayout& T = rig.engine.transitLabels();
    EXPECT_EQ(T.fontSize, 11);
    const LabelEntry* e = findLabel(3, T);
    ASSERT_NE(e, nullptr);
    EXPECT_NEAR(std::hypot(e->startX - 264, e->startY - 264), 128, 1e-3);
    EXPECT_NEAR(std::hypot(e->endX - 264, e->endY - 264), 108.8, 1e-3);
}

TEST(Wheel, LabelsAndHouseNumbersStayInTheirRings) {
    // A spread of charts: label cells of neighbours never overlap, house numbers sit in the
    // house ring, every label inside the 0.24 circle.
    double worstGap = 1e9;
    for (double ramc = 5; ramc < 360; ramc += 47) {
        for (int variant = 0; variant < 3; ++variant) {
            std::array<double, 12> b{};
            for (int i = 0; i < 12; ++i)
                b[i] = std::fmod(ramc * 1.7 + (variant == 0 ? 31.0 * i : variant == 1 ? 2.0 * i : 7.3 * i * i), 360);
            Rig rig;
            rig.set(ChartMode::Natal, natalPoints(ramc, 35, b));
            rig.drawAll();
            std::vector<RecordingCanvas::Op> labels;
            for (const auto& t : rig.canvas.texts()) {
                if (t.fontName != "宋体") continue;
                const double dx = t.a + t.c / 2.0 - 264;
                const double dy = t.b + t.d / 2.0 - 264;
                const double d = std::sqrt(dx * dx + dy * dy);
                if (t.fontSize == 14 && t.b < 600 && d < 200) {
                    labels.push_back(t);
                    EXPECT_LT(d + 9, 192);
                } else if (t.fontSize == 12 && d > 190 && d < 226 && t.text.size() <= 2 &&
                           std::isdigit(static_cast<unsigned char>(t.text[0]))) {
                    EXPECT_GT(d - 8, 192) << t.text;
                    EXPECT_LT(d + 8, 224.5) << t.text;
                }
            }
            ASSERT_EQ(labels.size(), 12u);
            // Label centres lie at least one cell apart (7.5-degree slots on a 168-pixel
            // circle are 22 pixels apart, the cell is 18): squares placed diagonally may
            // touch at their corners by a few pixels but never cover each other.
            for (std::size_t i = 0; i < labels.size(); ++i)
                for (std::size_t j = i + 1; j < labels.size(); ++j) {
                    const double d = std::hypot(labels[i].a - labels[j].a, labels[i].b - labels[j].b);
                    worstGap = std::min(worstGap, d);
                    EXPECT_GE(d, labels[i].c) << labels[i].text << " and " << labels[j].text;
                }
        }
    }
    std::printf("smallest distance between two natal label centres: %.1f px (cell 18 px)\n", worstGap);
}

TEST(Wheel, CuspMarksAndTheTenthHouseNumber) {
    Rig rig;
    NatalPoints n = natalPoints(0, 0, chartfixture::spreadBodies());
    rig.set(ChartMode::Natal, n);
    rig.engine.drawRings();
    rig.canvas.clearOps();
    rig.engine.drawCusps();
    const auto lines = rig.canvas.lines();
    ASSERT_EQ(lines.size(), 12u);
    for (const auto& l : lines) EXPECT_NEAR(std::hypot(l.x1 - 264, l.y1 - 264), 192, 1.5);
    const RecordingCanvas::Op* ten = rig.canvas.findText("10");
    ASSERT_NE(ten, nullptr);
    const double mid = n.cusps[9] + std::fmod(n.cusps[10] - n.cusps[9] + 360, 360) / 2;
    const auto p = P(mid - n.asc.longitude + 180, 208);
    EXPECT_EQ(ten->a, p.first - 8);
    EXPECT_EQ(ten->b, p.second - 8);
    EXPECT_EQ(ten->fontColor, (Rgb{0, 0, 0}));
}

TEST(Panel, PositionsOnAn800By700Image) {
    Rig rig;
    rig.set(ChartMode::Natal, natalPoints(10, 30, chartfixture::spreadBodies()));
    rig.drawAll();
    const auto* title = rig.canvas.findText("Tarmin天文占星");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->a, 2);
    EXPECT_EQ(title->b, 2);
    EXPECT_EQ(title->fontSize, 14);
    EXPECT_EQ(title->fontColor, (Rgb{255, 0, 0}));
    const auto* kind = rig.canvas.findText("本命盘");
    ASSERT_NE(kind, nullptr);
    EXPECT_EQ(kind->b, 2 + 2 * 16);
    const auto* zone = rig.canvas.findText("时区:");
    ASSERT_NE(zone, nullptr);
    EXPECT_EQ(zone->text, "时区:东八区");
    EXPECT_EQ(zone->a, 2);
    EXPECT_EQ(zone->b, 488);
    EXPECT_EQ(rig.canvas.findText("东经:")->text, "东经:116:30 ");
    EXPECT_EQ(rig.canvas.findText("东经:")->b, 488 + 19);
    EXPECT_EQ(rig.canvas.findText("北纬:")->text, "北纬:33:52");
    EXPECT_EQ(rig.canvas.findText("北京-北京")->b, 488 + 3 * 19);
    const auto* cusps = rig.canvas.findText("01-");
    ASSERT_NE(cusps, nullptr);
    EXPECT_EQ(cusps->a, 264 - 7 * 16);
    EXPECT_EQ(cusps->b, 544);
    EXPECT_EQ(rig.canvas.findText("10-")->b, 544 + 3 * 19);
    const auto* greg = rig.canvas.findText("公历:");
    EXPECT_EQ(greg->text, "公历:1990年5月1日8时0分");
    EXPECT_EQ(greg->b, 700 - 4 * 16);
    const auto* name = rig.canvas.findText("姓名:");
    EXPECT_EQ(name->text, "姓名:张三。  男命");
    EXPECT_EQ(name->a, 514);
    EXPECT_EQ(name->b, 8);
    const auto* sun = rig.canvas.findText("太阳星座:");
    EXPECT_EQ(sun->b, 8 + 19);
    EXPECT_EQ(sun->text, "太阳星座:金牛10:22,主宰:金星");
    EXPECT_EQ(rig.canvas.findText("中天星座:")->b, 8 + 19 + 2 * 21);
    const auto* sunLine = rig.canvas.findText("日 ");
    ASSERT_NE(sunLine, nullptr);
    EXPECT_EQ(sunLine->a, 536);
    EXPECT_EQ(sunLine->b, 8 + 19 + 3 * 21 + 3 * 16);
    EXPECT_EQ(sunLine->fontColor, (Rgb{0, 0, 255}));
    // Every panel text lies inside the image.
    for (const auto& t : rig.canvas.texts()) {
        EXPECT_GE(t.a, 0) << t.text;
        EXPECT_LE(t.a + t.c, 800) << t.text;
        EXPECT_LE(t.b + t.d, 700) << t.text;
    }
}

TEST(Panel, DegreeMinuteRulesAndBodyLines) {
    Rig rig;
    BirthRecord r = chartfixture::request(-5);
    r.longitude = -73.9333f;
    r.latitude = -33.875f;
    NatalPoints n = natalPoints(10, 30, chartfixture::spreadBodies());
    // A body exactly on a cusp shows that house and 00.
    n.bodies[2] = chartfixture::point(n.cusps[4]);
    MZhanXingEx::locateIn(n.cusps, n.bodies[2].longitude, n.bodies[2].house, n.bodies[2].pastCusp);
    n.bodies[3].motion = 2;
    n.bodies[4].motion = 1;
    rig.set(ChartMode::Natal, n, 0, r);
    rig.drawAll();
    EXPECT_EQ(rig.canvas.findText("时区:")->text, "时区:西五区");
    // West and south in words, the degrees without a sign.
    EXPECT_EQ(rig.canvas.findText("西经:")->text, "西经:73:56 ");
    EXPECT_EQ(rig.canvas.findText("南纬:")->text, "南纬:33:53");
    const auto* mercury = rig.canvas.findText("水 ");
    ASSERT_NE(mercury, nullptr);
    EXPECT_NE(mercury->text.find("05宫00"), std::string::npos) << mercury->text;
    EXPECT_EQ(rig.canvas.findText("金 ")->text.back(), '-');
    EXPECT_EQ(rig.canvas.findText("火 ")->text.back(), '+');
    const auto* moon = rig.canvas.findText("月 ");
    EXPECT_EQ(moon->text.substr(moon->text.size() - 2), "  ");  // motion 0: no sign
    EXPECT_EQ(rig.canvas.findText("日 ")->text.substr(0, 17), "日 金牛10:22  ");
    for (const auto& [z, text] : std::vector<std::pair<int, std::string>>{
             {0, "零时区"}, {8, "东八区"}, {12, "中十二区"}, {-11, "西十一区"}, {-5, "西五区"}})
        EXPECT_EQ(zoneText(z), text);
    EXPECT_EQ(zoneOffset(0), 0);
    EXPECT_EQ(zoneOffset(12), 12);
    EXPECT_EQ(zoneOffset(13), -1);
    EXPECT_EQ(zoneOffset(23), -11);
}

TEST(Panel, LunarLineAndVoidBranches) {
    struct Case {
        int month, day, hour;
        bool leap;
        int dayPillar;
        const char* lunar;
        const char* voidText;
    };
    const Case cases[] = {
        {5, 8, 23, true, 1, "农历:一九九○年闰五月初八子时", "(日空:戌-亥)"},
        {1, 10, 0, false, 55, "农历:一九九○年正月初十子时", "(日空:子-丑)"},
        {1, 20, 1, true, 11, "农历:一九九○年闰正月二十丑时", "(日空:申-酉)"},
        {12, 21, 12, false, 0, "农历:一九九○年十二月廿一午时", "(日空:子-丑)"},
    };
    for (const auto& c : cases) {
        Rig rig;
        BirthRecord r = chartfixture::request();
        r.leapMonth = c.leap;
        rig.set(ChartMode::Natal, natalPoints(10, 30, chartfixture::spreadBodies()), 0, r);
        rig.engine.setChartForTest(ChartMode::Natal, r, rig.engine.natal(), moment(1990, 5, 1, 8, 0),
                                   moment(1990, c.month, c.day, c.hour, 0), {7, 17, static_cast<int16_t>(c.dayPillar), 5}, 5);
        rig.drawAll();
        EXPECT_EQ(rig.canvas.findText("农历:")->text, c.lunar);
        const auto* gz = rig.canvas.findText("干支:");
        ASSERT_NE(gz, nullptr);
        EXPECT_EQ(gz->fontColor, (Rgb{255, 0, 0}));
        EXPECT_NE(gz->text.find(c.voidText), std::string::npos) << gz->text;
    }
}

TEST(Panel, AspectGridIsSymmetricAndAbsentUnderATransit) {
    Rig rig;
    rig.set(ChartMode::Natal, natalPoints(10, 30, chartfixture::spreadBodies()));
    rig.drawAll();
    const auto* firstLabel = rig.canvas.findText("日 ");
    (void)firstLabel;
    std::set<std::pair<int, int>> cells;
    int symbols = 0;
    const int x0 = 264 + 200 + 8;
    int y0 = -1, cw = (800 - x0 - 2) / 11, ch = 0;
    for (const auto& l : rig.canvas.lines())
        if (l.x1 == x0 && l.y1 == l.y2 && l.x2 == x0 + 11 * cw) {
            if (y0 < 0) y0 = l.y1;
            else if (ch == 0) ch = l.y1 - y0;
        }
    ASSERT_GT(y0, 0);
    ASSERT_GT(ch, 0);
    for (const auto& t : rig.canvas.texts()) {
        bool isSymbol = false;
        for (const char* s : AspectSymbols)
            if (t.text == s && t.fontColor == (Rgb{255, 0, 0})) isSymbol = true;
        if (!isSymbol) continue;
        ++symbols;
        const int col = (t.a - x0) / cw - 1;
        const int row = (t.b - y0) / ch - 1;
        EXPECT_NE(row, col);
        cells.insert({row, col});
    }
    EXPECT_GT(symbols, 0);
    for (const auto& [r, c] : cells) EXPECT_TRUE(cells.count({c, r})) << r << "," << c;
    EXPECT_EQ(cells.size(), static_cast<std::size_t>(symbols));

    rig.set(ChartMode::Transit, natalPoints(10, 30, chartfixture::spreadBodies()));
    rig.drawAll();
    EXPECT_NE(rig.canvas.findText("流年盘"), nullptr);
    for (const auto& t : rig.canvas.texts())
        for (const char* s : AspectSymbols) EXPECT_NE(t.text, s);
}

TEST(Hint, RingZones) {
    Rig rig;
    EXPECT_EQ(rig.engine.hintAt(264, 264), " ");  // no chart yet
    NatalPoints n = natalPoints(0, 0, chartfixture::spreadBodies());
    rig.set(ChartMode::Natal, n);
    EXPECT_EQ(rig.engine.hintAt(264 + 32, 264), "◎生于金牛座,主宰行星:金星");
    EXPECT_EQ(rig.engine.hintAt(264 + 33, 264), " ");
    // ASC 90: the left edge of the zodiac ring is 巨蟹 begins, just above it 双子 ends.
    EXPECT_EQ(rig.engine.hintAt(264 - 256, 264), "巨蟹座,主宰行星:月亮");
    EXPECT_EQ(rig.engine.hintAt(264 - 250, 262), "双子座,主宰行星:水星");
    EXPECT_EQ(rig.engine.hintAt(264 - 257, 264), " ");
    // House ring: just below the ascendant is house 1; exactly on 0.28 W counts to it too.
    EXPECT_EQ(rig.engine.hintAt(264 + 224, 264), catalogue::text(3956));
    const std::string house = rig.engine.hintAt(264 - 223, 266);
    EXPECT_EQ(house, catalogue::text(3950));
    EXPECT_EQ(rig.engine.hintAt(264 + 200, 262), catalogue::text(3956));
    EXPECT_EQ(rig.engine.hintAt(264, 264 - 150), " ");
}

TEST(Panel, ALongPlaceWrapsLeftOfTheCuspTable) {
    Rig rig;
    BirthRecord r = chartfixture::request();
    r.place = "新疆维吾尔自治区-乌鲁木齐市-天山区-很长很长的地名";  // 50 GBK bytes
    rig.set(ChartMode::Natal, natalPoints(10, 30, chartfixture::spreadBodies()), 0, r);
    rig.drawAll();
    std::string joined;
    int lines = 0;
    for (const auto& t : rig.canvas.texts())
        if (t.a == 2 && t.b >= 488 + 3 * 19 && t.b < 700 - 4 * 16) {
            joined += t.text;
            ++lines;
            EXPECT_LE(t.a + t.c, 264 - 7 * 16 - 2) << t.text;  // clear of the cusp table
        }
    EXPECT_EQ(joined, r.place);
    EXPECT_EQ(lines, 3);
    // A short place stays one line at its place.
    EXPECT_EQ(rig.canvas.findText("新疆")->b, 488 + 3 * 19);
}

TEST(Panel, PlaceWrapsBetweenWordsAndALongNameShrinksInsideTheChart) {
    Rig rig;
    BirthRecord r = chartfixture::request();
    r.place = "美国-加利福尼亚州-旧金山 (San Francisco)";
    r.name = "欧阳青青长长的名字十六个字的姓名";  // 16 characters
    rig.set(ChartMode::Natal, natalPoints(10, 30, chartfixture::spreadBodies()), 0, r);
    rig.drawAll();
    std::string lines;
    for (const auto& t : rig.canvas.texts())
        if (t.a == 2 && t.b >= 488 + 3 * 19 && t.b < 700 - 4 * 16) lines += t.text + "|";
    EXPECT_TRUE(lines.find("(San|") != std::string::npos || lines.find("(San ") != std::string::npos) << lines;
    EXPECT_NE(lines.find("Francisco)|"), std::string::npos) << lines;
    const auto* name = rig.canvas.findText("姓名:");
    EXPECT_LE(name->a + name->c, 800 - 2) << name->text;  // inside the chart's width
}
