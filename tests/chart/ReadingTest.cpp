// The reading: its topics, branches and aspect loop, and how it is shown in the rich text.
#include <gtest/gtest.h>

#include "chart/Catalogue.h"
#include "ChartFixture.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/RecordingRichText.h"

using chartfixture::moment;
using chartfixture::natalPoints;

namespace {
std::string T(int id) { return catalogue::text(static_cast<uint16_t>(id)); }

struct Rig {
    RecordingCanvas canvas{800, 700};
    RecordingRichText rich{11};
    MZhanXingEx engine{rich, canvas, "/nonexistent/"};

    std::string read(const NatalPoints& n, uint8_t orb, bool male = true, int lunarDay = 8,
                     int blood = 0) {
        BirthRecord r = chartfixture::request();
        r.male = male;
        r.bloodType = static_cast<uint8_t>(blood);
        engine.setChartForTest(ChartMode::Natal, r, n, moment(1990, 5, 1, 8, 0),
                               moment(1990, 4, lunarDay, 8, 0), {7, 17, 3, 5}, orb);
        engine.writeReading();
        return engine.reading();
    }
};

std::size_t count(const std::string& s, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t p = s.find(what); p != std::string::npos; p = s.find(what, p + 1)) ++n;
    return n;
}
}  // namespace

TEST(Reading, TopicsInOrderWithTheirTexts) {
    Rig rig;
    const NatalPoints n = natalPoints(10, 30, chartfixture::spreadBodies());
    const std::string R = rig.read(n, 5);
    const int s = n.bodies[0].sign;
    ASSERT_EQ(R.rfind("星座分析:\n★性格特征\n【基本特质】", 0), 0u);
    std::size_t last = 0;
    for (const char* t : {"★性格特征", "★职业财富", "★婚姻爱情", "★指数分析", "血型评说:",
                          "行星与星座:", "行星相位断:", "行星入12宫:"}) {
        const std::size_t p = R.find(t);
        ASSERT_NE(p, std::string::npos) << t;
        EXPECT_GT(p, last) << t;
        last = p;
    }
    EXPECT_NE(R.find("\n【基本特质】" + T(100 + s) + "\n【性格素描】"), std::string::npos);
    EXPECT_NE(R.find("\n【从月相看】" + T(228) + "\n\n★职业财富"), std::string::npos);
    EXPECT_NE(R.find("\n【职业倾向】" + T(300 + s) + "\n【事业心】" + T(460 + s)), std::string::npos);
    EXPECT_NE(R.find("\n【从星座看老板】\n" + T(420 + s)), std::string::npos);
    EXPECT_NE(R.find("\n【与其他星座关系】" + T(900 + s) + "\n\n★婚姻爱情"), std::string::npos);
    EXPECT_NE(R.find("\n【挑花指数】" + T(860 + s) + "\n\n血型评说:\n" + T(50)), std::string::npos);
    EXPECT_NE(R.find("\n【生辰星位在" + std::string(SignNames[n.asc.sign]) + "】" + T(1000 + n.asc.sign)),
              std::string::npos);
    EXPECT_NE(R.find("\n【月亮在巨蟹】" + T(1023)), std::string::npos);
    EXPECT_EQ(count(R, "【太阳在"), 0u);
    // Houses: one line per body after a single break.
    const std::size_t h = R.find("行星入12宫:\n");
    ASSERT_NE(h, std::string::npos);
    EXPECT_NE(R[h - 2], '\n');
    EXPECT_EQ(count(R.substr(h), "●"), 10u);
    EXPECT_NE(R.find("●太阳入" + T(3000 + n.bodies[0].house) + "\n"), std::string::npos);
    EXPECT_EQ(R.substr(R.size() - 1), "\n");
}

TEST(Reading, MaleAndFemaleBranches) {
    Rig rig;
    const NatalPoints n = natalPoints(10, 30, chartfixture::spreadBodies());
    const std::string m = rig.read(n, 5, true);
    EXPECT_NE(m.find("【男性爱情】"), std::string::npos);
    EXPECT_NE(m.find("【男性性爱】"), std::string::npos);
    EXPECT_EQ(m.find("【女性"), std::string::npos);
    const std::string f = rig.read(n, 5, false);
    EXPECT_NE(f.find("【女性爱情】" + T(620 + n.bodies[0].sign)), std::string::npos);
    EXPECT_NE(f.find("【女性性爱】"), std::string::npos);
    EXPECT_EQ(f.find("【男性"), std::string::npos);
}

TEST(Reading, LunarDayThirtyAndBloodTypes) {
    Rig rig;
    const NatalPoints n = natalPoints(10, 30, chartfixture::spreadBodies());
    const std::string R = rig.read(n, 5, true, 30);
    EXPECT_NE(R.find("【从月相看】\n\n★职业财富"), std::string::npos);
    const std::string ab = rig.read(n, 5, true, 1, 2);
    EXPECT_NE(ab.find("血型评说:\n" + T(70) + "\n" + T(71) + "\n" + T(72) + "\n\n行星与星座:"),
              std::string::npos);
    EXPECT_NE(ab.find("【从月相看】" + T(221)), std::string::npos);
    const std::string o = rig.read(n, 5, true, 1, 3);
    EXPECT_NE(o.find("血型评说:\n" + T(80) + "\n" + T(81) + "\n" + T(82) + "\n"), std::string::npos);
}

TEST(Reading, AspectLoopAndOrb) {
    Rig rig;
    std::array<double, 12> b = chartfixture::spreadBodies();
    b[0] = 0;
    b[1] = 125;
    NatalPoints n = natalPoints(10, 30, b);
    std::string R = rig.read(n, 10);
    EXPECT_NE(R.find("\n【太阳和月亮三分】" + T(2013)), std::string::npos);
    b[1] = 131;
    n = natalPoints(10, 30, b);
    R = rig.read(n, 10);
    EXPECT_EQ(R.find("【太阳和月亮"), std::string::npos);
    // Every aspect heading appears once, for i < j only.
    int expected = 0;
    for (int i = 0; i < 9; ++i)
        for (int j = i + 1; j < 10; ++j)
            if (MZhanXingEx::aspectKind(b[i], b[j], 10) >= 0) ++expected;
    const std::size_t from = R.find("行星相位断:");
    const std::size_t to = R.find("行星入12宫:");
    EXPECT_EQ(static_cast<int>(count(R.substr(from, to - from), "\n【")), expected);
    // Orb 0: no aspect at all; the next topic follows after one line break.
    R = rig.read(n, 0);
    EXPECT_NE(R.find("行星相位断:\n行星入12宫:\n●太阳入"), std::string::npos);
}

TEST(Reading, ShownWithColouredHeadings) {
    Rig rig;
    rig.read(natalPoints(10, 30, chartfixture::spreadBodies()), 5);
    rig.engine.showReading();
    EXPECT_TRUE(rig.engine.reading().empty());
    const auto& ops = rig.rich.ops();
    ASSERT_GE(ops.size(), 3u);
    EXPECT_EQ(ops[0].name, "clear");
    EXPECT_EQ(ops[1].name, "defaults");
    EXPECT_EQ(ops[1].a, 11);  // the control's own font size
    EXPECT_EQ(ops[1].color, (Rgb{0, 0, 0}));
    EXPECT_FALSE(ops[1].style.bold);
    int red = 0;
    int blue = 0;
    for (const auto& s : rig.rich.spans()) {
        const std::string text = rig.rich.substr(s.start, s.length);
        if (s.hasColor && s.color == (Rgb{255, 0, 0})) {
            ++red;
            EXPECT_EQ(text.rfind("★", 0), 0u) << text;
        }
        if (s.hasColor && s.color == (Rgb{0, 0, 255})) {
            ++blue;
            EXPECT_EQ(text, TopicHeadings[blue - 1]);
        }
        if (s.hasStyle) {
            EXPECT_TRUE(s.style.bold) << text;
        }
    }
    EXPECT_EQ(red, 4);  // also ★性格特征 at position 6, before the search start of 10
    EXPECT_EQ(blue, 5);
    EXPECT_EQ(rig.rich.selectionStart(), 0);
    EXPECT_EQ(rig.rich.selectionLength(), 0);
}
