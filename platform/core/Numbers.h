// Whole numbers as the windows read them from text fields.
#pragma once
#include <string>

// A decimal integer with an optional sign and nothing else (no blanks, no other characters)
// that fits in 32 bits; `otherwise` for anything else, the empty text included.
int wholeNumber(const std::string& text, int otherwise);
