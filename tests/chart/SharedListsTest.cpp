// The word lists and text readers that the windows and the command line share.
#include <gtest/gtest.h>

#include "astro/DateText.h"
#include "chart/PlaceText.h"
#include "chart/WordLists.h"

TEST(DateText, OneReaderForDatesAndInstants) {
    DateTimeFields d{};
    ASSERT_TRUE(parseDateTimeText("2004-2-3 10:00", d));
    EXPECT_EQ(d.year, 2004);
    EXPECT_EQ(d.month, 2);
    EXPECT_EQ(d.day, 3);
    EXPECT_EQ(d.hour, 10);
    EXPECT_EQ(d.minute, 0);
    ASSERT_TRUE(parseDateTimeText("  -4712-01-01   9:05 ", d));
    EXPECT_EQ(d.year, -4712);
    EXPECT_EQ(d.minute, 5);
    for (const char* bad : {"2004-2-3", "2004-13-01 10:00", "2004-2-32 10:00", "2004-2-3 24:00",
                            "2004-2-3 10:60", "2004-2-3 10:00x", "2004-02-003 10:00", "99999-1-1 0:0",
                            "2004/2/3 10:00", "", "2004-2-3 :10"}) {
        DateTimeFields untouched{1, 2, 3, 4, 5};
        EXPECT_FALSE(parseDateTimeText(bad, untouched)) << bad;
        EXPECT_EQ(untouched.year, 1) << bad;
    }
    EXPECT_TRUE(parseDateText("1582-10-4", d));
    EXPECT_TRUE(dateExists(d));
    EXPECT_TRUE(parseDateText("1582-10-5", d));
    EXPECT_FALSE(dateExists(d));
    EXPECT_TRUE(parseDateText("2001-2-29", d));
    EXPECT_FALSE(dateExists(d));
    EXPECT_FALSE(parseDateText("2001-2-28 10:00", d));
}

TEST(PlaceText, CoordinatesCheckedInThePanelsOrder) {
    const auto check = [](const char* lon, const char* lat) { return checkCoordinates(lon, lat); };
    EXPECT_EQ(check("12", "30:00").caption, "格式错误");
    EXPECT_EQ(check("120:", "30:00").message, kCoordinateFormatExample);
    EXPECT_EQ(check("181:00", "90:00").message, "经度在-180至180之间");  // longitude first
    EXPECT_EQ(check("120:60", "30:00").message, "分数在0-59");
    EXPECT_EQ(check("120:00", "91:00").caption, "纬度错误");
    EXPECT_EQ(check("180:00", "30:00").caption, "数据无效");
    EXPECT_EQ(check("120:00", "90:00").caption, "数据无效");
    const CoordinateCheck west = check("-120:30", "-0:30");
    ASSERT_TRUE(west.ok);
    EXPECT_FLOAT_EQ(west.longitude, -120.5f);
    EXPECT_FLOAT_EQ(west.latitude, 0.5f);  // the sign belongs to the degrees
}

TEST(PlaceValues, ParseAndShowDegreesAndMinutes) {
    float lon = 0, lat = 0;
    ASSERT_TRUE(parsePlaceValue("119:18*26:5", lon, lat));
    EXPECT_NEAR(lon, 119.3, 1e-5);
    EXPECT_NEAR(lat, 26 + 5 / 60.0, 1e-5);
    EXPECT_FALSE(parsePlaceValue("119:1.5*26:5", lon, lat));
    EXPECT_FALSE(parsePlaceValue("119:18", lon, lat));
    EXPECT_FALSE(parsePlaceValue("abc:18*26:5", lon, lat));
    EXPECT_EQ(degreesText(119.3f), "119:18");
    EXPECT_EQ(degreesText(static_cast<float>(119 + 5 / 60.0)), "119:05");
    EXPECT_EQ(degreesText(30.0f), "30:00");
    EXPECT_EQ(degreesText(10.0f + 0.5f / 60.0f), "10:00");  // a tie of the minutes goes down
    // Every table value shows again as it was written, to the minute.
    int worst = 0;
    for (int d = 0; d < 180; d += 7)
        for (int m = 0; m < 60; ++m) {
            ASSERT_TRUE(parsePlaceValue(std::to_string(d) + ":" + std::to_string(m) + "*0:0", lon, lat));
            const std::string want = std::to_string(d) + (m < 10 ? ":0" : ":") + std::to_string(m);
            if (degreesText(lon) != want) ++worst;
            // What the panel shows reads back as the same value.
            const CoordinateCheck back = checkCoordinates(degreesText(lon), "26:04");
            if (!back.ok || back.longitude != lon) ++worst;
        }
    std::printf("table values not shown back exactly: %d\n", worst);
    EXPECT_EQ(worst, 0);
}

TEST(PlaceText, TableValuesAsTheEditorShowsAndWritesThem) {
    const PlaceValueParts p = splitPlaceValue("119:5*26");
    EXPECT_EQ(p.longitudeDegrees, "119");
    EXPECT_EQ(p.longitudeMinutes, "5");
    EXPECT_EQ(p.latitudeDegrees, "26");
    EXPECT_EQ(p.latitudeMinutes, "");
    EXPECT_EQ(formatPlaceValue(119, 5, 26, 5), "119:5*26:5");
}

TEST(WordLists, HoursZonesAndProvinces) {
    EXPECT_EQ(HourNames()[0], "0时子");
    EXPECT_EQ(HourNames()[1], "1时丑");
    EXPECT_EQ(HourNames()[22], "22时亥");
    EXPECT_EQ(HourNames()[23], "23时子");
    EXPECT_EQ(ZoneNames()[0], "零时区");
    EXPECT_EQ(ZoneNames()[8], "东八区");
    EXPECT_EQ(ZoneNames()[12], "中十二区");
    EXPECT_EQ(ZoneNames()[13], "西一区");
    EXPECT_EQ(ZoneNames()[23], "西十一区");
    EXPECT_STREQ(ProvinceNames[kUnknownProvince], "未知地");
    EXPECT_EQ(numberedItems(0, 59, "分").back(), "59分");
}
