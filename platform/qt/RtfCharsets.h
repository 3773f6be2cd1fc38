// Character sets and scripts of RTF text. Bytes in an RTF file are in the code page of the font
// they are set in (its \fcharset) or, for fonts of the ANSI set, the document's code page; word
// processors format each character by its script, East Asian or Latin.
#pragma once
#include <QString>
#include <string>

namespace rtftext {
// The Windows code page of a font's \fcharset; 0 for the document's own code page, -1 for the
// symbol set (bytes name glyphs of the font, not characters).
int codePageOfCharset(int charset);
// Decodes bytes of a Windows code page (936: GBK, the code page of the comment files); bytes of
// a code page without a decoder are read as Latin-1.
QString decode(const std::string& bytes, int codePage);
// Bytes of a symbol font: the private-use characters Word and LibreOffice give them, the
// Symbol font's bullet read as "•".
QString decodeSymbol(const std::string& bytes);
// Characters whose glyph a symbol font draws in its private-use range and that have a plain
// Unicode character of their own ("•" for the Symbol font's bullet); others are kept.
QString plainSymbols(QString text);

enum class Script { Weak, Latin, Asian };
// The script a word processor lays the character out in: CJK ideographs, kana, hangul and their
// punctuation, symbols and full-width forms are Asian; spaces, general punctuation, arrows,
// symbols and enclosed alphanumerics have no script of their own and take that of the
// character before them.
Script scriptOf(char32_t c);
}  // namespace rtftext
