// The rich-text target over a QTextEdit: the reading and the comment box of the main window.
// Positions count Unicode code points of the plain text (paragraph breaks count one).
// RTF files are read and written by an RtfCodec: GbkRtfCodec unless setRtfCodec installs another
// (nullptr: only plain text files can be loaded and saved).
#pragma once
#include <QTextCharFormat>
#include <QTextEdit>
#include <string>

#include "platform/core/RichText.h"
#include "platform/core/UiServices.h"

class QPrinter;
class QTextDocument;

class RtfCodec {
public:
    virtual ~RtfCodec() = default;
    // Replaces the document's content with the RTF bytes; false when they are not RTF.
    virtual bool read(const std::string& rtfBytes, QTextDocument& doc) const = 0;
    virtual std::string write(const QTextDocument& doc) const = 0;
};

class QtRichText : public RichTextTarget {
public:
    explicit QtRichText(QTextEdit& edit);

    void clear() override;
    void setText(const std::string& text) override;
    std::string text() const override;
    int length() const override;
    void setDefaultAttributes(int size, Rgb color, TextStyle style) override;
    int fontSize() const override;
    int find(const std::string& what, int from, int to) const override;
    void select(int start, int length) override;
    void setSelectionColor(Rgb c) override;
    void setSelectionStyle(TextStyle s) override;
    void setSelectionFont(const std::string& name, int size) override;
    bool modified() const override;
    void setModified(bool m) override;

    // The control's own font and background (settings section minggao).
    std::string fontName() const { return fontName_; }
    void setFontName(const std::string& name);
    void setFontSize(int points);
    Rgb backgroundColor() const { return background_; }
    void setBackgroundColor(Rgb c);

    bool hasSelection() const;
    // Attributes at the start of the selection, for pre-setting the font dialog.
    FontChoice selectionFont() const;
    void applySelectionFont(const FontChoice& f);
    void deleteSelection();
    // Caret at the position with an empty selection; the view scrolls to it.
    void setCaret(int position);

    // Loads a file: RTF (when a codec is installed) keeps its formatting, anything else comes
    // in as GBK plain text. False with a reason on failure.
    bool loadFile(const std::string& path, std::string* error = nullptr);
    // The same for bytes already read (a file opened by the caller).
    bool loadBytes(const std::string& bytes, std::string* error = nullptr);
    // The content as RTF or, with plainText, as GBK plain text.
    bool contentBytes(bool plainText, std::string& bytes, std::string* error = nullptr) const;
    // Writes the content as RTF or, with plainText, as GBK plain text.
    bool saveFile(const std::string& path, bool plainText, std::string* error = nullptr) const;
    // Prints the whole document on the printer; false when the printer could not be used.
    bool print(QPrinter& printer, const std::string& title) const;

    void setRtfCodec(const RtfCodec* codec) { rtf_ = codec; }
    QTextEdit& edit() { return edit_; }

private:
    int toQtPos(int codePoints) const;
    int fromQtPos(int qtIndex) const;

    QTextEdit& edit_;
    QTextCharFormat defaultFormat_;
    std::string fontName_ = "宋体";
    Rgb background_{255, 255, 255};
    const RtfCodec* rtf_ = nullptr;
};
