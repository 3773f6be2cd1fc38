#include "platform/core/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <utility>

#include "platform/core/FileOps.h"
#include "platform/core/Gbk.h"

IniWriteError::IniWriteError(const std::string& fileName)
    : std::runtime_error("无法写入文件“" + fileName + "”（可能是只读文件或磁盘已满）。") {}

namespace {
constexpr size_t kMaxValueBytes = 2047;

// ASCII letters fold to lower case; the two bytes of a GBK character are kept as they are, so
// a trail byte that happens to be a letter is not folded.
std::string foldName(std::string_view gbkBytes) {
    std::string r;
    r.reserve(gbkBytes.size());
    for (size_t i = 0; i < gbkBytes.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(gbkBytes[i]);
        if (gbk::isLeadByte(c) && i + 1 < gbkBytes.size()) {
            r.push_back(static_cast<char>(c));
            r.push_back(gbkBytes[++i]);
        } else {
            r.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c));
        }
    }
    return r;
}

std::string_view trimBlanks(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// The file as lines of GBK bytes (without line ends).
std::vector<std::string> readLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    if (!in) return lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

// Section header "[name]" → folded name; false for other lines.
bool sectionOf(const std::string& line, std::string& folded) {
    const std::string_view t = trimBlanks(line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']') return false;
    folded = foldName(trimBlanks(t.substr(1, t.size() - 2)));
    return true;
}

// "key=value" → raw key and value (both trimmed); false for lines without '='.
bool entryOf(const std::string& line, std::string_view& key, std::string_view& value) {
    const std::string_view t = trimBlanks(line);
    if (t.empty() || t.front() == ';' || t.front() == '[') return false;
    const size_t eq = t.find('=');
    if (eq == std::string_view::npos) return false;
    key = trimBlanks(t.substr(0, eq));
    value = trimBlanks(t.substr(eq + 1));
    return true;
}

// Index range [begin, end) of the body of the first section with that folded name;
// begin = -1 when the section is missing.
std::pair<long, long> findSection(const std::vector<std::string>& lines, const std::string& folded) {
    long begin = -1;
    std::string name;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!sectionOf(lines[i], name)) continue;
        if (begin >= 0) return {begin, static_cast<long>(i)};
        if (name == folded) begin = static_cast<long>(i) + 1;
    }
    return {begin, static_cast<long>(lines.size())};
}

bool parseInteger(std::string_view s, int32_t& out) {
    if (s.empty()) return false;
    bool negative = false;
    size_t i = 0;
    if (s[0] == '+' || s[0] == '-') {
        negative = s[0] == '-';
        ++i;
    }
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size()) return false;
    uint64_t v = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        v = v * base + d;
        if (v > 0xFFFFFFFFull) return false;
    }
    if (base == 10) {
        if (negative ? v > 2147483648ull : v > 2147483647ull) return false;
        out = negative ? static_cast<int32_t>(-static_cast<int64_t>(v)) : static_cast<int32_t>(v);
    } else {
        // Hexadecimal covers the full 32 bits, as colours stored as $00BBGGRR need.
        const uint32_t u = static_cast<uint32_t>(v);
        out = negative ? static_cast<int32_t>(0u - u) : static_cast<int32_t>(u);
    }
    return true;
}

// Writes the lines to a temporary file beside `path`, flushes it to disk and renames it over
// the old file, so the file is either the old one or the new one, never a partial one.
void writeLinesAtomically(const std::string& path, const std::vector<std::string>& lines) {
    std::string content;
    for (const auto& l : lines) {
        content += l;
        content += "\r\n";
    }
    // Created exclusively, never through a link planted under the temporary name (it would be
    // written through and then renamed over the settings file).
    std::string tmp;
    recfs::Fd created = recfs::createExclusive(path + ".tmp" + std::to_string(getpid()), 0644, tmp);
    if (!created.valid()) throw IniWriteError(path);
    const int fd = created.release();
    size_t done = 0;
    bool ok = true;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (ok && ::fsync(fd) != 0) ok = false;
    if (::close(fd) != 0) ok = false;
    if (ok) {
        // Keep the mode of an existing file. A file without write permission is read-only for
        // every user, as the file attribute is on the platform the settings come from (root
        // could otherwise replace it).
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0) {
            if ((st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)
                ok = false;
            else
                ::chmod(tmp.c_str(), st.st_mode & 07777);
        }
    }
    if (ok && ::rename(tmp.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) {
        ::unlink(tmp.c_str());
        throw IniWriteError(path);
    }
}
}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

void IniFile::beginUpdate() {
    if (updateDepth_++ > 0) return;
    updateLines_ = readLines(path_);
    updateChanged_ = false;
}

void IniFile::cancelUpdate() {
    if (updateDepth_ == 0 || --updateDepth_ > 0) return;
    updateLines_.clear();
    updateChanged_ = false;
}

void IniFile::commitUpdate() {
    if (updateDepth_ == 0 || --updateDepth_ > 0) return;
    std::vector<std::string> lines = std::move(updateLines_);
    updateLines_.clear();
    const bool changed = updateChanged_;
    updateChanged_ = false;
    if (changed) writeLinesAtomically(path_, lines);
}

std::vector<std::string> IniFile::linesForChange() const {
    return updateDepth_ > 0 ? updateLines_ : readLines(path_);
}

void IniFile::store(std::vector<std::string> lines) {
    if (updateDepth_ > 0) {
        updateLines_ = std::move(lines);
        updateChanged_ = true;
        return;
    }
    writeLinesAtomically(path_, lines);
}

const std::vector<std::string>& IniFile::lines() const {
    if (updateDepth_ > 0) return updateLines_;
    struct stat st {};
    FileStamp now;
    if (::stat(path_.c_str(), &st) == 0) {
        now.valid = true;
        now.device = st.st_dev;
        now.inode = st.st_ino;
        now.size = static_cast<unsigned long long>(st.st_size);
        now.mtimeSec = st.st_mtim.tv_sec;
        now.mtimeNsec = st.st_mtim.tv_nsec;
    }
    if (!(now == cachedStamp_)) {
        cachedLines_ = readLines(path_);
        cachedStamp_ = now;
    }
    return cachedLines_;
}

std::string IniFile::readString(const std::string& section, const std::string& key,
                                const std::string& def) const {
    const auto& lines = this->lines();
    const auto [begin, end] = findSection(lines, foldName(gbk::fromUtf8(section)));
    if (begin < 0) return def;
    const std::string wanted = foldName(gbk::fromUtf8(key));
    for (long i = begin; i < end; ++i) {
        std::string_view k, v;
        if (entryOf(lines[i], k, v) && foldName(k) == wanted)
            return gbk::toUtf8(gbk::cut(v, kMaxValueBytes));
    }
    return def;
}

int32_t IniFile::readInteger(const std::string& section, const std::string& key, int32_t def) const {
    const std::string s = readString(section, key, std::string());
    int32_t v = def;
    return parseInteger(s, v) ? v : def;
}

bool IniFile::readBool(const std::string& section, const std::string& key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::writeString(const std::string& section, const std::string& key,
                          const std::string& value) {
    auto lines = linesForChange();
    const std::string gSection = gbk::fromUtf8(section);
    const std::string gKey = gbk::fromUtf8(key);
    const std::string entry = gKey + "=" + gbk::fromUtf8(value);
    const auto [begin, end] = findSection(lines, foldName(gSection));
    if (begin < 0) {
        if (!lines.empty() && !trimBlanks(lines.back()).empty()) lines.emplace_back();
        lines.push_back("[" + gSection + "]");
        lines.push_back(entry);
    } else {
        const std::string wanted = foldName(gKey);
        bool replaced = false;
        long last = begin - 1;  // last non-blank line of the section
        for (long i = begin; i < end; ++i) {
            std::string_view k, v;
            if (!trimBlanks(lines[i]).empty()) last = i;
            if (!replaced && entryOf(lines[i], k, v) && foldName(k) == wanted) {
                lines[i] = entry;
                replaced = true;
            }
        }
        if (!replaced) lines.insert(lines.begin() + last + 1, entry);
    }
    store(std::move(lines));
}

void IniFile::writeInteger(const std::string& section, const std::string& key, int32_t value) {
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(const std::string& section, const std::string& key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

std::vector<std::string> IniFile::readSection(const std::string& section) const {
    std::vector<std::string> keys;
    const auto& lines = this->lines();
    const auto [begin, end] = findSection(lines, foldName(gbk::fromUtf8(section)));
    for (long i = begin; begin >= 0 && i < end; ++i) {
        std::string_view k, v;
        if (entryOf(lines[i], k, v)) keys.push_back(gbk::toUtf8(k));
    }
    return keys;
}

std::vector<std::string> IniFile::readSections() const {
    std::vector<std::string> names;
    for (const auto& line : lines()) {
        const std::string_view t = trimBlanks(line);
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']')
            names.push_back(gbk::toUtf8(trimBlanks(t.substr(1, t.size() - 2))));
    }
    return names;
}

bool IniFile::sectionExists(const std::string& section) const {
    return findSection(lines(), foldName(gbk::fromUtf8(section))).first >= 0;
}

void IniFile::eraseSection(const std::string& section) {
    auto lines = linesForChange();
    auto [begin, end] = findSection(lines, foldName(gbk::fromUtf8(section)));
    if (begin < 0) return;
    lines.erase(lines.begin() + (begin - 1), lines.begin() + end);
    store(std::move(lines));
}

void IniFile::deleteKey(const std::string& section, const std::string& key) {
    auto lines = linesForChange();
    const auto [begin, end] = findSection(lines, foldName(gbk::fromUtf8(section)));
    if (begin < 0) return;
    const std::string wanted = foldName(gbk::fromUtf8(key));
    for (long i = begin; i < end; ++i) {
        std::string_view k, v;
        if (entryOf(lines[i], k, v) && foldName(k) == wanted) {
            lines.erase(lines.begin() + i);
            store(std::move(lines));
            return;
        }
    }
}
