#include "astro/ChebyshevTable.h"

#include <cstring>

#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the position tables are stored little-endian"
#endif

namespace chebyshev {
namespace {
constexpr double kJ2000 = 2451545.0;

template <class T>
T get(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
}  // namespace

Table read(const unsigned char* p, const unsigned char* end, std::size_t count) {
    Table r;
    const std::size_t size = static_cast<std::size_t>(end - p);
    constexpr std::size_t kHead = 12, kBodyHead = 36;
    if (size < kHead + count * kBodyHead || std::memcmp(p, "TAST", 4) != 0 || get<uint32_t>(p + 4) != 1 ||
        get<uint32_t>(p + 8) != count)
        return r;
    std::size_t at = kHead + count * kBodyHead;
    r.series.resize(count);
    for (std::size_t b = 0; b < count; ++b) {
        const unsigned char* h = p + kHead + b * kBodyHead;
        Series& s = r.series[b];
        s.first = get<double>(h + 4);
        s.length = get<double>(h + 12);
        s.pieces = get<uint32_t>(h + 20);
        s.n = get<uint32_t>(h + 24);
        s.unit = get<double>(h + 28);
        if (s.n < 2 || s.n > 64 || s.length <= 0 || s.pieces == 0) return Table{};
        s.data = p + at;
        at += static_cast<std::size_t>(s.pieces) * 3 * s.coordinateBytes();
        if (at > size) return Table{};
    }
    r.valid = true;
    return r;
}

RectangularPosition evaluate(const Series& s, double T) {
    double days = kJ2000 + T * 36525 - s.first;
    const double span = s.pieces * s.length;
    if (!(days >= 0)) days = 0;  // NaN too
    if (days > span) days = span;
    std::size_t piece = static_cast<std::size_t>(days / s.length);
    if (piece >= s.pieces) piece = s.pieces - 1;
    const double x = 2 * (days - static_cast<double>(piece) * s.length) / s.length - 1;
    const unsigned char* p = s.data + piece * 3 * s.coordinateBytes();
    double v[3];
    for (int c = 0; c < 3; ++c, p += s.coordinateBytes()) {
        // Clenshaw's recurrence from the highest coefficient down.
        double b1 = 0, b2 = 0;
        for (std::size_t j = s.n; j-- > 2;) {
            const double b0 = 2 * x * b1 - b2 + get<int32_t>(p + 16 + 4 * (j - 2)) * s.unit;
            b2 = b1;
            b1 = b0;
        }
        const double b0 = 2 * x * b1 - b2 + get<double>(p + 8);
        v[c] = x * b0 - b1 + get<double>(p);
    }
    return {v[0], v[1], v[2]};
}
}  // namespace chebyshev
