#include "platform/qt/RtfCharsets.h"

#include <QStringDecoder>

#include "platform/core/Gbk.h"

namespace rtftext {
int codePageOfCharset(int charset) {
    switch (charset) {
    case 2: return -1;      // symbol
    case 77: return 10000;  // Mac Roman
    case 128: return 932;   // Shift-JIS
    case 129: return 949;   // Korean (Wansung)
    case 130: return 1361;  // Korean (Johab)
    case 134: return 936;   // GBK
    case 136: return 950;   // Big5
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 255: return 437;   // OEM
    default: return 0;      // ANSI (0), default (1) and the rest: the document's code page
    }
}

namespace {
const char* decoderName(int codePage) {
    switch (codePage) {
    case 932: return "Shift_JIS";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 437: return "IBM437";
    case 874: return "windows-874";
    case 10000: return "macintosh";
    case 1250: return "windows-1250";
    case 1251: return "windows-1251";
    case 1252: return "windows-1252";
    case 1253: return "windows-1253";
    case 1254: return "windows-1254";
    case 1255: return "windows-1255";
    case 1256: return "windows-1256";
    case 1257: return "windows-1257";
    case 1258: return "windows-1258";
    default: return nullptr;
    }
}
}  // namespace

QString decode(const std::string& bytes, int codePage) {
    if (codePage == 936) return QString::fromStdString(gbk::toUtf8(bytes));
    if (const char* name = decoderName(codePage)) {
        QStringDecoder decoder(name);
        if (decoder.isValid())
            return decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    }
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString decodeSymbol(const std::string& bytes) {
    QString out;
    for (unsigned char b : bytes) out += QChar(static_cast<char16_t>(b < 0x20 ? b : 0xF000 + b));
    return plainSymbols(out);
}

QString plainSymbols(QString text) {
    text.replace(QChar(0xF0B7), QChar(0x2022));
    return text;
}

Script scriptOf(char32_t c) {
    if (c <= 0x20 || c == 0xA0 || (c >= 0x2000 && c <= 0x2BFF) || (c >= 0x2E00 && c <= 0x2E7F) ||
        (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xFE50 && c <= 0xFE6F) || (c >= 0x1F000 && c <= 0x1FAFF))
        return Script::Weak;
    if ((c >= 0x1100 && c <= 0x11FF) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7AF) ||
        (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF) ||
        c >= 0x20000)
        return Script::Asian;
    return Script::Latin;
}
}  // namespace rtftext
