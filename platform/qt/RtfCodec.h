// RTF for the reading and the comment files: written with code page 936 (GBK) as a Windows rich
// edit control would read it; read back with fonts, sizes, colours, bold, italic, underline and
// strike-out. Reading takes what office programs write (see RtfReader.h).
#pragma once
#include "platform/qt/QtRichText.h"

class GbkRtfCodec : public RtfCodec {
public:
    bool read(const std::string& rtfBytes, QTextDocument& doc) const override;
    std::string write(const QTextDocument& doc) const override;

    // The codec QtRichText uses unless told otherwise.
    static const GbkRtfCodec& instance();
};
