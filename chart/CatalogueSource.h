// Reader of the catalogue's source files (chart/texts/*.txt, UTF-8): an entry starts with a line
// "@<id>" and runs to the next "@" line or the end of the file; its lines are joined with line
// breaks and blank lines at its end are dropped; lines before the first "@" line are a comment.
// Used by the build-time catalogue compiler and by the catalogue tests. Header-only, std only.
#pragma once
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace catalogue_source {

struct Entry {
    long id = 0;            // as written; valid identifiers are 0..65535
    std::string text;       // UTF-8
    std::string file;       // file name, for messages
    int line = 0;           // line of the "@" marker
};

inline void parseText(const std::string& content, const std::string& file,
                      std::vector<Entry>& out, std::vector<std::string>& problems) {
    std::istringstream in(content);
    std::string line;
    int n = 0;
    Entry* current = nullptr;
    std::vector<std::string> lines;
    auto finish = [&]() {
        if (!current) return;
        while (!lines.empty() &&
               lines.back().find_first_not_of(" \t\r") == std::string::npos)
            lines.pop_back();
        std::string t;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i) t += '\n';
            t += lines[i];
        }
        current->text = t;
        lines.clear();
    };
    while (std::getline(in, line)) {
        ++n;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (n == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
        if (!line.empty() && line[0] == '@') {
            finish();
            Entry e;
            e.file = file;
            e.line = n;
            std::size_t pos = 1;
            while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9') ++pos;
            const std::string digits = line.substr(1, pos - 1);
            const std::string rest = line.substr(pos);
            if (digits.empty() || digits.size() > 6 ||
                rest.find_first_not_of(" \t") != std::string::npos) {
                problems.push_back(file + ":" + std::to_string(n) + ": bad marker '" + line + "'");
                e.id = -1;
            } else {
                e.id = std::stol(digits);
                if (e.id > 65535) {
                    problems.push_back(file + ":" + std::to_string(n) + ": id out of range");
                    e.id = -1;
                }
            }
            out.push_back(e);
            current = &out.back();
            continue;
        }
        if (current) lines.push_back(line);
    }
    finish();
}

// Every *.txt of a folder in file-name order.
inline std::vector<Entry> readFolder(const std::string& folder,
                                     std::vector<std::string>& problems) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec))
        if (e.is_regular_file() && e.path().extension() == ".txt") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    std::vector<Entry> out;
    for (const auto& f : files) {
        std::ifstream in(f, std::ios::binary);
        std::ostringstream ss;
        ss << in.rdbuf();
        std::vector<Entry> part;
        parseText(ss.str(), f.filename().string(), part, problems);
        for (auto& p : part)
            if (p.id >= 0) out.push_back(std::move(p));
    }
    return out;
}

}  // namespace catalogue_source
