#include "chart/SynastryReading.h"

#include "chart/Catalogue.h"

namespace charttypes {
namespace {
constexpr int kBodies[4] = {0, 1, 3, 4};

int slot(int body) {
    for (int k = 0; k < 4; ++k)
        if (kBodies[k] == body) return k;
    return -1;
}

// Unordered pairs of the four bodies in the order SS SM SV SA MM MV MA VV VA AA.
int pairIndex(int i, int j) {
    int a = slot(i), b = slot(j);
    if (a < 0 || b < 0) return -1;
    if (a > b) std::swap(a, b);
    static const int kStart[4] = {0, 4, 7, 9};
    return kStart[a] + (b - a);
}
}  // namespace

extern const char* const kSynastryTexts[10][5];

const char* synastryText(int i, int j, int kind) {
    const int p = pairIndex(i, j);
    if (p < 0 || kind < 0 || kind > 4) return "";
    return kSynastryTexts[p][kind];
}

std::string synastryReading(const NatalPoints& a, const NatalPoints& b, const std::string& nameA,
                            const std::string& nameB, const AspectOrbs& orbs) {
    std::string r = "\n合盘解读:\n";
    const int sa = a.bodies[0].sign % 12;
    const int sb = b.bodies[0].sign % 12;
    r += "【" + nameA + "·" + SignNames[sa] + "座与其他星座关系】" + catalogue::text(
             static_cast<uint16_t>(900 + sa)) + "\n";
    if (sb != sa)
        r += "【" + nameB + "·" + SignNames[sb] + "座与其他星座关系】" +
             catalogue::text(static_cast<uint16_t>(900 + sb)) + "\n";
    auto kindOf = [&](int i, int j) {
        const int k = aspectBetween(a.bodies[static_cast<std::size_t>(i)].longitude,
                                    b.bodies[static_cast<std::size_t>(j)].longitude, orbs);
        return k >= 0 && k <= 4 ? k : -1;
    };
    auto side = [&](const std::string& x, int i, int k, const std::string& y, int j,
                    const char* also) {
        return x + "的" + BodyNames[static_cast<std::size_t>(i)] + also +
               AspectNames[static_cast<std::size_t>(k)] + y + "的" +
               BodyNames[static_cast<std::size_t>(j)];
    };
    for (const int i : kBodies)
        for (const int j : kBodies) {
            const int k = kindOf(i, j);
            if (k < 0) continue;
            // A's i to B's j and A's j to B's i in the same aspect share one text: print it
            // once, at the first of the two, with both contacts in the heading.
            const bool mirrored = i != j && kindOf(j, i) == k;
            if (mirrored && slot(i) > slot(j)) continue;
            std::string heading = side(nameA, i, k, nameB, j, "");
            if (mirrored) heading += "，" + side(nameB, i, k, nameA, j, "也");
            r += "【" + heading + "】" + synastryText(i, j, k) + "\n";
        }
    return r;
}
}  // namespace charttypes
