#include "calendar/Eras.h"

std::string eraText(int year) {
    std::string text;
    for (std::size_t i = 0; i < EraTableSize; ++i) {
        const EraRow& row = EraTable[i];
        if (year < row.start || year >= row.start + row.count) continue;
        text += text.empty() ? "[" : "；[";
        text += row.dynasty;
        text += "] ";
        text += row.ruler;
        text += ' ';
        text += row.personalName;
        text += ' ';
        text += row.eraName;
        text += std::to_string(year - row.start + row.base + 1);
        text += "年";
    }
    return text;
}
