// MZhanXingEx: the chart engine. Turns one birth request into a natal chart (positions, angles,
// Placidus houses, aspects), draws the wheel and its data panel on an abstract canvas, writes the
// reading into a rich-text target, and overlays a transit chart on request.
//
// Angles at this interface are degrees of the apparent ecliptic of date (longitudes in [0, 360)).
// Moments reaching the calculator and the calendar object are UTC+8 civil time.
#pragma once
#include <array>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "chart/LabelContrast.h"
#include "platform/core/Canvas.h"
#include "astro/DateTypes.h"
#include "astro/Mastrocalc.h"
#include "platform/core/RichText.h"
#include "calendar/Yidateex.h"
#include "chart/PreciseHouses.h"
#include "chart/Xiangwei.h"
#include "chart/ChartSettings.h"
#include "chart/WordLists.h"
#include "chart/Zhanxing2.h"

// ---------------------------------------------------------------------------------------------
// Requests

// Natal chart request, filled by the main window's input panel. Texts are UTF-8 in memory; the
// engine cuts its copy of `name` to 32 GBK bytes (16 Chinese characters, the full name the case
// record keeps) and `place` to 50 GBK bytes at a character boundary.
struct BirthRecord {
    static constexpr std::size_t kNameBytes = 32;
    static constexpr std::size_t kPlaceBytes = 50;
    // `utcOffsetSeconds` holding this: the clock is the zone list's whole-hour zone.
    static constexpr int32_t kZoneListOffset = INT32_MIN;

    std::string name;
    DateTimeFields birth;      // as entered: Gregorian, or lunar when `lunar` is set
    int8_t zoneIndex = 8;      // zone list index; the engine's copy holds the hour offset
    // The clock's exact offset east of UTC at the birth (seconds; summer time, half hours,
    // local mean time); kZoneListOffset: the zone list decides.
    int32_t utcOffsetSeconds = kZoneListOffset;
    uint8_t lunar = 0;         // nonzero: `birth` is a Chinese lunar date
    uint8_t leapMonth = 0;     // lunar input: leap month; after a cast: computed leap flag
    uint8_t male = 1;          // nonzero male, zero female
    int16_t provinceIndex = 0;  // carried for the place list, not used by the engine
    int16_t cityIndex = 0;
    float longitude = 120.0f;  // degrees, east positive
    float latitude = 30.0f;    // degrees, north positive
    uint8_t bloodType = 0;     // 0 A, 1 B, 2 AB, 3 O
    std::string place;
    // The IANA zone of the place when its clock follows the time-zone database ("Asia/Kolkata"):
    // the chart types read the clock there at other instants (returns, progressions). Empty:
    // the clock is the fixed offset above at every instant.
    std::string zoneId;
    // Nonzero: the chart's instant itself (UTC+8 Julian day, any fraction of a second), `birth`
    // being its clock time to the minute (the chart types' instants).
    double instantJd8 = 0;
};

// Transit chart request: Gregorian civil time of the transit zone.
struct TransitRequest {
    DateTimeFields when;
    int8_t zoneIndex = 8;
    std::string place;  // carried, not read by the engine
    // The clock's exact offset east of UTC at `when` (seconds); kZoneListOffset: the zone list
    // decides.
    int32_t utcOffsetSeconds = BirthRecord::kZoneListOffset;
    // Carried for the transit dialog: the time-zone identifier of the chart's place (empty when
    // it has none) and whether the transit is read at that place's clock.
    std::string zoneId;
    bool localClock = true;
};

// One computed point of a chart.
struct ChartPoint {
    double longitude = 0;      // degrees, [0, 360)
    double latitude = 0;       // degrees, as the calculator returns it; 0 for points without
    uint8_t sign = 0;          // trunc(longitude / 30)
    uint8_t house = 0;         // 0 = first house
    float degreesInSign = 0;   // longitude - 30 * sign
    float pastCusp = 0;        // degrees from the cusp of its house
    uint8_t motion = 0;        // 0 not determined, 1 direct, 2 retrograde
};

enum class ChartMode : uint8_t { None, Natal, Transit };

// ---------------------------------------------------------------------------------------------
// Vocabulary (UTF-8)

inline constexpr std::array<const char*, 12> BodyNames = {
    "太阳", "月亮", "水星", "金星", "火星", "木星", "土星", "天王星", "海王星", "冥王星",
    "升交点", "降交点"};
inline constexpr std::array<const char*, 12> BodyShortNames = {
    "日", "月", "水", "金", "火", "木", "土", "天", "海", "冥", "升", "降"};
inline constexpr std::array<const char*, 12> SignNames = {
    "白羊", "金牛", "双子", "巨蟹", "狮子", "处女", "天秤", "天蝎", "射手", "摩羯", "水瓶", "双鱼"};
// Sign symbols in the symbol font "Wingdings": codes 0x5E..0x69 from 白羊 to 双鱼 (the canvas
// shows them as U+2648..U+2653 where that font is missing).
inline constexpr std::array<const char*, 12> SignGlyphs = {"^", "_", "`", "a", "b", "c",
                                                           "d", "e", "f", "g", "h", "i"};
// Ruling body of each sign, as a BodyNames index.
inline constexpr std::array<uint8_t, 12> SignRulers = {4, 3, 2, 1, 0, 2, 3, 9, 5, 6, 7, 8};
// Indexed by sexagenary number mod 10 and mod 12.
inline constexpr std::array<const char*, 10> StemNames = {"癸", "甲", "乙", "丙", "丁",
                                                          "戊", "己", "庚", "辛", "壬"};
inline constexpr std::array<const char*, 12> BranchNames = {
    "亥", "子", "丑", "寅", "卯", "辰", "巳", "午", "未", "申", "酉", "戌"};
// Aspect kinds 0 conjunction, 1 sextile, 2 square, 3 trine, 4 opposition.
inline constexpr std::array<const char*, 5> AspectSymbols = {"合", "六", "四", "三", "冲"};
inline constexpr std::array<const char*, 5> AspectNames = {"相合", "六分", "四分", "三分", "相冲"};
// Further points, shown when the chart settings ask for them; label and aspect ids 12 onward
// (12, 13, 14 the true node, Lilith and the Part of Fortune; 15..19 Chiron and the asteroids in
// the order of astro/Asteroids.h).
enum ExtraPoint : int {
    kTrueNode = 0, kLilith, kFortune, kChiron, kCeres, kPallas, kJuno, kVesta, kExtraPoints
};
inline constexpr int kFirstExtraId = 12;
inline constexpr int kFirstAsteroid = kChiron;
inline constexpr std::array<const char*, kExtraPoints> ExtraPointNames = {
    "真升交点", "莉莉丝", "福点", "凯龙星", "谷神星", "智神星", "婚神星", "灶神星"};
// On the wheel and the data panel; the asteroids by their glyphs (U+26B7, U+26B3..U+26B6).
inline constexpr std::array<const char*, kExtraPoints> ExtraPointShortNames = {
    "真", "莉", "福", "\u26B7", "\u26B3", "\u26B4", "\u26B5", "\u26B6"};
// Topic titles of the reading, also listed by the main window's topic menu.
inline constexpr std::array<const char*, 5> TopicHeadings = {
    "星座分析:", "血型评说:", "行星与星座:", "行星相位断:", "行星入12宫:"};
// Section headings of the first topic.
inline constexpr std::array<const char*, 4> SectionHeadings = {"★性格特征", "★职业财富",
                                                               "★婚姻爱情", "★指数分析"};


// Natal points: the block that castNatal clears before computing.
struct NatalPoints {
    ChartPoint mc;
    ChartPoint asc;
    std::array<double, 12> cusps{};  // house n at index n - 1
    std::array<ChartPoint, 12> bodies{};
};

// ---------------------------------------------------------------------------------------------

class MZhanXingEx {
public:
    // programFolder: the folder of the program; "dat/set.ini" below it holds the chart settings.
    MZhanXingEx(RichTextTarget& richText, Canvas& image, std::string programFolder);
    ~MZhanXingEx();
    MZhanXingEx(const MZhanXingEx&) = delete;
    MZhanXingEx& operator=(const MZhanXingEx&) = delete;

    bool castNatal(const BirthRecord& r);
    bool castTransit(const TransitRequest& q);
    std::string hintAt(int x, int y) const;
    const std::string& errorText() const { return errorText_; }

    // --- read access to the model ---
    ChartMode mode() const { return mode_; }
    double jd8() const { return jd8_; }
    double jdLocal() const { return jdLocal_; }
    const std::array<int16_t, 4>& pillars() const { return pillars_; }
    const DateTimeFields& gregorianMoment() const { return gregorian_; }
    const DateTimeFields& lunarMoment() const { return lunarMoment_; }
    const BirthRecord& request() const { return request_; }
    const NatalPoints& natal() const { return natal_; }
    const std::array<ChartPoint, 12>& transitBodies() const { return transitBodies_; }
    const LabelLayout& natalLabels() const { return natalLabels_; }
    const LabelLayout& transitLabels() const { return transitLabels_; }
    uint8_t orb() const { return orb_; }
    const ChartSettings& settings() const { return settings_; }
    uint8_t signLines() const { return signLines_; }
    uint32_t backgroundColor() const { return backgroundColor_; }
    // 精确计算 of the settings read at the last cast.
    bool precise() const { return precise_; }
    // What the data panel says about the houses: none, some Placidus cusps without a solution
    // (default mode; the cusps are the approximations computed), or Porphyry in their place
    // (precise mode, or a system other than Placidus that has no cusps there).
    enum class HousesNote : uint8_t { None, Approximate, Porphyry };
    HousesNote housesNote() const { return housesNote_; }
    int centreX() const { return cx_; }
    int centreY() const { return cy_; }
    int cellWidth() const { return cellWidth_; }
    int cellHeight() const { return cellHeight_; }

    // --- houses, angles and aspects (degrees) ---
    // RAMC in [0, 360) from the Sun's apparent longitude, the east longitude of the place and
    // JD8 (UTC+8 civil Julian day), through the local apparent solar time.
    static double computeRamc(double sunLongitude, double geoLongitude, double jd8);
    // MC longitude of a RAMC (the fixed 0.9175 stands for cos(obliquity)).
    static double midheavenOf(double ramc);
    // The chart's MC at latitude phi: midheavenOf, or the opposite point where that one lies
    // more than 180 deg before the ascendant. That happens only beyond the polar circles, when
    // the meridian point of the ecliptic south of the zenith is below the horizon; the point
    // north of it is then the one above the horizon, and the houses can stay in order.
    static double midheavenAt(double ramc, double latitude);
    // Ascendant longitude of a RAMC at geographic latitude phi; never NaN.
    static double ascendantOf(double ramc, double latitude);
    // Placidus cusps (index n - 1 for house n) from RAMC, latitude, MC and ASC. Cusps whose
    // semi-arc is undefined (beyond the polar circles) come from the Porphyry trisection of
    // the quadrant between the angles; when the semi-arcs that exist put cusps out of order,
    // all four quadrants are trisected, so that the houses never overlap.
    // approximate (optional) is set when a cusp had no semi-arc or the cusps were re-trisected.
    static std::array<double, 12> housesOf(float ramc, double latitude, double mc, double asc,
                                           bool* approximate = nullptr);
    // House index 0..11 of a longitude and the distance past its cusp; house 0, 0 when none.
    static void locateIn(const std::array<double, 12>& cusps, double x, uint8_t& house,
                         float& past);
    // Aspect kind 0..4 between two longitudes within the orb o (whole degrees), -1 for none.
    static int aspectKind(double a, double b, int orb);

    // --- chart options (Zhanxing_options.cpp) ---
    // The orbs of this chart: the settings' orbs per aspect around the common orb, the minor
    // aspects when they are on (the reading, whose texts know only the five majors, asks with
    // `withMinor` false).
    AspectOrbs aspectOrbs(bool withMinor = true) const;
    // The further points the settings ask for, and their values (index ExtraPoint).
    bool extraShown(int k) const { return extraShown_[static_cast<std::size_t>(k)]; }
    bool anyExtraShown() const {
        for (bool b : extraShown_)
            if (b) return true;
        return false;
    }
    bool anyAsteroidShown() const;
    const std::array<ChartPoint, kExtraPoints>& extraPoints() const { return extras_; }
    // Names by aspect id: the 12 bodies, then the further points.
    static std::vector<std::string> pointNames();
    // Aspects among the ten bodies and the shown further points of the natal chart, and (with a
    // transit shown) from the transit's ten bodies to those natal points.
    std::vector<Aspect> natalAspects() const;
    std::vector<Aspect> transitAspects() const;
    // The aspect list: natal lines, then transit-to-natal lines, each as aspectListLines
    // prints them, the transit's point names marked "流".
    std::vector<std::string> aspectList(bool transit, const std::string& separator = "\t") const;
    void setSettingsForTest(const ChartSettings& s) { settings_ = s; applyOptions(); }

    // --- the named fixed stars (Zhanxing_stars.cpp), when the settings show them ---
    // Star contacts as conjunctions from a star (catalogue index, astro/Stars.h) to a point: the
    // ids of the aspects, kAscendantId and kMidheavenId for the angles.
    static constexpr int kAscendantId = 20;
    static constexpr int kMidheavenId = 21;
    const std::vector<Aspect>& starContacts() const { return starContacts_; }
    // The contacts as aspectListLines prints them (star, 相合, point, orb, applying).
    std::vector<std::string> starLines(const std::string& separator = "\t") const;

    double computeMidheaven() const;
    double computeAscendant() const;
    void computeHouses();
    void locateInHouse(ChartPoint& p) const;
    void preciseFrame(double& ramc, double& obliquity) const;
    precisehouses::Houses preciseHouses() const;

    // --- the pipeline steps, public so that the drawing and reading can be driven directly ---
    void readSettings();
    bool prepareTime();
    void computePillars();
    void layoutLabels(bool transit);
    void drawRings();
    void drawZodiac();
    void drawBodyLabels();
    void drawCusps();
    void drawPanel();
    // Draws one line at the current font of `size` points; a line wider than `room` pixels is
    // drawn in a smaller size that fits (down to 6 points), the size then set back.
    void textOutFitted(int x, int y, const std::string& text, int room, int size);
    void drawTransit(const TransitRequest& q);
    void drawInnerHeading(const std::string& title, const std::string& when);
    void writeReading();
    void showReading();
    const std::string& reading() const { return reading_; }

    // --- chart types built on the natal cast (Zhanxing_types.cpp) ---
    // Apparent longitude of body 0..9 at a UTC+8 Julian day, any fraction of a second; and its
    // daily motion there (degrees a day).
    double bodyLongitudeAt(int body, double jd8);
    double bodySpeedAt(int body, double jd8);
    // The chart on screen with a second set of bodies in the inner ring (synastry, progressions,
    // solar arc): `innerTitle` heads the inner list beside the wheel, `innerWhen` under it.
    bool castOverlay(const std::array<ChartPoint, 12>& inner, const std::string& innerTitle,
                     const std::string& innerWhen);
    // The chart on screen replaced by computed points (composite), drawn without a reading.
    bool showPoints(const NatalPoints& points);
    // The kind caption under the title ("本命盘" when empty) and short lines under it (for whom,
    // for when); cleared by every natal and transit cast. Redraws nothing by itself.
    void setCaption(const std::string& kind, const std::vector<std::string>& lines);
    const std::string& caption() const { return caption_; }
    const std::vector<std::string>& captionLines() const { return captionLines_; }
    // Replaces the reading pane's text (aspect lists of the chart types).
    void showText(const std::string& text);
    const std::array<ChartPoint, 12>& overlayBodies() const { return transitBodies_; }
    // The inner ring's moved angles (progressions, solar arc): marks in the ring and a line
    // under its list at the next castOverlay; cleared by every natal and transit cast.
    void setInnerAngles(double asc, double mc);
    // A composite chart has no moment: the panel shows what it is made of (one line a person)
    // in place of the date, lunar date and pillars at the next showPoints; cleared likewise.
    void setCompositeParts(const std::vector<std::string>& lines);
    // Chiron and the asteroids of the outer set (transit) or the inner ring (overlay): shown
    // where the settings show them. setOverlayAsteroids gives the next castOverlay the inner
    // ring's ones (synastry: the second person's); without it an overlay has none.
    const std::array<ChartPoint, 5>& transitAsteroids() const { return transitAsteroids_; }
    bool transitAsteroidsShown() const { return transitAsteroidsShown_; }
    void setOverlayAsteroids(const std::array<ChartPoint, 5>& points);
    // The natal chart's Chiron and asteroids (the asteroid entries of extraPoints); and theirs
    // replaced by computed ones (composite), placed by the next showPoints.
    std::array<ChartPoint, 5> asteroidPoints() const;
    std::array<double, 5> asteroidSpeeds() const;  // their daily motions, degrees a day
    void setAsteroidPoints(const std::array<ChartPoint, 5>& points);
    // One of the true node, Lilith and the Part of Fortune replaced by a computed longitude
    // (composite), placed by the next showPoints.
    void setExtraLongitude(int k, double longitude);

    // Test seam: install a chart state without the astronomy (mode, request copy with the hour
    // offset in zoneIndex, points, moments, pillars, settings).
    void setChartForTest(ChartMode mode, const BirthRecord& requestWithOffset,
                         const NatalPoints& points, const DateTimeFields& gregorian,
                         const DateTimeFields& lunar, const std::array<int16_t, 4>& pillars,
                         uint8_t orb, uint8_t signLines = 0, uint32_t backgroundColor = 0xFFFFFF);
    void setTransitBodiesForTest(const std::array<ChartPoint, 12>& bodies) {
        transitBodies_ = bodies;
    }

private:
    void computeTransitBodies(const DateTimeFields& d8t);
    void applyOptions();
    // The chosen house system other than Placidus, from this RAMC and obliquity (degrees);
    // false for Placidus.
    bool otherHouseSystem(double ramc, double obliquity);
    void computeExtraPoints();
    void computeStars();
    void drawStarLines(int x, int y, int bottom);
    void drawStarMarks();
    std::array<double, 10> motionsAt(double jd8) const;
    int drawExtraPointLines(int x, int y, int step);
    void drawExtraLabels(const LabelLayout& layout);
    void layoutTransitAsteroids(LabelLayout& layout, const std::array<double, 12>& bodyLongitudes,
                                const LabelGeometry& g) const;
    int drawTransitAsteroids(int x, int y, int step);
    int innerListShift() const;
    void layoutWithExtras(LabelLayout& layout, const std::array<double, 12>& bodyLongitudes,
                          const LabelGeometry& g) const;
    void fillSign(ChartPoint& p) const;
    int px(double fraction) const { return static_cast<int>(fraction * width_); }

    ChartMode mode_ = ChartMode::None;
    double jd8_ = 0;
    double jdLocal_ = 0;
    MAstroCalc calculator_;
    std::array<int16_t, 4> pillars_{};
    DateTimeFields gregorian_;
    DateTimeFields lunarMoment_;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t cx_ = 0;
    int32_t cy_ = 0;
    int32_t cellWidth_ = 0;
    int32_t cellHeight_ = 0;
    int32_t baseFontSize_ = 12;
    float transitRadius_ = 0.16f;
    MYiDateEx calendar_;
    BirthRecord request_;
    NatalPoints natal_;
    std::array<ChartPoint, 12> transitBodies_{};
    RichTextTarget& richText_;
    ReadableLabelCanvas labels_;  // in front of the canvas given: labels readable on any background
    Canvas& image_;
    uint8_t orb_ = 5;
    uint8_t signLines_ = 0;
    uint32_t backgroundColor_ = 0xFFFFFF;
    bool precise_ = false;
    HousesNote housesNote_ = HousesNote::None;
    ChartSettings settings_;
    std::array<bool, kExtraPoints> extraShown_{};
    std::array<ChartPoint, kExtraPoints> extras_{};
    std::array<double, kExtraPoints> extraSpeeds_{};
    std::array<ChartPoint, 5> transitAsteroids_{};
    std::array<double, 5> transitAsteroidSpeeds_{};
    bool transitAsteroidsShown_ = false;
    bool overlayAsteroidsPending_ = false;
    std::vector<double> starLongitudes_;
    std::vector<Aspect> starContacts_;
    // Daily motions (degrees a day) of the ten bodies, found when an aspect list asks for them.
    mutable std::array<double, 10> natalSpeeds_{};
    mutable std::array<double, 10> transitSpeeds_{};
    mutable bool natalSpeedsValid_ = false;
    mutable bool transitSpeedsValid_ = false;
    double transitJd8_ = 0;
    std::string reading_;
    LabelLayout natalLabels_;
    LabelLayout transitLabels_;
    std::string errorText_;
    std::string programFolder_;
    std::string caption_;
    std::vector<std::string> captionLines_;
    void drawCaptionLines();
    void drawInnerAngles();
    bool innerAnglesShown_ = false;
    double innerAsc_ = 0;
    double innerMc_ = 0;
    std::vector<std::string> compositeParts_;
};
