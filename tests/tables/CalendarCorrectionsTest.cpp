// The committed correction strings of the calendar: the generator reproduces them byte for byte
// from ../shared/data/calendar, and the derivation reports what it kept and changed.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "tests/support/TestData.h"

#define TARMIN_GEN_NO_MAIN
#include "../../tools/gen_calendar_corrections.cpp"

namespace {
std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
}  // namespace

TEST(CalendarCorrections, GeneratorReproducesTheCommittedTable) {
    REQUIRE_SHARED_DATA();
    std::string source;
    std::ostringstream log;
    ASSERT_TRUE(generateCalendarCorrections(testdata::sharedDataDir(), source, log)) << log.str();
    std::printf("%s", log.str().c_str());
    const std::string committed =
        readFile(testdata::sourceDir() + "/calendar/tables/CalendarCorrections.cpp");
    ASSERT_FALSE(committed.empty());
    EXPECT_TRUE(source == committed) << "calendar/tables/CalendarCorrections.cpp is stale: rerun "
                                        "gen_calendar_corrections <data> <file>";
    // Only the two new-moon positions where historical sources differ depart from the data.
    EXPECT_NE(log.str().find("head differences: 122 371\n"), std::string::npos) << log.str();
}

TEST(CalendarCorrections, MissingDataIsReportedNotWritten) {
    std::string source = "untouched";
    std::ostringstream log;
    EXPECT_FALSE(generateCalendarCorrections("/nonexistent-folder", source, log));
    EXPECT_EQ(source, "untouched");
    EXPECT_FALSE(log.str().empty());
}
