// RTF files written by LibreOffice from ODT, DOCX, DOC and HTML documents read as LibreOffice reads
// them: the same paragraphs and characters, each with LibreOffice's bold, italic, underline,
// strike-out and size. office_rtf/NAME.dump holds LibreOffice's reading of NAME.rtf
// (tools/office_rtf/make_corpus.sh made both; the format is described in dump_lo.py).
#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

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
std::vector<Paragraph> readRtf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    QTextDocument doc;
    std::vector<Paragraph> out;
    if (!GbkRtfCodec::instance().read(bytes, doc)) return out;
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
    }
}
