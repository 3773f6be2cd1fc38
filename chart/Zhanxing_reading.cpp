// The reading: topics assembled from the text catalogue by Sun sign, ascendant sign, lunar day,
// blood type, sex, body signs, aspects and houses; shown with coloured headings.
#include "chart/Catalogue.h"
#include "chart/Zhanxing.h"

namespace {
std::string T(int id) { return catalogue::text(static_cast<uint16_t>(id)); }

// Characters (code points) of a UTF-8 text, the unit of rich-text positions.
int utf8Length(const std::string& s) {
    int n = 0;
    for (const unsigned char ch : s)
        if ((ch & 0xC0) != 0x80) ++n;
    return n;
}
}  // namespace

void MZhanXingEx::writeReading() {
    const int s = natal_.bodies[0].sign % 12;
    const int d = lunarMoment_.day;
    std::string& R = reading_;

    // 1. Sign analysis.
    R = std::string(TopicHeadings[0]) + "\n";
    R += SectionHeadings[0];
    R += "\n【基本特质】" + T(100 + s);
    R += "\n【性格素描】" + T(120 + s);
    R += "\n【星座优缺点】" + T(140 + s);
    R += "\n【个人作风】" + T(160 + s);
    R += "\n【另类小档案】" + T(180 + s);
    R += "\n【从思考逻辑看】" + T(200 + s);
    R += "\n【从月相看】";
    if (d < 30) R += T(220 + d);

    // 2. Career and money.
    R += std::string("\n\n") + SectionHeadings[1];
    R += "\n【职业倾向】" + T(300 + s);
    R += "\n【事业心】" + T(460 + s);
    R += "\n【金钱观】" + T(320 + s);
    R += "\n【适合投资的产业】" + T(340 + s);
    R += "\n【赚钱磁场论】" + T(360 + s);
    R += "\n【工作环境】" + T(380 + s);
    R += "\n【发展生命潜能】" + T(400 + s);
    R += "\n【从星座看老板】\n" + T(420 + s);
    R += "\n【从星座看同事】\n" + T(440 + s);
    R += "\n【与其他星座关系】" + T(900 + s);

    // 3. Love and marriage.
    R += std::string("\n\n") + SectionHeadings[2];
    if (request_.male) {
        R += "\n【男性爱情】" + T(580 + s);
        R += "\n【男性性爱】" + T(600 + s);
    } else {
        R += "\n【女性爱情】" + T(620 + s);
        R += "\n【女性性爱】" + T(640 + s);
    }
    R += "\n【宿命缘份配对】" + T(500 + s);
    R += "\n【爱情配对】" + T(520 + s);
    R += "\n【婚姻观】" + T(540 + s);
    R += "\n【结婚年龄】" + T(560 + s);

    // 4. Indexes.
    R += std::string("\n\n") + SectionHeadings[3];
    R += "\n【IQ指数】" + T(700 + s);
    R += "\n【敏感指数】" + T(720 + s);
    R += "\n【信用程度】" + T(740 + s);
    R += "\n【正义感指数】" + T(760 + s);
    R += "\n【性感指数】" + T(780 + s);
    R += "\n【暴力指数】" + T(800 + s);
    R += "\n【抑郁指数】" + T(820 + s);
    R += "\n【健忘指数】" + T(840 + s);
    R += "\n【挑花指数】" + T(860 + s);

    // 5. Blood type.
    R += std::string("\n\n") + TopicHeadings[1];
    const int b = request_.bloodType;
    for (int n = 0; n < 3; ++n) R += "\n" + T(50 + 10 * b + n);

    // 6. Ascendant and bodies in signs (the Sun is read above, the nodes are not read).
    const int a = natal_.asc.sign % 12;
    R += std::string("\n\n") + TopicHeadings[2];
    R += std::string("\n【生辰星位在") + SignNames[a] + "】" + T(1000 + a);
    for (int i = 1; i <= 9; ++i) {
        const int si = natal_.bodies[i].sign % 12;
        R += std::string("\n【") + BodyNames[i] + "在" + SignNames[si] + "】" +
             T(1000 + 20 * i + si);
    }

    // 7. Aspects between the ten bodies.
    // The catalogue speaks of the five major aspects only.
    R += std::string("\n\n") + TopicHeadings[3];
    const AspectOrbs orbs = aspectOrbs(false);
    for (int i = 0; i <= 8; ++i)
        for (int j = i + 1; j <= 9; ++j) {
            const int k =
                aspectBetween(natal_.bodies[i].longitude, natal_.bodies[j].longitude, orbs);
            if (k < 0) continue;
            R += std::string("\n【") + BodyNames[i] + "和" + BodyNames[j] + AspectNames[k] +
                 "】" + T(2000 + 100 * i + 10 * j + k);
        }

    // 8. Bodies in houses, after a single line break.
    R += std::string("\n") + TopicHeadings[4] + "\n";
    for (int i = 0; i <= 9; ++i)
        R += std::string("●") + BodyNames[i] + "入" + T(3000 + 100 * i + natal_.bodies[i].house) +
             "\n";
}

void MZhanXingEx::showReading() {
    RichTextTarget& t = richText_;
    t.clear();
    t.setDefaultAttributes(t.fontSize(), Rgb{0, 0, 0}, TextStyle{});
    t.setText(reading_);
    reading_.clear();
    const int L = t.length();
    int p = 10;
    for (const char* h : SectionHeadings) {
        int f = t.find(h, p, L);
        // The first heading stands at position 6, before the search start of 10: look for a
        // heading that the search passed over from the beginning, so that all four are red.
        if (f < 0) f = t.find(h, 0, L);
        if (f < 0) continue;
        t.select(f, utf8Length(h));
        t.setSelectionColor(Rgb{255, 0, 0});
        p = f + 10;
    }
    p = 0;
    for (const char* h : TopicHeadings) {
        const int f = t.find(h, p, L);
        if (f < 0) continue;
        t.select(f, utf8Length(h));
        t.setSelectionColor(Rgb{0, 0, 255});
        TextStyle bold;
        bold.bold = true;
        t.setSelectionStyle(bold);
        p = f + 10;
    }
    t.select(0, 0);
}
