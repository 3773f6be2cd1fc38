// Small pieces the category commands and the two case dialogs share: the category list of the
// settings file as the dialogs offer it, trimming, and a byte limit on typed GBK text.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

class IniFile;
class QLineEdit;

// Section "classes": "count" entries, keys "1" ... "count"; a key missing from the file reads as
// "临时保存". None without a settings file.
std::vector<std::string> savedCategories(const IniFile* settings);
// The text without leading and trailing blanks (spaces and control characters).
std::string trimBlanks(const std::string& text);
// True when every character of the UTF-8 text has a GBK code (it is stored as GBK).
bool fitsGbk(const std::string& utf8);
inline constexpr const char* kCategoryNotGbk = "类别名中有无法保存的字符，请改用其他文字！";
// Text typed into the field is cut at a character boundary to `bytes` GBK bytes.
void limitGbkBytes(QLineEdit* field, std::size_t bytes);
