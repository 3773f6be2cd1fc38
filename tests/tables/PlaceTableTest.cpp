// The shipped place table resources/dat/dili.ini: the generator reproduces it byte for byte from
// ../shared/data/places, every value lies within half a minute of the data's coordinates, and
// the committed file alone is a well-formed GBK table that IniFile and the city search can use.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/core/Gbk.h"
#include "platform/core/IniFile.h"
#include "tests/support/TestData.h"

#define TARMIN_GEN_NO_MAIN
#include "../../tools/gen_place_table.cpp"

namespace {
std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// 1-based line of the first byte where two texts differ.
std::size_t firstDifferentLine(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    return 1 + static_cast<std::size_t>(std::count(a.begin(), a.begin() + static_cast<long>(i), '\n'));
}

const std::string kCommittedPath = testdata::sourceDir() + "/resources/dat/dili.ini";

const char* const kSections[34] = {
    "福建省", "北京市", "天津市", "河北省", "山西省", "内蒙古", "辽宁省", "吉林省", "黑龙江省",
    "上海市", "江苏省", "浙江省", "安徽省", "江西省", "山东省", "河南省", "湖北省", "湖南省",
    "广东省", "广西",   "海南省", "四川省", "重庆市", "贵州省", "云南省", "西藏",   "陕西省",
    "甘肃省", "青海省", "宁夏",   "新疆",   "台湾省", "香港",   "澳门"};

struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;  // UTF-8 key, value
};

// The committed file read line by line, independently of IniFile.
std::vector<Section> parseTable(const std::string& gbkText) {
    std::vector<Section> sections;
    std::size_t pos = 0;
    while (pos < gbkText.size()) {
        std::size_t end = gbkText.find("\r\n", pos);
        if (end == std::string::npos) end = gbkText.size();
        const std::string line = gbk::toUtf8(gbkText.substr(pos, end - pos));
        pos = end + 2;
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            sections.push_back({line.substr(1, line.size() - 2), {}});
            continue;
        }
        const std::size_t eq = line.find('=');
        if (sections.empty() || eq == std::string::npos) {
            ADD_FAILURE() << "stray line: " << line;
            continue;
        }
        sections.back().entries.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return sections;
}

// A whole number without sign or leading zero.
bool plainNumber(const std::string& s, int& out) {
    if (s.empty() || s.size() > 3 || (s.size() > 1 && s[0] == '0')) return false;
    out = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        out = out * 10 + (c - '0');
    }
    return true;
}

// "D:M*D:M" → decimal degrees; false unless all four parts are plain numbers, minutes < 60.
bool parseValue(const std::string& v, double& lon, double& lat) {
    const std::size_t star = v.find('*');
    if (star == std::string::npos) return false;
    auto part = [](const std::string& s, double& deg) {
        const std::size_t colon = s.find(':');
        int d = 0, m = 0;
        if (colon == std::string::npos || !plainNumber(s.substr(0, colon), d) ||
            !plainNumber(s.substr(colon + 1), m) || m >= 60)
            return false;
        deg = d + m / 60.0;
        return true;
    };
    return part(v.substr(0, star), lon) && part(v.substr(star + 1), lat);
}

// The input panel's city search: the first entry that contains the text and is at most
// 2 GBK bytes longer.
int searchCity(const std::vector<std::pair<std::string, std::string>>& entries,
               const std::string& text) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& k = entries[i].first;
        if (k.find(text) != std::string::npos &&
            gbk::byteLength(k) - gbk::byteLength(text) <= 2)
            return static_cast<int>(i);
    }
    return -1;
}
}  // namespace

TEST(PlaceTable, GeneratorReproducesTheCommittedTable) {
    REQUIRE_SHARED_DATA();
    std::string text;
    std::ostringstream log;
    ASSERT_TRUE(generatePlaceTable(testdata::sharedDataDir(), text, log)) << log.str();
    std::printf("%s", log.str().c_str());
    const std::string committed = readFile(kCommittedPath);
    ASSERT_FALSE(committed.empty());
    EXPECT_TRUE(text == committed)
        << "resources/dat/dili.ini is stale from line " << firstDifferentLine(committed, text)
        << ": rerun gen_place_table <data> resources/dat/dili.ini";
    // Running twice gives the same bytes.
    std::string again;
    std::ostringstream log2;
    ASSERT_TRUE(generatePlaceTable(testdata::sharedDataDir(), again, log2));
    EXPECT_TRUE(again == text);
    EXPECT_NE(log.str().find("left out (no coordinates): 邯郸县"), std::string::npos);
}

TEST(PlaceTable, GeneratorProgramWritesTheSameFile) {
    REQUIRE_SHARED_DATA();
    const std::string exe = testdata::binaryDir() + "/tools/gen_place_table";
    struct stat st {};
    if (::stat(exe.c_str(), &st) != 0) GTEST_SKIP() << exe << " not built";
    const std::string out = testdata::freshTempDir("places") + "dili.ini";
    const std::string cmd = "'" + exe + "' '" + testdata::sharedDataDir() + "' '" + out + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    const std::string fresh = readFile(out);
    const std::string committed = readFile(kCommittedPath);
    EXPECT_TRUE(fresh == committed) << "differs from line " << firstDifferentLine(committed, fresh);
    // Without its two arguments the program writes nothing and says how to call it.
    const int rc = std::system(("'" + exe + "' 2>/dev/null").c_str());
    EXPECT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 2);
}

TEST(PlaceTable, ValuesLieWithinHalfAMinuteOfTheData) {
    REQUIRE_SHARED_DATA();
    std::vector<places::PlaceRow> rows;
    std::ostringstream log;
    ASSERT_TRUE(places::readPlaceRows(
        testdata::sharedFile("places/china_admin_county_level_2016.csv"), rows, log))
        << log.str();
    std::map<std::string, std::string> nameOf;  // code → name
    std::map<std::string, std::string> provinceOf;  // code → section
    for (const auto& p : places::kProvinces)
        for (const auto& r : rows)
            if (r.level == "province" && r.name == p.dataName) provinceOf[r.code] = p.section;
    for (const auto& r : rows) nameOf[r.code] = r.name;
    // Candidate coordinates by (section, name); the prefecture's name rides along for renamed keys.
    struct Candidate {
        std::string prefecture;
        double lon, lat;
    };
    std::map<std::pair<std::string, std::string>, std::vector<Candidate>> byName;
    for (const auto& r : rows) {
        if (!r.hasCoordinates || r.isVirtual) continue;
        std::string provinceCode = r.level == "city" ? r.parentCode : "";
        std::string prefecture;
        if (r.level == "county") {
            for (const auto& c : rows)
                if (c.code == r.parentCode) {
                    provinceCode = c.parentCode;
                    prefecture = c.name;
                }
        }
        if (!provinceOf.count(provinceCode)) continue;
        byName[{provinceOf[provinceCode], r.name}].push_back({prefecture, r.longitude, r.latitude});
    }

    const auto sections = parseTable(readFile(kCommittedPath));
    ASSERT_EQ(sections.size(), 34u);
    double worst = 0;  // arcseconds
    std::string worstKey;
    int matched = 0, unmatched = 0, fixedCount = 0;
    for (const auto& s : sections) {
        for (const auto& [key, value] : s.entries) {
            double lon = 0, lat = 0;
            ASSERT_TRUE(parseValue(value, lon, lat)) << key << "=" << value;
            // A row the generator corrects holds the correction, not the data's point.
            bool corrected = false;
            for (const auto& fixed : places::kWrongCoordinates)
                if (key == fixed.place.name && nameOf[fixed.code] == key) {
                    EXPECT_EQ(value, places::fixedValue(fixed.place)) << s.name << "/" << key;
                    corrected = true;
                }
            if (corrected) {
                ++fixedCount;
                continue;
            }
            const Candidate* best = nullptr;
            for (const auto& [nk, list] : byName) {
                if (nk.first != s.name || key.size() < nk.second.size() ||
                    key.compare(key.size() - nk.second.size(), nk.second.size(), nk.second) != 0)
                    continue;
                const std::string prefix = key.substr(0, key.size() - nk.second.size());
                for (const auto& c : list) {
                    if (!prefix.empty() && c.prefecture.rfind(prefix, 0) != 0) continue;
                    if (prefix.empty() && list.size() > 1) continue;  // a repeated name is renamed
                    best = &c;
                }
            }
            if (!best) {
                ++unmatched;
                // A place of the fixed tables lies near the data's one row of its region (or
                // its province): catches a mistyped degree.
                static const std::map<std::string, std::pair<std::string, double>> region = {
                    {"台湾省", {"台湾省", 3.5}},   {"香港", {"香港特别行政区", 0.25}},
                    {"澳门", {"澳门特别行政区", 0.1}}, {"河北省", {"河北省", 1.0}},
                    {"江苏省", {"江苏省", 2.5}}};
                ASSERT_TRUE(region.count(s.name)) << s.name << "/" << key << " not in the data";
                const auto& [rowName, limit] = region.at(s.name);
                for (const auto& r : rows) {
                    if (r.level != "province" || r.name != rowName) continue;
                    const double d = std::max(std::fabs(lon - r.longitude),
                                              std::fabs(lat - r.latitude));
                    EXPECT_LE(d, limit) << s.name << "/" << key << "=" << value;
                }
                continue;
            }
            ++matched;
            const double err =
                std::max(std::fabs(lon - best->lon), std::fabs(lat - best->lat)) * 3600.0;
            if (err > worst) {
                worst = err;
                worstKey = s.name + "/" + key;
            }
        }
    }
    std::printf("keys matched to the data %d, from the fixed tables %d, largest rounding error "
                "%.3f\" (%s)\n",
                matched, unmatched, worst, worstKey.c_str());
    EXPECT_LE(worst, 30.0 + 1e-6);
    // Taiwan 22, Hong Kong 18, Macau 11 and the three rows without coordinates.
    EXPECT_EQ(unmatched, 22 + 18 + 11 + 3);
    EXPECT_EQ(fixedCount, static_cast<int>(std::size(places::kWrongCoordinates)));
    EXPECT_GT(matched, 3000);
}

TEST(PlaceTable, CommittedFileIsAWellFormedGbkTable) {
    const std::string raw = readFile(kCommittedPath);
    ASSERT_FALSE(raw.empty()) << kCommittedPath;
    // GBK: converts without replacement and back to the same bytes; CRLF line ends only.
    const std::string utf8 = gbk::toUtf8(raw);
    EXPECT_EQ(utf8.find("\xEF\xBF\xBD"), std::string::npos);
    EXPECT_EQ(gbk::fromUtf8(utf8), raw);
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\n') {
            ASSERT_TRUE(i > 0 && raw[i - 1] == '\r') << "bare LF at byte " << i;
        }
        if (raw[i] == '\r') {
            ASSERT_TRUE(i + 1 < raw.size() && raw[i + 1] == '\n');
        }
    }
    ASSERT_TRUE(raw.size() >= 2 && raw.compare(raw.size() - 2, 2, "\r\n") == 0);

    const auto sections = parseTable(raw);
    ASSERT_EQ(sections.size(), 34u);
    std::size_t total = 0;
    std::string shadowed;
    std::size_t shadowedCount = 0;
    double minLon = 999, maxLon = -999, minLat = 999, maxLat = -999;
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const Section& s = sections[i];
        EXPECT_EQ(s.name, kSections[i]);
        EXPECT_FALSE(s.entries.empty()) << s.name;
        std::set<std::string> keys;
        for (std::size_t k = 0; k < s.entries.size(); ++k) {
            const std::string& key = s.entries[k].first;
            const std::string& value = s.entries[k].second;
            EXPECT_TRUE(keys.insert(key).second) << s.name << ": duplicate " << key;
            EXPECT_FALSE(key.empty());
            EXPECT_EQ(key.find_first_of("=[]; \t"), std::string::npos) << key;
            EXPECT_LE(gbk::byteLength(key), 30u) << key;
            double lon = 0, lat = 0;
            ASSERT_TRUE(parseValue(value, lon, lat)) << s.name << "/" << key << "=" << value;
            EXPECT_TRUE(lon >= 73 && lon <= 136 && lat >= 3 && lat <= 54)
                << s.name << "/" << key << "=" << value;
            minLon = std::min(minLon, lon);
            maxLon = std::max(maxLon, lon);
            minLat = std::min(minLat, lat);
            maxLat = std::max(maxLat, lat);
            // Where the city search for a full name stops at an earlier, longer entry
            // (眉山市 finds 峨眉山市 first), the place is reached only from the list.
            const int found = searchCity(s.entries, key);
            EXPECT_LE(found, static_cast<int>(k)) << key;
            if (found != static_cast<int>(k)) {
                EXPECT_GT(gbk::byteLength(s.entries[found].first), gbk::byteLength(key));
                shadowed += s.name + "/" + key + "→" + s.entries[found].first + " ";
                ++shadowedCount;
            }
        }
        total += s.entries.size();
        std::printf("%s %zu  ", s.name.c_str(), s.entries.size());
    }
    std::printf("\ntotal keys %zu, file %zu bytes, longitude %.2f..%.2f, latitude %.2f..%.2f\n",
                total, raw.size(), minLon, maxLon, minLat, maxLat);
    EXPECT_GT(total, 3000u);
    std::printf("full names the city search stops short of: %zu: %s\n", shadowedCount,
                shadowed.c_str());
    EXPECT_LE(shadowedCount, 10u);

    // Capitals lead their provinces; the search finds 福州市 from 福州.
    const std::map<std::string, std::string> firstKey = {
        {"福建省", "福州市"}, {"河北省", "石家庄市"}, {"广东省", "广州市"},
        {"新疆", "乌鲁木齐市"}, {"台湾省", "台北市"}, {"北京市", "东城区"}};
    for (const auto& s : sections)
        if (firstKey.count(s.name)) {
            EXPECT_EQ(s.entries.front().first, firstKey.at(s.name));
        }
    const Section& fujian = sections[0];
    const int fuzhou = searchCity(fujian.entries, "福州");
    ASSERT_GE(fuzhou, 0);
    EXPECT_EQ(fujian.entries[fuzhou].first, "福州市");
    EXPECT_NE(searchCity(fujian.entries, "州"), fuzhou);  // 福州市 is 4 bytes longer than 州
    // A repeated county name carries its prefecture: both 鼓楼区 of 江苏省 are told apart.
    const Section& jiangsu = sections[10];
    EXPECT_GE(searchCity(jiangsu.entries, "南京鼓楼区"), 0);
    EXPECT_GE(searchCity(jiangsu.entries, "徐州鼓楼区"), 0);
    EXPECT_LT(searchCity(jiangsu.entries, "鼓楼区"), 0);
}

TEST(PlaceTable, MajorCitiesAgreeWithTheirPublishedCoordinates) {
    // Published coordinates of the old city centres (degrees, east and north). The table gives
    // the seat of government, which for some cities has moved out of the old centre (Kunming's to
    // Chenggong, 9' away; Harbin's to Qunli, 7'): 12' allowed, far more than rounding but enough
    // to catch swapped or misread columns.
    struct Known {
        const char* section;
        const char* key;
        double lon, lat;
    };
    const Known known[] = {
        {"福建省", "福州市", 119.30, 26.08},   {"北京市", "东城区", 116.42, 39.93},
        {"上海市", "黄浦区", 121.49, 31.23},   {"广东省", "广州市", 113.26, 23.13},
        {"新疆", "乌鲁木齐市", 87.62, 43.83},  {"西藏", "拉萨市", 91.13, 29.65},
        {"黑龙江省", "哈尔滨市", 126.65, 45.75}, {"云南省", "昆明市", 102.71, 25.04},
        {"四川省", "成都市", 104.07, 30.66},   {"台湾省", "高雄市", 120.31, 22.62},
        {"香港", "中西区", 114.15, 22.28},     {"澳门", "澳门半岛", 113.54, 22.20},
    };
    const IniFile ini(kCommittedPath);
    ASSERT_FALSE(ini.readSections().empty());
    double worst = 0;  // arcminutes
    for (const auto& k : known) {
        double lon = 0, lat = 0;
        const std::string v = ini.readString(k.section, k.key, "");
        ASSERT_TRUE(parseValue(v, lon, lat)) << k.section << "/" << k.key << "=" << v;
        const double err = std::max(std::fabs(lon - k.lon), std::fabs(lat - k.lat)) * 60.0;
        worst = std::max(worst, err);
        EXPECT_LE(err, 12.0) << k.section << "/" << k.key << "=" << v;
    }
    std::printf("largest departure from the published city coordinates %.1f'\n", worst);
}

TEST(PlaceTable, IniFileReadsTheCommittedTable) {
    const std::string raw = readFile(kCommittedPath);
    ASSERT_FALSE(raw.empty());
    const auto sections = parseTable(raw);
    const IniFile ini(kCommittedPath);
    const auto names = ini.readSections();
    ASSERT_EQ(names.size(), 34u);
    for (std::size_t i = 0; i < 34; ++i) EXPECT_EQ(names[i], kSections[i]);
    for (const auto& s : sections) {
        const auto keys = ini.readSection(s.name);
        ASSERT_EQ(keys.size(), s.entries.size()) << s.name;
        for (std::size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(keys[i], s.entries[i].first);
    }
    EXPECT_EQ(ini.readString("福建省", "福州市", "120:0*30:0"), "119:18*26:4");
    EXPECT_EQ(ini.readString("北京市", "东城区", "120:0*30:0"), "116:25*39:56");
    EXPECT_EQ(ini.readString("台湾省", "台北市", "120:0*30:0"), "121:34*25:2");
    EXPECT_EQ(ini.readString("福建省", "没有的地方", "120:0*30:0"), "120:0*30:0");
    EXPECT_TRUE(ini.readSection("未知地").empty());
}

TEST(PlaceTable, GeneratorOrdersRenamesAndRounds) {
    using places::PlaceRow;
    auto row = [](const char* code, const char* parent, const char* name, const char* level,
                  bool isVirtual, bool coords, double lon = 0, double lat = 0) {
        PlaceRow r;
        r.code = code;
        r.parentCode = parent;
        r.name = name;
        r.level = level;
        r.isVirtual = isVirtual;
        r.hasCoordinates = coords;
        r.longitude = lon;
        r.latitude = lat;
        return r;
    };
    // A province whose capital is not its first city, a repeated district name, a placeholder
    // with children, a county without coordinates and one given by the fixed table.
    const std::vector<PlaceRow> rows = {
        row("320000000000", "100000000000", "江苏省", "province", false, true, 118.76, 32.06),
        row("320300000000", "320000000000", "徐州市", "city", false, true, 117.2842, 34.2058),
        row("320100000000", "320000000000", "南京市", "city", false, true, 118.7969, 32.0603),
        row("329000000000", "320000000000", "省直辖县级行政区划", "city", true, false),
        row("320800000000", "320000000000", "淮安市", "city", false, true, 119.113185, 33.551052),
        row("320302000000", "320300000000", "鼓楼区", "county", false, true, 117.1857, 34.2887),
        row("320301000000", "320300000000", "市辖区", "county", true, false),
        row("320106000000", "320100000000", "鼓楼区", "county", false, true, 118.77, 32.066),
        row("320199000000", "320100000000", "江东区", "county", false, false),
        row("329001000000", "329000000000", "某某市", "county", false, true, 119.99999, 29.99),
        row("320812000000", "320800000000", "清江浦区", "county", false, false),
    };
    std::vector<places::PlaceEntry> out;
    std::ostringstream log;
    ASSERT_TRUE(places::provincePlaces(rows, "320000000000", "南京市", out, log)) << log.str();
    std::vector<std::string> keys;
    for (const auto& e : out) keys.push_back(e.key + "=" + e.value);
    const std::vector<std::string> expected = {
        "南京市=118:48*32:4", "南京鼓楼区=118:46*32:4", "徐州市=117:17*34:12",
        "徐州鼓楼区=117:11*34:17", "某某市=120:0*29:59", "淮安市=119:7*33:33",
        "清江浦区=119:2*33:35"};
    EXPECT_EQ(keys, expected) << log.str();
    EXPECT_NE(log.str().find("left out (no coordinates): 江东区"), std::string::npos);

    // A capital that is not in the data is an error, not a silent table.
    EXPECT_FALSE(places::provincePlaces(rows, "320000000000", "苏州市", out, log));

    // Rounding to the nearest minute with the carry into the degrees.
    EXPECT_EQ(places::degMin(119.3), "119:18");
    EXPECT_EQ(places::degMin(26.0999), "26:6");
    EXPECT_EQ(places::degMin(26.0749), "26:4");
    EXPECT_EQ(places::degMin(121.9999), "122:0");
    EXPECT_EQ(places::degMin(-0.5), "-0:30");
    EXPECT_EQ(places::placeValue(119.296389, 26.074268), "119:18*26:4");
    EXPECT_EQ(places::prefectureStem("大兴安岭地区"), "大兴安岭");
    EXPECT_EQ(places::prefectureStem("锡林郭勒盟"), "锡林郭勒");
}

TEST(PlaceTable, MissingDataIsReportedNotWritten) {
    std::string text = "untouched";
    std::ostringstream log;
    EXPECT_FALSE(generatePlaceTable("/nonexistent-folder", text, log));
    EXPECT_EQ(text, "untouched");
    EXPECT_NE(log.str().find("cannot read"), std::string::npos);
}
