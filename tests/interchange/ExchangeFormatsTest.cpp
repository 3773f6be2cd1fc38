// The chart exchange readers and writers against charts worked by hand: the notations other
// programs write, the instant of a Julian day, the charts the format's own documentation
// gives, spreadsheet tables, and hostile lines reported with their line and reason.
#include <gtest/gtest.h>

#include "interchange/Aaf.h"
#include "interchange/Csv.h"
#include "interchange/Notation.h"

using namespace interchange;

TEST(ExchangeNotation, DatesTimesAnglesAndOffsetsInTheirUsualForms) {
    CivilDate d;
    for (const char* s : {"27.9.1970", "27/09/1970", "1970-09-27", "1970/9/27", "19700927", "1970年9月27日", "9/27/1970"}) {
        ASSERT_TRUE(readDate(s, d)) << s;
        EXPECT_EQ(d.year * 10000 + d.month * 100 + d.day, 19700927) << s;
    }
    for (const char* s : {"31.2.1990", "1990-13-01", "29.2.1900", "", "1.1", "12345-1-1", "1970-09/27", "27.9.70"})
        EXPECT_FALSE(readDate(s, d)) << s;
    EXPECT_TRUE(readDate("29.2.2000", d));
    // A calendar letter: Gregorian, or Julian (4 October 1582 Julian was followed by 15 October
    // Gregorian; 29 February 1700 exists only in the Julian calendar).
    ASSERT_TRUE(readDate("27.9.1970g", d));
    EXPECT_EQ(d.day, 27);
    ASSERT_TRUE(readDate("4.10.1582j", d));
    EXPECT_EQ(d.year * 10000 + d.month * 100 + d.day, 15821014);
    ASSERT_TRUE(readDate("29.2.1700j", d));
    EXPECT_EQ(d.year * 10000 + d.month * 100 + d.day, 17000311);

    ClockTime t;
    for (const char* s : {"11:04", "11h04", "11.04", "1104", "11:04:00", "11时4分", "11:04 am"}) {
        ASSERT_TRUE(readTime(s, t)) << s;
        EXPECT_EQ(t.hour * 60 + t.minute, 11 * 60 + 4) << s;
    }
    ASSERT_TRUE(readTime("12:30 AM", t));
    EXPECT_EQ(t.hour, 0);
    ASSERT_TRUE(readTime("1:15 pm", t));
    EXPECT_EQ(t.hour, 13);
    for (const char* s : {"24:00", "11:60", "25", "13:00 pm", "11-04"}) EXPECT_FALSE(readTime(s, t)) << s;

    double a = 0;
    const struct {
        const char* text;
        bool lat;
        double want;
    } angles[] = {{"49n05", true, 49 + 5 / 60.0},     {"33s52'30", true, -(33 + 52.5 / 60)},
                  {"122w25", false, -(122 + 25 / 60.0)}, {"8E11:30", false, 8 + 11.5 / 60},
                  {"-33.8688", true, -33.8688},          {"151.2093E", false, 151.2093},
                  {"39°54'27\"N", true, 39 + 54 / 60.0 + 27 / 3600.0}};
    for (const auto& x : angles) {
        ASSERT_TRUE(readAngle(x.text, x.lat, a)) << x.text;
        EXPECT_NEAR(a, x.want, 1e-9) << x.text;
    }
    for (const char* s : {"91n00", "49e05", "49n61", "n", "1n2n3", "-12.5S"}) EXPECT_FALSE(readAngle(s, true, a)) << s;

    int o = 0;
    const std::pair<const char*, int> offsets[] = {{"+08:00", 28800}, {"-5", -18000},   {"UTC+5:30", 19800},
                                                   {"GMT-3", -10800}, {"+0530", 19800}, {"1he", 3600}, {"0h40e", 2400},
                                                   {"5hw30", -19800}, {"0h00", 0},      {"UTC", 0}};
    for (const auto& [text, want] : offsets) {
        ASSERT_TRUE(readOffset(text, o)) << text;
        EXPECT_EQ(o, want) << text;
    }
    for (const char* s : {"+19:00", "8:75", "abc", "+", "1hx"}) EXPECT_FALSE(readOffset(s, o)) << s;

    bool summer = false;
    ASSERT_TRUE(zoneAbbreviation("cest", o, summer));
    EXPECT_EQ(o, 7200);
    EXPECT_TRUE(summer);
    EXPECT_FALSE(zoneAbbreviation("CST", o, summer));  // China, Central US, Cuba: not one offset
}

TEST(ExchangeNotation, JulianDayOfPublishedEpochs) {
    EXPECT_DOUBLE_EQ(julianDay({2000, 1, 1}, {12, 0, 0}), 2451545.0);  // J2000.0
    EXPECT_DOUBLE_EQ(julianDay({1970, 1, 1}, {0, 0, 0}), 2440587.5);
    EXPECT_DOUBLE_EQ(julianDay({1858, 11, 17}, {0, 0, 0}), 2400000.5);  // MJD 0
    CivilDate d;
    ClockTime t;
    ASSERT_TRUE(fromJulianDay(2451545.25, d, t));
    EXPECT_EQ(d.year * 10000 + d.month * 100 + d.day, 20000101);
    EXPECT_EQ(t.hour, 18);
    EXPECT_FALSE(fromJulianDay(1e300, d, t));
}

TEST(ExchangeAaf, ChartsOfTheFormatsDocumentationAndCommonVariants) {
    const std::string text =
        "#A93:Ferber,Tobias,m,27.9.1970,11:04,Kandel/Pfalz,D\r\n"
        "#B93:*,49n05,8e11,1he,0\r\n"
        "#ZNAM:CET\r\n"
        "\r\n"
        // Local mean time: the Julian day gives the instant (00:38:12 UT), 5e27 is 21m48s.
        "#A93:Cezanne,Paul,m,19.1.1839,1:00,Aix-en-Provence,F\n"
        "#B93:2392758.526528,43n31,5e27,*,L\n"
        // Zone and one hour of summer time; the Julian day (15:09:57 UT) agrees to seconds.
        "#A93:Sommer,Eva,f,20.4.1983,17:10,Augsburg,D\n"
        "#B93:2445445.131907,48n24,10e54,1he00,1\n"
        "#A93:王,小明,m,1985-06-01,*,北京,CHN\n"
        "#B93:*,39n54,116e23,8he00,0\n"
        "#A93:Nur,Abkuerzung,f,1.1.1990,8:15,Irgendwo,D\n"
        "#ZNAM:EST\n";
    const ReadResult r = readAaf(text);
    EXPECT_TRUE(r.problems.empty()) << r.problems.front().line << " " << r.problems.front().reason;
    ASSERT_EQ(r.charts.size(), 5u);
    const ImportedChart& f = r.charts[0];
    EXPECT_EQ(f.name, "Tobias Ferber");
    EXPECT_EQ(f.line, 1);
    EXPECT_TRUE(f.hasOffset);
    EXPECT_EQ(f.offsetSeconds, 3600);
    EXPECT_NEAR(f.latitude, 49 + 5 / 60.0, 1e-9);
    EXPECT_EQ(f.place, "Kandel/Pfalz");
    EXPECT_EQ(r.charts[1].line, 5);
    EXPECT_EQ(r.charts[1].offsetSeconds, 21 * 60 + 48);
    EXPECT_EQ(r.charts[2].offsetSeconds, 7200);
    EXPECT_TRUE(r.charts[2].summer);
    EXPECT_FALSE(r.charts[2].male);
    EXPECT_EQ(r.charts[3].name, "王小明");
    EXPECT_FALSE(r.charts[3].timeKnown);
    EXPECT_EQ(r.charts[3].time.hour, 12);
    EXPECT_EQ(r.charts[4].offsetSeconds, -5 * 3600);
    EXPECT_FALSE(r.charts[4].hasCoordinates);
}

TEST(ExchangeAaf, HostileLinesAreReportedByLineAndTheRestIsRead) {
    std::string text =
        "#B93:*,1n00,1e00,1he,0\n"                         // 1: no chart before it
        "#A93:Gut,Anna,f,1.2.1960,10:00,Bonn,D\n"          // 2: read
        "#A93:Schlecht,Datum,m,31.2.1990,10:00,Bonn,D\n"   // 3: no such day
        "#A93:Schlecht,Breite,m,1.2.1990,10:00,Bonn,D\n"   // 4
        "#B93:*,95n00,7e06,1he,0\n"                        // 5: latitude out of range
        "just text\n"                                      // 6
        "#A93:Schlecht,Zeit,m,1.2.1990,25:00,Bonn,D\n"     // 7
        "#A93:\xff\xfe\xfd,x,m,1.2.1990,10:00,Bonn,D\n"    // 8: neither UTF-8 nor GBK
        "#A93:Kurz,1.2.1990\n"                             // 9: too few fields
        "#A93:Ende,Emil,m,3.3.1933,3:33,Bonn,D\n"          // 10: read (last line without end)
        "#B93:2427134.60625,50n44,7e06";
    text += "\n#A93:" + std::string(5000, 'x') + "\n";    // 11: too long
    const ReadResult r = readAaf(text);
    ASSERT_EQ(r.charts.size(), 2u);
    EXPECT_EQ(r.charts[0].name, "Anna Gut");
    EXPECT_EQ(r.charts[1].name, "Emil Ende");
    std::vector<int> lines;
    for (const auto& p : r.problems) {
        lines.push_back(p.line);
        EXPECT_FALSE(p.reason.empty());
    }
    EXPECT_EQ(lines, (std::vector<int>{1, 3, 5, 6, 7, 8, 9, 12}));
}

TEST(ExchangeCsv, SpreadsheetTablesWithTheirHeaderNamesAndQuoting) {
    // A spreadsheet's export: byte-order mark, semicolons, a quoted name holding the separator
    // and a quote, Chinese headers, a row with an empty time.
    const std::string text =
        "\xEF\xBB\xBF姓名;性别;出生日期;出生时间;时差;纬度;经度;出生地\r\n"
        "\"Smith; \"\"Jo\"\"\";f;1969-07-20;20:17;-05:00;40.7128;-74.0060;New York\r\n"
        "李四;男;1990/5/4;;+08:00;31.23;121.47;上海\r\n"
        "Kaputt;m;1990-02-30;10:00;+01:00;1;1;X\r\n"
        ";m;1990-02-01;10:00;+01:00;1;1;X\r\n";
    const ReadResult r = readCsv(text);
    ASSERT_EQ(r.charts.size(), 2u);
    EXPECT_EQ(r.charts[0].name, "Smith; \"Jo\"");
    EXPECT_FALSE(r.charts[0].male);
    EXPECT_EQ(r.charts[0].offsetSeconds, -18000);
    EXPECT_NEAR(r.charts[0].longitude, -74.006, 1e-9);
    EXPECT_EQ(r.charts[1].place, "上海");
    EXPECT_FALSE(r.charts[1].timeKnown);
    ASSERT_EQ(r.problems.size(), 2u);
    EXPECT_EQ(r.problems[0].line, 4);
    EXPECT_EQ(r.problems[1].line, 5);

    // A spreadsheet's "Unicode text": UTF-16 with its mark, tab separated.
    const std::u16string wide = u"\uFEFF姓名\t日期\t时间\n王五\t2001-02-03\t04:05\n";
    const std::string utf16(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
    const ReadResult fromWide = readCsv(utf16);
    ASSERT_EQ(fromWide.charts.size(), 1u);
    EXPECT_EQ(fromWide.charts[0].name, "王五");
    EXPECT_EQ(fromWide.charts[0].time.minute, 5);

    // Headers of another program: mapped by hand.
    const CsvTable t = readCsvTable("Who,Born,At\nAda,10.12.1815,09:00\n");
    CsvMapping m = guessCsvMapping(t.header);
    EXPECT_FALSE(csvMappingUsable(m));
    m[static_cast<std::size_t>(CsvField::Name)] = 0;
    m[static_cast<std::size_t>(CsvField::Date)] = 1;
    m[static_cast<std::size_t>(CsvField::Time)] = 2;
    const ReadResult mapped = chartsFromCsv(t, m);
    ASSERT_EQ(mapped.charts.size(), 1u);
    EXPECT_EQ(mapped.charts[0].date.year, 1815);
    EXPECT_EQ(mapped.charts[0].line, 2);
}

TEST(ExchangeWriters, WrittenChartsReadBackToTheSameInstantAndPlace) {
    std::vector<ExportedChart> out(3);
    out[0] = {"Albert Einstein", true, {1879, 3, 14}, {11, 30, 0}, 2396, false, 48.4, 9.983333, "Ulm", "D",
              "", "名人", 0, false};
    out[1] = {"张三, 李", false, {1985, 6, 1}, {23, 59, 0}, 9 * 3600, true, -33.865, 151.209444, "Sydney",
              "AU", "Australia/Sydney", "", 1, false};
    out[2] = {"West", true, {2001, 12, 31}, {0, 5, 0}, -(9 * 3600 + 30 * 60), false, 0.5, -179.75, "", "",
              "", "", 0, false};
    for (int format = 0; format < 2; ++format) {
        const ReadResult r = format == 0 ? readAaf(writeAaf(out)) : readCsv(writeCsv(out));
        EXPECT_TRUE(r.problems.empty()) << format;
        ASSERT_EQ(r.charts.size(), out.size()) << format;
        for (std::size_t i = 0; i < out.size(); ++i) {
            const ImportedChart& c = r.charts[i];
            const int64_t wantUt = daysFromCivil(out[i].date) * 86400 + out[i].time.hour * 3600 +
                                   out[i].time.minute * 60 - out[i].offsetSeconds;
            const int64_t gotUt = daysFromCivil(c.date) * 86400 + c.time.hour * 3600 + c.time.minute * 60 +
                                  c.time.second - c.offsetSeconds;
            EXPECT_LT(std::llabs(gotUt - wantUt), 60) << format << " " << i;
            EXPECT_NEAR(c.latitude, out[i].latitude, 1.0 / 3600) << format << " " << i;
            EXPECT_NEAR(c.longitude, out[i].longitude, 1.0 / 3600) << format << " " << i;
            EXPECT_EQ(c.male, out[i].male);
        }
        EXPECT_EQ(r.charts[0].name, "Albert Einstein");
    }
}
