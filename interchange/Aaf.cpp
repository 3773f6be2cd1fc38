// Reading and writing chart exchange records (#A93, #B93, #ZNAM lines).
#include "interchange/Aaf.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "interchange/Lines.h"

namespace interchange {
namespace {

constexpr std::size_t kMaxLine = 4096;

std::vector<std::string> fields(std::string_view data) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (true) {
        const std::size_t comma = data.find(',', at);
        out.emplace_back(trimmed(data.substr(at, comma == std::string_view::npos ? std::string_view::npos : comma - at)));
        if (comma == std::string_view::npos) break;
        at = comma + 1;
    }
    for (auto& f : out)
        if (f == "*") f.clear();
    return out;
}

bool asciiOnly(const std::string& s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

struct Pending {
    ImportedChart chart;
    bool open = false;
    bool bad = false;
    bool haveJd = false;
    double jd = 0;
    bool haveZone = false;
    int zoneSeconds = 0;
    bool lmt = false;
    double summerHours = 0;
    int bLine = 0;
};

class Reader {
public:
    ReadResult result;

    void line(int number, std::string_view raw) {
        std::string text;
        const char* refused = raw.size() > kMaxLine ? "行过长" : !lineAsUtf8(raw, text) ? "不是UTF-8或GBK文字" : nullptr;
        if (refused) {
            // An unreadable chart line starts a chart of its own that is left out; any other
            // unreadable line takes the chart it belongs to with it.
            if (trimmed(raw.substr(0, 16)).substr(0, 5) == "#A93:") {
                flush();
                p_.open = true;
                p_.chart.line = number;
            }
            return problem(number, refused);
        }
        const std::string_view t = trimmed(text);
        if (t.empty()) return;
        if (t[0] != '#') {
            // Text between the chunks: reported, and the chart around it stays whole.
            result.problems.push_back({number, "不是以#开头的数据行"});
            return;
        }
        const std::size_t colon = t.find(':');
        if (colon == std::string_view::npos) return problem(number, "缺少冒号");
        const std::string id(t.substr(1, colon - 1));
        const std::string_view data = t.substr(colon + 1);
        if (id == "A93") return a93(number, data);
        if (id == "B93") return b93(number, data);
        if (id == "ZNAM") {
            if (!p_.open) return problem(number, "#ZNAM前没有#A93");
            p_.chart.zoneName = std::string(trimmed(data));
        }
        // Other chunks (comments, sources, positions) carry nothing the case keeps.
    }

    void finish() { flush(); }

private:
    Pending p_;

    void problem(int line, std::string reason) {
        result.problems.push_back({line, std::move(reason)});
        if (p_.open && line >= p_.chart.line) p_.bad = true;
    }

    void a93(int number, std::string_view data) {
        flush();
        p_ = Pending{};
        p_.open = true;
        p_.chart.line = number;
        const auto f = fields(data);
        if (f.size() < 5) return problem(number, "#A93应有7个字段，只有" + std::to_string(f.size()) + "个");
        const std::string& last = f[0];
        const std::string& first = f[1];
        if (last.empty() && first.empty()) return problem(number, "缺少姓名");
        if (first.empty()) p_.chart.name = last;
        else if (last.empty()) p_.chart.name = first;
        else if (asciiOnly(last) && asciiOnly(first)) p_.chart.name = first + " " + last;
        else p_.chart.name = last + first;
        const std::string sex = f[2];
        p_.chart.male = !(sex == "f" || sex == "F" || sex == "w" || sex == "W" || sex == "女");
        if (!readDate(f[3], p_.chart.date)) return problem(number, "日期无法识别：" + f[3]);
        if (f[4].empty() || f[4] == "?") {
            p_.chart.timeKnown = false;
            p_.chart.time = {12, 0, 0};
        } else if (!readTime(f[4], p_.chart.time)) {
            return problem(number, "时间无法识别：" + f[4]);
        }
        if (f.size() > 5) p_.chart.place = f[5];
        if (f.size() > 6) p_.chart.country = f[6];
    }

    void b93(int number, std::string_view data) {
        if (!p_.open) return problem(number, "#B93前没有#A93");
        p_.bLine = number;
        const auto f = fields(data);
        if (f.size() < 3) return problem(number, "#B93应有5个字段，只有" + std::to_string(f.size()) + "个");
        if (!f[0].empty()) {
            char* end = nullptr;
            p_.jd = std::strtod(f[0].c_str(), &end);
            if (end == f[0].c_str() || *end != '\0' || !std::isfinite(p_.jd)) return problem(number, "儒略日无法识别：" + f[0]);
            p_.haveJd = true;
        }
        if (!f[1].empty() || !f[2].empty()) {
            if (!readAngle(f[1], true, p_.chart.latitude)) return problem(number, "纬度无法识别：" + f[1]);
            if (!readAngle(f[2], false, p_.chart.longitude)) return problem(number, "经度无法识别：" + f[2]);
            p_.chart.hasCoordinates = true;
        }
        // The zone matters only without the Julian day, which gives the instant itself.
        if (f.size() > 3 && !f[3].empty()) {
            p_.haveZone = readOffset(f[3], p_.zoneSeconds);
            if (!p_.haveZone && !p_.haveJd) return problem(number, "时区无法识别：" + f[3]);
        }
        if (f.size() > 4 && !f[4].empty()) {
            if (f[4] == "L" || f[4] == "l") {
                p_.lmt = true;
            } else {
                char* end = nullptr;
                p_.summerHours = std::strtod(f[4].c_str(), &end);
                if (end == f[4].c_str() || *end != '\0' || !(std::fabs(p_.summerHours) <= 3))
                    return problem(number, "夏令时字段无法识别：" + f[4]);
            }
        }
    }

    void flush() {
        if (!p_.open || p_.bad) {
            p_ = Pending{};
            return;
        }
        ImportedChart& c = p_.chart;
        if (p_.haveJd && c.timeKnown) {
            CivilDate ud;
            ClockTime ut;
            if (!fromJulianDay(p_.jd, ud, ut)) {
                problem(p_.bLine, "儒略日超出范围");
                p_ = Pending{};
                return;
            }
            const int64_t local = daysFromCivil(c.date) * 86400 + c.time.hour * 3600 + c.time.minute * 60 + c.time.second;
            const int64_t universal = daysFromCivil(ud) * 86400 + ut.hour * 3600 + ut.minute * 60 + ut.second;
            int64_t offset = local - universal;
            // The day fraction has five or six decimals: an offset a second or two from a whole
            // minute is that minute.
            // The chart line gives the clock to the minute, the Julian day the instant to the
            // second: an offset within seconds of the zone the file names is that zone's, and
            // one a second or two from a whole minute (five or six decimals) is that minute.
            const int64_t minute = (offset >= 0 ? offset + 30 : offset - 30) / 60 * 60;
            const int64_t zone = p_.zoneSeconds + std::lround(p_.summerHours * 3600);
            if (p_.haveZone && std::llabs(offset - zone) <= 10) offset = zone;
            else if (std::llabs(offset - minute) <= 2) offset = minute;
            if (offset <= -18 * 3600 || offset >= 18 * 3600) {
                problem(p_.bLine, "儒略日与#A93的日期时间相差超过18小时");
                p_ = Pending{};
                return;
            }
            c.hasOffset = true;
            c.offsetSeconds = static_cast<int>(offset);
            c.summer = p_.summerHours > 0;
        } else if (p_.haveZone) {
            c.hasOffset = true;
            c.offsetSeconds = p_.zoneSeconds + static_cast<int>(std::lround(p_.summerHours * 3600));
            c.summer = p_.summerHours > 0;
        } else if (p_.lmt && c.hasCoordinates) {
            c.hasOffset = true;
            c.offsetSeconds = static_cast<int>(std::lround(c.longitude * 240.0));
        } else if (!c.zoneName.empty()) {
            int s = 0;
            bool summer = false;
            if (zoneAbbreviation(c.zoneName, s, summer)) {
                c.hasOffset = true;
                c.offsetSeconds = s;
                c.summer = summer;
            }
        }
        if (c.hasOffset && (c.offsetSeconds <= -18 * 3600 || c.offsetSeconds >= 18 * 3600)) c.hasOffset = false;
        result.charts.push_back(std::move(c));
        p_ = Pending{};
    }
};

std::string clean(const std::string& s) {
    std::string out;
    for (char c : s) out += (c == ',' || c == '\n' || c == '\r' || c == '#') ? ' ' : c;
    const std::string_view t = trimmed(out);
    return t.empty() ? "*" : std::string(t);
}
}  // namespace

ReadResult readAaf(std::string_view raw) {
    const std::string text = fromUtf16File(raw);
    Reader r;
    forEachLine(text, [&](int n, std::string_view line) { r.line(n, line); });
    r.finish();
    return std::move(r.result);
}

std::string writeAaf(const std::vector<ExportedChart>& charts) {
    std::string out;
    out.reserve(charts.size() * 110);
    for (const auto& c : charts) {
        std::string last = c.name, first;
        const std::size_t space = c.name.rfind(' ');
        if (asciiOnly(c.name) && space != std::string::npos && space > 0) {
            first = c.name.substr(0, space);
            last = c.name.substr(space + 1);
        }
        char when[64];
        std::snprintf(when, sizeof when, "%d.%d.%d,%d:%02d", c.date.day, c.date.month, c.date.year, c.time.hour,
                      c.time.minute);
        if (clean(last) == "*" && (first.empty() || clean(first) == "*")) last = "?";
        out += "#A93:" + clean(last) + "," + (first.empty() ? std::string("*") : clean(first)) + "," +
               (c.male ? "m" : "f") + "," + when + "," + clean(c.place) + "," + clean(c.country) + "\n";
        CivilDate d = c.date;
        ClockTime t = c.time;
        shiftSeconds(d, t, -static_cast<int64_t>(c.offsetSeconds));
        const int zone = c.offsetSeconds - (c.summer ? 3600 : 0);
        const int za = (std::abs(zone) + 30) / 60 * 60;
        char b[160];
        std::snprintf(b, sizeof b, "#B93:%.6f,%s,%s,%dh%c%02d,%d\n", julianDay(d, t),
                      angleText(c.latitude, true).c_str(), angleText(c.longitude, false).c_str(), za / 3600,
                      zone < 0 ? 'w' : 'e', za / 60 % 60, c.summer ? 1 : 0);
        out += b;
    }
    return out;
}

}  // namespace interchange
