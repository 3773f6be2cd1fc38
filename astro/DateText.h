// Dates and instants typed as text: "2004-2-3" and "2004-2-3 10:00". One reader for the
// command line and the windows.
#pragma once
#include <string>

#include "astro/DateTypes.h"

// "Y-M-D": an astronomical year with an optional sign and 1 to 5 digits, month 1-12 and day 1-31
// with 1 or 2 digits each; blanks around the text are ignored. Whether the day exists in its
// month is not checked here (see dateExists). On failure `out` is unchanged.
bool parseDateText(const std::string& text, DateTimeFields& out);
// "Y-M-D H:M" (one or more blanks between date and time): the date as above, hour 0-23 and
// minute 0-59 with 1 or 2 digits each.
bool parseDateTimeText(const std::string& text, DateTimeFields& out);
// The day exists in the civil calendar (proleptic Julian before 1582-10-15, Gregorian from then
// on; 1582-10-05 to 1582-10-14 do not exist).
bool dateExists(const DateTimeFields& d);
