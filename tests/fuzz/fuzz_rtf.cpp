// The RTF reader on any bytes: read, lay out, write, read what was written and compare. What
// the program writes must be 7-bit text that reads back to the same characters and the same
// bold, italic, underline and strike-out.
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/qt/RtfCodec.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {
struct Look {
    bool bold, italic, underline, strike;
    bool operator==(const Look& o) const {
        return bold == o.bold && italic == o.italic && underline == o.underline && strike == o.strike;
    }
};

Look lookAt(QTextDocument& doc, int pos) {
    QTextCursor c(&doc);
    c.setPosition(pos + 1);
    const QTextCharFormat f = c.charFormat();
    return {f.fontWeight() >= QFont::Bold, f.fontItalic(), f.fontUnderline(), f.fontStrikeOut()};
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int n = 1;
    static char* args[] = {(*argv)[0], nullptr};
    (void)argc;
    new QGuiApplication(n, args);  // lives for the whole run
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string in(reinterpret_cast<const char*>(data), size);
    QTextDocument doc;
    if (!GbkRtfCodec::instance().read(in, doc)) return 0;
    doc.setTextWidth(300);
    const QSizeF laidOut = doc.size();
    FUZZ_CHECK(laidOut.width() >= 0 && laidOut.height() >= 0);

    const std::string written = GbkRtfCodec::instance().write(doc);
    for (unsigned char c : written) FUZZ_CHECK(c < 0x80);
    QTextDocument again;
    FUZZ_CHECK(GbkRtfCodec::instance().read(written, again));
    const QString text = doc.toPlainText();
    FUZZ_CHECK(again.toPlainText() == text);
    for (int pos = 0; pos < text.size(); ++pos)
        if (text[pos] != QChar::ParagraphSeparator && text[pos] != '\n')
            FUZZ_CHECK(lookAt(again, pos) == lookAt(doc, pos));
    return 0;
}
