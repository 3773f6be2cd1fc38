// The rich-text target over QTextEdit: character positions, exact search, selection attributes,
// the modified flag and plain-text files in GBK.
#include <gtest/gtest.h>

#include <QTextEdit>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "Gbk.h"
#include "QtRichText.h"
#include "QtTestApp.h"
#include "TestData.h"

namespace {
std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
}  // namespace

TEST(QtRichText, PositionsCountCharactersAndSearchIsExact) {
    testqt::app();
    QTextEdit edit;
    QtRichText rt(edit);
    rt.setText("星座分析:\n白羊座𝄞行星与星座:abc ABC");
    EXPECT_EQ(rt.length(), 5 + 1 + 3 + 1 + 6 + 7);
    EXPECT_EQ(rt.find("星座分析:", 0, rt.length()), 0);
    EXPECT_EQ(rt.find("行星与星座:", 0, rt.length()), 10);  // past the non-BMP character
    EXPECT_EQ(rt.find("ABC", 0, rt.length()), 20);
    EXPECT_EQ(rt.find("abc", 17, rt.length()), -1);  // search starts after it
    EXPECT_EQ(rt.find("abc", 0, 18), -1);  // must end inside the range
    EXPECT_EQ(rt.find("abc", 0, 19), 16);
    EXPECT_EQ(rt.find("血型评说:", 0, rt.length()), -1);
    EXPECT_EQ(rt.text().substr(0, std::string("星座分析:\n").size()), "星座分析:\n");
}

TEST(QtRichText, SelectionAttributesAndModifiedFlag) {
    testqt::app();
    QTextEdit edit;
    QtRichText rt(edit);
    rt.setDefaultAttributes(12, Rgb{0, 0, 0}, TextStyle{});
    rt.setText("行星与星座: 太阳");
    rt.setModified(false);
    EXPECT_FALSE(rt.modified());
    rt.select(0, 6);
    EXPECT_TRUE(rt.hasSelection());
    rt.setSelectionColor(Rgb{255, 0, 0});
    rt.setSelectionStyle(TextStyle{true, false, false, false});
    const FontChoice f = rt.selectionFont();
    EXPECT_EQ(f.color, (Rgb{255, 0, 0}));
    EXPECT_TRUE(f.style.bold);
    EXPECT_EQ(f.size, 12);
    EXPECT_TRUE(rt.modified());
    rt.select(7, 2);
    EXPECT_FALSE(rt.selectionFont().style.bold);
    rt.deleteSelection();
    EXPECT_EQ(rt.text(), "行星与星座: ");
}

TEST(QtRichText, PlainTextFilesAreGbkAndRtfNeedsACodec) {
    testqt::app();
    const std::string dir = testdata::freshTempDir("richtext");
    QTextEdit edit;
    QtRichText rt(edit);
    rt.setText("评语：第一行\n第二行");
    std::string err;
    ASSERT_TRUE(rt.saveFile(dir + "a.txt", true, &err)) << err;
    EXPECT_EQ(readBytes(dir + "a.txt"), gbk::fromUtf8("评语：第一行\r\n第二行"));
    EXPECT_FALSE(rt.saveFile(dir + "a.rtf", false, &err));
    EXPECT_FALSE(std::filesystem::exists(dir + "a.rtf"));

    QTextEdit edit2;
    QtRichText other(edit2);
    ASSERT_TRUE(other.loadFile(dir + "a.txt", &err)) << err;
    EXPECT_EQ(other.text(), "评语：第一行\n第二行");
    EXPECT_FALSE(other.loadFile(dir + "missing.txt", &err));
    EXPECT_FALSE(rt.saveFile(dir + "no/such/folder.txt", true, &err));
}

TEST(QtRichText, FontNameAndBackgroundAreKeptAsSet) {
    testqt::app();
    QTextEdit edit;
    QtRichText rt(edit);
    rt.setFontName("宋体");
    rt.setFontSize(14);
    rt.setBackgroundColor(Rgb::fromBgr(0xC0CCD0));
    EXPECT_EQ(rt.fontName(), "宋体");
    EXPECT_EQ(rt.fontSize(), 14);
    EXPECT_EQ(rt.backgroundColor().toBgr(), 0xC0CCD0u);
    EXPECT_EQ(edit.font().family(), QStringLiteral("AR PL UMing CN"));
}
