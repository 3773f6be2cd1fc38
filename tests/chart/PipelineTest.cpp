// The natal and transit casts end to end over the real calculator and calendar object.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "ChartFixture.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/RecordingRichText.h"
#include "tests/support/TestData.h"
#include "calendar/Yidateex.h"

using chartfixture::moment;

namespace {
struct Rig {
    explicit Rig(const std::string& folder = "/nonexistent/") : engine(rich, canvas, folder) {}
    RecordingCanvas canvas{800, 700};
    RecordingRichText rich;
    MZhanXingEx engine;
};

BirthRecord birth(int y, int mo, int d, int h, int mi, int zone = 8) {
    BirthRecord r = chartfixture::request();
    r.zoneIndex = static_cast<int8_t>(zone);
    r.birth = moment(y, mo, d, h, mi);
    return r;
}

TransitRequest transit(int y, int mo, int d, int h, int mi, int zone = 8) {
    TransitRequest q;
    q.when = moment(y, mo, d, h, mi);
    q.zoneIndex = static_cast<int8_t>(zone);
    return q;
}
}  // namespace

TEST(Natal, ZoneOffsetsMoveJd8) {
    const struct {
        int zone;
        double hours;
    } cases[] = {{8, 0}, {0, 8}, {12, -4}, {13, 9}, {23, 19}};
    double worst = 0;
    for (const auto& c : cases) {
        Rig rig;
        ASSERT_TRUE(rig.engine.castNatal(birth(1990, 5, 1, 8, 0, c.zone))) << rig.engine.errorText();
        const double d = (rig.engine.jd8() - rig.engine.jdLocal()) * 86400 - c.hours * 3600;
        worst = std::max(worst, std::fabs(d));
        EXPECT_NEAR(d, 0, 1e-3) << "zone " << c.zone;
        EXPECT_EQ(rig.engine.request().zoneIndex, zoneOffset(c.zone));
    }
    std::printf("largest JD8 error %.2e s\n", worst);
}

TEST(Natal, FailuresAndTheirTexts) {
    Rig rig;
    EXPECT_FALSE(rig.engine.castNatal(birth(2001, 2, 30, 8, 0)));
    EXPECT_EQ(rig.engine.errorText(), "不存在这个日期");
    EXPECT_FALSE(rig.engine.castNatal(birth(2200, 12, 31, 23, 30)));
    EXPECT_EQ(rig.engine.errorText(), "时间越界，年份在1600-2200之间");
    EXPECT_FALSE(rig.engine.castNatal(birth(1599, 12, 31, 12, 0)));
    EXPECT_EQ(rig.engine.errorText(), "时间越界，年份在1600-2200之间");
    EXPECT_TRUE(rig.canvas.texts().empty());  // nothing drawn
    EXPECT_EQ(rig.engine.mode(), ChartMode::None);
    // 2001 has no leap month 3 (its leap month is 4).
    BirthRecord r = birth(2001, 3, 5, 8, 0);
    r.lunar = 1;
    r.leapMonth = 1;
    EXPECT_FALSE(rig.engine.castNatal(r));
    EXPECT_EQ(rig.engine.errorText(), "不存在这个农历日期，无法转换到公历！");
    r.leapMonth = 0;
    EXPECT_TRUE(rig.engine.castNatal(r)) << rig.engine.errorText();
    EXPECT_EQ(rig.engine.mode(), ChartMode::Natal);
    EXPECT_EQ(rig.engine.lunarMoment().month, 3);
    EXPECT_EQ(rig.engine.lunarMoment().day, 5);
    // A failed cast keeps the mode.
    EXPECT_FALSE(rig.engine.castNatal(birth(2001, 2, 29, 8, 0)));
    EXPECT_EQ(rig.engine.mode(), ChartMode::Natal);
}

TEST(Natal, TwentyThreeOClockAndPillars) {
    Rig rig;
    ASSERT_TRUE(rig.engine.castNatal(birth(2000, 1, 1, 12, 0)));
    EXPECT_EQ(rig.engine.pillars(), (std::array<int16_t, 4>{16, 13, 55, 55}));
    EXPECT_NE(rig.canvas.findText("干支:己卯 丙子 戊午 戊午"), nullptr);

    ASSERT_TRUE(rig.engine.castNatal(birth(2021, 2, 10, 23, 10)));
    MYiDateEx cal;
    DateTimeFields next;
    cal.gregorianToLunar(moment(2021, 2, 11, 12, 0), next);
    EXPECT_EQ(rig.engine.lunarMoment().day, next.day);
    EXPECT_EQ(rig.engine.lunarMoment().month, next.month);
    EXPECT_EQ(rig.engine.gregorianMoment(), moment(2021, 2, 10, 23, 10));
    EXPECT_NE(rig.canvas.findText("公历:2021年2月10日23时10分"), nullptr);
    const int dayPillar23 = rig.engine.pillars()[2];
    ASSERT_TRUE(rig.engine.castNatal(birth(2021, 2, 11, 1, 0)));
    EXPECT_EQ(dayPillar23, rig.engine.pillars()[2]);

    // 00:30 in 东七区 is 01:30 in UTC+8: the 丑 hour.
    ASSERT_TRUE(rig.engine.castNatal(birth(1995, 7, 7, 0, 30, 7)));
    EXPECT_EQ(rig.engine.pillars()[3] % 12, 2);
}

TEST(Natal, LeapFlagOfTheComputedLunarDate) {
    Rig rig;
    BirthRecord r = birth(2020, 6, 1, 10, 0);  // 闰四月初十 of 2020
    r.leapMonth = 0;
    ASSERT_TRUE(rig.engine.castNatal(r));
    EXPECT_EQ(rig.engine.request().leapMonth, 1);
    EXPECT_EQ(rig.engine.lunarMoment().month, 4);
    EXPECT_NE(rig.canvas.findText("农历:二○二○年闰四月"), nullptr);
    r = birth(2020, 3, 1, 10, 0);
    r.leapMonth = 1;
    ASSERT_TRUE(rig.engine.castNatal(r));
    EXPECT_EQ(rig.engine.request().leapMonth, 0);
}

TEST(Natal, ChartIsConsistent) {
    Rig rig;
    BirthRecord r = birth(1990, 5, 1, 8, 0);
    r.longitude = 116.4167f;
    r.latitude = 39.9f;
    ASSERT_TRUE(rig.engine.castNatal(r));
    const NatalPoints& n = rig.engine.natal();
    // The Sun on 1 May is in 金牛 near 10-11 degrees; motion undetermined for Sun and Moon.
    EXPECT_EQ(n.bodies[0].sign, 1);
    EXPECT_NEAR(n.bodies[0].longitude, 40.4, 0.5);
    EXPECT_EQ(n.bodies[0].motion, 0);
    EXPECT_NEAR(std::fmod(n.bodies[11].longitude - n.bodies[10].longitude + 360, 360), 180, 1e-9);
    EXPECT_EQ(n.cusps[9], n.mc.longitude);
    EXPECT_EQ(n.cusps[0], n.asc.longitude);
    EXPECT_EQ(n.mc.house, 9);
    for (const auto& b : n.bodies) {
        EXPECT_GE(b.longitude, 0);
        EXPECT_LT(b.longitude, 360);
        EXPECT_FLOAT_EQ(b.degreesInSign, static_cast<float>(b.longitude - 30 * b.sign));
        uint8_t h = 0;
        float past = 0;
        MZhanXingEx::locateIn(n.cusps, b.longitude, h, past);
        EXPECT_EQ(h, b.house);
    }
    // The reading went to the rich text; the title and the name are drawn.
    EXPECT_EQ(rig.rich.text().rfind("星座分析:", 0), 0u);
    EXPECT_NE(rig.canvas.findText("姓名:张三。  男命"), nullptr);
    EXPECT_EQ(rig.engine.hintAt(rig.engine.centreX(), rig.engine.centreY()),
              "◎生于金牛座,主宰行星:金星");
}

TEST(Natal, LongNameAndPlaceAreCutAtACharacterBoundary) {
    Rig rig;
    BirthRecord r = birth(1990, 5, 1, 8, 0);
    r.name = "王五六七八九";  // 12 GBK bytes: a full name is kept whole
    r.place = std::string(49, 'x') + "北京";  // 53 GBK bytes; 北 would end at byte 51
    ASSERT_TRUE(rig.engine.castNatal(r));
    EXPECT_EQ(rig.engine.request().name, "王五六七八九");
    EXPECT_EQ(rig.engine.request().place, std::string(49, 'x'));
    r.name = "一二三四五六七八九十一二三四五六七";  // 17 characters: the 17th is past byte 32
    ASSERT_TRUE(rig.engine.castNatal(r));
    EXPECT_EQ(rig.engine.request().name, "一二三四五六七八九十一二三四五六");
    r.name = std::string(31, 'a') + "中";  // the 33rd byte would split 中
    ASSERT_TRUE(rig.engine.castNatal(r));
    EXPECT_EQ(rig.engine.request().name, std::string(31, 'a'));
}

TEST(Natal, SettingsFromTheProgramFolder) {
    const std::string folder = testdata::freshTempDir("chartset");
    std::filesystem::create_directories(folder + "dat");
    {
        std::ofstream ini(folder + "dat/set.ini");
        ini << "[pan]\npos=3\nline=1\nbkcolor=0x00FF8040\n";
    }
    Rig rig(folder);
    ASSERT_TRUE(rig.engine.castNatal(birth(1990, 5, 1, 8, 0)));
    EXPECT_EQ(rig.engine.orb(), 3);
    EXPECT_EQ(rig.engine.signLines(), 1);
    EXPECT_EQ(rig.canvas.of(RecordingCanvas::Kind::Rectangle)[0].color, (Rgb{0x40, 0x80, 0xFF}));
    int dotted = 0;
    for (const auto& l : rig.canvas.lines()) dotted += l.style == PenStyle::Dotted;
    EXPECT_EQ(dotted, 12);
    {
        std::ofstream ini(folder + "dat/set.ini");
        ini << "[pan]\npos=-1\n";
    }
    ASSERT_TRUE(rig.engine.castNatal(birth(1990, 5, 1, 8, 0)));
    EXPECT_EQ(rig.engine.orb(), 255);  // low 8 bits, unsigned
    EXPECT_EQ(rig.engine.backgroundColor(), 0xFFFFFFu);
}

TEST(Transit, ChecksAndTexts) {
    Rig rig;
    EXPECT_FALSE(rig.engine.castTransit(transit(2020, 1, 1, 0, 0)));
    EXPECT_EQ(rig.engine.errorText(), "请先排一个本命盘。");
    ASSERT_TRUE(rig.engine.castNatal(birth(1990, 5, 1, 8, 0)));
    rig.canvas.clearOps();
    EXPECT_FALSE(rig.engine.castTransit(transit(2021, 2, 30, 0, 0)));
    EXPECT_EQ(rig.engine.errorText(), "不存在这个流年时间");
    EXPECT_FALSE(rig.engine.castTransit(transit(1990, 5, 1, 7, 59)));
    EXPECT_EQ(rig.engine.errorText(), "流年时间应大于出生时间。");
    EXPECT_TRUE(rig.canvas.ops().empty());
    EXPECT_EQ(rig.engine.mode(), ChartMode::Natal);
    EXPECT_TRUE(rig.engine.castTransit(transit(1990, 5, 1, 8, 0)));  // the birth instant itself
    EXPECT_TRUE(rig.engine.castTransit(transit(1990, 5, 1, 1, 0, 0)));  // 09:00 UTC+8
    EXPECT_EQ(rig.engine.mode(), ChartMode::Transit);
}

namespace {
// Aspect symbols of the panel's grid: red texts that are one of the five symbols.
int gridSymbols(const RecordingCanvas& canvas) {
    int n = 0;
    for (const auto& t : canvas.texts())
        for (const char* s : AspectSymbols) n += t.text == s && t.fontColor == (Rgb{255, 0, 0});
    return n;
}
}  // namespace

TEST(Transit, OverlayHeaderListAndLabels) {
    Rig rig;
    ASSERT_TRUE(rig.engine.castNatal(birth(1990, 5, 1, 8, 0)));
    const LabelLayout natal = rig.engine.natalLabels();
    const int natalSymbols = gridSymbols(rig.canvas);
    ASSERT_GT(natalSymbols, 0);
    rig.canvas.clearOps();
    ASSERT_TRUE(rig.engine.castTransit(transit(2026, 12, 9, 12, 5, 0)));
    const auto* head = rig.canvas.findText("流年盘(内圈):");
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->a, 488);
    EXPECT_EQ(head->b, 504);
    EXPECT_EQ(head->fontColor, (Rgb{0, 128, 0}));
    const auto* when = rig.canvas.findText("公历:2026-12-9 12:5  时区:零时区");
    ASSERT_NE(when, nullptr);
    EXPECT_EQ(when->a, 488);
    EXPECT_EQ(when->b, 525);
    EXPECT_NE(rig.canvas.findText("流年盘"), nullptr);
    // The list: twelve texts, two per line from y = 546 in 21-pixel steps.
    std::vector<RecordingCanvas::Op> list;
    for (const auto& t : rig.canvas.texts())
        if (t.fontColor == (Rgb{0, 144, 0})) list.push_back(t);
    ASSERT_EQ(list.size(), 12u);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(list[i].b, 546 + (i / 2) * 21);
        EXPECT_EQ(list[i].text.rfind(std::string(BodyShortNames[i]) + ":", 0), 0u);
        if (i % 2 == 0) EXPECT_EQ(list[i].a, 488);
        else EXPECT_EQ(list[i].a, 488 + list[i - 1].c);
        EXPECT_LE(list[i].a + list[i].c, 800);
    }
    // The transit circle is drawn; no aspect grid; the natal labels are reused unchanged.
    int transitCircles = 0;
    for (const auto& e : rig.canvas.of(RecordingCanvas::Kind::Ellipse))
        transitCircles += (e.c - e.a) / 2 == 128;
    EXPECT_EQ(transitCircles, 1);
    for (int i = 0; i < 12; ++i) {
        const LabelEntry* a = findLabel(i, natal);
        const LabelEntry* b = findLabel(i, rig.engine.natalLabels());
        EXPECT_EQ(a->anchorX, b->anchorX);
        EXPECT_EQ(a->anchorY, b->anchorY);
    }
    int transitLabels = 0;
    for (const auto& t : rig.canvas.texts()) transitLabels += t.fontSize == 11;
    EXPECT_EQ(transitLabels, 12);
    EXPECT_EQ(gridSymbols(rig.canvas), 0);
    // The hint still describes the natal chart: 1990-05-01 has the Sun in 金牛.
    EXPECT_EQ(rig.engine.hintAt(264, 264), "◎生于金牛座,主宰行星:金星");
    EXPECT_NE(rig.engine.transitBodies()[0].sign, 1);
    // A natal cast brings the grid back and drops the transit circle.
    rig.canvas.clearOps();
    ASSERT_TRUE(rig.engine.castNatal(birth(1990, 5, 1, 8, 0)));
    for (const auto& e : rig.canvas.of(RecordingCanvas::Kind::Ellipse)) EXPECT_NE((e.c - e.a) / 2, 128);
    EXPECT_NE(rig.canvas.findText("本命盘"), nullptr);
    EXPECT_EQ(gridSymbols(rig.canvas), natalSymbols);
}

// The birth instant entered in any zone, and the transit at that same instant entered in any
// zone: the transit is accepted, one minute earlier it is refused, whatever the two zones.
TEST(Transit, BirthInstantInEveryPairOfZones) {
    int refusedAtBirth = 0, acceptedBefore = 0;
    for (int birthZone = 0; birthZone < 24; ++birthZone) {
        Rig rig;
        ASSERT_TRUE(rig.engine.castNatal(birth(1990, 5, 1, 8, 0, birthZone))) << rig.engine.errorText();
        for (int zone = 0; zone < 24; ++zone) {
            // 08:00 on 1 May in the birth zone, as a wall-clock time of the transit zone.
            const int minutes = 8 * 60 + 60 * (zoneOffset(zone) - zoneOffset(birthZone));
            const int dayShift = minutes < 0 ? -1 : minutes / 1440;
            const int inDay = minutes - 1440 * dayShift;
            const int month = dayShift < 0 ? 4 : 5, day = dayShift < 0 ? 30 : 1 + dayShift;
            const TransitRequest at = transit(1990, month, day, inDay / 60, inDay % 60, zone);
            if (!rig.engine.castTransit(at)) {
                ++refusedAtBirth;
                ADD_FAILURE() << "birth zone " << birthZone << ", transit zone " << zone << ": "
                              << rig.engine.errorText();
            }
            TransitRequest before = at;
            if (inDay > 0) {
                before.when = moment(1990, month, day, (inDay - 1) / 60, (inDay - 1) % 60);
            } else {  // 00:00 -> 23:59 of the day before
                before.when = dayShift == 0 ? moment(1990, 4, 30, 23, 59) : moment(1990, 5, day - 1, 23, 59);
            }
            if (rig.engine.castTransit(before)) {
                ++acceptedBefore;
                ADD_FAILURE() << "one minute before the birth accepted: birth zone " << birthZone
                              << ", transit zone " << zone;
            } else {
                EXPECT_EQ(rig.engine.errorText(), "流年时间应大于出生时间。");
            }
        }
    }
    std::printf("576 zone pairs: %d refused at the birth instant, %d accepted a minute before\n",
                refusedAtBirth, acceptedBefore);
}
