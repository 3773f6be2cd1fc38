#include "platform/qt/RtfTextEdit.h"

#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include "platform/qt/RtfCodec.h"

namespace {
// Only RTF when QTextEdit finds nothing of its own to read.
bool onlyRtf(const QMimeData* source) {
    return source && !source->hasHtml() && !source->hasText() && !source->hasImage() &&
           !RtfTextEdit::rtfOf(source).empty();
}
}  // namespace

RtfTextEdit::RtfTextEdit(QWidget* parent) : QTextEdit(parent) {}

std::string RtfTextEdit::rtfOf(const QMimeData* source) {
    if (!source) return {};
    for (const QString& format : source->formats()) {
        const QString f = format.toLower();
        if (!f.contains(QLatin1String("rtf")) && !f.contains(QLatin1String("richtext"))) continue;
        const QByteArray bytes = source->data(format);
        if (bytes.startsWith("{\\rtf")) return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    return {};
}

bool RtfTextEdit::canInsertFromMimeData(const QMimeData* source) const {
    return QTextEdit::canInsertFromMimeData(source) || onlyRtf(source);
}

void RtfTextEdit::insertFromMimeData(const QMimeData* source) {
    if (isReadOnly() || !onlyRtf(source)) {
        QTextEdit::insertFromMimeData(source);
        return;
    }
    QTextDocument doc;
    if (!GbkRtfCodec::instance().read(rtfOf(source), doc)) return;
    QTextCursor c = textCursor();
    c.insertFragment(QTextDocumentFragment(&doc));
    setTextCursor(c);
    ensureCursorVisible();
}
