// Evaluation of the built-in asteroid tables (format in tools/gen_asteroid_tables.cpp).
#include "astro/Asteroids.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" const unsigned char tarmin_asteroid_table[];
extern "C" const unsigned char tarmin_asteroid_table_end[];

#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the asteroid table is stored little-endian"
#endif

namespace asteroids {
namespace {
constexpr double kJ2000 = 2451545.0;

template <class T>
T read(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

struct Series {
    double first = 0;       // TT Julian day of the first piece
    double length = 1;      // days a piece
    uint32_t pieces = 0;
    uint32_t n = 0;         // coefficients per coordinate
    double unit = 0;        // AU of the stored integers
    const unsigned char* data = nullptr;
    std::size_t coordinateBytes() const { return 16 + 4 * (n - 2); }
};

struct Table {
    std::array<Series, kCount> series{};
    bool valid = false;
};

// The headers read once; a table of another shape leaves every body at the origin.
const Table& table() {
    static const Table t = [] {
        Table r;
        const unsigned char* p = tarmin_asteroid_table;
        const std::size_t size = static_cast<std::size_t>(tarmin_asteroid_table_end - tarmin_asteroid_table);
        constexpr std::size_t kHead = 12, kBodyHead = 36;
        if (size < kHead + kCount * kBodyHead || std::memcmp(p, "TAST", 4) != 0 ||
            read<uint32_t>(p + 4) != 1 || read<uint32_t>(p + 8) != kCount)
            return r;
        std::size_t at = kHead + kCount * kBodyHead;
        for (std::size_t b = 0; b < kCount; ++b) {
            const unsigned char* h = p + kHead + b * kBodyHead;
            Series& s = r.series[b];
            s.first = read<double>(h + 4);
            s.length = read<double>(h + 12);
            s.pieces = read<uint32_t>(h + 20);
            s.n = read<uint32_t>(h + 24);
            s.unit = read<double>(h + 28);
            if (s.n < 2 || s.n > 64 || s.length <= 0) return r;
            s.data = p + at;
            at += static_cast<std::size_t>(s.pieces) * 3 * s.coordinateBytes();
            if (at > size) return r;
        }
        r.valid = true;
        return r;
    }();
    return t;
}
}  // namespace

bool covers(double T) {
    const Table& t = table();
    if (!t.valid) return false;
    const double jd = kJ2000 + T * 36525;
    for (const Series& s : t.series)
        if (jd < s.first || jd > s.first + s.pieces * s.length) return false;
    return true;
}

RectangularPosition heliocentricRectangular(int body, double T) {
    const Table& t = table();
    if (!t.valid || body < 0 || body >= kCount) return {};
    const Series& s = t.series[static_cast<std::size_t>(body)];
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
            const double b0 = 2 * x * b1 - b2 + read<int32_t>(p + 16 + 4 * (j - 2)) * s.unit;
            b2 = b1;
            b1 = b0;
        }
        const double b0 = 2 * x * b1 - b2 + read<double>(p + 8);
        v[c] = x * b0 - b1 + read<double>(p);
    }
    return {v[0], v[1], v[2]};
}

SphericalPosition heliocentric(int body, double T) {
    return rectangularToSpherical(heliocentricRectangular(body, T));
}

}  // namespace asteroids
