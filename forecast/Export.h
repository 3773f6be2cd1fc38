// The event and transit lists as files: CSV (UTF-8, a header line, through libcsv's quoting) and
// iCalendar (through libical): one event per hit spanning its orb period, or per sky event.
#pragma once
#include <string>
#include <vector>

#include "forecast/EventText.h"
#include "platform/core/ReplaceFile.h"

namespace forecast {

// A row of fields to a CSV file; the first row is the header. False when the file cannot be
// written; `result` (when given) says why.
bool writeCsv(const std::string& path, const std::vector<std::vector<std::string>>& rows,
              recfs::ReplaceResult* result = nullptr);

// The rows of the lists (the header first): the same fields as the lines.
std::vector<std::vector<std::string>> skyEventRows(const std::vector<SkyEvent>& events, MYiDateEx& calendar,
                                                   const ClockOffset& clock);
std::vector<std::vector<std::string>> transitRows(const std::vector<TransitHit>& hits,
                                                  const std::vector<NatalPoint>& natal, const ClockOffset& clock);

// iCalendar text of the lists; times in UTC.
std::string skyEventsIcs(const std::vector<SkyEvent>& events, MYiDateEx& calendar, const ClockOffset& clock);
std::string transitsIcs(const std::vector<TransitHit>& hits, const std::vector<NatalPoint>& natal,
                        const std::string& forWhom, const ClockOffset& clock);
// Both lists in one calendar: the transits, then the sky's events.
std::string listsIcs(const std::vector<TransitHit>& hits, const std::vector<NatalPoint>& natal,
                     const std::string& forWhom, const std::vector<SkyEvent>& events, MYiDateEx& calendar,
                     const ClockOffset& clock);
// Writes text to a file through recfs::replaceFile: an existing file is replaced only by the
// complete new one, and a FIFO, device or folder is refused. False on failure; `result` (when
// given) says why.
bool writeTextFile(const std::string& path, const std::string& text, recfs::ReplaceResult* result = nullptr);

}  // namespace forecast
