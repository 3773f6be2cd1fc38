#include "records/ui/CategoryList.h"

#include <QLineEdit>
#include <algorithm>

#include "platform/core/Gbk.h"
#include "platform/core/IniFile.h"
#include "platform/qt/Controls.h"

std::vector<std::string> savedCategories(const IniFile* settings) {
    std::vector<std::string> out;
    if (!settings) return out;
    const int count = settings->readInteger("classes", "count", 0);
    for (int i = 1; i <= count; ++i)
        out.push_back(settings->readString("classes", std::to_string(i), "临时保存"));
    return out;
}

std::string trimBlanks(const std::string& text) {
    std::size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
    return text.substr(b, e - b);
}

void limitGbkBytes(QLineEdit* field, std::size_t bytes) {
    QObject::connect(field, &QLineEdit::textChanged, field, [field, bytes](const QString& t) {
        const std::string utf8 = t.toStdString();
        if (gbk::byteLength(utf8) <= bytes) return;
        const int caret = field->cursorPosition();
        field->setText(qs(gbk::cutUtf8(utf8, bytes)));
        field->setCursorPosition(std::min(caret, static_cast<int>(field->text().size())));
    });
}

bool fitsGbk(const std::string& utf8) { return gbk::encodable(utf8); }
