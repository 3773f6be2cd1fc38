// The GBK codec on any bytes, taken both as GBK and as UTF-8: valid UTF-8 out, lengths that
// agree, cuts on character boundaries, and a second round trip that changes nothing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/Gbk.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {
bool validUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        char32_t cp = n == 1 ? c : c & (0x7F >> n);
        for (std::size_t k = 1; k < n; ++k) {
            const unsigned char t = static_cast<unsigned char>(s[i + k]);
            if ((t >> 6) != 2) return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        if ((n == 2 && cp < 0x80) || (n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000) ||
            cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += n;
    }
    return true;
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t n = size == 0 ? 0 : data[0] % 40;

    // As GBK.
    const std::string u = gbk::toUtf8(bytes);
    FUZZ_CHECK(validUtf8(u));
    const std::string g = gbk::fromUtf8(u);
    FUZZ_CHECK(gbk::byteLength(u) == g.size());
    FUZZ_CHECK(gbk::fromUtf8(gbk::toUtf8(g)) == g);
    const std::string cut = gbk::cut(bytes, n);
    FUZZ_CHECK(cut.size() <= n && startsWith(bytes, cut));
    const std::string cutValid = gbk::cut(g, n);
    FUZZ_CHECK(cutValid.size() <= n && startsWith(g, cutValid));
    FUZZ_CHECK(startsWith(gbk::toUtf8(g), gbk::toUtf8(cutValid)));

    // As UTF-8, valid or not.
    const std::string fromAny = gbk::fromUtf8(bytes);
    FUZZ_CHECK(gbk::byteLength(bytes) == fromAny.size());
    FUZZ_CHECK(validUtf8(gbk::toUtf8(fromAny)));
    gbk::encodable(bytes);
    if (validUtf8(bytes)) {
        const std::string c = gbk::cutUtf8(bytes, n);
        FUZZ_CHECK(startsWith(bytes, c) && gbk::byteLength(c) <= n);
        FUZZ_CHECK(!gbk::encodable(bytes) || gbk::toUtf8(fromAny) == bytes);
    }
    return 0;
}
