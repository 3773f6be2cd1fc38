// Places as text: the values of the place table dat/dili.ini ("119:18*26:5": longitude
// degrees:minutes, "*", latitude degrees:minutes, east and north positive), the degree:minute
// text of the input panel ("119:18"), and the panel's check of typed coordinates. Texts UTF-8.
#pragma once
#include <string>

// A value the table does not have reads as this.
inline constexpr const char* kDefaultPlaceValue = "120:0*30:0";

// The four parts of a place-table value as they stand (the place editor shows them as text):
// split at the first "*", then each half at its first ":". A part that is missing is empty.
struct PlaceValueParts {
    std::string longitudeDegrees, longitudeMinutes, latitudeDegrees, latitudeMinutes;
};
PlaceValueParts splitPlaceValue(const std::string& value);
// "%d:%d*%d:%d": the value the place editor writes.
std::string formatPlaceValue(int lonDegrees, int lonMinutes, int latDegrees, int latMinutes);
// A place-table value as decimal degrees (32-bit floats); the minutes take the sign of the
// degrees. False, and the outputs unchanged, when a part is not a whole number.
bool parsePlaceValue(const std::string& value, float& longitude, float& latitude);

// Decimal degrees as the panel shows them: "119:18", "26:04" (degrees toward zero, minutes to
// the nearest whole minute with a tie going down, always two digits, as the chart's data panel
// shows them; a negative value "-0:30"). The check below reads both "26:4" and "26:04".
std::string degreesText(float value);

// Longitude and latitude typed as degrees:minutes ("117:48", "-73:56"), checked in the order of
// the natal command: both texts at least 3 GBK bytes with a ":" that is not the last character,
// then longitude degrees (-180..180) and minutes (0..59), latitude degrees (-90..90) and
// minutes, and last both values strictly inside (-180, 180) and (-90, 90). The sign belongs to
// the degrees ("-0:30" is +0.5). On failure `message` and `caption` are the text and caption of
// the error box; the values are set only when `ok`.
struct CoordinateCheck {
    bool ok = false;
    std::string message;
    std::string caption;
    float longitude = 0;
    float latitude = 0;
};
CoordinateCheck checkCoordinates(const std::string& longitudeText, const std::string& latitudeText);

// The three lines the natal command shows for a malformed coordinate.
extern const char* const kCoordinateFormatExample;
