// Build-time compiler of the text catalogue: reads chart/texts/*.txt (UTF-8) and writes a C++
// source holding every entry as GBK bytes, sorted by identifier.
//
// Usage: catalogue_compiler TEXTS_FOLDER OUTPUT.cpp
// Characters that GBK lacks are stored as '?' and reported on stderr (the catalogue tests fail
// on them); a repeated identifier keeps its first text and is reported. Neither stops the build.
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include "chart/CatalogueSource.h"

namespace {
// UTF-8 -> GBK; an unencodable or malformed character becomes '?'.
std::string toGbk(const std::string& utf8, int& unencodable) {
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        std::fprintf(stderr, "catalogue_compiler: no GBK converter\n");
        std::exit(1);
    }
    std::string out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        // One character at a time keeps the error handling simple.
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        std::size_t len = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3
                        : (lead >> 3) == 30 ? 4 : 1;
        if (i + len > utf8.size()) len = utf8.size() - i;
        char inBuf[8];
        std::copy(utf8.begin() + i, utf8.begin() + i + len, inBuf);
        char outBuf[16];
        char* inPtr = inBuf;
        char* outPtr = outBuf;
        std::size_t inLeft = len;
        std::size_t outLeft = sizeof outBuf;
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
            out += '?';
            ++unencodable;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        } else {
            out.append(outBuf, outPtr - outBuf);
        }
        i += len;
    }
    iconv_close(cd);
    return out;
}

std::string literal(const std::string& bytes) {
    std::string s = "\"";
    int column = 0;
    for (const unsigned char c : bytes) {
        if (column > 90) {
            s += "\"\n    \"";
            column = 0;
        }
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?') {
            s += static_cast<char>(c);
            ++column;
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\%03o", c);
            s += buf;
            column += 4;
        }
    }
    return s + "\"";
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: catalogue_compiler TEXTS_FOLDER OUTPUT.cpp\n");
        return 2;
    }
    std::vector<std::string> problems;
    const auto entries = catalogue_source::readFolder(argv[1], problems);
    std::map<long, std::string> table;  // id -> GBK
    for (const auto& e : entries) {
        if (table.count(e.id)) {
            problems.push_back(e.file + ":" + std::to_string(e.line) + ": repeated id " +
                               std::to_string(e.id) + " ignored");
            continue;
        }
        int bad = 0;
        table[e.id] = toGbk(e.text, bad);
        if (bad)
            problems.push_back(e.file + ":" + std::to_string(e.line) + ": id " +
                               std::to_string(e.id) + ": " + std::to_string(bad) +
                               " character(s) not in GBK");
    }
    for (const auto& p : problems) std::fprintf(stderr, "catalogue_compiler: %s\n", p.c_str());

    const std::string tmp = std::string(argv[2]) + ".tmp";
    std::ofstream out(tmp, std::ios::binary);
    out << "// Generated at build time by tools/catalogue_compiler.cpp from chart/texts/*.txt.\n"
           "// GBK bytes of every catalogue text, sorted by identifier. Do not edit.\n"
           "#include \"chart/CatalogueData.h\"\n\nnamespace catalogue_data {\n";
    out << "const Entry kEntries[] = {\n";
    uint32_t offset = 0;
    for (const auto& [id, bytes] : table) {
        out << "    {" << id << ", " << offset << ", " << bytes.size() << "},\n";
        offset += static_cast<uint32_t>(bytes.size());
    }
    if (table.empty()) out << "    {0, 0, 0},\n";
    out << "};\nconst std::size_t kEntryCount = " << table.size() << ";\n";
    out << "const char kBytes[] =\n";
    for (const auto& [id, bytes] : table) out << "    // " << id << "\n    " << literal(bytes) << "\n";
    out << "    \"\";\n}  // namespace catalogue_data\n";
    out.close();
    if (!out) {
        std::fprintf(stderr, "catalogue_compiler: cannot write %s\n", argv[2]);
        return 1;
    }
    std::rename(tmp.c_str(), argv[2]);
    return 0;
}
