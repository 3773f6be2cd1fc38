#include "chart/BloodTypes.h"

#include <algorithm>
#include <cstdint>

#include "chart/Catalogue.h"

namespace blood {

namespace {
constexpr const char* kNames[kTypes] = {"A", "B", "AB", "O"};
constexpr int kA = 0, kB = 1, kAB = 2, kO = 3;

// The alleles a parent of the type may pass on: 'A', 'B' or 'O'.
std::string allelesOf(int type) {
    switch (type) {
        case kA: return "AO";
        case kB: return "BO";
        case kAB: return "AB";
        default: return "O";
    }
}

int typeOf(char a, char b) {
    const bool hasA = a == 'A' || b == 'A', hasB = a == 'B' || b == 'B';
    if (hasA && hasB) return kAB;
    if (hasA) return kA;
    if (hasB) return kB;
    return kO;
}

// "★子女可能血型:A型,O型。": the listed types each followed by ",", the last "," made "。".
std::string typeLine(const char* head, const std::array<bool, kTypes>& possible, bool wanted) {
    std::string line = head;
    for (int t = 0; t < kTypes; ++t)
        if (possible[static_cast<std::size_t>(t)] == wanted) line += std::string(kNames[t]) + "型,";
    if (line.back() == ',') line.replace(line.size() - 1, 1, "。");
    return line;
}
}  // namespace

const char* typeName(int type) { return type >= 0 && type < kTypes ? kNames[type] : ""; }

bool canGive(int donor, int recipient) {
    return donor == recipient || donor == kO || recipient == kAB;
}

std::array<bool, kTypes> childTypes(int father, int mother) {
    std::array<bool, kTypes> possible{};
    for (char a : allelesOf(father))
        for (char b : allelesOf(mother)) possible[static_cast<std::size_t>(typeOf(a, b))] = true;
    return possible;
}

Answer answer(Question question, int first, int second) {
    first = std::clamp(first, 0, kTypes - 1);
    second = std::clamp(second, 0, kTypes - 1);
    Answer a;
    switch (question) {
        case Question::Character: {
            const int lo = std::min(first, second) + 1, hi = std::max(first, second) + 1;
            a.text = "☆自己-" + catalogue::text(static_cast<uint16_t>(first + 1)) + "\n\n" +
                     "★对方-" + catalogue::text(static_cast<uint16_t>(second + 1)) + "\n\n" +
                     "※双方关系-" + catalogue::text(static_cast<uint16_t>(10 * lo + hi));
            a.firstCaption = "自己血型";
            a.secondCaption = "对方血型";
            break;
        }
        case Question::Transfusion:
            a.firstCaption = "献血者";
            a.secondCaption = "受血者";
            a.text = canGive(first, second) ? "★匹配成功:" + std::string(kNames[first]) + "型可以输给" +
                                                  kNames[second] + "型!"
                                            : "▲警告:" + std::string(kNames[first]) + "型不能输给" +
                                                  kNames[second] + "型!";
            break;
        case Question::Inheritance: {
            a.firstCaption = "父亲血型";
            a.secondCaption = "母亲血型";
            const auto possible = childTypes(first, second);
            a.text = typeLine("★子女可能血型:", possible, true) + "\n\n" +
                     typeLine("▲子女不可能血型:", possible, false);
            break;
        }
    }
    return a;
}

}  // namespace blood
