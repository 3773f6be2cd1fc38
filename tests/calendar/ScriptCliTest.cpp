// tarmin-cli --hant: the calendar's and the chart's Chinese in traditional characters, the
// branch 丑 of the pillars kept, the reading file and the chart converted with the typed name as
// typed; a wrong value is a usage error.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/support/CliRunner.h"
#include "tests/support/TestData.h"

TEST(ScriptCli, HantConvertsPrintedAndWrittenTexts) {
    REQUIRE_CLI();
    testcli::Result r = testcli::run("terms 2024 --hant tw");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("驚蟄"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("穀雨"), std::string::npos);
    EXPECT_EQ(r.out.find("惊蛰"), std::string::npos);

    // 1985-01-10 02:30: years 甲子, month 丁丑, hour 乙丑 (the branch, not 醜).
    r = testcli::run("pillars \"1985-01-10 02:30\" --hant hk");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("甲子 丁丑 己酉 乙丑"), std::string::npos) << r.out;

    const std::string dir = testdata::freshTempDir("hant");
    const std::string reading = dir + "reading.txt";
    r = testcli::run("chart --name 张三丰 --date \"1990-05-17 08:30\" --hant tw --reading " + reading +
                     " --svg " + dir + "chart.svg");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("天蠍"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("升交點"), std::string::npos);
    std::ifstream in(reading, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("性格特徵"), std::string::npos);
    EXPECT_EQ(text.find("性格特征"), std::string::npos);
    // The chart's texts converted, the typed name drawn as typed.
    std::ifstream svgIn(dir + "chart.svg", std::ios::binary);
    const std::string svg((std::istreambuf_iterator<char>(svgIn)), {});
    EXPECT_NE(svg.find("天蠍"), std::string::npos);
    EXPECT_NE(svg.find("张三丰"), std::string::npos);
    EXPECT_EQ(svg.find("張三豐"), std::string::npos);

    r = testcli::run("synastry --name 张三丰 --date \"1980-01-01 10:00\" --b-name 李四 "
                     "--b-date \"1982-02-02 12:00\" --hant hk");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("张三丰的"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("張三豐"), std::string::npos);

    EXPECT_EQ(testcli::run("terms 2024 --hant cn").status, 2);
    EXPECT_EQ(testcli::run("terms 2024 --hant").status, 2);
}
