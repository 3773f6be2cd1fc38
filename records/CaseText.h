// Texts of the record tree: the case node text and the number at its end, and how category
// texts compare. UTF-8 in, UTF-8 out; comparisons as the stored GBK bytes would compare.
#pragma once
#include <string>

#include "records/Database.h"

// name, "  农" or "  公", "闰" for a lunar leap month, "%d-%d-%d|" of the displayed year
// (year - 1 when year <= 0), month and day, then the record number: "某人  公1985-3-7|12".
std::string caseNodeText(const CaseRecord& c, int number);
// The same with the record's name already in UTF-8 (the tree builder converts names in bulk).
std::string caseNodeText(const CaseRecord& c, int number, const std::string& nameUtf8);
// The record number after the last "|" of a case node text; -1 when there is none.
int caseNumberOfNodeText(const std::string& text);
// Category texts are equal regardless of the case of ASCII letters, byte by byte otherwise.
bool sameCategory(const std::string& a, const std::string& b);
