// Files written at a path the user names: a FIFO, a device node or a folder under the name is
// refused unopened and left as it was; a failed write (a full disk) keeps the old file whole,
// and the old file is never truncated or removed before the new one is complete. (The window's
// and tarmin-cli's writers over it: tests/app/CommandsTest, tests/chart/ChartFilesTest.)
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/core/FileOps.h"
#include "platform/core/ReplaceFile.h"
#include "tests/support/TestData.h"

namespace {
using recfs::ReplaceResult;
std::string contentOf(const std::string& path) {
    std::string bytes;
    recfs::readRegularFile(path, 1 << 20, bytes);
    return bytes;
}
}  // namespace

TEST(ReplaceFile, RefusesOtherThanRegularFilesAndKeepsTheOldFileUntilTheNewIsWhole) {
    const std::string dir = testdata::freshTempDir("replace");
    const std::string fifo = dir + "fifo", path = dir + "chart.png";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    // /dev/null only as a refusal check: nothing may be written to it or put in its place.
    for (const std::string& odd : {fifo, dir, std::string("/dev/null")})
        EXPECT_EQ(recfs::replaceFile(odd, "data"), ReplaceResult::NotRegularFile) << odd;
    struct stat st {};
    EXPECT_TRUE(::lstat(fifo.c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
    EXPECT_TRUE(::lstat("/dev/null", &st) == 0 && S_ISCHR(st.st_mode));

    const std::string old(3000, 'o'), fresh(9000, 'n');
    ASSERT_EQ(recfs::replaceFile(path, old), ReplaceResult::Written);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    {
        const testdata::FileSizeLimit diskFull(4096);
        EXPECT_EQ(recfs::replaceFile(path, fresh), ReplaceResult::WriteFailed);
    }
    EXPECT_EQ(contentOf(path), old);
    std::vector<std::string> entries;
    recfs::listEntries(dir, entries);
    EXPECT_EQ(entries.size(), 2u);  // no temporary left behind

    // At every step before the rename the target holds the old bytes; the mode is kept.
    int steps = 0;
    EXPECT_EQ(recfs::replaceFile(path, fresh, [&](const char*) { steps += contentOf(path) == old; }),
              ReplaceResult::Written);
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(contentOf(path), fresh);
    EXPECT_TRUE(::stat(path.c_str(), &st) == 0 && (st.st_mode & 07777) == 0640);

    // A link to the file stays a link; the file it names gets the new bytes.
    const std::string link = dir + "link.png";
    ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
    EXPECT_EQ(recfs::replaceFile(link, old), ReplaceResult::Written);
    EXPECT_TRUE(::lstat(link.c_str(), &st) == 0 && S_ISLNK(st.st_mode));
    EXPECT_EQ(contentOf(path), old);
    EXPECT_EQ(recfs::replaceFile(dir + "none/x.png", old), ReplaceResult::NotWritable);
}
