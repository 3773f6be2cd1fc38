// The blood-type test: character sketches and the relation of two ABO types from the text
// catalogue, whether one type may give blood to another, and the types a child of two parents
// can have. Types are indexes 0 A, 1 B, 2 AB, 3 O. Texts UTF-8.
#pragma once
#include <array>
#include <string>

namespace blood {

enum class Question { Character, Transfusion, Inheritance };  // "性格", "配血", "遗传"

inline constexpr int kTypes = 4;
// "A", "B", "AB", "O".
const char* typeName(int type);

// Red cells of the donor carry no antigen the recipient's plasma attacks: the same type, O to
// every type, every type to AB.
bool canGive(int donor, int recipient);
// The types a child of the two parents can have, from the alleles each parent may pass on
// (A is AA or AO, B is BB or BO, AB is AB, O is OO). Symmetric in the parents.
std::array<bool, kTypes> childTypes(int father, int mother);

// The test's answer: the text for the answer box and the captions of the two type groups.
struct Answer {
    std::string text;
    std::string firstCaption;   // "自己血型", "献血者", "父亲血型"
    std::string secondCaption;  // "对方血型", "受血者", "母亲血型"
};
// first and second are type indexes 0..3.
Answer answer(Question question, int first, int second);

}  // namespace blood
