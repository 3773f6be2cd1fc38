// Reading RTF into a document: what Windows rich edit controls, Word, WPS and LibreOffice write.
#pragma once
#include <string>

class QTextDocument;

namespace rtfread {
// Replaces the document's content; false when the bytes are not RTF.
bool read(const std::string& rtfBytes, QTextDocument& doc);
}  // namespace rtfread
