// GBK (code page 936) text at the file boundary. In memory the program keeps UTF-8; every stored
// text is GBK and every length limit counts GBK bytes.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace gbk {
// The first byte of a two-byte GBK character.
constexpr bool isLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
// A byte that may follow a lead byte.
constexpr bool isTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }
// Characters that GBK lacks become '?'; never fails.
std::string fromUtf8(std::string_view utf8);
// Invalid byte sequences become U+FFFD and conversion goes on; never fails.
std::string toUtf8(std::string_view gbkBytes);
// Length in GBK bytes of a UTF-8 text.
std::size_t byteLength(std::string_view utf8);
// Longest prefix of a GBK byte string of at most n bytes that ends on a character boundary.
std::string cut(std::string_view gbkBytes, std::size_t n);
// The same for a UTF-8 text, measured in GBK bytes; the result is UTF-8.
std::string cutUtf8(std::string_view utf8, std::size_t n);
// True when every character of a UTF-8 text is encodable in GBK.
bool encodable(std::string_view utf8);
}  // namespace gbk
