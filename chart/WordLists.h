// The word lists that the input panel, the dialogs, the calendar window and the command line
// share: hours with their branches, time zones, provinces of the place table, and the plain
// month, day, hour and minute items. Texts are UTF-8.
#pragma once
#include <array>
#include <string>
#include <vector>

// Numerals of zone hours 1..11.
inline constexpr std::array<const char*, 11> ZoneNumerals = {"一", "二", "三", "四", "五", "六",
                                                             "七", "八", "九", "十", "十一"};

// The 24 entries of the hour list: "0时子", "1时丑" ... "23时子" (the branch of the two-hour
// period that holds the hour).
const std::array<std::string, 24>& HourNames();
// The 24 entries of the zone list: "零时区", "东一区" ... "中十二区", "西一区" ... "西十一区".
const std::array<std::string, 24>& ZoneNames();
// Hour offset of a zone list index: 0..12 east, 13..23 are west one to eleven.
int zoneOffset(int zoneIndex);
// "零时区", "中十二区", "东八区", "西五区", ... of an hour offset.
std::string zoneText(int offset);
// An exact clock offset (seconds east of UTC) as the chart shows it: the zone of a whole hour
// ("东九区"), otherwise the offset itself ("UTC+05:30").
std::string clockZoneText(int offsetSeconds);

// Provinces of the place table (section names of dat/dili.ini), then "未知地": no section,
// the fixed place 120°E, 30°N.
inline constexpr std::array<const char*, 35> ProvinceNames = {
    "福建省", "北京市", "天津市", "河北省", "山西省", "内蒙古", "辽宁省", "吉林省", "黑龙江省",
    "上海市", "江苏省", "浙江省", "安徽省", "江西省", "山东省", "河南省", "湖北省", "湖南省",
    "广东省", "广西",   "海南省", "四川省", "重庆市", "贵州省", "云南省", "西藏",   "陕西省",
    "甘肃省", "青海省", "宁夏",   "新疆",   "台湾省", "香港",   "澳门",   "未知地"};
inline constexpr int kUnknownProvince = 34;  // index of "未知地"
inline constexpr const char* kUnknownPlace = "未知地";

// "A型血", "B型血", "AB型血", "O型血": the panel's blood-type list (0 A, 1 B, 2 AB, 3 O).
inline constexpr std::array<const char*, 4> BloodTypeItems = {"A型血", "B型血", "AB型血", "O型血"};

// Items "first<unit>" ... "last<unit>": numberedItems(1, 12, "月") gives "1月" ... "12月".
std::vector<std::string> numberedItems(int first, int last, const char* unit);
