// What the window says about a clock time that the place's clock skipped or showed twice (summer
// time beginning or ending): a skipped time is told with what the clock read, and nothing is
// cast; for a repeated time the user picks one of the two offsets by its button.
#pragma once
#include <string>

#include "atlas/TimeZones.h"
#include "platform/core/UiServices.h"

namespace clockq {

// The message for a skipped time: the day, the zone, the minute the clock jumped and where it
// jumped to, e.g. "1986年5月4日在Asia/Shanghai，时钟走到2时0分即拨到3时0分（UTC+08:00改为UTC+09:00），
// 2时30分这一时刻不存在。请核对时间。".
std::string skippedText(const std::string& zoneId, const atlas::WallTime& t, const atlas::ZoneAnswer& a);
void tellSkipped(UiServices& ui, const std::string& zoneId, const atlas::WallTime& t,
                 const atlas::ZoneAnswer& a);
// Asks which of the two offsets a repeated time is read at, with the offsets as the buttons
// (the earlier first): 0 the earlier, 1 the later, -1 no answer.
int askRepeated(UiServices& ui, const std::string& zoneId, const atlas::WallTime& t,
                const atlas::ZoneAnswer& a);

}  // namespace clockq
