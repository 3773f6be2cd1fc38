// Texts of the synastry reading: inter-aspects between the Sun, Moon, Venus and Mars of two
// people. Rows: pairs 日日 日月 日金 日火 月月 月金 月火 金金 金火 火火; columns: 相合 六分 四分 三分 相冲.
#include "chart/SynastryReading.h"

namespace charttypes {
extern const char* const kSynastryTexts[10][5];
const char* const kSynastryTexts[10][5] = {
    {"-", "-", "-", "-", "-"},
    {"-", "-", "-", "-", "-"},
    {"-", "-", "-", "-", "-"},
    {"-", "-", "-", "-", "-"},
    {"-", "-", "-", "-", "-"},
    {"-", "-", "-", "-", "-"},
    {"-", "-", "-", "-", "-"},
    {"-", "-", "-", "-", "-"},
    {"-", "-", "-", "-", "-"},
    {"-", "-", "-", "-", "-"},
};
}  // namespace charttypes
