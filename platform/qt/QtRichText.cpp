#include "platform/qt/QtRichText.h"

#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include "platform/core/FileOps.h"
#include "platform/core/Gbk.h"
#include "platform/core/ReplaceFile.h"
#include "platform/qt/QImageCanvas.h"
#include "platform/qt/RtfCodec.h"

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
QColor toQColor(Rgb c) { return QColor(c.r, c.g, c.b); }
Rgb fromQColor(const QColor& c) {
    return Rgb{static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()),
               static_cast<uint8_t>(c.blue())};
}
void applyStyle(QTextCharFormat& f, TextStyle s) {
    f.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(s.italic);
    f.setFontUnderline(s.underline);
    f.setFontStrikeOut(s.strikeOut);
}
// CJK faces such as UMing have no line gap of their own; a little leading keeps lines apart.
QTextBlockFormat readableBlock() {
    QTextBlockFormat b;
    b.setLineHeight(115, QTextBlockFormat::ProportionalHeight);
    return b;
}
// A regular file only (a FIFO would wait for a writer, a device never ends), of a size a text
// may have; a link to a file is followed, as a file dialog offers it.
bool readAll(const std::string& path, std::string& out) {
    out.clear();
    const recfs::Fd in = recfs::openRegularForReading(path, true);
    const off_t size = in.valid() ? recfs::fileSize(in.get()) : -1;
    if (size < 0 || size > (256 << 20)) return false;
    out.resize(static_cast<std::size_t>(size));
    return size == 0 || recfs::readFully(in.get(), out.data(), out.size(), 0);
}
}  // namespace

QtRichText::QtRichText(QTextEdit& edit) : edit_(edit), rtf_(&GbkRtfCodec::instance()) {
    edit_.setAcceptRichText(true);
    defaultFormat_ = edit_.currentCharFormat();
}

int QtRichText::toQtPos(int codePoints) const {
    const QString t = edit_.toPlainText();
    int i = 0;
    for (int n = 0; n < codePoints && i < t.size(); ++n)
        i += (t[i].isHighSurrogate() && i + 1 < t.size()) ? 2 : 1;
    return i;
}

int QtRichText::fromQtPos(int qtIndex) const {
    const QString t = edit_.toPlainText();
    int n = 0;
    for (int i = 0; i < qtIndex && i < t.size(); ++n)
        i += (t[i].isHighSurrogate() && i + 1 < t.size()) ? 2 : 1;
    return n;
}

void QtRichText::clear() { edit_.clear(); }

void QtRichText::setText(const std::string& text) {
    QString t = q(text);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    edit_.clear();
    QTextCursor c(edit_.document());
    c.setBlockFormat(readableBlock());
    c.setCharFormat(defaultFormat_);
    c.insertText(t, defaultFormat_);
    edit_.setCurrentCharFormat(defaultFormat_);
}

std::string QtRichText::text() const { return edit_.toPlainText().toStdString(); }

int QtRichText::length() const { return static_cast<int>(edit_.toPlainText().toUcs4().size()); }

void QtRichText::setDefaultAttributes(int size, Rgb color, TextStyle style) {
    defaultFormat_ = QTextCharFormat();
    defaultFormat_.setFontFamilies({QImageCanvas::familyFor(fontName_)});
    if (size > 0) defaultFormat_.setFontPointSize(size);
    defaultFormat_.setForeground(toQColor(color));
    applyStyle(defaultFormat_, style);
    edit_.setCurrentCharFormat(defaultFormat_);
}

int QtRichText::fontSize() const {
    const int p = edit_.font().pointSize();
    return p > 0 ? p : 10;
}

int QtRichText::find(const std::string& what, int from, int to) const {
    if (what.empty()) return -1;
    const QString t = edit_.toPlainText();
    const QString w = q(what);
    const int qFrom = toQtPos(std::max(0, from));
    const int qTo = toQtPos(std::max(0, to));
    const int at = static_cast<int>(t.indexOf(w, qFrom, Qt::CaseSensitive));
    if (at < 0 || at + w.size() > qTo) return -1;
    return fromQtPos(at);
}

void QtRichText::select(int start, int length) {
    QTextCursor c(edit_.document());
    const int a = toQtPos(std::max(0, start));
    const int b = toQtPos(std::max(0, start) + std::max(0, length));
    c.setPosition(a);
    c.setPosition(b, QTextCursor::KeepAnchor);
    edit_.setTextCursor(c);
}

void QtRichText::setSelectionColor(Rgb c) {
    QTextCharFormat f;
    f.setForeground(toQColor(c));
    edit_.textCursor().mergeCharFormat(f);
    edit_.mergeCurrentCharFormat(f);
}

void QtRichText::setSelectionStyle(TextStyle s) {
    QTextCharFormat f;
    applyStyle(f, s);
    edit_.textCursor().mergeCharFormat(f);
    edit_.mergeCurrentCharFormat(f);
}

void QtRichText::setSelectionFont(const std::string& name, int size) {
    QTextCharFormat f;
    if (!name.empty()) f.setFontFamilies({QImageCanvas::familyFor(name)});
    if (size > 0) f.setFontPointSize(size);
    edit_.textCursor().mergeCharFormat(f);
    edit_.mergeCurrentCharFormat(f);
}

bool QtRichText::modified() const { return edit_.document()->isModified(); }
void QtRichText::setModified(bool m) { edit_.document()->setModified(m); }

void QtRichText::setFontName(const std::string& name) {
    fontName_ = name;
    QFont f = edit_.font();
    f.setFamily(QImageCanvas::familyFor(name));
    edit_.setFont(f);
    defaultFormat_.setFontFamilies({f.family()});
}

void QtRichText::setFontSize(int points) {
    if (points <= 0) return;
    QFont f = edit_.font();
    f.setPointSize(points);
    edit_.setFont(f);
}

void QtRichText::setBackgroundColor(Rgb c) {
    background_ = c;
    QPalette p = edit_.palette();
    p.setColor(QPalette::Base, toQColor(c));
    edit_.setPalette(p);
}

bool QtRichText::hasSelection() const { return edit_.textCursor().hasSelection(); }

FontChoice QtRichText::selectionFont() const {
    QTextCursor c = edit_.textCursor();
    c.setPosition(c.selectionStart());
    c.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    const QTextCharFormat f = c.charFormat();
    const QFont font = f.font();
    FontChoice r;
    r.name = QImageCanvas::programFontName(font.family());
    r.size = font.pointSize() > 0 ? font.pointSize() : fontSize();
    r.style.bold = font.bold();
    r.style.italic = font.italic();
    r.style.underline = font.underline();
    r.style.strikeOut = font.strikeOut();
    r.color = f.hasProperty(QTextFormat::ForegroundBrush) ? fromQColor(f.foreground().color())
                                                          : Rgb{0, 0, 0};
    return r;
}

void QtRichText::applySelectionFont(const FontChoice& font) {
    QTextCharFormat f;
    if (!font.name.empty()) f.setFontFamilies({QImageCanvas::familyFor(font.name)});
    if (font.size > 0) f.setFontPointSize(font.size);
    applyStyle(f, font.style);
    f.setForeground(toQColor(font.color));
    edit_.textCursor().mergeCharFormat(f);
}

void QtRichText::deleteSelection() {
    QTextCursor c = edit_.textCursor();
    if (c.hasSelection()) c.removeSelectedText();
}

void QtRichText::setCaret(int position) {
    QTextCursor c(edit_.document());
    c.setPosition(toQtPos(std::max(0, position)));
    edit_.setTextCursor(c);
    edit_.ensureCursorVisible();
}

bool QtRichText::loadFile(const std::string& path, std::string* error) {
    std::string bytes;
    if (!readAll(path, bytes)) {
        if (error) *error = "cannot read " + path;
        return false;
    }
    if (!loadBytes(bytes, error)) {
        if (error) *error += ": " + path;
        return false;
    }
    return true;
}

bool QtRichText::loadBytes(const std::string& bytes, std::string* error) {
    if (bytes.compare(0, 5, "{\\rtf") == 0) {
        if (!rtf_) {
            if (error) *error = "no RTF reader";
            return false;
        }
        QTextDocument doc;
        if (!rtf_->read(bytes, doc)) {
            if (error) *error = "not readable as RTF";
            return false;
        }
        QTextCursor c(edit_.document());
        c.movePosition(QTextCursor::End);
        c.insertFragment(QTextDocumentFragment(&doc));
        return true;
    }
    QTextCursor c(edit_.document());
    c.movePosition(QTextCursor::End);
    QString t = q(gbk::toUtf8(bytes));
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    c.setBlockFormat(readableBlock());
    c.insertText(t, defaultFormat_);
    return true;
}

bool QtRichText::saveFile(const std::string& path, bool plainText, std::string* error) const {
    std::string bytes;
    if (!contentBytes(plainText, bytes, error)) return false;
    // A complete new file replaces the old one; a FIFO or device under the name is refused.
    const recfs::ReplaceResult r = recfs::replaceFile(path, bytes);
    if (r != recfs::ReplaceResult::Written) {
        if (error) *error = recfs::replaceFailureText(r, path);
        return false;
    }
    return true;
}

bool QtRichText::contentBytes(bool plainText, std::string& bytes, std::string* error) const {
    if (plainText) {
        QString t = edit_.toPlainText();
        t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        bytes = gbk::fromUtf8(t.toStdString());
    } else {
        if (!rtf_) {
            if (error) *error = "no RTF writer";
            return false;
        }
        bytes = rtf_->write(*edit_.document());
    }
    return true;
}

bool QtRichText::print(QPrinter& printer, const std::string& title) const {
    printer.setDocName(q(title));
    if (!printer.isValid()) return false;
    edit_.document()->print(&printer);
    return true;
}
