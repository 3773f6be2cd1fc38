// Splits a file's text into numbered lines ("\n", "\r\n" or "\r" ends; a UTF-8 byte-order mark
// at the start is dropped).
#pragma once
#include <string_view>

namespace interchange {

template <typename Visit>
void forEachLine(std::string_view text, Visit visit) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    int number = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) end = text.size();
        visit(++number, text.substr(at, end - at));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        at = end + 1;
    }
}

}  // namespace interchange
