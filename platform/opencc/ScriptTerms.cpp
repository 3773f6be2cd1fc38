// Terms OpenCC's general dictionaries get wrong for astrology and the Chinese calendar, each one
// checked against what OpenCC makes of it (s2twp and s2hk) and against the traditional forms of
// the era data the era table was generated from.
#include "platform/opencc/OpenccScript.h"

const std::vector<ScriptTerm>& scriptTerms() {
    static const std::vector<ScriptTerm> terms = {
        // The earthly branch 丑 (乙丑, 丑时 are right) alone on the calendar and in pillars'
        // cells: OpenCC reads 醜 "ugly".
        {"丑", "丑", nullptr, true},
        // ... and in the void branches of the data panel (日空:子-丑) and an hour named by its
        // branch (1时丑). 美丑 stays OpenCC's 美醜.
        {"-丑", "-丑", nullptr, false},
        {"丑-", "丑-", nullptr, false},
        {"时丑", "時丑", nullptr, false},
        // The heavenly stem 干 and the stem of a pillar: OpenCC reads 幹 "trunk, to do".
        {"干", "干", nullptr, true},
        {"年干", "年干", nullptr, false},
        {"月干", "月干", nullptr, false},
        {"时干", "時干", nullptr, false},
        // The opposition's glyph on the chart: 沖 as in 相沖 (OpenCC: 衝).
        {"冲", "沖", nullptr, true},
        // A return chart (太阳回归): OpenCC writes 迴歸 "regression".
        {"回归", "回歸", nullptr, false},
        // Era names: 咸 is "all" there, not 鹹 "salty"; 历 in an era name is 曆 "calendar";
        // 复 is 復 "again"; 征和 keeps 征; 升平 keeps 升 and 升明 takes 昇 (as the era list
        // writes them).
        {"咸安", "咸安", nullptr, false},
        {"咸平", "咸平", nullptr, false},
        {"咸康", "咸康", nullptr, false},
        {"咸淳", "咸淳", nullptr, false},
        {"咸熙", "咸熙", nullptr, false},
        {"咸通", "咸通", nullptr, false},
        {"咸雍", "咸雍", nullptr, false},
        {"凤历", "鳳曆", nullptr, false},
        {"圣历", "聖曆", nullptr, false},
        {"应历", "應曆", nullptr, false},
        {"天复", "天復", nullptr, false},
        {"征和", "征和", nullptr, false},
        {"升平", "升平", nullptr, false},
        {"升明", "昇明", nullptr, false},
        // Rulers in the era table: 后 is an empress (高后, 太宗后, 定宗后), not 後 "after";
        // personal names keep their own characters.
        {"高后", "高后", nullptr, false},
        {"太宗后", "太宗后", nullptr, false},
        {"定宗后", "定宗后", nullptr, false},
        {"冲帝", "沖帝", nullptr, false},
        {"司马岳", "司馬岳", nullptr, false},
        {"拓跋余", "拓跋余", nullptr, false},
        {"李适", "李适", nullptr, false},
        {"辟方", "辟方", nullptr, false},
        {"窝阔台", "窩闊台", nullptr, false},
    };
    return terms;
}
