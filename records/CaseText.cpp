#include "records/CaseText.h"

#include <cstdio>

#include "platform/core/Gbk.h"
#include "platform/core/Numbers.h"

std::string caseNodeText(const CaseRecord& c, int number) {
    return caseNodeText(c, number, c.displayNameUtf8());
}

std::string caseNodeText(const CaseRecord& c, int number, const std::string& nameUtf8) {
    const int shownYear = c.year > 0 ? c.year : c.year - 1;
    char date[64];
    std::snprintf(date, sizeof date, "%d-%d-%d|%d", shownYear, c.month, c.day, number);
    std::string text = nameUtf8 + (c.lunar == 1 ? "  农" : "  公");
    if (c.lunar == 1 && c.leap == 1) text += "闰";
    return text + date;
}

int caseNumberOfNodeText(const std::string& text) {
    const std::size_t bar = text.rfind('|');
    if (bar == std::string::npos) return -1;
    return wholeNumber(text.substr(bar + 1), -1);
}

bool sameCategory(const std::string& a, const std::string& b) {
    const std::string x = gbk::fromUtf8(a), y = gbk::fromUtf8(b);
    if (x.size() != y.size()) return false;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(x[i]), d = static_cast<unsigned char>(y[i]);
        if (gbk::isLeadByte(c) && i + 1 < x.size()) {
            // A two-byte character compares whole: its second byte is never folded.
            if (c != d || x[i + 1] != y[i + 1]) return false;
            ++i;
            continue;
        }
        const auto fold = [](unsigned char ch) { return ch >= 'A' && ch <= 'Z' ? ch + 32 : ch; };
        if (fold(c) != fold(d)) return false;
    }
    return true;
}
