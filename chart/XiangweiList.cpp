#include "chart/XiangweiList.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace {
constexpr std::array<const char*, kAspectKinds> kNames = {
    "相合", "六分", "四分", "三分", "相冲", "半六分", "八分", "五分", "补八分", "梅花"};
constexpr std::array<const char*, kAspectKinds> kGlyphs = {"合", "六", "四", "三", "冲",
                                                           "半", "八", "五", "补", "梅"};

const std::string& nameOf(const std::vector<std::string>& names, int id) {
    static const std::string unknown = "?";
    if (id < 0 || static_cast<std::size_t>(id) >= names.size()) return unknown;
    return names[static_cast<std::size_t>(id)];
}
}  // namespace

const char* aspectKindName(int kind) {
    return kind >= 0 && kind < kAspectKinds ? kNames[static_cast<std::size_t>(kind)] : "?";
}

const char* aspectKindGlyph(int kind) {
    return kind >= 0 && kind < kAspectKinds ? kGlyphs[static_cast<std::size_t>(kind)] : "?";
}

std::string orbText(double degrees) {
    if (!(degrees >= 0) || degrees > 360) degrees = 0;  // an orb is never negative or NaN
    // Whole minutes, truncated; the small allowance keeps 2.5 (= 2°30′ exactly) from reading
    // as 2°29′ when the sum that produced it came out a hair short.
    const long minutes = static_cast<long>(std::floor(degrees * 60 + 1e-7));
    char buf[32];
    std::snprintf(buf, sizeof buf, "%ld°%02ld′", minutes / 60, minutes % 60);
    return buf;
}

const char* applyingText(bool applying) { return applying ? "入相" : "出相"; }

std::vector<std::string> aspectListLines(const std::vector<Aspect>& aspects,
                                         const std::vector<std::string>& namesA,
                                         const std::vector<std::string>& namesB,
                                         const std::string& separator) {
    std::vector<std::string> lines;
    lines.reserve(aspects.size());
    for (const Aspect& a : aspects) {
        std::string line = nameOf(namesA, a.a);
        line += separator;
        line += aspectKindName(a.kind);
        line += separator;
        line += nameOf(namesB, a.b);
        line += separator;
        line += orbText(a.orb);
        if (a.moving) {
            line += separator;
            line += applyingText(a.applying);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}
