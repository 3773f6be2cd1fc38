// Generator of the asteroid tables: Chiron, Ceres, Pallas, Juno and Vesta, 1599-2201, as
// Chebyshev pieces of their heliocentric rectangular coordinates (AU) on the mean ecliptic and
// equinox of date, the frame of the planetary series, in Terrestrial Time.
//
// The positions come from the Swiss Ephemeris asteroid files of Debian's swe-standard-data
// (seas_12.se1, seas_18.se1: JPL's integrations, CC0) read through libswe's documented calls;
// the program reads only the table written here (astro/tables/asteroids.bin), never libswe.
//
// With --planets the same for Jupiter, Saturn, Uranus, Neptune and Pluto from the planetary files
// (sepl_12.se1, sepl_18.se1), astro/tables/outer_planets.bin: the precise mode takes their places
// from it, where their series stray from the numerical ephemeris (Pluto's by 17"). Against the
// files at 20,000 instants: within 2.4e-7 AU (Jupiter 2.7e-8), 0.004" at their distances.
//
// Usage: gen_asteroid_tables [--planets] EPHE_DIR OUT.bin   (EPHE_DIR: /usr/share/libswe/ephe)
//        gen_asteroid_tables [--planets] --check EPHE_DIR TABLE.bin   (largest error, AU)
//
// Format (little-endian): "TAST", u32 version 1, u32 body count; per body u32 libswe body
// number, f64 first TT Julian day, f64 piece length (days), u32 pieces, u32 coefficients per
// coordinate (n), f64 unit (AU); then per body, per piece, per coordinate x, y, z: c0 and c1 as
// f64, c2..c(n-1) as i32 multiples of the unit (2^-32 AU). Against libswe at 20,000 random
// instants the table stays within 5.4e-7 AU (Juno; Pallas 3e-8 AU): 0.1" seen from 1 AU, the
// most of it the files' own small steps, which more coefficients do not follow.
#include <swephexp.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kFirstDay = 2305000.5;  // 1598-11-26
constexpr double kLastDay = 2525000.5;   // 2201-01-29
constexpr double kUnit = 1.0 / 4294967296.0;  // 2^-32 AU

struct Body {
    int ipl;
    double pieceDays;
    int coefficients;
};
// Chiron, Ceres, Pallas, Juno, Vesta.
const std::vector<Body> kAsteroids = {
    {SE_CHIRON, 512, 12}, {SE_CERES, 256, 14}, {SE_PALLAS, 256, 14}, {SE_JUNO, 256, 14}, {SE_VESTA, 256, 14}};
// Jupiter, Saturn, Uranus, Neptune, Pluto.
const std::vector<Body> kOuterPlanets = {{SE_JUPITER, 256, 12}, {SE_SATURN, 512, 14}, {SE_URANUS, 512, 12}, {SE_NEPTUNE, 512, 12}, {SE_PLUTO, 512, 12}};
std::vector<Body> tableBodies = kAsteroids;

void position(int ipl, double tt, double (&out)[3]) {
    double x[6];
    char err[AS_MAXCH];
    const int32_t flags = SEFLG_SWIEPH | SEFLG_HELCTR | SEFLG_XYZ | SEFLG_NONUT | SEFLG_TRUEPOS |
                          SEFLG_NOABERR | SEFLG_NOGDEFL;
    const int32_t got = swe_calc(tt, ipl, flags, x, err);
    if (got < 0 || (got & SEFLG_SWIEPH) == 0) {
        std::fprintf(stderr, "gen_asteroid_tables: body %d at %.1f: %s\n", ipl, tt, err);
        std::exit(1);
    }
    for (int k = 0; k < 3; ++k) out[k] = x[k];
}

// Chebyshev coefficients of one piece from the values at the n Gauss nodes.
void fitPiece(const Body& b, double t0, std::vector<double> (&c)[3]) {
    const int n = b.coefficients;
    std::vector<double> f[3];
    for (int k = 0; k < n; ++k) {
        const double x = std::cos(kPi * (k + 0.5) / n);
        double p[3];
        position(b.ipl, t0 + (x + 1) * 0.5 * b.pieceDays, p);
        for (int i = 0; i < 3; ++i) f[i].push_back(p[i]);
    }
    for (int i = 0; i < 3; ++i) {
        c[i].assign(static_cast<std::size_t>(n), 0.0);
        for (int j = 0; j < n; ++j) {
            double s = 0;
            for (int k = 0; k < n; ++k) s += f[i][static_cast<std::size_t>(k)] * std::cos(kPi * j * (k + 0.5) / n);
            c[i][static_cast<std::size_t>(j)] = s * 2 / n * (j == 0 ? 0.5 : 1.0);
        }
    }
}

void put(std::string& out, const void* p, std::size_t n) { out.append(static_cast<const char*>(p), n); }
template <class T>
void put(std::string& out, T v) {
    put(out, &v, sizeof v);
}

int pieces(const Body& b) { return static_cast<int>(std::ceil((kLastDay - kFirstDay) / b.pieceDays)); }

std::string generate() {
    std::string out("TAST");
    put<uint32_t>(out, 1);
    put<uint32_t>(out, static_cast<uint32_t>(tableBodies.size()));
    for (const Body& b : tableBodies) {
        put<uint32_t>(out, static_cast<uint32_t>(b.ipl));
        put<double>(out, kFirstDay);
        put<double>(out, b.pieceDays);
        put<uint32_t>(out, static_cast<uint32_t>(pieces(b)));
        put<uint32_t>(out, static_cast<uint32_t>(b.coefficients));
        put<double>(out, kUnit);
    }
    for (const Body& b : tableBodies) {
        for (int p = 0; p < pieces(b); ++p) {
            std::vector<double> c[3];
            fitPiece(b, kFirstDay + p * b.pieceDays, c);
            for (int i = 0; i < 3; ++i) {
                put<double>(out, c[i][0]);
                put<double>(out, c[i][1]);
                for (std::size_t j = 2; j < c[i].size(); ++j) {
                    const double q = std::nearbyint(c[i][j] / kUnit);
                    if (std::fabs(q) > 2147483647.0) {
                        std::fprintf(stderr, "gen_asteroid_tables: coefficient out of range\n");
                        std::exit(1);
                    }
                    put<int32_t>(out, static_cast<int32_t>(q));
                }
            }
        }
    }
    return out;
}

// Largest distance between the table (read back as the program reads it) and libswe.
int check(const std::string& table) {
    std::size_t at = 12;
    auto get = [&](void* p, std::size_t n) {
        std::memcpy(p, table.data() + at, n);
        at += n;
    };
    struct Head {
        uint32_t ipl;
        double first, len;
        uint32_t pieces, n;
        double unit;
    };
    std::vector<Head> h(tableBodies.size());
    for (Head& x : h) {
        get(&x.ipl, 4);
        get(&x.first, 8);
        get(&x.len, 8);
        get(&x.pieces, 4);
        get(&x.n, 4);
        get(&x.unit, 8);
    }
    std::size_t data = at;
    std::mt19937_64 g(7);
    for (const Head& x : h) {
        const std::size_t pieceBytes = 3 * (16 + 4 * (x.n - 2));
        double worst = 0;
        std::uniform_real_distribution<double> u(x.first, x.first + x.pieces * x.len);
        for (int k = 0; k < 20000; ++k) {
            const double t = u(g);
            const std::size_t p = static_cast<std::size_t>((t - x.first) / x.len);
            const double s = 2 * (t - x.first - static_cast<double>(p) * x.len) / x.len - 1;
            double v[3];
            for (std::size_t i = 0; i < 3; ++i) {
                at = data + p * pieceBytes + i * (16 + 4 * (x.n - 2));
                std::vector<double> c(x.n);
                get(&c[0], 8);
                get(&c[1], 8);
                for (std::size_t j = 2; j < x.n; ++j) {
                    int32_t q;
                    get(&q, 4);
                    c[j] = q * x.unit;
                }
                double b1 = 0, b2 = 0;
                for (std::size_t j = x.n; j-- > 1;) {
                    const double b0 = 2 * s * b1 - b2 + c[j];
                    b2 = b1;
                    b1 = b0;
                }
                v[i] = s * b1 - b2 + c[0];
            }
            double r[3];
            if (t < kFirstDay + 1 || t > kLastDay - 1) continue;
            position(static_cast<int>(x.ipl), t, r);
            worst = std::fmax(worst, std::hypot(v[0] - r[0], v[1] - r[1], v[2] - r[2]));
        }
        data += x.pieces * pieceBytes;
        std::printf("body %u: %u pieces of %.0f days, %u coefficients, largest error %.3g AU\n", x.ipl,
                    x.pieces, x.len, x.n, worst);
    }
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--planets") == 0) {
        tableBodies = kOuterPlanets;
        --argc;
        ++argv;
    }
    const bool checking = argc == 4 && std::strcmp(argv[1], "--check") == 0;
    if (argc != 3 && !checking) {
        std::fprintf(stderr, "usage: gen_asteroid_tables [--planets] [--check] EPHE_DIR OUT.bin\n");
        return 2;
    }
    std::string dir = argv[checking ? 2 : 1];
    swe_set_ephe_path(&dir[0]);
    const char* path = argv[checking ? 3 : 2];
    if (checking) {
        std::FILE* f = std::fopen(path, "rb");
        if (!f) return 1;
        std::string t;
        char buf[65536];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) t.append(buf, n);
        std::fclose(f);
        return check(t);
    }
    const std::string table = generate();
    swe_close();
    std::FILE* f = std::fopen(path, "wb");
    if (!f || std::fwrite(table.data(), 1, table.size(), f) != table.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "gen_asteroid_tables: cannot write %s\n", path);
        return 1;
    }
    return 0;
}
