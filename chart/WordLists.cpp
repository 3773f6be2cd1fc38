#include "chart/WordLists.h"

#include <cstdio>

const std::array<std::string, 24>& HourNames() {
    static const std::array<std::string, 24> names = [] {
        static constexpr std::array<const char*, 12> branches = {
            "亥", "子", "丑", "寅", "卯", "辰", "巳", "午", "未", "申", "酉", "戌"};
        std::array<std::string, 24> out;
        for (int h = 0; h < 24; ++h) {
            const int hh = (h % 2 == 0) ? h : (h + 1) % 24;
            out[static_cast<std::size_t>(h)] =
                std::to_string(h) + "时" + branches[static_cast<std::size_t>((hh / 2 + 1) % 12)];
        }
        return out;
    }();
    return names;
}

int zoneOffset(int zoneIndex) { return zoneIndex <= 12 ? zoneIndex : 12 - zoneIndex; }

std::string zoneText(int z) {
    if (z == 0) return "零时区";
    if (z == 12) return "中十二区";
    const int a = z < 0 ? -z : z;
    std::string s = z > 0 ? "东" : "西";
    if (a >= 1 && a <= 11) s += ZoneNumerals[static_cast<std::size_t>(a - 1)];
    s += "区";
    return s;
}

std::string clockZoneText(int s) {
    if (s % 3600 == 0 && s / 3600 >= -11 && s / 3600 <= 12) return zoneText(s / 3600);
    const int a = s < 0 ? -s : s;
    char buf[48];
    // Only the local mean time of a longitude has seconds.
    if (a % 60 != 0)
        std::snprintf(buf, sizeof buf, "地方平时UTC%c%02d:%02d:%02d", s < 0 ? '-' : '+', a / 3600,
                      a / 60 % 60, a % 60);
    else
        std::snprintf(buf, sizeof buf, "UTC%c%02d:%02d", s < 0 ? '-' : '+', a / 3600, a / 60 % 60);
    return buf;
}

const std::array<std::string, 24>& ZoneNames() {
    static const std::array<std::string, 24> names = [] {
        std::array<std::string, 24> out;
        for (int i = 0; i < 24; ++i) out[static_cast<std::size_t>(i)] = zoneText(zoneOffset(i));
        return out;
    }();
    return names;
}

std::vector<std::string> numberedItems(int first, int last, const char* unit) {
    std::vector<std::string> out;
    for (int n = first; n <= last; ++n) out.push_back(std::to_string(n) + unit);
    return out;
}
