// What the RTF reader collects before it fills the document: the character state of each run,
// and the paragraphs of a text flow (the body, each footnote) with the table rows flattened.
#pragma once
#include <QString>
#include <QTextCharFormat>
#include <functional>
#include <vector>

class QTextCursor;

namespace rtfread {
struct State {
    int font = -1;
    int halfPoints = 0;  // 0: the document's default size
    int colour = 0;      // index into the colour table, 0 = automatic
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int ucSkip = 1;
    // Where the text of the group goes. Shape: a drawing object, skipped except for the text of
    // its text box; starredFrom: the destination the group had before "\*".
    enum Dest { Text, FontTable, ColourTable, StyleSheet, Shape, Skip } dest = Text;
    Dest starredFrom = Text;
    // Which flow text goes to: the body, the footnote being read, a list label, or a text frame.
    enum Sink { Body, Note, Label, Frame } sink = Body;
    bool entry = false;       // a group of the font table or the style sheet: one font or style
    int frameDepth = 0;       // text frames the text is in
    bool inTable = false;     // the paragraph is in a table cell (\intbl)
    // Associated character properties. Word and LibreOffice format East Asian text through the
    // double-byte set: "\dbch\af2\afs28\ab" makes the CJK characters of the run bold in 14 pt
    // of font 2 whatever "\b" says for the Latin ones. The controls after "\rtlch" belong to
    // right-to-left scripts and those after "\loch" or "\hich" repeat the Latin ones; only
    // the double-byte set is kept. -1 (or 0 for the size): as the Latin text.
    enum Assoc { Latin, DoubleByte, Other } assoc = Latin;
    int dbFont = -1;
    int dbHalfPoints = 0;
    int dbBold = -1, dbItalic = -1, dbUnderline = -1, dbStrike = -1;

    bool hasDoubleByteFormat() const;
    // The format of the East Asian characters of the run, as a Latin-only state.
    State doubleByte() const;
    // The font that byte text is set in: the double-byte font after "\dbch".
    int byteFont() const { return assoc == DoubleByte && dbFont >= 0 ? dbFont : font; }
};

struct Run {
    State state;
    QString text;
};
using Paragraph = std::vector<Run>;

// A text flow. A paragraph mark ends the paragraph but opens the next only when more text comes,
// so a last mark adds no empty paragraph. A table row becomes one paragraph with its cells
// separated by tabs; a paragraph break inside a cell becomes a line break.
class Flow {
public:
    void add(const State& st, const QString& text);
    void paragraphEnd() { ++pending_; }
    void cellEnd() { ++cells_; }
    void rowEnd(const State& st);
    // Paragraphs placed before the current one, which they belong to (a text frame's text,
    // before the paragraph the frame is anchored in); empty ones are left out.
    void insertBeforeCurrent(const std::vector<Paragraph>& paras);
    // Where a run is, to change its text later (a note's mark once the note says it is an endnote).
    struct RunPosition {
        std::size_t paragraph = 0, run = 0;
        bool set = false;
        bool valid() const { return set; }
    };
    RunPosition lastRun() const;
    void replaceRunText(const RunPosition& at, const QString& text);
    // The paragraphs; more than one mark at the end gives empty paragraphs.
    std::vector<Paragraph> finish() const;

private:
    std::vector<Paragraph> paras_{1};
    int pending_ = 0;
    int cells_ = 0;  // cells of the current row ended so far
    int tabs_ = 0;   // separators of the current row written so far
};

// How foot- and endnote marks are numbered: 1 2 3, i ii iii, I II III, a b c, A B C, * † ‡ §.
enum class NoteNumbering { Arabic, LowerRoman, UpperRoman, LowerLetter, UpperLetter, Symbols };
QString noteNumber(int n, NoteNumbering kind);

// Writes the paragraphs at the cursor, a paragraph break between two. Each character takes the
// format of its script (see rtftext::scriptOf); one without a script of its own takes that of
// the character before it, or at the start of the paragraph of the first one that has one.
void insertParagraphs(QTextCursor& cursor, const std::vector<Paragraph>& paras,
                      const std::function<QTextCharFormat(const State&)>& format);
}  // namespace rtfread
