// The chart options in dat/set.ini: an older file without them reads as the defaults, the
// orbs per aspect fall back to the common orb, odd stored values read as the default, and a
// save writes only the options away from their defaults (an older program reads the file as
// before; an option set back to its default loses its key); and a cast with the options: the
// further points on the wheel and in the panel, the house system, the aspect list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "ChartFixture.h"
#include "chart/ChartSettings.h"
#include "chart/ChartTypeCast.h"
#include "chart/Zhanxing.h"
#include "platform/core/IniFile.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/RecordingRichText.h"
#include "tests/support/TestData.h"

namespace {
std::string bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
void put(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}
}  // namespace

TEST(ChartOptions, AnOlderFileReadsAsTheDefaultsAndTheCommonOrbRules) {
    const std::string path = testdata::freshTempDir("chartopt") + "set.ini";
    put(path, "[pan]\r\npos=7\r\nbkcolor=255\r\nline=1\r\n");
    const ChartSettings s = ChartSettings::load(IniFile(path));
    EXPECT_EQ(s.houseSystem, 'P');
    EXPECT_FALSE(s.precise || s.minorAspects || s.trueNode || s.lilith || s.fortune);
    const AspectOrbs o = s.aspectOrbs();
    for (int k = 0; k < 5; ++k) EXPECT_EQ(o.orb[static_cast<std::size_t>(k)], 7) << k;
    EXPECT_FALSE(o.minor);
}

TEST(ChartOptions, StoredOptionsAndOddValues) {
    const std::string path = testdata::freshTempDir("chartopt") + "set.ini";
    put(path, "[pan]\npos=5\nhouses=r\norbcon=8\norbsex=-2\norbtri=99\norbopp=6\nminor=1\n"
              "minororb=3\ntruenode=1\nlilith=0\nfortune=2\nprecise=1\n");
    ChartSettings s = ChartSettings::load(IniFile(path));
    EXPECT_EQ(s.houseSystem, 'R');
    EXPECT_TRUE(s.precise && s.minorAspects && s.trueNode && s.fortune);
    EXPECT_FALSE(s.lilith);
    const AspectOrbs o = s.aspectOrbs();
    EXPECT_EQ(o.orb[kConjunction], 8);
    EXPECT_EQ(o.orb[kSextile], 5);  // -2 is no orb: the common one
    EXPECT_EQ(o.orb[kSquare], 5);
    EXPECT_EQ(o.orb[kTrine], 5);    // 99 likewise
    EXPECT_EQ(o.orb[kOpposition], 6);
    EXPECT_TRUE(o.minor);
    EXPECT_EQ(o.orb[kQuincunx], 3);
    for (const char* odd : {"houses=X", "houses=PK", "houses="}) {
        put(path, std::string("[pan]\n") + odd + "\n");
        EXPECT_EQ(ChartSettings::load(IniFile(path)).houseSystem, 'P') << odd;
    }
}

TEST(ChartOptions, SaveWritesOnlyWhatDiffersAndRemovesWhatWentBack) {
    const std::string path = testdata::freshTempDir("chartopt") + "set.ini";
    IniFile file(path);
    ChartSettings s;
    s.save(file);
    EXPECT_EQ(bytes(path), "[pan]\r\npos=5\r\nbkcolor=16777215\r\nline=0\r\n");

    s.houseSystem = 'W';
    s.majorOrbs[kTrine] = 9;
    s.minorAspects = true;
    s.lilith = true;
    s.precise = true;
    s.save(file);
    const ChartSettings back = ChartSettings::load(IniFile(path));
    EXPECT_EQ(back.houseSystem, 'W');
    EXPECT_EQ(back.majorOrbs[kTrine], 9);
    EXPECT_TRUE(back.minorAspects && back.lilith && back.precise);
    EXPECT_FALSE(back.trueNode || back.fortune);
    EXPECT_EQ(IniFile(path).readSection("pan"),
              (std::vector<std::string>{"pos", "bkcolor", "line", "precise", "houses", "orbtri",
                                        "minor", "lilith"}));

    ChartSettings d;
    d.save(file);
    EXPECT_EQ(bytes(path), "[pan]\r\npos=5\r\nbkcolor=16777215\r\nline=0\r\n");
}

namespace {
// A cast with the given options in the program folder's dat/set.ini ("" for none).
struct OptionRig {
    RecordingCanvas canvas{800, 700};
    RecordingRichText rich;
    std::string folder;
    std::unique_ptr<MZhanXingEx> engine;

    explicit OptionRig(const std::string& options) {
        folder = testdata::freshTempDir("chartoptcast");
        std::filesystem::create_directories(folder + "dat");
        if (!options.empty()) put(folder + "dat/set.ini", "[pan]\n" + options);
        engine = std::make_unique<MZhanXingEx>(rich, canvas, folder);
    }
    bool cast(int year, int month, int day, int hour) {
        BirthRecord r = chartfixture::request();
        r.birth = chartfixture::moment(year, month, day, hour, 0);
        r.latitude = 40;
        return engine->castNatal(r);
    }
};
}  // namespace

TEST(ChartOptions, FurtherPointsTakeTheirOwnLabelSlotsAndPanelLinesAndTheReadingSkipsThem) {
    for (const auto& [y, m, d] : {std::array<int, 3>{1990, 5, 17}, {1962, 2, 4}, {2020, 12, 21},
                                  {1821, 3, 1}, {2100, 7, 7}}) {
        OptionRig plain("");
        OptionRig shown("truenode=1\nlilith=1\nfortune=1\nminor=1\n");
        ASSERT_TRUE(plain.cast(y, m, d, 8));
        ASSERT_TRUE(shown.cast(y, m, d, 8));
        EXPECT_EQ(shown.rich.text(), plain.rich.text()) << "the reading has no texts for them";

        // Wheel labels: fifteen, one cell apart at least.
        std::vector<RecordingCanvas::Op> labels;
        for (const auto& t : shown.canvas.texts())
            if (t.fontName == "宋体" && t.fontSize == 14 && t.b < 600 &&
                std::hypot(t.a + t.c / 2.0 - 264, t.b + t.d / 2.0 - 264) < 200)
                labels.push_back(t);
        ASSERT_EQ(labels.size(), 15u) << y;
        for (std::size_t i = 0; i < labels.size(); ++i)
            for (std::size_t j = i + 1; j < labels.size(); ++j)
                EXPECT_GE(std::hypot(labels[i].a - labels[j].a, labels[i].b - labels[j].b),
                          labels[i].c)
                    << labels[i].text << " and " << labels[j].text << " in " << y;

        // Panel: the three lines follow the bodies' lines, and the grid starts below them.
        const auto* south = shown.canvas.findText("降 ");
        const auto* fortune = shown.canvas.findText("福 ");
        ASSERT_TRUE(south && fortune && shown.canvas.findText("真 ") && shown.canvas.findText("莉 "));
        EXPECT_GT(fortune->b, south->b);
        EXPECT_EQ(plain.canvas.findText("福 "), nullptr);
        auto gridRows = [](const RecordingCanvas& c) {
            std::vector<int> rows;
            for (const auto& l : c.lines())
                if (l.y1 == l.y2 && l.x1 == 264 + 200 + 8) rows.push_back(l.y1);
            std::sort(rows.begin(), rows.end());
            return rows;
        };
        const auto rows = gridRows(shown.canvas);
        const auto plainRows = gridRows(plain.canvas);
        ASSERT_EQ(rows.size(), 12u);
        ASSERT_EQ(plainRows.size(), 12u);
        EXPECT_GT(rows[0], fortune->b + 16);
        // The grid's cells keep their height (within a pixel) and hold a line of text.
        EXPECT_GE(rows[1] - rows[0], plainRows[1] - plainRows[0] - 1);
        EXPECT_GE(rows[1] - rows[0], RecordingCanvas::heightAt(12));
    }
}

// Every further point on: the aspect grid of fifteen points fits below the panel's lines, and
// its names and symbols take a font that fits a cell instead of running into each other.
TEST(ChartOptions, AGridOfEveryPointKeepsItsTextInsideTheCells) {
    OptionRig all("truenode=1\nlilith=1\nfortune=1\nminor=1\nchiron=1\nceres=1\npallas=1\njuno=1\nvesta=1\n");
    ASSERT_TRUE(all.cast(1990, 5, 17, 8));
    const int x0 = 264 + 200 + 8;
    std::vector<int> rows;
    for (const auto& l : all.canvas.lines())
        if (l.y1 == l.y2 && l.x1 == x0) rows.push_back(l.y1);
    std::sort(rows.begin(), rows.end());
    ASSERT_EQ(rows.size(), 17u);  // fifteen points and the heading row: seventeen lines
    const int cell = rows[1] - rows[0];
    int inGrid = 0;
    for (const auto& t : all.canvas.texts()) {
        if (t.a < x0 || t.b < rows[0]) continue;
        ++inGrid;
        EXPECT_LE(t.d, cell) << t.text;
        EXPECT_LE(t.b + t.d, rows.back() + 1) << t.text;
        EXPECT_LE(t.a + t.c, all.canvas.width()) << t.text;
    }
    EXPECT_GE(inGrid, 30);  // the names along both edges and the aspects
}

TEST(ChartOptions, HouseSystemChosenInTheSettingsAndAspectListOfTheCast) {
    OptionRig rig("houses=E\nminor=1\nminororb=2\n");
    ASSERT_TRUE(rig.cast(1990, 5, 17, 8));
    const NatalPoints& n = rig.engine->natal();
    for (std::size_t i = 0; i < 12; ++i)
        EXPECT_NEAR(std::fmod(n.cusps[i] - n.asc.longitude + 720.0, 360.0), 30.0 * static_cast<double>(i), 1e-9);
    for (const ChartPoint& b : n.bodies)  // houses follow the chosen cusps
        EXPECT_NEAR(b.pastCusp, std::fmod(b.longitude - n.asc.longitude + 720.0, 30.0), 1e-3);
    const auto aspects = rig.engine->natalAspects();
    const auto lines = rig.engine->aspectList(false);
    ASSERT_EQ(lines.size(), aspects.size());
    for (const Aspect& a : aspects) {
        EXPECT_LT(a.a, 10);  // no further point was asked for
        EXPECT_LE(a.orb, a.kind < 5 ? 5.0 : 2.0);
    }
    EXPECT_TRUE(rig.engine->transitAspects().empty());
}

// Chiron and the asteroids as further points: stored keys, their glyphs on the wheel and lines
// in the panel with the motion mark, their aspects within the minor-aspect orb, the reading
// untouched; the fixed stars' conjunctions within their orb and their marks on the ring.
TEST(ChartOptions, AsteroidsAndFixedStars) {
    const std::string path = testdata::freshTempDir("chartopt") + "set.ini";
    put(path, "[pan]\nchiron=1\nvesta=1\nstars=1\nstarorb=90\nstarmarks=1\n");
    const ChartSettings s = ChartSettings::load(IniFile(path));
    EXPECT_TRUE(s.asteroids[0] && s.asteroids[4] && !s.asteroids[1] && s.fixedStars && s.starMarks);
    EXPECT_EQ(s.starOrb, 90);

    OptionRig plain("");
    OptionRig shown("chiron=1\nceres=1\npallas=1\njuno=1\nvesta=1\nminororb=3\nstars=1\nstarorb=120\nstarmarks=1\n");
    ASSERT_TRUE(plain.cast(1990, 5, 17, 8));
    ASSERT_TRUE(shown.cast(1990, 5, 17, 8));
    EXPECT_EQ(shown.rich.text(), plain.rich.text());
    for (const char* glyph : {"\u26B7", "\u26B3", "\u26B4", "\u26B5", "\u26B6"}) {
        EXPECT_NE(shown.canvas.findText(glyph), nullptr) << glyph;                     // wheel
        EXPECT_NE(shown.canvas.findText(std::string(glyph) + " "), nullptr) << glyph;  // panel
    }
    int asteroidAspects = 0;
    for (const Aspect& a : shown.engine->natalAspects())
        if (a.a >= 15 || a.b >= 15) {
            EXPECT_LE(a.orb, 3.0);
            ++asteroidAspects;
        }
    EXPECT_GT(asteroidAspects, 0);
    // Every contact is a star within two degrees of a point, listed after the aspects.
    const auto& contacts = shown.engine->starContacts();
    ASSERT_FALSE(contacts.empty());
    for (const Aspect& c : contacts) EXPECT_LE(c.orb, 2.0);
    const auto lines = shown.engine->aspectList(false);
    EXPECT_EQ(lines.size(), shown.engine->natalAspects().size() + contacts.size());
    EXPECT_NE(shown.canvas.findText("★"), nullptr);
    EXPECT_EQ(plain.canvas.findText("★"), nullptr);
    // One mark a star on the zodiac ring; the aspect grid takes the five after the ten bodies.
    EXPECT_GE(shown.canvas.lines().size(), plain.canvas.lines().size() + 50);
    int gridRows = 0;
    for (const auto& l : shown.canvas.lines()) gridRows += l.y1 == l.y2 && l.x1 == 264 + 200 + 8;
    EXPECT_EQ(gridRows, 15 + 2);
    // A transit takes them too, within the tables' years only.
    TransitRequest t;
    t.when = chartfixture::moment(2030, 1, 1, 12, 0);
    ASSERT_TRUE(shown.engine->castTransit(t));
    EXPECT_TRUE(shown.engine->transitAsteroidsShown());
    t.when = chartfixture::moment(2250, 1, 1, 12, 0);
    ASSERT_TRUE(shown.engine->castTransit(t));
    EXPECT_FALSE(shown.engine->transitAsteroidsShown());
    for (const Aspect& a : shown.engine->transitAspects()) EXPECT_LT(a.a, 15);
}

// A synastry with Chiron on: both people's Chiron in the inter-aspects (ids 14 and up), each
// within the minor-aspect orb, named in the list; the second person's Chiron in the inner ring.
TEST(ChartOptions, ChironInASynastry) {
    OptionRig rig("chiron=1\nminororb=4\n");
    charttypes::TypeRequest q;
    q.kind = charttypes::Kind::Synastry;
    q.a = chartfixture::request();
    q.a.birth = chartfixture::moment(1985, 3, 11, 12, 0);
    q.b = chartfixture::request();
    q.b.name = "李四";
    q.b.birth = chartfixture::moment(1990, 7, 1, 8, 0);
    charttypes::TypeResult r;
    std::string error;
    ASSERT_TRUE(charttypes::castChartType(*rig.engine, q, r, error)) << error;
    int withChiron = 0;
    for (const Aspect& a : r.aspects)
        if (a.a == 14 || a.b == 14) {
            EXPECT_LE(a.orb, 4.0);
            ++withChiron;
        }
    EXPECT_GT(withChiron, 0);
    EXPECT_EQ(r.aspectText.size(), r.aspects.size());
    bool named = false;
    for (const std::string& line : r.aspectText) named = named || line.find("凯龙星") != std::string::npos;
    EXPECT_TRUE(named);
    EXPECT_TRUE(rig.engine->transitAsteroidsShown());
    EXPECT_NE(rig.engine->transitAsteroids()[0].longitude, rig.engine->extraPoints()[kChiron].longitude);
}
