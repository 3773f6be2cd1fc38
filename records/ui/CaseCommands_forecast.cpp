// "行运与天象" on a saved case: the case is checked as "查看命例" checks it (name, year) and handed
// to the main window, which opens the window of its transits; the panel and the open case stay.
#include "records/ui/CaseCommands.h"

void CaseCommands::forecastCase() {
    CaseRecord rec{};
    if (!readSelectedCase(rec)) return;
    host_.showForecast(rec);
}
