// Files written at a path the user names: a FIFO, a device node or a folder under the name is
// refused and left as it was; a write that fails (a full disk) keeps the old file whole; the old
// file is never truncated or removed before the new one is complete.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>
#include <filesystem>

#include "platform/core/CanvasRecorder.h"
#include "platform/core/FileOps.h"
#include "platform/core/ReplaceFile.h"
#include "platform/qt/ChartExport.h"
#include "platform/qt/JpegWriter.h"
#include "platform/qt/QImageCanvas.h"
#include "tests/platform/QtTestApp.h"
#include "tests/support/TestData.h"

namespace {
using recfs::ReplaceResult;

std::string contentOf(const std::string& path) {
    std::string bytes;
    recfs::readRegularFile(path, 1 << 24, bytes);
    return bytes;
}
std::size_t entriesIn(const std::string& dir) {
    std::vector<std::string> names;
    recfs::listEntries(dir, names);
    return names.size();
}
}  // namespace

TEST(ReplaceFile, TargetsThatAreNoRegularFileAreRefusedUnopened) {
    testqt::app();
    const std::string dir = testdata::freshTempDir("replace-odd");
    const std::string fifo = dir + "fifo", folder = dir + "folder";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    ASSERT_TRUE(recfs::makeFolder(folder));
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::red);
    QImageCanvas canvas(image);
    CanvasRecorder drawing(canvas);
    // /dev/null only as a refusal check: nothing may be written to it or put in its place.
    for (const std::string& target : {fifo, folder, std::string("/dev/null")}) {
        // Opening a FIFO without a reader would wait for ever; the refusal comes at once.
        EXPECT_EQ(recfs::replaceFile(target, "data"), ReplaceResult::NotRegularFile) << target;
        ReplaceResult r = ReplaceResult::Written;
        EXPECT_FALSE(saveImageFile(image, "PNG", target, &r));
        EXPECT_EQ(r, ReplaceResult::NotRegularFile);
        EXPECT_FALSE(writeJpeg(image, target, nullptr, &r));
        EXPECT_EQ(r, ReplaceResult::NotRegularFile);
        EXPECT_FALSE(writeRecordingSvg(drawing, 40, 30, target, "t", &r));
        EXPECT_FALSE(writeRecordingPdf(drawing, 40, 30, target, "t", &r));
        EXPECT_EQ(r, ReplaceResult::NotRegularFile);
    }
    struct stat st {};
    EXPECT_TRUE(::lstat(fifo.c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
    EXPECT_TRUE(::lstat("/dev/null", &st) == 0 && S_ISCHR(st.st_mode));
    EXPECT_EQ(entriesIn(folder), 0u);
    EXPECT_EQ(entriesIn(dir), 2u);  // no temporary left behind
    EXPECT_NE(recfs::replaceFailureText(ReplaceResult::NotRegularFile, fifo).find("不是普通文件"),
              std::string::npos);
}

TEST(ReplaceFile, TheOldFileStaysWholeUntilTheNewOneIsComplete) {
    const std::string dir = testdata::freshTempDir("replace-full");
    const std::string path = dir + "chart.png";
    const std::string old(3000, 'o'), fresh(9000, 'n');
    ASSERT_EQ(recfs::replaceFile(path, old), ReplaceResult::Written);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    {
        const testdata::FileSizeLimit diskFull(4096);
        EXPECT_EQ(recfs::replaceFile(path, fresh), ReplaceResult::WriteFailed);
    }
    EXPECT_EQ(contentOf(path), old);
    EXPECT_EQ(entriesIn(dir), 1u);

    // At every step before the rename the target still holds the old bytes.
    int steps = 0;
    EXPECT_EQ(recfs::replaceFile(path, fresh,
                                 [&](const char*) {
                                     ++steps;
                                     EXPECT_EQ(contentOf(path), old);
                                 }),
              ReplaceResult::Written);
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(contentOf(path), fresh);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // A link to the file stays a link; the file it names gets the new bytes.
    const std::string link = dir + "link.png";
    ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
    EXPECT_EQ(recfs::replaceFile(link, old), ReplaceResult::Written);
    EXPECT_TRUE(::lstat(link.c_str(), &st) == 0 && S_ISLNK(st.st_mode));
    EXPECT_EQ(contentOf(path), old);
    EXPECT_EQ(recfs::replaceFile(dir + "none/x.png", old), ReplaceResult::NotWritable);
}
