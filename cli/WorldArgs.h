// The world options of tarmin-cli chart (--city, --tz) and the places command: finding a city in
// the atlas and the clock's offset at the birth.
#pragma once
#include <string>

#include "atlas/WorldAtlas.h"
#include "chart/Zhanxing.h"

namespace cli {

// The place table of the program folder.
std::string placeTablePath(const std::string& programFolder);

// The one city `name` names: a single exact match (a name, the name with 市/县/区, or the Latin
// name in any case), or else a single match at all; a place in both the province table and
// the world atlas counts once (as the table's); "NAME, COUNTRY" or "NAME, REGION" (Chinese or
// English names, or the country's code) picks among namesakes. Otherwise the message (none
// found, or the candidates one a line) and false.
bool pickCity(const atlas::WorldAtlas& atlas, const std::string& name, atlas::Place& out,
              std::string& message);

// Sets r.utcOffsetSeconds for `tz` ("auto", a zone identifier or "+HH:MM") at the Gregorian
// wall time r.birth; "auto" takes `autoZone` (the city's). `why` gets the line to print
// ("UTC+09:00 (Asia/Shanghai, summer time)"); on failure the message and false.
bool applyTimeZone(const std::string& tz, const std::string& autoZone, BirthRecord& r,
                   std::string& why, std::string& message);

}  // namespace cli

namespace cli {
// --city and --tz of the chart command on a request whose date is read: the city's coordinates
// and place text, then the offset (a city without --tz or --zone takes "auto"). Prints the
// offset line on stdout (headed `label`) and any refusal on stderr; false when refused.
bool applyWorldOptions(const std::string& programFolder, const std::string& city, std::string tz,
                       bool zoneGiven, BirthRecord& r, const char* label = "offset");
}  // namespace cli
