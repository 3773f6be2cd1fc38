// The calendar commands of tarmin-cli, run as a separate process from the staged program folder.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/CliRunner.h"
#include "tests/support/TestData.h"

namespace {
using CliResult = testcli::Result;
using testcli::lines;
using testcli::run;
}  // namespace

TEST(CalendarCli, LunarFromArgumentsAndStdin) {
    REQUIRE_CLI();
    CliResult r = run("lunar 2001-05-23");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "2001-05-23\t2001 4 1 1\n");
    r = run("lunar -0721-01-16");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("-0721-01-16\t", 0), 0u) << r.out;

    r = run("lunar", "2000-01-01\n2001-02-30\n\n2000-02-05\n");
    EXPECT_EQ(r.status, 0);
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 3u) << r.out;
    EXPECT_EQ(out[0], "2000-01-01\t1999 11 25 0");
    EXPECT_EQ(out[1], "2001-02-30\terror");
    EXPECT_EQ(out[2], "2000-02-05\t2000 1 1 0");
    EXPECT_FALSE(r.err.empty());

    r = run("lunar 2001-02-29");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty());
    r = run("lunar 2001-01-01 2001-01-02");
    EXPECT_EQ(r.status, 2);
}

TEST(CalendarCli, GregorianWithTheEngineMessage) {
    REQUIRE_CLI();
    CliResult r = run("gregorian 2001 4 1 1");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "2001 4 1 1\t2001-05-23\n");
    r = run("gregorian 1999 12 30 0");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("不存在这个农历日期，无法转换到公历！"), std::string::npos) << r.err;

    r = run("gregorian", "2001 4 1 0\n1999 12 30 0\n2001 4 1 1\n");
    EXPECT_EQ(r.status, 0);
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 3u) << r.out;
    EXPECT_EQ(out[0], "2001 4 1 0\t2001-04-23");
    EXPECT_EQ(out[1], "1999 12 30 0\terror");
    EXPECT_EQ(out[2], "2001 4 1 1\t2001-05-23");
    EXPECT_NE(r.err.find("不存在这个农历日期"), std::string::npos);

    EXPECT_EQ(run("gregorian 2001 4 1").status, 2);
}

TEST(CalendarCli, TermsAndPillars) {
    REQUIRE_CLI();
    CliResult r = run("terms 2000");
    EXPECT_EQ(r.status, 0);
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 24u) << r.out;
    EXPECT_EQ(out[0], "0\t小寒\t2000-01-06 09:01");
    EXPECT_EQ(out[2], "2\t立春\t2000-02-04 20:40");
    EXPECT_EQ(out[23], "23\t冬至\t2000-12-21 21:37");
    EXPECT_EQ(run("terms 10000").status, 1);
    EXPECT_EQ(run("terms").status, 2);

    r = run("pillars '2000-01-01 12:00'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "16 13 55 55 己卯 丙子 戊午 戊午\n");
    r = run("pillars '2000-01-01 23:30'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "16 13 56 1 己卯 丙子 己未 甲子\n");  // 甲 and 己 days open with 甲子
    EXPECT_EQ(run("pillars '2000-01-01 25:00'").status, 1);
}

TEST(CalendarCli, GregorianRefusesFieldsOutOfRangeInsteadOfWrappingThem) {
    REQUIRE_CLI();
    // 65537 is 1 in sixteen bits: once read as 2023-01-01 of the lunar calendar.
    for (const char* args : {"gregorian 2023 65537 65537 0", "gregorian 2023 13 1 0",
                             "gregorian 2023 0 1 0", "gregorian 2023 1 31 0",
                             "gregorian 2023 1 -65535 0", "gregorian 99999 1 1 0"}) {
        const CliResult r = run(args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_TRUE(r.out.empty()) << args << ": " << r.out;
        EXPECT_NE(r.err.find("日期格式错误或日期不存在"), std::string::npos) << args;
    }
    const CliResult r = run("gregorian", "2023 65537 65537 0\n2023 1 65566 0\n2001 4 1 1\n");
    EXPECT_EQ(r.status, 0);
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 3u) << r.out;
    EXPECT_EQ(out[0], "2023 65537 65537 0\terror");
    EXPECT_EQ(out[1], "2023 1 65566 0\terror");
    EXPECT_EQ(out[2], "2001 4 1 1\t2001-05-23");
}

TEST(CalendarCli, AFileSizeLimitOnTheOutputIsReportedNotFatal) {
    REQUIRE_CLI();
    const std::string dir = testdata::freshTempDir("cli-fsize");
    {
        std::ofstream in(dir + "in.txt");
        for (int i = 0; i < 400; ++i) in << "2000-01-01\n";  // about 10 KB of output
    }
    // The limit is a few KiB whatever unit the shell's ulimit counts in.
    const std::string cmd = "ulimit -f 4; QT_QPA_PLATFORM=offscreen '" + testcli::programPath() +
                            "' lunar <'" + dir + "in.txt' >'" + dir + "out.txt' 2>'" + dir +
                            "err.txt'";
    const int rc = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(rc));
    // Killed by SIGXFSZ the shell reports 128 + 25.
    EXPECT_EQ(WEXITSTATUS(rc), 1);
    std::ifstream err(dir + "err.txt");
    const std::string message((std::istreambuf_iterator<char>(err)), {});
    EXPECT_NE(message.find("cannot write the output"), std::string::npos) << message;
}

TEST(CalendarCli, HelpCutByAFileSizeLimitIsReportedToo) {
    REQUIRE_CLI();
    const std::string dir = testdata::freshTempDir("cli-help-fsize");
    // One block is less than the help text, whatever unit the shell counts in.
    const std::string cmd = "ulimit -f 1; '" + testcli::programPath() + "' --help >'" + dir + "out.txt' 2>'" + dir +
                            "err.txt'";
    const int rc = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(rc));
    EXPECT_EQ(WEXITSTATUS(rc), 1);
    std::ifstream err(dir + "err.txt");
    const std::string message((std::istreambuf_iterator<char>(err)), {});
    EXPECT_NE(message.find("cannot write the output"), std::string::npos) << message;
}
