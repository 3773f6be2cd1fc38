// Chart tables through libcsv.
#include "interchange/Csv.h"

#include <csv.h>

#include <cctype>
#include <cstdio>

#include "interchange/Lines.h"

namespace interchange {
namespace {

constexpr std::size_t kMaxLine = 8192;
constexpr std::size_t kMaxFields = 64;

const char* const kNames[kCsvFieldCount] = {"name",   "sex",   "date",    "time",     "utc_offset", "zone",
                                            "place",  "country", "latitude", "longitude", "category"};
const char* const kCaptions[kCsvFieldCount] = {"姓名", "性别", "日期", "时间", "时差", "时区",
                                               "地点", "国家", "纬度", "经度", "分类"};
// Other header texts that name the same field (folded: lower case, '_' and '-' as spaces).
const std::vector<std::vector<std::string>>& aliases() {
    static const std::vector<std::vector<std::string>> a = {
        {"name", "姓名", "名字", "full name", "chart name"},
        {"sex", "gender", "性别"},
        {"date", "birth date", "birthdate", "date of birth", "日期", "出生日期"},
        {"time", "birth time", "time of birth", "时间", "出生时间"},
        {"utc offset", "offset", "gmt offset", "时差", "utc偏移"},
        {"zone", "time zone", "timezone", "tz", "时区"},
        {"place", "city", "location", "birthplace", "birth place", "地点", "出生地", "城市"},
        {"country", "国家"},
        {"latitude", "lat", "纬度"},
        {"longitude", "lon", "lng", "long", "经度"},
        {"category", "group", "分类", "类别"},
    };
    return a;
}

std::string fold(std::string_view s) {
    std::string out;
    for (char c : trimmed(s)) {
        if (c == '_' || c == '-') out += ' ';
        else out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

struct Collect {
    CsvTable* table;
    std::vector<std::string> row;
    int line = 0;     // the line being fed
    int rowLine = 0;  // the line the current row began on
    bool tooWide = false;
    bool headerDone = false;
};

void onField(void* s, std::size_t n, void* data) {
    auto* c = static_cast<Collect*>(data);
    if (c->row.empty()) c->rowLine = c->line;
    if (c->row.size() >= kMaxFields) {
        c->tooWide = true;
        return;
    }
    c->row.emplace_back(trimmed(std::string_view(static_cast<const char*>(s), s ? n : 0)));
}

void onRow(int, void* data) {
    auto* c = static_cast<Collect*>(data);
    bool blank = true;
    for (const auto& f : c->row) blank = blank && f.empty();
    if (c->tooWide) {
        c->table->problems.push_back({c->rowLine, "字段超过" + std::to_string(kMaxFields) + "个"});
    } else if (!blank) {
        if (!c->headerDone) {
            c->table->header = std::move(c->row);
            c->headerDone = true;
        } else {
            c->table->rows.push_back(std::move(c->row));
            c->table->rowLines.push_back(c->rowLine);
        }
    }
    c->row.clear();
    c->tooWide = false;
}

unsigned char guessDelimiter(std::string_view text) {
    const std::size_t end = text.find('\n');
    const std::string_view first = text.substr(0, end);
    std::size_t commas = 0, semis = 0, tabs = 0;
    for (char ch : first) {
        commas += ch == ',';
        semis += ch == ';';
        tabs += ch == '\t';
    }
    if (tabs > commas && tabs >= semis) return '\t';
    if (semis > commas) return ';';
    return ',';
}

std::string quoted(const std::string& s) {
    std::string out(s.size() * 2 + 2, '\0');
    out.resize(csv_write(out.data(), out.size(), s.data(), s.size()));
    return out;
}
}  // namespace

const char* csvFieldName(CsvField f) { return kNames[static_cast<std::size_t>(f)]; }
const char* csvFieldCaption(CsvField f) { return kCaptions[static_cast<std::size_t>(f)]; }

CsvTable readCsvTable(std::string_view file) {
    const std::string unicode = fromUtf16File(file);
    const std::string_view text = unicode;
    CsvTable table;
    std::string decoded;
    decoded.reserve(text.size());
    struct csv_parser p {};
    if (csv_init(&p, 0) != 0) return table;
    std::string_view sample = text.substr(0, 4096);
    if (sample.substr(0, 3) == "\xEF\xBB\xBF") sample.remove_prefix(3);
    csv_set_delim(&p, guessDelimiter(sample));
    Collect c{&table, {}, 0, 0, false, false};
    std::string utf8;
    forEachLine(text, [&](int n, std::string_view raw) {
        c.line = n;
        if (raw.size() > kMaxLine) {
            table.problems.push_back({n, "行过长"});
            return;
        }
        if (!lineAsUtf8(raw, utf8)) {
            table.problems.push_back({n, "不是UTF-8或GBK文字"});
            return;
        }
        utf8 += '\n';
        csv_parse(&p, utf8.data(), utf8.size(), onField, onRow, &c);
    });
    csv_fini(&p, onField, onRow, &c);
    csv_free(&p);
    return table;
}

CsvMapping guessCsvMapping(const std::vector<std::string>& header) {
    CsvMapping m;
    m.fill(-1);
    for (std::size_t col = 0; col < header.size(); ++col) {
        const std::string h = fold(header[col]);
        for (std::size_t f = 0; f < kCsvFieldCount; ++f) {
            if (m[f] >= 0) continue;
            for (const auto& a : aliases()[f])
                if (h == a) m[f] = static_cast<int>(col);
        }
    }
    return m;
}

bool csvMappingUsable(const CsvMapping& m) {
    return m[static_cast<std::size_t>(CsvField::Name)] >= 0 && m[static_cast<std::size_t>(CsvField::Date)] >= 0;
}

ReadResult chartsFromCsv(const CsvTable& table, const CsvMapping& m) {
    ReadResult r;
    r.problems = table.problems;
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        const auto& row = table.rows[i];
        const int line = table.rowLines[i];
        auto cell = [&](CsvField f) -> std::string {
            const int col = m[static_cast<std::size_t>(f)];
            return col >= 0 && static_cast<std::size_t>(col) < row.size() ? row[static_cast<std::size_t>(col)]
                                                                          : std::string();
        };
        auto refuse = [&](std::string reason) { r.problems.push_back({line, std::move(reason)}); };
        ImportedChart c;
        c.line = line;
        c.name = cell(CsvField::Name);
        if (c.name.empty()) {
            refuse("缺少姓名");
            continue;
        }
        const std::string sex = fold(cell(CsvField::Sex));
        c.male = !(sex == "f" || sex == "female" || sex == "w" || sex == "女");
        const std::string date = cell(CsvField::Date);
        if (!readDate(date, c.date)) {
            refuse("日期无法识别：" + date);
            continue;
        }
        const std::string time = cell(CsvField::Time);
        const std::string ft = fold(time);
        if (ft.empty() || ft == "unknown" || ft == "*" || ft == "?" || ft == "不详" || ft == "未知") {
            c.timeKnown = false;
            c.time = {12, 0, 0};
        } else if (!readTime(time, c.time)) {
            refuse("时间无法识别：" + time);
            continue;
        }
        const std::string offset = cell(CsvField::Offset);
        if (!offset.empty()) {
            if (!readOffset(offset, c.offsetSeconds)) {
                refuse("时差无法识别：" + offset);
                continue;
            }
            c.hasOffset = true;
        }
        c.zoneName = cell(CsvField::Zone);
        if (!c.hasOffset && !c.zoneName.empty()) {
            int s = 0;
            bool summer = false;
            if (zoneAbbreviation(c.zoneName, s, summer)) {
                c.hasOffset = true;
                c.offsetSeconds = s;
                c.summer = summer;
            } else if (readOffset(c.zoneName, s)) {
                c.hasOffset = true;
                c.offsetSeconds = s;
            }
        }
        const std::string lat = cell(CsvField::Latitude), lon = cell(CsvField::Longitude);
        if (!lat.empty() || !lon.empty()) {
            if (!readAngle(lat, true, c.latitude)) {
                refuse("纬度无法识别：" + lat);
                continue;
            }
            if (!readAngle(lon, false, c.longitude)) {
                refuse("经度无法识别：" + lon);
                continue;
            }
            c.hasCoordinates = true;
        }
        c.place = cell(CsvField::Place);
        c.country = cell(CsvField::Country);
        c.category = cell(CsvField::Category);
        r.charts.push_back(std::move(c));
    }
    return r;
}

ReadResult readCsv(std::string_view text) {
    const CsvTable table = readCsvTable(text);
    const CsvMapping m = guessCsvMapping(table.header);
    if (!csvMappingUsable(m)) {
        ReadResult r;
        r.problems = table.problems;
        r.problems.push_back({1, "表头缺少姓名或日期列"});
        return r;
    }
    return chartsFromCsv(table, m);
}

std::string writeCsv(const std::vector<ExportedChart>& charts) {
    std::string out;
    out.reserve(charts.size() * 140 + 128);
    for (std::size_t f = 0; f < kCsvFieldCount; ++f) {
        if (f) out += ',';
        out += kNames[f];
    }
    out += "\r\n";
    char buf[96];
    for (const auto& c : charts) {
        out += quoted(c.name);
        out += c.male ? ",m," : ",f,";
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d,%02d:%02d,%s,", c.date.year, c.date.month, c.date.day,
                      c.time.hour, c.time.minute, offsetText(c.offsetSeconds).c_str());
        out += buf;
        out += quoted(c.zoneId) + ',' + quoted(c.place) + ',' + quoted(c.country) + ',';
        std::snprintf(buf, sizeof buf, "%.6f,%.6f,", c.latitude, c.longitude);
        out += buf;
        out += quoted(c.category);
        out += "\r\n";
    }
    return out;
}

}  // namespace interchange
