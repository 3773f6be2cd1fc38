#include "platform/qt/RtfCodec.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <cctype>
#include <cstdlib>
#include <map>
#include <vector>

#include "platform/core/Gbk.h"
#include "platform/qt/QImageCanvas.h"
#include "platform/qt/RtfReader.h"

namespace {
// ---------------------------------------------------------------------------------------------
// Writing

// The installed face stands in for "宋体"; files name the face their readers know.
QString writtenFamily(const QString& family) {
    if (family == QImageCanvas::familyFor("宋体")) return QStringLiteral("宋体");
    return family;
}

void appendEscaped(std::string& out, const QString& text) {
    const std::u32string cps = text.toStdU32String();
    for (char32_t c : cps) {
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c == 0x2028) {
            out += "\\line ";
        } else if (c == 0xA0) {
            out += "\\~";
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            const std::string utf8 = QString::fromUcs4(&c, 1).toStdString();
            if (gbk::encodable(utf8)) {
                static const char hex[] = "0123456789abcdef";
                for (unsigned char b : gbk::fromUtf8(utf8)) {
                    out += "\\'";
                    out += hex[b >> 4];
                    out += hex[b & 15];
                }
            } else {
                // \uN takes a signed 16-bit value per UTF-16 unit, each followed by one fallback.
                for (QChar u : QString::fromUcs4(&c, 1)) {
                    out += "\\u" + std::to_string(static_cast<int16_t>(u.unicode())) + "?";
                }
            }
        }
    }
}
}  // namespace

std::string GbkRtfCodec::write(const QTextDocument& doc) const {
    std::vector<QString> fonts;
    std::vector<QColor> colours;
    auto fontIndex = [&](const QString& f) {
        for (std::size_t i = 0; i < fonts.size(); ++i)
            if (fonts[i] == f) return static_cast<int>(i);
        fonts.push_back(f);
        return static_cast<int>(fonts.size() - 1);
    };
    auto colourIndex = [&](const QColor& c) {
        for (std::size_t i = 0; i < colours.size(); ++i)
            if (colours[i] == c) return static_cast<int>(i + 1);
        colours.push_back(c);
        return static_cast<int>(colours.size());
    };
    const QFont base = doc.defaultFont();
    fontIndex(writtenFamily(base.family()));

    std::string body;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid()) continue;
            const QTextCharFormat f = frag.charFormat();
            const QFont font = f.font();
            const int fi = fontIndex(writtenFamily(font.family()));
            const double pt = f.fontPointSize() > 0 ? f.fontPointSize()
                                                    : (base.pointSizeF() > 0 ? base.pointSizeF() : 10);
            const QColor colour = f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color()
                                                                               : QColor(Qt::black);
            body += "{\\f" + std::to_string(fi) + "\\fs" + std::to_string(static_cast<int>(pt * 2 + 0.5)) +
                    "\\cf" + std::to_string(colourIndex(colour));
            if (font.bold()) body += "\\b";
            if (font.italic()) body += "\\i";
            if (font.underline()) body += "\\ul";
            if (font.strikeOut()) body += "\\strike";
            body += ' ';
            appendEscaped(body, frag.text());
            body += '}';
        }
        body += "\\par\r\n";
    }

    std::string out = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl";
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset134 ";
        appendEscaped(out, fonts[i]);
        out += ";}";
    }
    out += "}\r\n{\\colortbl ;";
    for (const QColor& c : colours)
        out += "\\red" + std::to_string(c.red()) + "\\green" + std::to_string(c.green()) + "\\blue" +
               std::to_string(c.blue()) + ";";
    out += "}\r\n\\viewkind4\\uc1\\pard\\lang2052 ";
    out += body;
    out += "}\r\n";
    return out;
}

bool GbkRtfCodec::read(const std::string& rtfBytes, QTextDocument& doc) const {
    return rtfread::read(rtfBytes, doc);
}

const GbkRtfCodec& GbkRtfCodec::instance() {
    static const GbkRtfCodec codec;
    return codec;
}
