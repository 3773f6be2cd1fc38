// Writes the era-name table of the perpetual calendar (calendar/tables/EraTable.cpp) from Yuk Tung
// Liu's list of Chinese reign and era names (eras/eras_ytliu.csv: astronomical years, traditional
// characters, -771 .. 1911) and a built-in list of the Xia, Shang and Western Zhou kings.
//
//   gen_era_table <data folder> <output .cpp>
//
// What the generator does to the data, row by row:
//  - texts are converted to simplified characters with kCharMap (exactly the characters that
//    occur; every key must be used), blanks inside names are removed and the placeholder "?" of
//    an unknown personal name becomes empty;
//  - an era name that carries its own year range ("乾化三至五年", "天福十二年", "永曆十六至三十七年")
//    keeps the bare era name and counts on from the earlier start through the year base
//    (乾化三至五年 from 913 -> 乾化, base 2, so 913 reads 乾化3年);
//  - a row repeating the dynasty, ruler, personal name and era of an earlier row that it overlaps
//    or adjoins is folded into that row (the section-boundary duplicates of 周敬王 and 魯哀公, and
//    元文宗's 天曆 around 明宗's months in 1329, which then reads 天历2年 once for each ruler);
//  - 秦王政 and 始皇帝 (the same reign listed twice) are cut at the unification: 秦王政 from -245
//    to -221, 始皇帝 from -220 (221 BC) counting on as his 26th year;
//  - dynasties the data labels by its section headings take their own names (东周君王 -> 东周,
//    鲁国君主 -> 鲁, 秦国君主 -> 秦, 武周年号 -> 武周, 续唐年号 -> 唐, 南明和明郑 -> 南明), and the
//    Five Dynasties, which the data calls 梁, 唐, 晋, 汉 and 周 like the earlier dynasties, are
//    后梁, 后唐, 后晋, 后汉 and 后周 (kDynastyLabels);
//  - names are mended by kNameFixes: every ruler the data lists without a title gets the one the
//    usual chronologies give him (孙皓 -> 末帝, 溥仪 -> 宣统帝, the Southern Ming temple names...),
//    the 永历 years after 1661 go to the 延平王 of 明郑, 斡兀 becomes 斡兀立海迷失 and the
//    Eastern Zhou kings 考哲王, 元安王, 夷烈王 and 显圣王 their usual names 考王, 安王, 烈王, 显王;
//    no row of the data is left without a ruler;
//  - reigns the data dates wrongly are set right by kReignFixes (周平王 770-720 BC, 蒙哥 1251-1259);
//  - the dynasty "滿洲、後金、清" (14 GBK bytes) is written by period: 满洲 before 1616, 后金 from
//    天命 (1616), 清 from 崇德 (1636);
//  - a ruler or personal name with alternatives ("文公/湣公/緡公") that does not fit keeps as many
//    leading alternatives as fit;
//  - the flagged 民國 row of 1912 is replaced by the table's own last two rows (民国 1912-1948,
//    公历纪元 from 1949 counting on from 1948).
// Rows are stably ordered by start year (the data lists dynasties one after the other).
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "calendar/Eras.h"
#include "platform/core/Gbk.h"

namespace eragen {

struct CharPair {
    const char* from;
    const char* to;
};

// Traditional -> simplified for the characters of the data's dynasty, ruler, personal-name and
// era-name columns. Left as they are, because modern simplified texts keep them in these names:
// 叡 (曹叡), 濬 (拓跋濬), 蒨 (陳蒨), 釐 (釐公), 懽 (妥懽), 湣 (湣公), 眘 (趙眘), 詝 (奕詝; its
// simplified form is outside GBK), 乾 (乾隆 and the other 乾 eras). 昇明 becomes 升明 and 劉準
// 刘准, as simplified histories write them. The last three pairs replace characters that GBK
// lacks by their usual variants: 神䴥 -> 神麚, 趙㬎 -> 赵显 (㬎 is an old form of 顯),
// 和世㻋 -> 和世瓎.
const CharPair kCharMap[] = {
    {"側", "侧"}, {"備", "备"}, {"儀", "仪"}, {"冊", "册"}, {"則", "则"}, {"劉", "刘"},
    {"勗", "勖"}, {"協", "协"}, {"厲", "厉"}, {"吳", "吴"}, {"呂", "吕"}, {"啟", "启"},
    {"國", "国"}, {"圖", "图"}, {"堅", "坚"}, {"堯", "尧"}, {"壽", "寿"}, {"奮", "奋"},
    {"嬰", "婴"}, {"孫", "孙"}, {"寧", "宁"}, {"寶", "宝"}, {"將", "将"}, {"師", "师"},
    {"廢", "废"}, {"廣", "广"}, {"後", "后"}, {"從", "从"}, {"復", "复"}, {"徹", "彻"},
    {"恆", "恒"}, {"愛", "爱"}, {"慶", "庆"}, {"憲", "宪"}, {"應", "应"}, {"懷", "怀"},
    {"擴", "扩"}, {"攝", "摄"}, {"昇", "升"}, {"曄", "晔"}, {"曆", "历"}, {"會", "会"},
    {"東", "东"}, {"棟", "栋"}, {"楊", "杨"}, {"業", "业"}, {"極", "极"}, {"榮", "荣"},
    {"構", "构"}, {"樂", "乐"}, {"機", "机"}, {"檢", "检"}, {"權", "权"}, {"欽", "钦"},
    {"歲", "岁"}, {"殤", "殇"}, {"沖", "冲"}, {"涼", "凉"}, {"淵", "渊"}, {"準", "准"},
    {"滿", "满"}, {"漢", "汉"}, {"濟", "济"}, {"烏", "乌"}, {"煬", "炀"}, {"熾", "炽"},
    {"燁", "烨"}, {"燾", "焘"}, {"爾", "尔"}, {"獻", "献"}, {"璽", "玺"}, {"異", "异"},
    {"監", "监"}, {"碩", "硕"}, {"祿", "禄"}, {"禎", "祯"}, {"禪", "禅"}, {"窩", "窝"},
    {"節", "节"}, {"簡", "简"}, {"紀", "纪"}, {"純", "纯"}, {"紹", "绍"}, {"統", "统"},
    {"綏", "绥"}, {"綱", "纲"}, {"緒", "绪"}, {"緡", "缗"}, {"緯", "纬"}, {"總", "总"},
    {"繹", "绎"}, {"續", "续"}, {"纘", "缵"}, {"義", "义"}, {"聖", "圣"}, {"聰", "聪"},
    {"肅", "肃"}, {"臨", "临"}, {"興", "兴"}, {"莊", "庄"}, {"萇", "苌"},
    {"萬", "万"}, {"蔣", "蒋"}, {"蕩", "荡"}, {"蕭", "萧"}, {"號", "号"}, {"見", "见"},
    {"視", "视"}, {"覺", "觉"}, {"觀", "观"}, {"訓", "训"}, {"証", "证"}, {"詡", "诩"},
    {"詢", "询"}, {"誦", "诵"}, {"調", "调"}, {"讎", "雠"}, {"豐", "丰"}, {"貞", "贞"},
    {"貴", "贵"}, {"買", "买"}, {"貼", "贴"}, {"賈", "贾"}, {"賜", "赐"}, {"賢", "贤"},
    {"質", "质"}, {"賾", "赜"}, {"贇", "赟"}, {"贊", "赞"}, {"趙", "赵"}, {"輔", "辅"},
    {"載", "载"}, {"辯", "辩"}, {"連", "连"}, {"運", "运"}, {"達", "达"}, {"遜", "逊"},
    {"遠", "远"}, {"遼", "辽"}, {"鄭", "郑"}, {"鄴", "邺"}, {"鈞", "钧"}, {"鈺", "钰"},
    {"鍵", "键"}, {"鎮", "镇"}, {"鐵", "铁"}, {"長", "长"}, {"開", "开"}, {"閔", "闵"},
    {"閬", "阆"}, {"闊", "阔"}, {"闡", "阐"}, {"陳", "陈"}, {"陽", "阳"}, {"隱", "隐"},
    {"雲", "云"}, {"靈", "灵"}, {"靚", "靓"}, {"靜", "静"}, {"頃", "顷"}, {"順", "顺"},
    {"頊", "顼"}, {"顏", "颜"}, {"顒", "颙"}, {"顯", "显"}, {"馬", "马"}, {"駟", "驷"},
    {"駰", "骃"}, {"駿", "骏"}, {"驁", "骜"}, {"驕", "骄"}, {"魯", "鲁"}, {"鳳", "凤"},
    {"鴻", "鸿"}, {"鸞", "鸾"}, {"黃", "黄"}, {"齊", "齐"}, {"龍", "龙"}, {"龜", "龟"},
    // characters GBK lacks
    {"䴥", "麚"}, {"㬎", "显"}, {"㻋", "瓎"},
};

// Text limits in GBK bytes, without the terminating NUL.
constexpr std::size_t kDynastyBytes = kEraDynastyWidth - 1;
constexpr std::size_t kRulerBytes = kEraRulerWidth - 1;
constexpr std::size_t kPersonalNameBytes = kEraPersonalNameWidth - 1;
constexpr std::size_t kEraNameBytes = kEraNameWidth - 1;

struct Row {
    int start = 0;
    int count = 0;
    int base = 0;
    std::string dynasty, ruler, personalName, eraName;
};

// Before -771: the Xia, Shang and Western Zhou after the Xia-Shang-Zhou Chronology Project
// (夏商周断代工程, 1996-2000 stage report, 2000), in astronomical years (year 0 = 1 BC).
// Xia 2070-1600 BC and the early Shang 1600-1300 BC have no reign dates in that chronology and are
// one row each, counted from the dynasty's start; from 盘庚's move to Yin (1300 BC) the Project
// gives 盘庚-小乙 1300-1251, 武丁 1250-1192, 祖庚-康丁 1191-1148 (groups as published), 武乙
// 1147-1113, 文丁 1112-1102, 帝乙 1101-1076, 帝辛 1075-1046; the Western Zhou kings 武王
// 1046-1043, 成王 1042-1021, 康王 1020-996, 昭王 995-977, 穆王 976-922, 共王 922-900 (accession
// year counted by both), 懿王 899-892, 孝王 891-886, 夷王 885-878, 厉王 877-841, 共和 841-828
// (厉王's last year is 共和 1), 宣王 827-782, 幽王 781-771. The dates before 841 BC are the
// Project's reconstructions, not recorded dates. Personal names are the traditional ones of the
// Shiji. The fourteen years of the 共和 regency are counted as 共和 N年.
const Row kEarlyRows[] = {
    {-2069, 470, 0, "夏", "禹至桀", "", ""},
    {-1599, 300, 0, "商", "汤至阳甲", "", ""},
    {-1299, 50, 0, "商", "盘庚至小乙", "", ""},
    {-1249, 59, 0, "商", "武丁", "昭", ""},
    {-1190, 44, 0, "商", "祖庚至康丁", "", ""},
    {-1146, 35, 0, "商", "武乙", "瞿", ""},
    {-1111, 11, 0, "商", "文丁", "托", ""},
    {-1100, 26, 0, "商", "帝乙", "羡", ""},
    {-1074, 30, 0, "商", "帝辛", "受", ""},
    {-1045, 4, 0, "西周", "武王", "发", ""},
    {-1041, 22, 0, "西周", "成王", "诵", ""},
    {-1019, 25, 0, "西周", "康王", "钊", ""},
    {-994, 19, 0, "西周", "昭王", "瑕", ""},
    {-975, 55, 0, "西周", "穆王", "满", ""},
    {-921, 23, 0, "西周", "共王", "繄扈", ""},
    {-898, 8, 0, "西周", "懿王", "囏", ""},
    {-890, 6, 0, "西周", "孝王", "辟方", ""},
    {-884, 8, 0, "西周", "夷王", "燮", ""},
    {-876, 37, 0, "西周", "厉王", "胡", ""},
    {-840, 14, 0, "西周", "共和行政", "", "共和"},
    {-826, 46, 0, "西周", "宣王", "静", ""},
    {-780, 11, 0, "西周", "幽王", "宫湦", ""},
};

// The data's dynasty labels that are not the dynasty's own name. With a section, the label is
// replaced only in the rows of the section whose heading contains it (the Five Dynasties).
struct DynastyLabel {
    const char* data;     // simplified
    const char* section;  // nullptr: every section
    const char* label;
};
const DynastyLabel kDynastyLabels[] = {
    {"东周君王", nullptr, "东周"}, {"鲁国君主", nullptr, "鲁"}, {"秦国君主", nullptr, "秦"},
    {"武周年号", nullptr, "武周"}, {"续唐年号", nullptr, "唐"}, {"南明和明郑", nullptr, "南明"},
    {"梁", "五代", "后梁"},        {"唐", "五代", "后唐"},      {"晋", "五代", "后晋"},
    {"汉", "五代", "后汉"},        {"周", "五代", "后周"},
};

// Names mended in every row that has the given dynasty (after kDynastyLabels), ruler and personal
// name; nullptr keeps the data's text. Rulers without temple or posthumous name get the title the
// usual chronologies give them (a deposed ruler's later rank, 废帝, 末帝, 后主...).
struct NameFix {
    const char* dynasty;
    const char* ruler;
    const char* personalName;
    const char* newDynasty;
    const char* newRuler;
    const char* newPersonalName;
};
const NameFix kNameFixes[] = {
    // Eastern Zhou kings by their usual names.
    {"东周", "考哲王", "嵬", nullptr, "考王", nullptr},
    {"东周", "元安王", "骄", nullptr, "安王", nullptr},
    {"东周", "夷烈王", "喜", nullptr, "烈王", nullptr},
    {"东周", "显圣王", "扁", nullptr, "显王", nullptr},
    // Heirs of Lu who died before their burial as lords: 子 and the name.
    {"鲁", "", "子般", nullptr, "子般", "般"},
    {"鲁", "", "子野", nullptr, "子野", "野"},
    {"秦", "", "嬴子婴", nullptr, "秦王", nullptr},
    {"西汉", "", "刘婴", nullptr, "孺子", nullptr},
    {"新", "", "王莽", nullptr, "新帝", nullptr},
    {"更始", "", "刘玄", nullptr, "更始帝", nullptr},
    {"曹魏", "", "曹髦", nullptr, "高贵乡公", nullptr},
    {"孙吴", "", "孙亮", nullptr, "会稽王", nullptr},
    {"孙吴", "", "孙皓", nullptr, "末帝", nullptr},
    {"后秦", "", "姚泓", nullptr, "后主", nullptr},
    {"北凉", "", "段业", nullptr, "凉王", nullptr},
    {"北凉", "", "沮渠蒙逊", nullptr, "武宣王", nullptr},
    {"北凉", "", "沮渠牧犍", nullptr, "哀王", nullptr},
    {"北魏", "", "拓跋余", nullptr, "南安王", nullptr},
    {"北魏", "", "元晔", nullptr, "长广王", nullptr},
    {"北魏", "", "元朗", nullptr, "安定王", nullptr},
    {"北齐", "", "高殷", nullptr, "废帝", nullptr},
    {"北齐", "", "高纬", nullptr, "后主", nullptr},
    {"北齐", "", "高恒", nullptr, "幼主", nullptr},
    {"西魏", "", "元钦", nullptr, "废帝", nullptr},
    {"齐", "", "萧昭业", nullptr, "郁林王", nullptr},
    {"齐", "", "萧昭文", nullptr, "海陵王", nullptr},
    {"齐", "", "萧宝卷", nullptr, "东昏侯", nullptr},
    {"齐", "", "萧宝融", nullptr, "和帝", nullptr},
    {"梁", "", "萧栋", nullptr, "豫章王", nullptr},
    {"陈", "", "陈伯宗", nullptr, "废帝", nullptr},
    {"武周", "", "武曌", nullptr, "则天皇帝", nullptr},
    {"后梁", "", "朱友珪", nullptr, "郢王", nullptr},
    {"后唐", "", "李从珂", nullptr, "末帝", nullptr},
    {"金", "", "完颜亮", nullptr, "海陵王", nullptr},
    {"金", "", "完颜永济", nullptr, "卫绍王", nullptr},
    // The data cuts the regent's name after two characters.
    {"蒙古、元", "定宗后", "斡兀", nullptr, nullptr, "斡兀立海迷失"},
    {"南明", "", "朱由崧", nullptr, "安宗", nullptr},
    {"南明", "", "朱聿键", nullptr, "绍宗", nullptr},
    {"南明", "", "朱由榔", nullptr, "昭宗", nullptr},
    // 永历 16-37 (1662-1683) was kept by the 延平王 of 明郑 on Taiwan after 朱由榔's death.
    {"南明", "", "", "明郑", "延平王", "郑成功/郑经/郑克塽"},
    {"清", "", "溥仪", nullptr, "宣统帝", nullptr},
};

// Reigns the data dates wrongly, found by dynasty, ruler and the data's start and length.
struct ReignFix {
    const char* dynasty;
    const char* ruler;
    int start, count;
    int newStart, newCount;
};
const ReignFix kReignFixes[] = {
    // 周平王's first year is 770 BC; he died in his 51st, 720 BC (the data starts in 772 BC).
    {"东周", "平王", -771, 53, -769, 51},
    // 蒙哥 died in 1259; 1260 is the first year of 忽必烈 (中统).
    {"蒙古、元", "宪宗", 1251, 10, 1251, 9},
};

// The table ends with the Republic and the present reckoning.
const Row kLastRows[] = {
    {1912, 37, 0, "近、现代", "中华民国", "", "民国"},
    {1949, 9999, 1948, "当代", "中国", "", "公历纪元"},
};

// Splits a UTF-8 text into its characters.
std::vector<std::string> utf8Chars(const std::string& s) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        n = std::min(n, s.size() - i);
        out.push_back(s.substr(i, n));
        i += n;
    }
    return out;
}

// One CSV line with optional double-quoted fields.
std::vector<std::string> splitCsv(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c != '\r') {
            fields.back() += c;
        }
    }
    return fields;
}

bool parseInt(const std::string& s, int& value) {
    try {
        std::size_t used = 0;
        value = std::stoi(s, &used);
        return used == s.size();
    } catch (...) {
        return false;
    }
}

// Chinese numeral 1..99 as written in year ranges ("元" = 1, "十二", "三十七"); -1 if not one.
int chineseNumber(const std::vector<std::string>& chars) {
    static const std::map<std::string, int> digits = {{"一", 1}, {"二", 2}, {"三", 3}, {"四", 4},
                                                      {"五", 5}, {"六", 6}, {"七", 7}, {"八", 8},
                                                      {"九", 9}};
    if (chars.size() == 1 && chars[0] == "元") return 1;
    int value = 0;
    int pending = 0;
    bool any = false;
    for (const std::string& c : chars) {
        if (c == "十") {
            value += (pending == 0 ? 1 : pending) * 10;
            pending = 0;
        } else {
            const auto it = digits.find(c);
            if (it == digits.end() || pending != 0) return -1;
            pending = it->second;
        }
        any = true;
    }
    return any && value + pending > 0 && value + pending < 100 ? value + pending : -1;
}

// "乾化三至五年" -> era "乾化", first year 3. The era name is the first two characters and the
// rest reads <n>年, <n>至<m>年 or <n>、<m>年. Returns false if the name has no such suffix.
bool splitYearRange(const std::string& name, std::string& era, int& firstYear, bool& bad) {
    bad = false;
    const std::vector<std::string> chars = utf8Chars(name);
    if (chars.size() < 4 || chars.back() != "年") return false;
    era = chars[0] + chars[1];
    std::vector<std::string> first;
    for (std::size_t i = 2; i + 1 < chars.size(); ++i) {
        if (chars[i] == "至" || chars[i] == "、") break;
        first.push_back(chars[i]);
    }
    firstYear = chineseNumber(first);
    bad = firstYear < 1;
    return !bad;
}

std::string toSimplified(const std::string& text, std::map<std::string, int>& uses) {
    static const std::map<std::string, std::string> map = [] {
        std::map<std::string, std::string> m;
        for (const CharPair& p : kCharMap) m[p.from] = p.to;
        return m;
    }();
    std::string out;
    for (const std::string& c : utf8Chars(text)) {
        const auto it = map.find(c);
        if (it == map.end()) {
            out += c;
        } else {
            out += it->second;
            ++uses[c];
        }
    }
    return out;
}

std::string withoutBlanks(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c != ' ' && c != '\t') out += c;
    return out;
}

// Keeps the leading "/"-separated alternatives that fit in maxBytes GBK bytes.
std::string fitAlternatives(const std::string& text, std::size_t maxBytes) {
    if (gbk::byteLength(text) <= maxBytes) return text;
    std::string kept;
    std::size_t from = 0;
    while (from <= text.size()) {
        std::size_t slash = text.find('/', from);
        if (slash == std::string::npos) slash = text.size();
        const std::string candidate =
            (kept.empty() ? "" : kept + "/") + text.substr(from, slash - from);
        if (gbk::byteLength(candidate) > maxBytes) break;
        kept = candidate;
        from = slash + 1;
    }
    return kept;
}

// A C++ string literal of a UTF-8 text (the texts hold no quotes or backslashes; checked).
std::string literal(const std::string& s) { return "\"" + s + "\""; }

bool generateEraTable(const std::string& dataDir, std::string& source, std::ostream& log) {
    const std::string path = dataDir + "/eras/eras_ytliu.csv";
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        log << "cannot read " << path << "\n";
        return false;
    }
    std::vector<Row> rows;
    std::map<std::string, int> uses;
    std::vector<int> labelUses(std::size(kDynastyLabels)), nameUses(std::size(kNameFixes)),
        reignUses(std::size(kReignFixes));
    std::string line;
    int lineNo = 0;
    bool ok = true;
    std::vector<std::string> notes;
    auto note = [&](const std::string& text) { notes.push_back(text); };
    std::string lastPeriod;
    while (std::getline(in, line)) {
        ++lineNo;
        if (lineNo == 1 || line.empty() || line == "\r") continue;
        const std::vector<std::string> f = splitCsv(line);
        Row r;
        if (f.size() < 8 || !parseInt(f[0], r.start) || !parseInt(f[1], r.count) || r.count < 1) {
            log << "line " << lineNo << ": malformed\n";
            ok = false;
            continue;
        }
        if (f[7] == "added") {
            note("data line " + std::to_string(lineNo) + " (" + f[2] + " " + f[5] +
                 ") left out: the table ends with its own 民国 and 公历纪元 rows");
            continue;
        }
        r.dynasty = toSimplified(withoutBlanks(f[2]), uses);
        r.ruler = toSimplified(withoutBlanks(f[3]), uses);
        r.personalName = withoutBlanks(f[4]) == "?" ? "" : toSimplified(withoutBlanks(f[4]), uses);
        r.eraName = toSimplified(withoutBlanks(f[5]), uses);
        if (r.dynasty == "满洲、后金、清") {
            r.dynasty = r.start < 1616 ? "满洲" : r.start < 1636 ? "后金" : "清";
            if (r.dynasty != lastPeriod)
                note("data line " + std::to_string(lineNo) + " on: 满洲、后金、清 -> " + r.dynasty);
            lastPeriod = r.dynasty;
        }
        const std::string at = "data line " + std::to_string(lineNo);
        for (std::size_t i = 0; i < std::size(kDynastyLabels); ++i) {
            const DynastyLabel& d = kDynastyLabels[i];
            if (r.dynasty != d.data || (d.section && f[7].find(d.section) == std::string::npos))
                continue;
            if (labelUses[i]++ == 0) note(at + " on: " + r.dynasty + " -> " + d.label);
            r.dynasty = d.label;
            break;
        }
        for (std::size_t i = 0; i < std::size(kNameFixes); ++i) {
            const NameFix& n = kNameFixes[i];
            if (r.dynasty != n.dynasty || r.ruler != n.ruler || r.personalName != n.personalName)
                continue;
            const std::string before = r.dynasty + " \"" + r.ruler + "\" \"" + r.personalName + "\"";
            if (n.newDynasty) r.dynasty = n.newDynasty;
            if (n.newRuler) r.ruler = n.newRuler;
            if (n.newPersonalName) r.personalName = n.newPersonalName;
            if (nameUses[i]++ == 0)
                note(at + " on: " + before + " -> " + r.dynasty + " " + r.ruler + " " +
                     r.personalName);
            break;
        }
        if (r.ruler.empty()) {
            log << "line " << lineNo << ": " << r.dynasty << " " << r.personalName
                << " has no ruler title: add one to kNameFixes\n";
            ok = false;
        }
        for (std::size_t i = 0; i < std::size(kReignFixes); ++i) {
            const ReignFix& g = kReignFixes[i];
            if (r.dynasty != g.dynasty || r.ruler != g.ruler || r.start != g.start ||
                r.count != g.count)
                continue;
            note(at + ": " + r.dynasty + " " + r.ruler + " " + std::to_string(r.start) + " (" +
                 std::to_string(r.count) + " years) -> " + std::to_string(g.newStart) + " (" +
                 std::to_string(g.newCount) + " years)");
            r.start = g.newStart;
            r.count = g.newCount;
            ++reignUses[i];
        }
        if (f[4].find(' ') != std::string::npos)
            note("data line " + std::to_string(lineNo) + ": blanks removed from \"" + f[4] + "\"");
        std::string era;
        int firstYear = 0;
        bool bad = false;
        if (splitYearRange(r.eraName, era, firstYear, bad)) {
            note("data line " + std::to_string(lineNo) + ": " + r.eraName + " -> " + era + " base " +
                 std::to_string(firstYear - 1));
            r.eraName = era;
            r.base = firstYear - 1;
        } else if (bad) {
            log << "line " << lineNo << ": unreadable year range in " << r.eraName << "\n";
            ok = false;
        }
        if (withoutBlanks(f[4]) == "?")
            note("data line " + std::to_string(lineNo) + ": unknown personal name \"?\" left empty");
        for (std::string* text : {&r.ruler, &r.personalName}) {
            const std::size_t width =
                text == &r.ruler ? kRulerBytes : kPersonalNameBytes;
            const std::string fitted = fitAlternatives(*text, width);
            if (fitted != *text) {
                note("data line " + std::to_string(lineNo) + ": " + *text + " -> " + fitted);
                *text = fitted;
            }
        }
        // Fold a repeat of an earlier reign that it overlaps or adjoins.
        bool folded = false;
        for (Row& e : rows) {
            if (e.dynasty == r.dynasty && e.ruler == r.ruler && e.personalName == r.personalName &&
                e.eraName == r.eraName && e.base == r.base && r.start >= e.start &&
                r.start <= e.start + e.count) {
                const int end = std::max(e.start + e.count, r.start + r.count);
                note("data line " + std::to_string(lineNo) + ": " + r.dynasty + " " + r.ruler + " " +
                     r.eraName + " " + std::to_string(r.start) + " folded into the row from " +
                     std::to_string(e.start) + " (" + std::to_string(e.count) + " -> " +
                     std::to_string(end - e.start) + " years)");
                e.count = end - e.start;
                folded = true;
                break;
            }
        }
        if (!folded) rows.push_back(r);
    }
    // 秦王政 becomes 始皇帝 at the unification of 221 BC (year -220), counting on.
    Row* king = nullptr;
    Row* emperor = nullptr;
    for (Row& r : rows) {
        if (r.ruler == "秦王政") king = &r;
        if (r.ruler == "始皇帝") emperor = &r;
    }
    if (king && emperor && king->start == emperor->start && king->count == emperor->count) {
        const int end = king->start + king->count;
        king->count = -220 - king->start;
        emperor->base = king->count;
        emperor->start = -220;
        emperor->count = end - emperor->start;
        note("秦王政 " + std::to_string(king->start) + ".." + std::to_string(-221) +
             ", 始皇帝 from -220 base " + std::to_string(emperor->base));
    } else {
        log << "秦王政 / 始皇帝 rows not found as expected\n";
        ok = false;
    }
    for (std::size_t i = 0; i < std::size(kDynastyLabels); ++i)
        if (labelUses[i] == 0) {
            log << "dynasty label " << kDynastyLabels[i].data << " is not used by the data\n";
            ok = false;
        }
    for (std::size_t i = 0; i < std::size(kNameFixes); ++i)
        if (nameUses[i] == 0) {
            log << "name fix " << kNameFixes[i].dynasty << " \"" << kNameFixes[i].ruler << "\" \""
                << kNameFixes[i].personalName << "\" matches no row of the data\n";
            ok = false;
        }
    for (std::size_t i = 0; i < std::size(kReignFixes); ++i)
        if (reignUses[i] != 1) {
            log << "reign fix " << kReignFixes[i].dynasty << " " << kReignFixes[i].ruler << " "
                << kReignFixes[i].start << " matches " << reignUses[i] << " rows, not one\n";
            ok = false;
        }
    for (std::size_t i = 0; i < std::size(kCharMap); ++i) {
        if (uses[kCharMap[i].from] == 0) {
            log << "character map entry " << kCharMap[i].from << " is not used by the data\n";
            ok = false;
        }
    }

    std::vector<Row> table(std::begin(kEarlyRows), std::end(kEarlyRows));
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return a.start < b.start; });
    table.insert(table.end(), rows.begin(), rows.end());
    table.insert(table.end(), std::begin(kLastRows), std::end(kLastRows));

    for (const Row& r : table) {
        const std::string where = std::to_string(r.start) + " " + r.dynasty + " " + r.ruler;
        const std::pair<const std::string*, std::size_t> fields[] = {
            {&r.dynasty, kDynastyBytes}, {&r.ruler, kRulerBytes},
            {&r.personalName, kPersonalNameBytes}, {&r.eraName, kEraNameBytes}};
        for (const auto& [text, width] : fields) {
            if (!gbk::encodable(*text) || gbk::byteLength(*text) > width ||
                text->find_first_of("\"\\") != std::string::npos) {
                log << "row " << where << ": \"" << *text << "\" does not fit " << width
                    << " GBK bytes\n";
                ok = false;
            }
        }
        if (r.start < -32768 || r.start > 32767 || r.count > 32767 || r.base > 32767) {
            log << "row " << where << ": out of 16-bit range\n";
            ok = false;
        }
    }
    if (!ok) return false;

    // Years from -2069 to 9999 that no row covers.
    std::vector<std::pair<int, int>> gaps;
    for (int y = -2069; y <= 9999; ++y) {
        const bool covered = std::any_of(table.begin(), table.end(), [y](const Row& r) {
            return r.start <= y && y < r.start + r.count;
        });
        if (covered) continue;
        if (!gaps.empty() && gaps.back().second == y - 1)
            gaps.back().second = y;
        else
            gaps.emplace_back(y, y);
    }

    std::ostringstream out;
    out << "// The era-name table of the perpetual calendar: " << table.size()
        << " rows, generated by tools/gen_era_table\n"
           "// from eras/eras_ytliu.csv of the reference data (Yuk Tung Liu's list after 萬國鼎\n"
           "// 《中國歷史紀年表》, GPL-3.0) with the Xia, Shang and Western Zhou kings of the\n"
           "// Xia-Shang-Zhou Chronology Project before -771. Do not edit; rerun the generator.\n"
           "//\n"
           "// Years are astronomical (0 = 1 BC). Texts are the data's, converted to simplified\n"
           "// characters; three characters GBK lacks are written as their usual variants (神麚,\n"
           "// 赵显, 和世瓎). Dynasties are named as histories name them (后梁 ... 后周 for the Five\n"
           "// Dynasties, 唐 and 武周 for the data's 續唐年號 and 武周年號), every ruler has a title,\n"
           "// and the reigns of 周平王 and 蒙哥 are set right. Fitting the GBK field widths cost:\n"
           "// the dynasty 滿洲、後金、清 is written 满洲 / 后金 / 清 by period, 鲁文公's alternative\n"
           "// name 缗公 is dropped, and era names with a year range (乾化三至五年) keep the bare name\n"
           "// and count on by the year base. The data's 民國 row gives way to the last two rows.\n"
           "// Adjustments made:\n";
    for (const std::string& n : notes) out << "//   " << n << "\n";
    out << "// Years from -2069 to 9999 without a row: ";
    if (gaps.empty()) out << "none";
    for (const auto& [a, b] : gaps) out << a << (a == b ? "" : ".." + std::to_string(b)) << " ";
    out << "\n#include \"calendar/Eras.h\"\n\n"
           "// start, years, year base, dynasty, ruler, personal name, era name\n"
           "const EraRow EraTable[] = {\n";
    for (const Row& r : table) {
        out << "    {" << r.start << ", " << r.count << ", " << r.base << ", " << literal(r.dynasty)
            << ", " << literal(r.ruler) << ", " << literal(r.personalName) << ", "
            << literal(r.eraName) << "},\n";
    }
    out << "};\n\nconst std::size_t EraTableSize = sizeof(EraTable) / sizeof(EraTable[0]);\n";
    source = out.str();
    log << "rows: " << table.size() << " (" << std::size(kEarlyRows) << " before -771, "
        << rows.size() << " from the data, " << std::size(kLastRows) << " closing)\n";
    for (const std::string& n : notes) log << n << "\n";
    log << "gaps:";
    if (gaps.empty()) log << " none";
    for (const auto& [a, b] : gaps) log << " " << a << ".." << b;
    log << "\n";
    return true;
}

}  // namespace eragen

#ifndef TARMIN_GEN_NO_MAIN
int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: gen_era_table <data folder> <output .cpp>\n";
        return 2;
    }
    std::string source;
    if (!eragen::generateEraTable(argv[1], source, std::cerr)) return 1;
    std::ofstream out(argv[2], std::ios::binary);
    out << source;
    if (!out) {
        std::cerr << "cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
#endif
