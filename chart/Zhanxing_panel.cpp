// Data panel around the wheel: title, chart kind, zone and place, Gregorian and lunar moment,
// pillars, cusps, name, the Sun/ascendant/midheaven signs, the body lines and the aspect grid.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "chart/XiangweiList.h"
#include "chart/HouseSystems.h"
#include "chart/Zhanxing.h"

namespace {
const Rgb kBlack{0, 0, 0};
const Rgb kRed{255, 0, 0};
const Rgb kBlue{0, 0, 255};

std::string format(const char* fmt, ...) {
    char buf[512];
    va_list ap;
    va_start(ap, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    return buf;
}

// Degrees and minutes of a non-negative angle, both truncated.
void degMin(double v, int& deg, int& min) {
    deg = static_cast<int>(v);
    min = static_cast<int>((v - deg) * 60);
}

// Degrees and minutes of a signed geographic coordinate: degrees truncated (keeping the sign),
// minutes rounded to nearest with an exact half going toward minus infinity, shown unsigned.
void geoDegMin(double v, int& deg, int& min) {
    deg = static_cast<int>(v);
    const double m = std::ceil(60.0 * (v - deg) - 0.5);
    min = static_cast<int>(std::fabs(m));
}

// The zone line: the zone list's name, or for an exact offset the zone of a whole hour
// ("东九区") and otherwise the offset itself ("UTC+05:30", "地方平时UTC+07:45:36").
std::string shownZone(const BirthRecord& r) {
    if (r.utcOffsetSeconds == BirthRecord::kZoneListOffset) return zoneText(r.zoneIndex);
    return clockZoneText(r.utcOffsetSeconds);
}

// The characters of a UTF-8 text.
std::vector<std::string> utf8Chars(const std::string& s) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < s.size();) {
        std::size_t n = 1;
        while (i + n < s.size() && (static_cast<unsigned char>(s[i + n]) & 0xC0) == 0x80) ++n;
        out.push_back(s.substr(i, n));
        i += n;
    }
    return out;
}

// A place text cut where a line may break: a run of Latin letters, digits and the marks inside
// words (' . -) is one unit, every other character one of its own; an opening bracket goes with
// what follows it, a closing one or a comma with what comes before.
std::vector<std::string> placeUnits(const std::string& s) {
    auto wordChar = [](const std::string& ch) {
        if (ch.size() != 1) return false;
        const unsigned char b = static_cast<unsigned char>(ch[0]);
        return std::isalnum(b) || b == '\'' || b == '.' || b == '-';
    };
    auto opening = [](const std::string& ch) { return ch == "(" || ch == "（"; };
    auto closing = [](const std::string& ch) { return ch == ")" || ch == "）" || ch == "," || ch == "，"; };
    std::vector<std::string> out;
    bool inWord = false;       // the last character taken is a word's
    bool afterOpening = false;  // ... or an opening bracket
    for (const std::string& ch : utf8Chars(s)) {
        const bool w = wordChar(ch);
        if (!out.empty() && ((w && inWord) || afterOpening || closing(ch))) out.back() += ch;
        else out.push_back(ch);
        inWord = w;
        afterOpening = opening(ch);
    }
    return out;
}

std::string trimLeft(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    return s.substr(i);
}
}  // namespace

void MZhanXingEx::textOutFitted(int x, int y, const std::string& text, int room, int size) {
    Canvas& c = image_;
    // Only a line that does not fit changes: the usual chart stays as it was.
    if (room > 0 && c.textWidth(text) > room) {
        const int first = size;
        while (size > 6 && c.textWidth(text) > room) c.setFontSize(--size);
        c.textOut(x, y, text);
        c.setFontSize(first);
        return;
    }
    c.textOut(x, y, text);
}

void MZhanXingEx::drawPanel() {
    Canvas& c = image_;
    const int tw = cellWidth_;
    const int th = cellHeight_;
    const int W = width_;
    const int H = height_;

    // 1. Title and chart kind.
    c.setFontName("宋体");
    c.setFontSize(baseFontSize_ + 2);
    c.setFontColor(kRed);
    c.textOut(2, 2, "Tarmin天文占星");
    c.textOut(2, 2 + 2 * th,
              caption_.empty() ? (mode_ == ChartMode::Natal ? "本命盘" : "流年盘") : caption_);

    // 2-6. Zone, coordinates, place.
    c.setFontSize(baseFontSize_);
    c.setFontColor(kBlack);
    int x = 2;
    int y = static_cast<int>(cy_ + 0.32 * H);
    c.textOut(x, y, "时区:" + shownZone(request_));
    int deg = 0;
    int min = 0;
    y += th + 3;
    geoDegMin(request_.longitude, deg, min);
    // West and south are said in words; the degrees go without a sign.
    c.textOut(x, y, std::string(request_.longitude >= 0 ? "东经:" : "西经:") +
                        format("%02d:%02d ", std::abs(deg), min));
    y += th + 3;
    geoDegMin(request_.latitude, deg, min);
    c.textOut(x, y, std::string(request_.latitude >= 0 ? "北纬:" : "南纬:") +
                        format("%02d:%02d", std::abs(deg), min));
    y += th + 3;
    // The place; one that would run under the cusp table goes on in further lines of the
    // room left of it (there are five free lines above the Gregorian line), broken between
    // words: a run of Latin letters or digits stays whole unless it alone is wider than the room.
    {
        const int room = cx_ - 7 * tw - x - 4;
        std::string piece;
        bool first = true;
        for (const std::string& unit : placeUnits(request_.place)) {
            if (!piece.empty() && room > 0 && c.textWidth(piece + unit) > room) {
                c.textOut(x, y, piece);
                y += th + 3;
                piece.clear();
                first = false;
                if (unit == " ") continue;  // a line does not start with the space it broke at
            }
            if (room > 0 && c.textWidth(unit) > room) {
                // A word wider than the room: character by character.
                for (const std::string& ch : utf8Chars(unit)) {
                    if (!piece.empty() && c.textWidth(piece + ch) > room) {
                        c.textOut(x, y, piece);
                        y += th + 3;
                        piece.clear();
                        first = false;
                    }
                    piece += ch;
                }
                continue;
            }
            piece += unit;
        }
        if (!piece.empty() || first) c.textOut(x, y, piece);
    }
    // The fixed stars' conjunctions below the place, left of the cusp table.
    drawStarLines(x, y + th + 3, H - 4 * th - 4);

    // 7-9. Gregorian moment, lunar moment, pillars; a composite names its two charts instead.
    if (!compositeParts_.empty()) {
        y = H - 4 * th;
        c.textOut(x, y, "组合:");
        for (const std::string& line : compositeParts_) {
            y += th + 3;
            c.textOut(x, y, line);
        }
    } else {
        // 7. Gregorian moment.
        y = H - 4 * th;
        c.textOut(x, y,
                  format("公历:%d年%d月%d日%d时%d分", gregorian_.year, gregorian_.month,
                         gregorian_.day, gregorian_.hour, gregorian_.minute));

        // 8. Lunar moment.
        y += th + 3;
        {
            std::string t = "农历:" + calendar_.chineseNumeral(lunarMoment_.year) + "年";
            std::string month = lunarMoment_.month == 1
                                    ? std::string("正月")
                                    : calendar_.chineseNumeral(lunarMoment_.month) + "月";
            if (request_.leapMonth) month = "闰" + trimLeft(month);
            t += month;
            // The day as the program has always printed it, e.g. 闰五月初八子时 (no 日).
            std::string day = calendar_.chineseNumeral(lunarMoment_.day);
            if (lunarMoment_.day < 11) day = "初" + day;
            t += day;
            int g = lunarMoment_.hour;
            if (g % 2 != 0) g = (g + 1) % 24;
            t += std::string(BranchNames[(g / 2 + 1) % 12]) + "时";
            c.textOut(x, y, t);
        }

        // 9. Pillars with the void branches of the day.
        y += th + 3;
        c.setFontColor(kRed);
        {
            auto stem = [&](int n) { return StemNames[((n % 10) + 10) % 10]; };
            auto branch = [&](int n) { return BranchNames[((n % 12) + 12) % 12]; };
            const int k = pillars_[2] == 0 ? 59 : pillars_[2] - 1;
            const int t = k / 10;
            c.textOut(x, y,
                      format("干支:%s%s %s%s %s%s %s%s(日空:%s-%s)", stem(pillars_[0]),
                             branch(pillars_[0]), stem(pillars_[1]), branch(pillars_[1]),
                             stem(pillars_[2]), branch(pillars_[2]), stem(pillars_[3]),
                             branch(pillars_[3]), branch(11 - 2 * t), branch(12 - 2 * t)));
        }
    }
    c.setFontColor(kBlack);
    c.setFontColor(kBlue);

    // 10. Cusp table, three cusps a line.
    x = cx_ - 7 * tw;
    y = static_cast<int>(cy_ + 0.35 * W);
    for (int r = 0; r < 4; ++r) {
        std::string line;
        for (int n = 3 * r + 1; n <= 3 * r + 3; ++n) {
            const double lambda = natal_.cusps[n - 1];
            int s = static_cast<int>(lambda / 30);
            if (s < 0 || s > 11) s = 0;
            degMin(lambda - 30 * std::floor(lambda / 30), deg, min);
            line += format("%02d-%s", n, SignNames[s]) + format("%02d:%02d ", deg, min);
        }
        c.textOut(x, y, line);
        y += th + 3;
    }
    // Below the cusps, one line when the latitude leaves Placidus without a solution.
    if (housesNote_ == HousesNote::Approximate) c.textOut(x, y, "高纬度：部分宫头无解，为近似值");
    if (housesNote_ == HousesNote::Porphyry) {
        HouseSystem system = HouseSystem::Placidus;
        houseSystemFromLetter(settings_.houseSystem, system);
        const char* name = system == HouseSystem::Koch            ? "科赫"
                           : system == HouseSystem::Regiomontanus ? "雷格蒙塔努斯"
                           : system == HouseSystem::Campanus      ? "坎帕努斯"
                                                                  : "普拉西度";
        c.textOut(x, y, std::string("高纬度：") + name + "制无解，改用波菲利制");
    }

    // 11. Name and sex.
    c.setFontColor(kRed);
    x = static_cast<int>(cx_ + 0.3 * W + 10);
    y = 8;
    textOutFitted(x, y, format("姓名:%s。  ", request_.name.c_str()) + (request_.male ? "男命" : "女命"),
                  W - x - 2, baseFontSize_);
    y += th + 3;

    // 12. Sun, ascendant and midheaven signs with their rulers.
    const ChartPoint* const angles[3] = {&natal_.bodies[0], &natal_.asc, &natal_.mc};
    const char* const captions[3] = {"太阳星座:", "生辰星座:", "中天星座:"};
    for (int a = 0; a < 3; ++a) {
        const ChartPoint& p = *angles[a];
        const int s = (static_cast<int>(p.longitude) / 30) % 12;
        degMin(p.degreesInSign, deg, min);
        c.textOut(x, y,
                  std::string(captions[a]) + format("%s%02d:%02d", SignNames[s], deg, min) +
                      format(",主宰:%s", BodyNames[SignRulers[s]]));
        y += th + 5;
    }

    // 13. One line per body. With further points shown the lines close up, so that the aspect
    // grid below keeps the height of its cells.
    const int lineStep = anyExtraShown() ? th + 1 : th + 5;
    y += 3 * th;
    x = static_cast<int>(cx_ + 0.34 * W);
    c.setFontColor(kBlue);
    for (int i = 0; i < 12; ++i) {
        const ChartPoint& p = natal_.bodies[i];
        std::string line = format("%s ", BodyShortNames[i]);
        degMin(p.degreesInSign, deg, min);
        line += format("%s%02d:%02d  ", SignNames[p.sign % 12], deg, min);
        line += format("%02d宫%02d  ", p.house + 1, static_cast<int>(p.pastCusp));
        degMin(p.longitude, deg, min);
        line += format("%03d:%02d  ", deg, min);
        if (p.motion == 1) line += "+";
        else if (p.motion == 2) line += "-";
        c.textOut(x, y, line);
        y += lineStep;
    }
    y = drawExtraPointLines(x, y, lineStep);

    // 14. A transit overlay shows no aspect grid.
    if (mode_ == ChartMode::Transit) return;

    // 15. Aspect grid of the ten bodies, and of Chiron and the asteroids after them when shown.
    std::vector<const char*> gridNames;
    std::vector<double> gridLongitudes;
    for (std::size_t i = 0; i < 10; ++i) {
        gridNames.push_back(BodyShortNames[i]);
        gridLongitudes.push_back(natal_.bodies[i].longitude);
    }
    for (std::size_t k = kFirstAsteroid; k < extras_.size(); ++k)
        if (extraShown_[k]) {
            gridNames.push_back(ExtraPointShortNames[k]);
            gridLongitudes.push_back(extras_[k].longitude);
        }
    const int n = static_cast<int>(gridNames.size());
    const int x0 = static_cast<int>(cx_ + 0.25 * W + 8);
    const int y0 = static_cast<int>(0.1 * H + 10 + y);
    const int cw = (W - x0 - 2) / (n + 1);
    const int ch = (H - y0 - 2) / (n + 1);
    // With many points the cells get smaller than the panel's characters: the grid's names and
    // symbols then take a font small enough for a cell (the panel's own where they fit).
    int gtw = cellWidth_, gth = cellHeight_;
    int gridFont = baseFontSize_;
    if (gtw > cw - 1 || gth > ch - 1) {
        const double scale = std::min(static_cast<double>(cw - 1) / gtw, static_cast<double>(ch - 1) / gth);
        gridFont = std::max(6, static_cast<int>(baseFontSize_ * scale));
        c.setFontSize(gridFont);
        gtw = c.textWidth("冲");
        gth = c.textHeight("冲");
    }
    c.setPenColor(kBlack);
    c.setFontColor(kBlue);
    for (int i = 0; i < n + 2; ++i) {
        c.moveTo(x0, y0 + i * ch);
        c.lineTo(x0 + (n + 1) * cw, y0 + i * ch);
        if (i >= 1 && i <= n)
            c.textOut(x0 + (cw - gtw) / 2, y0 + i * ch + (ch - gth) / 2, gridNames[static_cast<std::size_t>(i - 1)]);
        c.moveTo(x0 + i * cw, y0);
        c.lineTo(x0 + i * cw, y0 + (n + 1) * ch);
        if (i >= 1 && i <= n)
            c.textOut(x0 + i * cw + (cw - gtw) / 2, y0 + (ch - gth) / 2, gridNames[static_cast<std::size_t>(i - 1)]);
    }
    // 16. Aspect symbols in both triangles; a pair with an asteroid takes the minor-aspect orb.
    c.setFontColor(kRed);
    const AspectOrbs orbs = aspectOrbs();
    AspectOrbs asteroidOrbs = orbs;
    asteroidOrbs.orb.fill(settings_.minorOrb);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            if (i == j) continue;
            const int k = aspectBetween(gridLongitudes[static_cast<std::size_t>(i)],
                                        gridLongitudes[static_cast<std::size_t>(j)],
                                        i < 10 && j < 10 ? orbs : asteroidOrbs);
            if (k < 0) continue;
            c.textOut(x0 + (j + 1) * cw + (cw - gtw) / 2, y0 + (i + 1) * ch + (ch - gth) / 2,
                      aspectKindGlyph(k));
        }
    if (gridFont != baseFontSize_) c.setFontSize(baseFontSize_);
}
