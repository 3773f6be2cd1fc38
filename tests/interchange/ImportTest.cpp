// Charts from files becoming saved cases: the review list's marks (duplicates, places the atlas
// lacks, unknown times), nothing written before the commit or after a cancel, round trips
// file -> cases -> file to the same instants and coordinates, and the cases commands.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "atlas/WorldAtlas.h"
#include "interchange/Aaf.h"
#include "interchange/Cases.h"
#include "interchange/Csv.h"
#include "tests/support/CliRunner.h"
#include "tests/support/TestData.h"

using namespace interchange;
namespace fs = std::filesystem;

namespace {
std::string freshStore(MDataBase& db, const std::string& tag) {
    const std::string base = testdata::freshTempDir(tag);
    fs::create_directories(base + "dat");
    EXPECT_TRUE(db.Open(base));
    return base;
}

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const atlas::WorldAtlas& sharedAtlas() {
    static const atlas::WorldAtlas a(testdata::sourceDir() + "/resources/dat/dili.ini");
    return a;
}

int64_t utMinute(const CivilDate& d, const ClockTime& t, int offset) {
    return (daysFromCivil(d) * 86400 + t.hour * 3600 + t.minute * 60 - offset) / 60;
}

std::vector<ExportedChart> exported(const MDataBase& db, const std::string& category) {
    std::vector<ExportedChart> out;
    for (const CaseRecord& r : selectCases(db, category, "")) {
        ExportedChart c;
        EXPECT_TRUE(exportedChart(r, nullptr, nullptr, c));
        out.push_back(c);
    }
    return out;
}
}  // namespace

TEST(ChartImport, ReviewMarksWhatNeedsADecisionAndWritesOnlyOnCommit) {
    MDataBase db;
    const std::string base = freshStore(db, "import-review");
    ASSERT_EQ(commitImport(db, reviewFile("#A93:Alt,Otto,m,1.5.1950,6:00,Atlantis,XX\n#B93:*,10n00,20e00,1he,0\n",
                                          nullptr, db),
                           "旧"),
              1);
    const std::string file =
        "#A93:Alt,Otto,m,1.5.1950,6:00,Atlantis,XX\n#B93:*,10n00,20e00,1he,0\n"        // in the store
        "#A93:Neu,Nina,f,2.6.1961,7:30,Nirgendheim,XX\n#B93:*,50n30,12e15,1he,0\n"     // unknown place
        "#A93:刘,备,m,1.3.1980,*,北京,CHN\n"                                           // no time, no B line
        "#A93:Neu,Nina,f,2.6.1961,7:30,Nirgendheim,XX\n#B93:*,50n30,12e15,1he,0\n"     // twice in the file
        "#A93:Zone,Zora,f,2.6.1961,7:30,Nirgendheim,XX\n#B93:*,50n30,12e15,*,*\n#ZNAM:XST\n"
        "#A93:kaputt\n";
    const std::string before = bytesOf(base + "dat/Kelvora.dat");
    const Review r = reviewFile(file, &sharedAtlas(), db);
    EXPECT_EQ(bytesOf(base + "dat/Kelvora.dat"), before);
    ASSERT_EQ(r.items.size(), 5u);
    ASSERT_EQ(r.problems.size(), 1u);
    EXPECT_EQ(r.problems[0].line, 11);
    EXPECT_EQ(r.items[0].marks & kDuplicate, kDuplicate);
    EXPECT_FALSE(r.items[0].include);
    EXPECT_EQ(r.items[1].marks, kPlaceNotFound);
    EXPECT_TRUE(r.items[1].include);
    EXPECT_EQ(r.items[2].marks, kTimeUnknown);  // 北京 found, its zone gives +8
    EXPECT_EQ(r.items[2].chart.offsetSeconds, 8 * 3600);
    EXPECT_NE(r.items[2].placeText.find("北京"), std::string::npos);
    EXPECT_EQ(r.items[3].marks & kDuplicate, kDuplicate);
    EXPECT_EQ(r.items[4].marks & kZoneUnresolved, kZoneUnresolved);
    EXPECT_FALSE(r.items[4].include);

    ASSERT_EQ(commitImport(db, r, "朋友"), 2);
    std::vector<CaseRecord> got = selectCases(db, "朋友", "");
    ASSERT_EQ(got.size(), 2u);
    int32_t offset = 0;
    EXPECT_TRUE(got[0].exactOffset(offset));
    EXPECT_EQ(offset, 3600);
    EXPECT_TRUE(got[0].typedPlace());
    EXPECT_NEAR(got[0].longitude, 12.25, 1e-5);
    EXPECT_EQ(got[1].hour, 12);
    // The notes went to the comment files: the file's place name and the unknown time.
    std::string rtf;
    ASSERT_TRUE(MDataBase::ReadCommentFile(db.CommentFilePath(got[0]), rtf));
    EXPECT_NE(rtf.find("Nirgendheim"), std::string::npos);
    ASSERT_TRUE(MDataBase::ReadCommentFile(db.CommentFilePath(got[1]), rtf));
    EXPECT_NE(rtf.find("12:00"), std::string::npos);

    // Cancelled half way: the store as before.
    const std::string now = bytesOf(base + "dat/Kelvora.dat");
    Review again = reviewFile("#A93:C,C,m,1.1.2000,1:00,X,X\n#B93:*,1n00,1e00,0h,0\n", nullptr, db);
    EXPECT_EQ(commitImport(db, again, "x", [](std::size_t, std::size_t) { return false; }), -1);
    EXPECT_EQ(bytesOf(base + "dat/Kelvora.dat"), now);
}

TEST(ChartImport, RoundTripsThroughTheStoreKeepInstantsAndCoordinates) {
    const std::string aaf =
        "#A93:Cezanne,Paul,m,19.1.1839,1:00,Aix,F\n#B93:2392758.526528,43n31,5e27,*,L\n"
        "#A93:Sommer,Eva,f,20.4.1983,17:10,Augsburg,D\n#B93:2445445.131907,48n24,10e54,1he00,1\n"
        "#A93:South,West,m,31.12.2001,23:59,Lima,PE\n#B93:*,12s02'35,77w01'42,5hw00,0\n";
    const std::string csv =
        "name,date,time,utc_offset,latitude,longitude\n"
        "Half,2010-01-01,00:00,+05:30,28.6139,77.2090\n"
        "Quarter,1999-07-01,12:45,+05:45,27.7172,85.3240\n"
        "Neg,1950-06-15,03:07,-03:30,47.5615,-52.7126\n";
    for (int format = 0; format < 2; ++format) {
        MDataBase db;
        freshStore(db, "import-round");
        const std::string text = format == 0 ? aaf : csv;
        const ReadResult first = format == 0 ? readAaf(text) : readCsv(text);
        ASSERT_EQ(commitImport(db, reviewFile(text, nullptr, db), "往返"), 3);
        const std::string written = format == 0 ? writeAaf(exported(db, "往返")) : writeCsv(exported(db, "往返"));
        const ReadResult second = format == 0 ? readAaf(written) : readCsv(written);
        ASSERT_EQ(second.charts.size(), 3u) << written;
        for (std::size_t i = 0; i < 3; ++i) {
            const ImportedChart& a = first.charts[i];
            const ImportedChart& b = second.charts[i];
            EXPECT_EQ(utMinute(a.date, a.time, a.offsetSeconds), utMinute(b.date, b.time, b.offsetSeconds))
                << format << " " << i << "\n" << written;
            EXPECT_NEAR(a.latitude, b.latitude, 1.0 / 3600) << format << " " << i;
            EXPECT_NEAR(a.longitude, b.longitude, 1.0 / 3600) << format << " " << i;
        }
        // And read once more: every chart is a duplicate of the cases just written.
        const Review dup = reviewFile(written, nullptr, db);
        EXPECT_EQ(dup.count(kDuplicate), 3);
    }
}

TEST(ChartImport, ALunarCaseGoesOutWithItsGregorianDate) {
    CaseRecord r;
    r.setName("春节");
    r.year = 2000, r.month = 1, r.day = 1, r.hour = 8, r.lunar = 1;
    r.zone = 8;
    ExportedChart c;
    ASSERT_TRUE(exportedChart(r, nullptr, nullptr, c));
    // The Chinese New Year of 2000 fell on 5 February.
    EXPECT_EQ(c.date.year * 10000 + c.date.month * 100 + c.date.day, 20000205);
    EXPECT_EQ(c.offsetSeconds, 8 * 3600);
    EXPECT_TRUE(c.lunar);
}

TEST(ChartImport, CasesCommandsImportListShowAndExport) {
    REQUIRE_CLI();
    const std::string base = testdata::freshTempDir("cases-cli");
    fs::create_directories(base + "dat");
    {
        std::ofstream f(base + "mine.aaf");
        f << "#A93:Ferber,Tobias,m,27.9.1970,11:04,Kandel,D\n#B93:*,49n05,8e11,1he,0\n#A93:x\n";
    }
    const std::string folder = " --folder '" + base + "'";
    testcli::Result r = testcli::run("cases import '" + base + "mine.aaf'" + folder);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("第3行"), std::string::npos);
    r = testcli::run("cases list --category mine" + folder);
    ASSERT_EQ(r.status, 0);
    const auto rows = testcli::lines(r.out);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(testcli::fields(rows[0])[1], "Tobias Ferber");
    r = testcli::run("cases show 0" + folder);
    EXPECT_NE(r.out.find("世界时\t1970-09-27 10:04:00"), std::string::npos) << r.out;
    r = testcli::run("cases export --format csv --category mine" + folder + " -");
    EXPECT_NE(r.out.find("\"Tobias Ferber\",m,1970-09-27,11:04,+01:00"), std::string::npos) << r.out;
    EXPECT_EQ(testcli::run("cases export --format xml" + folder + " -").status, 2);
    // The same file again: a duplicate, nothing written.
    r = testcli::run("cases import '" + base + "mine.aaf'" + folder);
    EXPECT_NE(r.out.find("跳过"), std::string::npos);
    EXPECT_EQ(bytesOf(base + "dat/Kelvora.dat").size(), 152u);
    // A table of another program: its columns named on the command line.
    std::ofstream(base + "other.csv") << "Who,Born,At,Off,Lat,Lon\nAda,10.12.1915,09:00,+0,51.5,-0.12\n";
    EXPECT_EQ(testcli::run("cases import '" + base + "other.csv'" + folder).status, 1);
    r = testcli::run("cases import '" + base + "other.csv'" + folder +
                     " --column name=Who --column date=2 --column time=At --column utc_offset=Off"
                     " --column latitude=Lat --column longitude=Lon");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(bytesOf(base + "dat/Kelvora.dat").size(), 2 * 152u);
}
