// The command line's readers on any text: dates and instants, typed coordinates, place-table
// values and the numeric arguments. What a reader accepts lies in its documented range and
// reads back the same once written out again.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "astro/DateText.h"
#include "chart/PlaceText.h"
#include "cli/ArgText.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {
void dates(const std::string& text) {
    DateTimeFields d{};
    if (parseDateText(text, d)) {
        FUZZ_CHECK(d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= 31);
        dateExists(d);
    }
    DateTimeFields t{};
    if (!parseDateTimeText(text, t)) return;
    FUZZ_CHECK(t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31);
    FUZZ_CHECK(t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d-%d-%d %d:%d", t.year, t.month, t.day, t.hour, t.minute);
    DateTimeFields back{};
    FUZZ_CHECK(parseDateTimeText(buf, back));
    FUZZ_CHECK(back.year == t.year && back.month == t.month && back.day == t.day &&
               back.hour == t.hour && back.minute == t.minute);
    dateExists(t);
}

void coordinates(const std::string& lon, const std::string& lat) {
    const CoordinateCheck c = checkCoordinates(lon, lat);
    if (!c.ok) {
        FUZZ_CHECK(!c.message.empty() && !c.caption.empty());
        return;
    }
    FUZZ_CHECK(c.longitude > -180 && c.longitude < 180 && c.latitude > -90 && c.latitude < 90);
    // The panel shows the values as degree:minute text; that text checks to the same place.
    const CoordinateCheck back = checkCoordinates(degreesText(c.longitude), degreesText(c.latitude));
    FUZZ_CHECK(back.ok);
    FUZZ_CHECK(std::fabs(back.longitude - c.longitude) < 1e-4f);
    FUZZ_CHECK(std::fabs(back.latitude - c.latitude) < 1e-4f);
}

void placeValue(const std::string& value) {
    splitPlaceValue(value);
    float lon = 0, lat = 0;
    if (!parsePlaceValue(value, lon, lat)) return;
    FUZZ_CHECK(std::isfinite(lon) && std::isfinite(lat));
    // A damaged table may hold any whole numbers; showing them must still be safe.
    degreesText(lon);
    degreesText(lat);
}

void numbers(FuzzedDataProvider& in) {
    const std::string s = in.ConsumeRandomLengthString(16);
    int v = 0;
    if (cli::readWhole(s, v)) {
        FUZZ_CHECK(v >= -999999 && v <= 999999);
        FUZZ_CHECK(v == std::atoi(s.c_str()));
    }
    const long lo = in.ConsumeIntegralInRange<long>(-100000, 100000);
    const long hi = lo + in.ConsumeIntegralInRange<long>(0, 0xFFFFFF);
    long out = 0;
    if (cli::readBounded(s, lo, hi, out)) FUZZ_CHECK(out >= lo && out <= hi);
    std::vector<std::string> fields;
    while (fields.size() < 5 && in.remaining_bytes() > 0)
        fields.push_back(in.ConsumeRandomLengthString(10));
    cli::LunarDateArgs d;
    if (cli::readLunarDate(fields, -4713, 9999, d)) {
        FUZZ_CHECK(fields.size() == 4);
        FUZZ_CHECK(d.year >= -4713 && d.year <= 9999 && d.month >= 1 && d.month <= 12);
        FUZZ_CHECK(d.day >= 1 && d.day <= 30 && (d.leap == 0 || d.leap == 1));
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
        case 0: dates(in.ConsumeRemainingBytesAsString()); break;
        case 1: {
            const std::string lon = in.ConsumeRandomLengthString(24);
            coordinates(lon, in.ConsumeRemainingBytesAsString());
            break;
        }
        case 2: placeValue(in.ConsumeRemainingBytesAsString()); break;
        default: numbers(in); break;
    }
    return 0;
}
