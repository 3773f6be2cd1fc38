// The short reading of a synastry: the sign-relationship texts of both Sun signs from the
// catalogue, then a text for each inter-aspect between the Sun, Moon, Venus and Mars of the two
// people (the five major aspects). When A's body i and B's body j form the same aspect as A's j
// and B's i, the text is printed once under a heading naming both contacts.
#pragma once
#include <string>

#include "chart/Xiangwei.h"
#include "chart/Zhanxing.h"

namespace charttypes {
// Text of an inter-aspect between body i of one person and body j of the other (i, j among
// 0 Sun, 1 Moon, 3 Venus, 4 Mars; the order does not matter), kind 0..4; "" for other bodies.
const char* synastryText(int i, int j, int kind);

std::string synastryReading(const NatalPoints& a, const NatalPoints& b, const std::string& nameA,
                            const std::string& nameB, const AspectOrbs& orbs);
}  // namespace charttypes
