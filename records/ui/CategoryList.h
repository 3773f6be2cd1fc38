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
// Text typed into the field is cut at a character boundary to `bytes` GBK bytes.
void limitGbkBytes(QLineEdit* field, std::size_t bytes);
