// Writes the shipped place table dat/dili.ini (GBK, CRLF line ends) from China's 2016 list of
// administrative divisions with their centre coordinates.
//
//   gen_place_table <data folder> <out.ini>
//
// Input: <data folder>/places/china_admin_county_level_2016.csv (Vonng/adcode, CC BY 4.0),
// columns code, parent_code, name, level, rank, adcode, area_code, municipality, virtual,
// longitude_gcj02, latitude_gcj02, province, city, county; rows ordered by level, then code.
//
// One section per province in the order of the province list of the input panel. In a section
// each prefecture-level city comes first, followed by its county-level places, in the data's
// order; the provincial capital's prefecture leads. Placeholder rows (virtual = t: 市辖区, 县,
// 省直辖县级行政区划) give no key, their children do, at the placeholder's place; so the four
// municipalities list their districts and counties. A county name that occurs more than once in a
// province gets its prefecture's name without the suffix in front (鼓楼区 of 南京市 and of 徐州市
// become 南京鼓楼区 and 徐州鼓楼区). Values are "D:M*D:M", longitude then latitude in degrees and
// whole minutes rounded to the nearest minute, east and north positive. The GCJ-02 offset of the
// data (a few hundred metres) and the rounding (at most half a minute, under 1 km) are both far
// below what a birth chart notices (one arc-minute of longitude moves the houses by 4 s of time).
//
// Taiwan, Hong Kong and Macau are one row each in the data; their places come from the table
// below. Six rows of the data have no coordinates: the three that are in use today are given
// from the same kind of table, the three abolished divisions (邯郸县, 江东区, 金明区) are left out.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/core/Gbk.h"

namespace places {

// A place given by its public coordinates, already rounded to the minute (east and north).
struct FixedPlace {
    const char* name;
    int lonDeg, lonMin, latDeg, latMin;
};

// Taiwan: the six municipalities, the three provincial cities and the thirteen counties,
// each at the seat of its government (for 台南市 the old city centre). Public coordinates rounded
// to the minute.
const FixedPlace kTaiwan[] = {
    {"台北市", 121, 34, 25, 2},  {"新北市", 121, 28, 25, 1},  {"桃园市", 121, 18, 25, 0},
    {"台中市", 120, 41, 24, 9},  {"台南市", 120, 13, 22, 59}, {"高雄市", 120, 19, 22, 37},
    {"基隆市", 121, 45, 25, 8},  {"新竹市", 120, 58, 24, 48}, {"嘉义市", 120, 27, 23, 29},
    {"新竹县", 121, 1, 24, 50},  {"苗栗县", 120, 49, 24, 34}, {"彰化县", 120, 32, 24, 5},
    {"南投县", 120, 40, 23, 55}, {"云林县", 120, 33, 23, 43}, {"嘉义县", 120, 20, 23, 28},
    {"屏东县", 120, 29, 22, 40}, {"宜兰县", 121, 45, 24, 45}, {"花莲县", 121, 36, 23, 59},
    {"台东县", 121, 9, 22, 45},  {"澎湖县", 119, 35, 23, 34}, {"金门县", 118, 19, 24, 26},
    {"连江县", 119, 57, 26, 9},
};

// Hong Kong: the eighteen districts, each at its main town or district centre. Public
// coordinates rounded to the minute.
const FixedPlace kHongKong[] = {
    {"中西区", 114, 9, 22, 17},   {"湾仔区", 114, 10, 22, 17},  {"东区", 114, 13, 22, 17},
    {"南区", 114, 9, 22, 15},     {"油尖旺区", 114, 10, 22, 19}, {"深水埗区", 114, 10, 22, 20},
    {"九龙城区", 114, 11, 22, 20}, {"黄大仙区", 114, 12, 22, 21}, {"观塘区", 114, 14, 22, 19},
    {"荃湾区", 114, 7, 22, 22},   {"屯门区", 113, 59, 22, 23},  {"元朗区", 114, 1, 22, 27},
    {"北区", 114, 8, 22, 30},     {"大埔区", 114, 10, 22, 27},  {"西贡区", 114, 16, 22, 23},
    {"沙田区", 114, 11, 22, 23},  {"葵青区", 114, 8, 22, 21},   {"离岛区", 113, 57, 22, 16},
};

// Macau: the peninsula, the islands and the seven parishes. Public coordinates rounded to the
// minute.
const FixedPlace kMacau[] = {
    {"澳门半岛", 113, 33, 22, 12},     {"氹仔", 113, 33, 22, 9},
    {"路氹城", 113, 34, 22, 9},        {"路环", 113, 34, 22, 7},
    {"花地玛堂区", 113, 33, 22, 12},   {"圣安多尼堂区", 113, 32, 22, 12},
    {"望德堂区", 113, 33, 22, 12},     {"大堂区", 113, 33, 22, 11},
    {"风顺堂区", 113, 32, 22, 11},     {"嘉模堂区", 113, 33, 22, 9},
    {"圣方济各堂区", 113, 34, 22, 7},
};

// County-level places in use today whose row in the data has no coordinates, keyed by the row's
// code. Public coordinates of the seat rounded to the minute.
struct FixedRow {
    const char* code;
    FixedPlace place;
};
const FixedRow kMissingCoordinates[] = {
    {"139001000000", {"定州市", 114, 59, 38, 31}},
    {"139002000000", {"辛集市", 115, 13, 37, 57}},
    {"320812000000", {"清江浦区", 119, 2, 33, 35}},
};

// Rows whose point in the data is plainly wrong, checked against GeoNames: 大兴安岭地区 carries
// 塔河县's point, 217 km north of its seat 加格达奇.
const FixedRow kWrongCoordinates[] = {
    {"232700000000", {"大兴安岭地区", 124, 7, 50, 25}},
};

// The section names in the order of the province list, with the province's name in the data and
// its capital ("" for the municipalities and for the three regions given by the tables above).
struct Province {
    const char* section;
    const char* dataName;
    const char* capital;
};
const Province kProvinces[34] = {
    {"福建省", "福建省", "福州市"},
    {"北京市", "北京市", ""},
    {"天津市", "天津市", ""},
    {"河北省", "河北省", "石家庄市"},
    {"山西省", "山西省", "太原市"},
    {"内蒙古", "内蒙古自治区", "呼和浩特市"},
    {"辽宁省", "辽宁省", "沈阳市"},
    {"吉林省", "吉林省", "长春市"},
    {"黑龙江省", "黑龙江省", "哈尔滨市"},
    {"上海市", "上海市", ""},
    {"江苏省", "江苏省", "南京市"},
    {"浙江省", "浙江省", "杭州市"},
    {"安徽省", "安徽省", "合肥市"},
    {"江西省", "江西省", "南昌市"},
    {"山东省", "山东省", "济南市"},
    {"河南省", "河南省", "郑州市"},
    {"湖北省", "湖北省", "武汉市"},
    {"湖南省", "湖南省", "长沙市"},
    {"广东省", "广东省", "广州市"},
    {"广西", "广西壮族自治区", "南宁市"},
    {"海南省", "海南省", "海口市"},
    {"四川省", "四川省", "成都市"},
    {"重庆市", "重庆市", ""},
    {"贵州省", "贵州省", "贵阳市"},
    {"云南省", "云南省", "昆明市"},
    {"西藏", "西藏自治区", "拉萨市"},
    {"陕西省", "陕西省", "西安市"},
    {"甘肃省", "甘肃省", "兰州市"},
    {"青海省", "青海省", "西宁市"},
    {"宁夏", "宁夏回族自治区", "银川市"},
    {"新疆", "新疆维吾尔自治区", "乌鲁木齐市"},
    {"台湾省", "台湾省", ""},
    {"香港", "香港特别行政区", ""},
    {"澳门", "澳门特别行政区", ""},
};

constexpr std::size_t kMaxKeyBytes = 30;

// One row of the data that matters here.
struct PlaceRow {
    std::string code, parentCode, name, level;
    bool isVirtual = false;
    bool hasCoordinates = false;
    double longitude = 0, latitude = 0;  // degrees, GCJ-02
};

struct PlaceEntry {
    std::string key;    // UTF-8
    std::string value;  // "D:M*D:M"
};

// Degrees (east or north positive) as "D:M", whole minutes rounded to the nearest, a full 60
// carried into the degrees; a negative angle keeps its sign on the degrees.
std::string degMin(double degrees) {
    const long long total = std::llround(std::fabs(degrees) * 60.0);
    const long long d = total / 60;
    const long long m = total % 60;
    const bool negative = degrees < 0 && total != 0;
    return (negative ? "-" : "") + std::to_string(d) + ":" + std::to_string(m);
}

std::string placeValue(double longitude, double latitude) {
    return degMin(longitude) + "*" + degMin(latitude);
}

std::string fixedValue(const FixedPlace& p) {
    return std::to_string(p.lonDeg) + ":" + std::to_string(p.lonMin) + "*" +
           std::to_string(p.latDeg) + ":" + std::to_string(p.latMin);
}

// The prefecture's name without its kind: 南京市 → 南京, 大兴安岭地区 → 大兴安岭, 锡林郭勒盟 → 锡林郭勒.
std::string prefectureStem(const std::string& name) {
    for (const char* suffix : {"自治州", "地区", "市", "盟"}) {
        const std::string s = suffix;
        if (name.size() > s.size() && name.compare(name.size() - s.size(), s.size(), s) == 0)
            return name.substr(0, name.size() - s.size());
    }
    return name;
}

bool splitCsvLine(const std::string& line, std::vector<std::string>& fields) {
    fields.clear();
    std::string cur;
    for (char c : line) {
        if (c == ',') {
            fields.push_back(cur);
            cur.clear();
        } else if (c != '\r') {
            cur += c;
        }
    }
    fields.push_back(cur);
    return fields.size() == 14;
}

bool parseDouble(const std::string& s, double& out) {
    if (s.empty()) return false;
    char* end = nullptr;
    out = std::strtod(s.c_str(), &end);
    return end == s.c_str() + s.size() && std::isfinite(out);
}

bool readPlaceRows(const std::string& path, std::vector<PlaceRow>& rows, std::ostream& log) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        log << "cannot read " << path << "\n";
        return false;
    }
    std::string line;
    std::getline(in, line);
    if (line.rfind("code,parent_code,name,level,", 0) != 0) {
        log << path << ": unexpected header\n";
        return false;
    }
    std::vector<std::string> f;
    int lineNo = 1;
    while (std::getline(in, line)) {
        ++lineNo;
        if (line.empty() || line == "\r") continue;
        if (!splitCsvLine(line, f)) {
            log << path << ":" << lineNo << ": expected 14 fields\n";
            return false;
        }
        PlaceRow r;
        r.code = f[0];
        r.parentCode = f[1];
        r.name = f[2];
        r.level = f[3];
        r.isVirtual = f[8] == "t";
        r.hasCoordinates = parseDouble(f[9], r.longitude) && parseDouble(f[10], r.latitude);
        rows.push_back(std::move(r));
    }
    return true;
}

// The keys of one province: its prefecture-level rows in data order (the capital first), each
// followed by its county-level rows in data order. Rows without coordinates take them from
// kMissingCoordinates or are left out (reported in the log).
bool provincePlaces(const std::vector<PlaceRow>& rows, const std::string& provinceCode,
                    const std::string& capital, std::vector<PlaceEntry>& out, std::ostream& log) {
    out.clear();
    std::vector<const PlaceRow*> cities;
    std::map<std::string, std::vector<const PlaceRow*>> counties;  // by parent code
    for (const auto& r : rows) {
        if (r.level == "city" && r.parentCode == provinceCode) cities.push_back(&r);
        if (r.level == "county") counties[r.parentCode].push_back(&r);
    }
    if (!capital.empty()) {
        auto it = cities.begin();
        while (it != cities.end() && (*it)->name != capital) ++it;
        if (it == cities.end()) {
            log << "capital " << capital << " missing under " << provinceCode << "\n";
            return false;
        }
        const PlaceRow* c = *it;
        cities.erase(it);
        cities.insert(cities.begin(), c);
    }

    struct Candidate {
        const PlaceRow* row;
        std::string prefecture;  // "" for a prefecture-level row or a placeholder's child
        std::string value;
    };
    std::vector<Candidate> list;
    auto add = [&](const PlaceRow* r, const std::string& prefecture) {
        if (r->isVirtual) return;
        for (const auto& fixed : kWrongCoordinates) {
            if (r->code == fixed.code && r->name == fixed.place.name) {
                list.push_back({r, prefecture, fixedValue(fixed.place)});
                log << "coordinates corrected: " << r->name << "\n";
                return;
            }
        }
        if (r->hasCoordinates) {
            list.push_back({r, prefecture, placeValue(r->longitude, r->latitude)});
            return;
        }
        for (const auto& fixed : kMissingCoordinates) {
            if (r->code == fixed.code && r->name == fixed.place.name) {
                list.push_back({r, prefecture, fixedValue(fixed.place)});
                log << "coordinates from the fixed table: " << r->name << "\n";
                return;
            }
        }
        log << "left out (no coordinates): " << r->name << " " << r->code << "\n";
    };
    for (const PlaceRow* city : cities) {
        add(city, "");
        const auto it = counties.find(city->code);
        if (it == counties.end()) continue;
        for (const PlaceRow* county : it->second)
            add(county, city->isVirtual ? std::string() : city->name);
    }

    std::map<std::string, int> seen;
    for (const auto& c : list) ++seen[c.row->name];
    std::set<std::string> keys;
    for (const auto& c : list) {
        std::string key = c.row->name;
        if (seen[key] > 1 && !c.prefecture.empty()) {
            key = prefectureStem(c.prefecture) + key;
            log << "renamed " << c.row->name << " of " << c.prefecture << " to " << key << "\n";
        }
        if (key.empty() || key.find_first_of("=[]") != std::string::npos ||
            key.front() == ' ' || key.back() == ' ' || !gbk::encodable(key) ||
            gbk::byteLength(key) > kMaxKeyBytes) {
            log << "unusable key " << key << "\n";
            return false;
        }
        if (!keys.insert(key).second) {
            log << "duplicate key " << key << " under " << provinceCode << "\n";
            return false;
        }
        out.push_back({key, c.value});
    }
    return true;
}

template <std::size_t N>
std::vector<PlaceEntry> fixedPlaces(const FixedPlace (&table)[N]) {
    std::vector<PlaceEntry> v;
    for (const auto& p : table) v.push_back({p.name, fixedValue(p)});
    return v;
}

const char* const kHeader[] = {
    "; Place table: one section per province, one key per place, value",
    "; longitude degrees:minutes*latitude degrees:minutes (east and north positive).",
    "; Generated by tools/gen_place_table from China's 2016 list of administrative divisions",
    "; (Vonng/adcode, CC BY 4.0), GCJ-02 centre coordinates used as given (a few hundred metres",
    "; from WGS-84). Rounding to whole minutes costs at most 0.5' (under 1 km). Taiwan, Hong Kong",
    "; and Macau, and three places the data gives without coordinates, from public coordinates",
    "; rounded to the minute.",
};

}  // namespace places

// Builds the whole table as GBK bytes with CRLF line ends; false (and a reason in the log) when
// the data is missing or does not give a usable table. The log lists what was used.
bool generatePlaceTable(const std::string& dataDir, std::string& gbkText, std::ostream& log) {
    using namespace places;
    std::vector<PlaceRow> rows;
    if (!readPlaceRows(dataDir + "/places/china_admin_county_level_2016.csv", rows, log))
        return false;

    std::string text;
    for (const char* line : kHeader) text += std::string(line) + "\r\n";
    std::size_t total = 0, fromData = 0;
    for (const auto& p : kProvinces) {
        const PlaceRow* province = nullptr;
        for (const auto& r : rows)
            if (r.level == "province" && r.name == p.dataName) province = &r;
        if (!province) {
            log << "province " << p.dataName << " missing in the data\n";
            return false;
        }
        std::vector<PlaceEntry> entries;
        const std::string section = p.section;
        if (section == "台湾省") {
            entries = fixedPlaces(kTaiwan);
        } else if (section == "香港") {
            entries = fixedPlaces(kHongKong);
        } else if (section == "澳门") {
            entries = fixedPlaces(kMacau);
        } else {
            if (!provincePlaces(rows, province->code, p.capital, entries, log)) return false;
            fromData += entries.size();
        }
        if (entries.empty()) {
            log << "no places for " << section << "\n";
            return false;
        }
        text += "\r\n[" + section + "]\r\n";
        for (const auto& e : entries) text += e.key + "=" + e.value + "\r\n";
        log << section << " " << entries.size() << "\n";
        total += entries.size();
    }
    log << "rows read " << rows.size() << ", keys from the data " << fromData << ", keys "
        << total << "\n";
    gbkText = gbk::fromUtf8(text);
    return true;
}

#ifndef TARMIN_GEN_NO_MAIN
int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: gen_place_table <data folder> <out.ini>\n";
        return 2;
    }
    std::string text;
    if (!generatePlaceTable(argv[1], text, std::cerr)) return 1;
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        std::cerr << "cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
#endif
