// A rich-text box that also takes RTF from the clipboard or a drop: office programs often offer
// a copied passage as RTF only, which QTextEdit itself cannot read. Such RTF goes through the
// same reader as RTF files (GbkRtfCodec); whatever else QTextEdit reads (HTML, plain text) it
// keeps reading as before.
#pragma once
#include <QTextEdit>
#include <string>

class QMimeData;

class RtfTextEdit : public QTextEdit {
public:
    explicit RtfTextEdit(QWidget* parent = nullptr);

    // The RTF bytes `source` offers ("text/rtf", "application/rtf", "text/richtext" and the
    // like), or "" when it offers none.
    static std::string rtfOf(const QMimeData* source);

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};
