// The AAF chart reader on any bytes: no crash, valid charts, refused lines inside the file, and
// what it read written again reads back the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "interchange/Aaf.h"
#include "tests/fuzz/ExchangeCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    fuzz::checkCharts(
        text, [](const std::string& t) { return interchange::readAaf(t); },
        [](const std::vector<interchange::ExportedChart>& c) { return interchange::writeAaf(c); });
    return 0;
}
