// Finding places by name in the world atlas and the province table, and the world options of
// tarmin-cli.
#include <gtest/gtest.h>

#include "atlas/WorldAtlas.h"
#include "tests/support/CliRunner.h"
#include "tests/support/TestData.h"

namespace {
const atlas::WorldAtlas& sharedAtlas() {
    static const atlas::WorldAtlas a(testdata::sourceDir() + "/resources/dat/dili.ini");
    return a;
}
}  // namespace

TEST(Atlas, FindsByLatinAndChineseNameWithCountryAndZone) {
    const auto& a = sharedAtlas();
    auto v = a.find("kolkata");
    ASSERT_FALSE(v.empty());
    EXPECT_EQ(v[0].latinName, "Kolkata");
    EXPECT_EQ(v[0].zoneId, "Asia/Kolkata");
    EXPECT_NEAR(v[0].longitude, 88.36, 0.01);
    EXPECT_NEAR(v[0].latitude, 22.56, 0.01);
    // Chinese names come from the catalogue's translations, whatever the program's language.
    v = a.find("北京");
    ASSERT_FALSE(v.empty());
    EXPECT_TRUE(v[0].world);
    EXPECT_EQ(v[0].latinName, "Beijing");
    EXPECT_EQ(v[0].country, "中国");
    EXPECT_EQ(v[0].zoneId, "Asia/Shanghai");
    // The same name in several provinces is told apart by the province; the province table
    // comes first, with the panel's province and city indexes.
    v = a.find("朝阳");
    ASSERT_GE(v.size(), 4u);
    EXPECT_FALSE(v[0].world);
    EXPECT_EQ(v[0].region, "北京市");
    EXPECT_EQ(v[0].province, 1);
    EXPECT_EQ(v[0].placeText(), "北京市-朝阳区");
    EXPECT_NE(v[0].label(), v[3].label());
    // The catalogue's traditional names are found and shown simplified: the two 温哥华.
    v = a.find("温哥华");
    ASSERT_GE(v.size(), 2u);
    EXPECT_EQ(v[0].name, "温哥华");
    EXPECT_EQ(v[1].name, "温哥华");
    EXPECT_NE(v[0].country, v[1].country);
    EXPECT_TRUE(a.find("").empty());
    EXPECT_TRUE(a.find("Xyzzyville").empty());
}

TEST(Atlas, WorldCityByIndexAndProvinceZones) {
    const auto& a = sharedAtlas();
    const auto v = a.find("New York");
    ASSERT_FALSE(v.empty());
    const auto again = a.worldCity(v[0].worldIndex);
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ(again->latinName, v[0].latinName);
    EXPECT_FALSE(a.worldCity(-1).has_value());
    EXPECT_FALSE(a.worldCity(a.worldCount()).has_value());
    EXPECT_EQ(atlas::provinceZone(1), "Asia/Shanghai");
    EXPECT_EQ(atlas::provinceZone(31), "Asia/Taipei");
    EXPECT_EQ(atlas::provinceZone(32), "Asia/Hong_Kong");
}

TEST(CliWorld, CityAndZoneAtTheBirth) {
    REQUIRE_CLI();
    auto first = [](const testcli::Result& r) { return testcli::lines(r.out).at(0); };
    auto r = testcli::run("chart --city \"New York\" --date \"1990-07-01 10:00\"");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(first(r), "offset\tUTC-04:00 (America/New_York, summer time)");
    r = testcli::run("chart --city 北京 --date \"1988-07-01 10:00\"");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(first(r), "offset\tUTC+09:00 (Asia/Shanghai, summer time)");
    r = testcli::run("chart --city Kolkata --date \"1990-01-01 10:00\"");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(first(r), "offset\tUTC+05:30 (Asia/Kolkata, standard time)");
    // An exact name beats partial ones (阿拉萨图巴), a place of both lists counts once, and
    // before standard time the clock is the mean time of the place's own longitude (91°10′ E).
    r = testcli::run("chart --city 拉萨 --date \"1880-03-01 12:00\"");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(first(r), "offset\tUTC+06:04:40 (Asia/Shanghai, local mean time)");
    // "NAME, COUNTRY" and "NAME, REGION" pick among namesakes.
    for (const auto& [city, zone] : {std::pair<const char*, const char*>{"Boston, UK", "Europe/London"},
                                     {"温哥华, 美国", "America/Los_Angeles"}}) {
        r = testcli::run(std::string("chart --city \"") + city + "\" --date \"1990-01-01 10:00\"");
        ASSERT_EQ(r.status, 0) << city << r.err;
        EXPECT_NE(first(r).find(zone), std::string::npos) << city << " " << first(r);
    }
    // A lunar date is looked up at its Gregorian day (五月十八 1988 is 1 July).
    r = testcli::run("chart --lunar --city 北京 --date \"1988-05-18 10:00\"");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(first(r), "offset\tUTC+09:00 (Asia/Shanghai, summer time)");
    // A given zone or offset wins over the city's; the same instant gives the same chart.
    const auto byZone = testcli::run("chart --lon 88:22 --lat 22:34 --tz Asia/Kolkata --date \"1990-01-01 10:00\"");
    const auto byOffset = testcli::run("chart --lon 88:22 --lat 22:34 --tz +05:30 --date \"1990-01-01 10:00\"");
    ASSERT_EQ(byZone.status, 0) << byZone.err;
    ASSERT_EQ(byOffset.status, 0) << byOffset.err;
    const auto a = testcli::lines(byZone.out), b = testcli::lines(byOffset.out);
    EXPECT_EQ(std::vector<std::string>(a.begin() + 1, a.end()), std::vector<std::string>(b.begin() + 1, b.end()));
    // UTC+5:30 at 10:00 is UTC+8 at 12:30: the same chart as the zone list's 东八区 then.
    const auto east8 = testcli::run("chart --lon 88:22 --lat 22:34 --date \"1990-01-01 12:30\"");
    EXPECT_EQ(std::vector<std::string>(a.begin() + 1, a.end()), testcli::lines(east8.out));
}

TEST(CliWorld, BadPlacesAndClocksAreRefusedNeverGuessed) {
    REQUIRE_CLI();
    auto r = testcli::run("chart --city Xyzzyville --date \"1990-01-01 10:00\"");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Xyzzyville"), std::string::npos) << r.err;
    r = testcli::run("chart --city Vancouver --date \"1990-01-01 10:00\"");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("America/Vancouver"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("America/Los_Angeles"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
    r = testcli::run("chart --tz Mars/Olympus --date \"1990-01-01 10:00\"");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Mars/Olympus"), std::string::npos) << r.err;
    r = testcli::run("chart --city 北京 --date \"1986-05-04 02:30\"");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("UTC+08:00"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("UTC+09:00"), std::string::npos) << r.err;
    r = testcli::run("chart --city \"New York\" --date \"1990-10-28 01:30\"");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("UTC-04:00"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("UTC-05:00"), std::string::npos) << r.err;
    r = testcli::run("chart --tz auto --date \"1990-01-01 10:00\"");
    EXPECT_EQ(r.status, 1);

    r = testcli::run("places kolkata");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto f = testcli::fields(testcli::lines(r.out).at(0));
    ASSERT_EQ(f.size(), 6u);
    EXPECT_EQ(f[5], "Asia/Kolkata");
    EXPECT_EQ(testcli::run("places Xyzzyville").status, 1);
    EXPECT_EQ(testcli::run("places").status, 2);
}
