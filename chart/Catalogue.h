// The built-in catalogue of interpretation texts: 16-bit identifier -> text. The texts are
// compiled into the program as GBK at build time from chart/texts/*.txt. A missing identifier
// reads as the empty text.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace catalogue {
// UTF-8 text of an identifier; "" when there is none.
std::string text(uint16_t id);
// The stored GBK bytes of an identifier; empty when there is none. The view lives as long as
// the program.
std::string_view gbkText(uint16_t id);
// Every identifier present, ascending.
std::vector<uint16_t> identifiers();
}  // namespace catalogue
