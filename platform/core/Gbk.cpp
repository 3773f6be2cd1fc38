#include "platform/core/Gbk.h"

#include <iconv.h>

#include <cerrno>
#include <string>

namespace gbk {
namespace {
// One conversion descriptor per call; iconv_t is not shareable between threads.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as possible; returns false and sets `pos` at the offending input byte on
    // an invalid or unconvertible sequence (EILSEQ) or a truncated one at the end (EINVAL).
    bool run(std::string_view in, size_t& pos, std::string& out) {
        char buf[4096];
        while (pos < in.size()) {
            char* src = const_cast<char*>(in.data() + pos);
            size_t srcLeft = in.size() - pos;
            char* dst = buf;
            size_t dstLeft = sizeof buf;
            const size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buf, static_cast<size_t>(dst - buf));
            pos = in.size() - srcLeft;
            if (r == static_cast<size_t>(-1) && errno != E2BIG) {
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
                return false;
            }
        }
        return true;
    }

private:
    iconv_t cd_;
};

size_t utf8SequenceLength(unsigned char c) {
    if (c < 0x80) return 1;
    if ((c & 0xE0) == 0xC0) return 2;
    if ((c & 0xF0) == 0xE0) return 3;
    if ((c & 0xF8) == 0xF0) return 4;
    return 1;
}

}  // namespace

std::string fromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    Converter cv("GBK", "UTF-8");
    if (!cv.valid()) return std::string(utf8);
    size_t pos = 0;
    while (!cv.run(utf8, pos, out)) {
        out.push_back('?');
        pos += utf8SequenceLength(static_cast<unsigned char>(utf8[pos]));
        if (pos > utf8.size()) pos = utf8.size();
    }
    return out;
}

std::string toUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    Converter cv("UTF-8", "GBK");
    if (!cv.valid()) return std::string(bytes);
    size_t pos = 0;
    while (!cv.run(bytes, pos, out)) {
        out += "\xEF\xBF\xBD";  // U+FFFD, then go on after the bad byte
        pos += 1;
    }
    return out;
}

std::size_t byteLength(std::string_view utf8) { return fromUtf8(utf8).size(); }

std::string cut(std::string_view bytes, std::size_t n) {
    size_t i = 0;
    while (i < bytes.size()) {
        const size_t len = isLeadByte(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
        if (i + len > n || i + len > bytes.size()) break;
        i += len;
    }
    return std::string(bytes.substr(0, i));
}

std::string cutUtf8(std::string_view utf8, std::size_t n) {
    size_t used = 0;
    size_t i = 0;
    while (i < utf8.size()) {
        size_t len = utf8SequenceLength(static_cast<unsigned char>(utf8[i]));
        if (i + len > utf8.size()) len = utf8.size() - i;
        const size_t g = fromUtf8(utf8.substr(i, len)).size();
        if (used + g > n) break;
        used += g;
        i += len;
    }
    return std::string(utf8.substr(0, i));
}

bool encodable(std::string_view utf8) {
    Converter cv("GBK", "UTF-8");
    if (!cv.valid()) return false;
    std::string out;
    size_t pos = 0;
    return cv.run(utf8, pos, out);
}
}  // namespace gbk
