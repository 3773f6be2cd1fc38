// The rich-text target over QTextEdit: character positions, exact search, selection attributes,
// the modified flag and plain-text files in GBK.
#include <gtest/gtest.h>

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/core/Gbk.h"
#include "platform/qt/QtRichText.h"
#include "platform/qt/RtfCodec.h"
#include "tests/platform/QtTestApp.h"
#include "tests/support/TestData.h"

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
    rt.setRtfCodec(nullptr);
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

TEST(GbkRtfCodec, RoundTripKeepsTextAndAttributes) {
    testqt::app();
    const std::string dir = testdata::freshTempDir("rtf");
    QTextEdit edit;
    QtRichText rt(edit);
    rt.setFontName("宋体");
    rt.setDefaultAttributes(10, Rgb{0, 0, 0}, TextStyle{});
    rt.setText("星座分析:\n{大括号} \\ 反斜杠\t制表\n\n𝄞 与 €\n末行");
    rt.select(0, 5);
    rt.setSelectionColor(Rgb{255, 0, 0});
    rt.setSelectionStyle(TextStyle{true, false, true, false});
    rt.setSelectionFont("宋体", 14);
    std::string err;
    ASSERT_TRUE(rt.saveFile(dir + "a.rtf", false, &err)) << err;
    std::ifstream in(dir + "a.rtf", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(bytes.compare(0, 28, "{\\rtf1\\ansi\\ansicpg936\\deff0"), 0);
    EXPECT_NE(bytes.find("\\'d0\\'c7"), std::string::npos);  // 星 in GBK
    EXPECT_EQ(bytes.find("\xE6\x98\x9F"), std::string::npos);  // no raw UTF-8

    QTextEdit edit2;
    QtRichText back(edit2);
    ASSERT_TRUE(back.loadFile(dir + "a.rtf", &err)) << err;
    EXPECT_EQ(back.text(), rt.text());
    back.select(0, 1);
    const FontChoice head = back.selectionFont();
    EXPECT_EQ(head.color, (Rgb{255, 0, 0}));
    EXPECT_TRUE(head.style.bold);
    EXPECT_TRUE(head.style.underline);
    EXPECT_FALSE(head.style.italic);
    EXPECT_EQ(head.size, 14);
    EXPECT_EQ(head.name, "宋体");
    back.select(6, 1);
    EXPECT_FALSE(back.selectionFont().style.bold);
    EXPECT_EQ(back.selectionFont().size, 10);
}

TEST(GbkRtfCodec, ReadsWhatAWindowsEditorWrites) {
    testqt::app();
    // Hand-written in the shape of a rich edit control's output: GBK escapes, a font table with a
    // GBK face name, a colour table, an ignorable destination and unicode escapes.
    const std::string rtf =
        "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052"
        "{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}{\\f1\\fswiss Arial;}}\r\n"
        "{\\colortbl ;\\red0\\green0\\blue255;}\r\n"
        "{\\*\\generator Riched20 5.50.99.2014;}\\viewkind4\\uc1\\pard\\lang2052\\f0\\fs20 "
        "\\'ca\\'e4\\'c8\\'eb\\cf1\\b\\fs28 \\'c6\\'c0\\'d3\\'ef\\cf0\\b0\\fs20 :\\par\r\n"
        "\\f1 abc\\u8364?\\tab x\\par\r\n}\r\n";
    QTextDocument doc;
    ASSERT_TRUE(GbkRtfCodec::instance().read(rtf, doc));
    EXPECT_EQ(doc.toPlainText().toStdString(), "输入评语:\nabc€\tx");
    QTextCursor c(&doc);
    c.setPosition(3);  // inside 评语
    const QTextCharFormat f = c.charFormat();
    EXPECT_EQ(f.foreground().color(), QColor(0, 0, 255));
    EXPECT_EQ(f.fontWeight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(f.fontPointSize(), 14.0);
    EXPECT_EQ(f.fontFamilies().toStringList().value(0), QStringLiteral("AR PL UMing CN"));
    c.setPosition(7);
    EXPECT_EQ(c.charFormat().fontFamilies().toStringList().value(0), QStringLiteral("Arial"));
    QTextDocument other;
    EXPECT_FALSE(GbkRtfCodec::instance().read("plain text", other));
    // Truncated or unbalanced input ends cleanly.
    EXPECT_TRUE(GbkRtfCodec::instance().read("{\\rtf1{{{\\'c", other));
    EXPECT_TRUE(GbkRtfCodec::instance().read("{\\rtf1 a}}}}b\\", other));
}

namespace {
// Bold, point size and first family of the character at `pos`.
struct CharLook {
    bool bold;
    double points;
};
CharLook lookAt(const QTextDocument& doc, int pos) {
    QTextCursor c(const_cast<QTextDocument*>(&doc));
    c.setPosition(pos + 1);  // the format of the character before the cursor
    const QTextCharFormat f = c.charFormat();
    return {f.fontWeight() == QFont::Bold, f.fontPointSize()};
}
}  // namespace

TEST(GbkRtfCodec, BoldChineseOfLibreOfficeAndWordReadsBold) {
    testqt::app();
    // LibreOffice: the CJK properties follow "\dbch" as associated controls, the Latin ones
    // follow "\loch"; "\ab" after "\rtlch" is for right-to-left scripts.
    const std::string libreOffice =
        "{\\rtf1\\ansi\\deff3\\adeflang1025{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New "
        "Roman;}{\\f1\\fnil\\fprq2\\fcharset134 SimSun;}}\\uc1\\pard\\plain \\rtlch\\af1\\afs24 "
        "\\ltrch\\hich\\af0\\loch\\dbch\\af1\\fs24\\f0 "
        "{\\rtlch \\ab \\ltrch\\loch\\b\\dbch\\ab\\afs32 \\u26143\\'3f\\u24231\\'3f Head}\\par "
        "\\pard\\plain {\\rtlch \\ltrch\\loch\\dbch\\ab \\u27491\\'3f\\u25991\\'3f x}\\par "
        "\\pard\\plain {\\loch\\b\\dbch\\ab0 \\u27491\\'3fy}\\par}";
    QTextDocument doc;
    ASSERT_TRUE(GbkRtfCodec::instance().read(libreOffice, doc));
    ASSERT_EQ(doc.toPlainText(), QStringLiteral("星座 Head\n正文 x\n正y"));
    EXPECT_TRUE(lookAt(doc, 0).bold);                // 星: \dbch\ab
    EXPECT_DOUBLE_EQ(lookAt(doc, 0).points, 16.0);  // \dbch\afs32
    EXPECT_TRUE(lookAt(doc, 3).bold);                // H: \loch\b
    EXPECT_DOUBLE_EQ(lookAt(doc, 3).points, 12.0);
    EXPECT_TRUE(lookAt(doc, 8).bold);    // 正: only the CJK text is bold
    EXPECT_FALSE(lookAt(doc, 11).bold);  // x
    EXPECT_FALSE(lookAt(doc, 13).bold);  // 正: Latin bold, CJK explicitly not
    EXPECT_TRUE(lookAt(doc, 14).bold);   // y

    // Word: "\b" is for East Asian text too; its "\ab" after "\rtlch" changes nothing here.
    const std::string word =
        "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
        "\\pard\\plain {\\rtlch\\fcs1 \\ab\\af0 \\ltrch\\fcs0 \\b\\f0\\hich\\af0\\dbch\\af0\\loch"
        "\\f0 \\'b1\\'ea\\'cc\\'e2}{\\rtlch\\fcs1 \\ab\\af0 \\ltrch\\fcs0 \\f0 \\'d5\\'fd}\\par}";
    ASSERT_TRUE(GbkRtfCodec::instance().read(word, doc));
    ASSERT_EQ(doc.toPlainText(), QStringLiteral("标题正"));
    EXPECT_TRUE(lookAt(doc, 0).bold);
    EXPECT_FALSE(lookAt(doc, 2).bold);

    // What we write of it reads back the same.
    ASSERT_TRUE(GbkRtfCodec::instance().read(libreOffice, doc));
    QTextDocument again;
    ASSERT_TRUE(GbkRtfCodec::instance().read(GbkRtfCodec::instance().write(doc), again));
    EXPECT_EQ(again.toPlainText(), doc.toPlainText());
    for (int pos : {0, 3, 8, 11, 13, 14}) EXPECT_EQ(lookAt(again, pos).bold, lookAt(doc, pos).bold);
}

TEST(GbkRtfCodec, SurrogatesPairUpAndALoneOneReadsAsTheReplacementCharacter) {
    testqt::app();
    const GbkRtfCodec& codec = GbkRtfCodec::instance();
    QTextDocument doc, again;
    struct Case {
        const char* rtf;
        QString text;
    };
    const Case cases[] = {
        {"{\\rtf1\\u-10221?x}", QStringLiteral("\uFFFDx")},
        {"{\\rtf1\\u-8704?x}", QStringLiteral("\uFFFDx")},
        {"{\\rtf1\\u-10179?\\u-8704?x}", QString::fromUcs4(U"\U0001F600x")},
        {"{\\rtf1\\u-10179?ab\\u-8704?}", QStringLiteral("\uFFFDab\uFFFD")},
        {"{\\rtf1\\u-10179?\\par x}", QStringLiteral("\uFFFD\nx")},
        {"{\\rtf1 a\\u-10179?}", QStringLiteral("a\uFFFD")},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(codec.read(c.rtf, doc)) << c.rtf;
        EXPECT_EQ(doc.toPlainText(), c.text) << c.rtf;
        ASSERT_TRUE(codec.read(codec.write(doc), again)) << c.rtf;
        EXPECT_EQ(again.toPlainText(), doc.toPlainText()) << c.rtf;
    }
}

TEST(GbkRtfCodec, AParagraphOfManyRunsReadsWhole) {
    testqt::app();
    // 40,000 runs in one paragraph, alternately bold (a comment pasted from a web page).
    std::string rtf = "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fnil\\fcharset134 Arial;}}\\f0 ";
    for (int i = 0; i < 40000; ++i) rtf += i % 2 ? "{\\b \\'d0\\'c7}" : "{\\b0 a}";
    rtf += "\\par}";
    const std::string dir = testdata::freshTempDir("rtf-runs");
    std::ofstream(dir + "many.rtf", std::ios::binary) << rtf;
    QTextEdit edit;
    QtRichText rt(edit);
    std::string err;
    ASSERT_TRUE(rt.loadFile(dir + "many.rtf", &err)) << err;
    ASSERT_EQ(rt.length(), 40000);
    EXPECT_FALSE(lookAt(*edit.document(), 39998).bold);
    EXPECT_TRUE(lookAt(*edit.document(), 39999).bold);
}
