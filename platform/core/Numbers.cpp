#include "platform/core/Numbers.h"

#include <cstdint>
#include <limits>

int wholeNumber(const std::string& s, int otherwise) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i == s.size()) return otherwise;
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return otherwise;
        v = v * 10 + (s[i] - '0');
        if (v > std::numeric_limits<int32_t>::max() + (negative ? 1LL : 0LL)) return otherwise;
    }
    return static_cast<int>(negative ? -v : v);
}
