#include "calendar/Yidateex.h"

#include <cmath>

#include "astro/AstroConstants.h"
#include "astro/Eph0.h"
#include "calendar/Lunar.h"

using AstroConstants::pi;

namespace {
constexpr std::array<int32_t, 12> kMonthNumberTable = {11, 12, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
const char* const kNoSuchLunarDate = "不存在这个农历日期，无法转换到公历！";

int positiveMod(int a, int m) {
    const int r = a % m;
    return r < 0 ? r + m : r;
}

// UTC+8 JD of the instant at which the apparent solar longitude reaches n degrees of year y
// (n counted from 0 deg of the year's March equinox backwards as negative), not rounded.
double termJulianDay(int year, int n) {
    const double W = 2 * pi * ((year - 2000) + n / 360.0 + 1);
    const double x = sunLongitudeTime(W) * 36525;
    return x + 2451545 + 1.0 / 3 - deltaTDays(x);
}
}  // namespace

MYiDateEx::MYiDateEx() {
    corrections_.newMoons = unpackCorrections(NewMoonCorrections);
    corrections_.terms = unpackCorrections(TermCorrections);
}

const std::string& MYiDateEx::newMoonCorrections() const { return corrections_.newMoons; }
const std::string& MYiDateEx::termCorrections() const { return corrections_.terms; }

double MYiDateEx::toJulianDay(const DateTimeFields& d) {
    scratch_.year = d.year;
    scratch_.month = d.month;
    scratch_.day = d.day;
    scratch_.hour = d.hour;
    scratch_.minute = d.minute;
    scratch_.second = 1;
    return julianDayOf(scratch_);
}

DateTimeFields MYiDateEx::fromJulianDay(double jd) const { return fieldsFromJulianDay(jd); }

// ---------------------------------------------------------------------------------------------
// Year layout.

void MYiDateEx::computeLayout(double W, Layout& L) const {
    L.solsticeEstimate = W;
    for (int i = 0; i < 25; ++i) L.termDays[i] = eventDay(W + 15.2184 * i, "气", corrections_);
    double w = eventDay(L.termDays[0], "朔", corrections_);
    if (w > L.termDays[0]) w -= 29.53;
    for (int i = 0; i < 15; ++i) L.newMoonDays[i] = eventDay(w + 29.5306 * i, "朔", corrections_);

    L.leapMonthIndex = 0;
    std::array<int32_t, 14> ordinal{};
    for (int i = 0; i < 14; ++i) ordinal[i] = i;
    const int32_t Y = floorInt((L.termDays[0] + 190) / 365.2422) + 2000;

    if (Y >= -721 && Y <= -104) {
        // Ancient calendars: months counted from the epoch of each year's calendar.
        std::array<int32_t, 3> epoch{};
        std::array<int32_t, 3> extra{};
        std::array<int32_t, 3> first{};
        for (int j = 0; j < 3; ++j) {
            const int yy = Y + j - 1;
            // The rule of -721 is carried back to -722, whose epoch the first year needs.
            epoch[j] = eventDay(floorInt((yy + 721) * 12.368422 + 0.342) * 29.5306 - 993847, "朔",
                                corrections_);
            extra[j] = 13;
            first[j] = 2;
            if (yy >= -479) {
                epoch[j] = eventDay(floorInt((yy + 479) * 12.368422 + 0.5) * 29.5306 - 905462, "朔",
                                    corrections_);
                extra[j] = 13;
                first[j] = 2;
            }
            if (yy >= -220) {
                epoch[j] = eventDay(floorInt((yy + 220) * 12.369 + 0.866) * 29.5306 - 810904, "朔",
                                    corrections_);
                extra[j] = 10;
                first[j] = 11;
            }
        }
        for (int i = 0; i < 14; ++i) {
            int j = 2;
            while (j > 0 && L.newMoonDays[i] < epoch[j]) --j;
            const int32_t k = floorInt((L.newMoonDays[i] - epoch[j] + 15) / 29.5306);
            L.monthNumbers[i] =
                k < 12 ? kMonthNumberTable[positiveMod(first[j] + k, 12)] : extra[j];
        }
        return;
    }

    if (L.newMoonDays[13] <= L.termDays[24]) {
        // Thirteen months: the first without a principal term is the leap month.
        int i = 1;
        while (i < 13 && L.termDays[2 * i] < L.newMoonDays[i + 1]) ++i;
        L.leapMonthIndex = i;
        for (int k = i; k < 14; ++k) {
            ordinal[k] -= 1;
            if (ordinal[k] < 1) ordinal[k] = 12;
        }
    }

    for (int i = 0; i < 14; ++i) {
        const int32_t Dm = L.newMoonDays[i] + 2451545;
        const int32_t v = ordinal[i];
        int32_t m = kMonthNumberTable[positiveMod(v, 12)];
        // Historical renumberings (JDN of the month's first day): Wang Mang (AD 9-23) and
        // Wei's Jingchu calendar (237-239) began the year with the 丑 month, so names run one
        // month on and the last month of each span is 12; Suzong's calendar (761-762) began it
        // with the 子 month, two on; the Zhou calendar of Wu Zetian (689-700) named the 子
        // month 正月 (1), the 丑 month 12 and the 寅 month 1.
        if ((Dm >= 1724360 && Dm <= 1729794) || (Dm >= 1807724 && Dm <= 1808699))
            m = kMonthNumberTable[positiveMod(v + 1, 12)];
        else if (Dm >= 1999349 && Dm <= 1999467)
            m = kMonthNumberTable[positiveMod(v + 2, 12)];
        else if (Dm > 1973066 && Dm < 1977053 && (positiveMod(v, 12) == 0 || v == 2))
            m = 1;
        if (Dm == 1729794 || Dm == 1808699) m = 12;
        L.monthNumbers[i] = m;
    }
}

const MYiDateEx::Layout* MYiDateEx::findLayout(double W) const {
    for (const auto& L : cache_) {
        if (L.valid && L.solsticeEstimate == W) return &L;
    }
    return nullptr;
}

const MYiDateEx::Layout& MYiDateEx::layoutFor(double W) {
    if (const Layout* found = findLayout(W)) return *found;
    Layout& L = cache_[nextSlot_];
    nextSlot_ = (nextSlot_ + 1) % cache_.size();
    L.valid = false;
    computeLayout(W, L);
    L.valid = true;
    return L;
}

void MYiDateEx::calcYear(int32_t d) {
    // December solstice near d (355 is the day number of 2000-12-21).
    double W = std::floor((d - 355 + 183) / 365.2422) * 365.2422 + 355;
    // Only the solstice decides between the two candidate years; the other layout is not built.
    const Layout* cached = findLayout(W);
    const int32_t solstice = cached ? cached->termDays[0] : eventDay(W, "气", corrections_);
    if (solstice > d) W -= 365.2422;
    const Layout* L = &layoutFor(W);
    leapMonthIndex = L->leapMonthIndex;
    monthNumbers = L->monthNumbers;
    termDays = L->termDays;
    newMoonDays = L->newMoonDays;
}

// ---------------------------------------------------------------------------------------------
// Conversions.

bool MYiDateEx::lunarOfDay(int32_t day, DateTimeFields& lunar) {
    currentDay = day;
    calcYear(currentDay);
    // Months of 29 or 30 days put the estimate on the month or the one before it, so one step
    // forward normally decides (checked for every day -4713..9999); the index is kept inside the
    // layout should a month of the mean-element tables run longer.
    int m = floorInt((currentDay - newMoonDays[0]) / 30.0);
    if (m < 0) m = 0;
    if (m > 13) m = 13;
    while (m < 13 && currentDay >= newMoonDays[m + 1]) ++m;
    while (m > 0 && currentDay < newMoonDays[m]) --m;
    lunar.day = static_cast<int16_t>(currentDay - newMoonDays[m] + 1);
    lunar.month = static_cast<int16_t>(monthNumbers[m]);
    const bool leap = leapMonthIndex != 0 && m == leapMonthIndex;

    int32_t start = newMoonDays[2];
    for (int i = 0; i < 14; ++i) {
        if (monthNumbers[i] != 1 || (leapMonthIndex != 0 && i == leapMonthIndex)) continue;
        start = newMoonDays[i];
        if (currentDay < start) {
            start -= 365;
            break;
        }
    }
    lunar.year = static_cast<int16_t>(floorInt((start + 5810) / 365.2422 + 0.5) + 1984);
    return leap;
}

bool MYiDateEx::gregorianToLunar(const DateTimeFields& g, DateTimeFields& lunar) {
    DateTimeFields noon = g;
    noon.hour = 12;
    noon.minute = 0;
    const int32_t day = floorInt(toJulianDay(noon)) - 2451545;
    const bool leap = lunarOfDay(day, lunar);
    lunar.hour = g.hour;
    lunar.minute = g.minute;
    return leap;
}

bool MYiDateEx::lunarToGregorian(const DateTimeFields& lunar, bool leap, DateTimeFields& g,
                                 std::string& error) {
    if (lunar.month < 1 || lunar.month > 13 || lunar.day < 1 || lunar.day > 30) {
        error = kNoSuchLunarDate;
        return false;
    }
    DateTimeFields g0{lunar.year, lunar.month, lunar.day, 12, 0};
    if (g0.month == 2 && g0.day > 28) g0.day = 28;
    double J = toJulianDay(g0);

    DateTimeFields l0;
    const bool f0 = gregorianToLunar(g0, l0);
    auto key = [](const DateTimeFields& x, bool lp) {
        return 354 * static_cast<int32_t>(x.year) + floorInt(x.month * 29.5) + x.day +
               (lp ? 30 : 0);
    };
    const int step = key(lunar, leap) < key(l0, f0) ? -1 : 1;

    // The key assumes that month numbers follow the Gregorian months. In the renamed spans
    // (AD 9-23, 237-239, 689-700) they do not, and the key can point away from an existing date
    // (year 21: the estimate lands on leap 9th day 28, the 10th day 23 lies ahead); about 300
    // dates there would be reported missing. So a search that finds nothing is repeated the
    // other way before the date is declared missing; every date found the first way is
    // unchanged.
    const double start = J;
    for (const int dir : {step, -step}) {
        J = start;
        for (int n = 0; n < 181; ++n) {
            DateTimeFields l;
            const bool f = lunarOfDay(floorInt(J) - 2451545, l);
            if (l.year == lunar.year && l.month == lunar.month && l.day == lunar.day && f == leap) {
                g = fromJulianDay(J);
                g.hour = lunar.hour;
                g.minute = lunar.minute;
                return true;
            }
            J += dir;
        }
    }
    error = kNoSuchLunarDate;
    return false;
}

// ---------------------------------------------------------------------------------------------
// Solar terms and months.

DateTimeFields MYiDateEx::solarTermMoment(int year, int month, bool monthStart) {
    const int k = monthStart ? 2 * month - 2 : 2 * month - 1;
    return fromJulianDay(termJulianDay(year, 15 * k - 75));
}

int MYiDateEx::monthBranch(const DateTimeFields& g) {
    const double J = toJulianDay(g);
    int n = 30 * g.month - 105;
    // A month's 节 lies within a few days of the expected one; a few steps always suffice.
    for (int guard = 0; guard < 24; ++guard) {
        if (J < termJulianDay(g.year, n))
            n -= 30;
        else if (J >= termJulianDay(g.year, n + 30))
            n += 30;
        else
            break;
    }
    n = positiveMod(n, 360);
    return ((n < 285 ? n + 75 : n - 285) / 30 + 2) % 12;
}

std::vector<SolarTermRecord> MYiDateEx::yearSolarTerms(int year) {
    std::vector<SolarTermRecord> list;
    // Back from 小寒 (285 deg, n = -75) to the last term before the year.
    int n = -75;
    for (int guard = 0; guard < 60; ++guard) {
        const DateTimeFields f = fromJulianDay(termJulianDay(year, n));
        if (f.year < year || f.year < -4713) break;
        n -= 15;
    }
    // Forward through the terms of the year.
    for (int guard = 0; guard < 60; ++guard) {
        n += 15;
        const DateTimeFields f = fromJulianDay(termJulianDay(year, n));
        if (f.year < year) continue;
        if (f.year != year || f.year > 9999) break;
        list.push_back({f, positiveMod(positiveMod(n, 360) - 285, 360) / 15});
    }
    return list;
}

// ---------------------------------------------------------------------------------------------
// Cycles, numerals and date arithmetic.

int16_t MYiDateEx::sexagenary(int stem, int branch) {
    int c = stem - branch;
    if (c < 0) c += 12;
    return static_cast<int16_t>(stem + 10 * (c / 2));
}

const std::string& MYiDateEx::chineseNumeral(int n) {
    static constexpr std::array<const char*, 10> digits = {"○",  "一", "二", "三", "四",
                                                           "五", "六", "七", "八", "九"};
    numeral_.clear();
    if (n >= 1 && n <= 9) {
        numeral_ = digits[n];
    } else if (n == 10) {
        numeral_ = "十";
    } else if (n >= 11 && n <= 19) {
        numeral_ = std::string("十") + digits[n - 10];
    } else if (n == 20) {
        numeral_ = "二十";
    } else if (n >= 21 && n <= 29) {
        numeral_ = std::string("廿") + digits[n - 20];
    } else if (n == 30) {
        numeral_ = "三十";
    } else {
        int64_t v = n;
        if (v < 0) {
            numeral_ = "前";
            v = -v;
        }
        const int width = (v >= 1 && v <= 9)       ? 1
                          : (v >= 10 && v <= 99)   ? 2
                          : (v >= 100 && v <= 999) ? 3
                                                   : 4;
        std::string text = std::to_string(v);
        while (static_cast<int>(text.size()) < width) text.insert(text.begin(), '0');
        for (char c : text) numeral_ += digits[c - '0'];
    }
    return numeral_;
}

int MYiDateEx::daysInMonth(const DateTimeFields& g) {
    // Month 0 or 13 and day 0 would otherwise pass: the Julian-day arithmetic rolls them into
    // the neighbouring month, whose length the test then reads.
    if (g.month < 1 || g.month > 12 || g.day < 1) return 0;
    int day = g.day;
    if (g.year == 1582 && g.month == 10) {
        if (day >= 5 && day <= 14) return 0;
        if (day > 14) day -= 10;
    }
    DateTimeFields a = g;
    a.day = 1;
    DateTimeFields b = a;
    b.month = static_cast<int16_t>(a.month + 1);
    if (b.month == 13) {
        b.month = 1;
        b.year = static_cast<int16_t>(a.year + 1);
    }
    const int length = floorInt(toJulianDay(b) - toJulianDay(a));
    return day <= length ? length : 0;
}

bool MYiDateEx::isValidDate(const DateTimeFields& g) { return daysInMonth(g) > 0; }

void MYiDateEx::nextDay(DateTimeFields& g) { g = fromJulianDay(toJulianDay(g) + 1); }

int MYiDateEx::weekday(const DateTimeFields& g) {
    const DateTimeFields noon{g.year, g.month, g.day, 12, 0};
    return positiveMod(floorInt(toJulianDay(noon)) + 1, 7);
}

int MYiDateEx::dayCycle(const DateTimeFields& g) {
    const DateTimeFields noon{g.year, g.month, g.day, 12, 0};
    return positiveMod(floorInt(toJulianDay(noon)) + 50, 60);
}

std::array<int16_t, 4> MYiDateEx::stemBranchPillars(const DateTimeFields& g, double jd) {
    // Year: counted from 立春.
    const DateTimeFields S = solarTermMoment(g.year, 2, true);
    const int yearNumber = positiveMod(S.year + 6896 + (jd >= toJulianDay(S) ? 1 : 0), 60);
    int sy = yearNumber % 10;
    if (sy == 0) sy = 10;

    // Month: branch by the solar terms, stem from the year stem (寅 month first).
    const int b = monthBranch(g);
    const int o = b > 2 ? b - 3 : b + 9;
    const int monthNumber =
        sexagenary(((((sy < 6 ? sy : sy - 5) * 2 + 1) % 10) + o) % 10, (o + 3) % 12);

    // Day: the 子 hour from 23:00 belongs to the next day.
    int dayNumber = dayCycle(g);
    if (g.hour == 23) dayNumber = (dayNumber + 1) % 60;

    // Hour: two-hour branches from 23:00.
    int h = g.hour;
    if (h % 2 != 0) h = (h + 1) % 24;
    int sd = dayNumber % 10;
    if (sd == 0) sd = 5;
    const int hourNumber = sexagenary((h / 2 + 2 * sd - 1) % 10, (h / 2 + 1) % 12);

    return {static_cast<int16_t>(yearNumber), static_cast<int16_t>(monthNumber),
            static_cast<int16_t>(dayNumber), static_cast<int16_t>(hourNumber)};
}
