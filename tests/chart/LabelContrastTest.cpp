// Labels on the background chosen for the chart: never less contrast than the chart's own
// labels have on white; on white nothing changes.
#include <gtest/gtest.h>

#include "ChartFixture.h"
#include "chart/LabelContrast.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/RecordingRichText.h"

using Kind = RecordingCanvas::Kind;

namespace {
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kGold{228, 187, 0};
constexpr Rgb kYellow{255, 255, 0};

// Every text of a natal chart drawn on the background (0x00BBGGRR).
std::vector<RecordingCanvas::Op> chartTexts(uint32_t background) {
    RecordingCanvas canvas{800, 700};
    RecordingRichText rich;
    MZhanXingEx engine{rich, canvas, "/nonexistent/"};
    engine.setChartForTest(ChartMode::Natal, chartfixture::request(),
                           chartfixture::natalPoints(10, 30, chartfixture::spreadBodies()),
                           chartfixture::moment(1990, 5, 1, 8, 0), chartfixture::moment(1990, 4, 7, 8, 0),
                           {7, 17, 3, 5}, 5, 0, background);
    engine.layoutLabels(false);
    engine.drawRings();
    engine.drawZodiac();
    engine.drawBodyLabels();
    engine.drawCusps();
    engine.drawPanel();
    return canvas.texts();
}
}  // namespace

TEST(LabelContrast, TheBarIsTheGoldNodeLabelsOnWhite) {
    EXPECT_NEAR(labelcontrast::defaultContrast(), labelcontrast::ratio(kGold, kWhite), 1e-12);
    EXPECT_NEAR(labelcontrast::ratio(Rgb{0, 0, 0}, kWhite), 21.0, 1e-9);
    EXPECT_NEAR(labelcontrast::ratio(kYellow, kYellow), 1.0, 1e-12);
    // On white every colour stays, even one paler than the gold.
    for (const Rgb c : {kGold, Rgb{255, 240, 200}, Rgb{255, 255, 255}, Rgb{0, 0, 255}})
        EXPECT_EQ(labelcontrast::readableOn(c, kWhite), c);
}

TEST(LabelContrast, PaleLabelsAreShadedAwayFromTheBackgroundJustEnough) {
    const double bar = labelcontrast::defaultContrast();
    const Rgb onYellow = labelcontrast::readableOn(kGold, kYellow);
    EXPECT_NE(onYellow, kGold);
    EXPECT_GE(labelcontrast::ratio(onYellow, kYellow), 3.0 - 1e-9);  // large text's 3:1
    EXPECT_LT(labelcontrast::ratio(onYellow, kYellow), 3.3) << "just as far as needed";
    EXPECT_LT(onYellow.r + onYellow.g, kGold.r + kGold.g) << "a darker shade of itself";
    EXPECT_GT(onYellow.r, onYellow.b) << "still gold, not black";
    // Red already reads on yellow.
    EXPECT_EQ(labelcontrast::readableOn(Rgb{255, 0, 0}, kYellow), (Rgb{255, 0, 0}));
    // On a dark background black turns lighter.
    const Rgb navy{0, 0, 90};
    const Rgb lighter = labelcontrast::readableOn(Rgb{0, 0, 0}, navy);
    EXPECT_GT(lighter.r, 0);
    EXPECT_GE(labelcontrast::ratio(lighter, navy), bar - 1e-9);
    // A mid grey background still gets the best that black or white give.
    const Rgb grey{118, 118, 118};
    EXPECT_GE(labelcontrast::ratio(labelcontrast::readableOn(grey, grey), grey), bar - 1e-9);
}

TEST(LabelContrast, EveryChartLabelReadsOnAChosenBackgroundAndWhiteIsUntouched) {
    const double bar = labelcontrast::defaultContrast();
    for (const uint32_t bg : {0x0000FFFFu, 0x0080FFFFu, 0x00400000u, 0x00808080u}) {
        const Rgb background = Rgb::fromBgr(bg);
        for (const auto& t : chartTexts(bg))
            EXPECT_GE(labelcontrast::ratio(t.fontColor, background), bar - 1e-9)
                << t.text << " on " << std::hex << bg;
    }
    // On white the labels keep their own colours: the gold of the nodes among them.
    bool gold = false;
    for (const auto& t : chartTexts(0xFFFFFFu)) gold = gold || t.fontColor == kGold;
    EXPECT_TRUE(gold);
}
