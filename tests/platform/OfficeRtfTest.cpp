// RTF files written by LibreOffice from ODT, DOCX, DOC and HTML documents read as LibreOffice reads
// them: the same paragraphs and characters, each with LibreOffice's bold, italic, underline,
// strike-out and size. office_rtf/NAME.dump holds LibreOffice's reading of NAME.rtf
// (tools/office_rtf/make_corpus.sh made both; the format is described in dump_lo.py).
#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/qt/QImageCanvas.h"
#include "platform/qt/RtfCodec.h"
#include "tests/platform/QtTestApp.h"
#include "tests/support/TestData.h"

namespace {
struct Look {
    bool any = false;  // the reader may format these characters as it likes
    bool bold = false, italic = false, underline = false, strike = false;
    double points = 0;
};

struct Paragraph {
    std::u32string text;
    std::vector<Look> looks;  // one per character
};

std::string describe(const Look& l) {
    if (l.any) return "any";
    std::ostringstream s;
    s << (l.bold ? 'B' : '-') << (l.italic ? 'I' : '-') << (l.underline ? 'U' : '-')
      << (l.strike ? 'S' : '-') << ' ' << l.points;
    return s.str();
}

std::u32string unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            const char c = s[++i];
            out += c == 't' ? '\t' : c == 'n' ? '\n' : c;
        } else {
            out += s[i];
        }
    }
    return QString::fromStdString(out).toStdU32String();
}

std::vector<Paragraph> readDump(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<Paragraph> out;
    std::string line;
    while (std::getline(in, line)) {
        if (line == "P") {
            out.emplace_back();
            continue;
        }
        const std::size_t tab = line.find('\t');
        if (out.empty() || tab == std::string::npos) continue;
        Look look;
        const std::string head = line.substr(0, tab);
        if (head == "* *") {
            look.any = true;
        } else {
            look.bold = head[0] == 'B';
            look.italic = head[1] == 'I';
            look.underline = head[2] == 'U';
            look.strike = head[3] == 'S';
            look.points = std::stod(head.substr(5));
        }
        const std::u32string text = unescape(line.substr(tab + 1));
        out.back().text += text;
        out.back().looks.insert(out.back().looks.end(), text.size(), look);
    }
    return out;
}

// The codec's reading in the same shape; a line break inside a paragraph counts as "\n".
// With again, the reading of what the codec writes of its reading.
std::vector<Paragraph> readRtf(const std::string& path, bool again = false) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    QTextDocument doc;
    std::vector<Paragraph> out;
    if (!GbkRtfCodec::instance().read(bytes, doc)) return out;
    if (again && !GbkRtfCodec::instance().read(GbkRtfCodec::instance().write(doc), doc)) return out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        Paragraph p;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const QTextCharFormat f = frag.charFormat();
            Look look;
            look.bold = f.fontWeight() >= QFont::Bold;
            look.italic = f.fontItalic();
            look.underline = f.fontUnderline();
            look.strike = f.fontStrikeOut();
            look.points = f.fontPointSize();
            std::u32string text = frag.text().toStdU32String();
            for (char32_t& c : text)
                if (c == 0x2028) c = '\n';
            p.text += text;
            p.looks.insert(p.looks.end(), text.size(), look);
        }
        out.push_back(p);
    }
    return out;
}

std::string utf8(const std::u32string& s) { return QString::fromStdU32String(s).toStdString(); }

// "" when the codec's reading matches LibreOffice's, else the first difference.
std::string compare(const std::vector<Paragraph>& want, const std::vector<Paragraph>& got) {
    for (std::size_t i = 0; i < want.size() || i < got.size(); ++i) {
        if (i >= want.size()) return "extra paragraph: " + utf8(got[i].text);
        if (i >= got.size()) return "missing paragraph: " + utf8(want[i].text);
        if (want[i].text != got[i].text)
            return "paragraph " + std::to_string(i) + ": \"" + utf8(got[i].text) + "\" instead of \"" +
                   utf8(want[i].text) + "\"";
        for (std::size_t c = 0; c < want[i].text.size(); ++c) {
            const Look& w = want[i].looks[c];
            const Look& g = got[i].looks[c];
            if (w.any) continue;
            if (w.bold != g.bold || w.italic != g.italic || w.underline != g.underline ||
                w.strike != g.strike || w.points != g.points)
                return "paragraph " + std::to_string(i) + " \"" + utf8(want[i].text) + "\" character " +
                       std::to_string(c) + " '" + utf8(want[i].text.substr(c, 1)) + "': " +
                       describe(g) + " instead of " + describe(w);
        }
    }
    return "";
}
}  // namespace

TEST(OfficeRtf, LibreOfficeDocumentsReadAsLibreOfficeReadsThem) {
    testqt::app();
    const std::filesystem::path dir =
        std::filesystem::path(testdata::sourceDir()) / "tests" / "platform" / "office_rtf";
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.path().extension() == ".rtf") names.push_back(e.path().stem().string());
    ASSERT_GE(names.size(), 10u);
    for (const std::string& name : names) {
        const std::vector<Paragraph> want = readDump((dir / (name + ".dump")).string());
        ASSERT_FALSE(want.empty()) << name;
        EXPECT_EQ(compare(want, readRtf((dir / (name + ".rtf")).string())), "") << name;
        // Saved by the comment box, it stays as it was.
        EXPECT_EQ(compare(want, readRtf((dir / (name + ".rtf")).string(), true)), "") << name << " saved";
    }
}

namespace {
QTextCharFormat formatAt(QTextDocument& doc, int pos) {
    QTextCursor c(&doc);
    c.setPosition(pos + 1);  // the format of the character before the cursor
    return c.charFormat();
}
QString familyAt(QTextDocument& doc, int pos) {
    return formatAt(doc, pos).fontFamilies().toStringList().value(0);
}
}  // namespace

TEST(OfficeRtf, BytesAndFontNamesAreReadInTheirFontsCharacterSet) {
    testqt::app();
    const GbkRtfCodec& codec = GbkRtfCodec::instance();
    QTextDocument doc;
    // GBK under a Western code page, Big5, Shift-JIS (LibreOffice names 宋体 so) and the document's
    // own code page for a font of the ANSI set; font names decoded the same way.
    const std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"
        "{\\f1\\fnil\\fcharset136 \\'b7\\'73\\'b2\\'d3\\'a9\\'fa\\'c5\\'e9;}"
        "{\\f2\\froman\\fprq0\\fcharset128 \\'91\\'76\\'91\\'cc;}{\\f3\\fswiss\\fcharset0 Arial;}}"
        "\\f0 \\'d6\\'d0\\'ce\\'c4\\f1 \\'a4\\'a4\\'a4\\'e5\\f2 \\'93\\'fa\\'96\\'7b\\f3 \\'93x\\'94\\par}";
    ASSERT_TRUE(codec.read(rtf, doc));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("中文中文日本“x”"));
    EXPECT_EQ(familyAt(doc, 0), QImageCanvas::familyFor("宋体"));
    EXPECT_EQ(familyAt(doc, 2), QImageCanvas::familyFor("新細明體"));
    EXPECT_EQ(familyAt(doc, 4), QImageCanvas::familyFor("宋体"));

    // Without a code page the document is GBK, as the comment files are.
    ASSERT_TRUE(codec.read("{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\\f0 \\'d6\\'d0\\par}", doc));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("中"));
}

TEST(OfficeRtf, WordListLabelsAndOddControlsReadAsTheyShow) {
    testqt::app();
    const GbkRtfCodec& codec = GbkRtfCodec::instance();
    QTextDocument doc;
    // Word's bullet: byte B7 of the Symbol font, or its private-use character; an empty label
    // (a heading's) leaves no tab; an underline colour alone underlines nothing.
    const std::string word =
        "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"
        "{\\f3\\fbidi \\froman\\fcharset2\\fprq2{\\*\\panose 05050102010706020507}Symbol;}}"
        "\\pard{\\listtext\\pard\\plain\\ltrpar \\f3\\fs24\\loch\\af3\\hich\\af3\\dbch\\af0 \\loch\\f3 \\'b7\\tab}"
        "\\f0 \\'cf\\'ee\\par"
        "\\pard{\\listtext\\pard\\plain \\u-3913\\'3f\\tab}\\f0 \\'cf\\'ee\\par"
        "\\pard{\\listtext\\pard\\plain \\tab}\\f0\\ulc2 \\'b1\\'ea\\uldb \\'cc\\'e2\\ulnone\\par}";
    ASSERT_TRUE(codec.read(word, doc));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("•\t项\n•\t项\n标题"));
    EXPECT_FALSE(formatAt(doc, 8).fontUnderline());
    EXPECT_TRUE(formatAt(doc, 9).fontUnderline());

    // Two paragraphs in a cell (a line break, which plain text shows as a paragraph break), a row
    // of empty cells, a footnote: its mark in the text, its text at the end.
    ASSERT_TRUE(codec.read("{\\rtf1 \\intbl a\\par b\\cell\\cell\\row\\intbl\\cell\\cell\\row x"
                           "{\\super\\chftn}{\\*\\footnote\\pard{\\super\\chftn}\\tab n\\par}y\\par}",
                           doc));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("a\nb\t\n\t\nx1y\n[1] n"));
    EXPECT_EQ(doc.blockCount(), 4);

    // Word's default character formatting and a style based on another: what "\plain" and "\s2"
    // leave the text in.
    ASSERT_TRUE(codec.read("{\\rtf1{\\*\\defchp \\fs21}{\\stylesheet{\\s1\\i\\fs30 a;}"
                           "{\\s2\\sbasedon1\\b b;}}\\pard\\plain x\\par\\pard\\plain\\s2 y\\par}",
                           doc));
    EXPECT_DOUBLE_EQ(formatAt(doc, 0).fontPointSize(), 10.5);
    EXPECT_FALSE(formatAt(doc, 0).fontItalic());
    EXPECT_DOUBLE_EQ(formatAt(doc, 2).fontPointSize(), 15.0);
    EXPECT_TRUE(formatAt(doc, 2).fontItalic());
    EXPECT_EQ(formatAt(doc, 2).fontWeight(), QFont::Bold);
}
