// Chart model and the natal pipeline.
#include "chart/Zhanxing.h"

#include <cmath>
#include <utility>

#include "platform/core/Gbk.h"
#include "platform/core/IniFile.h"
#include "chart/ChartSettings.h"

MZhanXingEx::MZhanXingEx(RichTextTarget& richText, Canvas& image, std::string programFolder)
    : richText_(richText), labels_(image), image_(labels_), programFolder_(std::move(programFolder)) {
    image_.setFontName("宋体");
    width_ = image_.width();
    height_ = image_.height();
    cx_ = static_cast<int32_t>(0.33 * width_);
    cy_ = cx_;
    transitRadius_ = 0.04f + (0.24f - 0.04f) * 0.6f;
}

MZhanXingEx::~MZhanXingEx() {
    reading_.clear();
    richText_.clear();
}

void MZhanXingEx::readSettings() {
    const ChartSettings s = ChartSettings::load(IniFile(chartSettingsPath(programFolder_)));
    // Stored integers are taken as they are: the low 8 bits for the orb and the line flag.
    orb_ = static_cast<uint8_t>(s.orb & 0xFF);
    signLines_ = static_cast<uint8_t>(s.signLines & 0xFF);
    backgroundColor_ = static_cast<uint32_t>(s.backgroundColor);
    precise_ = s.precise;
    calculator_.setPrecise(precise_);
    settings_ = s;
    applyOptions();
}

bool MZhanXingEx::prepareTime() {
    errorText_.clear();
    static const char* kOutOfRange = "时间越界，年份在1600-2200之间";
    if (request_.lunar) {
        std::string message;
        DateTimeFields g;
        if (!calendar_.lunarToGregorian(request_.birth, request_.leapMonth != 0, g, message)) {
            errorText_ = message.empty() ? "不存在这个农历日期，无法转换到公历！" : message;
            return false;
        }
        if (g.year > 2200 || g.year < 1600) {
            errorText_ = kOutOfRange;
            return false;
        }
        gregorian_ = g;
    } else {
        if (!calendar_.isValidDate(request_.birth)) {
            errorText_ = "不存在这个日期";
            return false;
        }
        gregorian_ = request_.birth;
    }
    jdLocal_ = calendar_.toJulianDay(gregorian_);
    if (request_.utcOffsetSeconds == BirthRecord::kZoneListOffset)
        jd8_ = jdLocal_ + (8 - request_.zoneIndex) / 24.0;
    else
        jd8_ = jdLocal_ + (8 * 3600 - request_.utcOffsetSeconds) / 86400.0;
    if (request_.instantJd8 != 0) jd8_ = request_.instantJd8;
    DateTimeFields q = gregorian_;
    if (q.hour == 23) {
        calendar_.nextDay(q);
        q.hour = 23;
    }
    if (q.year > 2200 || q.year < 1600) {
        errorText_ = kOutOfRange;
        return false;
    }
    DateTimeFields lunar;
    const bool leap = calendar_.gregorianToLunar(q, lunar);
    lunar.hour = q.hour;
    lunar.minute = q.minute;
    lunarMoment_ = lunar;
    request_.leapMonth = leap ? 1 : 0;
    return true;
}

void MZhanXingEx::computePillars() {
    const DateTimeFields d8 = calendar_.fromJulianDay(jd8_);
    pillars_ = calendar_.stemBranchPillars(d8, jd8_);
}

void MZhanXingEx::fillSign(ChartPoint& p) const {
    int s = static_cast<int>(p.longitude / 30);
    if (s < 0) s = 0;
    if (s > 11) s = 11;
    p.sign = static_cast<uint8_t>(s);
    p.degreesInSign = static_cast<float>(p.longitude - 30.0 * s);
}

bool MZhanXingEx::castNatal(const BirthRecord& r) {
    request_ = r;
    request_.name = gbk::cutUtf8(r.name, BirthRecord::kNameBytes);
    request_.place = gbk::cutUtf8(r.place, BirthRecord::kPlaceBytes);
    natal_ = NatalPoints{};
    housesNote_ = HousesNote::None;
    caption_.clear();
    captionLines_.clear();
    innerAnglesShown_ = false;
    compositeParts_.clear();
    readSettings();
    request_.zoneIndex = static_cast<int8_t>(zoneOffset(r.zoneIndex));
    if (!prepareTime()) return false;
    computePillars();
    const DateTimeFields d8 = calendar_.fromJulianDay(jd8_);
    calculator_.setTime(d8);
    // An offset with seconds (local mean time) puts the instant between minutes: the
    // positions are taken at that instant itself.
    if (request_.instantJd8 != 0)
        calculator_.setJulianDayUT(jd8_ - 1.0 / 3);
    else if (request_.utcOffsetSeconds != BirthRecord::kZoneListOffset && request_.utcOffsetSeconds % 60 != 0)
        calculator_.setJulianDayUT(jd8_ - 1.0 / 3 - 1.0 / 86400);
    mode_ = ChartMode::Natal;

    for (int i = 0; i < 10; ++i) {
        ChartPoint& p = natal_.bodies[i];
        calculator_.bodyPosition(i, p.longitude, p.latitude);
        fillSign(p);
        p.motion = static_cast<uint8_t>(calculator_.retrogradeState(i, d8));
    }
    natal_.asc.longitude = computeAscendant();
    fillSign(natal_.asc);
    natal_.mc.longitude = computeMidheaven();
    fillSign(natal_.mc);
    computeHouses();
    locateInHouse(natal_.asc);
    locateInHouse(natal_.mc);
    double ascending = 0;
    double descending = 0;
    calculator_.lunarNodes(true, ascending, descending);
    natal_.bodies[10].longitude = ascending;
    natal_.bodies[11].longitude = descending;
    fillSign(natal_.bodies[10]);
    fillSign(natal_.bodies[11]);
    for (auto& b : natal_.bodies) locateInHouse(b);
    computeExtraPoints();
    natalSpeedsValid_ = false;
    computeStars();

    layoutLabels(false);
    drawRings();
    drawZodiac();
    drawBodyLabels();
    drawCusps();
    drawPanel();
    writeReading();
    showReading();
    return true;
}

void MZhanXingEx::setChartForTest(ChartMode mode, const BirthRecord& requestWithOffset,
                                  const NatalPoints& points, const DateTimeFields& gregorian,
                                  const DateTimeFields& lunar,
                                  const std::array<int16_t, 4>& pillars, uint8_t orb,
                                  uint8_t signLines, uint32_t backgroundColor) {
    mode_ = mode;
    request_ = requestWithOffset;
    natal_ = points;
    housesNote_ = HousesNote::None;
    gregorian_ = gregorian;
    lunarMoment_ = lunar;
    pillars_ = pillars;
    orb_ = orb;
    signLines_ = signLines;
    backgroundColor_ = backgroundColor;
}
