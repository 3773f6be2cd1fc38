#include "platform/qt/RtfReader.h"

#include <QTextCursor>
#include <QTextDocument>
#include <cctype>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/qt/QImageCanvas.h"
#include "platform/qt/RtfCharsets.h"
#include "platform/qt/RtfFlow.h"
#include "platform/qt/RtfTables.h"

namespace rtfread {
namespace {
class Reader {
public:
    Reader(const std::string& in, QTextDocument& doc) : in_(in), doc_(doc) {}

    bool run() {
        if (in_.compare(0, 5, "{\\rtf") != 0) return false;
        std::vector<State> stack;
        State st;
        while (pos_ < in_.size()) {
            const char c = in_[pos_];
            if (c == '{') {
                flushBytes();
                stack.push_back(st);
                ++pos_;
                openGroup(st);
            } else if (c == '}') {
                flushBytes();
                ++pos_;
                if (stack.empty()) break;  // the end of the document
                closeGroup(st, stack.back());
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
        flushBytes();
        fill();
        return true;
    }

private:
    void openGroup(State& st) {
        if (st.entry) return;
        if (st.dest == State::FontTable) {
            st.entry = true;
            fonts_.beginEntry();
        } else if (st.dest == State::StyleSheet) {
            st.entry = true;
            styles_.beginEntry();
        }
    }

    void closeGroup(const State& inner, const State& outer) {
        if (inner.entry && !outer.entry && outer.dest == State::FontTable) fonts_.endEntry(docCodePage_);
        if (inner.entry && !outer.entry && inner.dest == State::StyleSheet) styles_.endEntry();
        if (inner.sink == State::Label && outer.sink != State::Label) {
            // A list label: kept when it shows something ("1.", "•"), not when it is only the tab.
            bool shows = false;
            for (const Run& r : label_)
                for (QChar ch : r.text)
                    if (!ch.isSpace()) shows = true;
            if (shows) {
                std::size_t i = 0;
                while (label_[i].text.trimmed().isEmpty()) ++i;  // up to the first run that shows
                QString& head = label_[i].text;
                while (head.startsWith(' ')) head.remove(0, 1);
                for (; i < label_.size(); ++i) flowFor(outer).add(label_[i].state, label_[i].text);
            }
            label_.clear();
        }
        if (inner.frameDepth > outer.frameDepth && !frames_.empty()) {
            const std::vector<Paragraph> text = frames_.back().finish();
            frames_.pop_back();
            flowFor(outer).insertBeforeCurrent(text);
        }
    }

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
                st.starredFrom = st.dest;
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
        if (st.dest == State::StyleSheet && st.entry) {
            styles_.control(w, hasArg, arg);
            return;
        }
        if (applyFormat(st, w, hasArg, arg)) return;
        if (w == "fonttbl") {
            st.dest = State::FontTable;
        } else if (w == "colortbl") {
            st.dest = State::ColourTable;
            colours_.clear();  // the first entry, usually empty, is index 0: automatic
            red_ = green_ = blue_ = 0;
        } else if (w == "stylesheet") {
            st.dest = State::StyleSheet;
        } else if (w == "cs" && st.dest == State::Skip && st.starredFrom == State::StyleSheet) {
            st.dest = State::StyleSheet;  // "{\*\cs15 ...}": a character style
            styles_.control(w, hasArg, arg);
        } else if (w == "defchp" && st.dest == State::Skip && st.starredFrom == State::Text) {
            // Word's default character formatting: what "\plain" returns to.
            st.dest = State::StyleSheet;
            st.entry = true;
            styles_.beginEntry(StyleSheet::kDefaults);
        } else if (skippedDestination(w)) {
            st.dest = State::Skip;
        } else if (w == "shpinst") {
            st.dest = st.dest == State::Skip && st.starredFrom == State::Text ? State::Shape : State::Skip;
        } else if (w == "shptxt") {
            if (st.dest != State::Shape) return;
            flushBytes();
            st.dest = State::Text;
            st.sink = State::Frame;
            ++st.frameDepth;
            frames_.emplace_back();
        } else if (w == "footnote") {
            const bool inText = st.dest == State::Text || (st.dest == State::Skip && st.starredFrom == State::Text);
            if (!inText || st.sink != State::Body) {
                st.dest = State::Skip;
                return;
            }
            st.dest = State::Text;
            st.sink = State::Note;
            notes_.emplace_back();
            noteMarks_.push_back(lastMark_.isEmpty() ? QString::number(notes_.size()) : lastMark_);
            noteMarkAt_ = lastMark_.isEmpty() ? Flow::RunPosition{} : markAt_;
            lastMark_.clear();
        } else if (w == "ftnalt") {
            // An endnote: its mark counts among the endnotes, in their numbering.
            if (st.sink != State::Note || noteMarks_.empty() || !noteMarkAt_.valid()) return;
            --footnoteCount_;
            noteMarks_.back() = noteNumber(++endnoteCount_, endnoteNumbering_);
            body_.replaceRunText(noteMarkAt_, noteMarks_.back());
            noteMarkAt_ = Flow::RunPosition{};
        } else if (w == "chftn") {
            if (st.dest != State::Text || st.sink != State::Body) return;
            lastMark_ = noteNumber(++footnoteCount_, footnoteNumbering_);
            textOut(st, lastMark_);
            markAt_ = body_.lastRun();
        } else if (std::pair<bool, NoteNumbering> n; noteNumbering(w, &n.first, &n.second)) {
            (n.first ? endnoteNumbering_ : footnoteNumbering_) = n.second;
        } else if (w == "listtext" || w == "pntext") {
            if (st.dest != State::Text || st.sink == State::Label) return;
            flushBytes();
            st.sink = State::Label;
            label_.clear();
        } else if (w == "ansicpg") {
            docCodePage_ = arg;
        } else if (w == "fcharset") {
            if (st.dest == State::FontTable) fonts_.setCodePage(rtftext::codePageOfCharset(arg));
        } else if (w == "cpg") {
            if (st.dest == State::FontTable) fonts_.setCodePage(arg);
        } else if (w == "red") {
            red_ = arg;
        } else if (w == "green") {
            green_ = arg;
        } else if (w == "blue") {
            blue_ = arg;
        } else if (w == "s") {
            if (st.dest == State::Text) applyStyle(st, arg, false);
        } else if (w == "cs") {
            if (st.dest == State::Text) applyStyle(st, arg, true);
        } else if (w == "uc") {
            st.ucSkip = arg;
        } else if (w == "u") {
            unicodeUnit(st, static_cast<char16_t>(static_cast<uint16_t>(arg)));
            skipFallback_ = st.ucSkip;
        } else if (w == "par") {
            paragraph(st);
        } else if (w == "intbl") {
            st.inTable = true;
        } else if (w == "pard") {
            st.inTable = false;
        } else if (w == "cell") {
            flushBytes();
            if (st.dest == State::Text) flowFor(st).cellEnd();
        } else if (w == "row") {
            flushBytes();
            if (st.dest == State::Text) flowFor(st).rowEnd(st);
            st.inTable = false;
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

    // Character formatting, in text and in styles; false for other controls.
    bool applyFormat(State& st, const std::string& w, bool hasArg, int arg) {
        const bool on = !hasArg || arg != 0;
        if (w == "f") {
            flushBytes();
            if (st.dest == State::FontTable) fonts_.setNumber(arg);
            else st.font = arg;
        } else if (w == "fs") {
            flushBytes();
            st.halfPoints = arg;
            st.dbHalfPoints = 0;
        } else if (w == "cf") {
            flushBytes();
            st.colour = arg;
        } else if (w == "rtlch") {
            flushBytes();
            st.assoc = State::Other;
        } else if (w == "ltrch" || w == "loch" || w == "hich") {
            flushBytes();
            st.assoc = State::Latin;
        } else if (w == "dbch") {
            flushBytes();
            st.assoc = State::DoubleByte;
        } else if (w == "af" || w == "afs" || w == "ab" || w == "ai" || w == "aul" || w == "aulnone" ||
                   w == "astrike") {
            if (st.assoc != State::DoubleByte) return true;
            flushBytes();
            if (w == "af") st.dbFont = arg;
            else if (w == "afs") st.dbHalfPoints = arg;
            else if (w == "ab") st.dbBold = on;
            else if (w == "ai") st.dbItalic = on;
            else if (w == "aul") st.dbUnderline = on;
            else if (w == "aulnone") st.dbUnderline = 0;
            else st.dbStrike = on;
        } else if (w == "b") {
            flushBytes();
            st.bold = on;
            st.dbBold = -1;
        } else if (w == "i") {
            flushBytes();
            st.italic = on;
            st.dbItalic = -1;
        } else if (underlineKind(w)) {
            flushBytes();
            st.underline = on;
            st.dbUnderline = -1;
        } else if (w == "ulnone") {
            flushBytes();
            st.underline = false;
            st.dbUnderline = -1;
        } else if (w == "strike" || w == "striked") {
            flushBytes();
            st.strike = on;
            st.dbStrike = -1;
        } else if (w == "plain") {
            flushBytes();
            State fresh;
            fresh.ucSkip = st.ucSkip;
            fresh.dest = st.dest;
            fresh.starredFrom = st.starredFrom;
            fresh.sink = st.sink;
            fresh.entry = st.entry;
            fresh.frameDepth = st.frameDepth;
            fresh.inTable = st.inTable;
            st = fresh;
            if (st.dest == State::Text) {
                applyStyle(st, StyleSheet::kDefaults, false);
                applyStyle(st, 0, false);
            }
        } else {
            return false;
        }
        return true;
    }

    // The character formatting of a style and the styles it is based on.
    void applyStyle(State& st, int id, bool characterStyle) {
        const State::Assoc assoc = st.assoc;
        for (const Control& c : styles_.controls(id, characterStyle)) applyFormat(st, c.word, c.hasArg, c.arg);
        st.assoc = assoc;
    }

    void byteOut(State& st, unsigned char b) {
        if (st.dest == State::ColourTable) {
            if (b == ';') {
                colours_.push_back(QColor(red_, green_, blue_));
                red_ = green_ = blue_ = 0;
            }
            return;
        }
        if (st.dest == State::FontTable) {
            if (b == ';') fonts_.endEntry(docCodePage_);
            else fonts_.addByte(static_cast<char>(b));
            return;
        }
        if (st.dest != State::Text) return;
        if (pendingHigh_ != 0) flushBytes();  // text between the halves: the high one is alone
        if (!bytes_.empty() && !sameByteRun(bytesState_, st)) flushBytes();
        bytes_ += static_cast<char>(b);
        bytesState_ = st;
    }

    static bool sameByteRun(const State& a, const State& b) {
        return a.sink == b.sink && a.byteFont() == b.byteFont();
    }

    // One UTF-16 unit of "\uN". A high surrogate waits for the low one of the next "\uN";
    // a surrogate without its partner becomes U+FFFD at once, so that what is read is what
    // writing it gives back.
    void unicodeUnit(State& st, char16_t u) {
        if (st.dest == State::FontTable) {
            if (!QChar::isSurrogate(u)) fonts_.addText(QString(QChar(u)).toStdString(), docCodePage_);
            return;
        }
        if (QChar::isLowSurrogate(u) && pendingHigh_ != 0) {
            const QChar pair[2] = {QChar(pendingHigh_), QChar(u)};
            pendingHigh_ = 0;
            insert(st, QString(pair, 2));
            return;
        }
        flushBytes();
        if (QChar::isHighSurrogate(u)) {
            pendingHigh_ = u;
            pendingState_ = st;
            return;
        }
        textOut(st, QString(QChar(QChar::isSurrogate(u) ? char16_t(0xFFFD) : u)));
    }

    void flushBytes() {
        if (pendingHigh_ != 0) {
            pendingHigh_ = 0;
            insert(pendingState_, QString(QChar(0xFFFD)));
        }
        if (bytes_.empty()) return;
        const int cp = fonts_.codePage(bytesState_.byteFont(), docCodePage_);
        const QString text = cp < 0 ? rtftext::decodeSymbol(bytes_) : rtftext::decode(bytes_, cp);
        bytes_.clear();
        insert(bytesState_, text);
    }

    void textOut(State& st, const QString& s) {
        flushBytes();
        if (st.dest != State::Text) return;
        insert(st, s);
    }

    void paragraph(State& st) {
        flushBytes();
        if (st.dest != State::Text || st.sink == State::Label) return;
        // A paragraph of a table cell goes on in the row's paragraph.
        if (st.inTable) flowFor(st).add(st, QString(QChar(0x2028)));
        else flowFor(st).paragraphEnd();
    }

    Flow& flowFor(const State& st) {
        if (st.sink == State::Frame && !frames_.empty()) return frames_.back();
        return st.sink == State::Note && !notes_.empty() ? notes_.back() : body_;
    }

    void insert(const State& st, const QString& s) {
        if (st.dest != State::Text || s.isEmpty()) return;
        const QString text = rtftext::plainSymbols(s);
        if (st.sink == State::Label) label_.push_back({st, text});
        else flowFor(st).add(st, text);
    }

    QTextCharFormat format(const State& st) const {
        QTextCharFormat f;
        if (st.font >= 0) {
            const std::string name = fonts_.name(st.font);
            if (!name.empty()) f.setFontFamilies({QImageCanvas::familyFor(name)});
        }
        if (st.halfPoints > 0) f.setFontPointSize(st.halfPoints / 2.0);
        if (st.colour > 0 && st.colour < static_cast<int>(colours_.size())) f.setForeground(colours_[st.colour]);
        f.setFontWeight(st.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(st.italic);
        f.setFontUnderline(st.underline);
        f.setFontStrikeOut(st.strike);
        return f;
    }

    // The body, then each footnote as paragraphs that start with its mark in brackets.
    void fill() {
        std::vector<Paragraph> paras = body_.finish();
        for (std::size_t n = 0; n < notes_.size(); ++n) {
            std::vector<Paragraph> note = notes_[n].finish();
            // The note's own text starts after its mark and the space or tab that follows it.
            Paragraph& first = note.front();
            std::size_t i = 0;
            for (; i < first.size(); ++i) {
                QString& t = first[i].text;
                qsizetype k = 0;
                while (k < t.size() && (t[k] == ' ' || t[k] == '\t')) ++k;
                t.remove(0, k);
                if (!t.isEmpty()) break;
            }
            first.erase(first.begin(), first.begin() + static_cast<std::ptrdiff_t>(i));
            const State markState = first.empty() ? State{} : first.front().state;
            first.insert(first.begin(), Run{markState, "[" + noteMarks_[n] + "] "});
            paras.insert(paras.end(), note.begin(), note.end());
        }
        doc_.clear();
        QTextCursor cursor(&doc_);
        // One edit block for the whole file: the document lays out once at its end instead of
        // after every run (which made a paragraph of many runs quadratic).
        cursor.beginEditBlock();
        insertParagraphs(cursor, paras, [this](const State& st) { return format(st); });
        cursor.endEditBlock();
    }

    const std::string& in_;
    QTextDocument& doc_;
    std::size_t pos_ = 0;
    int docCodePage_ = 936;  // without "\ansicpg": GBK, as the comment files are written
    std::string bytes_;
    State bytesState_;
    int skipFallback_ = 0;
    char16_t pendingHigh_ = 0;  // a high surrogate of "\uN" waiting for its low one
    State pendingState_;
    Flow body_;
    std::vector<Flow> notes_;
    std::vector<Flow> frames_;  // text frames being read, the innermost last
    std::vector<QString> noteMarks_;
    QString lastMark_;
    Flow::RunPosition markAt_, noteMarkAt_;  // the last mark written, the current note's mark
    int footnoteCount_ = 0, endnoteCount_ = 0;
    NoteNumbering footnoteNumbering_ = NoteNumbering::Arabic, endnoteNumbering_ = NoteNumbering::Arabic;
    std::vector<Run> label_;
    FontTable fonts_;
    StyleSheet styles_;
    std::vector<QColor> colours_;
    int red_ = 0, green_ = 0, blue_ = 0;
};
}  // namespace

bool read(const std::string& rtfBytes, QTextDocument& doc) {
    Reader r(rtfBytes, doc);
    return r.run();
}
}  // namespace rtfread
