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

// ---------------------------------------------------------------------------------------------
// Reading

namespace {
struct State {
    int font = -1;
    int halfPoints = 0;  // 0: the document's default size
    int colour = 0;      // index into the colour table, 0 = automatic
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int ucSkip = 1;
    enum Dest { Text, FontTable, ColourTable, Skip } dest = Text;
    // Associated character properties. Word and LibreOffice format East Asian text through the
    // double-byte set: "\dbch\af2\afs28\ab" makes the CJK characters of the run bold in 14 pt
    // of font 2 whatever "\b" says for the Latin ones. The controls after "\rtlch" belong to
    // right-to-left scripts and those after "\loch" or "\hich" repeat the Latin ones; only
    // the double-byte set is kept. -1 (or 0 for the size): as the Latin text.
    enum Assoc { Latin, DoubleByte, Other } assoc = Latin;
    int dbFont = -1;
    int dbHalfPoints = 0;
    int dbBold = -1, dbItalic = -1, dbUnderline = -1, dbStrike = -1;

    bool hasDoubleByteFormat() const {
        return dbFont >= 0 || dbHalfPoints > 0 || dbBold >= 0 || dbItalic >= 0 ||
               dbUnderline >= 0 || dbStrike >= 0;
    }
    // The format of the East Asian characters of the run, as a Latin-only state.
    State doubleByte() const {
        State d = *this;
        if (dbFont >= 0) d.font = dbFont;
        if (dbHalfPoints > 0) d.halfPoints = dbHalfPoints;
        if (dbBold >= 0) d.bold = dbBold != 0;
        if (dbItalic >= 0) d.italic = dbItalic != 0;
        if (dbUnderline >= 0) d.underline = dbUnderline != 0;
        if (dbStrike >= 0) d.strike = dbStrike != 0;
        d.dbFont = -1;
        d.dbHalfPoints = 0;
        d.dbBold = d.dbItalic = d.dbUnderline = d.dbStrike = -1;
        return d;
    }
};

// Characters a word processor sets in its East Asian font: CJK ideographs, kana, hangul,
// CJK symbols and punctuation, full-width forms.
bool isEastAsian(char32_t c) {
    return (c >= 0x1100 && c <= 0x11FF) || (c >= 0x2E80 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF) || c >= 0x20000;
}

class Reader {
public:
    Reader(const std::string& in, QTextDocument& doc) : in_(in), doc_(doc), cursor_(&doc) {}

    bool run() {
        if (in_.compare(0, 5, "{\\rtf") != 0) return false;
        doc_.clear();
        cursor_ = QTextCursor(&doc_);
        // One edit block for the whole file: the document lays out once at its end instead of
        // after every run (which made a paragraph of many runs quadratic).
        cursor_.beginEditBlock();
        std::vector<State> stack;
        State st;
        while (pos_ < in_.size()) {
            const char c = in_[pos_];
            if (c == '{') {
                flushBytes(st);
                stack.push_back(st);
                ++pos_;
                if (st.dest == State::FontTable) fontName_.clear();
            } else if (c == '}') {
                flushBytes(st);
                ++pos_;
                if (stack.empty()) break;  // the end of the document
                if (st.dest == State::FontTable && !stack.empty() &&
                    stack.back().dest == State::FontTable)
                    finishFontEntry();
                st = stack.back();
                stack.pop_back();
            } else if (c == '\\') {
                controlWord(st);
            } else if (c == '\r' || c == '\n') {
                ++pos_;
            } else {
                ++pos_;
                if (skipFallback_ > 0) {
                    --skipFallback_;
                    continue;
                }
                byteOut(st, static_cast<unsigned char>(c));
            }
        }
        flushBytes(st);
        // The last \par closes the last paragraph; more of them are empty paragraphs.
        for (; pendingParagraphs_ > 1; --pendingParagraphs_) cursor_.insertBlock();
        cursor_.endEditBlock();
        return true;
    }

private:
    void controlWord(State& st) {
        ++pos_;  // the backslash
        if (pos_ >= in_.size()) return;
        const char c = in_[pos_];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++pos_;
            if (c == '\'') {
                if (pos_ + 2 > in_.size()) return;
                const int b = static_cast<int>(std::strtol(in_.substr(pos_, 2).c_str(), nullptr, 16));
                pos_ += 2;
                if (skipFallback_ > 0) {
                    --skipFallback_;
                    return;
                }
                byteOut(st, static_cast<unsigned char>(b));
            } else if (c == '*') {
                st.dest = State::Skip;
            } else if (c == '~') {
                textOut(st, QString(QChar(0xA0)));
            } else if (c == '_') {
                textOut(st, QString(QChar(0x2011)));
            } else if (c == '\\' || c == '{' || c == '}') {
                byteOut(st, static_cast<unsigned char>(c));
            } else if (c == '\r' || c == '\n') {
                paragraph(st);
            }
            return;
        }
        std::string word;
        while (pos_ < in_.size() && std::isalpha(static_cast<unsigned char>(in_[pos_]))) word += in_[pos_++];
        bool hasArg = false;
        int arg = 0;
        const std::size_t argStart = pos_;
        if (pos_ < in_.size() && (in_[pos_] == '-' || std::isdigit(static_cast<unsigned char>(in_[pos_])))) {
            ++pos_;
            while (pos_ < in_.size() && std::isdigit(static_cast<unsigned char>(in_[pos_]))) ++pos_;
            arg = std::atoi(in_.substr(argStart, pos_ - argStart).c_str());
            hasArg = true;
        }
        if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
        apply(st, word, hasArg, arg);
    }

    void apply(State& st, const std::string& w, bool hasArg, int arg) {
        const bool on = !hasArg || arg != 0;
        if (w == "fonttbl") {
            flushBytes(st);
            st.dest = State::FontTable;
        } else if (w == "colortbl") {
            st.dest = State::ColourTable;
            colours_.clear();  // the first entry, usually empty, is index 0: automatic
            red_ = green_ = blue_ = 0;
        } else if (w == "stylesheet" || w == "info" || w == "pict" || w == "object" ||
                   w == "header" || w == "footer" || w == "headerl" || w == "headerr" ||
                   w == "footerl" || w == "footerr" || w == "fldinst" || w == "themedata" ||
                   w == "colorschememapping" || w == "latentstyles" || w == "listtable" ||
                   w == "listoverridetable" || w == "rsidtbl" || w == "generator" ||
                   w == "xmlnstbl" || w == "datastore" || w == "mmathPr") {
            st.dest = State::Skip;
        } else if (w == "ansicpg") {
            gbkBytes_ = arg == 936;
        } else if (w == "red") {
            red_ = arg;
        } else if (w == "green") {
            green_ = arg;
        } else if (w == "blue") {
            blue_ = arg;
        } else if (w == "f") {
            flushBytes(st);
            if (st.dest == State::FontTable) fontEntry_ = arg;
            else st.font = arg;
        } else if (w == "fs") {
            flushBytes(st);
            st.halfPoints = arg;
        } else if (w == "cf") {
            flushBytes(st);
            st.colour = arg;
        } else if (w == "rtlch") {
            flushBytes(st);
            st.assoc = State::Other;
        } else if (w == "ltrch" || w == "loch" || w == "hich") {
            flushBytes(st);
            st.assoc = State::Latin;
        } else if (w == "dbch") {
            flushBytes(st);
            st.assoc = State::DoubleByte;
        } else if (w == "af" || w == "afs" || w == "ab" || w == "ai" || w == "aul" ||
                   w == "aulnone" || w == "astrike") {
            if (st.assoc != State::DoubleByte || st.dest != State::Text) return;
            flushBytes(st);
            if (w == "af") st.dbFont = arg;
            else if (w == "afs") st.dbHalfPoints = arg;
            else if (w == "ab") st.dbBold = on;
            else if (w == "ai") st.dbItalic = on;
            else if (w == "aul") st.dbUnderline = on;
            else if (w == "aulnone") st.dbUnderline = 0;
            else st.dbStrike = on;
        } else if (w == "b") {
            flushBytes(st);
            st.bold = on;
        } else if (w == "i") {
            flushBytes(st);
            st.italic = on;
        } else if (w == "ul") {
            flushBytes(st);
            st.underline = on;
        } else if (w == "ulnone") {
            flushBytes(st);
            st.underline = false;
        } else if (w == "strike") {
            flushBytes(st);
            st.strike = on;
        } else if (w == "plain") {
            flushBytes(st);
            const int skip = st.ucSkip;
            const State::Dest d = st.dest;
            st = State{};
            st.ucSkip = skip;
            st.dest = d;
        } else if (w == "uc") {
            st.ucSkip = arg;
        } else if (w == "u") {
            unicodeUnit(st, static_cast<char16_t>(static_cast<uint16_t>(arg)));
            skipFallback_ = st.ucSkip;
        } else if (w == "par") {
            paragraph(st);
        } else if (w == "line") {
            textOut(st, QString(QChar(0x2028)));
        } else if (w == "tab") {
            textOut(st, QStringLiteral("\t"));
        } else if (w == "emdash") {
            textOut(st, QString(QChar(0x2014)));
        } else if (w == "endash") {
            textOut(st, QString(QChar(0x2013)));
        } else if (w == "lquote") {
            textOut(st, QString(QChar(0x2018)));
        } else if (w == "rquote") {
            textOut(st, QString(QChar(0x2019)));
        } else if (w == "ldblquote") {
            textOut(st, QString(QChar(0x201C)));
        } else if (w == "rdblquote") {
            textOut(st, QString(QChar(0x201D)));
        } else if (w == "bullet") {
            textOut(st, QString(QChar(0x2022)));
        }
    }

    void byteOut(State& st, unsigned char b) {
        if (st.dest == State::Skip) return;
        if (st.dest == State::ColourTable) {
            if (b == ';') {
                colours_.push_back(QColor(red_, green_, blue_));
                red_ = green_ = blue_ = 0;
            }
            return;
        }
        if (st.dest == State::FontTable) {
            if (b == ';') {
                flushFontBytes();
                finishFontEntry();
            } else {
                fontBytes_ += static_cast<char>(b);
            }
            return;
        }
        if (pendingHigh_ != 0) flushBytes(st);  // text between the halves: the high one is alone
        bytes_ += static_cast<char>(b);
        bytesState_ = st;
    }

    // One UTF-16 unit of "\uN". A high surrogate waits for the low one of the next "\uN";
    // a surrogate without its partner becomes U+FFFD at once, so that what is read is what
    // writing it gives back.
    void unicodeUnit(State& st, char16_t u) {
        if (QChar::isLowSurrogate(u) && pendingHigh_ != 0) {
            const QChar pair[2] = {QChar(pendingHigh_), QChar(u)};
            pendingHigh_ = 0;
            insert(st, QString(pair, 2));
            return;
        }
        flushBytes(st);
        if (QChar::isHighSurrogate(u)) {
            pendingHigh_ = u;
            pendingState_ = st;
            return;
        }
        textOut(st, QString(QChar(QChar::isSurrogate(u) ? char16_t(0xFFFD) : u)));
    }

    void flushFontBytes() {
        fontName_ += gbkBytes_ ? gbk::toUtf8(fontBytes_) : QString::fromLatin1(fontBytes_.c_str()).toStdString();
        fontBytes_.clear();
    }
    void finishFontEntry() {
        flushFontBytes();
        if (fontEntry_ >= 0 && !fontName_.empty()) fonts_[fontEntry_] = fontName_;
        fontName_.clear();
        fontEntry_ = -1;
    }

    void flushBytes(const State&) {
        if (pendingHigh_ != 0) {
            pendingHigh_ = 0;
            insert(pendingState_, QString(QChar(0xFFFD)));
        }
        if (bytes_.empty()) return;
        const std::string utf8 = gbkBytes_ ? gbk::toUtf8(bytes_)
                                           : QString::fromLatin1(bytes_.data(), static_cast<int>(bytes_.size())).toStdString();
        bytes_.clear();
        insert(bytesState_, QString::fromStdString(utf8));
    }

    void textOut(State& st, const QString& s) {
        flushBytes(st);
        if (st.dest != State::Text) return;
        insert(st, s);
    }

    void paragraph(State& st) {
        flushBytes(st);
        if (st.dest != State::Text) return;
        ++pendingParagraphs_;
    }

    void insert(const State& st, const QString& s) {
        if (st.dest != State::Text || s.isEmpty()) return;
        for (; pendingParagraphs_ > 0; --pendingParagraphs_) cursor_.insertBlock();
        if (!st.hasDoubleByteFormat()) {
            insertRun(st, s);
            return;
        }
        // East Asian characters take the double-byte format, the others the Latin one.
        const State cjk = st.doubleByte();
        qsizetype start = 0;
        bool startEast = false;
        for (qsizetype i = 0; i < s.size();) {
            const bool pair = s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate();
            const char32_t c = pair ? QChar::surrogateToUcs4(s[i], s[i + 1]) : s[i].unicode();
            const bool east = isEastAsian(c);
            if (i == 0) startEast = east;
            else if (east != startEast) {
                insertRun(startEast ? cjk : st, s.mid(start, i - start));
                start = i;
                startEast = east;
            }
            i += pair ? 2 : 1;
        }
        insertRun(startEast ? cjk : st, s.mid(start));
    }

    void insertRun(const State& st, const QString& s) {
        QTextCharFormat f;
        if (st.font >= 0) {
            const auto it = fonts_.find(st.font);
            if (it != fonts_.end()) f.setFontFamilies({QImageCanvas::familyFor(it->second)});
        }
        if (st.halfPoints > 0) f.setFontPointSize(st.halfPoints / 2.0);
        if (st.colour > 0 && st.colour < static_cast<int>(colours_.size()))
            f.setForeground(colours_[st.colour]);
        f.setFontWeight(st.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(st.italic);
        f.setFontUnderline(st.underline);
        f.setFontStrikeOut(st.strike);
        cursor_.insertText(s, f);
    }

    const std::string& in_;
    QTextDocument& doc_;
    QTextCursor cursor_;
    std::size_t pos_ = 0;
    bool gbkBytes_ = true;
    std::string bytes_;
    State bytesState_;
    int skipFallback_ = 0;
    char16_t pendingHigh_ = 0;  // a high surrogate of "\uN" waiting for its low one
    State pendingState_;
    int pendingParagraphs_ = 0;  // a last \par ends the last paragraph and adds none
    std::map<int, std::string> fonts_;
    int fontEntry_ = -1;
    std::string fontBytes_;
    std::string fontName_;
    std::vector<QColor> colours_;
    int red_ = 0, green_ = 0, blue_ = 0;
};
}  // namespace

bool GbkRtfCodec::read(const std::string& rtfBytes, QTextDocument& doc) const {
    Reader r(rtfBytes, doc);
    return r.run();
}

const GbkRtfCodec& GbkRtfCodec::instance() {
    static const GbkRtfCodec codec;
    return codec;
}
