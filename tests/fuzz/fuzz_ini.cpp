// The INI reader on any file: every section and key read, then one write that must read back
// while the other sections keep their keys.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/Gbk.h"
#include "platform/core/IniFile.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {
std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return s;
}

bool addressable(const std::string& utf8) {
    return utf8.find('\0') == std::string::npos && utf8.find("\xEF\xBF\xBD") == std::string::npos;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::scratch() + "f.ini";
    fuzz::writeFile(path, std::string(reinterpret_cast<const char*>(data), size));
    IniFile ini(path);
    const std::vector<std::string> sections = ini.readSections();
    std::vector<std::vector<std::string>> keys;
    for (const auto& s : sections) {
        // A name of broken GBK bytes comes out with U+FFFD and cannot be named again in UTF-8.
        if (addressable(s)) FUZZ_CHECK(ini.sectionExists(s));
        keys.push_back(ini.readSection(s));
        for (const auto& k : keys.back()) {
            const std::string v = ini.readString(s, k, "");
            FUZZ_CHECK(gbk::byteLength(v) <= 2047);
            ini.readInteger(s, k, 0);
            ini.readBool(s, k, false);
        }
    }
    try {
        ini.writeString("Fuzz", "Key", "值 value");
        ini.writeInteger("Fuzz", "Number", -12345);
    } catch (const IniWriteError&) {
        FUZZ_CHECK(false && "a write to a writable file failed");
    }
    const IniFile again(path);
    FUZZ_CHECK(again.readString("fuzz", "key", "") == "值 value");
    FUZZ_CHECK(again.readInteger("FUZZ", "number", 0) == -12345);
    for (std::size_t i = 0; i < sections.size(); ++i)
        if (lower(sections[i]) != "fuzz") FUZZ_CHECK(again.readSection(sections[i]) == keys[i]);
    return 0;
}
