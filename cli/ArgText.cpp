#include "cli/ArgText.h"

#include <cstdlib>

namespace cli {
bool readWhole(const std::string& s, int& v) {
    if (s.empty()) return false;
    std::size_t i = 0;
    bool neg = false;
    if (s[0] == '-' || s[0] == '+') {
        neg = s[0] == '-';
        i = 1;
    }
    if (i >= s.size() || s.size() - i > 6) return false;
    long x = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        x = x * 10 + (s[i] - '0');
    }
    v = static_cast<int>(neg ? -x : x);
    return true;
}

bool readBounded(const std::string& s, long lo, long hi, long& out) {
    char* end = nullptr;
    const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
    const long v = std::strtol(s.c_str(), &end, hex ? 16 : 10);
    if (s.empty() || *end != '\0' || v < lo || v > hi) return false;
    out = v;
    return true;
}

bool readLunarDate(const std::vector<std::string>& f, int minYear, int maxYear,
                   LunarDateArgs& out) {
    LunarDateArgs d;
    if (f.size() != 4 || !readWhole(f[0], d.year) || !readWhole(f[1], d.month) ||
        !readWhole(f[2], d.day) || !readWhole(f[3], d.leap))
        return false;
    if (d.leap != 0 && d.leap != 1) return false;
    if (d.year < minYear || d.year > maxYear) return false;
    if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > 30) return false;
    out = d;
    return true;
}
}  // namespace cli
