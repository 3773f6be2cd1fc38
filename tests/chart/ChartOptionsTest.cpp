// The chart options in dat/set.ini: an older file without them reads as the defaults, the
// orbs per aspect fall back to the common orb, odd stored values read as the default, and a
// save writes only the options away from their defaults (an older program reads the file as
// before; an option set back to its default loses its key).
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "chart/ChartSettings.h"
#include "platform/core/IniFile.h"
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
