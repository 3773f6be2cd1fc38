#include "platform/qt/RtfFlow.h"

#include <QTextCursor>

#include "platform/qt/RtfCharsets.h"

namespace rtfread {
bool State::hasDoubleByteFormat() const {
    return dbFont >= 0 || dbHalfPoints > 0 || dbBold >= 0 || dbItalic >= 0 || dbUnderline >= 0 ||
           dbStrike >= 0;
}

State State::doubleByte() const {
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

void Flow::add(const State& st, const QString& text) {
    if (text.isEmpty()) return;
    for (; pending_ > 0; --pending_) {
        paras_.emplace_back();
        cells_ = tabs_ = 0;
    }
    for (; tabs_ < cells_; ++tabs_) paras_.back().push_back({st, QStringLiteral("\t")});
    paras_.back().push_back({st, text});
}

void Flow::rowEnd(const State& st) {
    const int cells = cells_;
    if (tabs_ < cells - 1) {
        // Empty cells at the end of the row, or a row of empty cells: their separators.
        for (; pending_ > 0; --pending_) paras_.emplace_back();
        for (int tabs = tabs_; tabs < cells - 1; ++tabs) paras_.back().push_back({st, QStringLiteral("\t")});
    }
    cells_ = tabs_ = 0;
    ++pending_;
}

void Flow::insertBeforeCurrent(const std::vector<Paragraph>& paras) {
    std::vector<Paragraph> kept;
    for (const Paragraph& p : paras)
        if (!p.empty()) kept.push_back(p);
    if (kept.empty()) return;
    for (; pending_ > 0; --pending_) {
        paras_.emplace_back();
        cells_ = tabs_ = 0;
    }
    paras_.insert(paras_.end() - 1, kept.begin(), kept.end());
}

Flow::RunPosition Flow::lastRun() const {
    if (paras_.back().empty()) return {};
    return {paras_.size() - 1, paras_.back().size() - 1, true};
}

void Flow::replaceRunText(const RunPosition& at, const QString& text) {
    if (at.set && at.paragraph < paras_.size() && at.run < paras_[at.paragraph].size())
        paras_[at.paragraph][at.run].text = text;
}

QString noteNumber(int n, NoteNumbering kind) {
    if (n <= 0) return QString::number(n);
    switch (kind) {
    case NoteNumbering::LowerRoman:
    case NoteNumbering::UpperRoman: {
        if (n >= 4000) return QString::number(n);
        static const std::pair<int, const char*> parts[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"},
                                                            {100, "c"},  {90, "xc"},  {50, "l"},  {40, "xl"},
                                                            {10, "x"},   {9, "ix"},   {5, "v"},   {4, "iv"},
                                                            {1, "i"}};
        QString out;
        for (const auto& p : parts)
            for (; n >= p.first; n -= p.first) out += QLatin1String(p.second);
        return kind == NoteNumbering::UpperRoman ? out.toUpper() : out;
    }
    case NoteNumbering::LowerLetter:
    case NoteNumbering::UpperLetter: {
        // a … z, then aa … zz, aaa …
        const QChar letter(static_cast<char16_t>((kind == NoteNumbering::LowerLetter ? 'a' : 'A') + (n - 1) % 26));
        return QString((n - 1) / 26 + 1, letter);
    }
    case NoteNumbering::Symbols: {
        static const char16_t symbols[] = {u'*', 0x2020, 0x2021, 0xA7};
        return QString((n - 1) / 4 + 1, QChar(symbols[(n - 1) % 4]));
    }
    case NoteNumbering::Arabic: break;
    }
    return QString::number(n);
}

std::vector<Paragraph> Flow::finish() const {
    std::vector<Paragraph> out = paras_;
    for (int i = 1; i < pending_; ++i) out.emplace_back();
    return out;
}

namespace {
using rtftext::Script;

char32_t codePointAt(const QString& s, qsizetype i, bool* pair) {
    *pair = s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate();
    return *pair ? QChar::surrogateToUcs4(s[i], s[i + 1]) : s[i].unicode();
}

Script firstStrongScript(const Paragraph& para) {
    for (const Run& r : para) {
        bool pair = false;
        for (qsizetype i = 0; i < r.text.size(); i += pair ? 2 : 1) {
            const Script s = rtftext::scriptOf(codePointAt(r.text, i, &pair));
            if (s != Script::Weak) return s;
        }
    }
    return Script::Latin;
}

void insertParagraph(QTextCursor& cursor, const Paragraph& para,
                     const std::function<QTextCharFormat(const State&)>& format) {
    Script current = firstStrongScript(para);
    for (const Run& r : para) {
        if (!r.state.hasDoubleByteFormat()) {
            // Both scripts look the same: one piece, but the script still moves on.
            cursor.insertText(r.text, format(r.state));
            bool pair = false;
            for (qsizetype i = 0; i < r.text.size(); i += pair ? 2 : 1) {
                const Script s = rtftext::scriptOf(codePointAt(r.text, i, &pair));
                if (s != Script::Weak) current = s;
            }
            continue;
        }
        const State cjk = r.state.doubleByte();
        qsizetype start = 0;
        Script startScript = current;
        bool pair = false;
        for (qsizetype i = 0; i < r.text.size(); i += pair ? 2 : 1) {
            const Script s = rtftext::scriptOf(codePointAt(r.text, i, &pair));
            if (s != Script::Weak) current = s;
            if (i == 0) {
                startScript = current;
            } else if (current != startScript) {
                cursor.insertText(r.text.mid(start, i - start),
                                  format(startScript == Script::Asian ? cjk : r.state));
                start = i;
                startScript = current;
            }
        }
        cursor.insertText(r.text.mid(start), format(startScript == Script::Asian ? cjk : r.state));
    }
}
}  // namespace

void insertParagraphs(QTextCursor& cursor, const std::vector<Paragraph>& paras,
                      const std::function<QTextCharFormat(const State&)>& format) {
    for (std::size_t i = 0; i < paras.size(); ++i) {
        if (i > 0) cursor.insertBlock();
        insertParagraph(cursor, paras[i], format);
    }
}
}  // namespace rtfread
